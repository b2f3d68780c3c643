#include "app/Moeda.h"

#include <cmath>

#include "base/Erros.h"
#include "base/Formato.h"

namespace app {

Contagem ArredondaContagem(long double v) {
  // 2^63 is exactly representable; anything at or beyond it (or NaN) has no count.
  constexpr long double kLimite = 9223372036854775808.0L;
  if (!(v > -kLimite - 1.0L && v < kLimite)) throw base::Exception("Floating point overflow");
  long double r = __builtin_rintl(v);  // the default rounding mode: to nearest, ties to even
  if (r >= kLimite) throw base::Exception("Floating point overflow");
  // r is whole and in range: llrint gives it exactly, without the truncating conversion that
  // makes the x87 switch its rounding mode around every store (slow in the running sum).
  return static_cast<Contagem>(std::llrint(r));
}

Contagem ParaFixo(double v) { return ArredondaContagem(static_cast<long double>(v) * 10000.0L); }

long double Produto(Contagem preco, double quantidade) {
  return static_cast<long double>(preco) * static_cast<long double>(quantidade);
}

Contagem SomaProduto(Contagem preco, double quantidade, Contagem soma) {
  return ArredondaContagem(Produto(preco, quantidade) + static_cast<long double>(soma));
}

std::string FormataDinheiro(Contagem c) { return base::FormatFixo("#,##0.00", c); }

}  // namespace app
