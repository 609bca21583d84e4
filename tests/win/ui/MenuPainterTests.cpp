// TMenuPainter and TMenuPainterManager on the component layer: which menus
// and items a painter takes over and gives back, the manager's registration
// rules, and items measured and drawn through the layer's own menu messages.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/core/Action.h"
#include "gui/Application.h"
#include "gui/Form.h"
#include "gui/ImageList.h"
#include "ui/MenuPainter.h"
#include "tests/win/support/MenuItemRequests.h"
#include "gui/Menus.h"
#include "tests/win/support/ProgramImages.h"
#include "tests/win/support/WinTestSupport.h"
#include "res/resource.h"

namespace quell::ui {
namespace {

using gui::Create;
using gui::TComponent;
using gui::TMenuItem;
using gui::TPopupMenu;

// A form with the program's tray menu: Lock Computer and Unlock with their
// shortcuts, separators, Options, Help with two sub-items, Exit.
struct MenuForm {
  gui::TForm* form;
  gui::TImageList* images;
  TPopupMenu* menu;
  std::vector<TMenuItem*> items;  // top level, in order
  TMenuItem* help;
  TMenuItem* helpTopic;
  TMenuItem* home;
  gui::TAction* acUnlock;

  explicit MenuForm(gui::TComponent* owner) {
    form = Create<gui::TForm>(owner);
    images = gui::test::ProgramImages(form);
    auto* actions = Create<gui::TActionList>(form);
    actions->SetImages(images);
    auto action = [&](const char* caption, int image, gui::TShortCut shortcut = 0) {
      auto* a = Create<gui::TAction>(form, actions);
      a->SetCaption(caption);
      a->SetImageIndex(image);
      a->SetShortCut(shortcut);
      return a;
    };
    menu = Create<TPopupMenu>(form);
    menu->SetImages(images);
    auto item = [&](gui::TAction* a, const char* caption, TMenuItem* parent) {
      auto* i = Create<TMenuItem>(form);
      i->SetAction(a);
      if (caption) i->SetCaption(caption);
      parent->Add(i);
      return i;
    };
    TMenuItem* root = menu->Items();
    items.push_back(item(action("Lock Computer", 2, 0xC04C), nullptr, root));
    acUnlock = action("Unlock", 3, 0xC055);
    acUnlock->SetEnabled(false);
    items.push_back(item(acUnlock, nullptr, root));
    items.push_back(item(nullptr, "-", root));
    items.push_back(item(action("Options ...", 1), nullptr, root));
    items.push_back(item(nullptr, "-", root));
    help = item(nullptr, "Help", root);
    items.push_back(help);
    helpTopic = item(nullptr, "Help Topic", help);
    home = item(nullptr, "Home", help);
    items.push_back(item(nullptr, "-", root));
    items.push_back(item(action("Exit", 0), nullptr, root));
  }
  std::vector<TMenuItem*> All() const {
    std::vector<TMenuItem*> all = items;
    all.push_back(helpTopic);
    all.push_back(home);
    return all;
  }
};

// The painter as the program's main form sets it up, in the program's order.

class MenuPainterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app = std::make_unique<gui::TApplication>();
    app->Initialize();
    app->OnException = [this](TComponent*, const std::string& what) { reported.push_back(what); };
    main = std::make_unique<MenuForm>(app.get());
  }
  void TearDown() override {
    SetEnvironmentVariableW(L"QUELL_TEST_HIGH_CONTRAST", nullptr);
    main.reset();
    app.reset();
    EXPECT_EQ(MenuPainterManager(), nullptr) << "the manager goes with the last painter";
  }
  TMenuPainter* ProgramPainter() {
    auto* painter = Create<TMenuPainter>(main->form);
    painter->BindToForm(main->form);
    ApplyProgramMenuStyle(*painter);
    MenuPainterManager()->RegisterPainter(painter);
    painter->SetActive(true);
    return painter;
  }
  // The layer's measure and draw requests for `item` of its built menu.
  SIZE Measure(TMenuItem* item) { return wintest::MeasureMenuItem(app->Handle(), item); }
  void Draw(TMenuItem* item, UINT state, HDC dc, RECT bounds) {
    wintest::DrawMenuItem(app->Handle(), item, state, dc, bounds);
  }

  std::unique_ptr<gui::TApplication> app;
  std::unique_ptr<MenuForm> main;
  std::vector<std::string> reported;
};

TEST_F(MenuPainterTest, AfterConstructionTheDefaultsAndTheProgramsSettings) {
  auto* p = Create<TMenuPainter>(main->form);
  EXPECT_EQ(p->Form(), main->form);
  EXPECT_FALSE(p->Active());
  EXPECT_EQ(p->DimLevel(), 30);
  EXPECT_EQ(p->GrayLevel(), 10);
  EXPECT_EQ(p->IconWidth(), 24);
  EXPECT_EQ(p->Color(), clBtnFace);
  EXPECT_EQ(p->SelectColor(), clHighlight);
  EXPECT_EQ(p->DisabledColor(), clInactiveCaption);
  EXPECT_TRUE(p->DrawSelect());
  EXPECT_TRUE(p->UseSystemColors());
  EXPECT_FALSE(p->OverrideOwnerDraw());
  EXPECT_FALSE(p->AutoDetect());
  EXPECT_EQ(p->StyledContainers(), 0x3FFu);
  EXPECT_EQ(p->StyledControls(), 0x7FFFFFu);
  EXPECT_FALSE(p->Renderer().PaletteDirty()) << "the palette is computed once at construction";
  ASSERT_NE(MenuPainterManager(), nullptr);
  EXPECT_FALSE(main->menu->OwnerDraw()) << "nothing is styled before Active";
  for (TMenuItem* item : main->All()) EXPECT_FALSE(item->OnDrawItem) << item->Caption();

  ApplyProgramMenuStyle(*p);
  EXPECT_EQ(p->StyledControls(), 0x7u);
  EXPECT_EQ(p->StyledContainers(), 0x14u);
  EXPECT_TRUE(p->Renderer().PaletteDirty()) << "every colour setter marks the palette";
}

TEST_F(MenuPainterTest, ActivationStylesTheTrayMenuAndTheHelpSubMenu) {
  TMenuPainter* p = ProgramPainter();
  EXPECT_TRUE(main->menu->OwnerDraw());
  for (TMenuItem* item : main->All()) EXPECT_TRUE(p->DrawsItem(*item)) << item->Caption();
  p->SetActive(false);
  EXPECT_FALSE(main->menu->OwnerDraw());
  for (TMenuItem* item : main->All()) {
    EXPECT_FALSE(item->OnDrawItem) << item->Caption();
    EXPECT_FALSE(item->OnMeasureItem) << item->Caption();
  }
}

TEST_F(MenuPainterTest, RegisteredBeforeActivationThePainterStylesNoOtherForm) {
  MenuForm other(app.get());
  TMenuPainter* p = ProgramPainter();
  wintest::PumpFor(200);
  EXPECT_EQ(MenuPainterManager()->CurrentPainter(), nullptr);
  EXPECT_FALSE(other.menu->OwnerDraw());
  for (TMenuItem* item : other.All()) EXPECT_FALSE(item->OnDrawItem) << item->Caption();
  MenuForm later(app.get());
  wintest::PumpFor(200);
  EXPECT_FALSE(later.menu->OwnerDraw());
  EXPECT_TRUE(p->Active());
}

TEST_F(MenuPainterTest, Tag999AndOwnHandlersAreRespected) {
  main->items[3]->SetTag(kKeepOwnDrawingTag);  // Options ...
  bool ownDrawn = false;
  main->items[0]->OnDrawItem = [&](TComponent*, gui::TCanvas&, const RECT&, bool) {
    ownDrawn = true;
  };
  MenuForm tagged(main->form);
  tagged.menu->SetTag(kKeepOwnDrawingTag);

  auto* p = Create<TMenuPainter>(main->form);
  p->SetActive(true);  // OverrideOwnerDraw is off
  EXPECT_FALSE(main->items[3]->OnDrawItem) << "Tag 999 keeps its own drawing";
  EXPECT_FALSE(p->DrawsItem(*main->items[0])) << "an item with its own handler keeps it";
  EXPECT_TRUE(p->DrawsItem(*main->items[1]));
  EXPECT_FALSE(tagged.menu->OwnerDraw());
  for (TMenuItem* item : tagged.All()) EXPECT_FALSE(item->OnDrawItem) << item->Caption();

  // OverrideOwnerDraw takes effect at the next activation.
  p->SetOverrideOwnerDraw(true);
  EXPECT_FALSE(p->DrawsItem(*main->items[0]));
  p->SetActive(false);
  ASSERT_TRUE(main->items[0]->OnDrawItem) << "switching off gives back only the painter's handlers";
  p->SetActive(true);
  EXPECT_TRUE(p->DrawsItem(*main->items[0]));
  EXPECT_FALSE(main->items[3]->OnDrawItem);

  // A handler set after activation is not the painter's to take away.
  main->items[1]->OnDrawItem = [&](TComponent*, gui::TCanvas&, const RECT&, bool) {
    ownDrawn = true;
  };
  p->SetActive(false);
  EXPECT_TRUE(main->items[1]->OnDrawItem);
  EXPECT_FALSE(main->items[1]->OnMeasureItem) << "its measure handler was the painter's";
  EXPECT_FALSE(main->items[0]->OnDrawItem);
}

TEST_F(MenuPainterTest, AMenuWithoutItemsKeepsItsOwnerDrawFlag) {
  auto* empty = Create<TPopupMenu>(main->form);
  empty->SetOwnerDraw(true);
  auto* p = Create<TMenuPainter>(main->form);
  p->SetActive(true);
  p->SetActive(false);
  EXPECT_TRUE(empty->OwnerDraw());
  EXPECT_FALSE(main->menu->OwnerDraw());
}

TEST_F(MenuPainterTest, StyledControlsDecideWhatIsTakenOver) {
  TMenuPainter* p = ProgramPainter();
  p->SetStyledControls(SetOf({xcToolbar}));
  EXPECT_FALSE(main->menu->OwnerDraw());
  for (TMenuItem* item : main->All()) EXPECT_FALSE(item->OnDrawItem) << item->Caption();
  p->SetStyledControls(SetOf({xcPopupMenu}));
  EXPECT_TRUE(main->menu->OwnerDraw());
  for (TMenuItem* item : main->All()) EXPECT_TRUE(p->DrawsItem(*item)) << item->Caption();
}

TEST_F(MenuPainterTest, AutoDetectStylesItemsAddedWhileActive) {
  TMenuPainter* p = ProgramPainter();
  auto* added = Create<TMenuItem>(main->form);
  added->SetCaption("Added");
  main->menu->Items()->Add(added);
  wintest::PumpFor(100);
  EXPECT_TRUE(p->DrawsItem(*added));
  p->SetAutoDetect(false);
  auto* second = Create<TMenuItem>(main->form);
  main->menu->Items()->Add(second);
  wintest::PumpFor(100);
  EXPECT_FALSE(second->OnDrawItem);
  // An item freed before it was styled is simply forgotten.
  p->SetAutoDetect(true);
  TComponent::Free(Create<TMenuItem>(main->form));
  wintest::PumpFor(100);
}

TEST_F(MenuPainterTest, ItemsAreMeasuredThroughTheLayersMenuMessages) {
  TMenuPainter* p = ProgramPainter();
  main->menu->Rebuild();
  const SIZE lock = Measure(main->items[0]);
  const SIZE separator = Measure(main->items[2]);
  const SIZE options = Measure(main->items[3]);
  const SIZE help = Measure(main->help);
  const SIZE topic = Measure(main->helpTopic);
  EXPECT_EQ(separator.cy, 4);
  EXPECT_EQ(options.cy, 22);
  EXPECT_EQ(help.cy, 16) << "no image: text height plus a quarter";
  EXPECT_GT(lock.cx, options.cx) << "the shortcut and its reserve";
  // "Help" and "Home" have the same width in most fonts only by chance; the
  // sub-menu extra is checked against an item of the same caption.
  auto* twin = Create<TMenuItem>(main->form);
  twin->SetCaption("Help");
  main->menu->Items()->Add(twin);
  main->menu->Rebuild();
  EXPECT_EQ(help.cx, Measure(twin).cx + 6);
  EXPECT_GT(topic.cx, 0);
  // An inactive painter's handlers leave the layer's proposal alone.
  p->SetActive(false);
  main->items[3]->OnMeasureItem = [p](TComponent* s, gui::TCanvas& c, int& w, int& h) {
    p->MeasureMenuItem(s, c, w, h);
  };
  main->menu->Rebuild();
  EXPECT_EQ(Measure(main->items[3]).cy, 0);
}

TEST_F(MenuPainterTest, ItemsAreDrawnThroughTheLayersMenuMessages) {
  TMenuPainter* p = ProgramPainter();
  main->menu->Rebuild();
  base::ScreenDc screen;
  gui::DibCanvas canvas(screen.get(), 200, 30);
  std::fill_n(canvas.pixels(), 200 * 30, 0x00010203u);
  auto draw = [&](TMenuItem* item, UINT state) {
    Draw(item, state, canvas.dc(), {10, 4, 190, 26});
    GdiFlush();
  };
  auto at = [&](int x, int y) {
    const std::uint32_t px = canvas.pixels()[y * 200 + x];
    return RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF);
  };
  draw(main->items[3], ODS_SELECTED);
  const MenuPalette& palette = p->Renderer().Palette();
  EXPECT_EQ(at(10, 5), GetSysColor(COLOR_HIGHLIGHT)) << "the selection's border";
  EXPECT_EQ(at(180, 15), palette.selectFill);
  EXPECT_EQ(at(5, 15), RGB(1, 2, 3)) << "nothing outside the item";
  // The disabled Unlock is never highlighted.
  draw(main->items[1], ODS_SELECTED);
  EXPECT_EQ(at(180, 15), palette.menuBack);
  EXPECT_EQ(at(12, 6), palette.iconColumn);
  EXPECT_TRUE(reported.empty());
}

TEST_F(MenuPainterTest, WithHighContrastEachStateIsDrawnInTheSystemsMenuColoursUntilItGoesOff) {
  TMenuPainter* p = ProgramPainter();
  main->menu->Rebuild();
  base::ScreenDc screen;
  gui::DibCanvas canvas(screen.get(), 200, 30);
  auto at = [&](int x, int y) {
    const std::uint32_t px = canvas.pixels()[y * 200 + x];
    return RGB((px >> 16) & 0xFF, (px >> 8) & 0xFF, px & 0xFF);
  };
  // Pixels of the caption's area in `colour` after drawing `item` in `state`.
  auto draw = [&](TMenuItem* item, UINT state, COLORREF colour) {
    Draw(item, state, canvas.dc(), {0, 0, 200, 22});
    GdiFlush();
    int count = 0;
    for (int y = 2; y < 20; ++y)
      for (int x = 30; x < 150; ++x) count += at(x, y) == colour ? 1 : 0;
    return count;
  };
  SetEnvironmentVariableW(L"QUELL_TEST_HIGH_CONTRAST", L"1");
  EXPECT_GT(draw(main->items[3], 0, GetSysColor(COLOR_MENUTEXT)), 5) << "the caption";
  EXPECT_EQ(at(180, 15), GetSysColor(COLOR_MENU));
  EXPECT_EQ(at(1, 1), GetSysColor(COLOR_MENU)) << "no icon column of its own";
  EXPECT_TRUE(p->Renderer().HighContrast());
  EXPECT_GT(draw(main->items[3], ODS_SELECTED, GetSysColor(COLOR_HIGHLIGHTTEXT)), 5);
  EXPECT_EQ(at(180, 15), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_GT(draw(main->items[1], 0, GetSysColor(COLOR_GRAYTEXT)), 5) << "the disabled Unlock";
  SetEnvironmentVariableW(L"QUELL_TEST_HIGH_CONTRAST", nullptr);
  draw(main->items[3], 0, 0);
  EXPECT_FALSE(p->Renderer().HighContrast());
  EXPECT_EQ(at(180, 15), p->Renderer().Palette().menuBack);
  EXPECT_NE(p->Renderer().Palette().menuBack, GetSysColor(COLOR_MENU)) << "the flat style's own";
  EXPECT_TRUE(reported.empty());
}

TEST_F(MenuPainterTest, TwoHundredMenusMeasuredAndDrawnLeaveNothingAllocated) {
  ProgramPainter();
  base::ScreenDc screen;
  gui::DibCanvas canvas(screen.get(), 200, 30);
  // What the tray menu's every showing asks of the painter: a rebuilt menu,
  // each item measured and drawn plain, selected and disabled.
  auto cycle = [&] {
    main->menu->Rebuild();
    for (TMenuItem* item : main->All()) {
      Measure(item);
      for (UINT state : {0u, static_cast<UINT>(ODS_SELECTED), static_cast<UINT>(ODS_GRAYED)}) {
        Draw(item, state, canvas.dc(), {0, 0, 200, 24});
      }
    }
  };
  constexpr int kMenus = 200;
  const wintest::HeapChange change = wintest::HeapChangeOver(5, kMenus, cycle);
  EXPECT_LT(change.Blocks(), 20) << kMenus << " menus left" << change.Growth();
  EXPECT_TRUE(reported.empty());
}

TEST_F(MenuPainterTest, AnActivePainterAtRegistrationStylesTheOtherForms) {
  MenuForm plain(app.get());
  MenuForm tagged(app.get());
  tagged.form->SetTag(kKeepOwnDrawingTag);
  MenuForm own(app.get());
  auto* ownPainter = Create<TMenuPainter>(own.form);

  auto* p = Create<TMenuPainter>(main->form);
  p->SetActive(true);
  MenuPainterManager()->RegisterPainter(p);
  EXPECT_EQ(MenuPainterManager()->CurrentPainter(), p);
  EXPECT_FALSE(plain.menu->OwnerDraw()) << "styled at the next message, not at once";
  wintest::PumpFor(200);
  EXPECT_TRUE(plain.menu->OwnerDraw());
  for (TMenuItem* item : plain.All()) EXPECT_TRUE(p->DrawsItem(*item)) << item->Caption();
  EXPECT_FALSE(tagged.menu->OwnerDraw());
  EXPECT_FALSE(own.menu->OwnerDraw()) << "a form with a painter of its own";

  // A form made later is styled too.
  MenuForm later(app.get());
  wintest::PumpFor(200);
  EXPECT_TRUE(later.menu->OwnerDraw());

  // The leaving painter's handlers go with it; the second painter, active
  // and registered, takes the other forms over.
  ownPainter->SetActive(true);
  MenuPainterManager()->RegisterPainter(ownPainter);
  TComponent::Free(p);
  ASSERT_NE(MenuPainterManager(), nullptr);
  EXPECT_EQ(MenuPainterManager()->CurrentPainter(), ownPainter);
  for (TMenuItem* item : plain.All()) EXPECT_TRUE(ownPainter->DrawsItem(*item)) << item->Caption();
  // Without a successor the other forms get their own drawing back.
  TComponent::Free(ownPainter);
  EXPECT_EQ(MenuPainterManager(), nullptr);
  for (TMenuItem* item : plain.All()) EXPECT_FALSE(item->OnDrawItem) << item->Caption();
  EXPECT_FALSE(main->menu->OwnerDraw());
}

}  // namespace
}  // namespace quell::ui
