// The report files: the RDP file (written and read back), the text file and the printer file.
// Files are written through an atomic writer: a failed or cancelled write leaves the previous file
// whole.
#include <fstream>
#include <memory>

#include "base/Erros.h"
#include "base/Formato.h"
#include "base/Texto.h"
#include "platform/AtomicFile.h"
#include "platform/CodePage.h"
#include "platform/Platform.h"
#include "report/RDestado.h"
#include "report/RDprint.h"
#include "report/RDprogresso.h"

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

// Buffers output lines and hands them to the atomic writer in large pieces.
class SaidaLinhas {
 public:
  explicit SaidaLinhas(platform::AtomicFileWriter& w) : w_(w) { buffer_.reserve(kBloco + 4096); }
  void Linha(std::string_view s) {
    buffer_ += s;
    buffer_ += "\r\n";
    if (buffer_.size() >= kBloco) Esvazia();
  }
  void Esvazia() {
    if (!buffer_.empty()) w_.write(buffer_);
    buffer_.clear();
  }

 private:
  static constexpr size_t kBloco = 1 << 16;
  platform::AtomicFileWriter& w_;
  std::string buffer_;
};

// Reads lines ended by CR LF (or LF); past the end every line reads empty.
class EntradaLinhas {
 public:
  explicit EntradaLinhas(std::istream& in) : in_(in) {}
  bool Le(std::string& linha) {
    if (!std::getline(in_, linha)) {
      linha.clear();
      return false;
    }
    if (!linha.empty() && linha.back() == '\r') linha.pop_back();
    return true;
  }

 private:
  std::istream& in_;
};

// The new version of a report file, or nothing after showing `mensagem` when it cannot be created.
std::unique_ptr<platform::AtomicFileWriter> AbreSaida(const std::string& caminho,
                                                      const std::string& mensagem) {
  try {
    return std::make_unique<platform::AtomicFileWriter>(caminho);
  } catch (const base::EInOutError&) {
    CaixaErro(mensagem);
    return nullptr;
  }
}

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
void TRDprint::GravaRDP(std::string ArquivoLocal) {
  Prologo(ArquivoLocal, "RDprint.RDP");
  TEstadoRelatorio& e = EstadoRelatorio();
  const std::string nome = NomeNaMensagem(ArquivoLocal);
  auto arquivo = AbreSaida(ArquivoLocal, kErroAbertura + nome);
  if (!arquivo) return;
  SaidaLinhas saida(*arquivo);
  const size_t quantidade = e.paginas ? e.paginas->Quantidade() : 0;
  try {
    saida.Linha(kCabecalho6);
    saida.Linha(kAvisoEdicao);
    saida.Linha(SeisDigitos(static_cast<int64_t>(quantidade)));
    saida.Linha(TitulodoRelatorio);
    saida.Linha(SeisDigitos(TamanhoQteLinhas));
    saida.Linha(SeisDigitos(TamanhoQteColunas));
    saida.Linha(TamanhoQteLPP == TLinha::Seis ? "6" : "8");
    static const char* const pitches[] = {"F05", "F10", "F12", "F17", "F20", "F15"};
    saida.Linha(pitches[static_cast<int>(FonteTamanhoPadrao)]);
    std::string estilos;
    if (FonteEstiloPadrao.Contem(TEstilo::Snegrito)) estilos += 'N';
    if (FonteEstiloPadrao.Contem(TEstilo::Sitalico)) estilos += 'I';
    if (FonteEstiloPadrao.Contem(TEstilo::Ssublinhado)) estilos += 'S';
    saida.Linha(estilos);
  } catch (const base::EInOutError&) {
    CaixaErro(kErroControle + nome);
    return;
  }

  TConfigProgresso config{"Gravando...", nome, static_cast<int>(quantidade), CorForm, CorFonte};
  ProgressoRelatorio progresso(*this, MostrarProgresso, config);
  bool completo = true;
  try {
    if (e.paginas) {
      const TPaginasRelatorio& p = *e.paginas;
      for (auto pos = p.Inicio(); pos != p.Fim(); p.Avanca(pos)) {
        if (!progresso.Entrada()) {
          completo = false;
          break;
        }
        saida.Linha(p.Em(pos));
      }
    }
    if (completo) {
      saida.Esvazia();
      arquivo->commit();
    }
  } catch (const base::EInOutError&) {
    CaixaErro(kErroGravacao + nome);
  }
}

// Loads an RDP file into the page store and the settings it carries.
void TRDprint::LeRDP(std::string ArquivoLocal) {
  if (OnLoad) OnLoad(*this, ArquivoLocal);
  if (ArquivoLocal.empty()) return;
  TEstadoRelatorio& e = EstadoRelatorio();
  const std::string nome = NomeNaMensagem(ArquivoLocal);
  std::ifstream arquivo(ArquivoLocal, std::ios::binary);
  if (!arquivo) {
    CaixaErro(kErroAberturaMaiuscula + nome);
    return;
  }
  EntradaLinhas entrada(arquivo);
  std::string linha;
  entrada.Le(linha);
  if (linha != kCabecalho6 && linha != kCabecalho5 && linha != kCabecalho4) {
    CaixaErro(kFormatoInvalido);
    return;
  }
  // Lines 3, 5 and 6 are numbers; lines and columns must fit their 3-digit command fields.
  auto numero = [&](int32_t& v, bool dimensao) {
    entrada.Le(linha);
    return base::TryStrToInt(linha, v) && (!dimensao || (v >= 1 && v <= 999));
  };
  int32_t esperado = 0, linhas = 0, colunas = 0;
  entrada.Le(linha);  // the warning line
  if (!numero(esperado, false)) return CaixaErro(kFormatoInvalido);
  entrada.Le(linha);
  TitulodoRelatorio = linha;
  if (!numero(linhas, true)) return CaixaErro(kFormatoInvalido);
  TamanhoQteLinhas = linhas;
  if (!numero(colunas, true)) return CaixaErro(kFormatoInvalido);
  TamanhoQteColunas = colunas;
  entrada.Le(linha);
  TamanhoQteLPP = linha == "6" ? TLinha::Seis : TLinha::Oito;
  entrada.Le(linha);
  if (linha == "F05")
    FonteTamanhoPadrao = TSize::S05cpp;
  else if (linha == "F10")
    FonteTamanhoPadrao = TSize::S10cpp;
  else if (linha == "F12")
    FonteTamanhoPadrao = TSize::S12cpp;
  else if (linha == "F15")
    FonteTamanhoPadrao = TSize::S15cpp;
  else if (linha == "F17")
    FonteTamanhoPadrao = TSize::S17cpp;
  else if (linha == "F20")
    FonteTamanhoPadrao = TSize::S20cpp;
  entrada.Le(linha);
  FonteEstiloPadrao = TStyle{};
  if (linha.find('N') != std::string::npos) FonteEstiloPadrao.Inclui(TEstilo::Snegrito);
  if (linha.find('I') != std::string::npos) FonteEstiloPadrao.Inclui(TEstilo::Sitalico);
  if (linha.find('S') != std::string::npos) FonteEstiloPadrao.Inclui(TEstilo::Ssublinhado);

  if (!e.paginas) e.paginas = std::make_unique<TPaginasRelatorio>();
  e.paginas->Limpa();
  {
    TConfigProgresso config{"Lendo...", nome, esperado, CorForm, CorFonte};
    ProgressoRelatorio progresso(*this, MostrarProgresso, config);
    while (entrada.Le(linha)) {
      if (linha.size() >= 14 && linha[13] == 'G') {
        --esperado;
      } else if (ComandoBemFormado(linha)) {
        e.paginas->Insere(linha);
      } else {
        // A line without the command layout would break every reader: it is left out (the count
        // check below then warns).
        ReportaErro("Erro #10 - (PARAMETROS INV\xC1LIDOS) Comando " + linha, true);
      }
      if (!progresso.Entrada()) break;
    }
  }
  if (static_cast<int64_t>(e.paginas->Quantidade()) != esperado) CaixaAviso(kErroContagem);
  CalculaMedidas();
  ConfiguraComandos(Impressora, TamanhoQteLinhas, TamanhoQteLPP);
}

// Writes the report's characters as lines of text, page under page.
void TRDprint::GravaTXT(std::string ArquivoLocal) {
  Prologo(ArquivoLocal, "RDprint.TXT");
  if (ArquivoLocal.empty()) return;
  TEstadoRelatorio& e = EstadoRelatorio();
  const std::string nome = NomeNaMensagem(ArquivoLocal);
  auto arquivo = AbreSaida(ArquivoLocal, kErroAberturaMaiuscula + nome);
  if (!arquivo) return;
  const size_t quantidade = e.paginas ? e.paginas->Quantidade() : 0;
  TConfigProgresso config{"Gravando...", nome, static_cast<int>(quantidade), CorForm, CorFonte};
  ProgressoRelatorio progresso(*this, MostrarProgresso, config);
  SaidaLinhas saida(*arquivo);
  const bool semAcento = Acentuacao == TAcento::SemAcento;
  auto escreve = [&](const std::string& s) {
    if (semAcento)
      saida.Linha(RemoveAcentos(s));
    else
      saida.Linha(s);
  };
  int pagina = 1, linhaAtual = 1;
  std::string buffer;
  bool completo = true;
  try {
    if (e.paginas) {
      const TPaginasRelatorio& p = *e.paginas;
      for (auto pos = p.Inicio(); pos != p.Fim(); p.Avanca(pos)) {
        if (!progresso.Entrada()) {
          completo = false;
          break;
        }
        if (!DecodificaComando(p.Em(pos))) continue;  // a line without the layout is left out
        const TComandoDecodificado& d = e.atual;
        const char letra = d.Codigo;
        if (letra == 'C' || letra == 'V' || letra == 'H' || letra == 'F' || letra == 'G') continue;
        std::string texto =
            (letra == 'B' || letra == 'M') ? ConverteMolduraTexto(d.Texto) : d.Texto;
        if (d.Pagina != pagina) {
          escreve(buffer);
          for (int l = linhaAtual + 1; l <= TamanhoQteLinhas; ++l) saida.Linha("");
          pagina = d.Pagina;
          linhaAtual = 1;
          buffer.clear();
        }
        if (d.Linha != linhaAtual) {
          escreve(buffer);
          for (int l = linhaAtual + 1; l < d.Linha; ++l) saida.Linha("");
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
    if (completo) {
      escreve(buffer);
      saida.Esvazia();
      arquivo->commit();
    }
  } catch (const base::EInOutError&) {
    CaixaErro(kErroGravacao + nome);
  }
}

// Writes the bytes a character printer would receive into a file.
void TRDprint::GravaPRN(std::string ArquivoLocal) {
  if (ArquivoLocal.empty()) ArquivoLocal = "RDprint.PRN";
  if (Impressora == TModelo::Grafico) {
    CaixaErro(kPrnGrafico);
    return;
  }
  Prologo(ArquivoLocal, "RDprint.PRN");
  if (ArquivoLocal.empty()) return;  // an empty name would send the job to the printer
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
  ImprimeRelatorio(ArquivoLocal);
}

}  // namespace report
