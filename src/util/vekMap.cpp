#include "util/vekMap.h"

#include "base/Erros.h"
#include "base/Formato.h"
#include "base/Texto.h"

namespace util {

namespace {

// The list's own error for an index outside it.
[[noreturn]] void indexError(int i) {
  throw base::Exception("List index out of bounds (" + base::IntToStr(i) + ")");
}

}  // namespace

// Replaces, appends or (for an empty value) removes the line of name.
void TMapString::putValue(const std::string& name, const std::string& value) {
  int i = IndexOfName(name);
  if (value.empty()) {
    if (i >= 0) Delete(i);
    return;
  }
  if (i < 0) {
    lines_.push_back(name + "=" + value);
  } else {
    lines_[static_cast<size_t>(i)] = name + "=" + value;
  }
}

// Gives line i, checking the index.
const std::string& TMapString::Strings(int i) const {
  if (i < 0 || i >= Count()) indexError(i);
  return lines_[static_cast<size_t>(i)];
}

// Gives the name part of line i.
std::string TMapString::Names(int i) const {
  const std::string& s = Strings(i);
  size_t p = s.find('=');
  return p == std::string::npos ? std::string() : s.substr(0, p);
}

// Gives the value part of line i.
std::string TMapString::ValueFromIndex(int i) const {
  const std::string& s = Strings(i);
  size_t p = s.find('=');
  return p == std::string::npos ? std::string() : s.substr(p + 1);
}

// Finds the line of a name, letter case ignored.
int TMapString::IndexOfName(const std::string& name) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    size_t p = lines_[i].find('=');
    if (p != std::string::npos && base::SameText(std::string_view(lines_[i]).substr(0, p), name))
      return static_cast<int>(i);
  }
  return -1;
}

// Gives the value stored under a name.
std::string TMapString::Values(const std::string& name) const {
  int i = IndexOfName(name);
  return i < 0 ? std::string() : ValueFromIndex(i);
}

// Removes line i.
void TMapString::Delete(int i) {
  if (i < 0 || i >= Count()) indexError(i);
  lines_.erase(lines_.begin() + i);
}

}  // namespace util
