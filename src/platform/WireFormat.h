// WireFormat: how a late-bound call and its answer travel between a client and the
// application server.
//
// Frames
//   A frame is a 4-byte big-endian length N followed by N bytes that hold exactly one CBOR
//   item. N is checked against the frame cap as soon as the four length bytes are in, before a
//   byte of the body is read or parsed; N = 0 and N above the cap end the connection with an
//   error. A body that is not one well-formed CBOR item (truncated, trailing bytes, invalid
//   UTF-8 in a text) is an error too.
//
// Messages (CBOR maps with text keys)
//   open   {"open": server name}                       first frame of a client: which server
//                                                      object to create for this connection
//   call   {"call": member name, "kind": 0 method | 1 property read | 2 property write,
//           "args": [value, ...], "byref": [index, ...]}   indexes of the by-reference
//                                                      arguments, counted from 0
//   reply  {"result": value, "byref": [[index, value], ...]}   the by-reference arguments'
//                                                      new values
//   error  {"error": text, "code": integer}            the call failed; code is the
//                                                      HRESULT-style code of the failure
//
// Values (one Variant kind to one CBOR form; nothing else is accepted)
//   unassigned            undefined (simple value 23)
//   Null                  null
//   Boolean               true / false
//   32-bit integer        unsigned or negative integer within -2^31 .. 2^31-1
//   double                floating point (half, single or double width)
//   date                  tag 55800 (floating point days since 1899-12-30)
//   text                  text string (UTF-8)
//   byte text             tag 55801 [code page (integer), bytes (byte string)]
//   array                 tag 55802 [[low, high] or [low1, high1, low2, high2],
//                                    [element, ...]]   elements with the first index varying
//                                    fastest; their number must equal what the bounds give
//   by-reference Variant  its target's value
//   automation object     cannot travel: encoding it is an error
//
// Decoding is bounded: arrays nest at most MaxWireNesting deep and the element count is
// checked against the bounds before anything is allocated for them, so a small frame cannot
// make the reader allocate more than the frame itself holds.
#pragma once

#include <nuv/Exception.h>
#include <nuv/Variant.h>

#include <QByteArray>
#include <QCborValue>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nuv {

// A frame or message that breaks the rules above; the text says what was wrong.
class EWireError : public Exception {
public:
    using Exception::Exception;
};

// Largest frame body accepted by default (bytes).
inline constexpr std::uint32_t DefaultFrameCap = 16u * 1024u * 1024u;
// Deepest nesting of Variant arrays inside one value: the bound every recursive walk of a
// Variant keeps to.
inline constexpr int MaxWireNesting = MaxVariantNesting;

// CBOR tags of the kinds that have no plain CBOR form.
inline constexpr quint64 WireTagDate = 55800;
inline constexpr quint64 WireTagByteText = 55801;
inline constexpr quint64 WireTagArray = 55802;

// Variant <-> CBOR, as tabled above. Raise EWireError.
QCborValue VariantToCbor(const Variant& v);
Variant CborToVariant(const QCborValue& c);

// The length prefix and the item.
QByteArray EncodeFrame(const QCborValue& item);

// Cuts frames out of a byte stream. Feed it what arrives; Next gives each whole frame's item.
class TFrameReader {
public:
    explicit TFrameReader(std::uint32_t cap = DefaultFrameCap) : cap_(cap) {}
    void Append(const char* data, std::size_t size) { buffer_.append(data, qsizetype(size)); }
    void Append(const QByteArray& data) { buffer_.append(data); }
    // The next whole frame's item, or nothing while a frame is incomplete. Raises EWireError
    // for a length of 0 or above the cap (as soon as the length is in) and for a body that is
    // not one well-formed CBOR item. After an error the stream cannot be resynchronised.
    std::optional<QCborValue> Next();
    // Bytes received that belong to no whole frame yet.
    qsizetype Pending() const { return buffer_.size() - pos_; }
    std::uint32_t Cap() const { return cap_; }

private:
    std::uint32_t cap_;
    QByteArray buffer_;
    qsizetype pos_ = 0;
};

// --- messages ------------------------------------------------------------------------------

enum class WireKind { Method = 0, PropertyGet = 1, PropertyPut = 2 };

struct WireCall {
    std::string Name;
    int Kind = 0;
    std::vector<Variant> Args;
    std::vector<int> ByRef; // indexes into Args
};

struct WireReply {
    bool Ok = true;
    Variant Result;
    std::vector<std::pair<int, Variant>> ByRef;
    std::string Error;
    int Code = 0;
};

QCborValue EncodeOpen(const std::string& serverName);
QCborValue EncodeCall(const WireCall& call);
QCborValue EncodeReply(const WireReply& reply);

// What a server reads: an open or a call. Raises EWireError for anything else.
struct WireRequest {
    bool IsOpen = false;
    std::string ServerName; // for an open
    WireCall Call;          // for a call
};
WireRequest DecodeRequest(const QCborValue& item);
WireReply DecodeReply(const QCborValue& item);

} // namespace nuv
