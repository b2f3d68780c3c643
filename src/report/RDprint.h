// TRDprint: the text report component. A program composes a report as texts at line and column
// positions of a character grid; the engine keeps the pages and plays them back.
//
//   composition (Abrir, ImpF, ImpCentralizado, NovaPagina, Fechar)
//        -> page store (sorted page command strings: page, line, column, attributes, letter,
//           colour, text; RDpaginas)
//        -> decoding (RDcomando: one command value, its decoder and encoder; RDpercurso:
//           the entries of one output decoded, macros replaced by SubstituiMacros)
//        -> outputs: character printer (ImprimePaginaTexto), graphic renderer and printer, files
//           (GravaRDP / LeRDP, GravaTXT, GravaPRN), HTML (GravaHTML), PDF
//
// Every output writes through a byte sink (platform/ByteSink.h); the facts about pitches and
// attribute bits live in RDtabelas. The file outputs are writers fed by one walk over the store
// (RDpercurso); the print job walks a page plan (RDplano). Operations report a result value with
// the user's message (RDresultado), shown once at the edge. The page store and the report state are
// process-wide (RDestado); the windows the engine shows are reached through RDjanelas.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
#include "report/RDTools.h"
#include "report/RDresultado.h"
#include "report/RDtipos.h"

namespace report {

// The largest report file LeRDP reads (refused before reading): far beyond any real report.
inline constexpr size_t kLimiteArquivoRDP = size_t{1} << 30;

class TRDprint {
 public:
  TRDprint();
  ~TRDprint();
  TRDprint(const TRDprint&) = delete;
  TRDprint& operator=(const TRDprint&) = delete;

  // Published properties, in declaration order, with their defaults.
  TCustom ImpressoraPersonalizada;
  TPreviewOptions OpcoesPreview;
  TMargens Margens;
  TAutor Autor = TAutor::Deltress;
  TAcento Acentuacao = TAcento::Transliterate;
  std::string CaptionSetup = "RDprint Setup";
  std::string TitulodoRelatorio = "Gerado por RDprint";
  bool UsaGerenciadorImpr = true;
  TColor CorForm = clBtnFace;
  TColor CorFonte = clBlack;
  TModelo Impressora = TModelo::Epson;
  std::vector<std::string> Mapeamento;
  std::string PortaComunicacao;
  bool MostrarProgresso = true;
  int TamanhoQteLinhas = 66;
  int TamanhoQteColunas = 80;
  TLinha TamanhoQteLPP = TLinha::Seis;
  int NumerodeCopias = 1;
  TSize FonteTamanhoPadrao = TSize::S10cpp;
  TStyle FonteEstiloPadrao;
  TPrinterOrientation Orientacao = TPrinterOrientation::poPortrait;
  TWinFont FonteGrafica = TWinFont::sCourierNew;
  bool ReduzParaCaber = true;

  // Events ("assigned" = non-empty).
  std::function<void(TRDprint& sender, const std::string& mensagem)> OnErro;
  std::function<void(TRDprint& sender, int pagina)> OnNewPage;
  std::function<void(TRDprint& sender, int pagina)> OnBeforeNewPage;
  std::function<void(TRDprint& sender, bool& continuar)> OnBeforePrint;
  std::function<void(TRDprint& sender)> OnAfterPrint;
  std::function<void(TRDprint& sender)> OnCancel;
  std::function<void(TRDprint& sender, std::string& arquivo)> OnSave;
  std::function<void(TRDprint& sender, std::string& arquivo)> OnLoad;
  std::function<void(TRDprint& sender)> OnPreview;
  std::function<void(TRDprint& sender)> OnSendMail;

  // The 40 rows of the printer-name mapping table the constructor sets.
  static std::vector<std::string> MapeamentoPadrao();

  // Composition.
  bool Abrir();
  bool ImpF(int Linha, int Coluna, std::string_view Texto, TAtributos Fonte, TColor Cor);
  bool ImpCentralizado(int Linha, int Coluna, std::string_view Texto, TAtributos Fonte, TColor Cor);
  int NovaPagina();
  bool Fechar();
  bool Abortar();
  bool Setup();
  void MostraPreview();
  // The print job; true when it ran to its end and every byte reached the printer or the file
  // (false when OnBeforePrint declined it, it could not start, it was cancelled or it failed).
  // ImprimeRelatorio is Imprime with its message shown.
  TResultado Imprime(const std::string& ArquivoSaida);
  bool ImprimeRelatorio(const std::string& ArquivoSaida);

  // The page store.
  bool AdicionaComando(int Linha, int Coluna, std::string_view Codigo, std::string_view Texto,
                       TAtributos Fonte, TColor Cor);
  std::string SubstituiMacros(std::string_view Texto) const;
  int TotalPaginas() const;
  // True while the page's foot event has not been fired.
  bool RodapePendente = false;
  // Pictures referenced by G commands (created at Abrir, freed at Fechar).
  std::vector<std::unique_ptr<TImagemRGB>> Imagens;

  // Character printers.
  bool ConfiguraComandos(TModelo Modelo, int Linhas, TLinha LPP);
  void MapeiaImpressora(const std::string& NomeDispositivo);
  void MapeiaImpressora(const platform::PrinterInfo& impressora);
  std::string ConverteAcentos(std::string_view Texto) const;
  void ImprimePaginaTexto(int Pagina);
  // The character printer's channel: IniciaDocumento and FinalizaDocumento are AbreDocumento and
  // FechaDocumento with their messages shown.
  TResultado AbreDocumento(const std::string& ArquivoSaida);
  // The channel on a sink the caller opened and keeps open until FechaDocumento (a printer file
  // written into memory); `nome` is what the messages call it.
  TResultado AbreDocumento(platform::ByteSink& saida, const std::string& nome);
  TResultado FechaDocumento();
  bool IniciaDocumento(const std::string& ArquivoSaida);
  bool EnviaImpressora(std::string_view Dados);
  bool FinalizaDocumento();

  // Report files and exports. Each Escreve/Carrega operation says how it went as a value with the
  // user's message; each Grava/Le function is that operation with its message shown (Comunica)
  // and returns whether the file was written (or read) whole. A cancelled write leaves the
  // previous file as it was.
  TResultado EscreveRDP(std::string ArquivoLocal);
  TResultado CarregaRDP(std::string ArquivoLocal);
  // Parses the bytes of an RDP file (as CarregaRDP does after reading it); `nome` labels the
  // progress.
  TResultado CarregaRDPDeMemoria(std::string_view bytes, const std::string& nome);
  TResultado EscreveTXT(std::string ArquivoLocal);
  // The printer file: the print job's bytes into a file (not for the graphic model).
  TResultado EscrevePRN(std::string ArquivoLocal);
  // The HTML export: one sheet per page; a cancelled export writes the shorter document.
  TResultado EscreveHTML(std::string ArquivoLocal);
  // The PDF export: every page of the store; a cancelled export writes the shorter document.
  TResultado EscrevePDF(std::string ArquivoLocal);
  // The same outputs into a byte sink, finished when the output is complete (a cancelled or
  // failed one is left unfinished); `nome` (Windows-1252) is what the progress window and the
  // messages call it. Each path version above opens its file (the printer file: its port) and
  // writes through these; OnSave belongs to the path versions.
  TResultado EscreveRDP(platform::ByteSink& saida, const std::string& nome);
  TResultado EscreveTXT(platform::ByteSink& saida, const std::string& nome);
  TResultado EscrevePRN(platform::ByteSink& saida, const std::string& nome);
  TResultado EscreveHTML(platform::ByteSink& saida, const std::string& nome);
  TResultado EscrevePDF(platform::ByteSink& saida, const std::string& nome);
  bool GravaRDP(std::string ArquivoLocal);
  bool LeRDP(std::string ArquivoLocal);
  bool LeRDPDeMemoria(std::string_view bytes, const std::string& nome);
  bool GravaTXT(std::string ArquivoLocal);
  bool GravaPRN(std::string ArquivoLocal);
  bool GravaHTML(std::string ArquivoLocal);
  bool GravaPDF(std::string ArquivoLocal);

  // Page metrics of graphic output.
  void CalculaMedidas();

  // Reports a numbered error: to OnErro when assigned, otherwise (unless soEvento) in an error box.
  void ReportaErro(const std::string& mensagem, bool soEvento = false);
  // Shows an operation's message in its box (a numbered one through ReportaErro); whether the
  // operation succeeded.
  bool Comunica(const TResultado& resultado);

 private:
  void Prologo(std::string& arquivo, const char* padrao);
  // Fires the last page's OnBeforeNewPage when it has not been fired (before a file is written).
  void DisparaRodapePendente();
  // The print job; a printer file goes into `destino` when given (ArquivoSaida then names it).
  TResultado Imprime(const std::string& ArquivoSaida, platform::ByteSink* destino);
  TModelo ModeloDoNome(const std::string& texto) const;
};

// The message boxes of the engine (error and warning, OK button).
void CaixaErro(const std::string& mensagem);
void CaixaAviso(const std::string& mensagem);
// What a writer adds to its own words about a failed output: the sink's account when the old file
// may be lost ("\r\r" and where the complete copy is), otherwise nothing.
std::string DetalheFalha(const platform::ByteSink& saida);
// The numbered error of a port or printer file that failed with the system's error `erro`.
std::string MensagemIO(int erro, const std::string& porta);

}  // namespace report
