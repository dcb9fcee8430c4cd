// The INI file reader on any bytes: every section it lists is found again with its keys and
// values, and reading never fails.
#include "platform/IniFile.h"

#include "FuzzInput.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    nuv::fuzz::FuzzInput in(data, size);
    const std::string section = in.Text();
    const std::string key = in.Text();
    nuv::TIniFile ini("fuzz.ini", in.Rest());
    for (const std::string& name : ini.ReadSections()) {
        const auto keys = ini.ReadSection(name);
        const auto lines = ini.ReadSectionValues(name);
        if (keys.size() != lines.size())
            __builtin_trap();
        for (const std::string& k : keys) {
            if (!ini.ValueExists(name, k))
                __builtin_trap();
            ini.ReadInteger(name, k, 0);
        }
        if (ini.SectionExists(name) != !keys.empty())
            __builtin_trap();
    }
    ini.ReadString(section, key, "default");
    ini.ReadInteger(section, key, 7);
    ini.ReadBool(section, key, true);
    return 0;
}
