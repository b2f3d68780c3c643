// The PDF writer: objects numbered and written in strictly increasing order (information, then
// each page's content stream and its length, outlines, the fourteen fonts, pages, resources,
// pictures, page objects, catalog), every line ended by CR LF, a cross-reference table of 20-byte
// entries and the trailer. Page contents are compressed when a page is closed; pictures are
// compressed as JPEG when they are added and kept in memory until the end of the document.
#include "report/RDPDF.h"

// libjpeg's headers in the order they need: <cstdio> for FILE, jpeglib.h, then jerror.h.
#include <cstdio>
// jpeglib.h:
#include <jpeglib.h>
// jerror.h:
#include <jerror.h>

#include <array>
#include <charconv>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <new>
#include <span>
#include <vector>

#include "platform/ByteSink.h"
#include "platform/Clock.h"
#include "report/RDPDFcompressao.h"

namespace report {

namespace {

const char* const kFontes[14] = {
    "Helvetica",   "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique",
    "Courier",     "Courier-Bold",   "Courier-Oblique",   "Courier-BoldOblique",
    "Times-Roman", "Times-Bold",     "Times-Italic",      "Times-BoldItalic",
    "Symbol",      "ZapfDingbats"};

// Appends a decimal integer.
void AnexaInteiro(std::string& s, int64_t v) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  s.append(buf, r.ptr);
}

// Appends a line end.
void Fim(std::string& s) { s += "\r\n"; }

// Appends a line.
void Linha(std::string& s, std::string_view texto) {
  s += texto;
  Fim(s);
}

// Appends the header line of object n.
void Cabecalho(std::string& s, int64_t n) {
  AnexaInteiro(s, n);
  Linha(s, " 0 obj");
}

// The numbers of a page repeat (columns, lines, scales, font sizes): the last texts made are kept
// in a small table indexed by the number's bits.
class TabelaNumeros {
 public:
  // Writes NumeroPDF(v) at destino the short way and returns the end; null when v needs the long
  // way.
  char* Escreve(char* destino, double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    Entrada& e = entradas_[(bits * 0x9E3779B97F4A7C15ull) >> 56];
    if (e.bits != bits || e.tamanho == 0) {
      char* fim = EscreveNumeroPDF(e.texto, v);
      if (!fim) return nullptr;
      e.bits = bits;
      e.tamanho = static_cast<uint8_t>(fim - e.texto);
    }
    std::memcpy(destino, e.texto, kNumeroPDFCurto);
    return destino + e.tamanho;
  }

 private:
  struct Entrada {
    uint64_t bits = 0;
    uint8_t tamanho = 0;  // 0: empty
    char texto[kNumeroPDFCurto];
  };
  Entrada entradas_[256];
};

// A few lines of operators assembled in a small buffer and appended to the page at once: a page
// is made of thousands of short pieces.
class Montagem {
 public:
  Montagem(std::string& destino, TabelaNumeros& numeros) : destino_(destino), numeros_(numeros) {}
  // A real number in the writer's number format.
  Montagem& N(double v) {
    Garante(kNumeroPDFCurto);
    if (char* fim = numeros_.Escreve(buffer_ + n_, v)) {
      n_ = static_cast<size_t>(fim - buffer_);
    } else {
      Fim();
      AnexaNumeroPDF(destino_, v);
    }
    return *this;
  }
  // A literal, copied as it is.
  template <size_t N>
  Montagem& T(const char (&t)[N]) {
    static_assert(N - 1 <= kBuffer);
    Garante(N - 1);
    std::memcpy(buffer_ + n_, t, N - 1);
    n_ += N - 1;
    return *this;
  }
  // A text escaped for a string literal.
  Montagem& Texto(std::string_view t) {
    Fim();
    AnexaTextoPDF(destino_, t);
    return *this;
  }
  // Appends what is assembled.
  void Fim() {
    destino_.append(buffer_, n_);
    n_ = 0;
  }

 private:
  static constexpr size_t kBuffer = 192;
  void Garante(size_t k) {
    if (n_ + k > kBuffer) Fim();
  }
  std::string& destino_;
  TabelaNumeros& numeros_;
  char buffer_[kBuffer];
  size_t n_ = 0;
};

// Where libjpeg writes: a growing block of memory the writer owns (libjpeg's own memory
// destination cannot be freed safely after an error).
struct DestinoJpeg {
  jpeg_destination_mgr pub;
  unsigned char* dados = nullptr;
  size_t capacidade = 0;
};

// Starts the destination with 64 KB.
void IniciaDestino(j_compress_ptr c) {
  auto* d = reinterpret_cast<DestinoJpeg*>(c->dest);
  d->capacidade = 1 << 16;
  d->dados = static_cast<unsigned char*>(std::malloc(d->capacidade));
  if (!d->dados) ERREXIT1(c, JERR_OUT_OF_MEMORY, 0);
  d->pub.next_output_byte = d->dados;
  d->pub.free_in_buffer = d->capacidade;
}

// Doubles the destination when it is full.
boolean EsvaziaDestino(j_compress_ptr c) {
  auto* d = reinterpret_cast<DestinoJpeg*>(c->dest);
  auto* maior = static_cast<unsigned char*>(std::realloc(d->dados, d->capacidade * 2));
  if (!maior) ERREXIT1(c, JERR_OUT_OF_MEMORY, 0);
  d->dados = maior;
  d->pub.next_output_byte = maior + d->capacidade;
  d->pub.free_in_buffer = d->capacidade;
  d->capacidade *= 2;
  return TRUE;
}

// Nothing to do at the end: the caller reads the bytes written.
void TerminaDestino(j_compress_ptr) {}

// libjpeg's failures come back here through a long jump with the library's message.
struct ErroJpeg {
  jpeg_error_mgr pub;
  std::jmp_buf salto;
  char mensagem[JMSG_LENGTH_MAX];
};

// Keeps the message and jumps back to the encoder's caller.
void SaiComErro(j_common_ptr c) {
  auto* e = reinterpret_cast<ErroJpeg*>(c->err);
  (*c->err->format_message)(c, e->mensagem);
  std::longjmp(e->salto, 1);
}

// Warnings are not shown.
void SemAviso(j_common_ptr) {}

// Compresses the picture as a baseline JPEG of 24-bit RGB at `qualidade`. On success `dados` and
// `tamanho` hold a block allocated with malloc; on failure `mensagem` holds libjpeg's text.
// No C++ object lives across the long jump.
bool ComprimeJpeg(const TImagemRGB& imagem, int qualidade, unsigned char*& dados, size_t& tamanho,
                  char* mensagem) {
  jpeg_compress_struct c;
  ErroJpeg erro;
  DestinoJpeg destino;
  c.err = jpeg_std_error(&erro.pub);
  erro.pub.error_exit = SaiComErro;
  erro.pub.output_message = SemAviso;
  if (setjmp(erro.salto)) {
    jpeg_destroy_compress(&c);
    std::free(destino.dados);
    std::snprintf(mensagem, JMSG_LENGTH_MAX, "%s", erro.mensagem);
    return false;
  }
  jpeg_create_compress(&c);
  destino.pub.init_destination = IniciaDestino;
  destino.pub.empty_output_buffer = EsvaziaDestino;
  destino.pub.term_destination = TerminaDestino;
  c.dest = &destino.pub;
  c.image_width = static_cast<JDIMENSION>(imagem.largura < 0 ? 0 : imagem.largura);
  c.image_height = static_cast<JDIMENSION>(imagem.altura < 0 ? 0 : imagem.altura);
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, qualidade, TRUE);
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW linha = const_cast<JSAMPROW>(imagem.Pixel(0, static_cast<int>(c.next_scanline)));
    jpeg_write_scanlines(&c, &linha, 1);
  }
  jpeg_finish_compress(&c);
  tamanho = destino.capacidade - destino.pub.free_in_buffer;
  dados = destino.dados;
  jpeg_destroy_compress(&c);
  return true;
}

// Why there is no document to work on.
std::string SemDocumento(const std::string& perdido) {
  return perdido.empty() ? "Nenhum documento PDF foi iniciado: chame BeginDoc antes." : perdido;
}

// The numbers of the objects written at the end, taken before the first of them is written
// (the page tree lists the page objects, which come after it).
struct NumerosFinais {
  int64_t arvore = 0, recursos = 0, contornos = 0;
  std::array<int64_t, 14> fontes{};
  std::vector<int64_t> imagens, paginas;
};

// A resource dictionary's entries "/<prefixo>1 <object> 0 R<fim>", "/<prefixo>2 ...", one a line.
void Recursos(std::string& s, const char* prefixo, std::span<const int64_t> objetos,
              const char* fim) {
  for (size_t k = 0; k < objetos.size(); ++k) {
    s += prefixo;
    AnexaInteiro(s, static_cast<int64_t>(k) + 1);
    s += ' ';
    AnexaInteiro(s, objetos[k]);
    Linha(s, fim);
  }
}

}  // namespace

// The document being written: the output buffer, the page content, the pictures and the numbers
// that tie the objects together. Every object number is taken from Novo, so the numbers written
// are always the ones the objects got.
struct TPrintPDF::Documento {
  // The content object of one page and the object holding its stream length.
  struct ObjetosPagina {
    int64_t conteudo, comprimento;
  };
  std::string saida;                   // the whole file so far
  std::string conteudo;                // the current page's operators, uncompressed
  std::vector<std::string> imagens;    // each picture's dictionary, "stream" and JPEG data
  std::vector<ObjetosPagina> paginas;  // the pages begun, in order
  std::vector<uint64_t> inicios{0};    // where object n starts, at n (0 unused)
  int64_t informacao = 0;              // the document information object
  TabelaNumeros numeros;
  CompressorPaginas compressor;

  // Assembles operators for the current page.
  Montagem Operadores() { return Montagem(conteudo, numeros); }

  // The next object number.
  int64_t Novo() {
    inicios.push_back(0);
    return static_cast<int64_t>(inicios.size()) - 1;
  }
  // Starts writing object n.
  void Abre(int64_t n) {
    inicios[static_cast<size_t>(n)] = saida.size();
    Cabecalho(saida, n);
  }
  // Appends the content object (stream data and its length object) of one finished page.
  void AnexaPagina(int64_t pagina, std::string_view dados, bool comprimido);
  // AnexaPagina as the compressor's output for the pages it finishes.
  CompressorPaginas::Saida Anexa() {
    return [this](int64_t pagina, std::string_view dados, bool comprimido) {
      AnexaPagina(pagina, dados, comprimido);
    };
  }

  // The objects of the end of the document, by kind.
  int64_t EscreveContornos();
  void EscreveFontes(NumerosFinais& n);
  void EscreveArvore(const NumerosFinais& n);
  void EscreveRecursos(const NumerosFinais& n);
  void EscreveImagens(const NumerosFinais& n);
  void EscrevePaginas(const NumerosFinais& n, int32_t largura, int32_t altura);
  int64_t EscreveCatalogo(const NumerosFinais& n);
  void EscreveReferencias(int64_t catalogo);
};

// Appends a page's content object and the object holding its stream length.
void TPrintPDF::Documento::AnexaPagina(int64_t pagina, std::string_view dados, bool comprimido) {
  const ObjetosPagina& o = paginas[static_cast<size_t>(pagina)];
  Abre(o.conteudo);
  saida += "<< /Length ";
  AnexaInteiro(saida, o.comprimento);
  Linha(saida, " 0 R");
  if (comprimido) Linha(saida, "/Filter [/FlateDecode]");
  Linha(saida, " >>");
  Linha(saida, "stream");
  saida += dados;
  Linha(saida, "endstream");
  Linha(saida, "endobj");
  Abre(o.comprimento);
  AnexaInteiro(saida, static_cast<int64_t>(dados.size()));
  Fim(saida);
  Linha(saida, "endobj");
}

// The (empty) outline tree.
int64_t TPrintPDF::Documento::EscreveContornos() {
  const int64_t contornos = Novo();
  Abre(contornos);
  Linha(saida, "<< /Type /Outlines");
  Linha(saida, "/Count 0");
  Linha(saida, ">>");
  Linha(saida, "endobj");
  return contornos;
}

// The fourteen standard fonts, /F1 to /F14.
void TPrintPDF::Documento::EscreveFontes(NumerosFinais& n) {
  for (size_t f = 0; f < n.fontes.size(); ++f) {
    n.fontes[f] = Novo();
    Abre(n.fontes[f]);
    Linha(saida, "<< /Type /Font");
    Linha(saida, "/Subtype /Type1");
    saida += "/Name /F";
    AnexaInteiro(saida, static_cast<int64_t>(f) + 1);
    Fim(saida);
    saida += "/BaseFont /";
    Linha(saida, kFontes[f]);
    Linha(saida, "/Encoding /WinAnsiEncoding");
    Linha(saida, ">>");
    Linha(saida, "endobj");
  }
}

// The page tree: every page object, and the count.
void TPrintPDF::Documento::EscreveArvore(const NumerosFinais& n) {
  Abre(n.arvore);
  Linha(saida, "<< /Type /Pages");
  Linha(saida, "/Kids [");
  for (int64_t pagina : n.paginas) {
    AnexaInteiro(saida, pagina);
    Linha(saida, " 0 R");
  }
  Linha(saida, "]");
  saida += "/Count ";
  AnexaInteiro(saida, static_cast<int64_t>(n.paginas.size()));
  Fim(saida);
  Linha(saida, ">>");
  Linha(saida, "endobj");
}

// The resources every page shares: the pictures /Im1 ... and the fonts /F1 to /F14.
void TPrintPDF::Documento::EscreveRecursos(const NumerosFinais& n) {
  Abre(n.recursos);
  Linha(saida, "<< /ProcSet [ /PDF /Text /ImageC]");
  Linha(saida, "/XObject << ");
  Recursos(saida, "/Im", n.imagens, " 0 R");
  Linha(saida, ">>");
  Linha(saida, "/Font << ");
  Recursos(saida, "/F", n.fontes, " 0 R ");
  Linha(saida, ">>");
  Linha(saida, ">>");
  Linha(saida, "endobj");
}

// The picture objects, each freed once written.
void TPrintPDF::Documento::EscreveImagens(const NumerosFinais& n) {
  for (size_t k = 0; k < imagens.size(); ++k) {
    Abre(n.imagens[k]);
    saida += imagens[k];
    Fim(saida);
    Linha(saida, "endstream");
    Linha(saida, "endobj");
    std::string().swap(imagens[k]);
  }
}

// The page objects: the tree, the media box, the content and the shared resources.
void TPrintPDF::Documento::EscrevePaginas(const NumerosFinais& n, int32_t largura, int32_t altura) {
  for (size_t k = 0; k < n.paginas.size(); ++k) {
    Abre(n.paginas[k]);
    Linha(saida, "<< /Type /Page");
    saida += "/Parent ";
    AnexaInteiro(saida, n.arvore);
    Linha(saida, " 0 R");
    saida += "/MediaBox [ 0 0 ";
    AnexaInteiro(saida, largura);
    saida += ' ';
    AnexaInteiro(saida, altura);
    Linha(saida, "]");
    saida += "/Contents ";
    AnexaInteiro(saida, paginas[k].conteudo);
    Linha(saida, " 0 R");
    saida += "/Resources ";
    AnexaInteiro(saida, n.recursos);
    Linha(saida, " 0 R");
    Linha(saida, ">>");
    Linha(saida, "endobj");
  }
}

// The catalog: the page tree and the outlines.
int64_t TPrintPDF::Documento::EscreveCatalogo(const NumerosFinais& n) {
  const int64_t catalogo = Novo();
  Abre(catalogo);
  Linha(saida, "<< /Type /Catalog");
  saida += "/Pages ";
  AnexaInteiro(saida, n.arvore);
  Linha(saida, " 0 R");
  saida += "/Outlines ";
  AnexaInteiro(saida, n.contornos);
  Linha(saida, " 0 R");
  Linha(saida, ">>");
  Linha(saida, "endobj");
  return catalogo;
}

// The cross-reference table of every object and the trailer.
void TPrintPDF::Documento::EscreveReferencias(int64_t catalogo) {
  const uint64_t xref = saida.size();
  const int64_t tamanho = static_cast<int64_t>(inicios.size());
  saida.reserve(saida.size() + static_cast<size_t>(tamanho) * 20 + 128);
  Linha(saida, "xref");
  saida += "0 ";
  AnexaInteiro(saida, tamanho);
  Fim(saida);
  Linha(saida, "0000000000 65535 f");
  for (size_t n = 1; n < inicios.size(); ++n) {
    char entrada[32];
    std::snprintf(entrada, sizeof entrada, "%010llu 00000 n\r\n",
                  static_cast<unsigned long long>(inicios[n]));
    saida += entrada;
  }
  Linha(saida, "trailer");
  saida += "<< /Size ";
  AnexaInteiro(saida, tamanho);
  Fim(saida);
  saida += "/Root ";
  AnexaInteiro(saida, catalogo);
  Linha(saida, " 0 R");
  saida += "/Info ";
  AnexaInteiro(saida, informacao);
  Linha(saida, " 0 R");
  Linha(saida, ">>");
  Linha(saida, "startxref");
  AnexaInteiro(saida, static_cast<int64_t>(xref));
  Fim(saida);
  Linha(saida, "%%EOF");
}

// Creates the writer with its defaults.
TPrintPDF::TPrintPDF(TRDprint*) {}

// Frees the document, if one is still in memory.
TPrintPDF::~TPrintPDF() = default;

// Keeps the reason of a failure; always false.
bool TPrintPDF::Falha(std::string mensagem) {
  erro_ = std::move(mensagem);
  return false;
}

// Drops the document after a failure that leaves it incomplete; always false.
bool TPrintPDF::Perde(std::string mensagem) {
  doc_.reset();
  perdido_ = mensagem;
  return Falha(std::move(mensagem));
}

// Starts a new document: header, information object, page 1 with the line width.
bool TPrintPDF::BeginDoc() {
  erro_.clear();
  perdido_.clear();
  try {
    doc_ = std::make_unique<Documento>();
    Documento& d = *doc_;
    PageNumber_ = 1;
    d.compressor.Configura(Compress);
    Linha(d.saida, "%PDF-1.4");
    const base::DataHora agora = platform::now();
    char data[32];
    std::snprintf(data, sizeof data, "%04d%02d%02d%02d%02d%02d", agora.ano, agora.mes, agora.dia,
                  agora.hora, agora.minuto, agora.segundo);
    std::string& s = d.saida;
    // The information values are escaped like any text, so that a title holding "(" or ")"
    // keeps the file readable; values without special characters keep their bytes.
    auto valor = [&s](std::string_view nome, std::string_view texto) {
      s += nome;
      s += " (";
      AnexaTextoPDF(s, texto);
      Linha(s, ")");
    };
    d.informacao = d.Novo();
    d.Abre(d.informacao);
    Linha(s, "<<");
    valor("/Producer", Producer);
    valor("/Author", Author);
    s += "/CreationDate (D:";
    s += data;
    Linha(s, ")");
    valor("/Creator", Creator);
    valor("/Keywords", Keywords);
    valor("/Subject", Subject);
    valor("/Title", Title);
    Linha(s, "/ModDate ()");
    Linha(s, ">>");
    Linha(s, "endobj");
    IniciaConteudo();
    SetLineWidth(LineWidth);
    return true;
  } catch (const std::bad_alloc&) {
    return Perde(
        "Mem\xF3ria insuficiente para criar o PDF: feche outros programas e tente de novo.");
  }
}

// Takes the object numbers of the current page's content and its length.
void TPrintPDF::IniciaConteudo() {
  Documento& d = *doc_;
  const int64_t conteudo = d.Novo();
  d.paginas.push_back({conteudo, d.Novo()});
  d.conteudo = std::string();  // the last page's went to the compressor
  d.conteudo.reserve(1 << 15);
}

// Hands the finished page to the compressor; the objects go out in page order.
void TPrintPDF::TerminaConteudo() {
  Documento& d = *doc_;
  d.compressor.Entrega(static_cast<int64_t>(d.paginas.size()) - 1, std::move(d.conteudo),
                       d.Anexa());
}

// Closes the current page and starts the next, with the document's line width.
void TPrintPDF::NewPage() {
  if (!doc_) return;
  ++PageNumber_;
  TerminaConteudo();
  IniciaConteudo();
  SetLineWidth(LineWidth);
}

// Completes the file and saves it as FileName.
bool TPrintPDF::EndDoc() {
  if (!doc_) return Falha(SemDocumento(perdido_));
  if (!MontaFim()) return false;
  std::string arquivo = std::move(doc_->saida);
  doc_.reset();
  return SalvaArquivo(FileName, arquivo);
}

// Completes the file and writes it into a sink.
bool TPrintPDF::EndDoc(platform::ByteSink& destino) {
  if (!doc_) return Falha(SemDocumento(perdido_));
  if (!MontaFim()) return false;
  std::string arquivo = std::move(doc_->saida);
  doc_.reset();
  if (destino.write(arquivo) && destino.finish()) return true;
  return Falha(destino.error().text);
}

// Saves the finished file through the atomic-file sink: a failed save leaves the old file whole.
bool TPrintPDF::SalvaArquivo(const std::string& caminho, std::string_view bytes) {
  platform::SinkError erro;
  std::unique_ptr<platform::ByteSink> saida = platform::openFileSink(caminho, erro);
  if (saida && saida->write(bytes) && saida->finish()) return true;
  if (saida) erro = saida->error();
  return Falha(erro.text);  // names the file, the reason and what to check
}

// Ends the last page and appends outlines, fonts, the page tree, resources, pictures, page
// objects, catalog, cross-reference table and trailer.
bool TPrintPDF::MontaFim() {
  Documento& d = *doc_;
  try {
    TerminaConteudo();
    d.compressor.Termina(d.Anexa());
    if (!d.compressor.Erro().empty()) return Perde(d.compressor.Erro());
    NumerosFinais n;
    n.contornos = d.EscreveContornos();
    d.EscreveFontes(n);
    n.arvore = d.Novo();
    n.recursos = d.Novo();
    for (size_t k = 0; k < d.imagens.size(); ++k) n.imagens.push_back(d.Novo());
    for (size_t k = 0; k < d.paginas.size(); ++k) n.paginas.push_back(d.Novo());
    d.EscreveArvore(n);
    d.EscreveRecursos(n);
    d.EscreveImagens(n);
    d.EscrevePaginas(n, PageWidth, PageHeight);
    d.EscreveReferencias(d.EscreveCatalogo(n));
    return true;
  } catch (const std::bad_alloc&) {
    return Perde(
        "Mem\xF3ria insuficiente para completar o PDF: feche outros programas e tente de novo.");
  }
}

// Starts a path at (x, y).
void TPrintPDF::MoveTo(double x, double y) {
  if (!doc_) return;
  doc_->Operadores().N(x).N(PageHeight - y).T("m\r\n").Fim();
}

// Extends the path to (x, y).
void TPrintPDF::LineTo(double x, double y) {
  if (!doc_) return;
  doc_->Operadores().N(x).N(PageHeight - y).T("l\r\n").Fim();
}

// A stroked line from (x1, y1) to (x2, y2).
void TPrintPDF::DrawLine(double x1, double y1, double x2, double y2) {
  if (!doc_) return;
  doc_->Operadores()
      .N(x1)
      .N(PageHeight - y1)
      .T("m\r\n")
      .N(x2)
      .N(PageHeight - y2)
      .T("l\r\nS\r\n")
      .Fim();
}

// A stroked rectangle.
void TPrintPDF::DrawRectangle(double x, double y, double width, double height) {
  if (!doc_) return;
  doc_->Operadores().N(x).N(PageHeight - y).N(width).N(height).T("re S\r\n").Fim();
}

// Appends a line of operators.
void TPrintPDF::WriteCommand(std::string_view comando) {
  if (doc_) Linha(doc_->conteudo, comando);
}

// Sets the line width.
void TPrintPDF::SetLineWidth(double width) {
  if (!doc_) return;
  doc_->Operadores().N(width).T(" w\r\n").Fim();
}

// Writes a colour as three fractions and the operator.
void TPrintPDF::LinhaRGB(TColor cor, const char* operador) {
  if (!doc_) return;
  const uint32_t rgb = CorRGB(cor);
  doc_->Operadores()
      .N((rgb & 0xFF) / 255.0)
      .N(((rgb >> 8) & 0xFF) / 255.0)
      .N(((rgb >> 16) & 0xFF) / 255.0)
      .Fim();
  Linha(doc_->conteudo, operador);
}

// Sets the colour text is filled with.
void TPrintPDF::SetFillColor(TColor cor) { LinhaRGB(cor, "rg"); }

// Sets the colour lines are stroked with.
void TPrintPDF::SetStrokeColor(TColor cor) { LinhaRGB(cor, "RG"); }

// One text object: scale, font, position, optional rotation, the escaped string.
void TPrintPDF::TextOut(std::string_view texto, double x, double y, bool rotacionado,
                        double escala) {
  if (!doc_) return;
  Montagem m = doc_->Operadores();
  m.T("BT\r\n");
  if (escala != 0) m.N(escala).T("Tz\r\n");
  m.T("/F").N(Font.FontIndex + 1).N(Font.Size).T("Tf\r\n");
  m.N(x).N(PageHeight - y).T("Td\r\n");
  if (rotacionado) m.T("0.71 0.71 -0.71 0.71 ").N(x).N(PageHeight - y).T("Tm\r\n");
  m.T("(").Texto(texto).T(") Tj\r\nET\r\n").Fim();
}

// Compresses the picture, keeps its image object for the end of the document and draws it.
bool TPrintPDF::DrawBitmap(const TImagemRGB& bitmap, double x, double y) {
  if (!doc_) return Falha(SemDocumento(perdido_));
  if (JPEGQuality < 1 || JPEGQuality > 100)
    return Falha("Range check error: JPEGQuality " + std::to_string(JPEGQuality) +
                 " (a qualidade JPEG vai de 1 a 100).");
  if (bitmap.largura < 0 || bitmap.altura < 0 ||
      bitmap.pixels.size() < static_cast<size_t>(bitmap.largura) * bitmap.altura * 3)
    return Falha("Imagem incompleta para o PDF: " + std::to_string(bitmap.largura) + " x " +
                 std::to_string(bitmap.altura) + " pixels sem os bytes de todos eles.");
  unsigned char* jpeg = nullptr;
  size_t tamanho = 0;
  char mensagem[JMSG_LENGTH_MAX] = {};
  if (!ComprimeJpeg(bitmap, JPEGQuality, jpeg, tamanho, mensagem))
    return Falha(std::string("Erro JPEG: ") + mensagem);
  struct Libera {
    unsigned char* p;
    ~Libera() { std::free(p); }
  } libera{jpeg};
  try {
    Documento& d = *doc_;
    const int64_t k = static_cast<int64_t>(d.imagens.size()) + 1;
    std::string objeto;
    objeto.reserve(tamanho + 256);
    Linha(objeto, "<< /Type /XObject");
    Linha(objeto, "/Subtype /Image");
    objeto += "/Width ";
    AnexaInteiro(objeto, bitmap.largura);
    Fim(objeto);
    objeto += "/Height ";
    AnexaInteiro(objeto, bitmap.altura);
    Fim(objeto);
    Linha(objeto, "/ColorSpace /DeviceRGB");
    Linha(objeto, "/BitsPerComponent 8");
    objeto += "/Length ";
    AnexaInteiro(objeto, static_cast<int64_t>(tamanho));
    Fim(objeto);
    objeto += "/Name /Im";
    AnexaInteiro(objeto, k);
    Fim(objeto);
    Linha(objeto, "/Filter [/DCTDecode]");
    Linha(objeto, ">>");
    Linha(objeto, "stream");
    objeto.append(reinterpret_cast<const char*>(jpeg), tamanho);
    d.imagens.push_back(std::move(objeto));

    const double largura = bitmap.largura * 0.75, altura = bitmap.altura * 0.75;
    d.Operadores()
        .T("q\r\n")
        .N(largura)
        .T("0 0 ")
        .N(altura)
        .N(x)
        .N(PageHeight - y - altura)
        .T("cm\r\n/Im")
        .Fim();
    AnexaInteiro(d.conteudo, k);
    Linha(d.conteudo, " Do Q");
    return true;
  } catch (const std::bad_alloc&) {
    return Perde(
        "Mem\xF3ria insuficiente para a imagem do PDF: feche outros programas e tente de novo.");
  }
}

}  // namespace report
