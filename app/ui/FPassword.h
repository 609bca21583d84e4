// The small dialog in which the unlock password is typed twice, masked,
// before it is kept. Owned by the options dialog; it answers the password
// only when both entries are the same valid password.
#pragma once

#include <string>

#include "gui/Form.h"
#include "gui/StdCtrls.h"

namespace quell::ui {

// A one-line edit whose characters are shown as dots.
class TPasswordEdit : public gui::TWinControl {
 public:
  explicit TPasswordEdit(gui::TComponent* owner) : TWinControl(owner) { SetTabStop(true); }
  std::string Text();
  void Clear();

 protected:
  void AdjustCreationParams(gui::TCreateParams& params) override;
  void CreatedHandle() override;
};

class TFormPassword : public gui::TForm {
 public:
  // `ownerForm` is the form it is shown over (its window owns this one).
  TFormPassword(gui::TComponent* owner, gui::TForm* ownerForm);
  ~TFormPassword() override;

  gui::TLabel* lPassword;
  TPasswordEdit* edPassword;
  gui::TLabel* lConfirm;
  TPasswordEdit* edConfirm;
  gui::TLabel* lProblem;
  gui::TBitBtn* btnOk;
  gui::TBitBtn* btnCancel;

  // The password typed, once the dialog ended with OK; wiped with the form.
  const std::string& Password() const { return FPassword; }

  void btnOkClick(gui::TComponent* sender);

 protected:
  void AdjustCreationParams(gui::TCreateParams& params) override;
  void WndProc(gui::TMessage& message) override;

 private:
  gui::TForm* FOwnerForm;
  std::string FPassword;
};

// Shows the dialog over `ownerForm`; the password typed, or "" on Cancel.
std::string AskNewPassword(gui::TForm* ownerForm);

}  // namespace quell::ui
