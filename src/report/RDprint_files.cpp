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
#include "report/RDcomando.h"
#include "report/RDestado.h"
#include "report/RDpercurso.h"
#include "report/RDprint.h"
#include "report/RDprogresso.h"
#include "report/RDresultado.h"
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

// The control lines 1 to 9 into the settings; false when the file is no report file. `esperado`
// is the number of command lines the file says it holds.
bool LeControle(TRDprint& rd, EntradaLinhas& entrada, int32_t& esperado) {
  std::string_view linha;
  entrada.Le(linha);
  if (linha != kCabecalho6 && linha != kCabecalho5 && linha != kCabecalho4) return false;
  // Lines 3, 5 and 6 are numbers; lines and columns must fit their 3-digit command fields.
  auto numero = [&](int32_t& v, bool dimensao) {
    entrada.Le(linha);
    return base::TryStrToInt(linha, v) && (!dimensao || (v >= 1 && v <= 999));
  };
  int32_t linhas = 0, colunas = 0;
  entrada.Le(linha);  // the warning line
  if (!numero(esperado, false)) return false;
  entrada.Le(linha);
  rd.TitulodoRelatorio = std::string(linha);
  if (!numero(linhas, true)) return false;
  rd.TamanhoQteLinhas = linhas;
  if (!numero(colunas, true)) return false;
  rd.TamanhoQteColunas = colunas;
  entrada.Le(linha);
  rd.TamanhoQteLPP = linha == "6" ? TLinha::Seis : TLinha::Oito;
  entrada.Le(linha);
  if (linha.size() == 3 && linha[0] == 'F')
    if (const TLinhaPitch* p = PitchPorDigitos(linha.substr(1))) rd.FonteTamanhoPadrao = p->tamanho;
  entrada.Le(linha);
  rd.FonteEstiloPadrao = TStyle{};
  for (const TLinhaEstilo& s : kEstilos)
    if (linha.find(s.letraRDP) != std::string_view::npos) rd.FonteEstiloPadrao.Inclui(s.estilo);
  return true;
}

// What the progress window shows while a report or text file is written.
TConfigProgresso ConfigGravacao(const TRDprint& rd, const std::string& nome) {
  const TEstadoRelatorio& e = EstadoRelatorio();
  const size_t quantidade = e.paginas ? e.paginas->Quantidade() : 0;
  return {"Gravando...", nome, static_cast<int>(quantidade), rd.CorForm, rd.CorFonte};
}

// The report file's command lines, copied as stored.
class EscritorRDP : public TEscritorRelatorio {
 public:
  EscritorRDP(platform::ByteSink& arquivo, const std::string& nome)
      : arquivo_(arquivo), saida_(arquivo), nome_(nome) {}
  bool QuerDecodificadas() const override { return false; }
  bool Entrada(std::string_view armazenada, const TComando*) override {
    return saida_.Linha(armazenada);
  }
  // A cancelled file is dropped: the old one stays.
  TResultado Conclui(const TFimPercurso& fim) override {
    if (fim.cancelado) return TResultado::Interrompido();
    if (saida_.Esvazia() && arquivo_.finish()) return TResultado::Sucesso();
    return TResultado::Falha(TCaixa::Erro, kErroGravacao + nome_ + DetalheFalha(arquivo_));
  }

 private:
  platform::ByteSink& arquivo_;
  SaidaLinhas saida_;
  const std::string& nome_;
};

// The report's characters as lines of text, page under page; lines, frames, pictures and raw
// codes are left out, semigraphics drawn with "-", "|" and "+".
class EscritorTXT : public TEscritorRelatorio {
 public:
  EscritorTXT(platform::ByteSink& arquivo, const std::string& nome, int linhasPorPagina,
              bool semAcento)
      : arquivo_(arquivo),
        saida_(arquivo),
        nome_(nome),
        linhasPorPagina_(linhasPorPagina),
        semAcento_(semAcento) {}
  bool Entrada(std::string_view, const TComando* comando) override;
  // A cancelled file is dropped: the old one stays.
  TResultado Conclui(const TFimPercurso& fim) override {
    if (fim.cancelado) return TResultado::Interrompido();
    Escreve(buffer_);
    if (ok_ && saida_.Esvazia() && arquivo_.finish()) return TResultado::Sucesso();
    return TResultado::Falha(TCaixa::Erro, kErroGravacao + nome_ + DetalheFalha(arquivo_));
  }

 private:
  void Escreve(const std::string& linha) {
    ok_ = saida_.Linha(semAcento_ ? RemoveAcentos(linha) : linha) && ok_;
  }
  void EmBranco(int de, int ate) {
    for (int l = de; l <= ate; ++l) ok_ = saida_.Linha("") && ok_;
  }

  platform::ByteSink& arquivo_;
  SaidaLinhas saida_;
  const std::string& nome_;
  const int linhasPorPagina_;
  const bool semAcento_;
  bool ok_ = true;
  int pagina_ = 1, linha_ = 1;
  std::string buffer_;  // the line being composed
};

// Places the entry's text on the line being composed, closing lines and pages before it.
bool EscritorTXT::Entrada(std::string_view, const TComando* comando) {
  const TComando& d = *comando;
  const char letra = d.Codigo;
  if (letra == 'C' || letra == 'V' || letra == 'H' || letra == 'F' || letra == 'G') return true;
  std::string texto = (letra == 'B' || letra == 'M') ? ConverteMolduraTexto(d.Texto) : d.Texto;
  if (d.Pagina != pagina_) {
    Escreve(buffer_);
    EmBranco(linha_ + 1, linhasPorPagina_);
    pagina_ = d.Pagina;
    linha_ = 1;
    buffer_.clear();
  }
  if (d.Linha != linha_) {
    Escreve(buffer_);
    EmBranco(linha_ + 1, d.Linha - 1);
    linha_ = d.Linha;
    buffer_.clear();
  }
  const size_t ate = d.Coluna > 1 ? static_cast<size_t>(d.Coluna - 1) : 0;
  if (buffer_.size() < ate)
    buffer_.append(ate - buffer_.size(), ' ');
  else
    buffer_.resize(ate);
  buffer_ += texto;
  return ok_;
}

}  // namespace

// The common start of the file writers: default name, the last page's foot, OnSave.
void TRDprint::Prologo(std::string& arquivo, const char* padrao) {
  if (arquivo.empty()) arquivo = padrao;
  DisparaRodapePendente();
  if (OnSave) OnSave(*this, arquivo);
}

// The last page's foot, when its event has not been fired yet.
void TRDprint::DisparaRodapePendente() {
  if (!RodapePendente) return;
  RodapePendente = false;
  if (OnBeforeNewPage) OnBeforeNewPage(*this, EstadoRelatorio().PaginaAtual);
}

// Writes the report's settings and page store as an RDP file.
bool TRDprint::GravaRDP(std::string ArquivoLocal) {
  return Comunica(EscreveRDP(std::move(ArquivoLocal)));
}

// The file through the atomic file sink.
TResultado TRDprint::EscreveRDP(std::string ArquivoLocal) {
  Prologo(ArquivoLocal, "RDprint.RDP");
  const std::string nome = NomeNaMensagem(ArquivoLocal);
  platform::SinkError erro;
  auto arquivo = platform::openFileSink(ArquivoLocal, erro);
  if (!arquivo) return TResultado::Falha(TCaixa::Erro, kErroAbertura + nome);
  return EscreveRDP(*arquivo, nome);
}

// The control lines, then every command line as stored.
TResultado TRDprint::EscreveRDP(platform::ByteSink& saida, const std::string& nome) {
  DisparaRodapePendente();
  const TEstadoRelatorio& e = EstadoRelatorio();
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
  if (!saida.write(controle)) return TResultado::Falha(TCaixa::Erro, kErroControle + nome);
  EscritorRDP escritor(saida, nome);
  return PercorreEntradas(*this, ConfigGravacao(*this, nome), MostrarProgresso, escritor);
}

// Loads an RDP file into the page store and the settings it carries.
bool TRDprint::LeRDP(std::string ArquivoLocal) {
  return Comunica(CarregaRDP(std::move(ArquivoLocal)));
}

// Reads the file whole, then parses it.
TResultado TRDprint::CarregaRDP(std::string ArquivoLocal) {
  if (OnLoad) OnLoad(*this, ArquivoLocal);
  if (ArquivoLocal.empty()) return TResultado::Interrompido();
  const std::string nome = NomeNaMensagem(ArquivoLocal);
  std::string bytes;
  platform::ReadError erro;
  if (!platform::readRegularFile(ArquivoLocal, kLimiteArquivoRDP, bytes, erro)) {
    // Something that is no report file at all (a folder, a device, a file far too large) is
    // also told why; a file that could not be opened or read gets the usual box.
    std::string texto = kErroAberturaMaiuscula + nome;
    if (erro.notRegular || erro.code == EFBIG) texto += "\r" + Motivo(erro, nome);
    return TResultado::Falha(TCaixa::Erro, texto);
  }
  return CarregaRDPDeMemoria(bytes, nome);
}

// Parses the bytes of an RDP file.
bool TRDprint::LeRDPDeMemoria(std::string_view bytes, const std::string& nome) {
  return Comunica(CarregaRDPDeMemoria(bytes, nome));
}

// Control lines into the settings, command lines into the store.
TResultado TRDprint::CarregaRDPDeMemoria(std::string_view bytes, const std::string& nome) {
  TEstadoRelatorio& e = EstadoRelatorio();
  EntradaLinhas entrada(bytes);
  int32_t esperado = 0;
  if (!LeControle(*this, entrada, esperado))
    return TResultado::Falha(TCaixa::Erro, kFormatoInvalido);

  if (!e.paginas) e.paginas = std::make_unique<TPaginasRelatorio>();
  e.paginas->Limpa();
  bool completo = true;
  {
    TConfigProgresso config{"Lendo...", nome, std::max(esperado, 0), CorForm, CorFonte};
    ProgressoRelatorio progresso(*this, MostrarProgresso, config);
    std::string_view linha;
    while (entrada.Le(linha)) {
      if (CodigoDe(linha) == 'G') {
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
  CalculaMedidas();
  ConfiguraComandos(Impressora, TamanhoQteLinhas, TamanhoQteLPP);
  TResultado r = completo ? TResultado::Sucesso() : TResultado::Interrompido();
  if (static_cast<int64_t>(e.paginas->Quantidade()) != esperado) {
    r.caixa = TCaixa::Aviso;
    r.mensagem = kErroContagem;
  }
  return r;
}

// Writes the report's characters as lines of text, page under page.
bool TRDprint::GravaTXT(std::string ArquivoLocal) {
  return Comunica(EscreveTXT(std::move(ArquivoLocal)));
}

// The text file through the atomic file sink.
TResultado TRDprint::EscreveTXT(std::string ArquivoLocal) {
  Prologo(ArquivoLocal, "RDprint.TXT");
  if (ArquivoLocal.empty()) return TResultado::Interrompido();
  const std::string nome = NomeNaMensagem(ArquivoLocal);
  platform::SinkError erro;
  auto arquivo = platform::openFileSink(ArquivoLocal, erro);
  if (!arquivo) return TResultado::Falha(TCaixa::Erro, kErroAberturaMaiuscula + nome);
  return EscreveTXT(*arquivo, nome);
}

// The text through its writer.
TResultado TRDprint::EscreveTXT(platform::ByteSink& saida, const std::string& nome) {
  DisparaRodapePendente();
  EscritorTXT escritor(saida, nome, TamanhoQteLinhas, Acentuacao == TAcento::SemAcento);
  return PercorreEntradas(*this, ConfigGravacao(*this, nome), MostrarProgresso, escritor);
}

// Writes the bytes a character printer would receive into a file.
bool TRDprint::GravaPRN(std::string ArquivoLocal) {
  return Comunica(EscrevePRN(std::move(ArquivoLocal)));
}

// The file through the port sink (a device named as the file is written directly), messages
// naming it as given.
TResultado TRDprint::EscrevePRN(std::string ArquivoLocal) {
  if (ArquivoLocal.empty()) ArquivoLocal = "RDprint.PRN";
  if (Impressora == TModelo::Grafico) return TResultado::Falha(TCaixa::Erro, kPrnGrafico);
  Prologo(ArquivoLocal, "RDprint.PRN");
  // An empty name would send the job to the printer.
  if (ArquivoLocal.empty()) return TResultado::Interrompido();
  platform::SinkError erro;
  auto arquivo = platform::openPortSink(ArquivoLocal, erro);
  if (!arquivo) return TResultado::Falha(TCaixa::Numerado, MensagemIO(erro.code, ArquivoLocal));
  return EscrevePRN(*arquivo, ArquivoLocal);
}

// The print job into the sink from page 1, with the copies put back afterwards.
TResultado TRDprint::EscrevePRN(platform::ByteSink& saida, const std::string& nome) {
  if (Impressora == TModelo::Grafico) return TResultado::Falha(TCaixa::Erro, kPrnGrafico);
  DisparaRodapePendente();
  TEstadoRelatorio& e = EstadoRelatorio();
  struct Restaura {
    TEstadoRelatorio& e;
    platform::ByteSink& saida;
    int copias;
    ~Restaura() {
      e.Copias = copias;
      // The channel never outlives the caller's sink, also when the job raised.
      if (e.canal.saida == &saida) e.canal = TCanal{};
    }
  } restaura{e, saida, e.Copias};
  e.PaginaAtual = 1;
  return Imprime(nome.empty() ? std::string("RDprint.PRN") : nome, &saida);
}

}  // namespace report
