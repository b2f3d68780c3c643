// The PDF export: every entry of the page store drawn through the PDF writer, in points, on the
// report's character grid (6 points per character at 12 characters per inch, 12 or 9 points per
// line), with the standard Courier fonts for text and vector strokes for lines, frames and
// semigraphics.
#include <cmath>
#include <memory>
#include <new>
#include <optional>

#include "base/Erros.h"
#include "platform/ByteSink.h"
#include "platform/CodePage.h"
#include "platform/Platform.h"
#include "report/RDPDF.h"
#include "report/RDcomando.h"
#include "report/RDestado.h"
#include "report/RDpercurso.h"
#include "report/RDprint.h"

namespace report {

namespace {

const char kErroCriacao[] = "Erro na cria\xE7\xE3o do PDF...\r\rArquivo: ";
const char kSemMemoria[] =
    "Mem\xF3ria insuficiente para gerar o PDF: feche outros programas e tente de novo.";

// The pitch-dependent values of the export, read only here: the width factor of the report's
// default pitch (from the page metrics) and the horizontal text scale in percent of a pitch
// (1200 / cpi; expanded text is twice the report's default width).
double FatorLargura() { return EstadoRelatorio().folha.FatorLargura; }
double EscalaHorizontal(int cpi) { return cpi == 5 ? FatorLargura() * 200 : 1200.0 / cpi; }

// ROUND of the export: to the nearest integer, halves to even.
int Arredonda(double v) { return static_cast<int>(std::nearbyint(v)); }

// A failure after the document has started: the message for the application's error box.
struct FalhaExportacao {
  std::string mensagem;
};

// The terms a semigraphic stroke is made of, one letter each: 0, the cell width W, half the cell
// width w, w - 1 (m) and w + 1 (M), the line height L, half of it e, e - 1 (h) and e + 1 (H).
struct Glifo {
  char codigo;
  const char* tracos[8];  // four terms each: from (a, b) to (c, d)
};

const Glifo kGlifos[] = {
    {'=', {"0hWh", "0HWH"}},
    {'I', {"m0mL", "M0ML"}},
    {'#', {"0hmh", "0HmH", "MhWh", "MHWH", "m0mh", "mHmL", "M0Mh", "MHML"}},
    {'[', {"m0mL", "MhWh", "MHWH", "M0Mh", "MHML"}},
    {']', {"M0ML", "0hmh", "0HmH", "m0mh", "mHmL"}},
    {'T', {"0hWh", "0HmH", "MHWH", "mHmL", "MHML"}},
    {'V', {"0HWH", "0hmh", "MhWh", "m0mh", "M0Mh"}},
    {'A', {"mhWh", "MHWH", "mhmL", "MHML"}},
    {'B', {"0hMh", "0HmH", "MhML", "mHmL"}},
    {'C', {"0hmh", "0HMH", "m0mh", "M0MH"}},
    {'D', {"m0mH", "M0Mh", "mHWH", "MhWh"}},
    {'-', {"0eWe"}},
    {'i', {"w0wL"}},
    {'+', {"0eWe", "w0wL"}},
    {'t', {"0eWe", "wewL"}},
    {'v', {"0eWe", "wew0"}},
    {'<', {"w0wL", "weWe"}},
    {'>', {"w0wL", "0ewe"}},
    {'a', {"weWe", "wewL"}},
    {'b', {"0ewe", "wewL"}},
    {'c', {"0ewe", "w0we"}},
    {'d', {"w0we", "weWe"}},
};

// The strokes of each character (null for characters that draw nothing).
const Glifo* const* TabelaGlifos() {
  static const Glifo* tabela[256] = {};
  static const bool pronta = [] {
    for (const Glifo& g : kGlifos) tabela[static_cast<unsigned char>(g.codigo)] = &g;
    return true;
  }();
  (void)pronta;
  return tabela;
}

// One export: the writer, the geometry and the state carried from entry to entry.
class ExportacaoPDF {
 public:
  ExportacaoPDF(TRDprint& rd, TPrintPDF& pdf) : rd_(rd), pdf_(pdf) {
    const double fator = FatorLargura();
    LH = rd.TamanhoQteLPP == TLinha::Seis ? 12.0 : 9.0;
    CW = CB * fator;
    MW = CB * 0.5 * fator;
    MH = LH * 0.5;
    auto pontos = [](int mm) { return Arredonda(mm * 72 / 25.4); };
    margemEsquerda = pontos(rd.Margens.Left);
    margemDireita = pontos(rd.Margens.Right);
    margemSuperior = pontos(rd.Margens.Top);
    margemInferior = pontos(rd.Margens.Bottom);
    largura = Arredonda(rd.TamanhoQteColunas * CB * fator) + margemEsquerda + margemDireita;
    altura = Arredonda(rd.TamanhoQteLinhas * LH) + margemSuperior + margemInferior;
  }

  // Draws one decoded entry.
  void Entrada(const TComando& d);

  static constexpr double CB = 6.0;  // the base cell width
  double LH, CW, MW, MH;
  int margemEsquerda, margemDireita, margemSuperior, margemInferior;
  int largura, altura;

 private:
  struct Ponto {
    double x, y;
  };
  void Caminho(std::initializer_list<Ponto> pontos);
  void Imagem(const TComando& d, double x);
  void Linhas(const TComando& d, double x);
  void LinhaHorizontal(double cx, double cy, double xf, bool dupla, int estilo);
  void LinhaVertical(double x, double cx, double cy, double yf, bool dupla, int estilo);
  void Semigrafico(const std::string& texto, double x, double yb);
  void Texto(const TComando& d, double x, double yb);
  double Termo(char t) const;

  TRDprint& rd_;
  TPrintPDF& pdf_;
  int pagina_ = 1;
  TColor traco_ = clNone;
  TColor preenchimento_ = clNone;
};

// Page change, picture, stroke colour, then the letter's drawing.
void ExportacaoPDF::Entrada(const TComando& d) {
  const double x = (d.Coluna - 1) * CW + margemEsquerda;
  const double yb = d.Linha * LH + margemSuperior - 3;
  if (d.Pagina != pagina_) {
    pdf_.NewPage();
    pagina_ = d.Pagina;
    traco_ = preenchimento_ = clNone;
  }
  if (d.Codigo == 'G') Imagem(d, x);
  if (d.Cor != traco_) {
    pdf_.SetStrokeColor(d.Cor);
    traco_ = d.Cor;
  }
  switch (d.Codigo) {
    case 'H':
    case 'V':
    case 'F':
      Linhas(d, x);
      break;
    case 'B':
      Semigrafico(d.Texto, x, yb);
      break;
    case 'T':
    case 'D':
    case 'X':
      if (!d.Texto.empty()) Texto(d, x, yb);
      break;
    default:
      break;
  }
}

// One path through the points.
void ExportacaoPDF::Caminho(std::initializer_list<Ponto> pontos) {
  bool primeiro = true;
  for (const Ponto& p : pontos) {
    if (primeiro)
      pdf_.MoveTo(p.x, p.y);
    else
      pdf_.LineTo(p.x, p.y);
    primeiro = false;
  }
}

// A "G" entry: the picture resized to its size in pixels and drawn from the cell's top left.
void ExportacaoPDF::Imagem(const TComando& d, double x) {
  // Every field is converted (raising a conversion error) before the index is checked.
  const TFiguraComando campos = DecodificaFigura(d);
  const int32_t indice = campos.Indice.Valor();
  const int32_t larguraMm = campos.Largura.Valor();
  const int32_t alturaMm = campos.Altura.Valor();
  if (indice < 0 || static_cast<size_t>(indice) >= rd_.Imagens.size() || !rd_.Imagens[indice])
    throw FalhaExportacao{"List index out of bounds (" + std::to_string(indice) + ")"};
  const TImagemRGB& original = *rd_.Imagens[indice];
  const double K = 96 / 25.4;
  const double bw = original.largura, bh = original.altura;
  double w, h;
  if (larguraMm == 0 && alturaMm == 0) {
    w = bw;
    h = bh;
  } else if (larguraMm != 0 && alturaMm != 0) {
    w = std::nearbyint(larguraMm * K);
    h = std::nearbyint(alturaMm * K);
  } else if (larguraMm != 0) {
    w = std::trunc(larguraMm * K);
    h = std::nearbyint(bh * w / bw);
  } else {
    h = std::nearbyint(alturaMm * K);
    w = std::nearbyint(bw * h / bh);
  }
  // A picture must have pixels, and no more than the files take.
  if (!(w >= 1 && h >= 1 && ImagemGravavel(w, h)))
    throw FalhaExportacao{ImagemNaoCabe(indice, "PDF", true)};
  TImagemRGB bitmap(static_cast<int>(w), static_cast<int>(h));
  RedimensionaImagem(original, bitmap);
  const double yt = (d.Linha - 1) * LH + margemSuperior;
  if (!pdf_.DrawBitmap(bitmap, x, yt)) throw FalhaExportacao{pdf_.Erro()};
}

// An "H" line from (cx, cy) to (xf, cy), single or double, with its end style.
void ExportacaoPDF::LinhaHorizontal(double cx, double cy, double xf, bool dupla, int estilo) {
  if (!dupla) {
    switch (estilo) {
      case 0:
        Caminho({{cx, cy}, {xf, cy}});
        break;
      case 1:
        Caminho({{cx, cy + MH}, {cx, cy}, {xf, cy}, {xf, cy + MH}});
        break;
      case 2:
        Caminho({{cx, cy - MH}, {cx, cy}, {xf, cy}, {xf, cy - MH}});
        break;
      case 3:
        Caminho({{cx, cy}, {xf, cy}});
        Caminho({{cx, cy - MH}, {cx, cy + MH}});
        Caminho({{xf, cy - MH}, {xf, cy + MH}});
        break;
    }
  } else {
    switch (estilo) {
      case 0:
        Caminho({{cx, cy - 1}, {xf, cy - 1}});
        Caminho({{cx, cy + 1}, {xf, cy + 1}});
        break;
      case 1:
        Caminho({{cx - 1, cy + MH}, {cx - 1, cy - 1}, {xf + 1, cy - 1}, {xf + 1, cy + MH}});
        Caminho({{cx + 1, cy + MH}, {cx + 1, cy + 1}, {xf - 1, cy + 1}, {xf - 1, cy + MH}});
        break;
      case 2:
        Caminho({{cx - 1, cy - MH}, {cx - 1, cy + 1}, {xf + 1, cy + 1}, {xf + 1, cy - MH}});
        Caminho({{cx + 1, cy - MH}, {cx + 1, cy - 1}, {xf - 1, cy - 1}, {xf - 1, cy - MH}});
        break;
      case 3:
        Caminho({{cx + 1, cy - MH}, {cx + 1, cy - 1}, {xf - 1, cy - 1}, {xf - 1, cy - MH}});
        Caminho({{cx + 1, cy + MH}, {cx + 1, cy + 1}, {xf - 1, cy + 1}, {xf - 1, cy + MH}});
        Caminho({{cx - 1, cy + MH}, {cx - 1, cy - MH}});
        Caminho({{xf + 1, cy + MH}, {xf + 1, cy - MH}});
        break;
    }
  }
}

// A "V" line from (cx, cy) to (cx, yf). Its side ticks run over one base cell from the cell's left
// edge x, whatever the width factor.
void ExportacaoPDF::LinhaVertical(double x, double cx, double cy, double yf, bool dupla,
                                  int estilo) {
  const double xt = x + CB;
  if (!dupla) {
    switch (estilo) {
      case 0:
        Caminho({{cx, cy}, {cx, yf}});
        break;
      case 1:
        Caminho({{xt, cy}, {cx, cy}, {cx, yf}, {xt, yf}});
        break;
      case 2:
        Caminho({{x, cy}, {cx, cy}, {cx, yf}, {x, yf}});
        break;
      case 3:
        Caminho({{cx, cy}, {cx, yf}});
        Caminho({{x, cy}, {xt, cy}});
        Caminho({{x, yf}, {xt, yf}});
        break;
    }
  } else {
    switch (estilo) {
      case 0:
        Caminho({{cx - 1, cy}, {cx - 1, yf}});
        Caminho({{cx + 1, cy}, {cx + 1, yf}});
        break;
      case 1:
        Caminho({{xt, cy - 1}, {cx - 1, cy - 1}, {cx - 1, yf + 1}, {xt, yf + 1}});
        Caminho({{xt, cy + 1}, {cx + 1, cy + 1}, {cx + 1, yf - 1}, {xt, yf - 1}});
        break;
      case 2:
        Caminho({{x, cy - 1}, {cx + 1, cy - 1}, {cx + 1, yf + 1}, {x, yf + 1}});
        Caminho({{x, cy + 1}, {cx - 1, cy + 1}, {cx - 1, yf - 1}, {x, yf - 1}});
        break;
      case 3:
        Caminho({{xt, cy + 1}, {cx + 1, cy + 1}, {cx + 1, yf - 1}, {xt, yf - 1}});
        Caminho({{x, cy + 1}, {cx - 1, cy + 1}, {cx - 1, yf - 1}, {x, yf - 1}});
        Caminho({{x, cy - 1}, {xt, cy - 1}});
        Caminho({{x, yf + 1}, {xt, yf + 1}});
        break;
    }
  }
}

// "H", "V" and "F": paths through the cell centres (a double line 1 point on either side).
void ExportacaoPDF::Linhas(const TComando& d, double x) {
  const TLinhaComando l = DecodificaLinha(d);
  const int32_t linhaFinal = l.LinhaFinal.Valor();
  const int32_t colunaFinal = l.ColunaFinal.Valor();
  const bool dupla = l.Dupla;
  const double cx = (d.Coluna - 0.5) * CW + margemEsquerda;
  const double cy = (d.Linha - 0.5) * LH + margemSuperior;
  const double dx = (colunaFinal - d.Coluna) * CW;
  const double dy = (linhaFinal - d.Linha) * LH;
  if (d.Codigo == 'F') {
    if (dupla) {
      pdf_.DrawRectangle(cx - 1, cy + dy + 1, dx + 2, dy + 2);
      pdf_.DrawRectangle(cx + 1, cy + dy - 1, dx - 2, dy - 2);
    } else {
      pdf_.DrawRectangle(cx, cy + dy, dx, dy);
    }
    return;
  }
  // The end style belongs to H and V only (a frame's is never read); a text that ends before it
  // draws style 0.
  const int estilo = l.Estilo.Presente() ? l.Estilo.Valor() : 0;
  if (d.Codigo == 'H')
    LinhaHorizontal(cx, cy, cx + dx, dupla, estilo);
  else
    LinhaVertical(x, cx, cy, cy + dy, dupla, estilo);
  pdf_.WriteCommand("S");
}

// The value of one term of a semigraphic stroke.
double ExportacaoPDF::Termo(char t) const {
  switch (t) {
    case 'W':
      return CW;
    case 'w':
      return MW;
    case 'm':
      return MW - 1;
    case 'M':
      return MW + 1;
    case 'L':
      return LH;
    case 'e':
      return MH;
    case 'h':
      return MH - 1;
    case 'H':
      return MH + 1;
    default:
      return 0;
  }
}

// A "B" entry: each character's strokes as separate lines in its cell.
void ExportacaoPDF::Semigrafico(const std::string& texto, double x, double yb) {
  const Glifo* const* tabela = TabelaGlifos();
  const double B0 = yb - 8;
  for (size_t j = 0; j < texto.size(); ++j) {
    const Glifo* g = tabela[static_cast<unsigned char>(texto[j])];
    if (!g) continue;
    const double X0 = x + static_cast<double>(j) * CW;
    for (const char* t : g->tracos) {
      if (!t) break;
      pdf_.DrawLine(X0 + Termo(t[0]), B0 + Termo(t[1]), X0 + Termo(t[2]), B0 + Termo(t[3]));
    }
  }
}

// A text entry in Courier, scaled to its pitch, underlined when asked.
void ExportacaoPDF::Texto(const TComando& d, double x, double yb) {
  pdf_.Font.Size = 10;
  pdf_.Font.FontIndex = static_cast<uint8_t>(4 + (d.Negrito ? 1 : 0) + (d.Italico ? 2 : 0));
  const double escala = EscalaHorizontal(d.Cpi);
  if (d.Cor != preenchimento_) {
    pdf_.SetFillColor(d.Cor);
    preenchimento_ = d.Cor;
  }
  pdf_.TextOut(d.Texto, x, yb, false, escala);
  if (d.Sublinhado) {
    const double n = static_cast<double>(d.Texto.size());
    pdf_.DrawLine(x, yb + 1.2, x + n * CB * escala / 100, yb + 1.2);
  }
}

// The message of the export failure being handled (rethrows what the export does not know).
std::string FalhaCorrente() {
  try {
    throw;
  } catch (const FalhaExportacao& f) {
    return f.mensagem;
  } catch (const base::Exception& ex) {
    return ex.Mensagem();
  } catch (const std::bad_alloc&) {
    return kSemMemoria;
  } catch (const std::exception& ex) {
    return ex.what();
  }
}

// The export fed entry by entry; the document ends when the walk does, also when cancelled.
class EscritorPDF : public TEscritorRelatorio {
 public:
  EscritorPDF(TPrintPDF& pdf, ExportacaoPDF& exportacao, platform::ByteSink& saida)
      : pdf_(pdf), exportacao_(exportacao), saida_(saida) {}
  bool Entrada(std::string_view, const TComando* comando) override {
    try {
      exportacao_.Entrada(*comando);
      return true;
    } catch (...) {
      falha_ = FalhaCorrente();
      return false;
    }
  }
  TResultado Conclui(const TFimPercurso&) override {
    if (!falha_) {
      try {
        if (pdf_.EndDoc(saida_)) return TResultado::Sucesso();
        falha_ = pdf_.Erro();
      } catch (...) {
        falha_ = FalhaCorrente();
      }
    }
    return TResultado::Falha(TCaixa::Aplicacao, *falha_);
  }

 private:
  TPrintPDF& pdf_;
  ExportacaoPDF& exportacao_;
  platform::ByteSink& saida_;
  std::optional<std::string> falha_;  // what stopped the export
};

}  // namespace

// Exports every page of the store as a PDF file; true when the file was written.
bool TRDprint::GravaPDF(std::string ArquivoLocal) {
  return Comunica(EscrevePDF(std::move(ArquivoLocal)));
}

// The document through the atomic file sink, which takes the file's place once it is whole.
TResultado TRDprint::EscrevePDF(std::string ArquivoLocal) {
  if (ArquivoLocal.empty()) ArquivoLocal = "RDprint.PDF";
  if (OnSave) OnSave(*this, ArquivoLocal);
  platform::SinkError erro;
  auto arquivo = platform::openFileSink(ArquivoLocal, erro);
  if (!arquivo) return TResultado::Falha(TCaixa::Aplicacao, erro.text);
  return EscrevePDF(*arquivo, platform::utf8ToCp1252(ArquivoLocal));
}

// The writer started with the document properties, then every entry through it; the finished
// document goes into the sink in one piece.
TResultado TRDprint::EscrevePDF(platform::ByteSink& saida, const std::string& nome) {
  // The writer is created, given the document properties and started; a failure there writes
  // nothing.
  std::unique_ptr<TPrintPDF> pdf;
  std::unique_ptr<ExportacaoPDF> exportacao;
  bool iniciado = false;
  try {
    pdf = std::make_unique<TPrintPDF>(this);
    exportacao = std::make_unique<ExportacaoPDF>(*this, *pdf);
    pdf->Title = TitulodoRelatorio;
    pdf->Producer = "RDPrint PDF Export";
    pdf->Creator = "RDPrint - Deltress Sistemas";
    pdf->Author.clear();
    pdf->Keywords.clear();
    pdf->Subject = "Relat\xF3rio Criado com RDprint 6.1c";
    pdf->PageWidth = exportacao->largura;
    pdf->PageHeight = exportacao->altura;
    pdf->JPEGQuality = 95;
    pdf->LineWidth = 0.75;
    pdf->Compress = true;
    iniciado = pdf->BeginDoc();
  } catch (const std::bad_alloc&) {
    iniciado = false;
  }
  if (!iniciado) return TResultado::Falha(TCaixa::Erro, kErroCriacao + nome);
  const TEstadoRelatorio& e = EstadoRelatorio();
  const size_t quantidade = e.paginas ? e.paginas->Quantidade() : 0;
  const TConfigProgresso config{"Gerando PDF...", nome, static_cast<int>(quantidade), CorForm,
                                CorFonte};
  EscritorPDF escritor(*pdf, *exportacao, saida);
  return PercorreEntradas(*this, config, true, escritor);
}

}  // namespace report
