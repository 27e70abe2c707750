// SPDX-License-Identifier: MIT
#include "platform/HostPath.h"

#include "platform/Cp1252.h"

namespace zelk {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

}  // namespace

std::string HostPathOf(std::string_view zelkPath, PathStyle style) {
  const std::size_t end = zelkPath.find('\0');
  std::string host = Cp1252ToUtf8(zelkPath.substr(0, end));
  const char from = style == PathStyle::Posix ? '\\' : '/';
  const char to = style == PathStyle::Posix ? '/' : '\\';
  for (char& c : host) {
    if (c == from) c = to;
  }
  return host;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string utf16;
  utf16.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const Utf8Sequence sequence = DecodeUtf8(utf8, i);
    if (sequence.length == 0) {
      utf16 += kReplacement;
      ++i;
      continue;
    }
    const char32_t cp = sequence.codePoint;
    if (cp < 0x10000) {
      utf16 += static_cast<char16_t>(cp);
    } else {
      utf16 += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      utf16 += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    }
    i += sequence.length;
  }
  return utf16;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string utf8;
  utf8.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    char32_t cp = utf16[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[++i] - 0xDC00);
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = kReplacement;
    }
    if (cp < 0x80) {
      utf8 += static_cast<char>(cp);
    } else if (cp < 0x800) {
      utf8 += static_cast<char>(0xC0 | (cp >> 6));
      utf8 += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      utf8 += static_cast<char>(0xE0 | (cp >> 12));
      utf8 += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      utf8 += static_cast<char>(0xF0 | (cp >> 18));
      utf8 += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      utf8 += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return utf8;
}

bool IsFullWindowsPath(std::u16string_view path) {
  std::size_t partsFrom = 0;
  if (path.size() >= 3 && path[1] == u':' && path[2] == u'\\' &&
      ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z'))) {
    partsFrom = 3;
  } else if (path.size() >= 3 && path[0] == u'\\' && path[1] == u'\\' && path[2] != u'?' &&
             path[2] != u'.' && !IsSeparator(path[2])) {
    // A server and a share, each a part of its own.
    const std::size_t share = path.find(u'\\', 2);
    if (share == std::u16string_view::npos || share + 1 >= path.size() ||
        IsSeparator(path[share + 1])) {
      return false;
    }
    partsFrom = 2;
  } else {
    return false;
  }
  if (path.find(u'/') != std::u16string_view::npos) return false;
  for (std::size_t start = partsFrom; start <= path.size();) {
    std::size_t end = path.find(u'\\', start);
    if (end == std::u16string_view::npos) end = path.size();
    const std::u16string_view part = path.substr(start, end - start);
    if (part == u"." || part == u"..") return false;
    start = end + 1;
  }
  return true;
}

std::u16string LongPathForm(std::u16string_view path) {
  if (path.size() < kClassicPathLimit || !IsFullWindowsPath(path)) return std::u16string(path);
  if (path[0] == u'\\') return u"\\\\?\\UNC\\" + std::u16string(path.substr(2));
  return u"\\\\?\\" + std::u16string(path);
}

std::u16string WithoutLongPathPrefix(std::u16string_view path) {
  if (path.substr(0, 8) == u"\\\\?\\UNC\\") return u"\\\\" + std::u16string(path.substr(8));
  if (path.substr(0, 4) == u"\\\\?\\") return std::u16string(path.substr(4));
  return std::u16string(path);
}

}  // namespace zelk
