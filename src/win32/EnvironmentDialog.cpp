// SPDX-License-Identifier: MIT
#include "win32/EnvironmentDialog.h"

#include <algorithm>
#include <vector>

#include "environment/EnvironmentForm.h"
#include "win32/Resources.h"
#include "win32/Win32Text.h"

namespace zelk {
namespace {

constexpr int kFieldControls[FIELD_COUNT] = {IDC_QUAKE2_DIR, IDC_PARAMETERS, IDC_GAME,
                                             IDC_MAP,        IDC_SAVE_DIR,   IDC_LOAD_DIR,
                                             IDC_EDITOR};
constexpr int kToggleControls[TOGGLE_COUNT] = {IDC_GOD,      IDC_NO_TARGET,  IDC_CHEATS,
                                               IDC_GIVE_ALL, IDC_DISCONNECT, IDC_ERROR_SOUND};

std::wstring ControlText(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  std::vector<wchar_t> text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
  return text.data();
}

// The typing limit stops what the user types or pastes, never a stored value: a longer value
// (the game and map commands store long words) is shown and kept whole; typing never makes it
// longer than the limit or than it was.
void LimitField(HWND dialog, int field) {
  const int id = kFieldControls[field];
  const int length = GetWindowTextLengthW(GetDlgItem(dialog, id));
  SendDlgItemMessageW(dialog, id, EM_LIMITTEXT,
                      static_cast<WPARAM>(std::max(FieldLimit(static_cast<FormField>(field)),
                                                   length)),
                      0);
}

void FillControls(HWND dialog, const EnvironmentSettings& settings) {
  const EnvironmentForm form = FormFromSettings(settings);
  for (int i = 0; i < TOGGLE_COUNT; ++i) {
    CheckDlgButton(dialog, kToggleControls[i], form.toggles[i] ? BST_CHECKED : BST_UNCHECKED);
  }
  for (int i = 0; i < FIELD_COUNT; ++i) {
    SetDlgItemTextW(dialog, kFieldControls[i], WideFromZelk(form.texts[i]).c_str());
    LimitField(dialog, i);
  }
}

bool StoreControls(HWND dialog, EnvironmentSettings& settings) {
  EnvironmentForm form;
  for (int i = 0; i < TOGGLE_COUNT; ++i) {
    form.toggles[i] = IsDlgButtonChecked(dialog, kToggleControls[i]) == BST_CHECKED;
  }
  for (int i = 0; i < FIELD_COUNT; ++i) {
    form.texts[i] = ZelkFromWide(ControlText(dialog, kFieldControls[i]));
  }
  FormField refused = FIELD_COUNT;
  std::string message;
  if (StoreForm(form, settings, refused, message)) return true;
  MessageBoxW(dialog, WideFromUtf8(message).c_str(), L"Environment", MB_OK | MB_ICONWARNING);
  HWND field = GetDlgItem(dialog, kFieldControls[refused]);
  SetFocus(field);
  SendMessageW(field, EM_SETSEL, 0, -1);
  return false;
}

}  // namespace

int FieldControl(int field) {
  return kFieldControls[field];
}

int ToggleControl(int toggle) {
  return kToggleControls[toggle];
}

INT_PTR CALLBACK EnvironmentDialogProcedure(HWND dialog, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  auto* settings = reinterpret_cast<EnvironmentSettings*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      FillControls(dialog, *reinterpret_cast<EnvironmentSettings*>(lParam));
      return TRUE;  // the focus goes to the first tab stop: OK
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == IDOK) {
        if (settings != nullptr && StoreControls(dialog, *settings)) EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (id == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      if (HIWORD(wParam) == EN_CHANGE) {
        for (int i = 0; i < FIELD_COUNT; ++i) {
          if (kFieldControls[i] == id) LimitField(dialog, i);
        }
        return TRUE;
      }
      return FALSE;
    }
    default:
      return FALSE;
  }
}

DialogResult RunEnvironmentDialogBox(HWND owner, EnvironmentSettings& settings) {
  const INT_PTR result =
      DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ENVIRONMENT), owner,
                      EnvironmentDialogProcedure, reinterpret_cast<LPARAM>(&settings));
  if (result == IDOK) return DialogResult::Accepted;
  if (result == IDCANCEL) return DialogResult::Cancelled;
  return DialogResult::Unavailable;
}

}  // namespace zelk
