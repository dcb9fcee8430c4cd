#include "platform/CodePage.h"

#include "platform/AsciiText.h"
#include "platform/SystemServices.h"
#include <nuv/Exception.h>

#include <nuv/CodePageText.h>

#include <cerrno>
#include <iconv.h>
#include <map>
#include <utility>

namespace nuv {

namespace {

int Resolve(int codePage) {
    return codePage == 0 ? GetACP() : codePage;
}

// Known-to-work code pages, so that each check runs iconv_open once.
bool Supported(int codePage) {
    static std::map<int, bool> known;
    if (codePage == 65001)
        return true;
    auto it = known.find(codePage);
    if (it != known.end())
        return it->second;
    const std::string name = IconvCodePageName(codePage);
    bool ok = false;
    if (!name.empty()) {
        iconv_t cd = iconv_open("UTF-8", name.c_str());
        if (cd != reinterpret_cast<iconv_t>(-1)) {
            iconv_close(cd);
            ok = true;
        }
    }
    known.emplace(codePage, ok);
    return ok;
}

void RequireSupported(int codePage) {
    if (!Supported(codePage))
        throw Exception("Code page " + std::to_string(codePage) + " is not supported");
}

// Length of the UTF-8 sequence starting with the lead byte; 1 for a byte that cannot start
// one (it is then taken on its own).
std::size_t CharLength(std::string_view s, std::size_t i) {
    std::size_t n = Utf8SequenceLength(s, i);
    return n ? n : 1;
}

// Converter from UTF-8 to CP950, opened once for the thread.
class Cp950Encoder {
public:
    Cp950Encoder() : cd_(iconv_open("CP950", "UTF-8")) {}
    ~Cp950Encoder() {
        if (ok())
            iconv_close(cd_);
    }
    Cp950Encoder(const Cp950Encoder&) = delete;
    Cp950Encoder& operator=(const Cp950Encoder&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Calls onChar(bytes) for each character CP950 holds and onMissing(utf8) for each it
    // does not (including bytes that are not valid UTF-8).
    template <typename OnChar, typename OnMissing>
    void Walk(std::string_view text, OnChar onChar, OnMissing onMissing) {
        std::size_t i = 0;
        while (i < text.size()) {
            unsigned char c = static_cast<unsigned char>(text[i]);
            if (c < 0x80) {
                char ch = static_cast<char>(c);
                onChar(std::string_view(&ch, 1));
                ++i;
                continue;
            }
            std::size_t n = CharLength(text, i);
            std::string_view one = text.substr(i, n);
            i += n;
            if (n == 1 || !ok()) {
                onMissing(one);
                continue;
            }
            char in[4];
            for (std::size_t k = 0; k < n; ++k)
                in[k] = one[k];
            char out[8];
            char* src = in;
            std::size_t srcLeft = n;
            char* dst = out;
            std::size_t dstLeft = sizeof out;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd_, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1) ||
                dst == out)
                onMissing(one);
            else
                onChar(std::string_view(out, static_cast<std::size_t>(dst - out)));
        }
    }

private:
    iconv_t cd_;
};

Cp950Encoder& Encoder() {
    thread_local Cp950Encoder enc;
    return enc;
}

} // namespace

bool IsCodePageSupported(int codePage) {
    return Supported(Resolve(codePage));
}

std::string DecodeBytes(std::string_view bytes, int codePage) {
    codePage = Resolve(codePage);
    RequireSupported(codePage);
    if (codePage == 65001) {
        // UTF-8 in, UTF-8 out, but invalid sequences are replaced as in any other page.
        std::string out;
        out.reserve(bytes.size());
        for (std::size_t i = 0; i < bytes.size();) {
            std::size_t n = CharLength(bytes, i);
            if (n == 1 && static_cast<unsigned char>(bytes[i]) >= 0x80)
                out += "\xEF\xBF\xBD";
            else
                out.append(bytes.substr(i, n));
            i += n;
        }
        return out;
    }
    return DecodeCodePage(bytes, codePage);
}

std::string EncodeBytes(std::string_view text, int codePage) {
    codePage = Resolve(codePage);
    RequireSupported(codePage);
    return EncodeCodePage(text, codePage);
}

int Cp950ByteLength(std::string_view utf8) {
    int total = 0;
    Encoder().Walk(
        utf8, [&](std::string_view bytes) { total += static_cast<int>(bytes.size()); },
        [&](std::string_view missing) { total += missing.size() == 1 ? 1 : 2; });
    return total;
}

std::string Cp950SortKey(std::string_view utf8) {
    std::string key;
    key.reserve(utf8.size() + 4);
    Encoder().Walk(
        utf8, [&](std::string_view bytes) { key.append(bytes); },
        [&](std::string_view missing) {
            key += '\xFF';
            key.append(missing);
        });
    return key;
}

int CompareCp950(std::string_view a, std::string_view b) {
    const std::string ka = Cp950SortKey(a);
    const std::string kb = Cp950SortKey(b);
    // std::string compares through char_traits<char>, which orders as unsigned char.
    int r = ka.compare(kb);
    return r < 0 ? -1 : r > 0 ? 1 : 0;
}

} // namespace nuv
