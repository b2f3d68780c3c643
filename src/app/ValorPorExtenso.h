// Amounts of money and counts in words, as a written price proposal and a cheque spell them in
// Brazil: "mil duzentos e trinta e quatro reais e cinquenta e seis centavos", "um milhão de
// reais", "dois milhões de reais e um centavo". Texts are Windows-1252.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace app {

// The largest amount spelled out: R$ 999.999.999.999,99, in cents.
constexpr int64_t kMaiorValorPorExtenso = 99'999'999'999'999;

// A whole number from 0 to 999.999.999.999 in words, masculine ("um", "dois", "duzentos"):
// "zero", "cento e quatro", "um milhão e duzentos mil". Empty outside that range.
std::string NumeroPorExtenso(int64_t n);

// An amount given in cents, from 0 to kMaiorValorPorExtenso, in reais and centavos; 0 is "zero
// real". std::nullopt outside the range (a negative amount, or more than it).
std::optional<std::string> ValorPorExtenso(int64_t centavos);

}  // namespace app
