// The registry file reader on any bytes: it parses or raises Exception, and a parsed file
// finds every key it lists and every value of a key by its name.
#include "platform/Registry.h"

#include <nuv/Exception.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        auto file = nuv::RegistryFile::Parse(bytes, "fuzz.reg");
        for (nuv::HKEY root : {nuv::HKEY_CLASSES_ROOT, nuv::HKEY_CURRENT_USER,
                               nuv::HKEY_LOCAL_MACHINE, nuv::HKEY_USERS}) {
            // Down the last subkey of each level, by full path from the root.
            std::string path;
            const nuv::RegistryFile::Key* key = file->FindKey(root, path);
            while (key != nullptr) {
                for (const nuv::RegistryValue& v : key->values)
                    if (key->FindValue(v.name) != &v)
                        __builtin_trap();
                if (key->subKeys.empty())
                    break;
                path += (path.empty() ? "" : "\\") + key->subKeys.back();
                key = file->FindKey(root, path);
                if (key == nullptr)
                    __builtin_trap(); // a listed subkey must be found
            }
        }
    } catch (const nuv::Exception&) {
        // A malformed file is refused with a message: the expected outcome for most inputs.
    }
    return 0;
}
