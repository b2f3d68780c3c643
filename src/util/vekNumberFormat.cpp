#include "util/vekNumberFormat.h"

#include <algorithm>

namespace util {

namespace {

constexpr int kMaxField = 255;

// Reads a run of decimal digits at format[i], clamped to kMaxField; -1 when there is none.
int readNumber(std::string_view format, size_t& i) {
  if (i >= format.size() || format[i] < '0' || format[i] > '9') return -1;
  int n = 0;
  while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
    n = std::min(kMaxField, n * 10 + (format[i] - '0'));
    ++i;
  }
  return n;
}

// Decimal digits of the magnitude of v (works for the most negative value too).
std::string magnitudeDigits(int64_t v) {
  uint64_t m = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
  std::string s;
  do {
    s.insert(s.begin(), static_cast<char>('0' + m % 10));
    m /= 10;
  } while (m != 0);
  return s;
}

}  // namespace

// Expands the integer directives of format with value.
std::string formatInteger(std::string_view format, int64_t value) {
  std::string out;
  size_t i = 0;
  while (i < format.size()) {
    if (format[i] != '%') {
      out += format[i++];
      continue;
    }
    size_t start = i++;
    if (i < format.size() && format[i] == '%') {
      out += '%';
      ++i;
      continue;
    }
    bool left = false;
    if (i < format.size() && format[i] == '-') {
      left = true;
      ++i;
    }
    int width = readNumber(format, i);
    int precision = -1;
    if (i < format.size() && format[i] == '.') {
      ++i;
      precision = std::max(0, readNumber(format, i));
    }
    if (i >= format.size() || (format[i] != 'd' && format[i] != 'u')) {
      out.append(format.substr(start, i - start));  // not a directive of ours: copied as it stands
      continue;
    }
    ++i;
    std::string digits = magnitudeDigits(value);
    if (precision > static_cast<int>(digits.size()))
      digits.insert(0, static_cast<size_t>(precision) - digits.size(), '0');
    if (value < 0) digits.insert(digits.begin(), '-');
    if (width > static_cast<int>(digits.size())) {
      size_t pad = static_cast<size_t>(width) - digits.size();
      if (left)
        digits.append(pad, ' ');
      else
        digits.insert(0, pad, ' ');
    }
    out += digits;
  }
  return out;
}

}  // namespace util
