// A line in an owner-drawn menu is still a separator to the system: never
// selected by the arrow keys or the pointer, never chosen. Every item's data
// carries its text for screen readers, read back as their proxy reads it.
#include <gtest/gtest.h>

#include <oleacc.h>

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
      EXPECT_EQ(FindMenuItemOfData(info.dwItemData), item);
    }
  }
}

// What a screen reader's proxy finds at an item's data: the record's
// signature and its text, or "?" when there is no record.
std::wstring AccessibleTextAt(HMENU menu, UINT position) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_DATA;
  if (!GetMenuItemInfoW(menu, position, TRUE, &info) || !info.dwItemData) return L"?";
  const auto* record = reinterpret_cast<const MSAAMENUINFO*>(info.dwItemData);
  if (record->dwMSAASignature != static_cast<DWORD>(MSAA_MENU_SIG) || !record->pszWText)
    return L"?";
  return std::wstring(record->pszWText, record->cchWText);
}

TEST_F(MenuSeparators, EveryItemsDataCarriesItsTextForScreenReadersWhileTheMenuIsBuilt) {
  TPopupMenu* menu = MakeMenu(true);
  menu->Items()->Items(0)->SetCaption("&Lock Now");
  menu->Items()->Items(0)->SetShortCut(scCtrl | scAlt | 'L');
  auto* sub = Create<TMenuItem>(app.get());
  sub->SetCaption("Help Topic");
  menu->Items()->Items(4)->Add(sub);
  menu->Rebuild();
  const HMENU handle = menu->Handle();
  const std::vector<std::wstring> expected{L"Lock Now\tCtrl+Alt+L", L"", L"Second", L"", L"Third"};
  for (UINT i = 0; i < expected.size(); ++i)
    EXPECT_EQ(AccessibleTextAt(handle, i), expected[i]) << i;
  EXPECT_EQ(AccessibleTextAt(GetSubMenu(handle, 4), 0), L"Help Topic");

  // A rebuild gives new data; the old names no item any more.
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_DATA;
  GetMenuItemInfoW(handle, 2, TRUE, &info);
  EXPECT_EQ(FindMenuItemOfData(info.dwItemData), menu->Items()->Items(2));
  menu->Rebuild();
  EXPECT_EQ(FindMenuItemOfData(info.dwItemData), nullptr);
  EXPECT_EQ(AccessibleTextAt(menu->Handle(), 2), L"Second");
}

}  // namespace
}  // namespace quell::gui
