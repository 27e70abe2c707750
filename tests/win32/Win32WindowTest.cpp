// SPDX-License-Identifier: MIT
// The Win32 window under Wine: messages sent to the real window, its painted cells read back, its
// resources (menu, prompts, toolbar, dialog templates) read as the program loads them, and what it
// leaves in the registry. What the console does with a key or a click is the console's, checked
// by its own tests; here, that the window hands it over and draws the result.
#include "win32/WindowsApi.h"


#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "console/MenuCommands.h"
#include "environment/EnvironmentSettings.h"
#include "win32/EnvironmentDialog.h"
#include "win32/GdiDrawContext.h"
#include "win32/Win32Keys.h"
#include "win32/MainFrame.h"
#include "win32/Resources.h"
#include "win32/Win32Text.h"

namespace zelk {
namespace {

void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

std::wstring RegistryText(const wchar_t* subKey, const wchar_t* name) {
  const std::wstring path = std::wstring(SETTINGS_KEY) + L"\\" + subKey;
  wchar_t data[1024] = {};
  DWORD bytes = sizeof data - sizeof(wchar_t);
  if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_REG_SZ | RRF_RT_REG_MULTI_SZ,
                   nullptr, data, &bytes) != ERROR_SUCCESS) {
    return L"<none>";
  }
  return data;
}

std::string Describe(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

// The window as the program builds it, shown, on a document of its own; the registry's settings
// of earlier tests are gone.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, SETTINGS_KEY);
    m_recent.Load();
    m_doc = std::make_unique<CZelkDoc>(ConsoleFontFor(USER_DEFAULT_SCREEN_DPI));
    m_frame = std::make_unique<MainFrame>(*m_doc, m_platform, m_recent);
    ASSERT_TRUE(m_frame->Create(GetModuleHandleW(nullptr)));
    ShowWindow(m_frame->Handle(), SW_SHOW);
    UpdateWindow(m_frame->Handle());
    PumpMessages();
  }
  void TearDown() override {
    m_frame.reset();
    PumpMessages();
  }

  ConsoleView& View() { return m_frame->Console(); }
  HWND Console() { return View().Handle(); }
  void Type(const std::wstring& text, UINT message = WM_CHAR) {
    for (const wchar_t unit : text) SendMessageW(Console(), message, unit, 1);
    PumpMessages();
  }
  // A key as the message loop meets it, with the modifiers held.
  bool PressKey(WORD vk, bool control, bool shift) {
    BYTE state[256] = {};
    if (control) state[VK_CONTROL] = state[VK_LCONTROL] = 0x80;
    if (shift) state[VK_SHIFT] = state[VK_LSHIFT] = 0x80;
    SetKeyboardState(state);
    MSG message{Console(), WM_KEYDOWN, vk, 1, GetTickCount(), {}};
    const bool translated = m_frame->TranslateKeys(message);
    if (!translated) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    BYTE none[256] = {};
    SetKeyboardState(none);
    PumpMessages();
    return translated;
  }
  void SetClipboard(const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::memcpy(GlobalLock(data), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(data);
    SetClipboardData(CF_UNICODETEXT, data);
    CloseClipboard();
  }
  std::wstring Clipboard() {
    std::wstring text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      text = static_cast<const wchar_t*>(GlobalLock(data));
      GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
  }

  // The console's pixels as it painted them.
  struct Picture {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
  };
  Picture Capture() {
    PumpMessages();
    UpdateWindow(Console());
    RECT client;
    GetClientRect(Console(), &client);
    Picture picture;
    picture.width = client.right;
    picture.height = client.bottom;
    HDC window = GetDC(Console());
    HDC memory = CreateCompatibleDC(window);
    HBITMAP bitmap = CreateCompatibleBitmap(window, picture.width, picture.height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, picture.width, picture.height, window, 0, 0, SRCCOPY);
    for (int y = 0; y < picture.height; ++y) {
      for (int x = 0; x < picture.width; ++x) picture.pixels.push_back(GetPixel(memory, x, y));
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(Console(), window);
    return picture;
  }
  int CellWidth() { return MeasureCellWidth(m_doc->Font()); }
  int LineHeight() { return m_doc->Font().height; }
  // The colours inside the cell of a row and column, other than black.
  std::vector<COLORREF> Ink(const Picture& picture, int row, int column) {
    std::vector<COLORREF> ink;
    for (int y = row * LineHeight(); y < (row + 1) * LineHeight(); ++y) {
      for (int x = column * CellWidth(); x < (column + 1) * CellWidth(); ++x) {
        if (picture.At(x, y) != RGB(0, 0, 0)) ink.push_back(picture.At(x, y));
      }
    }
    return ink;
  }

  RecentFileList m_recent;
  Win32Platform m_platform;
  std::unique_ptr<CZelkDoc> m_doc;
  std::unique_ptr<MainFrame> m_frame;
};

TEST_F(WindowTest, TypedCharactersGoThroughTheKeyRulesAndArePaintedGreenOnBlack) {
  Type(L"Version");
  EXPECT_EQ(m_doc->InputText(), "version");
  const Picture picture = Capture();
  for (int column = 0; column <= 10; ++column) {  // "OK>version" and the cursor mark
    const std::vector<COLORREF> ink = Ink(picture, 0, column);
    ASSERT_FALSE(ink.empty()) << "column " << column;
    for (const COLORREF c : ink) {
      EXPECT_EQ(GetRValue(c), 0) << column;
      EXPECT_EQ(GetBValue(c), 0) << column;
      EXPECT_LE(GetGValue(c), 170) << column;
    }
  }
  EXPECT_TRUE(Ink(picture, 0, 11).empty());
  EXPECT_TRUE(Ink(picture, 1, 0).empty());

  Type(L"\r");
  EXPECT_EQ(m_doc->LineText(1).substr(0, 28), "Zelk Script Compiler Version");
}

TEST_F(WindowTest, EveryCellIsPaintedInItsOwnColumnAndOpaque) {
  // A line of bars as wide as the view ends in its last column: no character pushes the next on.
  RECT client;
  GetClientRect(Console(), &client);
  const int bars = client.right / CellWidth() - 1;
  ASSERT_GT(bars, 60);
  m_doc->PrintLine(std::string(static_cast<std::size_t>(bars), '|'));
  m_frame->Console().Screen().RequestRepaint(false);
  // The whole view red first: the paint without erase covers every cell and the rest.
  HDC dc = GetDC(Console());
  HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
  FillRect(dc, &client, red);
  DeleteObject(red);
  ReleaseDC(Console(), dc);
  InvalidateRect(Console(), nullptr, FALSE);
  const Picture picture = Capture();
  EXPECT_FALSE(Ink(picture, 0, 0).empty());
  EXPECT_FALSE(Ink(picture, 0, bars - 1).empty());
  EXPECT_TRUE(Ink(picture, 0, bars).empty());
  int red_pixels = 0;
  for (const COLORREF c : picture.pixels) red_pixels += GetRValue(c) != 0;
  EXPECT_EQ(red_pixels, 0);
}

TEST_F(WindowTest, Utf16BecomesWindows1252WithAQuestionMarkForTheRest) {
  // e acute, the euro sign, a CJK character, a character beyond the Basic Multilingual Plane
  // (two units, one '?'), and text from an input method.
  Type(L"\u00e9\u20ac\u4e2d\U0001F600");
  Type(L"IME", WM_IME_CHAR);
  EXPECT_EQ(m_doc->InputText(), "\xe9\x80??ime");
}

TEST_F(WindowTest, CtrlEnterHandsTheLineOverAndCtrlJIsStored) {
  // Both come as a line feed; the key's scan code tells them apart.
  const auto lineFeedOf = [](UINT vk) {
    return static_cast<LPARAM>((MapVirtualKeyW(vk, MAPVK_VK_TO_VSC) << 16) | 1);
  };
  Type(L"x");
  SendMessageW(Console(), WM_CHAR, L'\n', lineFeedOf('J'));
  PumpMessages();
  EXPECT_EQ(m_doc->InputText(), "x\n");
  Type(L"\b\bversion");
  SendMessageW(Console(), WM_CHAR, L'\n', lineFeedOf(VK_RETURN));
  PumpMessages();
  EXPECT_EQ(m_doc->LineText(1).substr(0, 28), "Zelk Script Compiler Version");
}

TEST_F(WindowTest, CopyAndPasteAreAcceleratorsOfTheirOwn) {
  SetClipboard(L"Status\r\nsecond line");
  EXPECT_TRUE(PressKey('V', true, true));
  EXPECT_EQ(m_doc->InputText(), "status");  // the first line, through the key rules

  // Dragging over "OK>" on the first row selects it; Ctrl+Shift+C copies it.
  const int y = LineHeight() / 2;
  SendMessageW(Console(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, y));
  SendMessageW(Console(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(3 * CellWidth(), y));
  SendMessageW(Console(), WM_LBUTTONUP, 0, MAKELPARAM(3 * CellWidth(), y));
  SetClipboard(L"");
  EXPECT_TRUE(PressKey('C', true, true));
  EXPECT_EQ(Clipboard(), L"OK>");
  // Neither control character reached the key rules.
  EXPECT_EQ(m_doc->InputText(), "status");
}

TEST_F(WindowTest, ZoomScrollbackAndHistoryKeysReachTheConsole) {
  const int height = View().Screen().FontHeight();
  EXPECT_TRUE(PressKey(VK_OEM_PLUS, true, false));
  EXPECT_EQ(View().Screen().FontHeight(), height + 1);
  EXPECT_TRUE(PressKey(VK_ADD, true, false));
  EXPECT_EQ(View().Screen().FontHeight(), height + 2);
  EXPECT_TRUE(PressKey(VK_OEM_MINUS, true, false));
  EXPECT_EQ(View().Screen().FontHeight(), height + 1);

  for (int i = 0; i < 80; ++i) m_doc->PrintLine("line " + std::to_string(i));
  SendMessageW(Console(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  const int back = View().Screen().ScrolledBack();
  EXPECT_GT(back, 0);
  EXPECT_TRUE(PressKey(VK_PRIOR, false, true));
  EXPECT_GT(View().Screen().ScrolledBack(), back);

  Type(L"version\r");
  EXPECT_TRUE(PressKey(VK_UP, false, false));
  EXPECT_EQ(m_doc->InputText(), "version");
  // The history and the zoom are kept in the registry when the window closes.
  SendMessageW(m_frame->Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(RegistryText(L"Console", L"History"), L"version");
  DWORD kept = 0;
  DWORD bytes = sizeof kept;
  const std::wstring console = std::wstring(SETTINGS_KEY) + L"\\Console";
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, console.c_str(), L"FontHeight", RRF_RT_REG_DWORD,
                         nullptr, &kept, &bytes),
            ERROR_SUCCESS);
  EXPECT_EQ(static_cast<int>(kept), height + 1);
}

TEST_F(WindowTest, MenuItemsPromptsAndAcceleratorsAreTheMenuTable) {
  HMENU bar = GetMenu(m_frame->Handle());
  HINSTANCE instance = GetModuleHandleW(nullptr);
  int popup = -1;
  int position = 0;
  const char* popupCaption = nullptr;
  for (const MenuCommand& command : MenuCommands()) {
    if (popupCaption == nullptr || std::strcmp(popupCaption, command.menu) != 0) {
      popupCaption = command.menu;
      ++popup;
      position = 0;
      wchar_t caption[64] = {};
      GetMenuStringW(bar, static_cast<UINT>(popup), caption, 64, MF_BYPOSITION);
      EXPECT_EQ(caption, WideFromZelk(command.menu));
    }
    HMENU menu = GetSubMenu(bar, popup);
    const UINT state = GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION);
    if (command.id == 0) {
      EXPECT_TRUE(state & MF_SEPARATOR) << popupCaption << " " << position;
    } else {
      EXPECT_EQ(GetMenuItemID(menu, position), static_cast<UINT>(command.id)) << command.id;
      wchar_t caption[128] = {};
      GetMenuStringW(menu, static_cast<UINT>(position), caption, 128, MF_BYPOSITION);
      EXPECT_EQ(caption, WideFromZelk(command.caption));
      EXPECT_EQ((state & MF_CHECKED) != 0, (command.flags & MENU_CHECKED) != 0) << command.id;
      EXPECT_EQ((state & MF_GRAYED) != 0, (command.flags & MENU_GRAYED) != 0) << command.id;
      // The string table: the prompt, a line break and the tooltip.
      const wchar_t* text = nullptr;
      const int length = LoadStringW(instance, static_cast<UINT>(command.id),
                                     reinterpret_cast<LPWSTR>(&text), 0);
      std::wstring expected;
      if (command.prompt != nullptr) expected = WideFromZelk(command.prompt);
      if (command.tooltip != nullptr) expected += L"\n" + WideFromZelk(command.tooltip);
      EXPECT_EQ(std::wstring(text != nullptr ? text : L"", length > 0 ? length : 0), expected);
    }
    ++position;
  }
  EXPECT_EQ(popup + 1, GetMenuItemCount(bar));

  // The accelerators: those of the table (Ctrl+O, Ctrl+C, F5), virtual keys.
  HACCEL keys = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
  ACCEL table[16];
  const int count = CopyAcceleratorTableW(keys, table, 16);
  int at = 0;
  for (const MenuCommand& command : MenuCommands()) {
    if (command.accelerator.key == Key::None) continue;
    ASSERT_LT(at, count);
    const ACCEL& key = table[at++];
    EXPECT_EQ(key.cmd, command.id);
    EXPECT_EQ(key.key, VirtualKeysOf(command.accelerator.key).front()) << command.id;
    const BYTE control = (command.accelerator.modifiers & MOD_CTRL) ? FCONTROL : 0;
    EXPECT_EQ(key.fVirt & ~FNOINVERT, FVIRTKEY | control) << command.id;
  }
  EXPECT_EQ(at, count);
  EXPECT_EQ(table[0].key, 'O');
  EXPECT_EQ(table[1].key, 'C');

  // The status bar: the prompt of the highlighted item, and "Ready" once the menu closes.
  auto status = [this] {
    wchar_t text[256] = {};
    SendMessageW(m_frame->StatusBar(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
    return std::wstring(text);
  };
  EXPECT_EQ(status(), L"Ready");
  SendMessageW(m_frame->Handle(), WM_MENUSELECT, MAKEWPARAM(ID_ACTION_STATUS, MF_STRING),
               reinterpret_cast<LPARAM>(GetSubMenu(bar, 2)));
  EXPECT_EQ(status(), L"Display the current environment variables");
  SendMessageW(m_frame->Handle(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
  EXPECT_EQ(status(), L"Ready");
}

TEST_F(WindowTest, ToolbarButtonsPicturesAndTooltipsFollowTheTable) {
  HWND bar = m_frame->ToolBar();
  const auto buttons = ToolbarButtons();
  ASSERT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), static_cast<LRESULT>(buttons.size()));
  int pictures = 0;
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    TBBUTTON button{};
    SendMessageW(bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
    EXPECT_EQ(button.idCommand, buttons[i]) << i;
    if (buttons[i] != 0) {
      EXPECT_EQ(button.iBitmap, pictures++) << i;
    }
  }
  auto* images = reinterpret_cast<HIMAGELIST>(SendMessageW(bar, TB_GETIMAGELIST, 0, 0));
  EXPECT_EQ(ImageList_GetImageCount(images), pictures);
  int width = 0;
  int height = 0;
  ImageList_GetIconSize(images, &width, &height);
  EXPECT_EQ(width, 16);
  EXPECT_EQ(height, 15);
  // The strip for 200 % holds the same pictures twice as large.
  auto* large = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr),
                                                MAKEINTRESOURCEW(IDB_TOOLBAR_200), IMAGE_BITMAP,
                                                0, 0, LR_CREATEDIBSECTION));
  BITMAP info{};
  GetObjectW(large, sizeof info, &info);
  EXPECT_EQ(info.bmWidth, 32 * pictures);
  EXPECT_EQ(info.bmHeight, 30);
  DeleteObject(large);

  // A tooltip is the text after the prompt's line break; hovering a button shows the prompt.
  NMTTDISPINFOW tip{};
  tip.hdr.hwndFrom = bar;
  tip.hdr.idFrom = ID_ACTION_QUAKE2;
  tip.hdr.code = TTN_GETDISPINFOW;
  SendMessageW(m_frame->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
  EXPECT_STREQ(tip.lpszText, L"Launch Quake2");
  NMTBHOTITEM hot{};
  hot.hdr.hwndFrom = bar;
  hot.hdr.code = TBN_HOTITEMCHANGE;
  hot.idNew = ID_HELP_CMDLIST;
  SendMessageW(m_frame->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&hot));
  wchar_t text[256] = {};
  SendMessageW(m_frame->StatusBar(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"Display the available command list for the editor");
}

TEST_F(WindowTest, TheWholeFrameTakesTheWorkAreaAndCannotBeResized) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(m_frame->Handle(), MONITOR_DEFAULTTOPRIMARY), &monitor);
  RECT frame;
  GetWindowRect(m_frame->Handle(), &frame);
  EXPECT_EQ(frame.left, monitor.rcWork.left);
  EXPECT_EQ(frame.top, monitor.rcWork.top);
  EXPECT_EQ(frame.right, monitor.rcWork.right);
  EXPECT_EQ(frame.bottom, monitor.rcWork.bottom);
  const LONG_PTR style = GetWindowLongPtrW(m_frame->Handle(), GWL_STYLE);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  wchar_t title[64] = {};
  GetWindowTextW(m_frame->Handle(), title, 64);
  EXPECT_STREQ(title, L"Untitled - Zelk");
}

TEST_F(WindowTest, AnOpenedDocumentNamesTheFrameAndEntersTheRecentFileList) {
  wchar_t directory[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, directory);
  const std::wstring path = std::wstring(directory) + L"\\intro.scr";
  std::ofstream(path.c_str()) << "// a script\n";
  ASSERT_TRUE(m_frame->OpenDocument(Utf8FromWide(path)));
  EXPECT_EQ(RegistryText(L"Recent File List", L"File1"), path);
  wchar_t caption[MAX_PATH + 8] = {};
  GetMenuStringW(GetMenu(m_frame->Handle()), ID_FILE_MRU_FILE1, caption, MAX_PATH + 8,
                 MF_BYCOMMAND);
  EXPECT_EQ(caption, L"&1 " + path);
  wchar_t title[64] = {};
  GetWindowTextW(m_frame->Handle(), title, 64);
  EXPECT_STREQ(title, L"intro.scr - Zelk");
}

TEST_F(WindowTest, TheEndOfTheSessionSavesWithoutAMessageBox) {
  // The options file is read-only: the save fails, and a box would wait for an answer nobody
  // gives. The end of the session saves what it can and returns.
  std::ofstream("zelk.cfg") << "";
  SetFileAttributesW(L"zelk.cfg", FILE_ATTRIBUTE_READONLY);
  Type(L"version\r");
  SendMessageW(m_frame->Handle(), WM_ENDSESSION, TRUE, 0);
  EXPECT_EQ(RegistryText(L"Console", L"History"), L"version");
  SetFileAttributesW(L"zelk.cfg", FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(L"zelk.cfg");
}

TEST_F(WindowTest, ANewScaleRemakesTheFontAndTheToolbarPictures) {
  // Wine has one scale for every screen and never moves a window to another: the message the
  // system sends then is sent here.
  const int height = View().Screen().FontHeight();
  RECT suggested{0, 0, 100, 100};
  SendMessageW(m_frame->Handle(), WM_DPICHANGED, MAKEWPARAM(192, 192),
               reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(View().Screen().FontHeight(), 2 * height);
  auto* images =
      reinterpret_cast<HIMAGELIST>(SendMessageW(m_frame->ToolBar(), TB_GETIMAGELIST, 0, 0));
  int width = 0;
  int imageHeight = 0;
  ImageList_GetIconSize(images, &width, &imageHeight);
  EXPECT_EQ(width, 32);
  EXPECT_EQ(imageHeight, 30);
  // The frame stays the work area, whatever the system suggested.
  RECT frame;
  GetWindowRect(m_frame->Handle(), &frame);
  EXPECT_EQ(Describe(frame), Describe(m_frame->Placement()));
}

TEST_F(WindowTest, TheManifestBringsTheCommonControlsOfVersion6) {
  // The controls come from the side-by-side assembly of version 6 that the manifest names (Wine's
  // copy of it answers DllGetVersion with 5, so its place is what tells).
  HMODULE controls = GetModuleHandleW(L"comctl32.dll");
  ASSERT_NE(controls, nullptr);
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(controls, path, MAX_PATH);
  CharLowerW(path);
  EXPECT_NE(std::wstring(path).find(L"microsoft.windows.common-controls_6595b64144ccf1df_6."),
            std::wstring::npos)
      << Utf8FromWide(path);
}

// A dialog from its template, not modal, so that the test can look at it.
class DialogTest : public ::testing::Test {
 protected:
  void Open(int id, DLGPROC procedure, LPARAM parameter) {
    m_dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), nullptr,
                                  procedure, parameter);
    ASSERT_NE(m_dialog, nullptr);
  }
  void TearDown() override {
    if (m_dialog != nullptr) DestroyWindow(m_dialog);
  }
  // The control's place in the dialog in pixels, and the template's place converted by the
  // dialog's own font.
  RECT Placed(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, m_dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  // Each of the four numbers is converted by itself, as the system places a control.
  RECT Units(int x, int y, int width, int height) {
    RECT r{x, y, width, height};
    MapDialogRect(m_dialog, &r);
    return {r.left, r.top, r.left + r.right, r.top + r.bottom};
  }
  HWND m_dialog = nullptr;
};

INT_PTR CALLBACK Quiet(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG;
}

TEST_F(DialogTest, EnvironmentControlsStandWhereTheTemplateTablePutsThem) {
  EnvironmentSettings settings;
  Open(IDD_ENVIRONMENT, EnvironmentDialogProcedure, reinterpret_cast<LPARAM>(&settings));
  // In template order: id, window class, caption, x, y, width, height in dialog units.
  struct Row {
    int id;
    const wchar_t* kind;
    const wchar_t* caption;
    int x, y, width, height;
  };
  const Row rows[] = {
      {IDOK, L"Button", L"OK", 10, 140, 50, 14},
      {IDCANCEL, L"Button", L"Cancel", 220, 140, 50, 14},
      {0xFFFF, L"Button", L"Toggles", 10, 110, 260, 25},
      {1000, L"Button", L"&God", 15, 120, 25, 10},
      {1001, L"Button", L"No &Target", 55, 120, 45, 10},
      {1002, L"Button", L"&Cheats", 120, 120, 30, 10},
      {1003, L"Button", L"Give &All", 170, 120, 35, 10},
      {1004, L"Button", L"D&isconnect", 220, 120, 45, 10},
      {1005, L"Edit", L"", 50, 5, 220, 10},
      {0xFFFF, L"Static", L"Quake2 Dir :", 5, 5, 40, 10},
      {0xFFFF, L"Static", L"Parameters :", 5, 20, 40, 10},
      {1006, L"Edit", L"", 50, 20, 220, 10},
      {0xFFFF, L"Static", L"Game :", 15, 35, 30, 10},
      {1007, L"Edit", L"", 50, 35, 70, 10},
      {0xFFFF, L"Static", L"Map :", 150, 35, 45, 10},
      {1008, L"Edit", L"", 200, 35, 70, 10},
      {0xFFFF, L"Static", L"Save Dir :", 15, 50, 30, 10},
      {0xFFFF, L"Static", L"Load Dir :", 15, 65, 30, 10},
      {1009, L"Edit", L"", 50, 50, 220, 10},
      {1010, L"Edit", L"", 50, 65, 220, 10},
      {0xFFFF, L"Static", L".SCR Editor:", 5, 80, 40, 10},
      {1011, L"Edit", L"", 50, 80, 220, 10},
      {1012, L"Button", L"&Play compile error sound", 40, 95, 95, 10},
  };
  HWND control = GetWindow(m_dialog, GW_CHILD);
  for (const Row& row : rows) {
    ASSERT_NE(control, nullptr) << "no control for " << row.id;
    EXPECT_EQ(GetDlgCtrlID(control) & 0xFFFF, row.id);
    wchar_t kind[32] = {};
    GetClassNameW(control, kind, 32);
    EXPECT_STREQ(kind, row.kind) << row.id;
    wchar_t caption[64] = {};
    if (std::wstring(row.kind) != L"Edit") GetWindowTextW(control, caption, 64);
    EXPECT_STREQ(caption, row.caption) << row.id;
    EXPECT_EQ(Describe(Placed(control)), Describe(Units(row.x, row.y, row.width, row.height)))
        << Utf8FromWide(row.caption) << " " << row.id;
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    if (std::wstring(row.kind) == L"Static") {
      EXPECT_EQ(style & SS_TYPEMASK, SS_RIGHT) << Utf8FromWide(row.caption);
      EXPECT_TRUE(style & SS_CENTERIMAGE) << Utf8FromWide(row.caption);
    }
    control = GetWindow(control, GW_HWNDNEXT);
  }
  EXPECT_EQ(control, nullptr);
  RECT client;
  GetClientRect(m_dialog, &client);
  EXPECT_EQ(Describe(client), Describe(Units(0, 0, 279, 160)));

  // The tab order is the template's, labels and the group box left out; OK has the focus.
  const int tabs[] = {IDOK, IDCANCEL, 1000, 1001, 1002, 1003, 1004, 1005,
                      1006, 1007,     1008, 1009, 1010, 1011, 1012};
  HWND at = GetDlgItem(m_dialog, IDOK);
  for (const int id : tabs) {
    EXPECT_EQ(GetDlgCtrlID(at), id);
    at = GetNextDlgTabItem(m_dialog, at, FALSE);
  }
  EXPECT_EQ(GetDlgCtrlID(at), IDOK);
  for (const int id : {1005, 1006, 1009, 1010, 1011}) {
    EXPECT_EQ(SendDlgItemMessageW(m_dialog, id, EM_GETLIMITTEXT, 0, 0), 255) << id;
  }
  for (const int id : {1007, 1008}) {
    EXPECT_EQ(SendDlgItemMessageW(m_dialog, id, EM_GETLIMITTEXT, 0, 0), 32) << id;
  }
}

TEST_F(DialogTest, EnvironmentOkStoresEveryFieldAndCancelNothing) {
  EnvironmentSettings settings;
  settings.giveAllOn = 7;  // any nonzero flag shows checked, and is stored as 1
  settings.deathmatchValue = 3;
  // Each field changed, then Cancel, then OK.
  auto edit = [&](int answer) {
    Open(IDD_ENVIRONMENT, EnvironmentDialogProcedure, reinterpret_cast<LPARAM>(&settings));
    EXPECT_EQ(IsDlgButtonChecked(m_dialog, IDC_GIVE_ALL), UINT{BST_CHECKED});
    SetDlgItemTextW(m_dialog, IDC_QUAKE2_DIR, L"C:\\Quake2");
    SetDlgItemTextW(m_dialog, IDC_GAME, L"Zaero Mod");
    SetDlgItemTextW(m_dialog, IDC_EDITOR, L"notepad.exe");
    CheckDlgButton(m_dialog, IDC_GOD, BST_CHECKED);
    SendMessageW(m_dialog, WM_COMMAND, static_cast<WPARAM>(answer), 0);
    DestroyWindow(m_dialog);
    m_dialog = nullptr;
  };
  edit(IDCANCEL);
  EXPECT_EQ(settings.quake2Dir, "");
  EXPECT_EQ(settings.godOn, 0);
  edit(IDOK);
  EXPECT_EQ(settings.quake2Dir, "C:\\Quake2\\");
  EXPECT_EQ(settings.gameName, "Zaero Mod");
  EXPECT_EQ(settings.editorCommand, "notepad.exe");  // no backslash added
  EXPECT_EQ(settings.loadDir, "\\");
  EXPECT_EQ(settings.godOn, 1);
  EXPECT_EQ(settings.giveAllOn, 1);
  EXPECT_EQ(settings.deathmatchValue, 3);
}

TEST_F(DialogTest, AboutBoxFollowsItsTemplate) {
  Open(IDD_ABOUTBOX, Quiet, 0);
  wchar_t caption[32] = {};
  GetWindowTextW(m_dialog, caption, 32);
  EXPECT_STREQ(caption, L"About Zelk");
  RECT client;
  GetClientRect(m_dialog, &client);
  EXPECT_EQ(Describe(client), Describe(Units(0, 0, 144, 80)));
  EXPECT_EQ(Describe(Placed(GetDlgItem(m_dialog, IDOK))), Describe(Units(55, 60, 32, 14)));
  wchar_t text[32] = {};
  GetWindowTextW(GetWindow(GetWindow(GetWindow(m_dialog, GW_CHILD), GW_HWNDNEXT), GW_HWNDNEXT),
                 text, 32);
  EXPECT_STREQ(text, L"Zelk Version 1.0");
}

}  // namespace
}  // namespace zelk
