#include "app/ProcessoArquivo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/Erros.h"
#include "base/Formato.h"
#include "base/Texto.h"
#include "platform/AtomicFile.h"
#include "platform/CodePage.h"

namespace app {

using base::Copy;
using base::Pos;

namespace {

// Splits a file image into lines: a line ends at LF, every CR is dropped, byte 1A ends the file,
// and reading past the end gives empty lines.
class Linhas {
 public:
  explicit Linhas(std::string_view bytes) : resto_(bytes) {
    auto fim = resto_.find('\x1A');
    if (fim != std::string_view::npos) resto_ = resto_.substr(0, fim);
  }
  bool Acabou() const { return resto_.empty(); }
  // The next line (valid until the next call).
  std::string_view Proxima() {
    if (resto_.empty()) return {};
    size_t lf = resto_.find('\n');
    std::string_view linha = lf == std::string_view::npos ? resto_ : resto_.substr(0, lf);
    resto_ = lf == std::string_view::npos ? std::string_view() : resto_.substr(lf + 1);
    if (!linha.empty() && linha.back() == '\r') linha.remove_suffix(1);
    if (linha.find('\r') == std::string_view::npos) return linha;
    buffer_.clear();
    for (char c : linha)
      if (c != '\r') buffer_ += c;
    return buffer_;
  }

 private:
  std::string_view resto_;
  std::string buffer_;
};

// ExtrairValor without copying: a view into the line.
std::string_view VistaValor(std::string_view linha, std::string_view abre, std::string_view fecha) {
  size_t p = linha.find(abre);
  size_t inicio = p == std::string_view::npos ? abre.size() - 1 : p + abre.size();  // 0-based p + L
  size_t q = linha.find(fecha);
  if (q == std::string_view::npos || q <= inicio) return {};
  return linha.substr(inicio, q - inicio);
}

std::string_view Valor(Linhas& l, std::string_view abre, std::string_view fecha) {
  return VistaValor(l.Proxima(), abre, fecha);
}

// `descricao` from its tag line, joining a multi-line value with single spaces.
std::string LeDescricao(Linhas& l, int32_t ordem) {
  std::string primeira(l.Proxima());
  if (Pos("</descricao>", primeira) > 0)
    return ExtrairValor(primeira, "<descricao>", "</descricao>");
  int p = Pos("<descricao>", primeira);
  std::string texto = " " + Copy(primeira, p + 11, INT32_MAX);
  for (;;) {
    if (l.Acabou())
      throw base::EFormatoInvalido("O arquivo terminou dentro da descri\xE7\xE3o do item " +
                                   std::to_string(ordem) +
                                   ": falta a marca </descricao>. O arquivo n\xE3o foi aberto.");
    std::string_view linha = l.Proxima();
    int q = Pos("</descricao>", linha);
    if (q > 0) {
      texto += ' ';
      texto += Copy(linha, 1, q - 1);
      return texto;
    }
    texto += ' ';
    texto += linha;
  }
}

// The text without leading and trailing blanks and control characters, as a view.
std::string_view SemBrancos(std::string_view t) {
  size_t i = 0, n = t.size();
  while (i < n && static_cast<unsigned char>(t[i]) <= ' ') ++i;
  while (n > i && static_cast<unsigned char>(t[n - 1]) <= ' ') --n;
  return t.substr(i, n - i);
}

}  // namespace

std::string ExtrairValor(std::string_view linha, std::string_view abre, std::string_view fecha) {
  int p = Pos(abre, linha);
  int L = static_cast<int>(abre.size());
  int q = Pos(fecha, linha);
  if (q <= p + L) return {};
  return Copy(linha, p + L, q - (p + L));
}

CabecalhoProcesso LerCabecalho(std::string_view linha) {
  CabecalhoProcesso c;
  c.primeirosQuatro = Copy(linha, 1, 4);
  if (c.primeirosQuatro == "<cot") {
    c.cotacao = true;
    int pc = Pos("cotacao", linha);
    c.label5 = Copy(linha, pc + 15, 11);
  } else {
    int r = Pos("processo", linha);
    c.label5 = Copy(linha, r + 16, 4) + "/" + Copy(linha, r + 20, 4);
  }
  int d = Pos("descricao", linha);
  int qd = Pos("\" totalitens", linha);
  c.descricao = Copy(linha, d + 11, qd - (d + 11));
  int t = Pos("totalitens", linha);
  int qt = Pos("\">", linha);
  c.totalItens = base::StrToInt(Copy(linha, t + 12, qt - (t + 12)));
  return c;
}

CabecalhoProcesso LerProcessoDeBytes(std::string_view bytes, TTabelaItens& destino) {
  Linhas l(bytes);
  CabecalhoProcesso cab = LerCabecalho(l.Proxima());
  l.Proxima();
  l.Proxima();
  TTabelaItens nova;
  nova.Reinicia();
  nova.Reserva(
      std::min<size_t>(static_cast<size_t>(std::max(cab.totalItens, 0)), bytes.size() / 200 + 1));
  for (int32_t i = 0; i < cab.totalItens; ++i) {
    Item it;
    it.ordem = base::StrToInt(Valor(l, "<ordem>", "</ordem>"));
    it.codigo = Valor(l, "<codigo>", "</codigo>");
    it.nome = Valor(l, "<nome>", "</nome>");
    it.descricao = LeDescricao(l, *it.ordem);
    it.marca = Valor(l, "<marca>", "</marca>");
    it.quantidade = base::StrToFloat(Valor(l, "<quantidade>", "</quantidade>"));
    std::string_view valor = Valor(l, "<valor>", "</valor>");
    it.valor = base::StrToFloat(valor.empty() ? std::string_view("0") : valor);
    it.apuracao = Valor(l, "<apuracao>", "</apuracao>");
    it.lote = Valor(l, "<lote>", "</lote>");
    l.Proxima();
    l.Proxima();
    nova.CarregaLinha(std::move(it));
  }
  nova.FimCarga();
  destino.TrocaConteudo(nova);
  return cab;
}

CabecalhoProcesso LerProcesso(const std::string& caminho, TTabelaItens& destino) {
  int fd = ::open(caminho.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw base::ErroDeArquivo(errno);
  std::string bytes;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) bytes.reserve(static_cast<size_t>(st.st_size));
  char buf[1 << 16];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      throw base::ErroDeArquivo(err);
    }
    if (n == 0) break;
    bytes.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return LerProcessoDeBytes(bytes, destino);
}

std::string MontaDocumento(TTabelaItens& t, std::string_view label5, std::string_view memo2,
                           const std::optional<std::string>& fornecedor,
                           const std::function<void()>& passo) {
  t.Primeiro();
  const int n = t.NumLinhas();
  std::string s;
  s.reserve(static_cast<size_t>(n) * 160 + 256);
  auto linha = [&s](std::string_view a, std::string_view v = {}, std::string_view b = {}) {
    s.append(a).append(v).append(b).append("\r\n", 2);
  };
  s += "<processo label=\"";
  s += Copy(label5, 1, 4);
  s += Copy(label5, 6, 4);
  s += "\" descricao=\"";
  s += base::Trim(memo2);
  s += "\" totalitens=\"";
  s += std::to_string(n);
  linha("\">");
  linha("<produtos>");
  for (int i = 0; i < n; ++i) {
    const Item& it = t.Linha(i);
    linha("<produto>");
    linha(" <ordem>", it.ordem ? std::to_string(*it.ordem) : std::string(), "</ordem>");
    linha(" <codigo>", it.codigo, "</codigo>");
    linha(" <nome>", it.nome, "</nome>");
    linha(" <descricao>", SemBrancos(it.descricao), "</descricao>");
    linha(" <marca>", it.marca, "</marca>");
    linha(" <quantidade>", it.quantidade ? base::FloatToStr(*it.quantidade) : std::string(),
          "</quantidade>");
    linha(" <valor>", it.valor ? base::FloatToStr(*it.valor) : std::string("0"), "</valor>");
    linha(" <apuracao>", it.apuracao, "</apuracao>");
    linha(" <lote>", it.lote, "</lote>");
    linha("</produto>");
    if (passo) passo();
  }
  linha("</produtos>");
  linha("</processo>");
  if (fornecedor) linha("<fornecedor>", *fornecedor, "</fornecedor>");
  if (n > 0) t.MovePor(n - 1);
  return s;
}

platform::WriteResult EscreveDocumento(const std::string& caminho, TTabelaItens& tabela,
                                       std::string_view label5, std::string_view memo2,
                                       const std::optional<std::string>& fornecedor,
                                       const std::function<void()>& passo) {
  std::string bytes = MontaDocumento(tabela, label5, memo2, fornecedor, passo);
  return platform::writeFileAtomically(caminho, bytes);
}

std::string CaminhoProposta(const std::string& caminhoProcesso, std::string_view empresaCp1252) {
  return Copy(caminhoProcesso, 1, static_cast<int64_t>(caminhoProcesso.size()) - 4) +
         platform::cp1252ToUtf8(empresaCp1252) + ".xml";
}

}  // namespace app
