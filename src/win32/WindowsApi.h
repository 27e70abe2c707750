// SPDX-License-Identifier: MIT
// The Windows headers, for every file of the window and before any of the console's: some of
// their macros name the console's own functions and constants (DrawContext::TextOut and
// SelectFont, the key modifiers MOD_SHIFT and MOD_ALT), and are taken back here. The calls of
// the system spell their wide names (TextOutW).
#pragma once

#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>

#undef TextOut
#undef SelectFont
#undef MOD_ALT
#undef MOD_CONTROL
#undef MOD_SHIFT
