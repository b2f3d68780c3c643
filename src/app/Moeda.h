// Money: a price is a 64-bit count of ten-thousandths; a count times a quantity (a double) is
// computed in extended precision and rounded to a count, ties to even. Counts are shown with
// "#,##0.00", halves away from zero, rounded on the integer itself.
#pragma once

#include <cstdint>
#include <string>

namespace app {

using Contagem = int64_t;  // ten-thousandths of a real

// The count of a double: v x 10000 rounded to the nearest integer, ties to even. Raises
// base::Exception "Floating point overflow" when it does not fit 64 bits.
Contagem ParaFixo(double v);
// Rounds an extended value to a count, ties to even (same overflow rule).
Contagem ArredondaContagem(long double v);
// The unrounded product count x quantidade, in extended precision.
long double Produto(Contagem preco, double quantidade);
// round(preco x quantidade + soma): one step of a running money sum.
Contagem SomaProduto(Contagem preco, double quantidade, Contagem soma);
// "#,##0.00" of the count, e.g. 12345650 -> "1.234,57".
std::string FormataDinheiro(Contagem c);

}  // namespace app
