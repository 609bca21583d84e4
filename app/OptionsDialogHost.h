// Connects the main form's options command to the options dialog.
#pragma once

#include "FkestravaMain.h"

namespace quell::app {

// From now on the options command shows TFormOptions over the program's
// settings record, idle lock, image list and lock handler.
void ConnectOptionsDialog(TFormKestravaMain& main);

}  // namespace quell::app
