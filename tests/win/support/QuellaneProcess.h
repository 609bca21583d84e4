// The real Quellane.exe, copied with its library into a folder of the
// test's own (never run from the build folder, whose settings file the
// tests must not touch), started as a user would and watched from outside:
// its windows, its notices, its tray icon, the shared state of its library.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "HookApi.h"

namespace quell::wintest {

class QuellaneProcess {
 public:
  // `library`: the file copied as quellhook.dll ("" for none), from the
  // test program's folder.
  explicit QuellaneProcess(const std::string& library = "quellhook.dll")
      : QuellaneProcess(library, "quell-e2e") {}
  // The same in a folder whose name begins with `folderName` (UTF-8, any
  // letters: every file of the folder is reached by its wide name).
  QuellaneProcess(const std::string& library, const std::string& folderName);
  ~QuellaneProcess();
  QuellaneProcess(const QuellaneProcess&) = delete;
  QuellaneProcess& operator=(const QuellaneProcess&) = delete;

  // The folder, with a trailing backslash, in UTF-8.
  const std::string& Folder() const { return folder_; }
  std::string SettingsPath() const { return folder_ + "Quellane.ini"; }
  void WriteSettings(const std::string& text) const;
  std::string ReadSettings() const;  // "" when there is no file

  // Starts the first instance and waits until its main window is there.
  bool Start(const std::string& arguments = "", DWORD timeoutMs = 15000);
  // Starts another instance and returns at once; the caller closes `process`.
  struct Instance {
    HANDLE process;
    DWORD processId;
  };
  Instance StartAgain(const std::string& arguments) const;
  // Runs another instance to its end while pumping; its exit code.
  DWORD RunAgain(const std::string& arguments, DWORD timeoutMs = 15000) const;
  bool Alive() const;
  // Closes the main form, as Exit does, and waits for the end of the process.
  bool Close(DWORD timeoutMs = 8000) const;
  bool WaitForExit(DWORD timeoutMs) const;
  DWORD ProcessId() const { return processId_; }
  HANDLE Process() const { return process_; }

  // The library the program loaded (the same file, so the same shared state).
  HookApi& Hook();
  HWND MainWindow() const;  // the program's main form
  // The text of the program's visible notice ("title: message"), or "".
  std::string Notice() const;
  // A message box of the program with this caption, or null.
  HWND MessageBoxWindow(const std::string& caption) const;
  static std::string MessageBoxText(HWND box);  // in UTF-8
  static void PressOk(HWND box);

 private:
  std::string folder_;
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
  std::unique_ptr<HookApi> hook_;
};

// The memory the Unix process running a Windows program holds (kB of
// resident anonymous memory, from /proc through Wine's Z: drive), found by
// the program's path in its command line; -1 when it cannot be read. Wine
// reports no per-process handle or GDI counts, but leaks show here.
long UnixResidentKb(const std::string& programPath);

// A visible message box of process `pid` with this caption, or null.
HWND FindMessageBox(DWORD pid, const std::string& caption);

// The number of buttons the virtual desktop's taskbar shows (its Start
// button and one per window with a taskbar button; they carry no text).
int TaskbarButtonCount();

// The notification area's icon at the right end of the virtual desktop's taskbar.
POINT TrayIconCentre();
// Whether the 16x16 tray icon shows mostly red (locked) or green (unlocked) pixels.
enum class IconColour { Red, Green, Neither };
IconColour TrayIconColour();
// The screen rectangle of the first or the last item of the open pop-up menu.
bool OpenMenuEdgeItemRect(bool last, RECT* rect);
// Reads the DisableTaskMgr policy value; false when it is absent.
bool TaskManagerPolicy(DWORD* value);

}  // namespace quell::wintest
