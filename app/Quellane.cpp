// Quellane.exe: one resident instance in the notification area; a later
// start hands its command line to that instance and ends.
#include <windows.h>

#include <string>
#include <vector>

#include "Application.h"
#include "EndRunningCopies.h"
#include "Controller.h"
#include "ExitRequest.h"
#include "FPopup.h"
#include "FkestravaMain.h"
#include "Win32SystemSettings.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace quell;
  // "/exit" ends the copy running from this file and nothing else: no
  // mutex, no settings, no window of its own.
  if (app::IsExitRequest(std::vector<std::string>(__argv + 1, __argv + __argc))) {
    constexpr DWORD kExitWaitMs = 15000;
    return app::EndRunningCopies(kExitWaitMs);
  }
  // The mutex stays open for the life of the first instance; the system
  // releases it at the end of the process.
  app::TController controller;
  HANDLE mutex = CreateMutexA(nullptr, FALSE, "KestravaMutex");
  if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    controller.IsFirstInstance = false;
  } else {
    controller.IsFirstInstance = true;
    // Before anything else: undo what a lock of a program that died left.
    hook::RepairLockLeftovers();
  }

  gui::TApplication application;
  application.Initialize();
  application.SetShowMainForm(false);
  application.SetTitle("Quellane");
  auto* main = application.CreateForm<app::TFormKestravaMain>(controller);
  auto* popup = application.CreateForm<ui::TFormPopup>();
  popup->OnOptionsRequest = [main] { main->acOptions->Execute(); };
  application.Run();
  return 0;
}
