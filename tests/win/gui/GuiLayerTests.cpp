// The component layer as real Win32 under Wine: timers, forms and their
// close and modal paths, the application window, menus built from actions
// and drawn by their owners, images from the program's resources, dialogs.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <shlwapi.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "gui/core/Action.h"
#include "gui/Form.h"
#include "GuiTestSupport.h"
#include "gui/ImageList.h"
#include "gui/Menus.h"
#include "tests/win/support/ProgramImages.h"
#include "gui/StdCtrls.h"
#include "gui/Timer.h"
#include "tests/win/support/WinTestSupport.h"
#include "res/resource.h"

namespace quell::gui::test {
namespace {

using wintest::PumpFor;
using wintest::PumpUntil;

// ---------------------------------------------------------------- timers

class TimerTest : public AppTest {};

TEST_F(TimerTest, EnablingARunningTimerKeepsItsStartButANewIntervalStartsItAgain) {
  auto timer = CreateOwned<TTimer>();
  timer->SetEnabled(false);
  std::vector<ULONGLONG> fired;
  timer->OnTimer = [&](TComponent* sender) {
    EXPECT_EQ(sender, timer.get());
    fired.push_back(GetTickCount64());
  };
  timer->SetInterval(400);
  const ULONGLONG start = GetTickCount64();
  timer->SetEnabled(true);
  PumpFor(200);
  timer->SetInterval(400);
  timer->SetEnabled(true);
  ASSERT_TRUE(PumpUntil([&] { return !fired.empty(); }, 2000));
  EXPECT_LT(fired[0] - start, 550u) << "the second enable must not restart the period";

  fired.clear();
  const ULONGLONG restart = GetTickCount64();
  PumpFor(200);
  timer->SetInterval(500);  // a new interval: the period starts again now
  ASSERT_TRUE(PumpUntil([&] { return !fired.empty(); }, 2000));
  EXPECT_GE(fired[0] - restart, 650u);
  timer->SetEnabled(false);
  fired.clear();
  PumpFor(700);
  EXPECT_TRUE(fired.empty());
}

TEST_F(TimerTest, AnExceptionFromOnTimerIsReportedAndTheTimerGoesOn) {
  auto timer = CreateOwned<TTimer>();
  timer->SetInterval(50);
  int runs = 0;
  timer->OnTimer = [&](TComponent*) {
    ++runs;
    throw std::runtime_error("timer failed");
  };
  ASSERT_TRUE(PumpUntil([&] { return runs >= 2; }, 2000));
  ASSERT_GE(reported.size(), 2u);
  EXPECT_EQ(reported[0].sender, timer.get());
  EXPECT_EQ(reported[0].what, "timer failed");
}

TEST_F(TimerTest, WithoutAHandlerTheReporterShowsAnErrorBox) {
  app->OnException = nullptr;
  app->SetTitle("Quellane");
  auto timer = CreateOwned<TTimer>();
  timer->SetInterval(50);
  timer->OnTimer = [&](TComponent*) {
    timer->SetEnabled(false);
    throw std::logic_error("bad state");
  };
  ASSERT_TRUE(PumpUntil([&] { return !boxes.empty(); }, 2000));
  EXPECT_EQ(boxes[0].text, "bad state");
  EXPECT_EQ(boxes[0].caption, "Quellane");
  EXPECT_EQ(boxes[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
}

// ---------------------------------------------------------------- forms

// A form with state of its own, which OnDestroy still reads.
class NoteForm : public TForm {
 public:
  explicit NoteForm(TComponent* owner, std::vector<std::string>* journal = nullptr)
      : TForm(owner), journal_(journal) {
    OnCreate = [this](TComponent*) { Log("create " + note_); };
    OnDestroy = [this](TComponent*) { Log("destroy " + note_); };
    OnShow = [this](TComponent*) { Log("show"); };
    OnHide = [this](TComponent*) { Log("hide"); };
    SetBounds(100, 100, 200, 120);
  }
  ~NoteForm() override { Log("~"); }
  TCloseAction closeAction = TCloseAction::Hide;
  bool throwOnUserMessage = false;

 protected:
  void AdjustCreationParams(TCreateParams& params) override {
    TForm::AdjustCreationParams(params);
    if (toolWindow) {
      params.style = (params.style & ~static_cast<DWORD>(WS_CAPTION)) | WS_POPUP;
      params.exStyle |= WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    }
  }
  void WndProc(TMessage& message) override {
    if (message.Msg == WM_USER + 5 && throwOnUserMessage)
      throw std::runtime_error("handler failed");
    TForm::WndProc(message);
  }

 public:
  bool toolWindow = false;

 private:
  void Log(const std::string& entry) {
    if (journal_) journal_->push_back(entry);
  }
  std::vector<std::string>* journal_;
  std::string note_ = "note";
};

class FormTest : public AppTest {
 protected:
  std::vector<std::string> journal;
};

TEST_F(FormTest, OnCreateRunsAtCreationAndOnDestroyWhileTheFormIsStillWhole) {
  auto* form = Create<NoteForm>(app.get(), &journal);
  EXPECT_THAT(journal, ::testing::ElementsAre("create note"));
  form->Show();
  form->Hide();
  TComponent::Free(form);
  EXPECT_THAT(journal, ::testing::ElementsAre("create note", "show", "hide", "destroy note", "~"));
}

TEST_F(FormTest, CreationParamsCanBeAdjustedByTheForm) {
  auto* form = Create<NoteForm>(app.get());
  form->toolWindow = true;
  const HWND w = form->Handle();
  const auto style = static_cast<DWORD>(GetWindowLongA(w, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongA(w, GWL_EXSTYLE));
  EXPECT_EQ(style & WS_CAPTION, 0u);
  EXPECT_NE(style & WS_POPUP, 0u);
  EXPECT_NE(exStyle & WS_EX_TOOLWINDOW, 0u);
  EXPECT_NE(exStyle & WS_EX_NOACTIVATE, 0u);
  EXPECT_EQ(GetWindow(w, GW_OWNER), app->Handle()) << "forms belong to the application window";
  EXPECT_EQ(TWinControl::FromHandle(w), form);
}

TEST_F(FormTest, CloseHidesByDefaultAndOnCloseCanKeepMinimiseOrFreeTheForm) {
  auto* form = Create<NoteForm>(app.get(), &journal);
  TCloseAction next = TCloseAction::Hide;
  form->OnClose = [&](TComponent* sender, TCloseAction& action) {
    EXPECT_EQ(sender, form);
    EXPECT_EQ(action, TCloseAction::Hide) << "the default offered";
    action = next;
  };
  form->Show();
  form->Close();
  EXPECT_FALSE(form->Visible());

  form->Show();
  next = TCloseAction::None;
  SendMessageA(form->Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(form->Visible()) << "TCloseAction::None keeps it";

  next = TCloseAction::Minimize;
  form->Close();
  EXPECT_TRUE(form->Minimized());

  next = TCloseAction::Free;
  const std::size_t before = app->ComponentCount();
  form->Close();
  EXPECT_EQ(app->ComponentCount(), before) << "freed only once its messages are handled";
  PumpFor(100);
  EXPECT_EQ(app->ComponentCount(), before - 1);
  EXPECT_EQ(journal.back(), "~");
}

TEST_F(FormTest, ClosingTheMainFormEndsTheRunLoop) {
  auto* main = app->CreateForm<NoteForm>(&journal);
  EXPECT_EQ(app->MainForm(), main);
  app->SetShowMainForm(false);
  PostMessageA(main->Handle(), WM_CLOSE, 0, 0);
  app->Run();  // returns once the main form closed
  EXPECT_TRUE(app->Terminated());
  EXPECT_FALSE(main->Visible()) << "never shown: the switch was off";
}

TEST_F(FormTest, ShowModalDisablesTheOtherWindowsAndReturnsTheModalResult) {
  auto* other = Create<NoteForm>(app.get());
  other->Show();
  auto* dialog = Create<NoteForm>(app.get());
  auto timer = CreateOwned<TTimer>();
  timer->SetInterval(100);
  bool otherDisabled = false;
  timer->OnTimer = [&](TComponent*) {
    timer->SetEnabled(false);
    otherDisabled = !IsWindowEnabled(other->Handle());
    EXPECT_TRUE(dialog->Modal());
    dialog->SetModalResult(mrOk);
  };
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_TRUE(otherDisabled);
  EXPECT_TRUE(IsWindowEnabled(other->Handle())) << "enabled again afterwards";
  EXPECT_FALSE(dialog->Visible());
  EXPECT_FALSE(dialog->Modal());
}

TEST_F(FormTest, AModalFormClosedAnswersCancelAndOnCloseCanRefuseOrFreeIt) {
  auto* dialog = Create<NoteForm>(app.get(), &journal);
  int closes = 0;
  dialog->OnClose = [&](TComponent*, TCloseAction& action) {
    action = ++closes == 1 ? TCloseAction::None : TCloseAction::Free;
  };
  auto timer = CreateOwned<TTimer>();
  timer->SetInterval(80);
  int ticks = 0;
  timer->OnTimer = [&](TComponent*) {
    if (++ticks <= 2) PostMessageA(dialog->Handle(), WM_CLOSE, 0, 0);
  };
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_EQ(closes, 2) << "the first close was refused";
  timer->SetEnabled(false);
  PumpFor(100);
  EXPECT_EQ(journal.back(), "~") << "freed after the modal loop";
}

TEST_F(FormTest, AnExceptionInAMessageHandlerIsReportedWithTheFormAsSender) {
  auto* form = Create<NoteForm>(app.get());
  form->throwOnUserMessage = true;
  SendMessageA(form->Handle(), WM_USER + 5, 0, 0);
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0].sender, form);
  EXPECT_EQ(reported[0].what, "handler failed");
}

TEST_F(FormTest, AFormWithHintsLeavesNothingAllocatedWhenFreed) {
  // Each hinted control is subclassed by the form's tooltip; freed in the
  // wrong order, every one of them left comctl32's subclass records behind.
  auto cycle = [&] {
    auto* form = Create<TForm>(app.get());
    form->SetShowHint(true);
    for (int i = 0; i < 6; ++i) {
      auto* box = Create<TCheckBox>(form);
      box->SetParent(form);
      box->SetCaption("Option " + std::to_string(i));
      box->SetHint("Hint " + std::to_string(i) + "|Long hint");
      box->SetBounds(8, 8 + 24 * i, 160, 20);
      box->SetVisible(true);
    }
    form->UpdateHints();
    form->Show();
    PumpFor(5);
    TComponent::Free(form);
    PumpFor(5);
  };
  constexpr int kCycles = 40;
  const wintest::HeapChange change = wintest::HeapChangeOver(3, kCycles, cycle);
  // A leak of one block per hinted control would be 240 blocks.
  EXPECT_LT(change.Blocks(), kCycles) << kCycles << " forms left" << change.Growth();
}

// ---------------------------------------------------------------- application

class ApplicationTest : public AppTest {};

TEST_F(ApplicationTest, HooksSeeTheApplicationWindowsMessagesFirstAndMayConsumeThem) {
  std::vector<UINT> seen;
  const int watcher = app->HookMainWindow([&](TMessage& m) {
    if (m.Msg == WM_USER + 7) seen.push_back(m.Msg);
    return false;
  });
  const int eater = app->HookMainWindow([&](TMessage& m) {
    if (m.Msg != WM_USER + 7) return false;
    m.Result = 42;
    return true;
  });
  EXPECT_EQ(SendMessageA(app->Handle(), WM_USER + 7, 0, 0), 42);
  app->UnhookMainWindow(eater);
  EXPECT_EQ(SendMessageA(app->Handle(), WM_USER + 7, 0, 0), 0);
  app->UnhookMainWindow(watcher);
  SendMessageA(app->Handle(), WM_USER + 7, 0, 0);
  EXPECT_EQ(seen.size(), 2u);
}

TEST_F(ApplicationTest, MinimiseAndRestoreTheApplicationWindowWithTheirEvents) {
  int minimised = 0, restored = 0;
  app->OnMinimize = [&](TComponent*) { ++minimised; };
  app->OnRestore = [&](TComponent*) { ++restored; };
  SendMessageA(app->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsIconic(app->Handle()));
  app->Minimize();
  EXPECT_EQ(minimised, 1) << "already minimised";
  app->Restore();
  EXPECT_FALSE(IsIconic(app->Handle()));
  EXPECT_EQ(restored, 1);
  ShowWindow(app->Handle(), SW_HIDE);
}

TEST_F(ApplicationTest, TheHintFollowsTheControlUnderThePointer) {
  auto* form = Create<NoteForm>(app.get());
  form->SetHint("Short|Prevent the screen saver from running");
  form->SetStayOnTop(true);
  form->Show();
  int changes = 0;
  app->OnHint = [&](TComponent*) { ++changes; };
  auto keepAlive = CreateOwned<TTimer>();  // the loop idles between ticks
  keepAlive->SetInterval(30);
  keepAlive->OnTimer = [](TComponent*) {};
  SetCursorPos(form->Left() + 50, form->Top() + 60);
  const ULONGLONG deadline = GetTickCount64() + 3000;
  while (app->Hint().empty() && GetTickCount64() < deadline) app->HandleMessage();
  EXPECT_EQ(app->Hint(), "Prevent the screen saver from running");
  SetCursorPos(form->Left() + form->Width() + 100, form->Top() + form->Height() + 100);
  while (!app->Hint().empty() && GetTickCount64() < deadline + 3000) app->HandleMessage();
  EXPECT_EQ(app->Hint(), "");
  EXPECT_EQ(changes, 2);
}

// ---------------------------------------------------------------- images

class ImageTest : public AppTest {
 protected:
  TImageList* LoadProgramImages(TComponent* owner) {
    auto* list = Create<TImageList>(owner);
    int expected = 0;
    for (int id : {IDI_EXIT, IDI_OPTIONS, IDI_LOCKED, IDI_UNLOCKED}) {
      EXPECT_EQ(list->AddIconResource(app->Instance(), MAKEINTRESOURCEA(id)), expected++);
    }
    return list;
  }
};

TEST_F(ImageTest, TheFourImagesOfTheProgramLoadAtSixteenPixelsAndLookDifferent) {
  auto owner = CreateOwned<TActionList>();
  TImageList* list = LoadProgramImages(owner.get());
  ASSERT_EQ(list->Count(), 4);
  std::vector<std::vector<std::uint32_t>> pictures;
  for (int i = 0; i < 4; ++i) {
    TIcon icon;
    ASSERT_TRUE(list->GetIcon(i, icon));
    EXPECT_EQ(icon.Width(), 16);
    EXPECT_EQ(icon.Height(), 16);
    pictures.push_back(IconPixels(icon.Handle()));
  }
  // Locked and unlocked: at least a third of the pixels differ.
  int differing = 0;
  for (std::size_t p = 0; p < pictures[2].size(); ++p)
    differing += pictures[2][p] != pictures[3][p];
  EXPECT_GT(differing, 256 / 3);
  TIcon untouched;
  untouched.Assign(TIcon());
  EXPECT_FALSE(list->GetIcon(4, untouched));
  EXPECT_FALSE(list->GetIcon(-1, untouched));
  EXPECT_TRUE(untouched.Empty());
  EXPECT_FALSE(app->Icon().Empty()) << "the program icon is the application's icon";
}

TEST_F(ImageTest, AnIconTellsOfEveryChangeOfItsPicture) {
  auto owner = CreateOwned<TActionList>();
  TImageList* list = LoadProgramImages(owner.get());
  TIcon icon, other;
  int changes = 0;
  icon.OnChange = [&](TIcon& sender) {
    EXPECT_EQ(&sender, &icon);
    ++changes;
  };
  list->GetIcon(2, icon);
  list->GetIcon(3, other);
  icon.Assign(other);
  EXPECT_EQ(IconPixels(icon.Handle()), IconPixels(other.Handle()));
  EXPECT_NE(icon.Handle(), other.Handle()) << "a copy, not a shared handle";
  icon.Assign(icon);
  icon.Clear();
  EXPECT_EQ(changes, 3);
}

TEST_F(ImageTest, TheProgramCarriesItsVersionAndRunsWithCommonControlsSix) {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  DWORD ignored = 0;
  std::vector<char> block(GetFileVersionInfoSizeA(path, &ignored));
  ASSERT_FALSE(block.empty());
  ASSERT_TRUE(GetFileVersionInfoA(path, 0, static_cast<DWORD>(block.size()), block.data()));
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&info), &length));
  EXPECT_EQ(info->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(info->dwFileVersionLS, 0x00010003u);
  // The manifest asks for version 6 of the common controls.
  HMODULE comctl = GetModuleHandleA("comctl32.dll");
  ASSERT_NE(comctl, nullptr);
  auto getVersion = reinterpret_cast<HRESULT(CALLBACK*)(DLLVERSIONINFO*)>(
      reinterpret_cast<void*>(GetProcAddress(comctl, "DllGetVersion")));
  ASSERT_NE(getVersion, nullptr);
  DLLVERSIONINFO version{};
  version.cbSize = sizeof version;
  ASSERT_EQ(getVersion(&version), S_OK);
  char comctlPath[MAX_PATH] = {};
  GetModuleFileNameA(comctl, comctlPath, MAX_PATH);
  // Windows reports 6 from the side-by-side copy; Wine's built-in library
  // reports 5 whichever copy is loaded, so there the folder tells.
  const std::string loaded = comctlPath;
  const bool sideBySideSix =
      loaded.find("common-controls_6595b64144ccf1df_6.") != std::string::npos;
  EXPECT_TRUE(version.dwMajorVersion == 6 || sideBySideSix) << loaded;
}

// ---------------------------------------------------------------- menus

class MenuTest : public AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    form = Create<NoteForm>(app.get());
    images = ProgramImages(form);
    actions = Create<TActionList>(form);
    acLock = MakeAction("Lock Computer", 2);
    acLock->SetShortCut(0xC04C);
    acUnlock = MakeAction("Unlock", 3);
    acUnlock->OnUpdate = [this](TComponent*) { acUnlock->SetEnabled(false); };
    menu = Create<TPopupMenu>(form);
    menu->SetImages(images);
    lockItem = AddItem(acLock);
    AddItem(acUnlock);
    separator = AddItem(nullptr);
    separator->SetCaption("-");
    auto* help = AddItem(nullptr);
    help->SetCaption("Help");
    auto* topic = Create<TMenuItem>(form);
    topic->SetCaption("Help Topic");
    help->Add(topic);
  }
  TAction* MakeAction(const std::string& caption, int image) {
    auto* action = Create<TAction>(form, actions);
    action->SetCaption(caption);
    action->SetImageIndex(image);
    action->OnExecute = [this, caption](TComponent*) { executed.push_back(caption); };
    return action;
  }
  TMenuItem* AddItem(TAction* action) {
    auto* item = Create<TMenuItem>(form);
    item->SetAction(action);
    menu->Items()->Add(item);
    return item;
  }
  // Runs the steps one per timer tick inside the menu's own loop, once the
  // menu is on the screen; returns when the menu has closed.
  using Step = std::function<void(HWND menuWindow)>;
  void PopupAndThen(std::vector<Step> steps) {
    auto timer = CreateOwned<TTimer>();
    timer->SetInterval(150);
    std::size_t next = 0;
    timer->OnTimer = [&](TComponent*) {
      const HWND w = FindWindowA("#32768", nullptr);
      if (!w || !IsWindowVisible(w)) return;
      if (next < steps.size()) steps[next++](w);
      if (next == steps.size()) timer->SetEnabled(false);
    };
    menu->Popup(200, 150);
  }
  static void Key(HWND menuWindow, WPARAM vk) {
    PostMessageA(menuWindow, WM_KEYDOWN, vk, 0);
    PostMessageA(menuWindow, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000000u));
  }

  NoteForm* form = nullptr;
  TImageList* images = nullptr;
  TActionList* actions = nullptr;
  TAction* acLock = nullptr;
  TAction* acUnlock = nullptr;
  TPopupMenu* menu = nullptr;
  TMenuItem* lockItem = nullptr;
  TMenuItem* separator = nullptr;
  std::vector<std::string> executed;
};

TEST_F(MenuTest, ItemsShowTheirActionsCaptionShortcutImageAndEnabledState) {
  menu->Items()->InitiateAction();
  menu->Rebuild();
  const HMENU h = menu->Handle();
  ASSERT_EQ(GetMenuItemCount(h), 4);
  char text[128];
  GetMenuStringA(h, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Lock Computer\tCtrl+Alt+L");
  GetMenuStringA(h, 1, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Unlock");
  EXPECT_EQ(GetMenuState(h, 0, MF_BYPOSITION) & MF_GRAYED, 0u);
  EXPECT_NE(GetMenuState(h, 1, MF_BYPOSITION) & MF_GRAYED, 0u) << "its update disabled it";
  EXPECT_NE(GetMenuState(h, 2, MF_BYPOSITION) & MF_SEPARATOR, 0u);
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_BITMAP | MIIM_SUBMENU;
  GetMenuItemInfoA(h, 0, TRUE, &info);
  EXPECT_NE(info.hbmpItem, nullptr) << "the action's image";
  GetMenuItemInfoA(h, 3, TRUE, &info);
  ASSERT_NE(info.hSubMenu, nullptr);
  EXPECT_EQ(GetMenuItemCount(info.hSubMenu), 1);

  acLock->SetCaption("Lock now");
  acLock->SetShortCut(0);
  menu->Rebuild();
  GetMenuStringA(menu->Handle(), 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Lock now") << "items follow later changes of the action";
}

TEST_F(MenuTest, TheChosenItemExecutesItsActionAfterTheMenuClosed) {
  int popups = 0;
  menu->OnPopup = [&](TComponent* sender) {
    EXPECT_EQ(sender, menu);
    ++popups;
  };
  int unlockUpdates = 0;
  acUnlock->OnUpdate = [&](TComponent*) {
    ++unlockUpdates;
    acUnlock->SetEnabled(false);
  };
  PopupAndThen({[&](HWND w) {
    Key(w, VK_DOWN);
    Key(w, VK_RETURN);
  }});
  EXPECT_EQ(popups, 1);
  EXPECT_EQ(unlockUpdates, 1) << "actions are updated before the menu opens";
  EXPECT_TRUE(executed.empty()) << "the click runs from the message loop, after the menu";
  ASSERT_TRUE(PumpUntil([&] { return !executed.empty(); }, 2000));
  EXPECT_THAT(executed, ::testing::ElementsAre("Lock Computer"));
}

TEST_F(MenuTest, AnItemClickHandlerReplacesTheActionAndAGoneActionIsForgotten) {
  int clicks = 0;
  lockItem->OnClick = [&](TComponent* sender) {
    EXPECT_EQ(sender, lockItem);
    ++clicks;
  };
  lockItem->Click();
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(executed.empty());
  TComponent::Free(acLock);
  EXPECT_EQ(lockItem->Action(), nullptr);
  EXPECT_EQ(lockItem->Caption(), "");
}

TEST_F(MenuTest, OwnerDrawnItemsAreMeasuredAndDrawnByTheirHandlers) {
  menu->SetOwnerDraw(true);
  std::vector<std::string> measured;
  std::vector<std::pair<std::string, bool>> drawn;
  for (std::size_t i = 0; i < menu->Items()->Count(); ++i) {
    TMenuItem* item = menu->Items()->Items(i);
    item->OnMeasureItem = [&, item](TComponent* sender, TCanvas& canvas, int& width, int& height) {
      EXPECT_EQ(sender, item);
      EXPECT_GT(canvas.TextHeight("W"), 0) << "a canvas with the menu font";
      measured.push_back(item->Caption());
      width = 150;
      height = item->IsLine() ? 4 : 22;
    };
    item->OnDrawItem = [&, item](TComponent*, TCanvas& canvas, const RECT& rect, bool selected) {
      drawn.emplace_back(item->Caption(), selected);
      canvas.FillRect(rect, selected ? RGB(0, 0, 200) : RGB(240, 240, 240));
      if (item == separator) throw std::runtime_error("drawing failed");
    };
  }
  RECT lockRect{}, separatorRect{};
  PopupAndThen({[&](HWND w) {
                  GetMenuItemRect(nullptr, menu->Handle(), 0, &lockRect);
                  GetMenuItemRect(nullptr, menu->Handle(), 2, &separatorRect);
                  Key(w, VK_DOWN);
                },
                [&](HWND w) { Key(w, VK_ESCAPE); }});
  EXPECT_THAT(measured, ::testing::IsSupersetOf({"Lock Computer", "Unlock", "-", "Help"}));
  EXPECT_EQ(lockRect.bottom - lockRect.top, 22);
  EXPECT_EQ(separatorRect.bottom - separatorRect.top, 4);
  EXPECT_THAT(drawn, ::testing::Contains(std::make_pair(std::string("Lock Computer"), false)));
  EXPECT_THAT(drawn, ::testing::Contains(std::make_pair(std::string("Lock Computer"), true)))
      << "drawn again when selected";
  ASSERT_FALSE(reported.empty()) << "the failing draw is reported, not fatal";
  EXPECT_EQ(reported[0].sender, separator);
  PumpFor(100);
  EXPECT_TRUE(executed.empty()) << "Escape chooses nothing";
}

// ---------------------------------------------------------------- dialogs

class DialogTest : public AppTest {};

TEST_F(DialogTest, AnErrorDialogHasTheErrorCaptionIconAndOneOkButton) {
  EXPECT_EQ(MessageDlg("Dll:quellhook.dll not found", TMsgDlgType::Error), mrOk);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Dll:quellhook.dll not found");
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_EQ(boxes[0].flags & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
  EXPECT_EQ(boxes[0].flags & MB_TYPEMASK, static_cast<UINT>(MB_OK));
  EXPECT_EQ(boxes[0].owner, app->Handle()) << "no active window: the application's";
}

TEST_F(DialogTest, ARealMessageBoxKeepsTheProgramsWindowsDisabledUntilItIsClosed) {
  app->SetMessageBoxes(nullptr);  // the system's own box
  auto* form = Create<NoteForm>(app.get());
  form->Show();
  auto timer = CreateOwned<TTimer>();
  timer->SetInterval(150);
  bool formDisabled = false;
  std::string boxText;
  timer->OnTimer = [&](TComponent*) {
    const HWND box = FindWindowA("#32770", "Information");
    if (!box) return;
    timer->SetEnabled(false);
    formDisabled = !IsWindowEnabled(form->Handle());
    char text[64] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    boxText = text;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  };
  EXPECT_EQ(MessageDlg("Program is running", TMsgDlgType::Information), mrOk);
  EXPECT_TRUE(formDisabled);
  EXPECT_EQ(boxText, "Program is running");
  EXPECT_TRUE(IsWindowEnabled(form->Handle()));
}

}  // namespace
}  // namespace quell::gui::test
