#include "app/ProcessoArquivo.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <memory>

#include "base/Erros.h"
#include "base/Formato.h"
#include "base/Texto.h"
#include "platform/AtomicFile.h"
#include "platform/CodePage.h"
#include "platform/ReadFile.h"

namespace app {

using base::Copy;
using base::Pos;

namespace {

// The bytes that stop the scan of a value on the quick path: a tag, or the end of the line.
constexpr std::array<bool, 256> kParada = [] {
  std::array<bool, 256> t{};
  t['<'] = t['\r'] = t['\n'] = true;
  return t;
}();

// True when the bytes at p are the tag (without its terminating null); unrolled for a tag known
// at compile time.
template <size_t N>
bool Comeca(const char* p, const char (&tag)[N]) {
  for (size_t i = 0; i + 1 < N; ++i)
    if (p[i] != tag[i]) return false;
  return true;
}

// The file image as lines: a line ends at LF (which is not part of it), byte 1A ends the file, and
// past the end every line is empty. Every CR is dropped from a line: a line whose only CR stands
// before its LF is a view into the image, one with a CR elsewhere is copied without its CRs into
// storage of the reader's own. Every line and value handed out stays valid for the whole reading.
class Linhas {
 public:
  explicit Linhas(std::string_view bytes) : p_(bytes.data()), fim_(bytes.data() + bytes.size()) {
    if (bytes.empty()) return;
    if (const void* f = std::memchr(p_, '\x1A', bytes.size())) fim_ = static_cast<const char*>(f);
  }
  bool Acabou() const { return p_ == fim_; }

  // The next line without its CRs.
  std::string_view Proxima() {
    std::string_view linha = Bruta();
    if (linha.empty() || std::memchr(linha.data(), '\r', linha.size()) == nullptr) return linha;
    std::string limpa;
    limpa.reserve(linha.size());
    for (char c : linha)
      if (c != '\r') limpa += c;
    return guardados_.Guarda(limpa);
  }

  // Skips a line; `tipica` is what it usually holds, recognised without searching for its end.
  template <size_t N>
  void Pula(const char (&tipica)[N]) {
    constexpr size_t n = N - 1;
    size_t resto = static_cast<size_t>(fim_ - p_);
    if (resto > n && Comeca(p_, tipica)) {
      const char* e = p_ + n;
      if (*e == '\n') {
        p_ = e + 1;
        return;
      }
      if (*e == '\r' && e + 1 < fim_ && e[1] == '\n') {
        p_ = e + 2;
        return;
      }
    }
    Bruta();
  }

  // The value of the next line between the tags `abre` and `fecha` (ExtrairValor, as a view).
  template <size_t A, size_t F>
  std::string_view Valor(const char (&abre)[A], const char (&fecha)[F]) {
    std::string_view v;
    if (Rapido(abre, fecha, v)) return v;
    return VistaValor(Proxima(), abre, fecha);
  }

  // The quick path of Valor for a line written as the writer writes it: a blank, the opening tag,
  // a value holding no "<" and no CR, the closing tag, then the end of the line. In such a line the
  // first opening tag is the one after the blank and the first closing tag the one at the end, so
  // the value is exactly the one the position rule gives. False (nothing read) for any other line.
  // The opening tag must begin with "<" followed by a letter.
  template <size_t A, size_t F>
  bool Rapido(const char (&abre)[A], const char (&fecha)[F], std::string_view& valor) {
    constexpr size_t na = A - 1, nf = F - 1;
    size_t resto = static_cast<size_t>(fim_ - p_);
    if (resto <= na || p_[0] != ' ' || !Comeca(p_ + 1, abre)) return false;
    const char* v = p_ + 1 + na;
    const char* q = v;
    while (q < fim_ && !kParada[static_cast<unsigned char>(*q)]) ++q;
    if (q == fim_ || *q != '<' || static_cast<size_t>(fim_ - q) < nf || !Comeca(q, fecha))
      return false;
    const char* e = q + nf;
    if (e == fim_) {
      p_ = e;
    } else if (*e == '\n') {
      p_ = e + 1;
    } else if (*e == '\r' && (e + 1 == fim_ || e[1] == '\n')) {
      p_ = e + 1 == fim_ ? fim_ : e + 2;
    } else {
      return false;
    }
    valor = std::string_view(v, static_cast<size_t>(q - v));
    return true;
  }

  // Keeps a text built while reading (a joined description) for the whole reading.
  std::string_view Guarda(std::string_view texto) { return guardados_.Guarda(texto); }
  // Where the lines copied and the texts built while reading are kept.
  TArenaTextos& Guardados() { return guardados_; }

  // ExtrairValor without copying: a view into the line.
  static std::string_view VistaValor(std::string_view linha, std::string_view abre,
                                     std::string_view fecha) {
    size_t p = linha.find(abre);
    size_t inicio = p == std::string_view::npos ? abre.size() - 1 : p + abre.size();
    size_t q = linha.find(fecha);
    if (q == std::string_view::npos || q <= inicio) return {};
    return linha.substr(inicio, q - inicio);
  }

 private:
  // The next line as it stands in the image, without the CR before its LF.
  std::string_view Bruta() {
    if (p_ == fim_) return {};
    const char* lf =
        static_cast<const char*>(std::memchr(p_, '\n', static_cast<size_t>(fim_ - p_)));
    const char* fimLinha = lf ? lf : fim_;
    std::string_view linha(p_, static_cast<size_t>(fimLinha - p_));
    p_ = lf ? lf + 1 : fim_;
    if (!linha.empty() && linha.back() == '\r') linha.remove_suffix(1);
    return linha;
  }

  const char* p_;
  const char* fim_;
  TArenaTextos guardados_;
};

// `descricao` from its tag line, joining a multi-line value with single spaces.
std::string_view LeDescricao(Linhas& l, int32_t ordem) {
  std::string_view valor;
  if (l.Rapido("<descricao>", "</descricao>", valor)) return valor;
  std::string_view primeira = l.Proxima();
  if (Pos("</descricao>", primeira) > 0)
    return Linhas::VistaValor(primeira, "<descricao>", "</descricao>");
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
      return l.Guarda(texto);
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

// Line 1 as the writer writes it (without its line end): the label is characters 1 to 4 and 6 to 9
// of Label5's caption. A label read from a first line whose label has fewer than eight characters
// took in the closing quote and what follows it; those characters are then written once, by the
// attributes after the label, so the line keeps its bytes and reads back with the same caption.
std::string PrimeiraLinha(std::string_view label5, std::string_view memo2, int64_t itens) {
  std::string resto = "\" descricao=\"";
  resto.append(SemBrancos(memo2));
  resto += "\" totalitens=\"" + std::to_string(itens) + "\">";
  std::string label = Copy(label5, 1, 4) + Copy(label5, 6, 4);
  for (size_t k = std::min(label.size(), resto.size()); k > 0; --k) {
    if (label.compare(label.size() - k, k, resto, 0, k) == 0) {
      label.resize(label.size() - k);
      break;
    }
  }
  return "<processo label=\"" + label + resto;
}

// Refuses a first line that the rewrite could not write back so that it reads the same: written
// for this item count and for another one, it must read back with the same description, the item
// count written and (for a process; a quotation is rewritten as a process) the same label.
void ConfereCabecalho(const CabecalhoProcesso& cab) {
  const int64_t itens = std::max(cab.totalItens, 0);
  const std::string descricao(SemBrancos(cab.descricao));
  for (int64_t n : {itens, itens > 0 ? itens - 1 : itens + 1}) {
    bool igual = false;
    try {
      CabecalhoProcesso volta = LerCabecalho(PrimeiraLinha(cab.label5, cab.descricao, n));
      igual = volta.totalItens == n && volta.descricao == descricao &&
              (cab.cotacao || volta.label5 == cab.label5);
    } catch (const base::EConvertError&) {
    }
    if (!igual)
      throw base::EFormatoInvalido(
          "A primeira linha do arquivo n\xE3o segue o formato <processo label=\"AAAABBBB\" "
          "descricao=\"...\" totalitens=\"N\">, e o programa n\xE3o conseguiria regrav\xE1-la sem "
          "estragar o cabe\xE7"
          "alho. O arquivo n\xE3o foi aberto: corrija a primeira linha ou "
          "pe\xE7"
          "a ao \xF3rg\xE3o um novo arquivo do processo.");
  }
}

// The error of a process file that could not be read: the system's "File not found" and
// "I/O error %d", or what is wrong with a path that is not a process file at all.
base::EInOutError ErroDeLeitura(const platform::ReadError& erro) {
  if (erro.notRegular)
    return base::EInOutError(erro.text + " Escolha o arquivo .xml do processo.", 0);
  if (erro.code == EFBIG)
    return base::EInOutError(erro.text +
                                 " Um processo de 100.000 itens tem cerca de 28 MB: confira se "
                                 "este \xE9 o arquivo do processo.",
                             EFBIG);
  return base::ErroDeArquivo(erro.code);
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

namespace {

// Reads a file image into `destino`. The rows' texts are views into the image (or into what the
// reader built), and the table keeps all of it: no text is copied.
CabecalhoProcesso LeImagem(std::unique_ptr<const std::string> imagem, TTabelaItens& destino) {
  std::string_view bytes(*imagem);
  Linhas l(bytes);
  CabecalhoProcesso cab = LerCabecalho(l.Proxima());
  ConfereCabecalho(cab);
  l.Pula("<produtos>");
  l.Pula("<produto>");
  TTabelaItens nova;
  nova.Reinicia();
  nova.Reserva(
      std::min<size_t>(static_cast<size_t>(std::max(cab.totalItens, 0)), bytes.size() / 200 + 1));
  const size_t largura = TTabelaItens::Largura(Campo::apuracao);
  for (int32_t i = 0; i < cab.totalItens; ++i) {
    LinhaItem it;
    it.ordem = base::StrToInt(l.Valor("<ordem>", "</ordem>"));
    it.codigo = l.Valor("<codigo>", "</codigo>");
    it.nome = l.Valor("<nome>", "</nome>");
    it.descricao = LeDescricao(l, *it.ordem);
    it.marca = l.Valor("<marca>", "</marca>");
    it.quantidade = base::StrToFloat(l.Valor("<quantidade>", "</quantidade>"));
    std::string_view valor = l.Valor("<valor>", "</valor>");
    it.valor = base::StrToFloat(valor.empty() ? std::string_view("0") : valor);
    it.apuracao = l.Valor("<apuracao>", "</apuracao>");
    it.lote = l.Valor("<lote>", "</lote>");
    l.Pula("</produto>");
    l.Pula("<produto>");
    std::string_view criterio = it.apuracao.substr(0, largura);
    if (criterio == "1" || criterio == "2") cab.ultimoCriterio = criterio;
    nova.CarregaLinhaSemCopia(it);
  }
  l.Guardados().Adota(std::move(imagem));
  nova.AdotaTextos(l.Guardados());
  nova.FimCarga();
  destino.TrocaConteudo(nova);
  return cab;
}

}  // namespace

CabecalhoProcesso LerProcessoDeBytes(std::string_view bytes, TTabelaItens& destino) {
  return LeImagem(std::make_unique<const std::string>(bytes), destino);
}

CabecalhoProcesso LerProcesso(const std::string& caminho, TTabelaItens& destino) {
  auto bytes = std::make_unique<std::string>();
  platform::ReadError erro;
  if (!platform::readRegularFile(caminho, kLimiteArquivoProcesso, *bytes, erro))
    throw ErroDeLeitura(erro);
  return LeImagem(std::move(bytes), destino);
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
  // The rows are walked in lot order, while the texts of a file read in another order stay where
  // the reader found them, scattered over the file image: the texts of a row some rows ahead are
  // asked for while this one is written, so that they are in the cache when their turn comes.
  constexpr int kAdiante = 8;
  auto adianta = [&t](int i) {
    const LinhaItem& it = t.Linha(i);
    for (std::string_view v : {it.codigo, it.nome, it.descricao, it.marca, it.apuracao, it.lote})
      __builtin_prefetch(v.data());
  };
  linha(PrimeiraLinha(label5, memo2, n));
  linha("<produtos>");
  for (int i = 0; i < n; ++i) {
    if (i + kAdiante < n) adianta(i + kAdiante);
    const LinhaItem& it = t.Linha(i);
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
  t.TerminaPercurso(MostraCriterio);
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
