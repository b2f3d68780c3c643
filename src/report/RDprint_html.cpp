// The HTML export (GravaHTML): every page of the store as a sheet of paper on a grey background,
// each text, line, box and picture placed absolutely in pixels at 96 per inch, one sheet per
// printed page. The document streams through the atomic file sink, so the file appears only
// whole; a failure leaves the old file as it was.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <optional>
#include <sstream>

#include "base/Erros.h"
#include "platform/ByteSink.h"
#include "platform/CodePage.h"
#include "platform/Platform.h"
#include "report/RDcomando.h"
#include "report/RDestado.h"
#include "report/RDpercurso.h"
#include "report/RDprint.h"
#include "report/RDtabelas.h"

namespace report {

namespace {

constexpr double kPixelsPorMm = 3.779527559055118;  // 96 / 25.4

// The head up to the title, whose code page is declared so every browser shows the accents.
const char kInicio[] =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">"
    "<!-- /////////////////////////////////////////////////////////////////// -->"
    "<!-- //   Gerado com RDprint 6.1c- https://www.vek.com.br   // -->"
    "<!-- /////////////////////////////////////////////////////////////////// -->"
    "<html><head>"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
    "<title>";

// From the end of the title to the pitch classes.
const char kClasses[] =
    "</title>"
    "<style type=\"text/css\">";

// From the pitch classes to the first value of the style sheet.
const char kCorpo[] =
    "body {background-color: #c6c6c6;}"
    "footer {height:40px}"
    ".conteudo {width:";

const char kFimCabecalho[] = "</style></head><body><nowrap><div class=\"conteudo\">";
const char kFim[] = "</div></div></div></nowrap></body></html>";
const char kFechaFolha[] = "</div></div><footer></footer>";
const char kAbreFolha[] = "<div class=\"folha\"><div class=pagina>";

// The values one export fixes from the component's properties.
struct TMedidasHTML {
  const TLinhaPitch* pitch;  // the default pitch
  int alturaLinha;
  int esquerda, direita, topo, base;  // margins in pixels
  int larguraTexto, alturaTexto;
  std::string tinta, papel;  // six hexadecimal digits, red first
  TColor corTinta;           // the ink as a colour value, to compare with a command's
};

// A value rounded to the nearest integer, halves to even.
int64_t Arredonda(double v) { return static_cast<int64_t>(std::nearbyint(v)); }

// Pixels for `n` characters of the default pitch (96 / cpi each), rounded.
int64_t Caracteres(int64_t n, const TLinhaPitch& p) {
  return ArredondaRazao(kUnidadesPorPolegada * n, p.cpi);
}

// Appends a little-endian integer of `bytes` bytes.
void AnexaLE(std::string& s, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// The bytes of a 24-bit uncompressed bitmap file: file header, information header, then the rows
// bottom up, blue-green-red, each padded to four bytes.
std::string ArquivoBMP(const TImagemRGB& img) {
  const uint32_t linha = (static_cast<uint32_t>(img.largura) * 3 + 3) & ~3u;
  const uint32_t dados = linha * static_cast<uint32_t>(img.altura);
  std::string s;
  s.reserve(54 + dados);
  s += "BM";
  AnexaLE(s, 54 + dados, 4);
  AnexaLE(s, 0, 4);
  AnexaLE(s, 54, 4);
  AnexaLE(s, 40, 4);
  AnexaLE(s, static_cast<uint32_t>(img.largura), 4);
  AnexaLE(s, static_cast<uint32_t>(img.altura), 4);
  AnexaLE(s, 1, 2);
  AnexaLE(s, 24, 2);
  AnexaLE(s, 0, 4);  // no compression
  AnexaLE(s, dados, 4);
  AnexaLE(s, 0, 4);
  AnexaLE(s, 0, 4);
  AnexaLE(s, 0, 4);
  AnexaLE(s, 0, 4);
  for (int y = img.altura - 1; y >= 0; --y) {
    for (int x = 0; x < img.largura; ++x) {
      const uint8_t* p = img.Pixel(x, y);
      s += static_cast<char>(p[2]);
      s += static_cast<char>(p[1]);
      s += static_cast<char>(p[0]);
    }
    s.append(linha - static_cast<uint32_t>(img.largura) * 3, '\0');
  }
  return s;
}

// The document being written: pieces gather in memory and go to the sink in large blocks.
class DocumentoHTML {
 public:
  explicit DocumentoHTML(platform::ByteSink& s) : s_(s) { buffer_.reserve(kBloco + 65536); }
  // Appends a piece, a character or a decimal integer.
  DocumentoHTML& operator<<(std::string_view t) {
    buffer_ += t;
    return *this;
  }
  DocumentoHTML& operator<<(char c) {
    buffer_ += c;
    return *this;
  }
  DocumentoHTML& operator<<(int64_t v) {
    char b[24];
    auto r = std::to_chars(b, b + sizeof b, v);
    buffer_.append(b, r.ptr);
    return *this;
  }
  DocumentoHTML& operator<<(int v) { return *this << static_cast<int64_t>(v); }
  // Appends a report text escaped with CodificaHTML's rules, without an intermediate copy.
  void Escapado(std::string_view t) { AnexaHTML(buffer_, t); }
  // Hands a full block to the sink; false once the sink has failed.
  bool Entrega() { return buffer_.size() < kBloco || Esvazia(); }
  // Hands everything gathered to the sink.
  bool Esvazia() {
    bool ok = s_.write(buffer_);
    buffer_.clear();
    return ok;
  }

 private:
  static constexpr size_t kBloco = 1 << 20;
  platform::ByteSink& s_;
  std::string buffer_;
};

// The class of each pitch ("f05" ... "f20"), then of expanded text over each ("e05" ... "e20"),
// in increasing characters per inch.
void EscreveClassesPitch(DocumentoHTML& doc) {
  std::array<const TLinhaPitch*, kPitches.size()> ordem;
  for (size_t i = 0; i < kPitches.size(); ++i) ordem[i] = &kPitches[i];
  std::sort(ordem.begin(), ordem.end(),
            [](const TLinhaPitch* a, const TLinhaPitch* b) { return a->cpi < b->cpi; });
  for (const TLinhaPitch* p : ordem)
    doc << ".f" << p->digitos << " {font-family:Courier New;" << p->classeHTML << '}';
  for (const TLinhaPitch* p : ordem)
    doc << ".e" << p->digitos << " {font-family:Courier New;" << p->classeExpandidaHTML << '}';
}

// The head: title, style sheet with the page geometry, and the opening of the content.
void EscreveCabecalho(DocumentoHTML& doc, const TMedidasHTML& m, const std::string& titulo) {
  const int largura = m.larguraTexto + m.esquerda + m.direita;
  const int altura = m.alturaTexto + m.topo + m.base;
  doc << kInicio;
  doc.Escapado(titulo);
  doc << kClasses;
  EscreveClassesPitch(doc);
  doc << kCorpo;
  doc << largura
      << "px; height: auto; padding-top:20px; position: relative; margin:0 auto;}"
         ".Folha {width:"
      << largura << "px;Height:" << altura << "px; background-color:#" << m.papel
      << "; position: relative; border: 1px solid black; -webkit-box-shadow: 0 0 25px 0 #030301; "
         "box-shadow: 0 0 25px 0 #030301;}"
         ".pagina {width:"
      << m.larguraTexto << "px;Height:" << m.alturaTexto << "px;left:" << m.esquerda
      << "px;top:" << m.topo << "px; background:#" << m.papel
      << ";position: absolute;  border: 1px dotted silver}";
  doc << m.pitch->divHTML << "white-space:pre; backround-color:#" << m.papel << "; color:#"
      << m.tinta << "; position: absolute; z-index: 0; box-sizing: border-box;}";
  doc << "@media print{.barra{display: none;}.sombra{display: none;}footer {page-break-after: "
         "always;}}"
         "@page {margin-left:"
      << m.esquerda << "px;margin-top:" << m.topo << "px;}";
  doc << "@media print {html, body { height: 98%; margin: 0px 0px 0px 0px;}"
         "footer {page-break-after: always;}"
         ".conteudo {padding: 0px; margin: 0px border: 0px; height:0px;}"
         ".Folha {width:"
      << m.larguraTexto << "px;Height:" << m.alturaTexto
      << ";border: none;}"
         ".pagina {left: 0px; top:0px; border: none}}";
  doc << kFimCabecalho;
}

// A text entry (T plain, D right-aligned, X centred) as a positioned div.
void EscreveTexto(DocumentoHTML& doc, const TMedidasHTML& m, const TComando& d) {
  const TLinhaPitch& padrao = *m.pitch;
  const int64_t esquerda = Caracteres(d.Coluna - 1, padrao);
  const int64_t topo = static_cast<int64_t>(d.Linha - 1) * m.alturaLinha;
  const int64_t largura = Caracteres(static_cast<int64_t>(d.Texto.size()), padrao);
  doc << "<div ";
  if (d.Expandido) {
    doc << "class=\"e" << padrao.digitos << "\" ";
  } else if (d.Cpi != padrao.cpi) {
    if (const TLinhaPitch* p = PitchPorCpi(d.Cpi)) doc << "class=\"f" << p->digitos << "\" ";
  }
  doc << "style=\"top:" << topo << "px;left:" << esquerda << "px;";
  auto cor = [&] {
    if (d.Cor != m.corTinta) doc << "Color:#" << d.CorTexto << ';';
  };
  if (d.Codigo == 'D') {
    // (base width + one character) x 10 / cpi, kept as an exact ratio of integers.
    doc << "Width:"
        << ArredondaRazao((largura * padrao.cpi + kUnidadesPorPolegada) * 10,
                          static_cast<int64_t>(padrao.cpi) * d.Cpi)
        << "px;";
    cor();
    doc << "text-align:right;";
  } else if (d.Codigo == 'X') {
    doc << "Width:" << ArredondaRazao(10 * largura, d.Cpi) << "px;";
    cor();
    doc << "text-align:center;";
  } else {
    cor();
  }
  // Bold innermost, then italic, then underline outermost.
  doc << "\">";
  if (d.Sublinhado) doc << "<u>";
  if (d.Italico) doc << "<i>";
  if (d.Negrito) doc << "<b>";
  doc.Escapado(d.Texto);
  if (d.Negrito) doc << "</b>";
  if (d.Italico) doc << "</i>";
  if (d.Sublinhado) doc << "</u>";
  doc << "</div>";
}

// A line (H, V) or a box (F) as a bordered div through the middle of the character cells; false
// when its end fields do not convert.
bool EscreveLinha(DocumentoHTML& doc, const TMedidasHTML& m, const TComando& d) {
  const TLinhaComando l = DecodificaLinha(d);
  if (!l.LinhaFinal.valor || !l.ColunaFinal.valor) return false;
  const int linhaFim = *l.LinhaFinal.valor, colunaFim = *l.ColunaFinal.valor;
  const bool dupla = l.Dupla;
  const TLinhaPitch& padrao = *m.pitch;
  const int64_t esquerda =
      ArredondaRazao(kUnidadesPorPolegada * (2 * static_cast<int64_t>(d.Coluna) - 1),
                     2 * static_cast<int64_t>(padrao.cpi));
  const int64_t topo = ArredondaRazao(m.alturaLinha * (2 * static_cast<int64_t>(d.Linha) - 1), 2);
  const int64_t altura =
      std::max<int64_t>(static_cast<int64_t>(linhaFim - d.Linha) * m.alturaLinha, 1);
  const int64_t largura =
      std::max<int64_t>(Caracteres(static_cast<int64_t>(colunaFim) - d.Coluna, padrao), 1);
  const char* lado = d.Codigo == 'H' ? "-Top" : d.Codigo == 'V' ? "-Left" : "";
  doc << "<div style=\"left:" << esquerda << "px;top:" << topo << "px;width:" << largura
      << "px;height:" << altura << "px;border" << lado << (dupla ? ":3px double #" : ":1px solid #")
      << d.CorTexto << ";\"></div>";
  return true;
}

// Why a picture command cannot be written: its index is outside the picture list, or it is too
// large.
struct TFalhaImagem {
  std::string mensagem;
};

// A picture (G) as a BMP file in Base64 inside a positioned img; false when its fields do not
// convert. An index outside the picture list, or a picture larger than the files take, throws
// TFalhaImagem.
bool EscreveImagem(DocumentoHTML& doc, const TMedidasHTML& m, const TComando& d,
                   const std::vector<std::unique_ptr<TImagemRGB>>& imagens) {
  const TFiguraComando campos = DecodificaFigura(d);
  if (!campos.Indice.valor || !campos.Largura.valor || !campos.Altura.valor) return false;
  const int indice = *campos.Indice.valor;
  const int larguraMm = *campos.Largura.valor, alturaMm = *campos.Altura.valor;
  if (indice < 0 || static_cast<size_t>(indice) >= imagens.size() || !imagens[indice])
    throw TFalhaImagem{"List index out of bounds (" + std::to_string(indice) + ")"};
  const TImagemRGB& origem = *imagens[indice];
  const int64_t pl = origem.largura, pa = origem.altura;
  int64_t largura = pl, altura = pa;
  if (larguraMm == 0 && alturaMm != 0) {
    altura = Arredonda(alturaMm * kPixelsPorMm);
    largura = pa > 0 ? ArredondaRazao(pl * altura, pa) : 0;
  } else if (larguraMm != 0 && alturaMm == 0) {
    largura = static_cast<int64_t>(std::trunc(larguraMm * kPixelsPorMm));
    altura = pl > 0 ? ArredondaRazao(pa * largura, pl) : 0;
  } else if (larguraMm != 0) {
    largura = Arredonda(larguraMm * kPixelsPorMm);
    altura = Arredonda(alturaMm * kPixelsPorMm);
  }
  largura = std::max<int64_t>(largura, 0);
  altura = std::max<int64_t>(altura, 0);
  if (!ImagemGravavel(static_cast<double>(largura), static_cast<double>(altura)))
    throw TFalhaImagem{ImagemNaoCabe(indice, "HTML", false)};
  TImagemRGB alvo(static_cast<int>(largura), static_cast<int>(altura));
  RedimensionaImagem(origem, alvo);
  std::istringstream bmp(ArquivoBMP(alvo));
  std::ostringstream base64;
  CodificaBase64(bmp, base64);
  doc << "<div style=\"left:" << Caracteres(d.Coluna - 1, *m.pitch)
      << "px;top:" << static_cast<int64_t>(d.Linha - 1) * m.alturaLinha
      << "px;\"><img src=\"data:jpeg;base64," << base64.view() << "\"></div>";
  return true;
}

// The document's sheets: a sheet opens at each new page, every entry with text becomes a
// positioned element.
class EscritorHTML : public TEscritorRelatorio {
 public:
  EscritorHTML(TRDprint& rd, platform::ByteSink& arquivo, const TMedidasHTML& m)
      : rd_(rd), arquivo_(arquivo), doc_(arquivo), m_(m) {}
  DocumentoHTML& Documento() { return doc_; }
  bool Entrada(std::string_view armazenada, const TComando* comando) override;
  // A cancelled export still ends the document it has written.
  TResultado Conclui(const TFimPercurso&) override {
    if (falha_) return *falha_;
    doc_ << kFim;
    if (!doc_.Esvazia() || !arquivo_.finish())
      return TResultado::Falha(TCaixa::Aplicacao, arquivo_.error().text);
    return TResultado::Sucesso();
  }

 private:
  bool Escreve(const TComando& d);

  TRDprint& rd_;
  platform::ByteSink& arquivo_;
  DocumentoHTML doc_;
  const TMedidasHTML& m_;
  int ultimaPagina_ = 0;  // the page of the open sheet; 0 before the first
  std::optional<TResultado> falha_;
};

// Opens the entry's sheet when it starts a page, writes it, and hands full blocks to the file.
bool EscritorHTML::Entrada(std::string_view armazenada, const TComando* comando) {
  const TComando& d = *comando;
  if (d.Texto.empty()) return true;
  if (d.Pagina != ultimaPagina_) {
    // The previous sheet closes only when one is open (the first entry may be on page 2).
    if (ultimaPagina_ != 0) doc_ << kFechaFolha;
    doc_ << kAbreFolha;
    ultimaPagina_ = d.Pagina;
  }
  try {
    if (!Escreve(d))
      rd_.ReportaErro("Erro #10 - (PARAMETROS INV\xC1LIDOS) Comando " + std::string(armazenada),
                      true);
  } catch (const TFalhaImagem& falha) {
    falha_ = TResultado::Falha(TCaixa::Aplicacao, falha.mensagem);
    return false;
  }
  if (doc_.Entrega()) return true;
  falha_ = TResultado::Falha(TCaixa::Aplicacao, arquivo_.error().text);
  return false;
}

// The element of one entry by its letter; false when its fields do not convert.
bool EscritorHTML::Escreve(const TComando& d) {
  switch (d.Codigo) {
    case 'G':
      return EscreveImagem(doc_, m_, d, rd_.Imagens);
    case 'H':
    case 'V':
    case 'F':
      return EscreveLinha(doc_, m_, d);
    case 'T':
    case 'D':
    case 'X':
      EscreveTexto(doc_, m_, d);
      return true;
    default:
      return true;
  }
}

}  // namespace

// Writes the page store as one HTML document.
bool TRDprint::GravaHTML(std::string ArquivoLocal) {
  return Comunica(EscreveHTML(std::move(ArquivoLocal)));
}

// The document through the atomic file sink, titled with the file's name.
TResultado TRDprint::EscreveHTML(std::string ArquivoLocal) {
  if (ArquivoLocal.empty()) ArquivoLocal = "RDprint.HTML";
  if (OnSave) OnSave(*this, ArquivoLocal);
  platform::SinkError erro;
  auto arquivo = platform::openFileSink(ArquivoLocal, erro);
  if (!arquivo) return TResultado::Falha(TCaixa::Aplicacao, erro.text);
  return EscreveHTML(*arquivo, platform::utf8ToCp1252(ArquivoLocal));
}

// The head from the component's properties, then the sheets through the writer.
TResultado TRDprint::EscreveHTML(platform::ByteSink& saida, const std::string& nome) {
  TMedidasHTML m;
  m.pitch = &Pitch(FonteTamanhoPadrao);
  m.alturaLinha = TamanhoQteLPP == TLinha::Seis ? 16 : 12;
  m.esquerda = static_cast<int>(Arredonda(Margens.Left * kPixelsPorMm));
  m.direita = static_cast<int>(Arredonda(Margens.Right * kPixelsPorMm));
  m.topo = static_cast<int>(Arredonda(Margens.Top * kPixelsPorMm));
  m.base = static_cast<int>(Arredonda(Margens.Bottom * kPixelsPorMm));
  m.larguraTexto = static_cast<int>(Caracteres(TamanhoQteColunas, *m.pitch));
  m.alturaTexto = TamanhoQteLinhas * m.alturaLinha;
  try {
    m.tinta = CorParaHex(OpcoesPreview.CorLetraPreview);
    m.corTinta = HexParaCor(m.tinta);
    m.papel = CorParaHex(OpcoesPreview.CorPapelPreview);
  } catch (const base::Exception& e) {
    // A system colour has no RGB digits.
    return TResultado::Falha(TCaixa::Aplicacao, e.Mensagem());
  }
  const TEstadoRelatorio& e = EstadoRelatorio();
  const size_t quantidade = e.paginas ? e.paginas->Quantidade() : 0;
  const TConfigProgresso config{"Gerando HTML...", nome, static_cast<int>(quantidade), CorForm,
                                CorFonte};
  EscritorHTML escritor(*this, saida, m);
  EscreveCabecalho(escritor.Documento(), m, nome);
  return PercorreEntradas(*this, config, true, escritor);
}

}  // namespace report
