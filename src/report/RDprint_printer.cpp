// Character printers: the command sets of the printer models, the choice of a model from a printer
// name, the translation of one page into bytes and the output channel (spooler job, port, device
// or file).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/Erros.h"
#include "base/Formato.h"
#include "base/Texto.h"
#include "platform/Platform.h"
#include "report/RDestado.h"
#include "report/RDprint.h"

namespace report {

namespace {

// The fixed sequences of one model, in the order of TComandosImpressora.
struct TabelaModelo {
  const char *seis, *oito, *tamanho, *salto, *negrito, *italico, *sublinhado, *expandido;
  const char *cpi10, *cpi12, *cpi15, *cpi17, *cpi20, *reset, *inicializar;
};

const TabelaModelo kEpson = {
    "\x1B\x32",         "\x1B\x30",
    "\x1B\x43",         "\x0C",
    "\x1B\x47",         "\x1B\x34",
    "\x1B\x2D\x31",     "\x1B\x57\x31",
    "\x12\x1B\x50",     "\x12\x1B\x4D",
    "\x1B\x50\x1B\x0F", "\x1B\x50\x1B\x0F",
    "\x1B\x4D\x1B\x0F", "\x1B\x50\x12\x1B\x57\x30\x1B\x35\x1B\x48\x1B\x2D\x30",
    "\x1B\x40"};
const TabelaModelo kRima = {"\x1B\x32",     "\x1B\x30",
                            "\x1B\x43",     "\x0C",
                            "\x1B\x45",     "\x1B\x34",
                            "\x1B\x2D\x31", "\x1B\x0E",
                            "\x1E\x30",     "\x1E\x32",
                            "\x1E\x34",     "\x1E\x34",
                            "\x1E\x35",     "\x1E\x30\x1B\x35\x1B\x46\x1B\x2D\x30",
                            "\x1B\x40"};
const TabelaModelo kHP = {"\x1B&l6D",
                          "\x1B&l8D",
                          "",
                          "\x1B&l0H",
                          "\x1B(s3B",
                          "\x1B(s1S",
                          "\x1B&d0D",
                          "",
                          "\x1B(s10H",
                          "\x1B(s12H",
                          "\x1B(s15H",
                          "\x1B(s16.67H",
                          "\x1B(s20H",
                          "\x1B(s0B\x1B(s0S\x1B&d@\x1B(s10H\x1B(12U\x1B&l0L",
                          "\x1B"
                          "E"};
const TabelaModelo kDaruma = {
    "\x1B\x33\x21", "\x1B\x32",
    "\x1B\x43",     "\x0A",
    "\x1B\x47",     "\x1B\x34\x31",
    "\x1B\x2D\x31", "\x1B\x57\x31",
    "\x0E",         "\x0E",
    "\x0E",         "\x0E",
    "\x0F",         "\x0E\x0C\x1B\x57\x32\x1B\x34\x30\x1B\x46\x1B\x2D\x30",
    "\x1B\x40"};

// The model named in a mapping row, or false when the name is not recognised.
bool ModeloPorNome(const std::string& nome, TModelo& m) {
  if (nome == "EPSON" || nome == "ESCP")
    m = TModelo::Epson;
  else if (nome == "RIMA" || nome == "EMILIA")
    m = TModelo::Rima;
  else if (nome == "HP" || nome == "PCL")
    m = TModelo::HP;
  else if (nome == "GRAFICO" || nome == "WINDOWS")
    m = TModelo::Grafico;
  else if (nome == "CUSTOM" || nome == "OUTRO" || nome == "PERSONALIZADO")
    m = TModelo::Personalizado;
  else if (nome == "BOBINA")
    m = TModelo::Bobina;
  else if (nome == "DARUMA")
    m = TModelo::Daruma;
  else
    return false;
  return true;
}

// "Erro #03 - I/O " n " " port.
std::string MensagemIO(int erro, const std::string& porta) {
  return "Erro #03 - I/O " + std::to_string(erro) + " " + porta;
}

// "Error " and the spooler's error number, then what the spooler said and what to do.
std::string MensagemSpooler(const platform::SinkError& erro) {
  std::string m = "Error " + std::to_string(erro.code);
  if (!erro.text.empty()) m += "\r\r" + erro.text;
  return m;
}

}  // namespace

// Rebuilds the printer command set and the default attributes; always true.
bool TRDprint::ConfiguraComandos(TModelo Modelo, int Linhas, TLinha LPP) {
  TEstadoRelatorio& e = EstadoRelatorio();
  TComandosImpressora& c = e.comandos;
  const int n = Linhas & 0xFF;
  auto usa = [&](const TabelaModelo& t) {
    c.LinhasPorPolegada = LPP == TLinha::Seis ? t.seis : t.oito;
    c.TamanhoPagina = std::string(t.tamanho) + static_cast<char>(n);
    c.SaltoPagina = t.salto;
    c.Negrito = t.negrito;
    c.Italico = t.italico;
    c.Sublinhado = t.sublinhado;
    c.Expandido = t.expandido;
    c.Normal10 = t.cpi10;
    c.Comprimir12 = t.cpi12;
    c.Comprimir15 = t.cpi15;
    c.Comprimir17 = t.cpi17;
    c.Comprimir20 = t.cpi20;
    c.Reset = t.reset;
    c.Inicializar = t.inicializar;
  };
  switch (Modelo) {
    case TModelo::Epson:
      usa(kEpson);
      break;
    case TModelo::Rima:
      usa(kRima);
      break;
    case TModelo::Daruma:
      usa(kDaruma);
      break;
    case TModelo::HP: {
      usa(kHP);
      c.TamanhoPagina = "\x1B&l" + base::FormatFloat("##0", Linhas) + "P";
      switch (FonteTamanhoPadrao) {
        case TSize::S10cpp:
          e.expandidoHP = "\x1B(s5H";
          break;
        case TSize::S12cpp:
          e.expandidoHP = "\x1B(s6H";
          break;
        case TSize::S17cpp:
          e.expandidoHP = "\x1B(s8.33H";
          break;
        case TSize::S20cpp:
          e.expandidoHP = "\x1B(s10H";
          break;
        case TSize::S15cpp:
          e.expandidoHP = "\x1B(s6.66H";
          break;
        case TSize::S05cpp:
          break;  // keeps the value it had
      }
      c.Expandido = e.expandidoHP;
      break;
    }
    case TModelo::Personalizado: {
      const TCustom& p = ImpressoraPersonalizada;
      c.LinhasPorPolegada = ConverteCodigos(LPP == TLinha::Seis ? p.AvancaSextos : p.AvancaOitavos);
      c.TamanhoPagina = ConverteCodigos(p.TamanhoPagina);
      c.SaltoPagina = ConverteCodigos(p.SaltoPagina);
      c.Negrito = ConverteCodigos(p.Negrito);
      c.Italico = ConverteCodigos(p.Italico);
      c.Sublinhado = ConverteCodigos(p.Sublinhado);
      c.Expandido = ConverteCodigos(p.Expandido);
      c.Normal10 = ConverteCodigos(p.Normal10);
      c.Comprimir12 = ConverteCodigos(p.Comprimir12);
      c.Comprimir15 = ConverteCodigos(p.Comprimir15);
      c.Comprimir17 = ConverteCodigos(p.Comprimir17);
      c.Comprimir20 = ConverteCodigos(p.Comprimir20);
      c.Reset = ConverteCodigos(p.Reset);
      c.Inicializar = ConverteCodigos(p.Inicializar);
      break;
    }
    case TModelo::Grafico:
    case TModelo::Bobina: {
      c.LinhasPorPolegada = c.TamanhoPagina = c.SaltoPagina = c.Negrito = c.Italico = c.Sublinhado =
          "";
      c.Expandido = c.Normal10 = c.Comprimir12 = c.Comprimir15 = c.Comprimir17 = c.Comprimir20 = "";
      c.Reset = c.Inicializar = "";
      break;
    }
  }

  static const TAtributo pitches[] = {TAtributo::aExpandido,   TAtributo::aNormal10,
                                      TAtributo::aComprimir12, TAtributo::aComprimir17,
                                      TAtributo::aComprimir20, TAtributo::aComprimir15};
  static const int cpis[] = {5, 10, 12, 17, 20, 15};
  const int t = static_cast<int>(FonteTamanhoPadrao);
  c.AtributosPadrao = TAtributos{pitches[t]};
  if (FonteEstiloPadrao.Contem(TEstilo::Snegrito)) c.AtributosPadrao.Inclui(TAtributo::aNegrito);
  if (FonteEstiloPadrao.Contem(TEstilo::Sitalico)) c.AtributosPadrao.Inclui(TAtributo::aItalico);
  if (FonteEstiloPadrao.Contem(TEstilo::Ssublinhado))
    c.AtributosPadrao.Inclui(TAtributo::aSublinhado);
  c.AtributoPadrao = NumeroAtributo(c.AtributosPadrao);
  const std::string* pitchSeq[] = {&c.Expandido,   &c.Normal10,    &c.Comprimir12,
                                   &c.Comprimir17, &c.Comprimir20, &c.Comprimir15};
  c.FontePadrao.clear();
  if (FonteEstiloPadrao.Contem(TEstilo::Sitalico)) c.FontePadrao += c.Italico;
  if (FonteEstiloPadrao.Contem(TEstilo::Snegrito)) c.FontePadrao += c.Negrito;
  if (FonteEstiloPadrao.Contem(TEstilo::Ssublinhado)) c.FontePadrao += c.Sublinhado;
  c.FontePadrao += *pitchSeq[t];
  c.CpiPadrao = cpis[t];
  const double cpi = c.CpiPadrao;
  c.Largura5 = 2.0;
  c.Largura10 = cpi / 10;
  c.Largura12 = cpi / 12;
  c.Largura15 = cpi / 15;
  c.Largura17 = cpi / 17.1;
  c.Largura20 = cpi / 20;
  return true;
}

// Chooses the printer model from a printer name through Mapeamento; when the name gives the
// graphic model, the description and the make and model of the platform's printer of that name
// are tried too (a queue "lx300" described as "Epson LX-300+" is an Epson).
void TRDprint::MapeiaImpressora(const std::string& NomeDispositivo) {
  auto modeloDoNome = [this](const std::string& texto) {
    const std::string nome = base::UpperCase(texto);
    TModelo modelo = TModelo::Grafico;
    for (const std::string& linha : Mapeamento) {
      if (base::Pos("=", linha) == 0 || linha.rfind("//", 0) == 0) continue;
      const std::string l = base::UpperCase(linha);
      const size_t igual = l.find('=');
      const std::string chave = l.substr(0, igual);
      if (base::Pos(chave, nome) == 0) continue;
      ModeloPorNome(l.substr(igual + 1), modelo);
      break;
    }
    return modelo;
  };
  Impressora = modeloDoNome(NomeDispositivo);
  if (Impressora == TModelo::Grafico && !NomeDispositivo.empty()) {
    const std::string procurado = base::UpperCase(NomeDispositivo);
    for (const platform::PrinterInfo& p : platform::current().printers()) {
      if (base::UpperCase(p.deviceName) != procurado) continue;
      Impressora = modeloDoNome(p.description);
      if (Impressora == TModelo::Grafico) Impressora = modeloDoNome(p.makeAndModel);
      break;
    }
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
  TEstadoRelatorio& e = EstadoRelatorio();
  TCanalSaida& canal = e.canal;
  if (canal.dispositivo >= 0) ::close(canal.dispositivo);
  canal = TCanalSaida{};
  const TComandosImpressora& c = e.comandos;
  const std::string inicio = c.LinhasPorPolegada + c.TamanhoPagina + c.Reset + c.FontePadrao;

  if (UsaGerenciadorImpr && ArquivoSaida.empty()) {
    // Through the spooler as a raw job.
    auto impressora = platform::current().currentPrinter();
    platform::SinkError erro;
    canal.trabalho = platform::current().startRawJob(
        impressora ? impressora->deviceName : std::string(), TitulodoRelatorio, erro);
    if (!canal.trabalho || !canal.trabalho->startPage()) {
      if (canal.trabalho) erro = canal.trabalho->error();
      canal = TCanalSaida{};
      CaixaErro(MensagemSpooler(erro));
      return false;
    }
    canal.nome = impressora ? impressora->deviceName : std::string();
    EnviaImpressora(inicio);
    return true;
  }

  // Straight to a port, a device or a file (a printer file is always written directly: a spooler
  // job cannot be told to write into a file, and the bytes are the same).
  const std::string alvo = ArquivoSaida.empty() ? PortaComunicacao : ArquivoSaida;
  canal.nome = PortaComunicacao.empty() ? alvo : PortaComunicacao;
  struct stat st;
  try {
    if (!alvo.empty() && ::stat(alvo.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
      canal.dispositivo = ::open(alvo.c_str(), O_WRONLY | O_CLOEXEC);
      if (canal.dispositivo < 0) throw base::ErroDeArquivo(errno);
    } else {
      if (alvo.empty()) throw base::ErroDeArquivo(ENOENT);
      canal.arquivo = std::make_unique<platform::AtomicFileWriter>(alvo);
    }
  } catch (const base::EInOutError& erro) {
    std::string nome = canal.nome;
    canal = TCanalSaida{};
    ReportaErro(MensagemIO(erro.Codigo(), nome));
    return false;
  }
  EnviaImpressora(inicio);
  if (canal.erro != 0) {
    int erro = canal.erro;
    std::string nome = canal.nome;
    if (canal.dispositivo >= 0) ::close(canal.dispositivo);
    canal = TCanalSaida{};
    ReportaErro(MensagemIO(erro, nome));
    return false;
  }
  return true;
}

// Sends bytes on the open channel; false on any failure (not reported here).
bool TRDprint::EnviaImpressora(std::string_view Dados) {
  TCanalSaida& canal = EstadoRelatorio().canal;
  if (Dados.empty()) return canal.Aberto();
  if (canal.trabalho) return canal.trabalho->write(std::string(Dados));
  if (canal.arquivo) {
    if (canal.erro != 0) return false;
    try {
      canal.arquivo->write(Dados);
      return true;
    } catch (const base::EInOutError& erro) {
      canal.erro = erro.Codigo();
      return false;
    }
  }
  if (canal.dispositivo >= 0) {
    size_t feito = 0;
    while (feito < Dados.size()) {
      ssize_t n = ::write(canal.dispositivo, Dados.data() + feito, Dados.size() - feito);
      if (n < 0) {
        if (errno == EINTR) continue;
        if (canal.erro == 0) canal.erro = errno;
        return false;
      }
      feito += static_cast<size_t>(n);
    }
    return true;
  }
  return false;
}

// Sends the document end sequence and closes the channel; a file becomes visible only when every
// byte reached it.
bool TRDprint::FinalizaDocumento() {
  TEstadoRelatorio& e = EstadoRelatorio();
  TCanalSaida& canal = e.canal;
  if (!canal.Aberto()) return false;
  EnviaImpressora(e.comandos.Inicializar);
  TCanalSaida fechando = std::move(canal);
  canal = TCanalSaida{};
  if (fechando.trabalho) {
    fechando.trabalho->endPage();
    if (!fechando.trabalho->finish()) {
      CaixaErro(MensagemSpooler(fechando.trabalho->error()));
      return false;
    }
    return true;
  }
  int erro = fechando.erro;
  if (fechando.arquivo && erro == 0) {
    try {
      fechando.arquivo->commit();
    } catch (const base::EInOutError& falha) {
      erro = falha.Codigo();
    }
  }
  if (fechando.dispositivo >= 0 && ::close(fechando.dispositivo) != 0 && erro == 0) erro = errno;
  if (erro != 0) {
    ReportaErro(MensagemIO(erro, fechando.nome));
    return false;
  }
  return true;
}

// Translates one page of the store into printer bytes and sends them.
void TRDprint::ImprimePaginaTexto(int Pagina) {
  TEstadoRelatorio& e = EstadoRelatorio();
  platform::Platform& plataforma = platform::current();
  std::string saida;  // bytes sent so far in this page, handed to the channel at each return
  auto envia = [&] {
    EnviaImpressora(saida);
    saida.clear();
  };
  auto cancelado = [&] {
    plataforma.processMessages();
    if (!e.cancelamento) return false;
    envia();
    if (OnCancel) OnCancel(*this);
    return true;
  };

  // Collect the page's commands.
  std::vector<std::string> comandos;
  if (e.paginas) {
    char prefixo[8];
    std::snprintf(prefixo, sizeof prefixo, "%04d", Pagina);
    const TPaginasRelatorio& p = *e.paginas;
    for (auto pos = p.PrimeiraComPrefixo(prefixo); pos != p.Fim(); p.Avanca(pos)) {
      if (cancelado()) return;
      std::string_view c = p.Em(pos);
      if (ComparaComando(c.substr(0, 4), prefixo) != 0) break;
      comandos.emplace_back(c);
    }
  }

  const TComandosImpressora& cs = e.comandos;
  int linha = 1, coluna = 1;
  std::string buffer, texto, prefixoAtributos;
  for (const std::string& comando : comandos) {
    if (cancelado()) return;
    if (!DecodificaComando(comando)) continue;  // a command that does not decode is skipped
    const TComandoDecodificado& d = e.atual;
    texto = ConverteAcentos(d.Texto);
    const char letra = d.Codigo;
    if (letra == 'G' || letra == 'H' || letra == 'V' || letra == 'F') continue;
    if (letra == 'C') texto = ConverteCodigos(texto);
    if (letra == 'B' || letra == 'M') texto = ConverteMoldura(texto);
    while (linha < d.Linha) {
      if (e.abortado) return envia();
      saida += "\x0A\x0D";
      ++linha;
      coluna = 1;
    }
    for (; coluna < d.Coluna; ++coluna) buffer += ' ';
    for (; coluna > d.Coluna; --coluna) buffer += '\x08';
    prefixoAtributos.clear();
    int pitch = cs.CpiPadrao;
    if (d.Atributo != cs.AtributoPadrao) {
      int resto = d.Atributo;
      auto parte = [&](int valor, const std::string& seq, int cpi) {
        if (resto < valor) return;
        resto -= valor;
        prefixoAtributos += seq;
        if (cpi) pitch = cpi;
      };
      pitch = 0;
      parte(256, cs.Comprimir15, 15);
      parte(128, cs.Comprimir20, 20);
      parte(64, cs.Comprimir17, 17);
      parte(32, cs.Comprimir12, 12);
      parte(16, cs.Normal10, 10);
      parte(8, cs.Expandido, 5);
      parte(4, cs.Sublinhado, 0);
      parte(2, cs.Negrito, 0);
      parte(1, cs.Italico, 0);
      if (pitch == 0) pitch = cs.CpiPadrao;
    }
    if (pitch != cs.CpiPadrao)
      texto.append(texto.size(), '\x08');
    else if (letra != 'C')
      coluna += static_cast<int>(texto.size());
    if (!prefixoAtributos.empty()) {
      buffer += prefixoAtributos;
      buffer += texto;
      buffer += cs.Reset;
      buffer += cs.FontePadrao;
    } else {
      buffer += texto;
    }
    if (e.abortado) return envia();
    saida += buffer;
    buffer.clear();
  }
  if (!e.abortado) saida += cs.SaltoPagina;
  envia();
}

}  // namespace report
