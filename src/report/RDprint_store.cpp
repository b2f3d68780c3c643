// Storing page commands and what the outputs read back: AdicionaComando, SubstituiMacros and
// TotalPaginas.
#include <cstdio>

#include "base/Formato.h"
#include "base/Texto.h"
#include "platform/Clock.h"
#include "report/RDcomando.h"
#include "report/RDestado.h"
#include "report/RDprint.h"
#include "report/RDtabelas.h"

namespace report {

namespace {

// 0-based position of the first occurrence of `macro` in `texto`, ignoring letter case.
size_t AchaMacro(const std::string& texto, std::string_view macro) {
  if (texto.size() < macro.size()) return std::string::npos;
  for (size_t i = 0; i + macro.size() <= texto.size(); ++i) {
    size_t k = 0;
    while (k < macro.size()) {
      char c = texto[i + k];
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
      if (c != macro[k]) break;
      ++k;
    }
    if (k == macro.size()) return i;
  }
  return std::string::npos;
}

}  // namespace

// Validates a position and stores one page command on page PaginaAtual.
bool TRDprint::AdicionaComando(int Linha, int Coluna, std::string_view Codigo,
                               std::string_view Texto, TAtributos Fonte, TColor Cor) {
  TEstadoRelatorio& e = EstadoRelatorio();
  if (Cor == clNone) Cor = OpcoesPreview.CorLetraPreview;
  if (Linha > 999 || Coluna > 999 || Linha < 1 || Coluna < 1 || Coluna > TamanhoQteColunas) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "Erro #09 - (POSI\xC7\xC3O INV\xC1LIDA) Linha %d, Coluna %d",
                  Linha, Coluna);
    ReportaErro(buf, true);
    return false;
  }
  if (Fonte.Vazio()) Fonte = e.comandos.AtributosPadrao;
  // Expanded print alone is no pitch: it is drawn over the default one.
  bool temPitch = false;
  for (const TLinhaPitch& p : kPitches)
    if (p.atributo != TAtributo::aExpandido && Fonte.Contem(p.atributo)) temPitch = true;
  if (!temPitch) Fonte.Inclui(e.comandos.AtributosPadrao);
  if (!e.aberto || !e.paginas) {
    ReportaErro("Erro #06 - (IMP/IMPF) Relat\xF3rio n\xE3o foi aberto...");
    return false;
  }
  int atributo = NumeroAtributo(Fonte);
  if (Texto.empty()) return true;
  // A page number beyond the 4-digit field would corrupt the layout: such commands are not stored.
  if (e.PaginaAtual < 0 || e.PaginaAtual > 9999) return false;
  if (Codigo.size() != 1) return false;  // the code field holds one letter
  static thread_local std::string comando;
  if (!CodificaComando({e.PaginaAtual, Linha, Coluna, atributo, Codigo[0], Cor}, Texto, comando))
    return true;  // a system colour has no RGB encoding: nothing is stored
  e.paginas->Insere(comando);
  return true;
}

// Replaces the first occurrence of each macro, in order, at output time.
std::string TRDprint::SubstituiMacros(std::string_view Texto) const {
  std::string r(Texto);
  if (r.find('&') == std::string::npos) return r;
  auto troca = [&r](std::string_view macro, auto valor) {
    size_t p = AchaMacro(r, macro);
    if (p != std::string::npos) r.replace(p, macro.size(), valor());
  };
  troca("&PAGE&", [this] { return base::FormatFixo("#,##0", TotalPaginas(), 0); });
  troca("&HORA&", [] { return base::FormataHora(platform::now()); });
  troca("&DATA&", [] { return base::FormataData(platform::now()); });
  troca("&TITULO&", [this] { return TitulodoRelatorio; });
  return r;
}

// The page number of the last entry of the store (1 when empty or unreadable).
int TRDprint::TotalPaginas() const {
  const auto& p = EstadoRelatorio().paginas;
  if (!p || p->Vazia()) return 1;
  return PaginaDe(p->Ultimo(), 1);
}

}  // namespace report
