// The report files: the RDP file (written and read back), the text file and the printer file.
// Files are written through the atomic file sink: a failed or cancelled write leaves the previous
// file whole. A report file is read whole (regular files only, with a size limit) and parsed from
// memory.
#include <cerrno>
#include <memory>

#include "base/Formato.h"
#include "platform/ByteSink.h"
#include "platform/CodePage.h"
#include "platform/ReadFile.h"
#include "report/RDestado.h"
#include "report/RDprint.h"
#include "report/RDprogresso.h"
#include "report/RDtabelas.h"

namespace report {

namespace {

const char kCabecalho6[] = "<< RDprint 6.0 - Deltress Sistemas >>";
const char kCabecalho5[] = "<< RDprint 5.0 - Deltress Sistemas >>";
const char kCabecalho4[] = "<< RDprint 4.0 - Deltress Inform\xE1tica >>";
const char kAvisoEdicao[] = "<< ESTE  ARQUIVO N\xC3O DEVE SER EDITADO >>";
const char kErroAbertura[] = "Erro na abertura do arquivo...\r\rArquivo: ";
const char kErroAberturaMaiuscula[] = "Erro na Abertura do arquivo...\r\rArquivo: ";
const char kErroControle[] = "Erro na grava\xE7\xE3o do Registro de Controle...";
const char kErroGravacao[] =
    "Erro na grava\xE7"
    "ao do arquivo...\r\rArquivo: ";
const char kFormatoInvalido[] = "Formato do arquivo \xE9 inv\xE1lido...";
const char kErroContagem[] = "RDPrint: Erro no controle, relat\xF3rio pode causar erro";
const char kPrnGrafico[] =
    "O arquivo de impressora n\xE3o pode ser gerado para o modelo gr\xE1"
    "fico...";

// A file name as it appears in a message (file names are UTF-8, messages Windows-1252).
std::string NomeNaMensagem(const std::string& arquivo) { return platform::utf8ToCp1252(arquivo); }

// The line of an open error that says why: the reader's text without the file name it starts
// with (the message names the file already).
std::string Motivo(const platform::ReadError& erro, const std::string& nome) {
  std::string_view t = erro.text;
  if (t.substr(0, nome.size()) == nome) t.remove_prefix(nome.size());
  while (!t.empty() && (t.front() == ':' || t.front() == ' ')) t.remove_prefix(1);
  return "Motivo: " + std::string(t);
}

// A number line of the RDP file.
std::string SeisDigitos(int64_t v) { return base::FormatFixo("000000", v, 0); }

// Whether a command line has the fixed fields of the page command layout (page, line, column and
// attribute numbers, code letter, six hexadecimal colour digits).
bool ComandoBemFormado(std::string_view c) {
  if (c.size() < 20) return false;
  for (size_t i = 0; i < 13; ++i)
    if (c[i] < '0' || c[i] > '9') return false;
  for (size_t i = 14; i < 20; ++i) {
    char h = c[i];
    if (!((h >= '0' && h <= '9') || (h >= 'A' && h <= 'F') || (h >= 'a' && h <= 'f'))) return false;
  }
  return true;
}

// Buffers output lines (each ended by CR LF) and hands them to a sink in large pieces.
class SaidaLinhas {
 public:
  explicit SaidaLinhas(platform::ByteSink& s) : s_(s) { buffer_.reserve(kBloco + 4096); }
  // Appends a line; false once the sink has failed.
  bool Linha(std::string_view l) {
    buffer_ += l;
    buffer_ += "\r\n";
    return buffer_.size() < kBloco || Esvazia();
  }
  // Hands the buffered lines to the sink.
  bool Esvazia() {
    bool ok = s_.write(buffer_);
    buffer_.clear();
    return ok;
  }

 private:
  static constexpr size_t kBloco = 1 << 16;
  platform::ByteSink& s_;
  std::string buffer_;
};

// Lines ended by CR LF (or LF) of bytes in memory; past the end every line reads empty.
class EntradaLinhas {
 public:
  explicit EntradaLinhas(std::string_view bytes) : resto_(bytes) {}
  // The next line without its end; false (and an empty line) past the end.
  bool Le(std::string_view& linha) {
    if (resto_.empty()) {
      linha = {};
      return false;
    }
    const size_t fim = resto_.find('\n');
    linha = resto_.substr(0, fim);
    resto_.remove_prefix(fim == std::string_view::npos ? resto_.size() : fim + 1);
    if (!linha.empty() && linha.back() == '\r') linha.remove_suffix(1);
    return true;
  }

 private:
  std::string_view resto_;
};

}  // namespace

// The common start of the writers: default name, the last page's foot, OnSave.
void TRDprint::Prologo(std::string& arquivo, const char* padrao) {
  if (arquivo.empty()) arquivo = padrao;
  if (RodapePendente) {
    RodapePendente = false;
    if (OnBeforeNewPage) OnBeforeNewPage(*this, EstadoRelatorio().PaginaAtual);
  }
  if (OnSave) OnSave(*this, arquivo);
}

// Writes the report's settings and page store as an RDP file.
bool TRDprint::GravaRDP(std::string ArquivoLocal) {
  Prologo(ArquivoLocal, "RDprint.RDP");
  TEstadoRelatorio& e = EstadoRelatorio();
  const std::string nome = NomeNaMensagem(ArquivoLocal);
  platform::SinkError erro;
  auto arquivo = platform::openFileSink(ArquivoLocal, erro);
  if (!arquivo) {
    CaixaErro(kErroAbertura + nome);
    return false;
  }
  const size_t quantidade = e.paginas ? e.paginas->Quantidade() : 0;
  std::string estilos;
  for (const TLinhaEstilo& s : kEstilos)
    if (FonteEstiloPadrao.Contem(s.estilo)) estilos += s.letraRDP;
  std::string controle;
  for (const std::string& linha : {std::string(kCabecalho6), std::string(kAvisoEdicao),
                                   SeisDigitos(static_cast<int64_t>(quantidade)), TitulodoRelatorio,
                                   SeisDigitos(TamanhoQteLinhas), SeisDigitos(TamanhoQteColunas),
                                   std::string(TamanhoQteLPP == TLinha::Seis ? "6" : "8"),
                                   "F" + std::string(Pitch(FonteTamanhoPadrao).digitos), estilos})
    controle += linha + "\r\n";
  if (!arquivo->write(controle)) {
    CaixaErro(kErroControle + nome);
    return false;
  }

  TConfigProgresso config{"Gravando...", nome, static_cast<int>(quantidade), CorForm, CorFonte};
  ProgressoRelatorio progresso(*this, MostrarProgresso, config);
  SaidaLinhas saida(*arquivo);
  if (e.paginas) {
    const TPaginasRelatorio& p = *e.paginas;
    for (auto pos = p.Inicio(); pos != p.Fim(); p.Avanca(pos)) {
      if (!progresso.Entrada()) return false;  // cancelled: the old file stays
      if (!saida.Linha(p.Em(pos))) {
        CaixaErro(kErroGravacao + nome);
        return false;
      }
    }
  }
  if (!saida.Esvazia() || !arquivo->finish()) {
    CaixaErro(kErroGravacao + nome + DetalheFalha(*arquivo));
    return false;
  }
  return true;
}

// Loads an RDP file into the page store and the settings it carries.
bool TRDprint::LeRDP(std::string ArquivoLocal) {
  if (OnLoad) OnLoad(*this, ArquivoLocal);
  if (ArquivoLocal.empty()) return false;
  const std::string nome = NomeNaMensagem(ArquivoLocal);
  std::string bytes;
  platform::ReadError erro;
  if (!platform::readRegularFile(ArquivoLocal, kLimiteArquivoRDP, bytes, erro)) {
    // Something that is no report file at all (a folder, a device, a file far too large) is
    // also told why; a file that could not be opened or read gets the usual box.
    std::string texto = kErroAberturaMaiuscula + nome;
    if (erro.notRegular || erro.code == EFBIG) texto += "\r" + Motivo(erro, nome);
    CaixaErro(texto);
    return false;
  }
  return LeRDPDeMemoria(bytes, nome);
}

// Reads the bytes of an RDP file: control lines into the settings, command lines into the store.
bool TRDprint::LeRDPDeMemoria(std::string_view bytes, const std::string& nome) {
  TEstadoRelatorio& e = EstadoRelatorio();
  EntradaLinhas entrada(bytes);
  std::string_view linha;
  entrada.Le(linha);
  if (linha != kCabecalho6 && linha != kCabecalho5 && linha != kCabecalho4) {
    CaixaErro(kFormatoInvalido);
    return false;
  }
  // Lines 3, 5 and 6 are numbers; lines and columns must fit their 3-digit command fields.
  auto numero = [&](int32_t& v, bool dimensao) {
    entrada.Le(linha);
    return base::TryStrToInt(linha, v) && (!dimensao || (v >= 1 && v <= 999));
  };
  int32_t esperado = 0, linhas = 0, colunas = 0;
  entrada.Le(linha);  // the warning line
  if (!numero(esperado, false)) return CaixaErro(kFormatoInvalido), false;
  entrada.Le(linha);
  TitulodoRelatorio = std::string(linha);
  if (!numero(linhas, true)) return CaixaErro(kFormatoInvalido), false;
  TamanhoQteLinhas = linhas;
  if (!numero(colunas, true)) return CaixaErro(kFormatoInvalido), false;
  TamanhoQteColunas = colunas;
  entrada.Le(linha);
  TamanhoQteLPP = linha == "6" ? TLinha::Seis : TLinha::Oito;
  entrada.Le(linha);
  if (linha.size() == 3 && linha[0] == 'F')
    if (const TLinhaPitch* p = PitchPorDigitos(linha.substr(1))) FonteTamanhoPadrao = p->tamanho;
  entrada.Le(linha);
  FonteEstiloPadrao = TStyle{};
  for (const TLinhaEstilo& s : kEstilos)
    if (linha.find(s.letraRDP) != std::string_view::npos) FonteEstiloPadrao.Inclui(s.estilo);

  if (!e.paginas) e.paginas = std::make_unique<TPaginasRelatorio>();
  e.paginas->Limpa();
  bool completo = true;
  {
    TConfigProgresso config{"Lendo...", nome, std::max(esperado, 0), CorForm, CorFonte};
    ProgressoRelatorio progresso(*this, MostrarProgresso, config);
    while (entrada.Le(linha)) {
      if (linha.size() >= 14 && linha[13] == 'G') {
        --esperado;
      } else if (ComandoBemFormado(linha)) {
        e.paginas->Insere(linha);
      } else {
        // A line without the command layout would break every reader: it is left out (the count
        // check below then warns).
        ReportaErro("Erro #10 - (PARAMETROS INV\xC1LIDOS) Comando " + std::string(linha), true);
      }
      if (!progresso.Entrada()) {
        completo = false;
        break;
      }
    }
  }
  if (static_cast<int64_t>(e.paginas->Quantidade()) != esperado) CaixaAviso(kErroContagem);
  CalculaMedidas();
  ConfiguraComandos(Impressora, TamanhoQteLinhas, TamanhoQteLPP);
  return completo;
}

// Writes the report's characters as lines of text, page under page.
bool TRDprint::GravaTXT(std::string ArquivoLocal) {
  Prologo(ArquivoLocal, "RDprint.TXT");
  if (ArquivoLocal.empty()) return false;
  TEstadoRelatorio& e = EstadoRelatorio();
  const std::string nome = NomeNaMensagem(ArquivoLocal);
  platform::SinkError erro;
  auto arquivo = platform::openFileSink(ArquivoLocal, erro);
  if (!arquivo) {
    CaixaErro(kErroAberturaMaiuscula + nome);
    return false;
  }
  const size_t quantidade = e.paginas ? e.paginas->Quantidade() : 0;
  TConfigProgresso config{"Gravando...", nome, static_cast<int>(quantidade), CorForm, CorFonte};
  ProgressoRelatorio progresso(*this, MostrarProgresso, config);
  SaidaLinhas saida(*arquivo);
  const bool semAcento = Acentuacao == TAcento::SemAcento;
  bool ok = true;
  auto escreve = [&](const std::string& s) {
    ok = saida.Linha(semAcento ? RemoveAcentos(s) : s) && ok;
  };
  int pagina = 1, linhaAtual = 1;
  std::string buffer;
  if (e.paginas) {
    const TPaginasRelatorio& p = *e.paginas;
    for (auto pos = p.Inicio(); pos != p.Fim() && ok; p.Avanca(pos)) {
      if (!progresso.Entrada()) return false;       // cancelled: the old file stays
      if (!DecodificaComando(p.Em(pos))) continue;  // a line without the layout is left out
      const TComandoDecodificado& d = e.atual;
      const char letra = d.Codigo;
      if (letra == 'C' || letra == 'V' || letra == 'H' || letra == 'F' || letra == 'G') continue;
      std::string texto = (letra == 'B' || letra == 'M') ? ConverteMolduraTexto(d.Texto) : d.Texto;
      if (d.Pagina != pagina) {
        escreve(buffer);
        for (int l = linhaAtual + 1; l <= TamanhoQteLinhas; ++l) ok = saida.Linha("") && ok;
        pagina = d.Pagina;
        linhaAtual = 1;
        buffer.clear();
      }
      if (d.Linha != linhaAtual) {
        escreve(buffer);
        for (int l = linhaAtual + 1; l < d.Linha; ++l) ok = saida.Linha("") && ok;
        linhaAtual = d.Linha;
        buffer.clear();
      }
      const size_t ate = d.Coluna > 1 ? static_cast<size_t>(d.Coluna - 1) : 0;
      if (buffer.size() < ate)
        buffer.append(ate - buffer.size(), ' ');
      else
        buffer.resize(ate);
      buffer += texto;
    }
  }
  escreve(buffer);
  if (!ok || !saida.Esvazia() || !arquivo->finish()) {
    CaixaErro(kErroGravacao + nome + DetalheFalha(*arquivo));
    return false;
  }
  return true;
}

// Writes the bytes a character printer would receive into a file.
bool TRDprint::GravaPRN(std::string ArquivoLocal) {
  if (ArquivoLocal.empty()) ArquivoLocal = "RDprint.PRN";
  if (Impressora == TModelo::Grafico) {
    CaixaErro(kPrnGrafico);
    return false;
  }
  Prologo(ArquivoLocal, "RDprint.PRN");
  if (ArquivoLocal.empty()) return false;  // an empty name would send the job to the printer
  TEstadoRelatorio& e = EstadoRelatorio();
  struct Restaura {
    TRDprint& rd;
    TEstadoRelatorio& e;
    std::string porta;
    int copias;
    ~Restaura() {
      rd.PortaComunicacao = porta;
      e.Copias = copias;
    }
  } restaura{*this, e, PortaComunicacao, e.Copias};
  PortaComunicacao = ArquivoLocal;
  e.PaginaAtual = 1;
  return ImprimeRelatorio(ArquivoLocal);
}

}  // namespace report
