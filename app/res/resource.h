// Resource numbers of Quellane.exe, shared by the .rc file and the code.
#pragma once

#define IDI_QUELLANE 1
// The main form's image list, in this order.
#define IDI_EXIT 101
#define IDI_OPTIONS 102
#define IDI_LOCKED 103
#define IDI_UNLOCKED 104
