// Reader of INI files with the Windows profile semantics:
//  * sections "[name]" and lines "key=value"; section names and keys match without regard to
//    ASCII case and are trimmed; values are trimmed, and a value enclosed in a pair of double
//    or single quotes loses them;
//  * the first section of a name and the first key of a name in it win;
//  * a key that is missing gives the caller's default, a key present with an empty value gives
//    the empty text;
//  * a file that does not exist or cannot be read gives the defaults throughout;
//  * lines starting with ';' or '#' are comments; lines without '=' and lines before the first
//    section are ignored.
// Bytes: UTF-16LE with a byte-order mark is converted; UTF-8 (with or without its mark) is
// taken as it is; any other bytes are decoded in the system code page (GetACP), or in Big5
// (950) when the system code page is UTF-8 — a file that is not UTF-8 on such a system is most
// likely one copied from a Traditional Chinese Windows installation, the home of these files.
//
// The file is read once by the constructor; nothing is ever written back. The parsed contents
// of a file are kept and shared by later readers of the same file while it stays as it was on
// disk (see FileIdentity.h): a dialog reads the same few settings files every time it opens.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace nuv {

class TIniFile {
public:
    explicit TIniFile(std::string fileName);
    // Reads bytes as the contents of the file fileName, which is not opened (for readers of
    // profile text that comes from elsewhere, and for fuzzing).
    TIniFile(std::string fileName, std::string_view bytes);

    const std::string& FileName() const { return fileName_; }
    // True when the file existed and was read.
    bool Loaded() const { return loaded_; }

    std::string ReadString(std::string_view section, std::string_view key,
                           const std::string& def) const;
    // The value read as an integer (decimal, or hexadecimal written "$1F" or "0x1F"); def when
    // the key is missing or its value is no integer.
    int ReadInteger(std::string_view section, std::string_view key, int def) const;
    // ReadInteger(section, key, def ? 1 : 0) != 0.
    bool ReadBool(std::string_view section, std::string_view key, bool def) const;

    // Key names of the section, in file order.
    std::vector<std::string> ReadSection(std::string_view section) const;
    // Names of all sections, in file order.
    std::vector<std::string> ReadSections() const;
    // "name=value" for each key of the section, in file order; each line with its own value.
    std::vector<std::string> ReadSectionValues(std::string_view section) const;
    // True when the section holds at least one key (an empty section counts as missing, as on
    // the platform).
    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;

    // Decodes INI file bytes as described above (exposed for tests).
    static std::string DecodeText(std::string_view bytes);

private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> entries;
        // Upper-case key -> position of its first entry, so that look-ups stay fast in long
        // sections.
        std::unordered_map<std::string, std::size_t> keyIndex;
    };
    struct Contents {
        std::vector<Section> sections;
        // Upper-case section name -> position of its first section.
        std::unordered_map<std::string, std::size_t> sectionIndex;
    };
    const Section* Find(std::string_view section) const;
    const std::string* FindValue(std::string_view section, std::string_view key) const;
    static std::shared_ptr<const Contents> Parse(std::string_view text);
    // The parsed file: a kept copy while the file is unchanged, else read now (nullptr when it
    // cannot be read).
    static std::shared_ptr<const Contents> ReadFile(const std::string& fileName);

    std::string fileName_;
    bool loaded_ = false;
    std::shared_ptr<const Contents> contents_;
};

} // namespace nuv
