// The read-only registry: a file in the Windows ".reg" export format stands for the
// machine's registry. The file is $NUV_REGISTRY, else /etc/nuv/registry.reg; a file that does
// not exist, and a file with nothing in it but blanks, is an empty registry.
//
// File format accepted:
//  * text in UTF-16LE with a byte-order mark (as the registry editor exports it) or UTF-8
//    (with or without a byte-order mark, well-formed: no overlong forms, no surrogates);
//    anything else raises Exception;
//  * first non-blank line "Windows Registry Editor Version 5.00" or "REGEDIT4";
//  * key lines "[HKEY_LOCAL_MACHINE\Software\NUV\Tarvel]"; "[-...]" removes a key and
//    everything below it; the parents of a key exist implicitly;
//  * value lines "name"="text" and @="text" (the key's default value), strings with the
//    escapes \\ and \"; another backslash is kept as it stands, so that a hand-written
//    "C:\App" reads as meant (but "C:\App\" ends in an escaped quote: write "C:\\App\\");
//    dword:0000012c; hex:..., hex(2):, hex(7):, hex(b): and the other hex(n): forms (n up to
//    ffffffff; unknown types are binary), continued over several lines with a trailing
//    backslash; the string data of hex(1), hex(2) and hex(7) is UTF-16LE in a version 5 file
//    and, in a REGEDIT4 file, UTF-8 when well-formed, else the system code page; "name"=-
//    removes a value;
//  * comment lines starting with ';' and blank lines.
// Any other line is malformed: loading raises Exception naming the file and the line number,
// so that the person who edited the file can mend it. Nothing is guessed. Keys nest at most
// MaxRegistryKeyDepth levels below their root, as in the Windows registry.
//
// Reading takes time in proportion to the file's size: keys form a tree with an index of
// children and values per key, so that adding, replacing and removing are cheap however many
// keys, values and continuation lines the file has.
//
// Keys and value names match without regard to ASCII case, as the Windows registry does.
// HKEY_CLASSES_ROOT is, as on Windows, HKEY_CURRENT_USER\Software\Classes over
// HKEY_LOCAL_MACHINE\Software\Classes; keys written under [HKEY_CLASSES_ROOT\...] are stored
// in the latter, as an import would store them.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace nuv {

using HKEY = std::uint32_t;
inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr HKEY HKEY_USERS = 0x80000003u;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005u;

// Deepest key path below a root, in components (the Windows registry's limit).
inline constexpr int MaxRegistryKeyDepth = 512;

enum class TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary, rdMultiString };

struct RegistryValue {
    std::string name; // as written; empty for the default value
    TRegDataType type = TRegDataType::rdUnknown;
    std::string text;                 // rdString, rdExpandString (UTF-8)
    std::uint32_t integer = 0;        // rdInteger
    std::string bytes;                // rdBinary and the raw bytes of other hex(n) values
    std::vector<std::string> strings; // rdMultiString
};

// The parsed contents of a registry file.
class RegistryFile {
public:
    struct Key {
        std::string name; // last path component, as written
        std::vector<RegistryValue> values;
        std::vector<std::string> subKeys; // names as written, in file order
        const RegistryValue* FindValue(std::string_view name) const;

    private:
        friend class RegistryFile;
        friend class RegistryParser;
        std::map<std::string, std::unique_ptr<Key>> children; // by upper-case name
        std::map<std::string, std::size_t> valueIndex;        // upper-case name -> values[i]
        std::uint64_t order = 0;                              // when it was (last) created
    };

    // Reads the file; a missing file gives an empty registry. Raises Exception when the file
    // cannot be read or is malformed. The file last read is kept and handed out again while
    // it stays unchanged on disk (same inode, size and times).
    static std::shared_ptr<const RegistryFile> Load(const std::string& fileName);
    // Parses file bytes; fileName is only used in error messages.
    static std::shared_ptr<const RegistryFile> Parse(std::string_view bytes,
                                                     const std::string& fileName);

    // The key at root\path (components separated by '\'), or nullptr.
    const Key* FindKey(HKEY root, std::string_view path) const;

    // Name of a predefined root key ("HKEY_LOCAL_MACHINE"); empty for an unknown one.
    static std::string RootName(HKEY root);

private:
    friend class RegistryParser;
    static std::shared_ptr<const RegistryFile> Read(const std::string& fileName);
    Key top_; // its children are the root keys, by upper-case root name
    const Key* FindLiteral(const std::vector<std::string>& parts) const;
};

// Path of the registry file: $NUV_REGISTRY when set and not empty, else /etc/nuv/registry.reg.
std::string RegistryFilePath();

// Read access to the registry file, in the manner of the platform's TRegistry: choose a root
// key, open a key, read values, close it. The file is read at the first access and kept for the
// object's life.
class TRegistry {
public:
    TRegistry();                              // the file of RegistryFilePath()
    explicit TRegistry(std::string fileName); // another file
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    // Root for the paths opened; HKEY_CURRENT_USER at first. Setting it closes the open key.
    HKEY RootKey() const { return rootKey_; }
    void SetRootKey(HKEY root);

    // Opens the key: a path starting with '\' is taken from the root, any other from the open
    // key (or the root when none is open). False when the key does not exist.
    bool OpenKeyReadOnly(const std::string& key);
    // The registry is read-only: a missing key is never created, whatever canCreate says.
    bool OpenKey(const std::string& key, bool canCreate) {
        (void)canCreate;
        return OpenKeyReadOnly(key);
    }
    void CloseKey();
    bool KeyExists(const std::string& key);
    // Full path of the open key below the root, without leading '\'; empty when none is open.
    const std::string& CurrentPath() const { return currentPath_; }
    bool HasCurrentKey() const { return current_ != nullptr; }

    // Values of the open key; the empty name is the key's default value.
    bool ValueExists(const std::string& name) const;
    TRegDataType GetDataType(const std::string& name) const;
    // A text value; the empty text when the value does not exist (or no key is open). Raises
    // Exception when the value is not a text.
    std::string ReadString(const std::string& name) const;
    // A dword value. Raises Exception when the value does not exist or is not a dword.
    int ReadInteger(const std::string& name) const;
    // ReadInteger != 0.
    bool ReadBool(const std::string& name) const { return ReadInteger(name) != 0; }
    std::vector<std::string> GetKeyNames() const;
    std::vector<std::string> GetValueNames() const;

    const std::string& FileName() const { return fileName_; }

private:
    const RegistryFile& File();
    const RegistryValue* Find(const std::string& name) const;
    std::string Describe(const std::string& name) const;
    std::string Resolve(const std::string& key) const;

    std::string fileName_;
    std::shared_ptr<const RegistryFile> file_;
    HKEY rootKey_ = HKEY_CURRENT_USER;
    std::string currentPath_;
    const RegistryFile::Key* current_ = nullptr;
};

} // namespace nuv
