// SPDX-License-Identifier: MIT
#include "win32/ConsoleView.h"


#include <algorithm>
#include <cstring>

#include "win32/GdiDrawContext.h"
#include "win32/Win32Keys.h"

namespace zelk {
namespace {

constexpr const wchar_t* CLASS_NAME = L"ZelkConsoleView";

}  // namespace

ConsoleView::ConsoleView(CZelkDoc& doc, Platform& platform) : m_screen(doc, platform, *this) {}

ConsoleView::~ConsoleView() {
  m_screen.Destroy();
  if (m_hwnd != nullptr) SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
}

bool ConsoleView::Create(HWND parent, HINSTANCE instance) {
  WNDCLASSEXW wc{};
  if (!GetClassInfoExW(instance, CLASS_NAME, &wc)) {
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_IBEAM);
    // No background brush: the paint covers the cells and fills the rest black itself.
    wc.lpszClassName = CLASS_NAME;
    if (RegisterClassExW(&wc) == 0) return false;
  }
  m_hwnd = CreateWindowExW(0, CLASS_NAME, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                           nullptr, instance, this);
  return m_hwnd != nullptr;
}

LRESULT CALLBACK ConsoleView::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* view = static_cast<ConsoleView*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    view->m_hwnd = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
  }
  auto* view = reinterpret_cast<ConsoleView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (view == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  return view->Handle(message, wParam, lParam);
}

LRESULT ConsoleView::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint fills the background itself
    case WM_PAINT:
      Paint();
      return 0;
    case WM_SIZE:
      m_screen.OnResize();
      return 0;
    case WM_CHAR:
      // Ctrl+Enter arrives as a line feed; the Enter key hands the line over with or without
      // Ctrl, as in the Qt window. Ctrl+J, the other line feed, is stored as typed.
      if (wParam == L'\n' &&
          ((lParam >> 16) & 0xFF) == MapVirtualKeyW(VK_RETURN, MAPVK_VK_TO_VSC)) {
        TypeUnit(L'\r');
        return 0;
      }
      TypeUnit(static_cast<wchar_t>(wParam));
      return 0;
    case WM_IME_CHAR:
      // Text from an input method goes through the key rules like typed text.
      TypeUnit(static_cast<wchar_t>(wParam));
      return 0;
    case WM_SHOW_CHANGES:
      m_screen.ShowPostedChanges();
      return 0;
    case WM_LBUTTONDOWN:
      SetFocus(m_hwnd);
      SetCapture(m_hwnd);
      m_screen.MousePress(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), GetMessageTime());
      return 0;
    case WM_MOUSEMOVE:
      if (wParam & MK_LBUTTON) m_screen.MouseDrag(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == m_hwnd) ReleaseCapture();
      m_screen.MouseRelease();
      return 0;
    case WM_MOUSEWHEEL: {
      UINT lines = 3;
      SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
      // A page a notch scrolls a page less one line; the screen counts in lines.
      const int perNotch = lines == WHEEL_PAGESCROLL ? CONSOLE_LINES : static_cast<int>(lines);
      m_screen.Wheel(GET_WHEEL_DELTA_WPARAM(wParam), perNotch);
      return 0;
    }
    case WM_CONTEXTMENU:
      ShowContextMenu(lParam);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    default:
      return DefWindowProcW(m_hwnd, message, wParam, lParam);
  }
}

void ConsoleView::TypeUnit(wchar_t unit) {
  char32_t codePoint = 0;
  if (!m_joiner.Take(unit, codePoint)) return;
  // Ctrl+Backspace gives the delete character; it is Backspace, as in the Qt window.
  if (codePoint == 127) codePoint = 8;
  m_screen.TypeCharacter(codePoint);
}

bool ConsoleView::RunCommand(WORD id) {
  const auto keys = ScreenKeys();
  if (id >= FIRST_SCREEN_KEY && id < FIRST_SCREEN_KEY + keys.size()) {
    (m_screen.*keys[id - FIRST_SCREEN_KEY].run)();
    return true;
  }
  const auto commands = ContextCommands();
  if (id >= FIRST_CONTEXT_COMMAND && id < FIRST_CONTEXT_COMMAND + commands.size()) {
    (m_screen.*commands[id - FIRST_CONTEXT_COMMAND].run)();
    return true;
  }
  return false;
}

void ConsoleView::ShowContextMenu(LPARAM lParam) {
  POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  if (lParam == -1) {  // from the keyboard: at the view's top left
    at = {0, 0};
    ClientToScreen(m_hwnd, &at);
  }
  HMENU menu = CreatePopupMenu();
  WORD id = FIRST_CONTEXT_COMMAND;
  for (const ContextCommand& command : ContextCommands()) {
    const std::wstring caption = WideFromZelk(command.caption) + L"\t" +
                                 KeyChordText(command.shortcut);
    const UINT state = (m_screen.*command.enabled)() ? MF_ENABLED : MF_GRAYED;
    AppendMenuW(menu, MF_STRING | state, id++, caption.c_str());
  }
  const int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x,
                                    at.y, 0, m_hwnd, nullptr);
  DestroyMenu(menu);
  if (chosen != 0) RunCommand(static_cast<WORD>(chosen));
}

int ConsoleView::CellWidth() const {
  const FontDescription& font = m_screen.Doc().Font();
  if (font.height != m_measuredHeight) {
    m_cellWidth = MeasureCellWidth(font);
    m_measuredHeight = font.height;
  }
  return m_cellWidth;
}

void ConsoleView::ScaleFont(UINT oldDpi, UINT newDpi) {
  m_measuredHeight = -1;
  m_screen.SetFontHeight(MulDiv(m_screen.FontHeight(), static_cast<int>(newDpi),
                                static_cast<int>(std::max<UINT>(oldDpi, 1))));
}

void ConsoleView::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(m_hwnd, &ps);
  const CZelkDoc& doc = m_screen.Doc();
  const int cellWidth = CellWidth();
  const int lineHeight = doc.Font().height;
  auto* black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  if (m_screen.TakeEraseRequest()) {
    FillRect(dc, &ps.rcPaint, black);
  } else {
    // The text cells cover their block; what lies right of and below it is background.
    const RECT cells{0, 0, cellWidth * LINE_CELLS, lineHeight * CONSOLE_LINES};
    HRGN rest = CreateRectRgnIndirect(&ps.rcPaint);
    HRGN covered = CreateRectRgnIndirect(&cells);
    CombineRgn(rest, rest, covered, RGN_DIFF);
    FillRgn(dc, rest, black);
    DeleteObject(covered);
    DeleteObject(rest);
  }

  GdiDrawContext context(dc, cellWidth, lineHeight);
  m_screen.Paint(context);
  if (m_screen.HasSelection() && m_screen.Drawn()) {
    // The selection shows inverted: the text colour behind the characters in the background
    // colour.
    context.SelectFont(doc.Font());
    context.SetBkColor(doc.TextColor());
    context.SetTextColor(doc.BackgroundColor());
    char cells[LINE_CELLS];
    for (int i = 0; i < CONSOLE_LINES; ++i) {
      const ColumnRange columns = m_screen.RowSelection(i);
      if (columns.begin >= columns.end) continue;
      const std::string_view text = m_screen.RowText(i);
      std::memset(cells, ' ', sizeof cells);
      std::memcpy(cells, text.data(), std::min(text.size(), sizeof cells));
      context.TextOut(columns.begin * cellWidth, i * lineHeight, cells + columns.begin,
                      columns.end - columns.begin);
    }
    context.RestoreFont();
  }
  EndPaint(m_hwnd, &ps);
}

void ConsoleView::InvalidateRows(const RowSet& rows, bool now) {
  RECT client;
  GetClientRect(m_hwnd, &client);
  const int lineHeight = m_screen.FontHeight();
  for (int i = 0; i < CONSOLE_LINES; ++i) {
    if (!rows.test(static_cast<std::size_t>(i))) continue;
    const RECT row{0, i * lineHeight, client.right, (i + 1) * lineHeight};
    InvalidateRect(m_hwnd, &row, FALSE);
  }
  if (now) UpdateWindow(m_hwnd);
}

void ConsoleView::InvalidateAll(bool now) {
  InvalidateRect(m_hwnd, nullptr, FALSE);
  if (now) UpdateWindow(m_hwnd);
}

void ConsoleView::PostShowChanges() {
  PostMessageW(m_hwnd, WM_SHOW_CHANGES, 0, 0);
}

int ConsoleView::ClientHeight() const {
  RECT client{};
  if (m_hwnd != nullptr) GetClientRect(m_hwnd, &client);
  return client.bottom - client.top;
}

double ConsoleView::CellAdvance() const {
  return CellWidth();
}

int ConsoleView::NextFontHeight(const FontDescription& font, int direction) const {
  // A TrueType face takes every line height.
  const int height = font.height + (direction > 0 ? 1 : -1);
  return height < MIN_FONT_HEIGHT || height > MAX_FONT_HEIGHT ? font.height : height;
}

ClickRules ConsoleView::DoubleClickRules() const {
  return {GetDoubleClickTime(), GetSystemMetrics(SM_CXDOUBLECLK) / 2 +
                                    GetSystemMetrics(SM_CYDOUBLECLK) / 2};
}

std::string ConsoleView::ClipboardText() const {
  std::string text;
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(m_hwnd)) return text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
      const std::size_t limit = GlobalSize(data) / sizeof(wchar_t);
      std::size_t length = 0;
      while (length < limit && wide[length] != L'\0') ++length;
      text = Utf8FromWide(std::wstring_view(wide, length));
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

void ConsoleView::SetClipboardText(const std::string& utf8) {
  // Lines on the Windows clipboard end in a carriage return and a line feed.
  std::wstring wide;
  for (const wchar_t c : WideFromUtf8(utf8)) {
    if (c == L'\n') wide += L'\r';
    wide += c;
  }
  if (!OpenClipboard(m_hwnd)) return;
  EmptyClipboard();
  const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    if (void* target = GlobalLock(data)) {
      std::memcpy(target, wide.c_str(), bytes);
      GlobalUnlock(data);
      if (SetClipboardData(CF_UNICODETEXT, data) == nullptr) GlobalFree(data);
    } else {
      GlobalFree(data);
    }
  }
  CloseClipboard();
}

}  // namespace zelk
