// SPDX-License-Identifier: MIT
// Zelk path texts to host paths and back, for both hosts, on arbitrary bytes.
//
// The input is a Zelk text (Windows-1252; it ends at its first NUL). Its POSIX path (UTF-8) and
// its Windows path (UTF-8, then UTF-16) hold no NUL and no separator that the text did not hold,
// and convert back to the same text (each separator the host's); the UTF-16 path has one unit
// for each character. The "\\?\" form is given only to a full path (a drive and a backslash, or
// a server and share, without "." or ".." parts) of the classic limit's length or more, and always
// to such a path; without its prefix it is the path again. The same bytes read as UTF-16 units
// go to UTF-8 and back unchanged, but for a surrogate without its partner, which becomes U+FFFD.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "platform/Cp1252.h"
#include "platform/HostPath.h"

namespace zelk::fuzz {
namespace {

std::size_t Separators(std::string_view text) {
  std::size_t count = 0;
  for (const char c : text) count += c == '/' || c == '\\' ? 1 : 0;
  return count;
}

std::string WithSeparator(std::string_view text, char separator) {
  std::string mapped(text);
  for (char& c : mapped) {
    if (c == '/' || c == '\\') c = separator;
  }
  return mapped;
}

// bytes: the input; text: its bytes before the first NUL. Returns the host path.
std::string CheckHostPath(std::string_view bytes, std::string_view text, PathStyle style) {
  const char separator = style == PathStyle::Posix ? '/' : '\\';
  std::string host = HostPathOf(bytes, style);
  ZELK_FUZZ_CHECK(host.find('\0') == std::string::npos, "a NUL in the host path");
  ZELK_FUZZ_CHECK(Separators(host) == Separators(text) &&
                      host.find(separator == '/' ? '\\' : '/') == std::string::npos,
                  "%zu separators in the host path, %zu in the text", Separators(host),
                  Separators(text));
  ZELK_FUZZ_CHECK(Utf8ToCp1252(host) == WithSeparator(text, separator),
                  "the host path does not convert back to the text");
  return host;
}

// The harness's own reading of a full Windows path: "X:\..." or "\\server\share...", no part
// "." or "..".
bool IsFull(std::u16string_view path) {
  const bool drive = path.size() >= 3 && path[1] == u':' && path[2] == u'\\' &&
                     ((path[0] | 0x20) >= u'a' && (path[0] | 0x20) <= u'z');
  bool unc = path.size() >= 5 && path[0] == u'\\' && path[1] == u'\\' && path[2] != u'\\' &&
             path[2] != u'?' && path[2] != u'.';
  if (unc) {
    const std::size_t share = path.find(u'\\', 2);
    unc = share != std::u16string_view::npos && share + 1 < path.size() &&
          path[share + 1] != u'\\';
  }
  if (!drive && !unc) return false;
  const std::u16string padded = u"\\" + std::u16string(path) + u"\\";
  return padded.find(u"\\.\\") == std::u16string::npos &&
         padded.find(u"\\..\\") == std::u16string::npos;
}

// host: the Windows path of the text, in UTF-8.
void CheckWindowsPath(const std::string& host, std::string_view text) {
  const std::u16string wide = Utf8ToUtf16(host);
  ZELK_FUZZ_CHECK(wide.size() == text.size(), "%zu UTF-16 units for %zu characters", wide.size(),
                  text.size());
  ZELK_FUZZ_CHECK(wide.find(u'\0') == std::u16string::npos, "a NUL in the UTF-16 path");
  ZELK_FUZZ_CHECK(Utf16ToUtf8(wide) == host, "UTF-16 back to UTF-8 changed the path");

  const std::u16string form = LongPathForm(wide);
  const bool prefixed = form != wide;
  const bool wanted = wide.size() >= kClassicPathLimit && IsFull(wide);
  ZELK_FUZZ_CHECK(prefixed == wanted, "the long-path form %s for a path of %zu units that is %s",
                  prefixed ? "given" : "not given", wide.size(), IsFull(wide) ? "full" : "not full");
  if (prefixed) {
    ZELK_FUZZ_CHECK(form.rfind(u"\\\\?\\", 0) == 0, "a long form without its prefix");
    ZELK_FUZZ_CHECK(WithoutLongPathPrefix(form) == wide, "the long form without its prefix differs");
  }
  const std::u16string back = prefixed ? WithoutLongPathPrefix(form) : form;
  ZELK_FUZZ_CHECK(Utf8ToCp1252(Utf16ToUtf8(back)) == WithSeparator(text, '\\'),
                  "the Windows path does not convert back to the text");
}

void CheckUtf16(const std::uint8_t* data, std::size_t size) {
  std::u16string units(size / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) {
    units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  std::u16string expected = units;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const bool high = expected[i] >= 0xD800 && expected[i] <= 0xDBFF;
    const bool low = expected[i] >= 0xDC00 && expected[i] <= 0xDFFF;
    if (high && i + 1 < expected.size() && expected[i + 1] >= 0xDC00 && expected[i + 1] <= 0xDFFF) {
      ++i;
    } else if (high || low) {
      expected[i] = 0xFFFD;
    }
  }
  ZELK_FUZZ_CHECK(Utf8ToUtf16(Utf16ToUtf8(units)) == expected, "UTF-16 through UTF-8 changed");
}

}  // namespace
}  // namespace zelk::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelk;
  using namespace zelk::fuzz;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string_view text = bytes.substr(0, bytes.find('\0'));
  CheckHostPath(bytes, text, PathStyle::Posix);
  CheckWindowsPath(CheckHostPath(bytes, text, PathStyle::Windows), text);
  CheckUtf16(data, size);
  return 0;
}
