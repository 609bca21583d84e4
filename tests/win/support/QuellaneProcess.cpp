#include "QuellaneProcess.h"

#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "HookDll/HookProtocol.h"
#include "base/WideText.h"
#include "system/SingleInstance.h"
#include "WinTestSupport.h"

namespace quell::wintest {

namespace {

struct WindowSearch {
  DWORD processId;
  std::string className;
  std::string caption;  // empty: any
  bool visibleOnly;
  HWND found;
  DWORD exStyle = 0;  // extended style bits the window must have
};

BOOL CALLBACK FindWindowOf(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search->processId) return TRUE;
  if (search->visibleOnly && !IsWindowVisible(window)) return TRUE;
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_EXSTYLE));
  if ((exStyle & search->exStyle) != search->exStyle) return TRUE;
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  if (search->className != name) return TRUE;
  if (!search->caption.empty()) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    if (search->caption != text) return TRUE;
  }
  search->found = window;
  return FALSE;
}

HWND FindProcessWindow(DWORD pid, const std::string& className, const std::string& caption,
                       bool visibleOnly, DWORD exStyle = 0) {
  WindowSearch search{pid, className, caption, visibleOnly, nullptr, exStyle};
  EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

using base::WideFromUtf8;

bool CopyFrom(const std::string& name, const std::string& to) {
  return CopyFileW(WideFromUtf8(ProgramFolder() + name).c_str(), WideFromUtf8(to).c_str(), FALSE) !=
         FALSE;
}

// Starts the program of this folder with `arguments`, the folder current.
bool CreateProgramProcess(const std::string& folder, const std::string& arguments,
                          PROCESS_INFORMATION* pi) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  std::wstring line =
      WideFromUtf8("\"" + folder + "Quellane.exe\"" + (arguments.empty() ? "" : " " + arguments));
  return CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        WideFromUtf8(folder).c_str(), &si, pi) != FALSE;
}

// Ends every process running an executable of `folder` (a copy started by
// another instance, one a test started on its own), so that none of them
// outlives its test with its hooks and hot keys; returns how many it ended.
int EndProcessesOf(const std::string& folder) {
  const std::wstring prefix = WideFromUtf8(folder);
  base::KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot || snapshot.get() == INVALID_HANDLE_VALUE) return 0;
  int ended = 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    base::KernelHandle process(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE,
                    entry.th32ProcessID));
    if (!process) continue;
    wchar_t path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (!QueryFullProcessImageNameW(process.get(), 0, path, &size)) continue;
    if (_wcsnicmp(path, prefix.c_str(), prefix.size()) != 0) continue;
    TerminateProcess(process.get(), 1);
    WaitForSingleObject(process.get(), 5000);
    ++ended;
  }
  return ended;
}

}  // namespace

QuellaneProcess::QuellaneProcess(const std::string& library, const std::string& folderName) {
  static int counter = 0;
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  folder_ = base::Utf8FromWide(temp) + folderName + "-" + std::to_string(GetCurrentProcessId()) +
            "-" + std::to_string(++counter) + "\\";
  CreateDirectoryW(WideFromUtf8(folder_).c_str(), nullptr);
  CopyFrom("Quellane.exe", folder_ + "Quellane.exe");
  if (!library.empty()) CopyFrom(library, folder_ + "quellhook.dll");
}

QuellaneProcess::~QuellaneProcess() {
  if (process_) {
    if (Alive()) {
      // Unlock first, so that no policy value outlives the test; then take
      // the hooks away. Wine keeps a killed program's global keyboard hook
      // (Windows removes it with its thread): its library would go on
      // reading its own record in every process that gets keys, and its
      // hot keys would lock the keyboard of the tests that follow.
      if (Hook().Bound()) {
        hook_->SetProperties(PROP_LOCKED, 0);
        hook_->UnSetShellHook();
      }
      TerminateProcess(process_, 1);
      WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
  }
  if (const int others = EndProcessesOf(folder_)) {
    std::fprintf(stderr, "[ note ] %d more copies of %s were still running: ended\n", others,
                 folder_.c_str());
  }
  hook_.reset();
  for (const char* file : {"Quellane.exe", "quellhook.dll", "Quellane.ini"}) {
    DeleteFileW(WideFromUtf8(folder_ + file).c_str());
  }
  RemoveDirectoryW(WideFromUtf8(folder_).c_str());
}

void QuellaneProcess::WriteSettings(const std::string& text) const {
  if (std::FILE* file = _wfopen(WideFromUtf8(SettingsPath()).c_str(), L"wb")) {
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }
}

std::string QuellaneProcess::ReadSettings() const {
  std::string text;
  if (std::FILE* file = _wfopen(WideFromUtf8(SettingsPath()).c_str(), L"rb")) {
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
      text.append(buffer, got);
    std::fclose(file);
  }
  return text;
}

bool QuellaneProcess::Start(const std::string& arguments, DWORD timeoutMs) {
  // A program of an earlier test may still be on its way out; while its
  // single-instance mutex exists, this one would start as a second instance.
  PumpUntil(
      [] {
        const HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, quell::app::kSingleInstanceMutexName);
        if (mutex) CloseHandle(mutex);
        return mutex == nullptr;
      },
      5000);
  if (process_) CloseHandle(process_);  // a start after the last one ended
  process_ = nullptr;
  PROCESS_INFORMATION pi{};
  if (!CreateProgramProcess(folder_, arguments, &pi)) return false;
  CloseHandle(pi.hThread);
  process_ = pi.hProcess;
  processId_ = pi.dwProcessId;
  if (!PumpUntil([&] { return MainWindow() != nullptr || !Alive(); }, timeoutMs) || !Alive()) {
    return false;
  }
  // The main window exists before its start-up has installed the hooks; a
  // ping is answered once the start-up is through and the program's message
  // loop runs (or a box of the start-up pumps), so a hot key pressed after
  // this reaches the hooks.
  DWORD_PTR reply = 0;
  SendMessageTimeoutA(MainWindow(), kNotifyMessage, 0, LN_PING, SMTO_ABORTIFHUNG, timeoutMs,
                      &reply);
  return Alive();
}

QuellaneProcess::Instance QuellaneProcess::StartAgain(const std::string& arguments) const {
  PROCESS_INFORMATION pi{};
  if (!CreateProgramProcess(folder_, arguments, &pi)) return {nullptr, 0};
  CloseHandle(pi.hThread);
  return {pi.hProcess, pi.dwProcessId};
}

DWORD QuellaneProcess::RunAgain(const std::string& arguments, DWORD timeoutMs) const {
  return RunProcess("\"" + folder_ + "Quellane.exe\" " + arguments, nullptr, timeoutMs);
}

bool QuellaneProcess::Alive() const {
  return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool QuellaneProcess::Close(DWORD timeoutMs) const {
  if (const HWND main = MainWindow()) PostMessageA(main, WM_CLOSE, 0, 0);
  return WaitForExit(timeoutMs);
}

bool QuellaneProcess::WaitForExit(DWORD timeoutMs) const {
  return PumpUntil([&] { return !Alive(); }, timeoutMs);
}

HookApi& QuellaneProcess::Hook() {
  if (!hook_) {
    hook_ = std::make_unique<HookApi>();
    hook_->Load((folder_ + "quellhook.dll").c_str());
  }
  return *hook_;
}

HWND QuellaneProcess::MainWindow() const {
  // The main form is the program's never-activated tool window.
  return FindProcessWindow(processId_, "TQuellForm", "", false,
                           WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW);
}

std::string QuellaneProcess::Notice() const {
  const HWND popup = FindProcessWindow(processId_, "TFormPopup", "", true);
  if (!popup) return {};
  char text[512] = {};
  GetWindowTextA(popup, text, sizeof text);
  return text;
}

HWND QuellaneProcess::MessageBoxWindow(const std::string& caption) const {
  return FindMessageBox(processId_, caption);
}

HWND FindMessageBox(DWORD pid, const std::string& caption) {
  return FindProcessWindow(pid, "#32770", caption, true);
}

std::string QuellaneProcess::MessageBoxText(HWND box) {
  wchar_t text[1024] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 1024);
  return base::Utf8FromWide(text);
}

void QuellaneProcess::PressOk(HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); }

long UnixResidentKb(const std::string& programPath) {
  WIN32_FIND_DATAA entry{};
  HANDLE find = FindFirstFileA("Z:\\proc\\*", &entry);
  if (find == INVALID_HANDLE_VALUE) return -1;
  long result = -1;
  do {
    const std::string pid = entry.cFileName;
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream cmdline("Z:\\proc\\" + pid + "\\cmdline", std::ios::binary);
    const std::string command{std::istreambuf_iterator<char>(cmdline), {}};
    if (command.rfind(programPath, 0) != 0) continue;
    std::ifstream status("Z:\\proc\\" + pid + "\\status");
    for (std::string line; std::getline(status, line);) {
      if (line.rfind("RssAnon:", 0) == 0) result = std::atol(line.c_str() + 8);
    }
    break;
  } while (FindNextFileA(find, &entry));
  FindClose(find);
  return result;
}

int TaskbarButtonCount() {
  int count = 0;
  ForEachChildWindow(FindWindowA("Shell_TrayWnd", nullptr), [&](HWND child) {
    if (IsWindowVisible(child) && lstrcmpiA(ClassOf(child).c_str(), "Button") == 0) ++count;
    return true;
  });
  return count;
}

POINT TrayIconCentre() {
  RECT taskbar{};
  GetWindowRect(FindWindowA("Shell_TrayWnd", nullptr), &taskbar);
  return {taskbar.right - 11, (taskbar.top + taskbar.bottom) / 2};
}

IconColour TrayIconColour() {
  const POINT centre = TrayIconCentre();
  HDC screen = GetDC(nullptr);
  int red = 0, green = 0;
  for (int y = centre.y - 8; y < centre.y + 8; ++y) {
    for (int x = centre.x - 8; x < centre.x + 8; ++x) {
      const COLORREF c = GetPixel(screen, x, y);
      const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
      if (r > 120 && r > g + 60 && r > b + 60) ++red;
      if (g > 100 && g > r + 40 && g > b + 20) ++green;
    }
  }
  ReleaseDC(nullptr, screen);
  if (red > 8 && red > green) return IconColour::Red;
  if (green > 8 && green > red) return IconColour::Green;
  return IconColour::Neither;
}

bool OpenMenuEdgeItemRect(bool last, RECT* rect) {
  const HWND menuWindow = FindWindowA("#32768", nullptr);
  if (!menuWindow || !IsWindowVisible(menuWindow)) return false;
  // Another process's menu cannot be asked for its items: the first and the
  // last item lie inside the frame at the top and the bottom of the window.
  RECT window{};
  GetWindowRect(menuWindow, &window);
  constexpr int kFrame = 3, kItemHeight = 22;
  *rect = window;
  rect->left += kFrame;
  rect->right -= kFrame;
  rect->top = last ? window.bottom - kFrame - kItemHeight : window.top + kFrame;
  rect->bottom = rect->top + kItemHeight;
  return true;
}

bool TaskManagerPolicy(DWORD* value) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER,
                    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System", 0, KEY_READ,
                    &key) != ERROR_SUCCESS) {
    return false;
  }
  DWORD type = 0, size = sizeof *value;
  const LONG rc = RegQueryValueExA(key, "DisableTaskMgr", nullptr, &type,
                                   reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS && type == REG_DWORD;
}

}  // namespace quell::wintest
