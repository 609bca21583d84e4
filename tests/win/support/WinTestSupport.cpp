#include "WinTestSupport.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <thread>

#include "base/WideText.h"

namespace quell::wintest {

void PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (done()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return done();
    const DWORD wait = static_cast<DWORD>(deadline - now < 20 ? deadline - now : 20);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
  }
}

RecordingWindow::RecordingWindow(const char* title, bool visible) {
  static const char* const kClass = "QuellTestRecordingWindow";
  WNDCLASSA wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kClass;
  RegisterClassA(&wc);  // fails harmlessly when already registered
  hwnd_ = CreateWindowExA(0, kClass, title, WS_OVERLAPPEDWINDOW, 100, 100, 300, 200, nullptr,
                          nullptr, wc.hInstance, this);
  if (visible) {
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
  }
}

RecordingWindow::~RecordingWindow() {
  if (hwnd_) {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

bool RecordingWindow::Activate() {
  SetForegroundWindow(hwnd_);
  SetActiveWindow(hwnd_);
  SetFocus(hwnd_);
  // Keys typed through the X server go to the X input focus, which Wine
  // moves only when the foreground changes: a window that was already in
  // front when it was shown (before its X window was mapped) can be the
  // foreground while X still sends keys to a window clicked earlier (the
  // taskbar's notification area, say). The X window gets the focus itself.
  FocusXWindowOf(hwnd_);
  return PumpUntil([&] { return GetForegroundWindow() == hwnd_ && GetFocus() == hwnd_; }, 3000);
}

std::vector<Received> RecordingWindow::Take(UINT message) {
  std::vector<Received> found, rest;
  for (const auto& r : received_) (r.message == message ? found : rest).push_back(r);
  received_.swap(rest);
  return found;
}

LRESULT CALLBACK RecordingWindow::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<RecordingWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self) {
    switch (message) {
      case WM_USER:
      case WM_KEYDOWN:
      case WM_KEYUP:
      case WM_SYSKEYDOWN:
      case WM_SYSKEYUP:
      case WM_CHAR:
      case WM_LBUTTONDOWN:
      case WM_LBUTTONUP:
      case WM_RBUTTONDOWN:
      case WM_RBUTTONUP:
      case WM_MOUSEWHEEL:
      case WM_MOUSEMOVE:
      case WM_APPCOMMAND:
      case WM_ACTIVATE:
      case WM_KILLFOCUS: self->received_.push_back({message, wParam, lParam}); break;
      default: break;
    }
    if (message == WM_CHAR) self->typed_ += static_cast<char>(wParam);
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

INPUT KeyInput(WORD vk, bool down) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
  in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  if (vk == VK_RCONTROL || vk == VK_RMENU || vk == VK_DELETE)
    in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
  if (vk == VK_LSHIFT) in.ki.wScan = 0x2A;
  if (vk == VK_RSHIFT) in.ki.wScan = 0x36;
  if (vk == VK_LCONTROL || vk == VK_RCONTROL) in.ki.wScan = 0x1D;
  if (vk == VK_LMENU || vk == VK_RMENU) in.ki.wScan = 0x38;
  return in;
}

std::vector<INPUT> Chord(std::initializer_list<WORD> modifiers, WORD key) {
  std::vector<INPUT> inputs;
  for (WORD m : modifiers) inputs.push_back(KeyInput(m, true));
  inputs.push_back(KeyInput(key, true));
  inputs.push_back(KeyInput(key, false));
  for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) {
    inputs.push_back(KeyInput(*it, false));
  }
  return inputs;
}

std::vector<INPUT> Typed(const std::string& lowercaseText) {
  std::vector<INPUT> inputs;
  for (char c : lowercaseText) {
    const WORD vk = static_cast<WORD>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    inputs.push_back(KeyInput(vk, true));
    inputs.push_back(KeyInput(vk, false));
  }
  return inputs;
}

INPUT MouseInput(DWORD flags, LONG dx, LONG dy, DWORD data) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = dx;
  in.mi.dy = dy;
  in.mi.mouseData = data;
  in.mi.dwFlags = flags;
  return in;
}

void SendFromAnotherThread(const std::vector<INPUT>& inputs, DWORD settleMs) {
  std::atomic<bool> finished{false};
  std::thread sender([&] {
    for (INPUT in : inputs) {
      SendInput(1, &in, sizeof in);
      Sleep(15);
    }
    finished = true;
  });
  PumpUntil([&] { return finished.load(); }, 20000);
  sender.join();
  PumpFor(settleMs);
}

DWORD RunProcess(const std::string& commandLine, std::string* output, DWORD timeoutMs) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  CreatePipe(&readEnd, &writeEnd, &sa, 0);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = writeEnd;
  si.hStdError = writeEnd;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi{};
  std::wstring mutableLine = base::WideFromUtf8(commandLine);
  const BOOL started = CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, 0,
                                      nullptr, nullptr, &si, &pi);
  CloseHandle(writeEnd);
  if (!started) {
    CloseHandle(readEnd);
    return static_cast<DWORD>(-1);
  }
  std::string collected;
  std::atomic<bool> drained{false};
  std::thread reader([&] {
    char buffer[512];
    DWORD got = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) {
      collected.append(buffer, got);
    }
    drained = true;
  });
  PumpUntil([&] { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }, timeoutMs);
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0) {
    TerminateProcess(pi.hProcess, 99);
    WaitForSingleObject(pi.hProcess, 5000);
  } else {
    GetExitCodeProcess(pi.hProcess, &code);
  }
  reader.join();
  CloseHandle(readEnd);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  if (output) *output = collected;
  return code;
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TextOf(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

namespace {
BOOL CALLBACK VisitWindow(HWND window, LPARAM visitor) {
  return (*reinterpret_cast<const WindowVisitor*>(visitor))(window) ? TRUE : FALSE;
}
}  // namespace

void ForEachTopLevelWindow(const WindowVisitor& visit) {
  EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&visit));
}

void ForEachChildWindow(HWND parent, const WindowVisitor& visit) {
  EnumChildWindows(parent, VisitWindow, reinterpret_cast<LPARAM>(&visit));
}

void ForEachThreadWindow(DWORD threadId, const WindowVisitor& visit) {
  EnumThreadWindows(threadId, VisitWindow, reinterpret_cast<LPARAM>(&visit));
}

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of("\\/") + 1);
}

}  // namespace quell::wintest

namespace quell::wintest {

namespace {
std::string Environment(const char* name) {
  char value[1024] = {};
  const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
  return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}
// A Unix path as Wine's Z: drive shows it.
std::string WindowsPathOf(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}
}  // namespace

int XRun(const std::string& commandLine, DWORD timeoutMs) {
  static int counter = 0;
  const std::string spool = Environment("QUELL_X_RELAY");
  if (spool.empty()) return -1;
  const std::string stem = WindowsPathOf(spool) + "\\" + std::to_string(GetCurrentProcessId()) +
                           "-" + std::to_string(++counter);
  const std::string temp = stem + ".tmp", request = stem + ".cmd", done = stem + ".done";
  HANDLE file = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return -1;
  DWORD written = 0;
  const std::string line = commandLine + "\n";
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
  MoveFileA(temp.c_str(), request.c_str());
  int status = -1;
  PumpUntil([&] { return GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, timeoutMs);
  HANDLE answer = CreateFileA(done.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  if (answer != INVALID_HANDLE_VALUE) {
    char text[16] = {};
    DWORD got = 0;
    ReadFile(answer, text, sizeof text - 1, &got, nullptr);
    CloseHandle(answer);
    status = std::atoi(text);
  }
  DeleteFileA(done.c_str());
  DeleteFileA((stem + ".out").c_str());
  return status;
}

HeapCensus TakeHeapCensus() {
  std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 8);
  heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
  std::map<std::size_t, std::size_t> sizes;
  HeapCensus census;
  for (HANDLE heap : heaps) {
    if (!HeapLock(heap)) continue;
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heap, &entry)) {
      if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) == 0) continue;
      ++census.blocks;
      census.bytes += entry.cbData;
      ++sizes[entry.cbData];
    }
    HeapUnlock(heap);
  }
  census.bySize.assign(sizes.begin(), sizes.end());
  return census;
}

std::string HeapGrowth(const HeapCensus& before, const HeapCensus& after) {
  std::map<std::size_t, long long> change;
  for (const auto& [size, count] : after.bySize) change[size] += static_cast<long long>(count);
  for (const auto& [size, count] : before.bySize) change[size] -= static_cast<long long>(count);
  std::string text;
  for (const auto& [size, delta] : change) {
    if (delta <= 0) continue;
    text += " +" + std::to_string(delta) + " of " + std::to_string(size) + " bytes";
  }
  return text.empty() ? " nothing" : text;
}

HeapChange HeapChangeOver(int warmUps, int count, const std::function<void()>& cycle) {
  for (int i = 0; i < warmUps; ++i) cycle();
  HeapChange change;
  change.before = TakeHeapCensus();
  for (int i = 0; i < count; ++i) cycle();
  change.after = TakeHeapCensus();
  return change;
}

void FocusXWindowOf(HWND window) {
  // Wine's X11 driver names each top-level window's X window in this
  // property; a Windows build run elsewhere has none and needs nothing.
  const auto xWindow = reinterpret_cast<ULONG_PTR>(GetPropA(window, "__wine_x11_whole_window"));
  if (xWindow != 0) XDoTool("windowfocus --sync " + std::to_string(xWindow));
}

void XDoTool(const std::string& arguments) {
  XRun("xdotool " + arguments);
  // X input reaches Wine's message queues a moment after xdotool returns.
  PumpFor(150);
}

std::string Screenshot(const std::string& name) {
  const std::string folder = Environment("QUELL_ARTIFACTS");
  if (folder.empty()) return {};
  CreateDirectoryA(WindowsPathOf(folder).c_str(), nullptr);
  const std::string path = folder + "/" + name + ".png";
  return XRun("import -window root " + path) == 0 ? path : std::string();
}

COLORREF ScreenPixels::At(int x, int y) const {
  const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                          static_cast<std::size_t>(x)) *
                         3;
  return RGB(rgb[at], rgb[at + 1], rgb[at + 2]);
}

ScreenPixels TakeScreenPixels() {
  static int counter = 0;
  const std::string path = "/tmp/quell-screen-" + std::to_string(GetCurrentProcessId()) + "-" +
                           std::to_string(++counter) + ".ppm";
  ScreenPixels image;
  if (XRun("import -window root -depth 8 ppm:" + path) != 0) return image;
  const std::string file = WindowsPathOf(path);
  FILE* in = std::fopen(file.c_str(), "rb");
  if (!in) return image;
  // "P6", width, height and the largest value, each after white space.
  char magic[3] = {};
  int width = 0, height = 0, largest = 0;
  if (std::fscanf(in, "%2s %d %d %d", magic, &width, &height, &largest) == 4 &&
      std::string(magic) == "P6" && largest == 255 && width > 0 && height > 0 &&
      std::fgetc(in) != EOF) {
    image.rgb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    if (std::fread(image.rgb.data(), 1, image.rgb.size(), in) == image.rgb.size()) {
      image.width = width;
      image.height = height;
    } else {
      image.rgb.clear();
    }
  }
  std::fclose(in);
  DeleteFileA(file.c_str());
  return image;
}

void XMoveTo(POINT screenPoint) {
  XDoTool("mousemove " + std::to_string(screenPoint.x) + " " + std::to_string(screenPoint.y));
}

}  // namespace quell::wintest
