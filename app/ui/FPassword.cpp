#include "FPassword.h"

#include "gui/PlaceControl.h"
#include "rules/UnlockPassword.h"

namespace quell::ui {

using gui::Create;
using gui::Place;
using gui::TComponent;

namespace {

void Wipe(std::string& text) {
  volatile char* p = text.data();
  for (std::size_t i = 0; i < text.size(); ++i) p[i] = 0;
  text.clear();
}

}  // namespace

// --- TPasswordEdit ---

std::string TPasswordEdit::Text() {
  const int length = GetWindowTextLengthA(Handle());
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  GetWindowTextA(Handle(), text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  return text;
}

void TPasswordEdit::Clear() { SetWindowTextA(Handle(), ""); }

void TPasswordEdit::AdjustCreationParams(gui::TCreateParams& params) {
  TWinControl::AdjustCreationParams(params);
  params.windowClass = "EDIT";
  params.systemClass = true;
  params.style |= ES_PASSWORD | ES_AUTOHSCROLL;
  params.exStyle |= WS_EX_CLIENTEDGE;
}

void TPasswordEdit::CreatedHandle() {
  SendMessageA(Handle(), EM_LIMITTEXT, rules::PasswordMaxLength + 8, 0);
}

// --- TFormPassword ---

TFormPassword::TFormPassword(TComponent* owner, gui::TForm* ownerForm)
    : gui::TForm(owner), FOwnerForm(ownerForm) {
  SetName("FormPassword");
  SetCaption("Unlock Password");
  SetBorderStyle(gui::TFormBorderStyle::Dialog);
  SetStayOnTop(true);
  SetPosition(gui::TPosition::ScreenCenter);
  SetClientSize(300, 150);
  SetFont("MS Sans Serif", 10);
  SetDialogKeys(true);

  lPassword = Place<gui::TLabel>(this, "lPassword", this, 12, 14, 90, 13, "New password:");
  edPassword = Place<TPasswordEdit>(this, "edPassword", this, 110, 10, 178, 21, "", 0);
  lConfirm = Place<gui::TLabel>(this, "lConfirm", this, 12, 44, 90, 13, "Type it again:");
  edConfirm = Place<TPasswordEdit>(this, "edConfirm", this, 110, 40, 178, 21, "", 1);
  lPassword->SetFocusControl(edPassword);
  lConfirm->SetFocusControl(edConfirm);
  lProblem = Place<gui::TLabel>(this, "lProblem", this, 12, 70, 276, 30,
                                "4 to 32 letters and digits; case does not matter.");
  lProblem->SetWordWrap(true);
  btnOk = Place<gui::TBitBtn>(this, "btnOk", this, 132, 112, 75, 25, "OK", 2);
  btnOk->OnClick = [this](TComponent* s) { btnOkClick(s); };
  btnCancel = Place<gui::TBitBtn>(this, "btnCancel", this, 213, 112, 75, 25, "Cancel", 3);
  btnCancel->OnClick = [this](TComponent*) { SetModalResult(gui::mrCancel); };

  for (std::size_t i = 0; i < ComponentCount(); ++i) {
    if (auto* control = dynamic_cast<gui::TWinControl*>(Components(i))) control->SetVisible(true);
  }
  UpdateTabOrder();
  SetActiveControl(edPassword);
}

TFormPassword::~TFormPassword() { Wipe(FPassword); }

void TFormPassword::AdjustCreationParams(gui::TCreateParams& params) {
  gui::TForm::AdjustCreationParams(params);
  if (FOwnerForm) params.wndParent = FOwnerForm->Handle();
}

void TFormPassword::WndProc(gui::TMessage& message) {
  // Enter is OK, Escape is Cancel (the dialog keys' commands).
  if (message.Msg == WM_COMMAND && message.LParam == 0) {
    if (LOWORD(message.WParam) == IDOK) {
      btnOkClick(this);
      message.Result = 0;
      return;
    }
    if (LOWORD(message.WParam) == IDCANCEL) {
      SetModalResult(gui::mrCancel);
      message.Result = 0;
      return;
    }
  }
  gui::TForm::WndProc(message);
}

void TFormPassword::btnOkClick(TComponent*) {
  std::string first = edPassword->Text();
  std::string second = edConfirm->Text();
  const rules::TPasswordProblem problem = rules::CheckNewPassword(first, second);
  Wipe(second);
  if (problem != rules::TPasswordProblem::None) {
    Wipe(first);
    lProblem->SetCaption(std::string(rules::PasswordProblemText(problem)));
    edConfirm->Clear();
    edPassword->SetFocus();
    SendMessageA(edPassword->Handle(), EM_SETSEL, 0, -1);
    return;
  }
  FPassword = std::move(first);
  SetModalResult(gui::mrOk);
}

std::string AskNewPassword(gui::TForm* ownerForm) {
  auto dialog = gui::CreateOwned<TFormPassword>(ownerForm);
  if (dialog->ShowModal() != gui::mrOk) return std::string();
  return dialog->Password();
}

}  // namespace quell::ui
