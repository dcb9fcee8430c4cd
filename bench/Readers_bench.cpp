// The registry and INI readers on large files of the shapes that a hostile or careless writer
// can produce: a value continued over many lines, many keys added and removed, keys nested to
// the deepest level with long names, many values replaced in one key, and many sections read
// as a list. Each runs at n and 4n: with reading linear in the file's size the time grows about
// four times (Complexity reports the fit).
//
//   readers_bench [benchmark arguments]
#include "platform/IniFile.h"
#include "platform/Registry.h"

#include <benchmark/benchmark.h>

#include <string>

using namespace nuv;

namespace {

std::string ContinuedValue(int lines) {
    std::string text = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n\"Bin\"=hex:";
    for (int i = 0; i < lines; ++i)
        text += "00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,\\\n  ";
    return text + "ff\n";
}

std::string KeysAddedAndRemoved(int keys) {
    std::string text = "REGEDIT4\n";
    for (int i = 0; i < keys; ++i)
        text += "[HKEY_LOCAL_MACHINE\\Software\\Many\\Key" + std::to_string(i) + "]\n\"v\"=\"" +
                std::to_string(i) + "\"\n";
    for (int i = 0; i < keys; ++i)
        text += "[-HKEY_LOCAL_MACHINE\\Software\\Many\\Key" + std::to_string(i) + "]\n";
    return text;
}

// keys lines, each a key at the deepest level allowed, with names of 200 characters.
std::string DeepKeys(int keys) {
    std::string path = "HKEY_LOCAL_MACHINE";
    for (int i = 0; i < MaxRegistryKeyDepth; ++i)
        path += "\\" + std::string(199, 'k') + static_cast<char>('a' + i % 26);
    std::string text = "REGEDIT4\n";
    for (int i = 0; i < keys; ++i)
        text += "[" + path + std::to_string(i) + "]\n";
    return text;
}

std::string ValuesReplaced(int values) {
    std::string text = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\A]\n";
    for (int i = 0; i < values; ++i)
        text += "\"v" + std::to_string(i) + "\"=\"x\"\n";
    for (int i = 0; i < values; ++i)
        text += "\"V" + std::to_string(i) + "\"=\"y\"\n\"v" + std::to_string(i / 2) + "\"=-\n";
    return text;
}

void RegistryRead(benchmark::State& state, std::string (*make)(int)) {
    const std::string text = make(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(RegistryFile::Parse(text, "bench.reg"));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.SetComplexityN(static_cast<std::int64_t>(text.size()));
}

void IniReadSections(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < state.range(0); ++i)
        text += "[Section" + std::to_string(i) + "]\nKey=" + std::to_string(i) + "\n";
    for (auto _ : state) {
        TIniFile ini("bench.ini", text);
        benchmark::DoNotOptimize(ini.ReadSections());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.SetComplexityN(static_cast<std::int64_t>(text.size()));
}

} // namespace

BENCHMARK_CAPTURE(RegistryRead, ContinuedValue, ContinuedValue)
    ->Arg(10'000)
    ->Arg(40'000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK_CAPTURE(RegistryRead, KeysAddedAndRemoved, KeysAddedAndRemoved)
    ->Arg(5'000)
    ->Arg(20'000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK_CAPTURE(RegistryRead, DeepKeys, DeepKeys)
    ->Arg(5)
    ->Arg(20)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK_CAPTURE(RegistryRead, ValuesReplaced, ValuesReplaced)
    ->Arg(10'000)
    ->Arg(40'000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(IniReadSections)
    ->Arg(10'000)
    ->Arg(40'000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

BENCHMARK_MAIN();
