#include "planilha/Exportacao.h"

#include "base/Texto.h"
#include "planilha/Escritores.h"
#include "planilha/Layout.h"

namespace planilha {

std::optional<Formato> FormatoDaExtensao(std::string_view caminho) {
  const size_t ponto = caminho.rfind('.');
  if (ponto == std::string_view::npos) return std::nullopt;
  const std::string ext = base::LowerCase(caminho.substr(ponto + 1));
  if (ext == "xlsx") return Formato::Xlsx;
  if (ext == "ods") return Formato::Ods;
  if (ext == "csv") return Formato::Csv;
  return std::nullopt;
}

bool Exporta(Formato formato, const app::TTabelaItens& tabela, std::string_view processo,
             platform::ByteSink& destino, std::string& erro) {
  const detalhe::Folha folha = detalhe::MontaFolha(tabela, processo);
  bool ok = false;
  switch (formato) {
    case Formato::Csv:
      ok = detalhe::EscreveCsv(folha, destino);
      break;
    case Formato::Xlsx:
      ok = detalhe::EscreveXlsx(folha, destino, erro);
      break;
    case Formato::Ods:
      ok = detalhe::EscreveOds(folha, destino, erro);
      break;
  }
  if (ok) ok = destino.finish();
  if (!ok && erro.empty()) erro = destino.error().text;
  return ok;
}

bool ExportaArquivo(const std::string& caminho, const app::TTabelaItens& tabela,
                    std::string_view processo, std::string& erro) {
  const std::optional<Formato> formato = FormatoDaExtensao(caminho);
  if (!formato) {
    erro = "A planilha deve terminar em .xlsx, .ods ou .csv: " + caminho;
    return false;
  }
  platform::SinkError e;
  std::unique_ptr<platform::ByteSink> sink = platform::openFileSink(caminho, e);
  if (!sink) {
    erro = e.text;
    return false;
  }
  return Exporta(*formato, tabela, processo, *sink, erro);
}

}  // namespace planilha
