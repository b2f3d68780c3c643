#include "planilha/Planilha.h"

#include "planilha/Leitores.h"
#include "platform/CodePage.h"
#include "platform/ReadFile.h"

namespace planilha {

namespace {

const Celula kVazia{};

bool Comeca(std::string_view s, std::string_view prefixo) {
  return s.substr(0, prefixo.size()) == prefixo;
}

// An old compound document: a binary workbook, or an encrypted one (both the same container).
std::optional<ErroPlanilha> RecusaDocumentoComposto(std::string_view bytes,
                                                    const std::string& nome) {
  const std::string_view cifrada("E\0n\0c\0r\0y\0p\0t\0i\0o\0n\0I\0n\0f\0o", 27);
  if (bytes.find(cifrada) != std::string_view::npos)
    return Erro(
        nome,
        "a pasta de trabalho est\xE1 protegida por senha. Abra-a na planilha eletr\xF4nica, "
        "retire a senha (Arquivo, Propriedades ou Proteger) e salve-a de novo como .xlsx");
  return Erro(nome,
              "o arquivo est\xE1 no formato bin\xE1rio antigo (.xls). Abra-o na planilha "
              "eletr\xF4nica e salve-o como .xlsx, .ods ou .csv");
}

// Which package it is: a workbook, an OpenDocument spreadsheet, or neither.
std::optional<ErroPlanilha> FormatoDoPacote(std::string_view bytes, const std::string& nome,
                                            Formato& formato) {
  detalhe::Pacote p;
  if (auto motivo = p.Abre(bytes)) return Erro(nome, *motivo);
  if (p.Existe("xl/workbook.xml")) {
    formato = Formato::Xlsx;
    return std::nullopt;
  }
  if (p.Existe("content.xml")) {
    std::string tipo;
    if (p.Existe("mimetype") && !p.LeTudo("mimetype", tipo) &&
        tipo != "application/vnd.oasis.opendocument.spreadsheet")
      return Erro(nome, "o documento OpenDocument n\xE3o \xE9 uma planilha (" + tipo +
                            "). Salve a tabela como .ods, .xlsx ou .csv");
    formato = Formato::Ods;
    return std::nullopt;
  }
  return Erro(nome,
              "o arquivo compactado n\xE3o cont\xE9m uma planilha. Salve a planilha como .xlsx, "
              ".ods ou .csv");
}

}  // namespace

const Celula& LinhaPlanilha::Em(int coluna) const {
  if (coluna < 0 || static_cast<size_t>(coluna) >= celulas.size()) return kVazia;
  return celulas[static_cast<size_t>(coluna)];
}

ErroPlanilha Erro(const std::string& nome, const std::string& motivo) {
  return {"N\xE3o foi poss\xEDvel ler a planilha \"" + platform::utf8ToCp1252(nome) +
          "\": " + motivo + ". Nada foi alterado."};
}

std::optional<ErroPlanilha> ArquivoPlanilha::Abre(const std::string& caminho,
                                                  ArquivoPlanilha& destino) {
  std::string bytes;
  platform::ReadError erro;
  if (!platform::readRegularFile(caminho, kLimiteArquivo, bytes, erro)) {
    if (erro.code == EFBIG)
      return Erro(caminho, "o arquivo tem mais de 256 MB. Divida a planilha em arquivos menores");
    return Erro(caminho, erro.text);
  }
  return DeBytes(std::move(bytes), caminho, destino);
}

std::optional<ErroPlanilha> ArquivoPlanilha::DeBytes(std::string bytes, const std::string& nome,
                                                     ArquivoPlanilha& destino) {
  Formato formato = Formato::Csv;
  if (Comeca(bytes, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
    return RecusaDocumentoComposto(bytes, nome);
  if (Comeca(bytes, "PK\x03\x04") || Comeca(bytes, "PK\x05\x06")) {
    if (auto e = FormatoDoPacote(bytes, nome, formato)) return e;
  } else if (bytes.find('\0') != std::string::npos) {
    return Erro(nome,
                "o arquivo n\xE3o \xE9 uma planilha nem um texto separado por ponto e v\xEDrgula. "
                "Salve a planilha como .xlsx, .ods ou .csv");
  }
  destino.bytes_ = std::move(bytes);
  destino.nome_ = nome;
  destino.formato_ = formato;
  return std::nullopt;
}

std::optional<ErroPlanilha> ArquivoPlanilha::Abas(std::vector<std::string>& nomes) const {
  nomes.clear();
  switch (formato_) {
    case Formato::Xlsx:
      return detalhe::AbasXlsx(bytes_, nome_, nomes);
    case Formato::Ods:
      return detalhe::AbasOds(bytes_, nome_, nomes);
    case Formato::Csv:
      break;
  }
  nomes.emplace_back();
  return std::nullopt;
}

std::optional<ErroPlanilha> ArquivoPlanilha::LeLinhas(size_t aba, const RecebeLinha& recebe,
                                                      FiltroColunas colunas) const {
  switch (formato_) {
    case Formato::Xlsx:
      return detalhe::LeXlsx(bytes_, nome_, aba, recebe, colunas);
    case Formato::Ods:
      return detalhe::LeOds(bytes_, nome_, aba, recebe, colunas);
    case Formato::Csv:
      break;
  }
  return detalhe::LeCsv(bytes_, nome_, recebe, colunas);
}

std::string NomeColuna(int coluna) {
  std::string s;
  for (int c = coluna + 1; c > 0; c = (c - 1) / 26) s.insert(s.begin(), char('A' + (c - 1) % 26));
  return s;
}

std::optional<int> ColunaDoNome(std::string_view nome) {
  if (nome.empty() || nome.size() > 3) return std::nullopt;
  int c = 0;
  for (char ch : nome) {
    if (ch >= 'a' && ch <= 'z') ch = char(ch - 'a' + 'A');
    if (ch < 'A' || ch > 'Z') return std::nullopt;
    c = c * 26 + (ch - 'A' + 1);
  }
  if (c > kLimiteColunas) return std::nullopt;
  return c - 1;
}

}  // namespace planilha
