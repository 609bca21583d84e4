// The options dialog's third page, "More", as real windows: its controls'
// places, captions and hints; the password typed twice in its own masked
// dialog; the values loaded and kept only by Save.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <string>

#include "tests/win/gui/GuiTestSupport.h"
#include "ui/FOptions.h"
#include "ui/FPassword.h"
#include "tests/win/support/ProgramImages.h"
#include "tests/win/support/WinTestSupport.h"
#include "res/resource.h"

namespace quell::ui {
namespace {

using gui::Create;
using namespace settings;
using wintest::ClassOf;
using wintest::ForEachThreadWindow;
using wintest::PumpFor;
using wintest::TextOf;

// Hashes with a counter for a salt and the password's bytes for a hash:
// enough to see which password the page kept.
class TFakeHasher : public rules::TPasswordHasher {
 public:
  bool Derive(std::string_view password, std::span<const std::uint8_t>, std::uint32_t,
              std::span<std::uint8_t> key) override {
    for (std::size_t i = 0; i < key.size(); ++i)
      key[i] = i < password.size() ? static_cast<std::uint8_t>(password[i]) : 0;
    return true;
  }
  bool Random(std::span<std::uint8_t> bytes) override {
    for (std::uint8_t& b : bytes) b = 7;
    return true;
  }
};

// The first bytes of a stored form's hash as text: the password kept.
std::string KeptPassword(const std::string& storedForm) {
  const auto stored = TStoredPassword::Parse(storedForm);
  if (!stored) return "<none>";
  return std::string(stored->Hash.begin(), stored->Hash.begin() + stored->Length);
}

class MorePage : public gui::test::AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    images = gui::test::ProgramImages(app.get());
    settings.Values[SLOT_KEY_UNLOCK] = 0xC055;  // Save needs a way out
  }
  TOptionsHost Host(bool withMore = true) {
    TOptionsHost host;
    host.Settings = &settings;
    host.IdleLock = &idle;
    host.MinimizeOnLock = &minimize;
    host.Images = images;
    if (withMore) {
      host.More = &more;
      host.Hasher = &hasher;
    }
    return host;
  }
  // Runs the dialog modally; `steps` run one per timer tick from inside the
  // modal loops (the password dialog's loop included).
  int RunModal(std::deque<std::function<void()>> todo, bool withMore = true) {
    form = Create<TFormOptions>(app.get(), Host(withMore));
    steps = std::move(todo);
    current = this;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &MorePage::Tick);
    const int result = form->ShowModal();
    KillTimer(nullptr, timer);
    PumpFor(50);
    form = nullptr;
    return result;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!current || current->steps.empty()) return;
    auto step = std::move(current->steps.front());
    current->steps.pop_front();
    step();
  }
  // The password dialog shown over the options, or null.
  TFormPassword* PasswordDialog() {
    TFormPassword* found = nullptr;
    ForEachThreadWindow(GetCurrentThreadId(), [&](HWND w) {
      if (IsWindowVisible(w) && TextOf(w) == "Unlock Password")
        found = dynamic_cast<TFormPassword*>(gui::TWinControl::FromHandle(w));
      return found == nullptr;
    });
    return found;
  }
  void Type(const std::string& first, const std::string& second) {
    TFormPassword* ask = PasswordDialog();
    ASSERT_NE(ask, nullptr);
    SetWindowTextA(ask->edPassword->Handle(), first.c_str());
    SetWindowTextA(ask->edConfirm->Handle(), second.c_str());
    ask->btnOk->Click();
  }
  static inline MorePage* current = nullptr;

  TLockSettings settings;
  TMoreSettings more;
  TFakeHasher hasher;
  rules::TIdleLock idle;
  bool minimize = false;
  gui::TImageList* images = nullptr;
  TFormOptions* form = nullptr;
  std::deque<std::function<void()>> steps;
};

RECT PlaceIn(HWND w) {
  RECT r;
  GetWindowRect(w, &r);
  MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

TEST_F(MorePage, IsTheThirdPageWithItsControlsInTheirPlacesCaptionsAndHints) {
  form = Create<TFormOptions>(app.get(), Host());
  ASSERT_EQ(form->PageControl->PageCount(), 3);
  EXPECT_EQ(form->PageControl->Pages(2), form->tsMore);
  EXPECT_EQ(form->tsMore->Caption(), "More");
  struct Expected {
    const char* name;
    const char* windowClass;
    RECT place;
    const char* text;
    const char* hint;
  };
  const Expected expected[] = {
      {"lPassword", "Static", {13, 14, 98, 27}, "Unlock password:", ""},
      {"lPasswordState", "Static", {110, 14, 220, 27}, "None", ""},
      {"btnSetPassword",
       "Button",
       {234, 8, 309, 33},
       "Set...",
       "Type a password that unlocks the locked keyboard"},
      {"btnClearPassword", "Button", {315, 8, 390, 33}, "Clear", "Unlock by hot key only"},
      {"lCleaning", "Static", {13, 46, 98, 59}, "Cleaning lock:", ""},
      {"spCleaning",
       "Edit",
       {110, 40, 159, 62},
       "30",
       "Seconds that Lock for Cleaning locks keyboard and mouse (5 to 600)"},
      {"lCleaningSeconds", "Static", {163, 46, 205, 59}, "Seconds", ""},
      {"cbDarkenWhileCleaning",
       "Button",
       {220, 44, 420, 61},
       "Darken the screens while cleaning",
       "Lock for Cleaning turns every monitor black until it ends"},
      {"cbLongestLock",
       "Button",
       {13, 74, 108, 91},
       "Longest lock:",
       "Any lock ends by itself after this many minutes"},
      {"spLongestLock",
       "Edit",
       {110, 70, 159, 92},
       "60",
       "Minutes after which any lock ends by itself (1 to 1440)"},
      {"lLongestMinutes", "Static", {163, 76, 205, 89}, "Minutes", ""},
      {"cbStartWithWindows",
       "Button",
       {13, 100, 163, 117},
       "Start with Windows",
       "Start Quellane when you log on to Windows"},
      {"cbMediaKeysThrough",
       "Button",
       {220, 74, 450, 91},
       "Let media and volume keys through",
       "While locked, play, pause, stop, next, previous and volume still work (not while "
       "cleaning)"},
      {"cbPawGuard",
       "Button",
       {220, 100, 450, 117},
       "Lock when paws walk on the keyboard",
       "Lock when five keys are held at once or over 25 are pressed in a second"},
  };
  for (const Expected& e : expected) {
    SCOPED_TRACE(e.name);
    auto* control = dynamic_cast<gui::TWinControl*>(form->FindComponent(e.name));
    ASSERT_NE(control, nullptr);
    const HWND w = control->Handle();
    EXPECT_STRCASEEQ(ClassOf(w).c_str(), e.windowClass);
    EXPECT_EQ(GetParent(w), form->tsMore->Handle());
    const RECT r = PlaceIn(w);
    EXPECT_EQ(r.left, e.place.left);
    EXPECT_EQ(r.top, e.place.top);
    if (dynamic_cast<gui::TLabel*>(control) || dynamic_cast<gui::TCheckBox*>(control)) {
      EXPECT_GE(r.right, e.place.right);  // grown to the caption only
    } else {
      EXPECT_EQ(r.right, e.place.right);
    }
    EXPECT_EQ(r.bottom, e.place.bottom);
    EXPECT_EQ(TextOf(w), e.text);
    EXPECT_EQ(control->Hint(), e.hint);
  }
  // Without a password there is nothing to clear; the longest lock's
  // minutes wait for its box.
  EXPECT_FALSE(IsWindowEnabled(form->btnClearPassword->Handle()));
  EXPECT_FALSE(IsWindowEnabled(form->spLongestLock->Handle()));
  SendMessageA(form->cbLongestLock->Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(IsWindowEnabled(form->spLongestLock->Handle()));
  // The page's tab order.
  std::vector<std::string> order;
  for (HWND w = GetWindow(form->tsMore->Handle(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (GetWindowLongA(w, GWL_STYLE) & WS_TABSTOP) order.push_back(TextOf(w));
  }
  EXPECT_EQ(order, (std::vector<std::string>{
                       "Set...", "Clear", "30", "Darken the screens while cleaning",
                       "Longest lock:", "60", "Let media and volume keys through",
                       "Start with Windows", "Lock when paws walk on the keyboard"}));
  gui::TComponent::Free(form);
}

TEST_F(MorePage, ShowsTheStoredValuesAndKeepsChangesOnlyOnSave) {
  const std::string stored = *rules::MakeStoredPassword("open1", hasher);
  more.Password = stored;
  more.CleaningSeconds = 45;
  more.LongestLockMinutes = 90;
  more.LongestLockSeconds = 7;
  more.StartWithWindows = true;
  more.DarkenWhileCleaning = true;
  more.PawGuard = true;
  RunModal({[&] {
    EXPECT_EQ(TextOf(form->lPasswordState->Handle()), "Set");
    EXPECT_TRUE(IsWindowEnabled(form->btnClearPassword->Handle()));
    EXPECT_EQ(form->spCleaning->Value(), 45);
    EXPECT_TRUE(form->cbLongestLock->Checked());
    EXPECT_EQ(form->spLongestLock->Value(), 90);
    EXPECT_TRUE(form->cbStartWithWindows->Checked());
    EXPECT_TRUE(form->cbDarkenWhileCleaning->Checked());
    EXPECT_FALSE(form->cbMediaKeysThrough->Checked());
    EXPECT_TRUE(form->cbPawGuard->Checked());
    form->btnClearPassword->Click();
    EXPECT_EQ(TextOf(form->lPasswordState->Handle()), "None");
    form->spCleaning->SetValue(9999);  // clamped to 600
    form->cbStartWithWindows->SetChecked(false);
    form->cbDarkenWhileCleaning->SetChecked(false);
    form->BitBtnCancel->Click();
  }});
  EXPECT_EQ(more.Password, stored) << "Cancel kept a change";
  EXPECT_EQ(more.CleaningSeconds, 45);
  EXPECT_TRUE(more.StartWithWindows);
  EXPECT_TRUE(more.DarkenWhileCleaning);

  RunModal({[&] {
    form->btnClearPassword->Click();
    form->spCleaning->SetValue(2);  // clamped to 5
    form->cbLongestLock->SetChecked(false);
    form->cbStartWithWindows->SetChecked(false);
    form->cbDarkenWhileCleaning->SetChecked(false);
    form->cbMediaKeysThrough->SetChecked(true);
    form->cbPawGuard->SetChecked(false);
    form->BitBtnApply->Click();
  }});
  EXPECT_EQ(more.Password, "");
  EXPECT_FALSE(more.DarkenWhileCleaning);
  EXPECT_TRUE(more.MediaKeysThrough);
  EXPECT_FALSE(more.PawGuard);
  EXPECT_EQ(more.CleaningSeconds, 5);
  EXPECT_EQ(more.LongestLockMinutes, 0);
  EXPECT_EQ(more.LongestLockSeconds, 7) << "the tests' seconds are not the page's";
  EXPECT_FALSE(more.StartWithWindows);
}

TEST_F(MorePage, SetAsksTwiceMaskedOverTheDialogAndKeepsOnlyAValidPair) {
  std::string problem;
  RunModal({
      [&] { form->btnSetPassword->Click(); },  // runs the password dialog's loop
      [&] {
        TFormPassword* ask = PasswordDialog();
        ASSERT_NE(ask, nullptr);
        EXPECT_EQ(GetWindow(ask->Handle(), GW_OWNER), form->Handle());
        EXPECT_FALSE(IsWindowEnabled(form->Handle())) << "the options wait for it";
        for (HWND edit : {ask->edPassword->Handle(), ask->edConfirm->Handle()})
          EXPECT_TRUE(GetWindowLongA(edit, GWL_STYLE) & ES_PASSWORD);
        Type("Secret7", "Secret8");
        problem = TextOf(ask->lProblem->Handle());
      },
      [&] {
        Type("abc", "abc");
        EXPECT_EQ(TextOf(PasswordDialog()->lProblem->Handle()),
                  "The password must have at least 4 characters.");
      },
      [&] {
        Type("abc-1", "abc-1");
        EXPECT_NE(PasswordDialog(), nullptr) << "refused passwords close the dialog";
      },
      [&] { Type("Secret7", "Secret7"); },
      [&] {
        EXPECT_EQ(PasswordDialog(), nullptr);
        EXPECT_EQ(TextOf(form->lPasswordState->Handle()), "Set");
        EXPECT_EQ(KeptPassword(form->PendingPassword()), "SECRET7");
        EXPECT_EQ(more.Password, "") << "kept before Save";
        form->btnSetPassword->Click();
      },
      [&] { PasswordDialog()->btnCancel->Click(); },
      [&] {
        EXPECT_EQ(KeptPassword(form->PendingPassword()), "SECRET7") << "Cancel dropped it";
        form->BitBtnApply->Click();
      },
  });
  EXPECT_EQ(problem, "The two passwords are not the same.");
  EXPECT_EQ(KeptPassword(more.Password), "SECRET7");
}

TEST_F(MorePage, WithoutItsSettingsThePageIsShownDisabled) {
  RunModal({[&] {
             for (gui::TWinControl* c : std::initializer_list<gui::TWinControl*>{
                      form->btnSetPassword, form->btnClearPassword, form->spCleaning,
                      form->cbDarkenWhileCleaning, form->cbLongestLock, form->spLongestLock,
                      form->cbStartWithWindows, form->cbMediaKeysThrough, form->cbPawGuard})
               EXPECT_FALSE(IsWindowEnabled(c->Handle())) << c->Name();
             form->BitBtnApply->Click();
           }},
           false);
  EXPECT_TRUE(more.IsDefault());
}

}  // namespace
}  // namespace quell::ui
