// SPDX-License-Identifier: MIT
#pragma once

#include "win32/WindowsApi.h"

#include "console/Platform.h"

namespace zelk {

struct EnvironmentSettings;

// The Environment dialog from its template (IDD_ENVIRONMENT), modal to owner: the fields and
// toggles of the settings; OK stores them all (EnvironmentForm), Cancel, Esc and the close box
// store nothing.
DialogResult RunEnvironmentDialogBox(HWND owner, EnvironmentSettings& settings);

// The dialog's procedure, for a test that opens the dialog modeless (lParam: the settings).
INT_PTR CALLBACK EnvironmentDialogProcedure(HWND dialog, UINT message, WPARAM wParam,
                                            LPARAM lParam);

// The control of each field and toggle of the form.
int FieldControl(int field);
int ToggleControl(int toggle);

}  // namespace zelk
