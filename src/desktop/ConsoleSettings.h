// SPDX-License-Identifier: MIT
#pragma once

namespace zelk {

class CConsoleWidget;

// The console's settings kept between runs, in the user's settings beside the recent-file list
// (the same organisation and application): the input lines that Up and Down recall, and the
// font size when it is not the default.
void LoadConsoleSettings(CConsoleWidget& console);
void SaveConsoleSettings(CConsoleWidget& console);

}  // namespace zelk
