// The separators of a menu laid out and drawn like the program's tray menu,
// with real keys and clicks through the X server: the arrow keys pass over
// them, the pointer never selects them, and none is ever drawn selected.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "gui/Application.h"
#include "gui/Form.h"
#include "gui/ImageList.h"
#include "ui/MenuPainter.h"
#include "gui/Menus.h"
#include "tests/win/support/RecordedProgramMenu.h"
#include "tests/win/support/WinTestSupport.h"
#include "res/resource.h"

namespace quell::ui {
namespace {

using gui::Create;
using wintest::PumpFor;
using wintest::PumpUntil;
using wintest::XDoTool;
using wintest::XMoveTo;

class MenuSeparatorKeys : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(wintest::XRun("xdotool getmouselocation"), 0) << "this tier needs the X relay";
    app = std::make_unique<gui::TApplication>();
    app->Initialize();
    // A visible form in front, so that the keys come to this thread.
    form = app->CreateForm<gui::TForm>();
    form->SetBounds(40, 40, 220, 120);
    form->Show();
    SetForegroundWindow(form->Handle());
    images = Create<gui::TImageList>(form);
    for (int id : {IDI_EXIT, IDI_OPTIONS, IDI_LOCKED, IDI_UNLOCKED})
      images->AddIconResource(app->Instance(), MAKEINTRESOURCEA(id));
    menu = wintest::BuildRecordedProgramMenu(form, images, executed).pmTrayIcon;
    painter = Create<TMenuPainter>(form);
    painter->BindToForm(form);
    ApplyProgramMenuStyle(*painter);
    MenuPainterManager()->RegisterPainter(painter);
    painter->SetActive(true);
    // What the menu selects and how its lines are drawn, as the menu's
    // owner (the application window) is told.
    app->HookMainWindow([this](gui::TMessage& m) {
      if (m.Msg == WM_MENUSELECT && HIWORD(m.WParam) != 0xFFFF)
        separatorSelected |= (HIWORD(m.WParam) & MF_SEPARATOR) != 0;
      if (m.Msg == WM_DRAWITEM) {
        const auto& d = *reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam);
        const gui::TMenuItem* item = gui::FindMenuItemOfData(d.itemData);
        if (item && item->IsLine() && (d.itemState & ODS_SELECTED)) separatorDrawnSelected = true;
      }
      return false;
    });
    PumpFor(300);
  }
  void TearDown() override {
    XDoTool("mousemove 400 300");
    app.reset();
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }
  // Opens the menu at (300, 150) and, from a second thread once it is up,
  // runs `user` (X input); answers once the menu has closed.
  void WithMenu(const std::function<void()>& user) {
    std::atomic<bool> done{false};
    std::thread input([&] {
      for (int i = 0; i < 250 && !IsWindowVisible(FindWindowA("#32768", nullptr)); ++i) Sleep(20);
      Sleep(300);
      user();
      done = true;
    });
    menu->Popup(300, 150);
    PumpUntil([&] { return done.load(); }, 15000);
    input.join();
    app->ProcessMessages();  // the chosen item's click
  }

  std::unique_ptr<gui::TApplication> app;
  gui::TForm* form = nullptr;
  gui::TImageList* images = nullptr;
  gui::TPopupMenu* menu = nullptr;
  TMenuPainter* painter = nullptr;
  std::vector<std::string> executed;
  bool separatorSelected = false;
  bool separatorDrawnSelected = false;
};

TEST_F(MenuSeparatorKeys, TheArrowKeysPassOverTheSeparatorsBothWays) {
  // Lock Computer, Lock for Cleaning, Unlock (disabled, but a stop),
  // Options: the line between them is no stop.
  WithMenu([] { XDoTool("key Down Down Down Down Return"); });
  EXPECT_EQ(executed, (std::vector<std::string>{"Options ..."}));
  // Up from nothing: Exit, Help, Options.
  executed.clear();
  WithMenu([] { XDoTool("key Up Up Up Return"); });
  EXPECT_EQ(executed, (std::vector<std::string>{"Options ..."}));
  // Round the whole menu (six stops): ten presses come to Options again.
  executed.clear();
  WithMenu([] { XDoTool("key Down Down Down Down Down Down Down Down Down Down Return"); });
  EXPECT_EQ(executed, (std::vector<std::string>{"Options ..."}));
  EXPECT_FALSE(separatorSelected);
  EXPECT_FALSE(separatorDrawnSelected);
}

TEST_F(MenuSeparatorKeys, ThePointerOverASeparatorDrawsNoSelectionAndItsClickChoosesNothing) {
  bool openAfterClick = false;
  WithMenu([&] {
    RECT line{};
    GetMenuItemRect(nullptr, menu->Handle(), 3, &line);
    XMoveTo({(line.left + line.right) / 2, (line.top + line.bottom) / 2});
    Sleep(400);
    XDoTool("click 1");
    Sleep(500);
    openAfterClick = IsWindowVisible(FindWindowA("#32768", nullptr)) != FALSE;
    // A click outside closes it (keys follow the foreground, which a click
    // on a menu may have moved).
    for (int i = 0; i < 3 && IsWindowVisible(FindWindowA("#32768", nullptr)); ++i) {
      XMoveTo({700, 60});
      XDoTool("click 1");
      Sleep(300);
    }
  });
  EXPECT_TRUE(openAfterClick) << "a click on a separator closed the menu";
  EXPECT_TRUE(executed.empty());
  // (The system still tells the owner of a separator under the pointer, as
  // its focused item; it neither highlights nor draws it selected.)
  EXPECT_FALSE(separatorDrawnSelected);
}

}  // namespace
}  // namespace quell::ui
