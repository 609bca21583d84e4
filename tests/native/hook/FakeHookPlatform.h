// A recording stand-in for the operating system, with a 256-entry key-state
// table that tests set directly.
#pragma once

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "HookLibrary.h"

namespace quell::hook::testing {

struct Posted {
  std::uint32_t window;
  std::uintptr_t wParam;
  std::intptr_t code;
  bool operator==(const Posted&) const = default;
};

class FakeHookPlatform final : public HookPlatform {
 public:
  // Every side-effect call in order, as text ("spi 97 1 0", "reg set DisableTaskMgr 1").
  std::vector<std::string> calls;
  std::vector<Posted> posts;
  int beeps = 0;
  bool keyDown[256] = {};
  std::uint32_t nextHook = 0x100;
  bool failHook[15] = {};  // indexed by HookKind
  bool failUnhook = false;
  bool openFails = false, createFails = false;
  std::int32_t screenSaveActive = 1;  // what SPI_GETSCREENSAVEACTIVE reports
  std::uint32_t processId = 42;

  std::uint32_t InstallHook(HookKind kind, std::uintptr_t) override {
    calls.push_back("hook " + std::to_string(static_cast<int>(kind)));
    return failHook[static_cast<int>(kind)] ? 0 : nextHook++;
  }
  bool RemoveHook(std::uint32_t hook) override {
    calls.push_back("unhook " + std::to_string(hook));
    return !failUnhook;
  }
  void Post(std::uint32_t window, std::uintptr_t wParam, std::intptr_t lParam) override {
    posts.push_back({window, wParam, lParam});
  }
  bool IsKeyDown(int vk) override { return keyDown[vk & 0xFF]; }
  int KeyName(std::int32_t lParam, char* buffer, int size) override {
    const int scan = (lParam >> 16) & 0x1FF;
    const char* name = scan == 0x1E ? "A" : scan == 0x53 ? "Num Del" : "";
    std::snprintf(buffer, static_cast<std::size_t>(size), "%s", name);
    return static_cast<int>(std::strlen(buffer));
  }
  void Beep() override { ++beeps; }
  void SystemParameters(std::uint32_t action, std::uint32_t uiParam, void* pvParam,
                        std::uint32_t winIni) override {
    if (action == 16 && pvParam) *static_cast<std::int32_t*>(pvParam) = screenSaveActive;
    if (action == 17) screenSaveActive = static_cast<std::int32_t>(uiParam);
    calls.push_back("spi " + std::to_string(action) + " " + std::to_string(uiParam) + " " +
                    (pvParam ? "ptr" : "null") + " " + std::to_string(winIni));
  }
  bool OpenRegistryKey(std::uint32_t root, const char* subKey, std::uintptr_t* key) override {
    calls.push_back("reg open " + Root(root) + subKey);
    if (openFails) return false;
    *key = 0x77;
    return true;
  }
  bool CreateRegistryKey(std::uint32_t root, const char* subKey, std::uintptr_t* key) override {
    calls.push_back("reg create " + Root(root) + subKey);
    if (createFails) return false;
    *key = 0x78;
    return true;
  }
  void SetRegistryDword(std::uintptr_t key, const char* name, std::uint32_t value) override {
    calls.push_back("reg set " + std::to_string(key) + " " + name + " " + std::to_string(value));
  }
  void DeleteRegistryValue(std::uintptr_t key, const char* name) override {
    calls.push_back("reg delete " + std::to_string(key) + " " + name);
  }
  void CloseRegistryKey(std::uintptr_t key) override {
    calls.push_back("reg close " + std::to_string(key));
  }
  std::uint32_t CurrentProcessId() override { return processId; }

 private:
  static std::string Root(std::uint32_t root) {
    return root == kHkeyCurrentUser ? "HKCU\\" : "root?\\";
  }
};

// The shared record, this process's state and the library wired to the fake.
struct HookFixtureState {
  SharedHookState shared{};
  ProcessState process{};
  FakeHookPlatform os;
  HookLibrary lib{shared, process, os};

  HookFixtureState() { process.module = 0x400000; }
  void Clear() {
    os.calls.clear();
    os.posts.clear();
    os.beeps = 0;
  }
  std::vector<std::intptr_t> PostedCodes() const {
    std::vector<std::intptr_t> codes;
    for (const auto& p : os.posts) codes.push_back(p.code);
    return codes;
  }
};

}  // namespace quell::hook::testing
