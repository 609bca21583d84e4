// The claim a program holds on the hook library file it serves, so that a
// program of another session started from the same folder leaves the file
// alone (see LibraryClaimNames).
#pragma once

#include <string>

#include "base/Handles.h"

namespace quell::app {

class TLibraryClaim {
 public:
  // The program that will serve the library (`serving`: it registers its
  // window) takes both claims; one that only talks to the serving program of
  // its session looks at them. False when the library already serves a
  // live program of another session: nothing is then held.
  bool Take(const std::string& libraryPath, bool serving);
  void Release();

 private:
  base::KernelHandle FMachine;
  base::KernelHandle FSession;
};

}  // namespace quell::app
