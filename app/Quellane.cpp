// Quellane.exe: one resident instance in the notification area; a later
// start hands its command line to that instance and ends.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "Application.h"
#include "FkestravaMain.h"
#include "OptionsDialogHost.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace quell;
  // The mutex stays open for the life of the first instance; the system
  // releases it at the end of the process.
  HANDLE mutex = CreateMutexA(nullptr, FALSE, "KestravaMutex");
  if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    app::IsFirstInstance = false;
  } else {
    app::IsFirstInstance = true;
  }

  gui::TApplication application;
  application.Initialize();
  application.SetShowMainForm(false);
  application.SetTitle("Quellane");
  app::TFormKestravaMain* main = application.CreateForm<app::TFormKestravaMain>();
  app::ConnectOptionsDialog(*main);
  application.Run();
  return 0;
}
