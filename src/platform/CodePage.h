// Code-page conversion at the edges of the program (glibc iconv): Windows-1252 inside, UTF-8 for
// widgets, the terminal and file names, code page 850 for character printers.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Windows-1252 to UTF-8; the five bytes 1252 leaves undefined map to U+FFFD.
std::string cp1252ToUtf8(std::string_view s);
// UTF-8 to Windows-1252; a character 1252 cannot hold (or a malformed byte) becomes "?".
std::string utf8ToCp1252(std::string_view s);
// Windows-1252 message text to UTF-8 terminal lines: a lone CR (a line break in a message box)
// becomes LF, so the second line does not overwrite the first on a terminal.
std::string messageToTerminal(std::string_view s);
// Windows-1252 to code page 850 (the OEM conversion), one byte for one byte: a character 850
// cannot hold becomes the one that looks like it (“ ” „ as ", ‘ ’ ‚ as ', – — as -, … as .), and
// "?" only where nothing does.
std::string cp1252ToCp850(std::string_view s);

}  // namespace platform
