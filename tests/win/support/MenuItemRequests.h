// The requests the system sends a menu's owner for an owner-drawn item, sent
// by a test to the window that answers them (the application window).
#pragma once

#include <windows.h>

#include "gui/Menus.h"

namespace quell::wintest {

// The item data `item` carries in its built menu (0 when it is in none).
inline ULONG_PTR ItemDataOf(const gui::TMenuItem* item) {
  const gui::TPopupMenu* menu = item->Menu();
  const gui::TMenuItemData* data = menu ? menu->ItemDataOf(*item) : nullptr;
  return reinterpret_cast<ULONG_PTR>(data);
}

// Sends WM_MEASUREITEM for `item` of its built menu; the platform's proposal
// for the height is 16.
inline SIZE MeasureMenuItem(HWND owner, gui::TMenuItem* item) {
  MEASUREITEMSTRUCT m{};
  m.CtlType = ODT_MENU;
  m.itemID = item->Command();
  m.itemData = ItemDataOf(item);
  m.itemHeight = 16;
  SendMessageA(owner, WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&m));
  return {static_cast<LONG>(m.itemWidth), static_cast<LONG>(m.itemHeight)};
}

// Sends WM_DRAWITEM for `item` in `state` on `dc` within `bounds`.
inline void DrawMenuItem(HWND owner, gui::TMenuItem* item, UINT state, HDC dc, RECT bounds) {
  DRAWITEMSTRUCT d{};
  d.CtlType = ODT_MENU;
  d.itemID = item->Command();
  d.itemData = ItemDataOf(item);
  d.itemState = state;
  d.hDC = dc;
  d.rcItem = bounds;
  SendMessageA(owner, WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&d));
}

}  // namespace quell::wintest
