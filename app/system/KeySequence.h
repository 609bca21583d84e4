// Key sequences the program types into the session.
#pragma once

namespace quell::app {

// Windows+M: every window of the desktop is minimised.
void SendMinimizeAllKeys();

}  // namespace quell::app
