// Fuzz target: the process-file reader never crashes or reads out of bounds, and whatever it
// accepts survives the rewrite on close: read, rewrite, read again gives the same header and the
// same items (as the program shows and writes them), and a second rewrite gives the same bytes.
// (The rewrite writes the items in lot order, so what the last item in file order tells, the
// criterion, may change: it is not compared.)
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "app/ProcessoArquivo.h"
#include "app/TabelaItens.h"
#include "base/Erros.h"
#include "base/Formato.h"
#include "base/Texto.h"
#include "fuzz/AlvoFuzz.h"

namespace {

[[noreturn]] void Falha(const char* o_que, const std::string& antes, const std::string& depois) {
  std::fprintf(stderr, "regravação muda %s:\n[%s]\n[%s]\n", o_que, antes.c_str(), depois.c_str());
  std::abort();
}

// A number as the writer writes it (an empty price is written as 0).
std::string Numero(const std::optional<double>& v, const char* vazio) {
  return v ? base::FloatToStr(*v) : std::string(vazio);
}

void Confere(const char* campo, const std::string& a, const std::string& b) {
  if (a != b) Falha(campo, a, b);
}

void LeRegravaLe(std::string_view entrada) {
  app::TTabelaItens lido;
  app::CabecalhoProcesso cab;
  try {
    cab = app::LerProcessoDeBytes(entrada, lido);
  } catch (const base::Exception&) {
    return;  // refused with a message: nothing to rewrite
  }
  const std::string regravado = app::MontaDocumento(lido, cab.label5, cab.descricao, std::nullopt);
  app::TTabelaItens relido;
  app::CabecalhoProcesso volta;
  try {
    volta = app::LerProcessoDeBytes(regravado, relido);
  } catch (const base::Exception& e) {
    Falha("a leitura (o arquivo regravado é recusado)", std::string(entrada.substr(0, 200)),
          e.what());
  }
  if (!cab.cotacao) Confere("o número do processo", cab.label5, volta.label5);
  Confere("a descrição", base::Trim(cab.descricao), volta.descricao);
  Confere("o total de itens", std::to_string(lido.NumLinhas()), std::to_string(volta.totalItens));
  if (lido.NumLinhas() != relido.NumLinhas())
    Falha("a quantidade de itens", std::to_string(lido.NumLinhas()),
          std::to_string(relido.NumLinhas()));
  for (int i = 0; i < lido.NumLinhas(); ++i) {
    const app::LinhaItem& a = lido.Linha(i);
    const app::LinhaItem& b = relido.Linha(i);
    Confere("a ordem", a.ordem ? std::to_string(*a.ordem) : "",
            b.ordem ? std::to_string(*b.ordem) : "");
    Confere("o lote", std::string(a.lote), std::string(b.lote));
    Confere("o código", std::string(a.codigo), std::string(b.codigo));
    Confere("o nome", std::string(a.nome), std::string(b.nome));
    Confere("a descrição do item", base::Trim(a.descricao), std::string(b.descricao));
    Confere("a marca", std::string(a.marca), std::string(b.marca));
    Confere("a quantidade", Numero(a.quantidade, ""), Numero(b.quantidade, ""));
    Confere("o valor", Numero(a.valor, "0"), Numero(b.valor, "0"));
    Confere("a apuração", std::string(a.apuracao), std::string(b.apuracao));
  }
  const std::string outraVez =
      app::MontaDocumento(relido, volta.label5, volta.descricao, std::nullopt);
  if (outraVez != regravado) Falha("os bytes na segunda regravação", regravado, outraVez);
}

}  // namespace

PROPOSTA_ALVO_FUZZ("processo", LeRegravaLe)
