// A line in an owner-drawn menu is still a separator to the system: never
// selected by the arrow keys or the pointer, never chosen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "gui/Menus.h"

namespace quell::gui {
namespace {

class MenuSeparators : public test::AppTest {
 protected:
  TPopupMenu* MakeMenu(bool ownerDraw) {
    auto* menu = Create<TPopupMenu>(app.get());
    menu->SetOwnerDraw(ownerDraw);
    for (const char* caption : {"First", "-", "Second", "-", "Third"}) {
      auto* item = Create<TMenuItem>(app.get());
      item->SetCaption(caption);
      menu->Items()->Add(item);
    }
    menu->Rebuild();
    return menu;
  }
  static MENUITEMINFOA InfoAt(HMENU menu, UINT position) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA;
    GetMenuItemInfoA(menu, position, TRUE, &info);
    return info;
  }
};

TEST_F(MenuSeparators, OwnerDrawnLinesAreSeparatorsWithoutACommand) {
  for (bool ownerDraw : {true, false}) {
    SCOPED_TRACE(ownerDraw ? "owner-drawn" : "plain");
    TPopupMenu* menu = MakeMenu(ownerDraw);
    ASSERT_EQ(GetMenuItemCount(menu->Handle()), 5);
    for (UINT i = 0; i < 5; ++i) {
      SCOPED_TRACE(i);
      const MENUITEMINFOA info = InfoAt(menu->Handle(), i);
      const TMenuItem* item = menu->Items()->Items(i);
      const bool line = i % 2 == 1;
      EXPECT_EQ((info.fType & MFT_SEPARATOR) != 0, line);
      EXPECT_EQ((info.fType & MFT_OWNERDRAW) != 0, ownerDraw);
      EXPECT_EQ(info.wID, line ? 0u : item->Command()) << "a line chooses nothing";
      // The item is still found for measuring and drawing.
      EXPECT_EQ(FindMenuItem(static_cast<UINT>(info.dwItemData)), item);
    }
  }
}

}  // namespace
}  // namespace quell::gui
