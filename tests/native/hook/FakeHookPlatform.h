// A recording stand-in for the operating system, with a 256-entry key-state
// table that tests set directly, and a small registry and screen-saver
// setting that the lock changes act on.
#pragma once

#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "HookDll/HookLibrary.h"

namespace quell::hook::testing {

struct Posted {
  std::uint32_t window;
  std::uintptr_t wParam;
  std::intptr_t code;
  bool operator==(const Posted&) const = default;
};

struct RegistryData {
  std::uint32_t type;
  std::vector<std::uint8_t> bytes;
};

inline const std::string kPolicyPath =
    "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
inline const std::string kRecordPath = "HKCU\\Software\\Quellane";

class FakeHookPlatform final : public HookPlatform, public SystemSettings {
 public:
  // Every side-effect call in order, as text ("spi 97 1 null 0",
  // "reg set DisableTaskMgr 1", "reg delete LockChanges").
  std::vector<std::string> calls;
  std::vector<Posted> posts;
  int beeps = 0;
  bool keyDown[256] = {};
  int keyStateQueries = 0;  // IsKeyDown calls
  std::uint32_t nextHook = 0x100;
  bool failHook[15] = {};  // indexed by HookKind
  bool failUnhook = false;
  // Registry: keys by path, each with its values; failures on demand.
  std::map<std::string, std::map<std::string, RegistryData>> registry;
  bool openFails = false, createFails = false, setFails = false, deleteFails = false;
  bool queryFails = false;
  std::int32_t screenSaveActive = 1;  // what SPI_GETSCREENSAVEACTIVE reports
  bool spiFails = false;
  std::uint32_t processId = 42;
  std::set<std::uint32_t> runningProcesses{42};

  // Hooks.
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
  bool IsKeyDown(int vk) override {
    ++keyStateQueries;
    return keyDown[vk & 0xFF];
  }
  int KeyName(std::int32_t lParam, char* buffer, int size) override {
    const int scan = (lParam >> 16) & 0x1FF;
    const char* name = scan == 0x1E ? "A" : scan == 0x53 ? "Num Del" : "";
    std::snprintf(buffer, static_cast<std::size_t>(size), "%s", name);
    return static_cast<int>(std::strlen(buffer));
  }
  void Beep() override { ++beeps; }
  std::uint32_t tick = 1000;  // what TickCount answers
  std::uint32_t TickCount() override { return tick; }
  std::uint32_t CurrentProcessId() override { return processId; }
  bool IsProcessRunning(std::uint32_t id) override { return runningProcesses.count(id) != 0; }

  // System settings.
  bool SystemParameters(std::uint32_t action, std::uint32_t uiParam, void* pvParam,
                        std::uint32_t winIni) override {
    calls.push_back("spi " + std::to_string(action) + " " + std::to_string(uiParam) + " " +
                    (pvParam ? "ptr" : "null") + " " + std::to_string(winIni));
    if (spiFails) return false;
    if (action == 16 && pvParam) *static_cast<std::int32_t*>(pvParam) = screenSaveActive;
    if (action == 17) screenSaveActive = static_cast<std::int32_t>(uiParam);
    return true;
  }
  bool OpenRegistryKey(std::uint32_t root, const char* subKey, std::uintptr_t* key) override {
    const std::string path = Root(root) + subKey;
    calls.push_back("reg open " + path);
    if (openFails || registry.count(path) == 0) return false;
    return Handle(path, key);
  }
  bool CreateRegistryKey(std::uint32_t root, const char* subKey, std::uintptr_t* key) override {
    const std::string path = Root(root) + subKey;
    calls.push_back("reg create " + path);
    if (createFails) return false;
    registry[path];
    return Handle(path, key);
  }
  RegistryValue QueryRegistryValue(std::uintptr_t key, const char* name, std::uint32_t* type,
                                   void* data, std::uint32_t* size) override {
    if (queryFails) return RegistryValue::Unreadable;
    const auto& values = registry[open_.at(key)];
    const auto it = values.find(name);
    if (it == values.end()) return RegistryValue::Absent;
    *type = it->second.type;
    const auto length = static_cast<std::uint32_t>(it->second.bytes.size());
    if (length <= *size) std::memcpy(data, it->second.bytes.data(), length);
    *size = length;
    return RegistryValue::Present;
  }
  bool SetRegistryValue(std::uintptr_t key, const char* name, std::uint32_t type, const void* data,
                        std::uint32_t size) override {
    std::string text = "reg set " + std::string(name) + " ";
    if (type == kRegDword && size == 4) {
      std::uint32_t number;
      std::memcpy(&number, data, 4);
      text += std::to_string(number);
    } else {
      text += "type " + std::to_string(type) + " size " + std::to_string(size);
    }
    calls.push_back(text);
    if (setFails) return false;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    registry[open_.at(key)][name] = {type, {bytes, bytes + size}};
    return true;
  }
  bool DeleteRegistryValue(std::uintptr_t key, const char* name) override {
    calls.push_back("reg delete " + std::string(name));
    return !deleteFails && registry[open_.at(key)].erase(name) != 0;
  }
  void CloseRegistryKey(std::uintptr_t key) override {
    calls.push_back("reg close");
    open_.erase(key);
  }

  // Test helpers.
  void SetDword(const std::string& path, const std::string& name, std::uint32_t number) {
    auto* bytes = reinterpret_cast<const std::uint8_t*>(&number);
    registry[path][name] = {kRegDword, {bytes, bytes + 4}};
  }
  // The policy value: -1 when absent, -2 when not a 32-bit number.
  long long Policy() const { return Dword(kPolicyPath, "DisableTaskMgr"); }
  long long Dword(const std::string& path, const std::string& name) const {
    const auto key = registry.find(path);
    if (key == registry.end() || key->second.count(name) == 0) return -1;
    const RegistryData& d = key->second.at(name);
    if (d.type != kRegDword || d.bytes.size() != 4) return -2;
    std::uint32_t number;
    std::memcpy(&number, d.bytes.data(), 4);
    return number;
  }
  bool HasRecord() const {
    const auto key = registry.find(kRecordPath);
    return key != registry.end() && key->second.count("LockChanges") != 0;
  }
  std::size_t OpenKeys() const { return open_.size(); }

 private:
  static std::string Root(std::uint32_t root) {
    return root == kHkeyCurrentUser ? "HKCU\\" : "root?\\";
  }
  bool Handle(const std::string& path, std::uintptr_t* key) {
    *key = nextKey_++;
    open_[*key] = path;
    return true;
  }
  std::uintptr_t nextKey_ = 0x70;
  std::map<std::uintptr_t, std::string> open_;
};

// The shared record, this process's state and the library wired to the fake.
struct HookFixtureState {
  SharedHookState shared{};
  ProcessState process{};
  FakeHookPlatform os;
  HookLibrary lib{shared, process, os, os};

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
