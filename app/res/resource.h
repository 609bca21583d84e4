// Resource numbers of Quellane.exe, shared by the .rc file and the code.
#pragma once

#define IDI_QUELLANE 1
// The main form's image list, in this order.
#define IDI_EXIT 101
#define IDI_OPTIONS 102
#define IDI_LOCKED 103
#define IDI_UNLOCKED 104
// The options dialog's image list and button glyphs (16 and 32 pixels), in
// the list's order.
#define IDI_OPT_CANCEL 111
#define IDI_OPT_APPLY 112
#define IDI_OPT_LOCKNOW 113
