// TMapString: the ordered list of name=value lines in which the signing launcher collects the
// signing application's parameters; names are compared without regard to letter case.
#pragma once

#include <string>
#include <vector>

namespace util {

class TMapString {
 public:
  // Sets the value of name: replaces the line with that name (rewritten as name=value) or appends
  // one; an empty value removes the line instead.
  void putValue(const std::string& name, const std::string& value);

  // Number of lines.
  int Count() const { return static_cast<int>(lines_.size()); }
  // Line i as stored; raises base::Exception "List index out of bounds (i)" outside 0..Count-1.
  const std::string& Strings(int i) const;
  // The text of line i before its first "=" (empty when it has none).
  std::string Names(int i) const;
  // The text of line i after its first "=" (empty when it has none).
  std::string ValueFromIndex(int i) const;
  // Index of the line whose name equals name (letter case ignored), -1 when none.
  int IndexOfName(const std::string& name) const;
  // The value of the line named name, empty when none.
  std::string Values(const std::string& name) const;
  // Appends a line as given.
  void Add(const std::string& line) { lines_.push_back(line); }
  // Removes line i (raises as Strings does).
  void Delete(int i);

 private:
  std::vector<std::string> lines_;
};

}  // namespace util
