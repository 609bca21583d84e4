// The single-instance mutex: the first copy of the program to make it is the
// resident one; later copies hand their command line over and end.
#pragma once

#include "base/Handles.h"

namespace quell::app {

// The mutex's name, shared with every tool that looks for a running copy.
inline constexpr const char* kSingleInstanceMutexName = "KestravaMutex";

class TSingleInstance {
 public:
  // Makes or opens the mutex. A first instance keeps it open for as long as
  // this object lives; a later one closes it at once.
  TSingleInstance();
  TSingleInstance(const TSingleInstance&) = delete;
  TSingleInstance& operator=(const TSingleInstance&) = delete;

  bool IsFirst() const { return FFirst; }
  // Whether a copy holds the mutex now, without making it (a copy that
  // only asks must not look like a first instance to one starting meanwhile).
  static bool Running();

 private:
  base::KernelHandle FMutex;
  bool FFirst = true;
};

}  // namespace quell::app
