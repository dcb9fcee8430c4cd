#include "platform/Registry.h"

#include "platform/AsciiText.h"
#include "platform/CodePage.h"
#include "platform/FileIdentity.h"

#include <nuv/CodePageText.h>
#include <nuv/Exception.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <utility>

namespace nuv {

namespace {

// Path components separated by '\'; empty components (doubled or trailing separators) skipped.
std::vector<std::string> SplitPath(std::string_view path) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start)
            parts.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string JoinPath(const std::vector<std::string>& parts, std::size_t count) {
    std::string s;
    for (std::size_t i = 0; i < count && i < parts.size(); ++i) {
        if (i)
            s += '\\';
        s += parts[i];
    }
    return s;
}

struct RootName {
    HKEY key;
    const char* name;
    const char* shortName;
};
constexpr RootName Roots[] = {
    {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT", "HKCR"},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "HKCU"},
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "HKLM"},
    {HKEY_USERS, "HKEY_USERS", "HKU"},
    {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG", "HKCC"},
};

std::string Utf16LeToUtf8(std::string_view bytes) {
    std::string out;
    detail::IconvConvert(bytes, "UTF-16LE", "UTF-8", out, true);
    return out;
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    return s;
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

} // namespace

// Reads the lines of a registry file into a RegistryFile.
class RegistryParser {
public:
    RegistryParser(RegistryFile& out, std::string fileName)
        : out_(out), fileName_(std::move(fileName)) {}

    void Run(std::string_view bytes) {
        std::string text = Decode(bytes);
        // A file with nothing in it is an empty registry, as a missing one is.
        if (TrimBlanks(text).empty())
            return;
        std::vector<std::string_view> lines;
        std::string_view rest = text;
        while (!rest.empty()) {
            std::size_t nl = rest.find('\n');
            lines.push_back(rest.substr(0, nl));
            if (nl == std::string_view::npos)
                break;
            rest.remove_prefix(nl + 1);
        }
        bool headerSeen = false;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            line_ = static_cast<int>(i) + 1;
            std::string logical(TrimRight(TrimLeft(lines[i])));
            if (!headerSeen) {
                if (logical.empty())
                    continue;
                if (logical == "Windows Registry Editor Version 5.00")
                    unicode_ = true;
                else if (logical != "REGEDIT4")
                    Fail("the file does not start with \"Windows Registry Editor Version 5.00\" "
                         "or \"REGEDIT4\"");
                headerSeen = true;
                continue;
            }
            // A hex value may go on over several lines, each but the last ending in '\'. The
            // kind of line is judged once and the parts appended, so that a value continued
            // over many lines takes time in proportion to its length.
            if (!logical.empty() && logical.back() == '\\' && IsHexValueLine(logical)) {
                while (!logical.empty() && logical.back() == '\\' && i + 1 < lines.size()) {
                    logical.pop_back();
                    logical += TrimRight(TrimLeft(lines[++i]));
                }
            }
            Line(logical);
        }
        Finish();
    }

private:
    RegistryFile& out_;
    std::string fileName_;
    int line_ = 0;
    bool unicode_ = false;
    RegistryFile::Key* key_ = nullptr; // key of the current section
    bool deletedSection_ = false;      // inside "[-...]": its values are ignored
    std::uint64_t created_ = 0;        // keys created so far, for their order
    // Values replaced or removed while reading; Finish drops them.
    using ValueSlot = std::pair<const RegistryFile::Key*, std::size_t>;
    std::set<ValueSlot> dropped_;

    [[noreturn]] void Fail(const std::string& what) const {
        throw Exception("Registry file " + fileName_ + ", line " + std::to_string(line_) + ": " +
                        what);
    }

    std::string Decode(std::string_view bytes) {
        if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
            static_cast<unsigned char>(bytes[1]) == 0xFE)
            return Utf16LeToUtf8(bytes.substr(2));
        if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF")
            bytes.remove_prefix(3);
        if (!IsValidUtf8(bytes))
            throw Exception("Registry file " + fileName_ +
                            " is neither UTF-8 nor UTF-16LE text with a byte-order mark");
        return std::string(bytes);
    }

    static bool IsHexValueLine(std::string_view line) {
        return (line[0] == '"' || line[0] == '@') &&
               UpperAscii(line).find("=HEX") != std::string::npos;
    }

    // Completes every key: drops the values that were replaced or removed, indexes the rest and
    // lists the subkeys in the order they were (last) created. Walks the tree with a list.
    void Finish() {
        std::vector<RegistryFile::Key*> pending{&out_.top_};
        while (!pending.empty()) {
            RegistryFile::Key* key = pending.back();
            pending.pop_back();
            std::vector<RegistryValue> kept;
            kept.reserve(key->values.size());
            for (std::size_t i = 0; i < key->values.size(); ++i)
                if (!dropped_.contains(ValueSlot{key, i}))
                    kept.push_back(std::move(key->values[i]));
            key->values = std::move(kept);
            key->valueIndex.clear();
            for (std::size_t i = 0; i < key->values.size(); ++i)
                key->valueIndex.emplace(UpperAscii(key->values[i].name), i);
            std::vector<const RegistryFile::Key*> children;
            children.reserve(key->children.size());
            for (auto& [upper, child] : key->children) {
                children.push_back(child.get());
                pending.push_back(child.get());
            }
            std::sort(children.begin(), children.end(),
                      [](const auto* a, const auto* b) { return a->order < b->order; });
            key->subKeys.clear();
            for (const auto* child : children)
                key->subKeys.push_back(child->name);
        }
    }

    void Line(std::string_view line) {
        if (line.empty() || line.front() == ';')
            return;
        if (line.front() == '[')
            return KeyLine(line);
        if (line.front() == '"' || line.front() == '@')
            return ValueLine(line);
        Fail("expected a key in brackets, a value or a comment, found: " + std::string(line));
    }

    void KeyLine(std::string_view line) {
        if (line.back() != ']')
            Fail("a key line must end with ']'");
        std::string_view inner = line.substr(1, line.size() - 2);
        bool remove = !inner.empty() && inner.front() == '-';
        if (remove)
            inner.remove_prefix(1);
        std::vector<std::string> parts = SplitPath(inner);
        if (parts.empty())
            Fail("empty key name");
        HKEY root = 0;
        for (const RootName& r : Roots)
            if (SameTextAscii(parts[0], r.name) || SameTextAscii(parts[0], r.shortName))
                root = r.key;
        if (root == 0)
            Fail("unknown root key \"" + parts[0] + "\"");
        if (parts.size() - 1 > static_cast<std::size_t>(MaxRegistryKeyDepth))
            Fail("the key is nested " + std::to_string(parts.size() - 1) +
                 " levels deep; a registry key nests at most " +
                 std::to_string(MaxRegistryKeyDepth) + " levels");
        parts[0] = RegistryFile::RootName(root);
        // Keys of HKEY_CLASSES_ROOT are kept where an import stores them.
        if (root == HKEY_CLASSES_ROOT) {
            parts.erase(parts.begin());
            parts.insert(parts.begin(),
                         {RegistryFile::RootName(HKEY_LOCAL_MACHINE), "SOFTWARE", "Classes"});
        }
        if (remove) {
            RemoveKey(parts);
            key_ = nullptr;
            deletedSection_ = true;
        } else {
            key_ = &MakeKey(parts);
            deletedSection_ = false;
        }
    }

    RegistryFile::Key& MakeKey(const std::vector<std::string>& parts) {
        RegistryFile::Key* key = &out_.top_;
        for (const std::string& part : parts) {
            auto [it, added] = key->children.try_emplace(UpperAscii(part));
            if (added) {
                it->second = std::make_unique<RegistryFile::Key>();
                it->second->name = part;
                it->second->order = ++created_;
            }
            key = it->second.get();
        }
        return *key;
    }

    void RemoveKey(const std::vector<std::string>& parts) {
        RegistryFile::Key* parent = &out_.top_;
        for (std::size_t n = 0; n + 1 < parts.size(); ++n) {
            auto it = parent->children.find(UpperAscii(parts[n]));
            if (it == parent->children.end())
                return;
            parent = it->second.get();
        }
        auto it = parent->children.find(UpperAscii(parts.back()));
        if (it == parent->children.end())
            return;
        // The removed keys' dropped value slots are forgotten, so that a key made later at the
        // same address keeps its values.
        std::vector<const RegistryFile::Key*> gone{it->second.get()};
        for (std::size_t k = 0; k < gone.size(); ++k)
            for (const auto& [upper, child] : gone[k]->children)
                gone.push_back(child.get());
        for (const RegistryFile::Key* key : gone)
            for (auto slot = dropped_.lower_bound({key, 0});
                 slot != dropped_.end() && slot->first == key;)
                slot = dropped_.erase(slot);
        parent->children.erase(it);
    }

    // Reads a quoted string starting at s[pos] == '"'; pos ends after the closing quote.
    std::string QuotedString(std::string_view s, std::size_t& pos) const {
        std::string out;
        ++pos;
        while (pos < s.size()) {
            char c = s[pos++];
            if (c == '"')
                return out;
            if (c == '\\' && pos < s.size() && (s[pos] == '\\' || s[pos] == '"')) {
                out += s[pos++];
                continue;
            }
            out += c;
        }
        if (!s.empty() && s.back() == '"' && s.size() >= 2 && s[s.size() - 2] == '\\')
            Fail("a quoted string is not closed: the backslash before its last quote escapes "
                 "the quote; write a backslash at the end of a text as \\\\ (\"D:\\\\Srv\\\\\")");
        Fail("a quoted string is not closed");
    }

    void ValueLine(std::string_view line) {
        if (!key_ && !deletedSection_)
            Fail("a value line before the first key");
        std::size_t pos = 0;
        std::string name;
        if (line[0] == '@')
            pos = 1;
        else
            name = QuotedString(line, pos);
        std::string_view rest = TrimLeft(line.substr(pos));
        if (rest.empty() || rest.front() != '=')
            Fail("expected '=' after the value name");
        rest = TrimLeft(rest.substr(1));
        if (deletedSection_)
            return;

        if (rest == "-") {
            DropValue(name);
            return;
        }
        RegistryValue v;
        v.name = name;
        if (!rest.empty() && rest.front() == '"') {
            std::size_t p = 0;
            v.type = TRegDataType::rdString;
            v.text = QuotedString(rest, p);
            std::string_view tail = TrimLeft(rest.substr(p));
            if (!tail.empty() && tail.front() != ';')
                Fail("unexpected text after the closing quote: " + std::string(tail));
        } else if (UpperAscii(rest.substr(0, 6)) == "DWORD:") {
            std::string_view digits = rest.substr(6);
            if (digits.empty() || digits.size() > 8)
                Fail("a dword value needs 1 to 8 hexadecimal digits");
            for (char c : digits) {
                int d = HexDigitValue(c);
                if (d < 0)
                    Fail("a dword value needs 1 to 8 hexadecimal digits");
                v.integer = v.integer * 16 + static_cast<std::uint32_t>(d);
            }
            v.type = TRegDataType::rdInteger;
        } else if (UpperAscii(rest.substr(0, 3)) == "HEX") {
            HexValue(rest.substr(3), v);
        } else {
            Fail("unknown value data: " + std::string(rest));
        }
        DropValue(name);
        key_->valueIndex.emplace(UpperAscii(name), key_->values.size());
        key_->values.push_back(std::move(v));
    }

    // Forgets the value of the name in the current key, if it has one.
    void DropValue(const std::string& name) {
        auto it = key_->valueIndex.find(UpperAscii(name));
        if (it == key_->valueIndex.end())
            return;
        dropped_.insert({key_, it->second});
        key_->valueIndex.erase(it);
    }

    // "hex:..." or "hex(n):..." after the word hex.
    void HexValue(std::string_view s, RegistryValue& v) {
        int kind = 3; // REG_BINARY
        if (!s.empty() && s.front() == '(') {
            std::size_t close = s.find(')');
            if (close == std::string_view::npos)
                Fail("a hex(n) type is not closed");
            if (close == 1 || close > 9)
                Fail("a hex(n) type needs 1 to 8 hexadecimal digits");
            // Up to eight digits: any 32-bit type number; those not known here are binary.
            std::uint32_t type = 0;
            for (char c : s.substr(1, close - 1)) {
                int d = HexDigitValue(c);
                if (d < 0)
                    Fail("a hex(n) type must be hexadecimal");
                type = type * 16 + static_cast<std::uint32_t>(d);
            }
            kind = type <= 11 ? static_cast<int>(type) : -1;
            s.remove_prefix(close + 1);
        }
        if (s.empty() || s.front() != ':')
            Fail("expected ':' after hex");
        s.remove_prefix(1);
        std::string bytes;
        while (true) {
            s = TrimLeft(s);
            if (s.empty())
                break;
            if (s.size() < 2 || HexDigitValue(s[0]) < 0 || HexDigitValue(s[1]) < 0)
                Fail("hex data must be pairs of hexadecimal digits separated by commas");
            bytes += static_cast<char>(HexDigitValue(s[0]) * 16 + HexDigitValue(s[1]));
            s = TrimLeft(s.substr(2));
            if (s.empty())
                break;
            if (s.front() != ',')
                Fail("hex data must be pairs of hexadecimal digits separated by commas");
            s.remove_prefix(1);
        }
        v.bytes = bytes;
        switch (kind) {
        case 1: // REG_SZ
        case 2: // REG_EXPAND_SZ
            v.type = kind == 1 ? TRegDataType::rdString : TRegDataType::rdExpandString;
            {
                std::vector<std::string> strings = StringsOf(bytes);
                v.text = strings.empty() ? std::string() : strings.front();
                break;
            }
        case 4: // REG_DWORD, little-endian
            if (bytes.size() != 4)
                Fail("a hex(4) value must hold four bytes");
            v.type = TRegDataType::rdInteger;
            for (int i = 3; i >= 0; --i)
                v.integer = v.integer * 256 +
                            static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
            break;
        case 7: // REG_MULTI_SZ
            v.type = TRegDataType::rdMultiString;
            v.strings = StringsOf(bytes);
            break;
        default:
            v.type = TRegDataType::rdBinary;
            break;
        }
    }

    // The zero-terminated strings of string data: UTF-16LE in a version 5 file; in a REGEDIT4
    // file 8-bit text, taken as UTF-8 when it is well-formed UTF-8 and decoded in the system
    // code page otherwise (the registry editor wrote it in the ANSI code page).
    std::vector<std::string> StringsOf(const std::string& bytes) const {
        std::string text = unicode_ ? Utf16LeToUtf8(bytes) : DecodeUnmarkedText(bytes);
        std::vector<std::string> out;
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\0', start);
            if (end == std::string::npos)
                end = text.size();
            if (end == start) // the empty string that ends the list
                break;
            out.push_back(text.substr(start, end - start));
            start = end + 1;
        }
        return out;
    }
};

const RegistryValue* RegistryFile::Key::FindValue(std::string_view name) const {
    auto it = valueIndex.find(UpperAscii(name));
    return it == valueIndex.end() ? nullptr : &values[it->second];
}

std::shared_ptr<const RegistryFile> RegistryFile::Parse(std::string_view bytes,
                                                        const std::string& fileName) {
    auto file = std::make_shared<RegistryFile>();
    RegistryParser(*file, fileName).Run(bytes);
    return file;
}

std::shared_ptr<const RegistryFile> RegistryFile::Load(const std::string& fileName) {
    // A dialog reads the file for every setting it looks up; while the file stays as it was,
    // the parsed copy serves them.
    static TKeptFiles<RegistryFile> kept;
    return kept.Get(fileName, 0, [](const std::string& name) { return Read(name); });
}

std::shared_ptr<const RegistryFile> RegistryFile::Read(const std::string& fileName) {
    std::ifstream in(fileName, std::ios::binary);
    if (!in) {
        int err = errno;
        if (err == ENOENT)
            return std::make_shared<RegistryFile>();
        throw Exception("Cannot read registry file " + fileName + ": " + std::strerror(err));
    }
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        throw Exception("Cannot read registry file " + fileName);
    return Parse(bytes, fileName);
}

std::string RegistryFile::RootName(HKEY root) {
    for (const auto& r : Roots)
        if (r.key == root)
            return r.name;
    return {};
}

const RegistryFile::Key* RegistryFile::FindLiteral(const std::vector<std::string>& parts) const {
    const Key* key = &top_;
    for (const std::string& part : parts) {
        auto it = key->children.find(UpperAscii(part));
        if (it == key->children.end())
            return nullptr;
        key = it->second.get();
    }
    return key;
}

const RegistryFile::Key* RegistryFile::FindKey(HKEY root, std::string_view path) const {
    std::vector<std::string> rest = SplitPath(path);
    const auto under = [&rest](std::vector<std::string> prefix) {
        prefix.insert(prefix.end(), rest.begin(), rest.end());
        return prefix;
    };
    // A root exists whether or not the file names it.
    static const Key emptyRoot{};
    if (root == HKEY_CLASSES_ROOT) {
        if (const Key* k = FindLiteral(under({"HKEY_CURRENT_USER", "SOFTWARE", "CLASSES"})))
            return k;
        if (const Key* k = FindLiteral(under({"HKEY_LOCAL_MACHINE", "SOFTWARE", "CLASSES"})))
            return k;
        return rest.empty() ? &emptyRoot : nullptr;
    }
    std::string name = RootName(root);
    if (name.empty())
        return nullptr;
    const Key* k = FindLiteral(under({name}));
    return k || !rest.empty() ? k : &emptyRoot;
}

std::string RegistryFilePath() {
    if (const char* env = std::getenv("NUV_REGISTRY"); env && *env)
        return env;
    return "/etc/nuv/registry.reg";
}

TRegistry::TRegistry() : TRegistry(RegistryFilePath()) {}

TRegistry::TRegistry(std::string fileName) : fileName_(std::move(fileName)) {}

TRegistry::~TRegistry() = default;

const RegistryFile& TRegistry::File() {
    if (!file_)
        file_ = RegistryFile::Load(fileName_);
    return *file_;
}

void TRegistry::SetRootKey(HKEY root) {
    CloseKey();
    rootKey_ = root;
}

std::string TRegistry::Resolve(const std::string& key) const {
    const bool absolute = !key.empty() && key.front() == '\\';
    std::vector<std::string> parts = SplitPath(key);
    std::string relative = JoinPath(parts, parts.size());
    if (absolute || currentPath_.empty())
        return relative;
    return relative.empty() ? currentPath_ : currentPath_ + "\\" + relative;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
    std::string path = Resolve(key);
    const RegistryFile::Key* k = File().FindKey(rootKey_, path);
    if (!k)
        return false;
    current_ = k;
    currentPath_ = path;
    return true;
}

void TRegistry::CloseKey() {
    current_ = nullptr;
    currentPath_.clear();
}

bool TRegistry::KeyExists(const std::string& key) {
    return File().FindKey(rootKey_, Resolve(key)) != nullptr;
}

const RegistryValue* TRegistry::Find(const std::string& name) const {
    return current_ ? current_->FindValue(name) : nullptr;
}

std::string TRegistry::Describe(const std::string& name) const {
    return "'" + name + "' in " + RegistryFile::RootName(rootKey_) +
           (currentPath_.empty() ? "" : "\\" + currentPath_) + " (" + fileName_ + ")";
}

bool TRegistry::ValueExists(const std::string& name) const {
    return Find(name) != nullptr;
}

TRegDataType TRegistry::GetDataType(const std::string& name) const {
    const RegistryValue* v = Find(name);
    return v ? v->type : TRegDataType::rdUnknown;
}

std::string TRegistry::ReadString(const std::string& name) const {
    const RegistryValue* v = Find(name);
    if (!v)
        return {};
    if (v->type != TRegDataType::rdString && v->type != TRegDataType::rdExpandString)
        throw Exception("Invalid data type for " + Describe(name) + ": not a text value");
    return v->text;
}

int TRegistry::ReadInteger(const std::string& name) const {
    const RegistryValue* v = Find(name);
    if (!v)
        throw Exception("Failed to get data for " + Describe(name) + ": no such value");
    if (v->type != TRegDataType::rdInteger)
        throw Exception("Invalid data type for " + Describe(name) + ": not a dword value");
    return static_cast<int>(v->integer);
}

std::vector<std::string> TRegistry::GetKeyNames() const {
    return current_ ? current_->subKeys : std::vector<std::string>{};
}

std::vector<std::string> TRegistry::GetValueNames() const {
    std::vector<std::string> names;
    if (current_)
        for (const RegistryValue& v : current_->values)
            names.push_back(v.name);
    return names;
}

} // namespace nuv
