// busy_hook_bench: how long a low-level keyboard or mouse event waits in the
// hook chain while the real program is at its busiest.
//
// The real Quellane.exe and quellhook.dll run from a folder of their own,
// unlocked, their hooks installed. Before the program starts, this bench
// installs its own WH_KEYBOARD_LL and WH_MOUSE_LL hooks on a thread that
// does nothing else: the system calls the newest hook first, so the bench's
// hooks are called after the program's, and the time from SendInput to
// the bench's hook is the time the event spent in the program's hooks (plus
// the system's own passing). The bench's hooks swallow the events they
// measure, so no window gets them (an F13 press and release, a one-pixel
// move there and back).
//
// Meanwhile the program is made busy, one thing at a time, as a user would
// make it: the options dialog opening (a tray click), the tray menu drawn
// (a right-click), "Set..." with a new password (a PBKDF2 derivation), and
// Save to a slow disk (QUELL_TEST_FLUSH_DELAY_MS makes the settings' flush
// take 2 s). For each, and for the program idle, it prints the events
// measured, their median, 99th percentile and worst time in milliseconds.
//
// Run it against another build of the program by copying this bench beside
// that build's Quellane.exe and quellhook.dll: it takes both from its own
// folder.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "HookDll/HookProtocol.h"
#include "tests/win/support/ProgramWindows.h"
#include "tests/win/support/QuellaneProcess.h"
#include "tests/win/support/WinTestSupport.h"

namespace {

using namespace quell::wintest;

constexpr ULONG_PTR kMark = 0x5155454C;  // dwExtraInfo of the bench's events
constexpr DWORD kEventGapMs = 10;
constexpr WORD kKey = VK_F13;

// Keyboard and mouse unlocked with hot keys set: the program's hooks look
// at every event and pass it on.
const char* const kSettings =
    "[Config.Lock All]\r\nLOCK_KEYBOARD=1\r\nLOCK_MOUSE_BTN=0\r\nLOCK_MOUSE_MOVE=0\r\n"
    "LOCK_MOUSE_WHEEL=0\r\nKEY_LOCK=49228\r\nKEY_UNLOCK=49237\r\nCHECK_IDLE=0\r\n\r\n";

LARGE_INTEGER g_frequency;
double Ms(LONGLONG ticks) { return 1000.0 * static_cast<double>(ticks) / g_frequency.QuadPart; }
LONGLONG Now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

// The injector's send time and the witness hook's arrival time of the event
// in flight; one event at a time.
std::atomic<LONGLONG> g_arrived{0};
std::atomic<bool> g_arrivedFlag{false};

LRESULT CALLBACK WitnessKeyboard(int code, WPARAM wParam, LPARAM lParam) {
  const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
  if (code == HC_ACTION && key->dwExtraInfo == kMark) {
    g_arrived = Now();
    g_arrivedFlag = true;
    return 1;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK WitnessMouse(int code, WPARAM wParam, LPARAM lParam) {
  const auto* mouse = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
  if (code == HC_ACTION && mouse->dwExtraInfo == kMark) {
    g_arrived = Now();
    g_arrivedFlag = true;
    return 1;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

DWORD WINAPI WitnessThread(void* ready) {
  MSG message;
  PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
  const HMODULE self = GetModuleHandleA(nullptr);
  const bool hooked = SetWindowsHookExA(WH_KEYBOARD_LL, &WitnessKeyboard, self, 0) &&
                      SetWindowsHookExA(WH_MOUSE_LL, &WitnessMouse, self, 0);
  *static_cast<bool*>(ready) = hooked;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}

struct Samples {
  std::vector<double> keys, mouse;
  int lost = 0;
};

// Injects one event every kEventGapMs while `running`, alternating a key
// and a move, and records how long each took to reach the witness.
struct Injector {
  std::atomic<bool> running{false};
  std::atomic<bool> measuring{false};
  Samples samples;
  HANDLE thread = nullptr;

  static DWORD WINAPI Main(void* self) {
    auto* injector = static_cast<Injector*>(self);
    for (unsigned n = 0; injector->running; ++n) {
      INPUT input{};
      const bool key = n % 2 == 0;
      if (key) {
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = kKey;
        input.ki.dwFlags = n % 4 == 0 ? 0 : KEYEVENTF_KEYUP;
        input.ki.dwExtraInfo = kMark;
      } else {
        input.type = INPUT_MOUSE;
        input.mi.dx = n % 4 == 1 ? 1 : -1;
        input.mi.dwFlags = MOUSEEVENTF_MOVE;
        input.mi.dwExtraInfo = kMark;
      }
      g_arrivedFlag = false;
      // An event counts for the scenario it was sent in, however long it
      // takes to arrive.
      const bool measured = injector->measuring;
      const LONGLONG sent = Now();
      SendInput(1, &input, sizeof input);
      // The event arrives at the witness by now, or it was lost (measured
      // as the wait, up to 10 s).
      const LONGLONG deadline = sent + 10 * g_frequency.QuadPart;
      while (!g_arrivedFlag && Now() < deadline) Sleep(0);
      const double ms = g_arrivedFlag ? Ms(g_arrived - sent) : Ms(Now() - sent);
      // ...and so does one that was waiting when the scenario began.
      if (measured || injector->measuring) {
        if (!g_arrivedFlag) ++injector->samples.lost;
        (key ? injector->samples.keys : injector->samples.mouse).push_back(ms);
      }
      Sleep(kEventGapMs);
    }
    return 0;
  }
};

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const auto at = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
  return values[std::min(at, values.size() - 1)];
}

void Report(const char* scenario, const Samples& s) {
  for (const auto& [kind, values] : {std::pair{"keys", &s.keys}, std::pair{"mouse", &s.mouse}}) {
    std::printf("%-28s %-5s events %4zu  median %7.2f ms  p99 %8.2f ms  worst %8.2f ms\n", scenario,
                kind, values->size(), Percentile(*values, 0.5), Percentile(*values, 0.99),
                values->empty() ? 0.0 : *std::max_element(values->begin(), values->end()));
  }
  if (s.lost) std::printf("%-28s %d events did not reach the witness in 10 s\n", scenario, s.lost);
}

HWND TrayWindowOf(DWORD process) {
  const auto found = WindowsOf(process, "TTrayUtilWindow", nullptr, false);
  return found.empty() ? nullptr : found.front();
}

HWND OptionsOf(DWORD process) {
  const auto found = WindowsOf(process, "TQuellForm", "Quellane 1.03");
  return found.empty() ? nullptr : found.front();
}

void Click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

}  // namespace

int main() {
  QueryPerformanceFrequency(&g_frequency);
  bool hooked = false;
  HANDLE witness = CreateThread(nullptr, 0, &WitnessThread, &hooked, 0, nullptr);
  Sleep(500);
  if (!hooked) {
    std::fprintf(stderr, "the witness hooks could not be installed\n");
    return 1;
  }
  SetEnvironmentVariableA("QUELL_TEST_FLUSH_DELAY_MS", "2000");
  QuellaneProcess program;
  program.WriteSettings(kSettings);
  if (!program.Start()) {
    std::fprintf(stderr, "the program did not start from %s\n", program.Folder().c_str());
    return 1;
  }
  PumpFor(1500);
  const DWORD pid = program.ProcessId();
  const HWND tray = TrayWindowOf(pid);
  if (!tray) {
    std::fprintf(stderr, "no tray window\n");
    return 1;
  }

  // Each scenario must really happen, or its figures mean nothing.
  bool allRan = true;
  const auto require = [&](bool happened, const char* what) {
    if (happened) return;
    std::fprintf(stderr, "did not happen: %s\n", what);
    allRan = false;
  };

  Injector injector;
  injector.running = true;
  injector.thread = CreateThread(nullptr, 0, &Injector::Main, &injector, 0, nullptr);

  // Runs `busy` (which returns when the program is done with it), measuring
  // from its start until `settleMs` after it.
  const auto measure = [&](const char* scenario, const std::function<void()>& busy,
                           DWORD settleMs) {
    injector.samples = {};
    injector.measuring = true;
    busy();
    PumpFor(settleMs);
    injector.measuring = false;
    // The last event sent in the scenario may still be waiting.
    PumpFor(200);
    PumpUntil([&] { return g_arrivedFlag.load(); }, 11000);
    PumpFor(100);
    Report(scenario, injector.samples);
  };
  const auto openOptions = [&] {
    PostMessageA(tray, 0x401, 0, WM_LBUTTONDOWN);
    PostMessageA(tray, 0x401, 0, WM_LBUTTONUP);
    require(PumpUntil([&] { return OptionsOf(pid) != nullptr; }, 10000), "the options opened");
  };
  const auto closeOptions = [&] {
    if (HWND dialog = OptionsOf(pid)) Click(ChildOf(dialog, "Button", "Cancel"));
    require(PumpUntil([&] { return OptionsOf(pid) == nullptr; }, 10000), "the options closed");
  };

  measure(
      "idle", [] {}, 3000);
  measure("options dialog opening", openOptions, 1500);
  closeOptions();
  PumpFor(500);

  measure(
      "tray menu drawn",
      [&] {
        PostMessageA(tray, 0x401, 0, WM_RBUTTONDOWN);
        PostMessageA(tray, 0x401, 0, WM_RBUTTONUP);
        require(PumpUntil([&] { return !WindowsOf(pid, "#32768").empty(); }, 5000),
                "the tray menu opened");
      },
      1000);
  for (HWND menu : WindowsOf(pid, "#32768")) PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  PumpFor(500);

  openOptions();
  PumpFor(500);
  measure(
      "\"Set...\" a new password",
      [&] {
        HWND dialog = OptionsOf(pid);
        Click(ChildOf(dialog, "Button", "Set..."));
        HWND ask = nullptr;
        PumpUntil(
            [&] {
              const auto found = WindowsOf(pid, "TQuellForm", "Unlock Password");
              ask = found.empty() ? nullptr : found.front();
              return ask != nullptr;
            },
            5000);
        require(ask != nullptr, "the password dialog opened");
        if (!ask) return;
        HWND first = GetWindow(ask, GW_CHILD);
        std::vector<HWND> edits;
        for (HWND w = first; w; w = GetWindow(w, GW_HWNDNEXT))
          if (ClassOf(w) == "Edit") edits.push_back(w);
        for (HWND edit : edits)
          SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("bench1234"));
        Click(ChildOf(ask, "Button", "OK"));
        require(PumpUntil([&] { return WindowsOf(pid, "TQuellForm", "Unlock Password").empty(); },
                          10000),
                "the password was taken");
      },
      1000);

  measure(
      "Save to a slow disk (2 s)",
      [&] {
        const LONGLONG start = Now();
        Click(ChildOf(OptionsOf(pid), "Button", "Save"));
        // Saved once the new password is in the file.
        const bool saved = PumpUntil(
            [&] { return program.ReadSettings().find("\r\nPASSWORD=") != std::string::npos; },
            15000);
        std::printf("(the save %s after %.0f ms)\n", saved ? "ended" : "had not ended",
                    Ms(Now() - start));
        require(saved, "the settings were saved with the password");
      },
      500);

  injector.running = false;
  WaitForSingleObject(injector.thread, 10000);
  program.Close();
  PostThreadMessageA(GetThreadId(witness), WM_QUIT, 0, 0);
  WaitForSingleObject(witness, 5000);
  return allRan ? 0 : 1;
}
