// The application server's frame decoder and the CBOR -> Variant mapping, fed by a hostile
// peer: bytes arrive in chunks of varying size, frames are cut out, read as calls and replies
// and their values mapped to Variants. Every fault must surface as EWireError; a value that was
// read must encode again to the same CBOR, which must read back to the same value.
#include "platform/WireFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void RoundTrip(const QCborValue& item) {
    nuv::Variant v;
    try {
        v = nuv::CborToVariant(item);
    } catch (const nuv::EWireError&) {
        return;
    }
    const QByteArray once = nuv::VariantToCbor(v).toCbor();
    const nuv::Variant again = nuv::CborToVariant(QCborValue::fromCbor(once));
    if (nuv::VariantToCbor(again).toCbor() != once)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    // The first byte chooses the chunk size in which the rest arrives.
    const std::size_t chunk = std::size_t(data[0] % 16) + 1;
    nuv::TFrameReader reader(1u << 20);
    for (std::size_t at = 1; at < size; at += chunk) {
        const std::size_t n = at + chunk <= size ? chunk : size - at;
        reader.Append(reinterpret_cast<const char*>(data + at), n);
        try {
            while (auto item = reader.Next()) {
                RoundTrip(*item);
                try {
                    nuv::DecodeRequest(*item);
                } catch (const nuv::EWireError&) {
                }
                try {
                    nuv::DecodeReply(*item);
                } catch (const nuv::EWireError&) {
                }
            }
        } catch (const nuv::EWireError&) {
            return 0; // the stream cannot be trusted after a bad frame
        }
    }
    return 0;
}
