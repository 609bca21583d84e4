#include "Application.h"

#include <exception>
#include <stdexcept>

#include "Dialogs.h"
#include "Form.h"
#include "Menus.h"
#include "WinControl.h"

namespace quell::gui {

namespace {
TApplication* current = nullptr;
constexpr char kApplicationClass[] = "TQuellApplication";

// Tab, the arrow keys, Enter and Escape move between the controls of a form
// that asks for dialog keys; true when the message was used that way.
bool IsDialogKey(MSG& msg) {
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST || !msg.hwnd) return false;
  const HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  auto* form = dynamic_cast<TForm*>(TWinControl::FromHandle(root));
  if (!form || !form->DialogKeys()) return false;
  if (msg.message == WM_KEYDOWN && form->PageKey(static_cast<unsigned>(msg.wParam))) return true;
  return IsDialogMessageA(root, &msg) != FALSE;
}
}  // namespace

TApplication* Application() { return current; }

TApplication::TApplication() : TComponent(nullptr), FInstance(GetModuleHandleA(nullptr)) {
  if (current) throw std::logic_error("a second application object");
  current = this;
  WNDCLASSA wc{};
  wc.lpfnWndProc = BoundWindowProc;
  wc.hInstance = FInstance;
  wc.hIcon = LoadIconA(FInstance, MAKEINTRESOURCEA(1));
  wc.lpszClassName = kApplicationClass;
  RegisterClassA(&wc);  // already registered by an earlier application object: fine
  const int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
  // A captioned, zero-sized popup: what the taskbar shows for the program.
  FWindow.reset(
      CreateWindowExA(0, kApplicationClass, "",
                      WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, x, y,
                      0, 0, nullptr, nullptr, FInstance, static_cast<TWindowReceiver*>(this)));
  if (!FWindow) throw std::runtime_error("CreateWindowExA failed for the application window");
  if (wc.hIcon) FIcon.AssignHandle(wc.hIcon);
}

TApplication::~TApplication() {
  // Forms and their windows go first, while the application window exists.
  DestroyComponents();
  UnbindWindow(FWindow.get());
  FWindow.reset();
  current = nullptr;
}

void TApplication::Initialize() {
  INITCOMMONCONTROLSEX init{sizeof init, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&init);
}

void TApplication::SetTitle(std::string title) {
  FTitle = std::move(title);
  SetWindowTextA(FWindow.get(), FTitle.c_str());
}

void TApplication::Run() {
  if (FMainForm && FShowMainForm) FMainForm->Show();
  while (!FTerminated) HandleMessage();
}

void TApplication::HandleMessage() {
  MSG msg;
  if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      FTerminated = true;
      return;
    }
    if (IsDialogKey(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return;
  }
  Idle();
  WaitMessage();
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      FTerminated = true;
      break;
    }
    if (IsDialogKey(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void TApplication::Terminate() {
  // The loop that takes the quit message ends; a modal loop passes it on.
  PostQuitMessage(0);
}

void TApplication::Minimize() {
  if (IsIconic(FWindow.get())) return;
  ShowWindow(FWindow.get(), SW_MINIMIZE);
  if (OnMinimize) Guard(this, [&] { OnMinimize(this); });
}

void TApplication::Restore() {
  if (!IsIconic(FWindow.get())) return;
  ShowWindow(FWindow.get(), SW_RESTORE);
  if (OnRestore) Guard(this, [&] { OnRestore(this); });
}

void TApplication::SetHint(std::string hint) {
  if (hint == FHint) return;
  FHint = std::move(hint);
  if (OnHint) Guard(this, [&] { OnHint(this); });
}

void TApplication::Idle() {
  // The hint of the control under the pointer, or of its nearest parent that
  // has one; the long part, after '|'.
  POINT p;
  std::string hint;
  if (GetCursorPos(&p)) {
    for (HWND w = WindowFromPoint(p); w; w = GetParent(w)) {
      if (TWinControl* control = TWinControl::FromHandle(w); control && !control->Hint().empty()) {
        const std::string& h = control->Hint();
        const auto bar = h.find('|');
        hint = bar == std::string::npos ? h : h.substr(bar + 1);
        break;
      }
    }
  }
  SetHint(std::move(hint));
}

int TApplication::HookMainWindow(TWindowHook hook) {
  FHooks.push_back({FNextHookId, std::move(hook)});
  return FNextHookId++;
}

void TApplication::UnhookMainWindow(int id) {
  for (auto it = FHooks.begin(); it != FHooks.end(); ++it) {
    if (it->id == id) {
      FHooks.erase(it);
      return;
    }
  }
}

void TApplication::HandleException(TComponent* sender) {
  std::string what;
  try {
    throw;
  } catch (const std::exception& e) {
    what = e.what();
  } catch (...) {
    what = "Unknown error";
  }
  try {
    if (OnException) {
      OnException(sender, what);
    } else {
      ShowMessageBox(FWindow.get(), what, FTitle.empty() ? std::string("Error") : FTitle,
                     MB_OK | MB_ICONERROR | MB_TASKMODAL);
    }
  } catch (...) {
    // The reporter itself failed: there is nobody left to tell.
  }
}

void TApplication::FormGone(TForm* form) {
  if (form == FMainForm) FMainForm = nullptr;
}

void TApplication::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::Remove && component == FMainForm) FMainForm = nullptr;
}

void TApplication::ReceiveWindowMessage(HWND window, TMessage& message) {
  try {
    WndProc(window, message);
  } catch (...) {
    HandleException(this);
  }
}

void TApplication::WndProc(HWND hwnd, TMessage& m) {
  // A copy: a hook may unhook itself.
  const std::vector<Hook> hooks = FHooks;
  for (const Hook& h : hooks) {
    if (h.hook(m)) return;
  }
  if (HandleMenuMessage(m)) return;
  switch (m.Msg) {
    case WM_SYSCOMMAND:
      switch (m.WParam & 0xFFF0) {
        case SC_MINIMIZE: Minimize(); return;
        case SC_RESTORE: Restore(); return;
        default: break;
      }
      break;
    case WM_CLOSE:
      if (FMainForm) FMainForm->Close();
      return;
    case WM_ENDSESSION:
      // The process may be ended as soon as this returns: the main form's
      // close (the program's own teardown) runs first.
      if (m.WParam) {
        if (FMainForm) FMainForm->Close();
        Terminate();
      }
      return;
    default: break;
  }
  m.Result = DefWindowProcA(hwnd, m.Msg, m.WParam, m.LParam);
}

}  // namespace quell::gui
