// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The conversion of Zelk's path texts to the paths of either host and back, free of any host
// call so that both forms can be checked (and fuzzed) on every host. A Zelk path text is
// Windows-1252 bytes that end at the first NUL byte, as the settings' fixed texts do; a host path
// is UTF-8 with the host's separators. The Windows file calls take UTF-16 and, for long paths,
// the "\\?\" form.
namespace zelk {

enum class PathStyle { Posix, Windows };

// The host path of a Zelk text: the text up to its first NUL, converted to UTF-8, with every
// separator made the host's (POSIX: each backslash becomes '/'; Windows: each '/' a backslash).
std::string HostPathOf(std::string_view zelkPath, PathStyle style);

// UTF-8 to UTF-16 and back. Each byte that begins no valid UTF-8 sequence, and each surrogate
// without its partner, becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// The Windows file calls' classic limit, less the 12 characters of a file name that a folder
// must leave room for: a full path of this length or more takes the "\\?\" form.
constexpr std::size_t kClassicPathLimit = 260 - 12;

// True for a full Windows path, the only kind the "\\?\" form can carry: a drive and a backslash
// ("C:\..."), or a server and share ("\\server\share...") that is not already in a "\\?\" or
// "\\.\" form; and without '/', and without "." or ".." as a part, since the "\\?\" form takes
// every character literally.
bool IsFullWindowsPath(std::u16string_view path);

// A full path of kClassicPathLimit characters or more in the form that lifts the limit
// ("\\?\C:\..." or "\\?\UNC\server\share..."); every other path as it stands.
std::u16string LongPathForm(std::u16string_view path);
// The path without the "\\?\" prefix of LongPathForm, as the user knows it.
std::u16string WithoutLongPathPrefix(std::u16string_view path);

}  // namespace zelk
