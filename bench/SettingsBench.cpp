// How loading the settings grows with the file, and what a lookup costs in
// a small section against a huge one. Run through `make bench`.
#include <benchmark/benchmark.h>

#include <map>
#include <string>

#include "settings/Properties.h"
#include "tests/native/settings/TestFiles.h"

namespace quell::settings {
namespace {

using test::TScratchDir;
using test::WriteBytes;

// A settings file of about `bytes` bytes: thousands of foreign sections of
// eight keys each, with the program's section in the middle.
std::string BigFile(std::size_t bytes) {
  std::string text = "; generated\r\n";
  bool placed = false;
  for (int section = 0; text.size() < bytes; ++section) {
    if (!placed && text.size() >= bytes / 2) {
      text += "[Config.Lock All]\r\n";
      for (std::string_view key : SettingKeys)
        if (!key.empty()) text += std::string(key) + "=1\r\n";
      placed = true;
    }
    text += "[Section " + std::to_string(section) + "]\r\n";
    for (int key = 0; key < 8; ++key)
      text += "Key" + std::to_string(key) + " = " + std::to_string(section * 8 + key) + "\r\n";
  }
  return text;
}

// One file per size, written once for the whole run.
const std::string& ExeForSize(std::size_t bytes) {
  static TScratchDir dir;
  static std::map<std::size_t, std::string> exes;
  auto found = exes.find(bytes);
  if (found == exes.end()) {
    const std::string name = "big" + std::to_string(bytes);
    WriteBytes(dir / (name + ".ini"), BigFile(bytes));
    found = exes.emplace(bytes, (dir / (name + ".exe")).string()).first;
  }
  return found->second;
}

void BM_LoadAndReadSlots(benchmark::State& state) {
  const std::size_t bytes = static_cast<std::size_t>(state.range(0)) << 20;
  const std::string& exe = ExeForSize(bytes);
  for (auto _ : state) {
    TLockIniFile ini(exe);
    ini.Load();
    std::int64_t sum = 0;
    for (int i = 1; i <= SettingSlotCount; ++i) sum += ini.Settings->Values[i];
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(bytes));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LoadAndReadSlots)
    ->Arg(1)
    ->Arg(2)
    ->Arg(5)
    ->Arg(10)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void BM_LookupInSection(benchmark::State& state) {
  const int keys = static_cast<int>(state.range(0));
  TMemIniFile ini("");
  std::string text = "[S]\n";
  for (int i = 0; i < keys; ++i) text += "KEY" + std::to_string(i) + "=" + std::to_string(i) + "\n";
  ini.LoadFromText(text);
  std::vector<std::string> probes;
  for (int i = 0; i < 64; ++i) probes.push_back("key" + std::to_string((i * 7919) % keys));
  std::size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(ini.ReadInt("s", probes[next], -1));
    benchmark::DoNotOptimize(ini.ReadInt("s", "MISSING", -1));
    next = (next + 1) % probes.size();
  }
}
BENCHMARK(BM_LookupInSection)->Arg(10)->Arg(1000)->Arg(100000);

}  // namespace
}  // namespace quell::settings

BENCHMARK_MAIN();
