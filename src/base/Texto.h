// String routines with the meaning the system's code relies on: 1-based positions, safe copies,
// blank-and-control trimming. Texts are Windows-1252 bytes; lengths are byte counts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace base {

// 1-based position of the first occurrence of sub in s, 0 when absent (or when sub is empty).
int Pos(std::string_view sub, std::string_view s);
// Count characters from 1-based index; an index below 1 counts from 1; out of range gives less.
std::string Copy(std::string_view s, int64_t indice, int64_t quantidade);
// Removes leading and trailing characters up to the space (blanks and control characters).
std::string Trim(std::string_view s);
// ASCII-only case mapping, as the system's UpperCase/LowerCase do.
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
// Equal ignoring ASCII letter case.
bool SameText(std::string_view a, std::string_view b);
// The items of a list for a message: "a, b ou c".
std::string ListaComOu(const std::vector<std::string>& itens);

}  // namespace base
