// The registration numbers printed on a proposal: the company's CNPJ (12 characters 0-9 or A-Z
// and 2 check digits, the alphanumeric form issued since July 2026 included) and the
// representative's CPF (9 digits and 2 check digits), with their check digits verified.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace app {

// The characters of a CNPJ as typed: the mask's punctuation and blanks dropped, letters upper
// case ("12.abc.345/01de-35" -> "12ABC34501DE35"). Other characters are kept, so the check sees
// them.
std::string NormalizaCNPJ(std::string_view texto);
// The digits of a CPF as typed, punctuation and blanks dropped.
std::string NormalizaCPF(std::string_view texto);

// Why a CNPJ (as typed, masked or not) is not valid, in a message that says what to do;
// std::nullopt when it is.
std::optional<std::string> RecusaCNPJ(std::string_view texto);
// The same for a CPF.
std::optional<std::string> RecusaCPF(std::string_view texto);

// 11 digits as 999.999.999-99 (a shorter text gives shorter pieces).
std::string MascaraCPF(std::string_view digitos);

}  // namespace app
