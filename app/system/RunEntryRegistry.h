// The Run value of the current user in the registry.
#pragma once

#include "controller/StartWithWindows.h"

namespace quell::app {

class TRunEntryRegistry : public TRunEntryStore {
 public:
  std::optional<std::string> Read() override;
  bool Write(const std::string& data) override;
  bool Remove() override;
};

}  // namespace quell::app
