// wine_hook_bench: what quellhook.dll adds to every key press and mouse
// event, measured end to end, beside a low-level hook that only passes the
// event on and beside no hook at all.
//
// Three threads play the parts of a real session. The main thread is the
// program: it installs the hooks, owns the window the library posts its
// notices to, and pumps messages, so the low-level hooks run on it. A second
// thread is the program in front: its focused window receives the keys and
// the wheel turns, and the library's ordinary keyboard hook runs there. A
// third thread is the hardware: it injects the events with SendInput.
//
// Configurations: no hook; a pass-through WH_KEYBOARD_LL/WH_MOUSE_LL pair that
// counts its calls and calls CallNextHookEx; quellhook.dll loaded by name from
// this program's folder, its hooks installed (SetShellHook) with hot keys set
// and everything lockable, unlocked.
//
// What is timed: a pair of events (an F13 press and its release; an absolute
// move inside the window and a wheel turn), from the start of SendInput to the
// moment the window in front receives the pair's second event, halved. The
// window is the witness because it sees an event after every hook has had it:
// a witness hook would change the chain it measures, and would miss the
// ordinary keyboard hook, which runs when the receiver takes a key off its
// queue. (Moves coalesce in a queue, wheel turns do not, and a queue keeps
// order, so the turn arrives after the move.) One pair at a time, because the
// median latency of many pairs shrugs off the pairs that other work on this
// machine delayed, where the total time of a burst adds every delay up.
//
// Stability on a shared machine: each batch's figure is the median of its
// pairs; the configurations take turns in short batches, their order rotating
// from round to round, so that a slow stretch of the machine weighs on all of
// them alike; ratios are formed within a round; and the figures over the
// rounds are given as median, quartiles and extremes, the ratios also with a
// 95 % confidence interval of their median.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "HookDll/HookExports.h"
#include "BenchStatistics.h"
#include "HookDll/HookProtocol.h"

namespace {

namespace exports = quell::hook_exports;
using quell::bench::Format;
using quell::bench::Median;
using quell::bench::SpreadOf;

constexpr WORD kKey = VK_F13;                 // does nothing anywhere
constexpr UINT kInstallMessage = WM_APP + 1;  // wParam: Config; returns 1 when installed
constexpr UINT kRemoveMessage = WM_APP + 2;
constexpr UINT kFinishedMessage = WM_APP + 3;
constexpr DWORD kPairTimeoutMs = 10000;

enum Config : int { kNoHook, kPassThrough, kQuellhook, kConfigCount };
const char* const kConfigNames[kConfigCount] = {"no hook", "pass-through hook",
                                                "quellhook, unlocked"};
enum Kind : int { kKeys, kMouse, kKindCount };

struct Options {
  int rounds = 40;
  int events = 100;  // per batch, in pairs
  long spinNs = 0;   // busy time added to every pass-through hook call
  bool verbose = false;
};

struct QuellApi {
  HMODULE module = nullptr;
  exports::SetShellHookFn setShellHook = nullptr;
  exports::UnSetShellHookFn unSetShellHook = nullptr;
  exports::SetNotifyWndFn setNotifyWnd = nullptr;
  exports::SetPropertiesFn setProperties = nullptr;
  exports::GetIsLockedFn getIsLocked = nullptr;
};

// What the three threads share; hook and window procedures have no other way
// to reach it.
struct Bench {
  Options options;
  QuellApi quell;
  HWND programWindow = nullptr;  // main thread: the library's notices, hook installation
  HWND frontWindow = nullptr;    // front thread: the witness
  HANDLE frontReady = nullptr;   // set once the witness has the focus, or could not get it
  HANDLE pairSeen = nullptr;
  HHOOK passKeyboard = nullptr, passMouse = nullptr;
  bool quellInstalled = false;
  LONGLONG spinTicks = 0;
  std::atomic<long> keyUps{0}, wheels{0}, activity{0}, passCalls{0};
  std::atomic<long> witnessTarget{0};
  std::atomic<LONGLONG> lastSeen{0};
  std::string error;  // written by the injecting thread before it finishes
  // Microseconds per event, per configuration and kind, one value per round.
  std::vector<double> perEvent[kConfigCount][kKindCount];
};
Bench g_bench;

template <typename Fn>
bool Resolve(HMODULE module, const char* name, Fn& fn) {
  fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  return fn != nullptr;
}

LONGLONG Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

LONGLONG TicksPerSecond() {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return f.QuadPart;
}

bool Fail(const std::string& why) {
  if (g_bench.error.empty()) g_bench.error = why;
  return false;
}

// --- the program: main thread ---

LRESULT CALLBACK PassThroughProc(int code, WPARAM wParam, LPARAM lParam) {
  g_bench.passCalls.fetch_add(1, std::memory_order_relaxed);
  if (g_bench.spinTicks > 0) {
    const LONGLONG until = Now() + g_bench.spinTicks;
    while (Now() < until) {
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

bool Install(Config config) {
  Bench& b = g_bench;
  switch (config) {
    case kNoHook: return true;
    case kPassThrough: {
      const HINSTANCE self = GetModuleHandleA(nullptr);
      b.passKeyboard = SetWindowsHookExA(WH_KEYBOARD_LL, PassThroughProc, self, 0);
      b.passMouse = SetWindowsHookExA(WH_MOUSE_LL, PassThroughProc, self, 0);
      return b.passKeyboard != nullptr && b.passMouse != nullptr;
    }
    case kQuellhook:
      b.quellInstalled = b.quell.setShellHook() == 1;
      return b.quellInstalled && b.quell.getIsLocked() == 0;
    default: return false;
  }
}

void Remove() {
  Bench& b = g_bench;
  for (HHOOK* hook : {&b.passKeyboard, &b.passMouse}) {
    if (*hook != nullptr) UnhookWindowsHookEx(*hook);
    *hook = nullptr;
  }
  if (b.quellInstalled) b.quell.unSetShellHook();
  b.quellInstalled = false;
}

LRESULT CALLBACK ProgramProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case quell::kNotifyMessage:
      if (lParam == quell::LN_ACTIVITY) g_bench.activity.fetch_add(1);
      return 0;
    case kInstallMessage: return Install(static_cast<Config>(wParam)) ? 1 : 0;
    case kRemoveMessage: Remove(); return 0;
    case kFinishedMessage: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

// --- the program in front: the witness ---

void Witness(std::atomic<long>& counter) {
  if (counter.fetch_add(1) + 1 == g_bench.witnessTarget.load()) {
    g_bench.lastSeen.store(Now());
    SetEvent(g_bench.pairSeen);
  }
}

LRESULT CALLBACK FrontProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_KEYUP:
      if (wParam == kKey) Witness(g_bench.keyUps);
      return 0;
    case WM_MOUSEWHEEL: Witness(g_bench.wheels); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

DWORD WINAPI FrontThread(LPVOID) {
  Bench& b = g_bench;
  HWND window = CreateWindowExA(WS_EX_TOPMOST, "QuellBenchFront", "hook benchmark",
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  bool focused = false;
  for (int i = 0; window != nullptr && i < 250 && !focused; ++i) {
    SetForegroundWindow(window);
    SetFocus(window);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    focused = GetForegroundWindow() == window && GetFocus() == window;
    if (!focused) Sleep(20);
  }
  b.frontWindow = focused ? window : nullptr;
  SetEvent(b.frontReady);
  if (!focused) return 1;
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}

// --- the hardware: the injecting thread ---

std::vector<INPUT> KeyPairs(int events) {
  std::vector<INPUT> inputs(static_cast<std::size_t>(events));
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    inputs[i].type = INPUT_KEYBOARD;
    inputs[i].ki.wVk = kKey;
    inputs[i].ki.dwFlags = i % 2 == 0 ? 0 : KEYEVENTF_KEYUP;
  }
  return inputs;
}

// Absolute moves to two points of the window in turn, each followed by a
// wheel turn, up and down in turn.
std::vector<INPUT> MousePairs(int events, HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  std::vector<INPUT> inputs(static_cast<std::size_t>(events));
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    INPUT& in = inputs[i];
    in.type = INPUT_MOUSE;
    const int turn = i % 4 < 2 ? 1 : -1;
    if (i % 2 == 0) {
      in.mi.dx = MulDiv(cx + 10 * turn, 65535, width - 1);
      in.mi.dy = MulDiv(cy + 10 * turn, 65535, height - 1);
      in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    } else {
      in.mi.mouseData = static_cast<DWORD>(turn * WHEEL_DELTA);
      in.mi.dwFlags = MOUSEEVENTF_WHEEL;
    }
  }
  return inputs;
}

// One batch of pairs: microseconds per event, or a negative number after Fail.
double RunBatch(Config config, Kind kind, std::vector<INPUT>& inputs) {
  Bench& b = g_bench;
  const long events = static_cast<long>(inputs.size());
  b.keyUps = 0;
  b.wheels = 0;
  b.activity = 0;
  b.passCalls = 0;
  std::vector<double> pairTicks;
  for (long p = 0; p < events / 2; ++p) {
    b.witnessTarget = p + 1;
    ResetEvent(b.pairSeen);
    const LONGLONG start = Now();
    const UINT sent = SendInput(2, &inputs[static_cast<std::size_t>(2 * p)], sizeof(INPUT));
    if (sent != 2) {
      Fail("SendInput took " + std::to_string(sent) + " of 2 events (error " +
           std::to_string(GetLastError()) + ")");
      return -1;
    }
    if (WaitForSingleObject(b.pairSeen, kPairTimeoutMs) != WAIT_OBJECT_0) {
      const long seen = (kind == kKeys ? b.keyUps : b.wheels).load();
      Fail(std::string("the window in front saw ") + std::to_string(seen) + " of " +
           std::to_string(p + 1) + (kind == kKeys ? " key releases" : " wheel turns") +
           " (did it lose the focus?)");
      return -1;
    }
    pairTicks.push_back(static_cast<double>(b.lastSeen.load() - start));
  }
  // Not timed: every event must have gone through the configuration's hooks,
  // or the figure means nothing. The last notices may still be on their way.
  const long expected = config == kPassThrough ? events
                        : config == kQuellhook ? (kind == kKeys ? events / 2 : events)
                                               : 0;
  std::atomic<long>& calls = config == kPassThrough ? b.passCalls : b.activity;
  for (int i = 0; i < 200 && calls.load() < expected; ++i) Sleep(10);
  if (calls.load() < expected) {
    Fail(std::string(kConfigNames[config]) + " saw " + std::to_string(calls.load()) + " of " +
         std::to_string(expected) + (kind == kKeys ? " key events" : " mouse events"));
    return -1;
  }
  return Median(pairTicks) / 2 * 1e6 / static_cast<double>(TicksPerSecond());
}

bool RunConfig(Config config, std::vector<INPUT> (&pairs)[kKindCount], bool record) {
  Bench& b = g_bench;
  if (SendMessageA(b.programWindow, kInstallMessage, config, 0) != 1) {
    SendMessageA(b.programWindow, kRemoveMessage, 0, 0);
    return Fail(std::string("could not install the ") + kConfigNames[config]);
  }
  bool ok = true;
  for (int kind = 0; kind < kKindCount && ok; ++kind) {
    const double t = RunBatch(config, static_cast<Kind>(kind), pairs[kind]);
    ok = t >= 0;
    if (ok && record) b.perEvent[config][kind].push_back(t);
  }
  SendMessageA(b.programWindow, kRemoveMessage, 0, 0);
  return ok;
}

DWORD WINAPI InjectingThread(LPVOID) {
  Bench& b = g_bench;
  std::vector<INPUT> pairs[kKindCount] = {KeyPairs(b.options.events),
                                          MousePairs(b.options.events, b.frontWindow)};
  // A round that does not count first: the library, caches and the server's
  // tables warm up.
  bool ok = true;
  for (int c = 0; c < kConfigCount && ok; ++c) ok = RunConfig(Config(c), pairs, false);
  for (int round = 0; round < b.options.rounds && ok; ++round) {
    for (int i = 0; i < kConfigCount && ok; ++i) {
      ok = RunConfig(Config((round + i) % kConfigCount), pairs, true);
    }
    if (ok && b.options.verbose) {
      std::printf("round %2d:", round + 1);
      for (int kind = 0; kind < kKindCount; ++kind) {
        for (int c = 0; c < kConfigCount; ++c) std::printf(" %7.1f", b.perEvent[c][kind].back());
        std::printf(kind == kKeys ? "  |" : "\n");
      }
      std::fflush(stdout);
    }
  }
  PostMessageA(b.frontWindow, WM_CLOSE, 0, 0);
  PostMessageA(b.programWindow, kFinishedMessage, 0, 0);
  return ok ? 0 : 1;
}

// --- the figures ---

void PrintResults() {
  const Bench& b = g_bench;
  const char* (*wineVersion)() = nullptr;
  const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  const bool wine = ntdll != nullptr && Resolve(ntdll, "wine_get_version", wineVersion);
  std::printf("\nquellhook.dll beside a pass-through low-level hook: %s build, %s%s\n",
              sizeof(void*) == 8 ? "x86_64" : "i686", wine ? "Wine " : "Windows",
              wine ? wineVersion() : "");
  std::printf(
      "%d rounds, each configuration in turn (order rotating); per round and configuration the "
      "median latency of %d pairs of events, halved\n",
      b.options.rounds, b.options.events / 2);
  if (b.options.spinNs > 0) {
    std::printf("the pass-through hook spins %ld ns per call (--spin-ns)\n", b.options.spinNs);
  }
  std::printf("over the rounds: median [quartiles] (least-most)\n\n");
  std::printf("%-26s %-38s %s\n", "microseconds per event", "keys (F13 press, release)",
              "mouse (move, wheel turn)");
  for (int c = 0; c < kConfigCount; ++c) {
    std::printf("%-26s %-38s %s\n", kConfigNames[c],
                Format(SpreadOf(b.perEvent[c][kKeys]), 1, false).c_str(),
                Format(SpreadOf(b.perEvent[c][kMouse]), 1, false).c_str());
  }
  // Within each round, so that a slow stretch of the machine weighs on both
  // sides of a ratio alike.
  std::vector<double> ratio[kKindCount], added[kKindCount];
  for (int kind = 0; kind < kKindCount; ++kind) {
    for (std::size_t r = 0; r < b.perEvent[kQuellhook][kind].size(); ++r) {
      const double none = b.perEvent[kNoHook][kind][r];
      const double pass = b.perEvent[kPassThrough][kind][r];
      const double quell = b.perEvent[kQuellhook][kind][r];
      ratio[kind].push_back(quell / pass);
      if (pass > none) added[kind].push_back((quell - none) / (pass - none));
    }
  }
  std::printf("\nquellhook / pass-through, per round; 95%%: the median's confidence interval\n");
  std::printf("  %-24s %s\n  %-24s %s\n", "keys, time per event",
              Format(SpreadOf(ratio[kKeys]), 3, true).c_str(), "mouse, time per event",
              Format(SpreadOf(ratio[kMouse]), 3, true).c_str());
  for (int kind = 0; kind < kKindCount; ++kind) {
    std::printf("  %-24s %s\n",
                kind == kKeys ? "keys, added to no hook" : "mouse, added to no hook",
                added[kind].empty() ? "(no hook was never faster)"
                                    : Format(SpreadOf(added[kind]), 3, true).c_str());
  }
}

bool ParseCount(const char* text, long low, long high, long* out) {
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || value < low || value > high) return false;
  *out = value;
  return true;
}

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    long value = 0;
    const bool hasValue = i + 1 < argc;
    if (arg == "--verbose") {
      options->verbose = true;
    } else if (arg == "--rounds" && hasValue && ParseCount(argv[++i], 3, 10000, &value)) {
      options->rounds = static_cast<int>(value);
    } else if (arg == "--events" && hasValue && ParseCount(argv[++i], 2, 100000, &value) &&
               value % 2 == 0) {
      options->events = static_cast<int>(value);
    } else if (arg == "--spin-ns" && hasValue && ParseCount(argv[++i], 0, 1000000, &value)) {
      options->spinNs = value;
    } else {
      std::fprintf(stderr, "wine_hook_bench: bad option or value: %s\n", argv[i]);
      std::fprintf(stderr,
                   "usage: wine_hook_bench [--rounds 3..10000] [--events EVEN 2..100000] "
                   "[--spin-ns 0..1000000] [--verbose]\n"
                   "  --events: per configuration, kind and round\n"
                   "  --spin-ns: busy time added to every pass-through hook call, to see what "
                   "difference a run resolves\n"
                   "  --verbose: each round's figures as it ends\n");
      return false;
    }
  }
  return true;
}

bool LoadQuellhook(QuellApi* api) {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  std::string file(path, length);
  file = file.substr(0, file.find_last_of("\\/") + 1) + "quellhook.dll";
  api->module = LoadLibraryA(file.c_str());
  if (api->module == nullptr) return false;
  return Resolve(api->module, "SetShellHook", api->setShellHook) &&
         Resolve(api->module, "UnSetShellHook", api->unSetShellHook) &&
         Resolve(api->module, "SetNotifyWnd", api->setNotifyWnd) &&
         Resolve(api->module, "SetProperties", api->setProperties) &&
         Resolve(api->module, "GetIsLocked", api->getIsLocked);
}

int Stop(const char* why) {
  std::fprintf(stderr, "wine_hook_bench: %s\n", why);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  Bench& b = g_bench;
  if (!ParseOptions(argc, argv, &b.options)) return 2;
  if (!LoadQuellhook(&b.quell)) return Stop("cannot load quellhook.dll from this program's folder");
  b.spinTicks = b.options.spinNs * TicksPerSecond() / 1000000000;

  const HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA program{};
  program.lpfnWndProc = ProgramProc;
  program.hInstance = instance;
  program.lpszClassName = "QuellBenchProgram";
  WNDCLASSA front = program;
  front.lpfnWndProc = FrontProc;
  front.hCursor = LoadCursor(nullptr, IDC_ARROW);
  front.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  front.lpszClassName = "QuellBenchFront";
  RegisterClassA(&program);
  RegisterClassA(&front);
  b.programWindow = CreateWindowExA(0, program.lpszClassName, "hook benchmark program", 0, 0, 0, 0,
                                    0, nullptr, nullptr, instance, nullptr);
  b.frontReady = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  b.pairSeen = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (b.programWindow == nullptr || b.frontReady == nullptr || b.pairSeen == nullptr) {
    return Stop("cannot create the program's window");
  }
  HANDLE frontThread = CreateThread(nullptr, 0, FrontThread, nullptr, 0, nullptr);
  if (frontThread == nullptr || WaitForSingleObject(b.frontReady, 15000) != WAIT_OBJECT_0 ||
      b.frontWindow == nullptr) {
    return Stop("the window in front could not get the keyboard focus");
  }

  // The library as the program sets it up: notices to the program's window,
  // hot keys set (so a key press may be one), everything lockable, unlocked.
  b.quell.setNotifyWnd(b.programWindow);
  const int properties[][2] = {{quell::PROP_LOCK_KEYBOARD, 1},   {quell::PROP_LOCK_MOUSE_BTN, 1},
                               {quell::PROP_LOCK_MOUSE_MOVE, 1}, {quell::PROP_LOCK_MOUSE_WHEEL, 1},
                               {quell::PROP_KEY_LOCK, 0xC04C},   {quell::PROP_KEY_UNLOCK, 0xC055},
                               {quell::PROP_LOCKED, 0}};
  for (const auto& p : properties) b.quell.setProperties(p[0], p[1]);

  std::printf("wine_hook_bench: %d rounds x %d configurations x %d key and %d mouse events\n",
              b.options.rounds, kConfigCount, b.options.events, b.options.events);
  std::fflush(stdout);
  HANDLE injector = CreateThread(nullptr, 0, InjectingThread, nullptr, 0, nullptr);
  if (injector == nullptr) return Stop("cannot start the injecting thread");
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  WaitForSingleObject(injector, INFINITE);
  WaitForSingleObject(frontThread, 5000);
  // The shared record as a first mapping finds it, for whoever maps the
  // library next.
  Remove();
  for (const auto& p : properties) b.quell.setProperties(p[0], 0);
  b.quell.setNotifyWnd(nullptr);
  if (!b.error.empty()) return Stop(b.error.c_str());
  PrintResults();
  return 0;
}
