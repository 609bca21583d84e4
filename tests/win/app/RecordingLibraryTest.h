// A fixture for tests that run the real Quellane.exe with the recording
// stand-in library (fake_quellhook_full.dll) and read the calls it recorded.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "tests/win/support/QuellaneProcess.h"

namespace quell::wintest {

class RecordingLibraryTest : public ::testing::Test {
 protected:
  QuellaneProcess program{"fake_quellhook_full.dll"};
  std::string log = program.Folder() + "calls.log";

  void SetUp() override { SetEnvironmentVariableA("QUELL_FAKE_HOOK_LOG", log.c_str()); }
  void TearDown() override {
    SetEnvironmentVariableA("QUELL_FAKE_HOOK_LOG", nullptr);
    DeleteFileA(log.c_str());
  }
  // The recorded calls, one line each, oldest first.
  std::vector<std::string> Calls() const {
    std::ifstream in(log, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  void ForgetCalls() const { DeleteFileA(log.c_str()); }
  long Count(const std::string& call) const {
    const auto calls = Calls();
    return std::count(calls.begin(), calls.end(), call);
  }
};

}  // namespace quell::wintest
