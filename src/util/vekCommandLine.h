// Splitting a parameters text into program arguments with the Windows command-line rules, so a
// command line built for the signing programs reaches them with the same meaning on POSIX.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace util {

// Splits text at blanks and tabs outside double quotes. 2n backslashes before a quote give n
// backslashes and the quote opens or closes a quoted part; 2n+1 give n backslashes and a literal
// quote; backslashes elsewhere are literal; inside quotes "" gives a literal quote and ends the
// quoted part; """ outside quotes gives a literal quote. "" alone is an empty argument.
std::vector<std::string> splitCommandLine(std::string_view text);

// Quotes one argument so that splitCommandLine gives it back unchanged: the text in double quotes,
// inner quotes as \" and the backslashes before a quote (or before the closing quote) doubled.
std::string quoteCommandLineArgument(std::string_view argument);

}  // namespace util
