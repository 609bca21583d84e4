#include "ComCtrls.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "gui/core/PageKeys.h"

namespace quell::gui {

// --- THotKey ---

std::uint16_t THotKey::HotKey() {
  if (HandleAllocated())
    FValue = static_cast<std::uint16_t>(SendMessageA(Handle(), HKM_GETHOTKEY, 0, 0));
  return FValue;
}

void THotKey::SetHotKey(std::uint16_t value) {
  FValue = value;
  if (HandleAllocated()) SendMessageA(Handle(), HKM_SETHOTKEY, value, 0);
}

void THotKey::SetRules(WORD invalidCombinations, WORD substitute) {
  FInvalid = invalidCombinations;
  FSubstitute = substitute;
  if (HandleAllocated()) SendMessageA(Handle(), HKM_SETRULES, FInvalid, MAKELPARAM(FSubstitute, 0));
}

void THotKey::KeyTakenByForm() {
  if (FModifiersDown) SetHotKey(FBeforeModifiers);
  FModifiersDown = false;
}

void THotKey::WndProc(TMessage& message) {
  const auto isModifier = [](WPARAM vk) {
    return vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU;
  };
  switch (message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (isModifier(message.WParam) && !FModifiersDown) {
        FBeforeModifiers = HotKey();
        FModifiersDown = true;
      } else if (!isModifier(message.WParam)) {
        FModifiersDown = false;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: FModifiersDown = false; break;
    default: break;
  }
  TWinControl::WndProc(message);
}

void THotKey::AdjustCreationParams(TCreateParams& params) {
  TWinControl::AdjustCreationParams(params);
  params.windowClass = HOTKEY_CLASSA;
  params.systemClass = true;
  params.exStyle |= WS_EX_CLIENTEDGE;
}

void THotKey::CreatedHandle() {
  SendMessageA(Handle(), HKM_SETRULES, FInvalid, MAKELPARAM(FSubstitute, 0));
  SendMessageA(Handle(), HKM_SETHOTKEY, FValue, 0);
}

// --- TSpinEdit ---

namespace {
char DecimalSeparator() {
  char buffer[4] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer) > 0 &&
      buffer[0]) {
    return buffer[0];
  }
  return '.';
}
}  // namespace

void TSpinEdit::SetRange(int minimum, int maximum) {
  FMinimum = minimum;
  FMaximum = std::max(minimum, maximum);
  if (FButtons) SendMessageA(FButtons, UDM_SETRANGE32, static_cast<WPARAM>(FMinimum), FMaximum);
  SetValue(FValue);
}

int TSpinEdit::Clamp(std::int64_t value) const {
  return static_cast<int>(std::clamp<std::int64_t>(value, FMinimum, FMaximum));
}

int TSpinEdit::Value() {
  if (!HandleAllocated()) return FValue;
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(Handle())) + 1, '\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextA(Handle(), text.data(), static_cast<int>(text.size()))));
  return ParseText ? ParseText(text) : Clamp(std::strtoll(text.c_str(), nullptr, 10));
}

void TSpinEdit::SetValue(std::int64_t value) {
  FValue = Clamp(value);
  SetCaption(std::to_string(FValue));
}

void TSpinEdit::Step(int delta) { SetValue(static_cast<std::int64_t>(Value()) + delta); }

void TSpinEdit::AdjustCreationParams(TCreateParams& params) {
  TWinControl::AdjustCreationParams(params);
  params.windowClass = "EDIT";
  params.systemClass = true;
  params.caption = std::to_string(FValue);
  params.style |= ES_AUTOHSCROLL | WS_CLIPCHILDREN;
  params.exStyle |= WS_EX_CLIENTEDGE;
}

void TSpinEdit::CreatedHandle() {
  // The spin buttons sit inside the edit's right edge, as one control.
  RECT client;
  GetClientRect(Handle(), &client);
  const int width = std::min<int>(GetSystemMetrics(SM_CXVSCROLL), client.right / 2);
  FButtons =
      CreateWindowExA(0, UPDOWN_CLASSA, nullptr, WS_CHILD | WS_VISIBLE, client.right - width, 0,
                      width, client.bottom, Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
  if (FButtons) SendMessageA(FButtons, UDM_SETRANGE32, static_cast<WPARAM>(FMinimum), FMaximum);
  SendMessageA(Handle(), EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, width));
}

void TSpinEdit::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(message.LParam);
      if (header.hwndFrom == FButtons && header.code == UDN_DELTAPOS) {
        // The buttons' own position is not used: the text is the value.
        Step(reinterpret_cast<const NMUPDOWN*>(message.LParam)->iDelta > 0 ? 1 : -1);
        message.Result = 1;
        return;
      }
      break;
    }
    case WM_KEYDOWN:
      if (message.WParam == VK_UP || message.WParam == VK_DOWN) {
        Step(message.WParam == VK_UP ? 1 : -1);
        SendMessageA(Handle(), EM_SETSEL, 0, -1);
        message.Result = 0;
        return;
      }
      break;
    case WM_GETDLGCODE:
      // Enter comes here (to be refused) rather than to the dialog keys.
      TWinControl::WndProc(message);
      if (message.LParam && reinterpret_cast<const MSG*>(message.LParam)->message == WM_KEYDOWN &&
          reinterpret_cast<const MSG*>(message.LParam)->wParam == VK_RETURN) {
        message.Result |= DLGC_WANTMESSAGE;
      }
      return;
    case WM_CHAR: {
      const char c = static_cast<char>(message.WParam);
      if (AcceptChar && !AcceptChar(c, DecimalSeparator())) {
        MessageBeep(0);
        message.Result = 0;
        return;
      }
      break;
    }
    case WM_KILLFOCUS: SetValue(Value()); break;
    case WM_NCDESTROY: FButtons = nullptr; break;
    default: break;
  }
  TWinControl::WndProc(message);
}

// --- TTabSheet ---

void TTabSheet::SetPageControl(TPageControl* pages) {
  FPages = pages;
  SetParent(pages);
  if (pages) pages->InsertPage(this);
}

TWinControl* TTabSheet::TabFollows() const { return FPages; }

void TTabSheet::CreatedHandle() {
  if (FPages && FPages->ActivePage() == this) SetVisible(true);
}

void TTabSheet::AdjustCreationParams(TCreateParams& params) {
  TWinControl::AdjustCreationParams(params);
  if (FPages && FPages->Parent()) params.wndParent = FPages->Parent()->Handle();
  params.windowClass = "TQuellTabSheet";
  params.classStyle = 0;
  params.style |= WS_CLIPCHILDREN;
  params.exStyle |= WS_EX_CONTROLPARENT;
}

// --- TPageControl ---

void TPageControl::InsertPage(TTabSheet* page) {
  FPages.push_back(page);
  page->FreeNotification(this);
  if (HandleAllocated()) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    std::string text = page->Caption();
    item.pszText = text.data();
    SendMessageA(Handle(), TCM_INSERTITEMA, FPages.size() - 1, reinterpret_cast<LPARAM>(&item));
    PlacePages();
  }
  if (!FActive) SetActivePage(page);
}

void TPageControl::SetActivePage(TTabSheet* page) {
  FActive = page;
  const auto at = std::find(FPages.begin(), FPages.end(), page);
  if (HandleAllocated() && at != FPages.end()) {
    SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(at - FPages.begin()), 0);
  }
  // A sheet made later shows itself if it is the active one.
  for (TTabSheet* p : FPages) {
    if (p != page && p->HandleAllocated()) p->SetVisible(false);
  }
  if (page && page->HandleAllocated()) page->SetVisible(true);
}

void TPageControl::SelectNextPage(bool forward) {
  const auto at = std::find(FPages.begin(), FPages.end(), FActive);
  const int current = at == FPages.end() ? -1 : static_cast<int>(at - FPages.begin());
  const int next =
      SteppedPage(current, PageCount(), forward ? TPageStep::Next : TPageStep::Previous);
  if (next == current) return;
  const HWND focus = GetFocus();
  const bool focusOnPage =
      FActive && FActive->HandleAllocated() && focus && IsChild(FActive->Handle(), focus);
  if (HandleAllocated()) SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(next), 0);
  SetActivePage(FPages[static_cast<std::size_t>(next)]);
  if (!focusOnPage) return;
  // The first control of the page the dialog keys would stop at, or the strip.
  const HWND page = FActive->Handle();
  HWND first = GetNextDlgTabItem(page, nullptr, FALSE);
  if (!first || !IsChild(page, first)) first = Handle();
  ::SetFocus(first);
}

void TPageControl::AdjustCreationParams(TCreateParams& params) {
  TWinControl::AdjustCreationParams(params);
  params.windowClass = WC_TABCONTROLA;
  params.systemClass = true;
}

void TPageControl::WndProc(TMessage& message) {
  TWinControl::WndProc(message);
  // The pages follow the strip when it is moved or sized.
  if (message.Msg == WM_WINDOWPOSCHANGED && HandleAllocated()) {
    const auto& pos = *reinterpret_cast<const WINDOWPOS*>(message.LParam);
    if ((pos.flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) PlacePages();
  }
}

void TPageControl::CreatedHandle() {
  for (std::size_t i = 0; i < FPages.size(); ++i) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    std::string text = FPages[i]->Caption();
    item.pszText = text.data();
    SendMessageA(Handle(), TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
  }
  PlacePages();
  SetActivePage(FActive);
}

void TPageControl::PlacePages() {
  RECT r;
  GetClientRect(Handle(), &r);
  SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  // In the coordinates of the pages' windows, which are the strip's siblings.
  if (const HWND parent = GetParent(Handle()))
    MapWindowPoints(Handle(), parent, reinterpret_cast<POINT*>(&r), 2);
  for (TTabSheet* p : FPages) p->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

bool TPageControl::HandleNotify(NMHDR& header, LRESULT& result) {
  if (header.code != TCN_SELCHANGE) return false;
  const auto index = static_cast<std::size_t>(SendMessageA(Handle(), TCM_GETCURSEL, 0, 0));
  if (index < FPages.size()) SetActivePage(FPages[index]);
  result = 0;
  return true;
}

void TPageControl::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != TOperation::Remove) return;
  std::erase(FPages, component);
  if (FActive == component) FActive = nullptr;
}

// --- TStatusBar ---

void TStatusBar::SetSimpleText(std::string text) {
  FText = std::move(text);
  if (HandleAllocated())
    SendMessageA(Handle(), SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(FText.c_str()));
}

void TStatusBar::AdjustCreationParams(TCreateParams& params) {
  TWinControl::AdjustCreationParams(params);
  params.windowClass = STATUSCLASSNAMEA;
  params.systemClass = true;
  // The form places it; it keeps the size it is given.
  params.style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
}

void TStatusBar::CreatedHandle() {
  SendMessageA(Handle(), SB_SIMPLE, TRUE, 0);
  SetSimpleText(FText);
}

}  // namespace quell::gui
