#include "HookApi.h"

namespace quell::wintest {

namespace {
template <typename Fn>
bool Resolve(HMODULE module, const char* name, Fn& fn) {
  fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  return fn != nullptr;
}
}  // namespace

bool HookApi::Load(const char* path) {
  module = LoadLibraryA(path);
  if (!module) return false;
  bool ok = true;
  ok &= Resolve(module, "SetShellHook", SetShellHook);
  ok &= Resolve(module, "UnSetShellHook", UnSetShellHook);
  ok &= Resolve(module, "SetNotifyWnd", SetNotifyWnd);
  ok &= Resolve(module, "GetNotifyWnd", GetNotifyWnd);
  ok &= Resolve(module, "SetProperties", SetProperties);
  ok &= Resolve(module, "GetIsLocked", GetIsLocked);
  ok &= Resolve(module, "StartLog", StartLog);
  return ok;
}

void HookApi::Reset() const {
  UnSetShellHook();
  StartLog(nullptr);
  for (int i = 14; i >= 0; --i) SetProperties(i, 0);
  SetNotifyWnd(nullptr);
}

HookApi::~HookApi() {
  if (module) FreeLibrary(module);
}

}  // namespace quell::wintest
