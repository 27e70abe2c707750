// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>

namespace zelk {

// Turns a compiled script back into ZelkScript source (Windows-1252 bytes, one statement a line,
// lines ended by line feeds). Labels named l<index> mark every record that a branch or an
// intercept names. Returns false with a one-line reason when the bytes cannot have been written
// by a compile: every record is checked by compiling its decompiled line again.
bool DecompileScript(const unsigned char* data, std::size_t size, std::string& source,
                     std::string& reason);

// The shortest text that the statement parser reads back as exactly this 32-bit value ("" for
// a NaN, which no source can produce).
std::string FormatReal(float value);

// zelk --decompile: reads the file, writes the source to out; returns 0, or 1 with a reason on
// err.
int RunDecompile(const std::string& path, std::ostream& out, std::ostream& err);

}  // namespace zelk
