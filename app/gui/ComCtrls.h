// The common controls forms use: the hot-key box, the numeric edit with spin
// buttons, the page control with its tab sheets, and the status bar.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "WinControl.h"

namespace quell::gui {

// The system's hot-key box ("msctls_hotkey32"). Its value is the control's
// own word: the virtual key in the low byte, HOTKEYF_* flags in the high one.
class THotKey : public TWinControl {
 public:
  explicit THotKey(TComponent* owner) : TWinControl(owner) { SetTabStop(true); }
  std::uint16_t HotKey();
  void SetHotKey(std::uint16_t value);
  // HKM_SETRULES: the combinations refused (HKCOMB_*) and the modifiers
  // put in their place.
  void SetRules(WORD invalidCombinations, WORD substitute);
  bool TakesAnyKey() const override { return true; }
  void KeyTakenByForm() override;

 protected:
  void AdjustCreationParams(TCreateParams& params) override;
  void CreatedHandle() override;
  void WndProc(TMessage& message) override;

 private:
  std::uint16_t FValue = 0;
  // The value before the modifiers now held went down (the box shows them
  // at once, "Ctrl + "): what Ctrl+Tab, taken by the form, must not change.
  std::uint16_t FBeforeModifiers = 0;
  bool FModifiersDown = false;
  WORD FInvalid = 0;
  WORD FSubstitute = 0;
};

// A whole number in an edit, with spin buttons inside its right edge and
// the Up and Down keys stepping it. A value set from code is clamped; a
// typed one is brought into range when the box loses the focus. Only the
// characters of a number and control keys other than Enter can be typed.
class TSpinEdit : public TWinControl {
 public:
  explicit TSpinEdit(TComponent* owner) : TWinControl(owner) { SetTabStop(true); }
  void SetRange(int minimum, int maximum);
  // What the text reads as: the minimum when it is not a whole number.
  int Value();
  void SetValue(std::int64_t value);

  // The form's rules for reading the text (a clamped value) and for the
  // characters that may be typed (with the locale's decimal separator).
  // Without them any text reads as its leading number and every character
  // is typed.
  std::function<int(std::string_view text)> ParseText;
  std::function<bool(char c, char decimalSeparator)> AcceptChar;

 protected:
  void AdjustCreationParams(TCreateParams& params) override;
  void CreatedHandle() override;
  void WndProc(TMessage& message) override;

 private:
  int Clamp(std::int64_t value) const;
  void Step(int delta);
  int FMinimum = 0;
  int FMaximum = 100;
  int FValue = 0;
  HWND FButtons = nullptr;  // child window, destroyed with the edit
};

class TPageControl;

// One page of a page control: a plain container shown while its tab is
// selected. Its parent is the page control; its window, though, is the page
// control's sibling, placed over its display area and right after it in
// the tab order, as the dialog manager needs: a window whose children are
// visited by the dialog keys (WS_EX_CONTROLPARENT) is never a stop itself,
// and the tab strip must be one.
class TTabSheet : public TWinControl {
 public:
  explicit TTabSheet(TComponent* owner) : TWinControl(owner) {}
  void SetPageControl(TPageControl* pages);
  TPageControl* PageControl() const { return FPages; }
  TWinControl* TabFollows() const override;

 protected:
  void AdjustCreationParams(TCreateParams& params) override;
  void CreatedHandle() override;

 private:
  TPageControl* FPages = nullptr;
};

// The system's tab control with one tab per sheet; the sheets fill its
// display area. The tab strip is a tab stop, and its arrow keys turn pages.
class TPageControl : public TWinControl {
 public:
  explicit TPageControl(TComponent* owner) : TWinControl(owner) { SetTabStop(true); }
  int PageCount() const { return static_cast<int>(FPages.size()); }
  TTabSheet* Pages(int index) const { return FPages.at(static_cast<std::size_t>(index)); }
  TTabSheet* ActivePage() const { return FActive; }
  void SetActivePage(TTabSheet* page);
  // Shows the next or the previous page (wrapping around). A focus that was
  // on the page left moves to the first control of the new one.
  void SelectNextPage(bool forward);

 protected:
  void AdjustCreationParams(TCreateParams& params) override;
  void CreatedHandle() override;
  void WndProc(TMessage& message) override;
  bool HandleNotify(NMHDR& header, LRESULT& result) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* page);
  void PlacePages();
  std::vector<TTabSheet*> FPages;
  TTabSheet* FActive = nullptr;
};

// A status bar showing one simple text.
class TStatusBar : public TWinControl {
 public:
  explicit TStatusBar(TComponent* owner) : TWinControl(owner) {}
  const std::string& SimpleText() const { return FText; }
  void SetSimpleText(std::string text);

 protected:
  void AdjustCreationParams(TCreateParams& params) override;
  void CreatedHandle() override;

 private:
  std::string FText;
};

}  // namespace quell::gui
