// Character printers: the command sets of the printer models, the choice of a model from a printer
// name, the translation of one page into bytes and the output channel (a byte sink on a spooler
// job, a port, a device or a file).
#include <cerrno>

#include "base/Formato.h"
#include "base/Texto.h"
#include "platform/ByteSink.h"
#include "platform/Platform.h"
#include "report/RDestado.h"
#include "report/RDmodelos.h"
#include "report/RDpercurso.h"
#include "report/RDprint.h"
#include "report/RDtabelas.h"

namespace report {

// "Erro #03 - I/O " n " " port.
std::string MensagemIO(int erro, const std::string& porta) {
  return "Erro #03 - I/O " + std::to_string(erro) + " " + porta;
}

namespace {

// "Error " and the spooler's error number, then what the spooler said and what to do.
std::string MensagemSpooler(const platform::SinkError& erro) {
  std::string m = "Error " + std::to_string(erro.code);
  if (!erro.text.empty()) m += "\r\r" + erro.text;
  return m;
}

// The document start sequence: lines per inch, page length, reset and the default font.
std::string InicioDocumento(const TComandosImpressora& c) {
  return c.LinhasPorPolegada + c.TamanhoPagina + c.Reset + c.FontePadrao;
}

// A direct channel on `saida` (owned through `dono` when the channel opened it) with the start
// sequence sent; the numbered I/O error naming `nome` when the sink takes nothing.
TResultado AbreCanalDireto(std::unique_ptr<platform::ByteSink> dono, platform::ByteSink& saida,
                           const std::string& nome, bool arquivo) {
  TEstadoRelatorio& e = EstadoRelatorio();
  if (!saida.write(InicioDocumento(e.comandos)))
    return TResultado::Falha(TCaixa::Numerado, MensagemIO(saida.error().code, nome));
  e.canal = TCanal{std::move(dono), &saida, nome, false, arquivo};
  return TResultado::Sucesso();
}

// The text of an entry as a character printer receives it; false for the letters it has no
// bytes for (pictures, lines, frames).
bool TextoParaImpressora(const TRDprint& rd, const TComando& d, std::string& texto) {
  const char letra = d.Codigo;
  if (letra == 'G' || letra == 'H' || letra == 'V' || letra == 'F') return false;
  texto = rd.ConverteAcentos(d.Texto);
  if (letra == 'C') texto = ConverteCodigos(texto);
  if (letra == 'B' || letra == 'M') texto = ConverteMoldura(texto);
  return true;
}

// The bytes of one page for a character printer, entry after entry: line feeds down to the
// entry's line, spaces or backspaces to its column, its text with the attributes that differ
// from the default switched on around it and the default restored after it.
class PaginaCaracteres {
 public:
  explicit PaginaCaracteres(const TComandosImpressora& cs) : cs_(cs) {}
  std::string& Bytes() { return saida_; }
  // Appends an entry whose text is already in the printer's bytes. Text in another pitch than
  // the default is backspaced over, so the head stays on the default grid; raw codes take no
  // column.
  void Entrada(const TComando& d, std::string& texto) {
    for (; linha_ < d.Linha; ++linha_) {
      saida_ += "\x0A\x0D";
      coluna_ = 1;
    }
    for (; coluna_ < d.Coluna; ++coluna_) saida_ += ' ';
    for (; coluna_ > d.Coluna; --coluna_) saida_ += '\x08';
    const bool outros = d.Atributo != cs_.AtributoPadrao;
    const TAtributoDecomposto partes = DecompoeAtributo(outros ? d.Atributo : 0);
    if (partes.pitch && partes.pitch->cpi != cs_.CpiPadrao)
      texto.append(texto.size(), '\x08');
    else if (d.Codigo != 'C')
      coluna_ += static_cast<int>(texto.size());
    const size_t antes = saida_.size();
    for (const TLinhaAtributo& a : kAtributos)
      if (partes.bits.Contem(a.atributo)) saida_ += cs_.Sequencia(a.atributo);
    const bool prefixo = saida_.size() != antes;
    saida_ += texto;
    if (prefixo) {
      saida_ += cs_.Reset;
      saida_ += cs_.FontePadrao;
    }
  }

 private:
  const TComandosImpressora& cs_;
  int linha_ = 1, coluna_ = 1;
  std::string saida_;
};

}  // namespace

// Rebuilds the printer command set and the default attributes; always true.
bool TRDprint::ConfiguraComandos(TModelo Modelo, int Linhas, TLinha LPP) {
  TEstadoRelatorio& e = EstadoRelatorio();
  TComandosImpressora& c = e.comandos;
  const TLinhaPitch& padrao = Pitch(FonteTamanhoPadrao);
  if (Modelo == TModelo::Personalizado) {
    const TCustom& p = ImpressoraPersonalizada;
    c.LinhasPorPolegada = ConverteCodigos(LPP == TLinha::Seis ? p.AvancaSextos : p.AvancaOitavos);
    c.TamanhoPagina = ConverteCodigos(p.TamanhoPagina);
    c.SaltoPagina = ConverteCodigos(p.SaltoPagina);
    c.Reset = ConverteCodigos(p.Reset);
    c.Inicializar = ConverteCodigos(p.Inicializar);
    for (const TLinhaAtributo& a : kAtributos)
      c.Sequencia(a.atributo) = ConverteCodigos(p.*a.personalizado);
  } else {
    const TBytesModelo& t = *report::Modelo(Modelo).bytes;
    c.LinhasPorPolegada = LPP == TLinha::Seis ? t.seis : t.oito;
    c.TamanhoPagina = *t.tamanho ? std::string(t.tamanho) + static_cast<char>(Linhas & 0xFF) : "";
    c.SaltoPagina = t.salto;
    c.Reset = t.reset;
    c.Inicializar = t.inicializar;
    // At 5 cpi the HP expanded sequence stays what the command set held, whichever model set it.
    const std::string expandidoAntes = c.Sequencia(TAtributo::aExpandido);
    for (size_t i = 0; i < t.atributos.size(); ++i)
      c.Sequencia(static_cast<TAtributo>(i)) = t.atributos[i];
    if (Modelo == TModelo::HP) {
      c.TamanhoPagina = "\x1B&l" + base::FormatFloat("##0", Linhas) + "P";
      c.Sequencia(TAtributo::aExpandido) = padrao.expandidoHP ? padrao.expandidoHP : expandidoAntes;
    }
  }

  c.AtributosPadrao = TAtributos{padrao.atributo};
  for (const TLinhaEstilo& s : kEstilos)
    if (FonteEstiloPadrao.Contem(s.estilo)) c.AtributosPadrao.Inclui(s.atributo);
  c.AtributoPadrao = NumeroAtributo(c.AtributosPadrao);
  // Styles in increasing attribute value (italic, bold, underline), then the pitch.
  c.FontePadrao.clear();
  for (auto a = kAtributos.rbegin(); a != kAtributos.rend(); ++a)
    if (!a->pitch && c.AtributosPadrao.Contem(a->atributo))
      c.FontePadrao += c.Sequencia(a->atributo);
  c.FontePadrao += c.Sequencia(padrao.atributo);
  c.CpiPadrao = padrao.cpi;  // LarguraRelativa follows it
  return true;
}

// The model a text gives through Mapeamento: the first row whose key the upper-cased text
// holds; the graphic model when none does.
TModelo TRDprint::ModeloDoNome(const std::string& texto) const {
  const std::string nome = base::UpperCase(texto);
  TModelo modelo = TModelo::Grafico;
  for (const std::string& linha : Mapeamento) {
    if (base::Pos("=", linha) == 0 || linha.rfind("//", 0) == 0) continue;
    const std::string l = base::UpperCase(linha);
    const size_t igual = l.find('=');
    const std::string chave = l.substr(0, igual);
    if (base::Pos(chave, nome) == 0) continue;
    ModeloDaPalavra(l.substr(igual + 1), modelo);
    break;
  }
  return modelo;
}

// Chooses the printer model from a printer name through Mapeamento; when the name gives the
// graphic model, the description and the make and model of the platform's printer of that name
// are tried too (a queue "lx300" described as "Epson LX-300+" is an Epson).
void TRDprint::MapeiaImpressora(const std::string& NomeDispositivo) {
  platform::PrinterInfo impressora{NomeDispositivo, "", "", ""};
  if (!NomeDispositivo.empty() && ModeloDoNome(NomeDispositivo) == TModelo::Grafico) {
    const std::string procurado = base::UpperCase(NomeDispositivo);
    for (const platform::PrinterInfo& p : platform::current().printers()) {
      if (base::UpperCase(p.deviceName) != procurado) continue;
      impressora = p;
      break;
    }
  }
  MapeiaImpressora(impressora);
}

// The same for a printer at hand: its name, then its description, then its make and model.
void TRDprint::MapeiaImpressora(const platform::PrinterInfo& p) {
  Impressora = ModeloDoNome(p.deviceName);
  if (Impressora == TModelo::Grafico && !p.deviceName.empty()) {
    Impressora = ModeloDoNome(p.description);
    if (Impressora == TModelo::Grafico) Impressora = ModeloDoNome(p.makeAndModel);
  }
  ConfiguraComandos(Impressora, TamanhoQteLinhas, TamanhoQteLPP);
}

// Accent handling of a text on its way to the printer.
std::string TRDprint::ConverteAcentos(std::string_view Texto) const {
  if (Texto.empty()) return {};
  if (Acentuacao == TAcento::SemAcento || Impressora == TModelo::Rima) return RemoveAcentos(Texto);
  return AnsiParaOem(Texto);
}

// Opens the output channel and sends the document start sequence.
bool TRDprint::IniciaDocumento(const std::string& ArquivoSaida) {
  return Comunica(AbreDocumento(ArquivoSaida));
}

// The channel as a value: through the spooler, or straight to a port, a device or a file.
TResultado TRDprint::AbreDocumento(const std::string& ArquivoSaida) {
  TEstadoRelatorio& e = EstadoRelatorio();
  e.canal = TCanal{};
  platform::SinkError erro;

  if (UsaGerenciadorImpr && ArquivoSaida.empty()) {
    // Through the spooler as a raw job.
    auto impressora = platform::current().currentPrinter();
    const std::string nome = impressora ? impressora->deviceName : std::string();
    auto saida = platform::openSpoolerSink(nome, TitulodoRelatorio, erro);
    if (!saida) return TResultado::Falha(TCaixa::Erro, MensagemSpooler(erro));
    platform::ByteSink* fila = saida.get();
    e.canal = TCanal{std::move(saida), fila, nome, true, false};
    EnviaImpressora(InicioDocumento(e.comandos));
    return TResultado::Sucesso();
  }

  // Straight to a port, a device or a file (a printer file is always written directly: a spooler
  // job cannot be told to write into a file, and the bytes are the same).
  const std::string alvo = ArquivoSaida.empty() ? PortaComunicacao : ArquivoSaida;
  const std::string nome = PortaComunicacao.empty() ? alvo : PortaComunicacao;
  std::unique_ptr<platform::ByteSink> saida;
  if (alvo.empty())
    erro.code = ENOENT;
  else
    saida = platform::openPortSink(alvo, erro);
  if (!saida) return TResultado::Falha(TCaixa::Numerado, MensagemIO(erro.code, nome));
  platform::ByteSink& direta = *saida;
  return AbreCanalDireto(std::move(saida), direta, nome, !ArquivoSaida.empty());
}

// A printer file into the caller's sink.
TResultado TRDprint::AbreDocumento(platform::ByteSink& saida, const std::string& nome) {
  EstadoRelatorio().canal = TCanal{};
  return AbreCanalDireto(nullptr, saida, nome, true);
}

// Sends bytes on the open channel; false on any failure (not reported here).
bool TRDprint::EnviaImpressora(std::string_view Dados) {
  TCanal& canal = EstadoRelatorio().canal;
  if (!canal.saida) return false;
  return Dados.empty() ? !canal.saida->failed() : canal.saida->write(Dados);
}

// Sends the document end sequence and closes the channel.
bool TRDprint::FinalizaDocumento() { return Comunica(FechaDocumento()); }

// A printer file becomes visible only when every byte reached it; a cancelled one is dropped, so
// the old file stays.
TResultado TRDprint::FechaDocumento() {
  TEstadoRelatorio& e = EstadoRelatorio();
  if (!e.canal.saida) return TResultado::Interrompido();
  TCanal canal = std::move(e.canal);
  e.canal = TCanal{};
  if (canal.arquivo && e.cancelamento) return TResultado::Interrompido();
  canal.saida->write(e.comandos.Inicializar);
  if (canal.saida->finish()) return TResultado::Sucesso();
  const platform::SinkError& erro = canal.saida->error();
  if (canal.spooler) return TResultado::Falha(TCaixa::Erro, MensagemSpooler(erro));
  return TResultado::Falha(TCaixa::Numerado,
                           MensagemIO(erro.code, canal.nome) + DetalheFalha(*canal.saida));
}

// Translates one page of the store into printer bytes and sends them.
void TRDprint::ImprimePaginaTexto(int Pagina) {
  TEstadoRelatorio& e = EstadoRelatorio();
  platform::Platform& plataforma = platform::current();
  PaginaCaracteres pagina(e.comandos);
  // After a cancel request the bytes made so far still go out.
  auto cancelado = [&] {
    plataforma.processMessages();
    if (!e.cancelamento) return false;
    EnviaImpressora(pagina.Bytes());
    if (OnCancel) OnCancel(*this);
    return true;
  };

  // Collect the page's commands.
  std::vector<std::string> comandos;
  if (e.paginas && !e.paginas->ParaCadaDaPagina(Pagina, [&](std::string_view c) {
        if (cancelado()) return false;
        comandos.emplace_back(c);
        return true;
      }))
    return;

  TLeitorComandos leitor(*this);
  std::string texto;
  for (const std::string& comando : comandos) {
    if (cancelado()) return;
    // A command that does not decode, or that a character printer has no bytes for, is skipped.
    const TComando* d = leitor.Le(comando);
    if (!d || !TextoParaImpressora(*this, *d, texto)) continue;
    if (e.abortado) break;
    pagina.Entrada(*d, texto);
  }
  if (!e.abortado) pagina.Bytes() += e.comandos.SaltoPagina;
  EnviaImpressora(pagina.Bytes());
}

}  // namespace report
