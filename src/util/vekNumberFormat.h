// Formatting one integer with a "%d"-style format ("%.d", "%d", "%3d", "%.2d", "%-4d"), without
// handing the format to the C library.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace util {

// Copies format, replacing each %[-][width][.precision]d (or u) with value in decimal: at least
// precision digits (zeros in front), a missing or zero precision giving no leading zeros and 0 as
// "0"; then padded with blanks to width (on the right with "-"). "%%" is one "%". Anything else
// after a "%" is copied as it stands. Width and precision are limited to 255.
std::string formatInteger(std::string_view format, int64_t value);

}  // namespace util
