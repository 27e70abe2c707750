// SPDX-License-Identifier: MIT
#include "win32/MainFrame.h"


#include <vector>

#include "console/MenuCommands.h"
#include "win32/Resources.h"
#include "win32/Win32Keys.h"
#include "win32/Win32Text.h"

namespace zelk {
namespace {

constexpr const wchar_t* CLASS_NAME = L"ZelkMainFrame";
// The framework's numbers of the two bars.
constexpr UINT TOOLBAR_ID = 0xE800;
constexpr UINT STATUS_BAR_ID = 0xE801;
// The toolbar's pictures at 100 % scale; the second strip has them twice as large.
constexpr int BUTTON_WIDTH = 16;
constexpr int BUTTON_HEIGHT = 15;

// The string-table text of a number: its prompt (before the line break) or its tooltip (after).
std::wstring StringTableText(HINSTANCE instance, UINT id, bool tooltip) {
  const wchar_t* text = nullptr;
  const int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
  if (length <= 0 || text == nullptr) return {};
  const std::wstring whole(text, static_cast<std::size_t>(length));
  const std::size_t lineBreak = whole.find(L'\n');
  if (tooltip) return lineBreak == std::wstring::npos ? std::wstring() : whole.substr(lineBreak + 1);
  return whole.substr(0, lineBreak);
}

INT_PTR CALLBACK AboutProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, LOWORD(wParam));
    return TRUE;
  }
  return FALSE;
}

}  // namespace

MainFrame::MainFrame(CZelkDoc& doc, Win32Platform& platform, RecentFileList& recentFiles)
    : m_doc(doc), m_platform(platform), m_recentFiles(recentFiles), m_console(doc, platform) {}

MainFrame::~MainFrame() {
  if (m_hwnd != nullptr) {
    SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
    DestroyWindow(m_hwnd);
  }
  m_platform.SetWindows(nullptr, nullptr);
  if (m_screenKeys != nullptr) DestroyAcceleratorTable(m_screenKeys);
  if (m_images != nullptr) ImageList_Destroy(m_images);
}

RECT MainFrame::Placement() const {
  HMONITOR monitor = m_hwnd != nullptr ? MonitorFromWindow(m_hwnd, MONITOR_DEFAULTTOPRIMARY)
                                       : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(monitor, &info);
  return info.rcWork;
}

bool MainFrame::Create(HINSTANCE instance) {
  m_instance = instance;
  WNDCLASSEXW wc{};
  if (!GetClassInfoExW(instance, CLASS_NAME, &wc)) {
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Procedure;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszMenuName = MAKEINTRESOURCEW(IDR_MAINFRAME);
    wc.lpszClassName = CLASS_NAME;
    if (RegisterClassExW(&wc) == 0) return false;
  }
  // A caption with a system menu and a minimize box; no sizing border and no maximize box.
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  const RECT place = Placement();
  const std::wstring title = WideFromUtf8(FrameTitle(""));
  return CreateWindowExW(0, CLASS_NAME, title.c_str(), style, place.left, place.top,
                         place.right - place.left, place.bottom - place.top, nullptr, nullptr,
                         instance, this) != nullptr;
}

LRESULT CALLBACK MainFrame::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* frame = static_cast<MainFrame*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    frame->m_hwnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(frame));
  }
  auto* frame = reinterpret_cast<MainFrame*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (frame == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  return frame->Handle(message, wParam, lParam);
}

bool MainFrame::OnCreate() {
  m_dpi = GetDpiForWindow(m_hwnd);
  m_fileMenu = GetSubMenu(GetMenu(m_hwnd), 0);
  m_menuKeys = LoadAcceleratorsW(m_instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
  std::vector<ACCEL> screenKeys = ScreenKeyAccelerators(ConsoleView::FIRST_SCREEN_KEY);
  m_screenKeys = CreateAcceleratorTableW(screenKeys.data(), static_cast<int>(screenKeys.size()));
  if (m_fileMenu == nullptr || m_menuKeys == nullptr || m_screenKeys == nullptr) return false;

  // The toolbar at the top, its buttons in the order of the table, with tooltips and fly-by
  // prompts.
  m_toolBar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                              WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_TOP,
                              0, 0, 0, 0, m_hwnd, reinterpret_cast<HMENU>(UINT_PTR{TOOLBAR_ID}),
                              m_instance, nullptr);
  if (m_toolBar == nullptr) return false;
  SendMessageW(m_toolBar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  LoadToolBarImages();
  std::vector<TBBUTTON> buttons;
  int image = 0;
  for (const int id : ToolbarButtons()) {
    TBBUTTON button{};
    if (id == 0) {
      button.fsStyle = BTNS_SEP;
    } else {
      button.iBitmap = image++;
      button.idCommand = id;
      button.fsState = TBSTATE_ENABLED;
      button.fsStyle = BTNS_BUTTON;
    }
    buttons.push_back(button);
  }
  SendMessageW(m_toolBar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));

  // The status bar at the bottom with one pane, the prompts'.
  m_statusBar = CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                m_hwnd, reinterpret_cast<HMENU>(UINT_PTR{STATUS_BAR_ID}),
                                m_instance, nullptr);
  if (m_statusBar == nullptr) return false;
  int parts[] = {-1};
  SendMessageW(m_statusBar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(parts));
  ShowPrompt(0);

  if (!m_console.Create(m_hwnd, m_instance)) return false;
  m_platform.SetWindows(m_hwnd, &m_console);
  RebuildRecentFiles();
  Layout();
  // The input history and the font size of the last run; then the view's creation: it loads the
  // options file and asks for the first clear.
  LoadConsoleSettings(m_console.Screen());
  m_console.Screen().Create();
  SetFocus(m_console.Handle());
  return true;
}

void MainFrame::LoadToolBarImages() {
  // The strip for the monitor's scale: 200 % from 150 % up.
  const bool large = m_dpi >= USER_DEFAULT_SCREEN_DPI * 3 / 2;
  const int scale = large ? 2 : 1;
  HIMAGELIST images = ImageList_Create(BUTTON_WIDTH * scale, BUTTON_HEIGHT * scale, ILC_COLOR32,
                                       10, 0);
  auto* strip = static_cast<HBITMAP>(LoadImageW(m_instance,
                                                MAKEINTRESOURCEW(large ? IDB_TOOLBAR_200
                                                                       : IDB_TOOLBAR),
                                                IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (strip != nullptr) {
    ImageList_Add(images, strip, nullptr);
    DeleteObject(strip);
  }
  SendMessageW(m_toolBar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
  if (m_images != nullptr) ImageList_Destroy(m_images);
  m_images = images;
}

bool MainFrame::TranslateKeys(MSG& message) {
  if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST) return false;
  if (message.hwnd != m_hwnd && !IsChild(m_hwnd, message.hwnd)) return false;
  return TranslateAcceleratorW(m_hwnd, m_menuKeys, &message) != 0 ||
         TranslateAcceleratorW(m_hwnd, m_screenKeys, &message) != 0;
}

void MainFrame::Layout() {
  RECT client;
  GetClientRect(m_hwnd, &client);
  int top = 0;
  int bottom = client.bottom;
  if (IsWindowVisible(m_toolBar)) {
    SendMessageW(m_toolBar, TB_AUTOSIZE, 0, 0);
    RECT bar;
    GetWindowRect(m_toolBar, &bar);
    top = bar.bottom - bar.top;
  }
  if (IsWindowVisible(m_statusBar)) {
    SendMessageW(m_statusBar, WM_SIZE, 0, 0);
    RECT bar;
    GetWindowRect(m_statusBar, &bar);
    bottom -= bar.bottom - bar.top;
  }
  MoveWindow(m_console.Handle(), 0, top, client.right, std::max<int>(bottom - top, 0), TRUE);
}

void MainFrame::ShowPrompt(UINT id) {
  // The recent files share the prompt of the first.
  if (id > ID_FILE_MRU_FILE1 && id < ID_FILE_MRU_FILE1 + RecentFileList::SIZE) {
    id = ID_FILE_MRU_FILE1;
  }
  std::wstring prompt = id != 0 ? StringTableText(m_instance, id, false) : std::wstring();
  // Nothing highlighted, or an item without a prompt: the idle text.
  if (prompt.empty()) prompt = StringTableText(m_instance, AFX_IDS_IDLEMESSAGE, false);
  SendMessageW(m_statusBar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(prompt.c_str()));
}

void MainFrame::ToggleBar(HWND bar, UINT id) {
  const bool show = !IsWindowVisible(bar);
  ShowWindow(bar, show ? SW_SHOW : SW_HIDE);
  CheckMenuItem(GetMenu(m_hwnd), id, MF_BYCOMMAND | (show ? MF_CHECKED : MF_UNCHECKED));
  Layout();
}

void MainFrame::RebuildRecentFiles() {
  for (int i = 0; i < RecentFileList::SIZE; ++i) {
    while (DeleteMenu(m_fileMenu, ID_FILE_MRU_FILE1 + i, MF_BYCOMMAND)) {
    }
  }
  // The list stands where its placeholder stood: after the first separator.
  int at = 0;
  const int count = GetMenuItemCount(m_fileMenu);
  while (at < count && (GetMenuState(m_fileMenu, at, MF_BYPOSITION) & MF_SEPARATOR) == 0) ++at;
  ++at;
  const std::vector<std::string>& files = m_recentFiles.Files();
  if (files.empty()) {
    const std::wstring caption = WideFromZelk(FindMenuCommand(ID_FILE_MRU_FILE1)->caption);
    InsertMenuW(m_fileMenu, at, MF_BYPOSITION | MF_STRING | MF_GRAYED, ID_FILE_MRU_FILE1,
                caption.c_str());
    return;
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    const std::wstring caption =
        WideFromUtf8(RecentFileCaption(static_cast<int>(i), files[i]));
    InsertMenuW(m_fileMenu, at + static_cast<int>(i), MF_BYPOSITION | MF_STRING,
                ID_FILE_MRU_FILE1 + i, caption.c_str());
  }
}

bool MainFrame::CheckReadable(HWND owner, const std::string& path) {
  const std::wstring wide = WideFromUtf8(path);
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const std::wstring text = L"Cannot open " + wide + L":\n" + WideFromUtf8(windows::SystemErrorText(GetLastError()));
    MessageBoxW(owner, text.c_str(), L"Zelk", MB_OK | MB_ICONWARNING);
    return false;
  }
  CloseHandle(file);
  return true;
}

bool MainFrame::OpenDocument(const std::string& path) {
  if (!CheckReadable(m_hwnd, path)) {
    m_recentFiles.Remove(path);
    RebuildRecentFiles();
    return false;
  }
  // The document keeps nothing from the file: it is only named.
  const std::size_t slash = path.find_last_of("\\/");
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  SetWindowTextW(m_hwnd, WideFromUtf8(FrameTitle(name)).c_str());
  m_recentFiles.Add(path);
  m_recentFiles.Save();
  RebuildRecentFiles();
  return true;
}

void MainFrame::OnCommand(WORD id) {
  if (m_console.RunCommand(id)) return;
  if (id >= ID_FILE_MRU_FILE1 && id < ID_FILE_MRU_FILE1 + RecentFileList::SIZE) {
    const std::size_t index = id - ID_FILE_MRU_FILE1;
    if (index < m_recentFiles.Files().size()) {
      const std::string path = m_recentFiles.Files()[index];
      OpenDocument(path);
    }
    return;
  }
  switch (id) {
    case ID_APP_ABOUT:
      DialogBoxParamW(m_instance, MAKEINTRESOURCEW(IDD_ABOUTBOX), m_hwnd, AboutProcedure, 0);
      return;
    case ID_VIEW_TOOLBAR:
      ToggleBar(m_toolBar, id);
      return;
    case ID_VIEW_STATUS_BAR:
      ToggleBar(m_statusBar, id);
      return;
    default:
      RunMenuCommand(m_console.Screen().View(), id);
  }
}

LRESULT MainFrame::OnNotify(NMHDR* header) {
  if (header->code == TTN_GETDISPINFOW) {
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    const std::wstring tip = StringTableText(m_instance, static_cast<UINT>(header->idFrom), true);
    wcsncpy(info->szText, tip.c_str(), std::size(info->szText) - 1);
    info->szText[std::size(info->szText) - 1] = L'\0';
    info->lpszText = info->szText;
    return 0;
  }
  if (header->code == TBN_HOTITEMCHANGE) {
    const auto* hot = reinterpret_cast<NMTBHOTITEM*>(header);
    ShowPrompt((hot->dwFlags & HICF_LEAVING) ? 0 : static_cast<UINT>(hot->idNew));
    return 0;
  }
  return 0;
}

void MainFrame::SaveAtEnd(bool sessionEnding) {
  if (m_saved) return;
  m_saved = true;
  // A failed save is on the error stream, which a desktop user never sees: the window tells it
  // before it goes, unless the session ends, when nobody is there to answer.
  if (!m_console.Screen().Destroy() && !sessionEnding) {
    MessageBoxW(m_hwnd, WideFromUtf8(m_console.Screen().LostSettingsText()).c_str(), L"Zelk",
                MB_OK | MB_ICONWARNING);
  }
  m_recentFiles.Save();
  SaveConsoleSettings(m_console.Screen());
}

LRESULT MainFrame::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_SIZE:
      // Minimized, the console keeps its lines.
      if (wParam != SIZE_MINIMIZED && m_console.Handle() != nullptr) Layout();
      return 0;
    case WM_SETFOCUS:
      if (m_console.Handle() != nullptr) SetFocus(m_console.Handle());
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam));
      return 0;
    case WM_NOTIFY:
      return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_MENUSELECT: {
      const UINT flags = HIWORD(wParam);
      const bool closed = flags == 0xFFFF && lParam == 0;
      ShowPrompt(closed || (flags & (MF_POPUP | MF_SEPARATOR)) ? 0 : LOWORD(wParam));
      return 0;
    }
    case WM_EXITMENULOOP:
      ShowPrompt(0);
      return 0;
    case WM_DPICHANGED: {
      const UINT dpi = HIWORD(wParam);
      m_console.ScaleFont(m_dpi, dpi);
      m_dpi = dpi;
      LoadToolBarImages();
      const RECT place = Placement();
      SetWindowPos(m_hwnd, nullptr, place.left, place.top, place.right - place.left,
                   place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
      Layout();
      return 0;
    }
    case WM_CLOSE:
      SaveAtEnd(false);
      DestroyWindow(m_hwnd);
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // Logoff or shutdown: the settings are saved as at a stop signal, without a box.
      if (wParam) SaveAtEnd(true);
      return 0;
    case WM_DESTROY:
      SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
      m_hwnd = nullptr;
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(m_hwnd, message, wParam, lParam);
  }
}

}  // namespace zelk
