// Quellane.exe: one resident instance in the notification area; a later
// start hands its command line to that instance and ends.
#include <windows.h>

#include <string>
#include <vector>

#include "gui/Application.h"
#include "system/EndRunningCopies.h"
#include "controller/CommandLine.h"
#include "controller/ExitRequest.h"
#include "ui/FPopup.h"
#include "FkestravaMain.h"
#include "system/HookBinding.h"
#include "system/SingleInstance.h"
#include "system/SystemCalls.h"
#include "base/Text.h"
#include "HookDll/win32/Win32SystemSettings.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace quell;
  // "/exit" ends the copy running from this file and nothing else: no
  // mutex, no settings, no window of its own.
  const std::vector<std::string> args = base::ArgumentsOf(__argc, __argv);
  if (app::IsExitRequest(args)) {
    constexpr DWORD kExitWaitMs = 15000;
    return app::EndRunningCopies(kExitWaitMs);
  }
  // /S asks a running copy for its state; with none running it starts
  // nothing: no mutex kept, no repair, no window.
  const bool asksState = app::AsksState(app::ParseSwitches(args));
  if (asksState && !app::TSingleInstance::Running()) return app::kStateNotRunning;
  // Held for the life of the process.
  const app::TSingleInstance instance;
  // The running copy ended between the look and the mutex.
  if (asksState && instance.IsFirst()) return app::kStateNotRunning;
  // Before anything else: undo what a lock of a program that died left.
  if (instance.IsFirst()) hook::RepairLockLeftovers();

  // The controller outlives the forms, the binding and the system calls
  // outlive the controller.
  app::THookBinding library;
  app::TSystemCalls system;
  app::TLockController controller(library, system, instance.IsFirst());

  gui::TApplication application;
  application.Initialize();
  application.SetShowMainForm(false);
  application.SetTitle("Quellane");
  auto* main = application.CreateForm<app::TFormKestravaMain>(controller);
  auto* popup = application.CreateForm<ui::TFormPopup>();
  popup->OnOptionsRequest = [main] { main->acOptions->Execute(); };
  application.Run();
  return controller.ExitCode();
}
