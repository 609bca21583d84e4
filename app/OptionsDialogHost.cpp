#include "OptionsDialogHost.h"

#include "FOptions.h"

namespace quell::app {

void ConnectOptionsDialog(TFormKestravaMain& main) {
  main.OnRunOptionsDialog = [&main] {
    ui::TOptionsHost host;
    host.Settings = main.Controller().LockIniFile->Settings.get();
    host.IdleLock = &main.Controller().IdleLock;
    host.MinimizeOnLock = &main.Controller().MinimizeOnLock;
    host.Images = main.ImageList;
    host.MinimizeAllWindows = [&main] { main.MinimizeAllWindows(); };
    host.Lock = [&main] { main.acLockExecute(&main); };
    host.More = &main.Controller().LockIniFile->More;
    host.Hasher = &main.PasswordHasher();
    ui::ShowOptionsDialog(std::move(host));
  };
}

}  // namespace quell::app
