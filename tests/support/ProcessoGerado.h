// A process file of any size for the tests of writing: items without lot and without price, so
// that the rewrite on close changes every item (an empty price comes back as "0").
#pragma once

#include <string>

namespace teste {

// n items whose price element holds `valor`.
inline std::string ProcessoComValor(int n, const std::string& valor) {
  std::string s = "<processo label=\"20240015\" descricao=\"Preg\xE3o de teste\" totalitens=\"" +
                  std::to_string(n) + "\">\r\n<produtos>\r\n";
  for (int i = 1; i <= n; ++i) {
    std::string k = std::to_string(i);
    s += "<produto>\r\n <ordem>" + k + "</ordem>\r\n <codigo>C" + k +
         "</codigo>\r\n <nome>Produto " + k +
         "</nome>\r\n <descricao>Especifica\xE7\xE3o do item " + k +
         " com um texto de tamanho comum para uma descri\xE7\xE3o</descricao>\r\n <marca>Marca " +
         std::to_string(i % 97) + "</marca>\r\n <quantidade>" + std::to_string(1 + i % 300) +
         "</quantidade>\r\n <valor>" + valor +
         "</valor>\r\n <apuracao>1</apuracao>\r\n"
         " <lote></lote>\r\n</produto>\r\n";
  }
  return s + "</produtos>\r\n</processo>\r\n";
}

// The file as the purchasing body hands it over: n items, every price empty.
inline std::string ProcessoSemPrecos(int n) { return ProcessoComValor(n, ""); }

// The same file once the rewrite on close has written it: every price "0".
inline std::string ProcessoRegravado(int n) { return ProcessoComValor(n, "0"); }

}  // namespace teste
