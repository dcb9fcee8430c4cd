#include "platform/IniFile.h"

#include "platform/AsciiText.h"
#include "platform/CodePage.h"
#include "platform/SystemServices.h"

#include <nuv/CodePageText.h>

#include <climits>
#include <fstream>
#include <iterator>

namespace nuv {

namespace {

// Integer as the platform's StrToIntDef reads it: optional sign, decimal digits or "$"/"0x"
// followed by hexadecimal digits; false when the text is not such a number or out of range.
bool ParseInteger(std::string_view s, int& out) {
    s = TrimBlanks(s);
    bool neg = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        neg = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (!s.empty() && s.front() == '$') {
        base = 16;
        s.remove_prefix(1);
    } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty())
        return false;
    long long v = 0;
    for (char c : s) {
        int d = c >= '0' && c <= '9'                 ? c - '0'
                : base == 16 && c >= 'a' && c <= 'f' ? c - 'a' + 10
                : base == 16 && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
        if (d < 0)
            return false;
        v = v * base + d;
        if (v > 0xFFFFFFFFLL)
            return false;
    }
    if (neg)
        v = -v;
    // Hexadecimal values fill all 32 bits ($FFFFFFFF is -1), as on the platform.
    if (base == 16 && v > INT_MAX)
        v -= 0x100000000LL;
    if (v < INT_MIN || v > INT_MAX)
        return false;
    out = static_cast<int>(v);
    return true;
}

} // namespace

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) {
    std::ifstream in(fileName_, std::ios::binary);
    if (!in)
        return;
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        return;
    loaded_ = true;
    Parse(DecodeText(bytes));
}

std::string TIniFile::DecodeText(std::string_view bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        std::string out;
        detail::IconvConvert(bytes.substr(2), "UTF-16LE", "UTF-8", out, true);
        return out;
    }
    if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    int acp = GetACP();
    if (acp == 65001 || !IsCodePageSupported(acp))
        acp = 950;
    return DecodeBytes(bytes, acp);
}

void TIniFile::Parse(std::string_view text) {
    Section* current = nullptr;
    while (!text.empty()) {
        std::size_t nl = text.find('\n');
        std::string_view line = TrimBlanks(text.substr(0, nl));
        text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
        if (line.empty() || line.front() == ';' || line.front() == '#')
            continue;
        if (line.front() == '[') {
            std::size_t close = line.find(']');
            std::string_view name = TrimBlanks(line.substr(
                1, close == std::string_view::npos ? std::string_view::npos : close - 1));
            sections_.push_back(Section{std::string(name), {}});
            current = &sections_.back();
            continue;
        }
        std::size_t eq = line.find('=');
        if (!current || eq == std::string_view::npos)
            continue;
        std::string_view key = TrimBlanks(line.substr(0, eq));
        std::string_view value = TrimBlanks(line.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        current->entries.emplace_back(std::string(key), std::string(value));
    }
}

const TIniFile::Section* TIniFile::Find(std::string_view section) const {
    for (const Section& s : sections_)
        if (SameTextAscii(s.name, TrimBlanks(section)))
            return &s;
    return nullptr;
}

const std::string* TIniFile::FindValue(std::string_view section, std::string_view key) const {
    const Section* s = Find(section);
    if (!s)
        return nullptr;
    for (const auto& [k, v] : s->entries)
        if (SameTextAscii(k, TrimBlanks(key)))
            return &v;
    return nullptr;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 const std::string& def) const {
    const std::string* v = FindValue(section, key);
    return v ? *v : def;
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
    const std::string* v = FindValue(section, key);
    int out = 0;
    return v && ParseInteger(*v, out) ? out : def;
}

bool TIniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

std::vector<std::string> TIniFile::ReadSection(std::string_view section) const {
    std::vector<std::string> keys;
    if (const Section* s = Find(section))
        for (const auto& e : s->entries)
            keys.push_back(e.first);
    return keys;
}

std::vector<std::string> TIniFile::ReadSections() const {
    std::vector<std::string> names;
    for (const Section& s : sections_) {
        bool seen = false;
        for (const std::string& n : names)
            seen = seen || SameTextAscii(n, s.name);
        if (!seen)
            names.push_back(s.name);
    }
    return names;
}

std::vector<std::string> TIniFile::ReadSectionValues(std::string_view section) const {
    std::vector<std::string> lines;
    if (const Section* s = Find(section))
        for (const auto& [k, v] : s->entries)
            lines.push_back(k + "=" + v);
    return lines;
}

bool TIniFile::SectionExists(std::string_view section) const {
    const Section* s = Find(section);
    return s && !s->entries.empty();
}

bool TIniFile::ValueExists(std::string_view section, std::string_view key) const {
    return FindValue(section, key) != nullptr;
}

} // namespace nuv
