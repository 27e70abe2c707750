// SPDX-License-Identifier: MIT
#include "win32/GdiDrawContext.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "console/ZelkDoc.h"
#include "platform/Cp1252.h"
#include "win32/Win32Text.h"

namespace zelk {

LOGFONTW LogFontFrom(const FontDescription& font) {
  LOGFONTW log{};
  log.lfHeight = font.height;
  log.lfWidth = 0;
  log.lfEscapement = font.escapement;
  log.lfOrientation = font.orientation;
  log.lfWeight = font.weight;
  log.lfItalic = font.italic ? TRUE : FALSE;
  log.lfUnderline = font.underline ? TRUE : FALSE;
  log.lfStrikeOut = font.strikeOut ? TRUE : FALSE;
  log.lfCharSet = static_cast<BYTE>(font.charSet);
  log.lfOutPrecision = static_cast<BYTE>(font.outPrecision);
  log.lfClipPrecision = static_cast<BYTE>(font.clipPrecision);
  log.lfQuality = static_cast<BYTE>(font.quality);
  log.lfPitchAndFamily = static_cast<BYTE>(font.pitchAndFamily);
  const std::wstring face = WideFromZelk(font.faceName);
  wcsncpy(log.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  return log;
}

int MeasureCellWidth(const FontDescription& font) {
  const LOGFONTW log = LogFontFrom(font);
  HFONT handle = CreateFontIndirectW(&log);
  HDC dc = GetDC(nullptr);
  HGDIOBJ previous = SelectObject(dc, handle);
  SIZE size{};
  GetTextExtentPoint32W(dc, L"M", 1, &size);
  SelectObject(dc, previous);
  ReleaseDC(nullptr, dc);
  DeleteObject(handle);
  return std::max<int>(size.cx, 1);
}

namespace {

int CALLBACK NoteFace(const LOGFONTW* log, const TEXTMETRICW*, DWORD type, LPARAM found) {
  if ((type & TRUETYPE_FONTTYPE) && (log->lfPitchAndFamily & 3) == FIXED_PITCH &&
      log->lfFaceName[0] != L'@') {
    *reinterpret_cast<std::wstring*>(found) = log->lfFaceName;
    return 0;
  }
  return 1;
}

// A TrueType face of fixed pitch of the given name, or any when name is empty; "" for none.
std::wstring FindFixedFace(HDC dc, const wchar_t* name) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(wanted.lfFaceName, name, LF_FACESIZE - 1);
  std::wstring found;
  EnumFontFamiliesExW(dc, &wanted, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  return found;
}

}  // namespace

FontDescription ConsoleFontFor(UINT dpi) {
  // The stock fixed font is a bitmap font that neither zooms nor scales: a scalable face is
  // looked for, the usual console faces first.
  HDC dc = GetDC(nullptr);
  std::wstring face;
  for (const wchar_t* name : {L"Consolas", L"Lucida Console", L"Courier New", L""}) {
    face = FindFixedFace(dc, name);
    if (!face.empty()) break;
  }
  ReleaseDC(nullptr, dc);
  if (face.empty()) face = L"Courier New";

  FontDescription font;
  font.height = MulDiv(16, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
  font.weight = FW_NORMAL;
  font.charSet = ANSI_CHARSET;
  font.outPrecision = OUT_TT_PRECIS;
  font.clipPrecision = CLIP_DEFAULT_PRECIS;
  font.quality = DEFAULT_QUALITY;
  font.pitchAndFamily = FIXED_PITCH | FF_MODERN;
  const std::string name = ZelkFromWide(face);
  std::memset(font.faceName, 0, sizeof font.faceName);
  std::memcpy(font.faceName, name.data(), std::min(name.size(), sizeof font.faceName - 1));
  font.width = MeasureCellWidth(font);
  return font;
}

GdiDrawContext::GdiDrawContext(HDC dc, int cellWidth, int lineHeight)
    : m_dc(dc), m_cellWidth(cellWidth), m_lineHeight(lineHeight) {
  // Opaque: every cell is filled in the background colour.
  SetBkMode(m_dc, OPAQUE);
  SetTextAlign(m_dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
}

GdiDrawContext::~GdiDrawContext() {
  RestoreFont();
}

void GdiDrawContext::SelectFont(const FontDescription& font) {
  RestoreFont();
  const LOGFONTW log = LogFontFrom(font);
  m_font = CreateFontIndirectW(&log);
  m_previousFont = SelectObject(m_dc, m_font);
}

void GdiDrawContext::RestoreFont() {
  if (m_font == nullptr) return;
  SelectObject(m_dc, m_previousFont);
  DeleteObject(m_font);
  m_font = nullptr;
  m_previousFont = nullptr;
}

void GdiDrawContext::SetBkColor(std::uint32_t color) {
  // A colour value is a COLORREF: red in the low byte, then green, then blue.
  ::SetBkColor(m_dc, static_cast<COLORREF>(color));
}

void GdiDrawContext::SetTextColor(std::uint32_t color) {
  ::SetTextColor(m_dc, static_cast<COLORREF>(color));
}

void GdiDrawContext::TextOut(int x, int y, const char* text, int count) {
  if (count <= 0) return;
  const auto size = static_cast<std::size_t>(count);
  m_text.resize(size);
  m_advances.assign(size, m_cellWidth);
  for (std::size_t i = 0; i < size; ++i) {
    // The terminator's cell shows as a blank, as a cell the font has no glyph for would.
    const auto byte = static_cast<unsigned char>(text[i]);
    m_text[i] = byte == 0 ? L' ' : static_cast<wchar_t>(Cp1252ToCodePoint(byte));
  }
  // The cells' block, the whole line high, is filled whatever the glyphs cover.
  const RECT cells{x, y, x + count * m_cellWidth, y + m_lineHeight};
  ExtTextOutW(m_dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &cells, m_text.data(),
              static_cast<UINT>(count), m_advances.data());
}

}  // namespace zelk
