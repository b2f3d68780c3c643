// Test helper for the errors the program raises: the message of the one an operation raised.
#pragma once

#include <string>

namespace teste {

// The message of the `Erro` that `opera` raises, or "" when it raises none.
template <class Erro, class Opera>
std::string ErroDe(Opera opera) {
  try {
    opera();
  } catch (const Erro& e) {
    return e.Mensagem();
  }
  return "";
}

}  // namespace teste
