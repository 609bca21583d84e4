// Helpers for tests that run as real Windows programs under Wine: message
// pumping with deadlines, a window that records what it receives, input
// injected from a second thread, and child processes with captured output.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace quell::wintest {

// Dispatches this thread's messages for `ms` milliseconds. Low-level hooks
// installed by this thread run only while it does this.
void PumpFor(DWORD ms);
// Dispatches messages until `done` holds or `timeoutMs` passes; returns `done()`.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

struct Received {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// A top-level window that records every message of interest it receives.
class RecordingWindow {
 public:
  explicit RecordingWindow(const char* title, bool visible = true);
  ~RecordingWindow();
  RecordingWindow(const RecordingWindow&) = delete;
  RecordingWindow& operator=(const RecordingWindow&) = delete;

  HWND Handle() const { return hwnd_; }
  // Makes the window the foreground window with the keyboard focus.
  bool Activate();
  std::vector<Received> Take(UINT message);  // received so far, then forgotten
  void Clear() { received_.clear(); }
  std::string TypedText() const { return typed_; }
  void ClearText() { typed_.clear(); }

 private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  HWND hwnd_ = nullptr;
  std::vector<Received> received_;
  std::string typed_;
};

// Key and mouse input built for SendInput. Left and right modifiers are
// sent by their own codes with their scan codes.
INPUT KeyInput(WORD vk, bool down);
std::vector<INPUT> Chord(std::initializer_list<WORD> modifiers, WORD key);
std::vector<INPUT> Typed(const std::string& lowercaseText);
INPUT MouseInput(DWORD flags, LONG dx = 0, LONG dy = 0, DWORD data = 0);

// Sends `inputs` one by one from a second thread while this thread pumps
// messages, then keeps pumping for `settleMs` so that posts arrive.
void SendFromAnotherThread(const std::vector<INPUT>& inputs, DWORD settleMs = 300);

// Runs a command line (UTF-8), pumping messages while it runs; returns its exit code
// and fills `output` with what it wrote to standard output.
DWORD RunProcess(const std::string& commandLine, std::string* output, DWORD timeoutMs = 20000);

// A window's class name and its text.
std::string ClassOf(HWND window);
std::string TextOf(HWND window);

// Window enumeration with a C++ visitor; the visitor returns false to stop.
// (The system's callbacks are WINAPI: a lambda converted to WNDENUMPROC is a
// cdecl function on i686 and does not compile there, rightly.)
using WindowVisitor = std::function<bool(HWND)>;
void ForEachTopLevelWindow(const WindowVisitor& visit);
void ForEachChildWindow(HWND parent, const WindowVisitor& visit);
void ForEachThreadWindow(DWORD threadId, const WindowVisitor& visit);

// The folder of the running test program, with a trailing backslash.
std::string ProgramFolder();

}  // namespace quell::wintest

namespace quell::wintest {

// Runs an X-side command (xdotool or import) through the relay of the Wine
// session and waits for it while pumping; returns its exit status, -1 when
// there is no relay or it did not answer.
int XRun(const std::string& commandLine, DWORD timeoutMs = 15000);
// Real input through the X server: xdotool with `arguments`.
void XDoTool(const std::string& arguments);
// The blocks in use in every heap of this process, counted by size: the
// exact measure of what a piece of code left allocated (Wine reports no
// private bytes and no GDI or USER counts, and a page of resident memory
// hides a hundred small blocks).
struct HeapCensus {
  std::size_t blocks = 0;
  std::size_t bytes = 0;
  std::vector<std::pair<std::size_t, std::size_t>> bySize;  // size, count
};
HeapCensus TakeHeapCensus();
// "+N of S bytes" for each block size that grew from `before` to `after`.
std::string HeapGrowth(const HeapCensus& before, const HeapCensus& after);
// Runs `cycle` `warmUps` times (so that lazily made resources exist), then
// `count` times between two censuses.
struct HeapChange {
  HeapCensus before, after;
  long long Blocks() const {
    return static_cast<long long>(after.blocks) - static_cast<long long>(before.blocks);
  }
  std::string Growth() const { return HeapGrowth(before, after); }
};
HeapChange HeapChangeOver(int warmUps, int count, const std::function<void()>& cycle);

// Gives the X input focus to the X window of a top-level window of this
// process (under Wine; nothing elsewhere).
void FocusXWindowOf(HWND window);
// Saves a picture of the whole X screen as <artifacts>/<name>.png and
// returns its Unix path ("" on failure). Artifacts go to $QUELL_ARTIFACTS.
std::string Screenshot(const std::string& name);
// The X screen's pixels as the user sees them, read through the relay (no
// artifacts folder needed); empty (width 0) when none could be taken.
struct ScreenPixels {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;  // row by row, three bytes a pixel
  COLORREF At(int x, int y) const;
};
ScreenPixels TakeScreenPixels();
// Moves the X pointer to a point of the Windows desktop (the virtual
// desktop's origin is the X screen's origin).
void XMoveTo(POINT screenPoint);

}  // namespace quell::wintest
