#include "platform/IniFile.h"

#include "platform/AsciiText.h"
#include "platform/CodePage.h"
#include "platform/FileIdentity.h"
#include "platform/SystemServices.h"

#include <nuv/CodePageText.h>

#include <climits>
#include <fstream>
#include <iterator>

namespace nuv {

TIniFile::TIniFile(std::string fileName) : fileName_(std::move(fileName)) {
    contents_ = ReadFile(fileName_);
    loaded_ = contents_ != nullptr;
    if (!loaded_)
        contents_ = std::make_shared<const Contents>();
}

TIniFile::TIniFile(std::string fileName, std::string_view bytes)
    : fileName_(std::move(fileName)), loaded_(true), contents_(Parse(DecodeText(bytes))) {}

std::shared_ptr<const TIniFile::Contents> TIniFile::ReadFile(const std::string& fileName) {
    // Bytes without a mark are decoded in the system code page, so a kept copy holds for the
    // code page it was decoded in.
    static TKeptFiles<Contents> kept;
    return kept.Get(
        fileName, GetACP(), [](const std::string& name) -> std::shared_ptr<const Contents> {
            std::ifstream in(name, std::ios::binary);
            if (!in)
                return nullptr;
            std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            if (in.bad())
                return nullptr;
            return Parse(DecodeText(bytes));
        });
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
    return DecodeUnmarkedText(bytes);
}

std::shared_ptr<const TIniFile::Contents> TIniFile::Parse(std::string_view text) {
    auto parsed = std::make_shared<Contents>();
    auto& sections = parsed->sections;
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
            sections.push_back(Section{std::string(name), {}, {}});
            current = &sections.back();
            parsed->sectionIndex.try_emplace(UpperAscii(name), sections.size() - 1);
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
        current->keyIndex.try_emplace(UpperAscii(key), current->entries.size() - 1);
    }
    return parsed;
}

const TIniFile::Section* TIniFile::Find(std::string_view section) const {
    const auto& index = contents_->sectionIndex;
    auto it = index.find(UpperAscii(TrimBlanks(section)));
    return it == index.end() ? nullptr : &contents_->sections[it->second];
}

const std::string* TIniFile::FindValue(std::string_view section, std::string_view key) const {
    const Section* s = Find(section);
    if (!s)
        return nullptr;
    auto it = s->keyIndex.find(UpperAscii(TrimBlanks(key)));
    return it == s->keyIndex.end() ? nullptr : &s->entries[it->second].second;
}

std::string TIniFile::ReadString(std::string_view section, std::string_view key,
                                 const std::string& def) const {
    const std::string* v = FindValue(section, key);
    return v ? *v : def;
}

int TIniFile::ReadInteger(std::string_view section, std::string_view key, int def) const {
    const std::string* v = FindValue(section, key);
    std::int32_t out = 0;
    return v && detail::ParseIntegerText(*v, out) ? out : def;
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
    // Each name once, as its first section writes it: the index holds the first section of
    // every name, so a section is listed when it is the one the index holds.
    std::vector<std::string> names;
    const auto& sections = contents_->sections;
    for (std::size_t i = 0; i < sections.size(); ++i)
        if (contents_->sectionIndex.at(UpperAscii(sections[i].name)) == i)
            names.push_back(sections[i].name);
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
