#include "ComCtrls.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace quell::gui {

// --- THotKey ---

std::uint16_t THotKey::HotKey() {
  if (HandleAllocated())
    value_ = static_cast<std::uint16_t>(SendMessageA(Handle(), HKM_GETHOTKEY, 0, 0));
  return value_;
}

void THotKey::SetHotKey(std::uint16_t value) {
  value_ = value;
  if (HandleAllocated()) SendMessageA(Handle(), HKM_SETHOTKEY, value, 0);
}

void THotKey::SetRules(WORD invalidCombinations, WORD substitute) {
  invalid_ = invalidCombinations;
  substitute_ = substitute;
  if (HandleAllocated()) SendMessageA(Handle(), HKM_SETRULES, invalid_, MAKELPARAM(substitute_, 0));
}

void THotKey::AdjustCreationParams(TCreateParams& params) {
  TWinControl::AdjustCreationParams(params);
  params.windowClass = HOTKEY_CLASSA;
  params.systemClass = true;
  params.exStyle |= WS_EX_CLIENTEDGE;
}

void THotKey::CreatedHandle() {
  SendMessageA(Handle(), HKM_SETRULES, invalid_, MAKELPARAM(substitute_, 0));
  SendMessageA(Handle(), HKM_SETHOTKEY, value_, 0);
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
  minimum_ = minimum;
  maximum_ = std::max(minimum, maximum);
  if (buttons_) SendMessageA(buttons_, UDM_SETRANGE32, static_cast<WPARAM>(minimum_), maximum_);
  SetValue(value_);
}

int TSpinEdit::Clamp(std::int64_t value) const {
  return static_cast<int>(std::clamp<std::int64_t>(value, minimum_, maximum_));
}

int TSpinEdit::Value() {
  if (!HandleAllocated()) return value_;
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(Handle())) + 1, '\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextA(Handle(), text.data(), static_cast<int>(text.size()))));
  return ParseText ? ParseText(text) : Clamp(std::strtoll(text.c_str(), nullptr, 10));
}

void TSpinEdit::SetValue(std::int64_t value) {
  value_ = Clamp(value);
  SetCaption(std::to_string(value_));
}

void TSpinEdit::Step(int delta) { SetValue(static_cast<std::int64_t>(Value()) + delta); }

void TSpinEdit::AdjustCreationParams(TCreateParams& params) {
  TWinControl::AdjustCreationParams(params);
  params.windowClass = "EDIT";
  params.systemClass = true;
  params.caption = std::to_string(value_);
  params.style |= ES_AUTOHSCROLL | WS_CLIPCHILDREN;
  params.exStyle |= WS_EX_CLIENTEDGE;
}

void TSpinEdit::CreatedHandle() {
  // The spin buttons sit inside the edit's right edge, as one control.
  RECT client;
  GetClientRect(Handle(), &client);
  const int width = std::min<int>(GetSystemMetrics(SM_CXVSCROLL), client.right / 2);
  buttons_ =
      CreateWindowExA(0, UPDOWN_CLASSA, nullptr, WS_CHILD | WS_VISIBLE, client.right - width, 0,
                      width, client.bottom, Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
  if (buttons_) SendMessageA(buttons_, UDM_SETRANGE32, static_cast<WPARAM>(minimum_), maximum_);
  SendMessageA(Handle(), EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(0, width));
}

void TSpinEdit::WndProc(TMessage& message) {
  switch (message.Msg) {
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(message.LParam);
      if (header.hwndFrom == buttons_ && header.code == UDN_DELTAPOS) {
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
    case WM_NCDESTROY: buttons_ = nullptr; break;
    default: break;
  }
  TWinControl::WndProc(message);
}

// --- TTabSheet ---

void TTabSheet::SetPageControl(TPageControl* pages) {
  pages_ = pages;
  SetParent(pages);
  if (pages) pages->InsertPage(this);
}

void TTabSheet::CreatedHandle() {
  if (pages_ && pages_->ActivePage() == this) SetVisible(true);
}

void TTabSheet::AdjustCreationParams(TCreateParams& params) {
  TWinControl::AdjustCreationParams(params);
  params.windowClass = "TQuellTabSheet";
  params.classStyle = 0;
  params.style |= WS_CLIPCHILDREN;
  params.exStyle |= WS_EX_CONTROLPARENT;
}

// --- TPageControl ---

void TPageControl::InsertPage(TTabSheet* page) {
  pages_.push_back(page);
  page->FreeNotification(this);
  if (HandleAllocated()) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    std::string text = page->Caption();
    item.pszText = text.data();
    SendMessageA(Handle(), TCM_INSERTITEMA, pages_.size() - 1, reinterpret_cast<LPARAM>(&item));
    PlacePages();
  }
  if (!active_) SetActivePage(page);
}

void TPageControl::SetActivePage(TTabSheet* page) {
  active_ = page;
  const auto at = std::find(pages_.begin(), pages_.end(), page);
  if (HandleAllocated() && at != pages_.end()) {
    SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(at - pages_.begin()), 0);
  }
  // A sheet made later shows itself if it is the active one.
  for (TTabSheet* p : pages_) {
    if (p != page && p->HandleAllocated()) p->SetVisible(false);
  }
  if (page && page->HandleAllocated()) page->SetVisible(true);
}

void TPageControl::AdjustCreationParams(TCreateParams& params) {
  TWinControl::AdjustCreationParams(params);
  params.windowClass = WC_TABCONTROLA;
  params.systemClass = true;
  params.style |= WS_CLIPCHILDREN;
  params.exStyle |= WS_EX_CONTROLPARENT;
}

void TPageControl::CreatedHandle() {
  for (std::size_t i = 0; i < pages_.size(); ++i) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    std::string text = pages_[i]->Caption();
    item.pszText = text.data();
    SendMessageA(Handle(), TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
  }
  PlacePages();
  SetActivePage(active_);
}

void TPageControl::PlacePages() {
  RECT r;
  GetClientRect(Handle(), &r);
  SendMessageA(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  for (TTabSheet* p : pages_) p->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

bool TPageControl::HandleNotify(NMHDR& header, LRESULT& result) {
  if (header.code != TCN_SELCHANGE) return false;
  const auto index = static_cast<std::size_t>(SendMessageA(Handle(), TCM_GETCURSEL, 0, 0));
  if (index < pages_.size()) SetActivePage(pages_[index]);
  result = 0;
  return true;
}

void TPageControl::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  std::erase(pages_, component);
  if (active_ == component) active_ = nullptr;
}

// --- TStatusBar ---

void TStatusBar::SetSimpleText(std::string text) {
  text_ = std::move(text);
  if (HandleAllocated())
    SendMessageA(Handle(), SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(text_.c_str()));
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
  SetSimpleText(text_);
}

}  // namespace quell::gui
