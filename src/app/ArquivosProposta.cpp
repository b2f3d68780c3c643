#include "app/ArquivosProposta.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "app/ProcessoArquivo.h"
#include "base/Formato.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/FileStamp.h"
#include "platform/ReadFile.h"

namespace app {

namespace {
// True when stamp a was written after stamp b.
bool MaisNovo(const platform::FileStamp& a, const platform::FileStamp& b) {
  return a.seconds != b.seconds ? a.seconds > b.seconds : a.nanoseconds > b.nanoseconds;
}

// True when the file at caminho holds the "fornecedor" line of the company (Windows-1252).
bool TemFornecedor(const std::string& caminho, const std::string& empresa) {
  std::string bytes;
  platform::ReadError erro;
  if (!platform::readRegularFile(caminho, kLimiteArquivoProcesso, bytes, erro)) return false;
  return bytes.find("<fornecedor>" + empresa + "</fornecedor>") != std::string::npos;
}

// The length of the UTF-8 sequence a lead byte starts (0 for a byte that cannot lead one).
size_t TamanhoSequencia(unsigned char c) {
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) return 2;
  if (c >= 0xE0 && c <= 0xEF) return 3;
  if (c >= 0xF0 && c <= 0xF4) return 4;
  return 0;
}
}  // namespace

Contagem TotalDaTabela(const TTabelaItens& tabela) {
  Contagem total = 0;
  for (int i = 0; i < tabela.NumLinhas(); ++i) {
    const LinhaItem& it = tabela.Linha(i);
    total = SomaProduto(ParaFixo(it.valor.value_or(0.0)), it.quantidade.value_or(0.0), total);
  }
  return total;
}

std::string DescreveArquivoProposta(const std::string& caminho) {
  std::string texto = platform::utf8ToCp1252(caminho);
  platform::FileStamp stamp;
  if (platform::stampOf(caminho, stamp) == 0) {
    base::DataHora d = platform::dateTimeOf(static_cast<std::time_t>(stamp.seconds));
    texto += "\rgravado em " + base::FormataData(d) + " \xE0s " + base::FormataHora(d);
  }
  try {
    TTabelaItens lida;
    LerProcesso(caminho, lida);
    texto += ", total R$ " + FormataDinheiro(TotalDaTabela(lida));
  } catch (const base::Exception&) {
    // Unreadable: the date alone describes it.
  }
  return texto;
}

std::optional<std::string> PropostaMaisRecente(const std::string& caminhoProcesso) {
  namespace fs = std::filesystem;
  platform::FileStamp processo;
  if (caminhoProcesso.size() <= 4 || platform::stampOf(caminhoProcesso, processo) != 0)
    return std::nullopt;
  const std::string prefixo = caminhoProcesso.substr(0, caminhoProcesso.size() - 4);
  std::optional<std::string> melhor;
  platform::FileStamp melhorStamp = processo;
  std::error_code ec;
  for (const fs::directory_entry& e :
       fs::directory_iterator(fs::path(caminhoProcesso).parent_path(), ec)) {
    const std::string nome = e.path().string();
    if (nome == caminhoProcesso || nome.size() <= prefixo.size() + 4 ||
        nome.compare(0, prefixo.size(), prefixo) != 0 ||
        nome.compare(nome.size() - 4, 4, ".xml") != 0)
      continue;
    platform::FileStamp s;
    if (platform::stampOf(nome, s) != 0 || !MaisNovo(s, melhorStamp)) continue;
    std::string empresa = nome.substr(prefixo.size(), nome.size() - 4 - prefixo.size());
    if (!TemFornecedor(nome, platform::utf8ToCp1252(empresa))) continue;
    melhor = nome;
    melhorStamp = s;
  }
  return melhor;
}

bool TextoUtf8(std::string_view bytes) {
  bool alemAscii = false;
  for (size_t i = 0; i < bytes.size();) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    const size_t n = TamanhoSequencia(c);
    if (n == 0 || i + n > bytes.size()) return false;
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    // Overlong and surrogate forms of the three- and four-byte sequences.
    const auto c1 = n > 1 ? static_cast<unsigned char>(bytes[i + 1]) : 0;
    if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 > 0x9F) || (c == 0xF0 && c1 < 0x90) ||
        (c == 0xF4 && c1 > 0x8F))
      return false;
    alemAscii = alemAscii || n > 1;
    i += n;
  }
  return alemAscii;
}

std::string MotivoFalhaGravacao(const base::EInOutError& erro) {
  std::string motivo;
  switch (erro.Codigo()) {
    case EACCES:
    case EPERM:
      motivo = "sem permiss\xE3o para gravar nesta pasta";
      break;
    case EROFS:
      motivo = "a pasta est\xE1 num disco somente para leitura";
      break;
    case ENOSPC:
    case EDQUOT:
      motivo = "n\xE3o h\xE1 espa\xE7o livre no disco";
      break;
    case ENOENT:
    case ENOTDIR:
      motivo = "a pasta n\xE3o existe";
      break;
    default:
      return erro.Mensagem();
  }
  return motivo + " (" + erro.Mensagem() + ")";
}

std::string SugestaoEmPastaGravavel(const std::string& caminhoQueFalhou) {
  const char* casa = std::getenv("HOME");
  if (!casa || !*casa || ::access(casa, W_OK) != 0) return caminhoQueFalhou;
  return (std::filesystem::path(casa) / std::filesystem::path(caminhoQueFalhou).filename())
      .string();
}

}  // namespace app
