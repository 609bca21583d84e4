// Timings of the hook library's decision paths with the log closed and a
// platform that does nothing: the work each hook call adds to every key
// press and mouse event in the system.
#include <benchmark/benchmark.h>

#include "HookDll/HookLibrary.h"

namespace {

using namespace quell;
using namespace quell::hook;

class NullPlatform final : public HookPlatform, public SystemSettings {
 public:
  std::uint32_t InstallHook(HookKind, std::uintptr_t) override { return 1; }
  bool RemoveHook(std::uint32_t) override { return true; }
  void Post(std::uint32_t, std::uintptr_t, std::intptr_t) override {}
  bool IsKeyDown(int) override { return false; }
  int KeyName(std::int32_t, char*, int) override { return 0; }
  void Beep() override {}
  std::uint32_t TickCount() override { return 0; }
  std::uint32_t CurrentProcessId() override { return 1; }
  bool IsProcessRunning(std::uint32_t) override { return true; }
  bool SystemParameters(std::uint32_t, std::uint32_t, void*, std::uint32_t) override {
    return true;
  }
  bool OpenRegistryKey(std::uint32_t, const char*, std::uintptr_t*) override { return false; }
  bool CreateRegistryKey(std::uint32_t, const char*, std::uintptr_t*) override { return false; }
  RegistryValue QueryRegistryValue(std::uintptr_t, const char*, std::uint32_t*, void*,
                                   std::uint32_t*) override {
    return RegistryValue::Absent;
  }
  bool SetRegistryValue(std::uintptr_t, const char*, std::uint32_t, const void*,
                        std::uint32_t) override {
    return true;
  }
  bool DeleteRegistryValue(std::uintptr_t, const char*) override { return true; }
  void CloseRegistryKey(std::uintptr_t) override {}
};

struct Bench {
  SharedHookState shared{};
  ProcessState process{};
  NullPlatform os;
  HookLibrary lib{shared, process, os, os};

  explicit Bench(bool locked) {
    process.module = 1;
    lib.SetShellHook();
    lib.SetProperties(PROP_LOCK_KEYBOARD, 1);
    lib.SetProperties(PROP_LOCK_MOUSE_BTN, 1);
    lib.SetProperties(PROP_LOCK_MOUSE_MOVE, 1);
    lib.SetProperties(PROP_KEY_LOCK, 0xC04C);
    lib.SetProperties(PROP_KEY_UNLOCK, 0xC055);
    if (locked) lib.SetProperties(PROP_LOCKED, 1);
  }
};

// A press and a release of an ordinary key per iteration: two events.
void LowLevelKeyboard(benchmark::State& state) {
  Bench b(state.range(0) != 0);
  std::uint32_t time = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(b.lib.LowLevelKeyboardProc(0, kWmKeyDown, {0x41, 0x1E, 0, ++time}));
    benchmark::DoNotOptimize(b.lib.LowLevelKeyboardProc(0, kWmKeyUp, {0x41, 0x1E, 0, ++time}));
  }
  state.SetItemsProcessed(2 * state.iterations());
  state.SetLabel(state.range(0) ? "locked, per 2 events" : "unlocked, per 2 events");
}
BENCHMARK(LowLevelKeyboard)->Arg(0)->Arg(1);

void OrdinaryKeyboard(benchmark::State& state) {
  Bench b(state.range(0) != 0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(b.lib.KeyboardProc(0, 0x41, 0x001E0001));
    benchmark::DoNotOptimize(b.lib.KeyboardProc(0, 0x41, 0xC01E0001));
  }
  state.SetItemsProcessed(2 * state.iterations());
  state.SetLabel(state.range(0) ? "locked, per 2 events" : "unlocked, per 2 events");
}
BENCHMARK(OrdinaryKeyboard)->Arg(0)->Arg(1);

void LowLevelMouse(benchmark::State& state) {
  Bench b(state.range(0) != 0);
  for (auto _ : state) benchmark::DoNotOptimize(b.lib.LowLevelMouseProc(0, kWmMouseMove));
  state.SetItemsProcessed(state.iterations());
  state.SetLabel(state.range(0) ? "locked, per event" : "unlocked, per event");
}
BENCHMARK(LowLevelMouse)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
