#include "base/Erros.h"

#include <cerrno>

namespace base {

EInOutError ErroDeArquivo(int errnoValor) {
  if (errnoValor == ENOENT) return EInOutError("File not found", errnoValor);
  return EInOutError("I/O error " + std::to_string(errnoValor), errnoValor);
}

}  // namespace base
