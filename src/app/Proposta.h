// The main window's state and commands without the window: the open process, the captions the
// window shows, the progress bar, the generated flag, and the handlers of "&Abrir Processo",
// "&Gerar Arquivo", the total button, the data source events and the close. The Qt window only
// mirrors this state into its controls and forwards the user's events here.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/BarraProgresso.h"
#include "app/Listagem.h"
#include "app/ProcessoArquivo.h"
#include "app/RecuperacaoDigitacao.h"
#include "app/TabelaItens.h"
#include "base/Erros.h"

namespace app {

class TProposta {
 public:
  TProposta();

  // The item table (`ClientDataSet1`, seen through `DataSource1`).
  TTabelaItens ClientDataSet1;
  // The report component of the item listing, with the program's settings.
  report::TRDprint RDprint1;

  // Display state. Texts are Windows-1252; edit1 is a file system path.
  std::string edit1;                                    // path of the open process file
  std::string label2 = "Processo:";                     // becomes "Cotação:" for a quotation
  std::string label5;                                   // process number
  std::string memo2;                                    // process description
  std::string label6 = "Crit\xE9rio:";                  // criterion of the current item
  std::string btn1 = "Valor Total da Proposta";         // caption of the total button
  std::string titulo = "Digita\xE7\xE3o de Propostas";  // window caption
  int alturaJanela = 0;                                 // outer height in pixels
  int pedidosAltura = 0;  // how many times a handler set the height (each is applied anew)
  BarraProgresso progresso;
  bool gerado = false;     // a proposal file was generated in this run
  int32_t totalItens = 0;  // `totalitens` of the last file opened

  // Set by the window: write the edited texts of the data-aware controls into the row (update
  // data), refresh what it shows (data change), mirror the progress bar, ask for the company name.
  std::function<void()> aoEscreverControles;
  std::function<void()> aoMudarDados;
  std::function<void()> aoMudarProgresso;

  void FormCreate();
  // Sets the window's outer height; the window applies every request, also a repeated one.
  void PedeAltura(int altura) {
    alturaJanela = altura;
    ++pedidosAltura;
  }
  // "&Abrir Processo": asks for the file (the dialog opens in the open process's folder, else in
  // the last process's, also from an earlier run, else in the home folder), then
  // AbrirNaJanela. Nothing changes when cancelled. When brands or prices typed for the open
  // process are not written yet, it first asks whether to write them (as closing would), to drop
  // them, or to stay with the open process.
  void BitBtn1Click();
  // AbrirProcesso, then the file's folder kept for the next run's open dialog, then what the user
  // is told about the file read: that it is UTF-8 text (its accents show wrong), and that a
  // proposal generated from it is newer than it, offering to take the proposal's values instead
  // (the process file is then still the one open, with those values as changes not yet written
  // to it).
  void AbrirNaJanela(const std::string& caminho, bool descartaDigitado = false);
  // True when something typed since the last read or write of the process file is not in it.
  bool TemAlteracoes() const;
  // Reads the process file at caminho (all or nothing: on error nothing here changes). With
  // descartaDigitado, the user chose to lose what was typed for the process open before: once
  // the new file is read, its recovery journal is put aside.
  void AbrirProcesso(const std::string& caminho, bool descartaDigitado = false);
  // The zero-value lot check; true when it found (and reported) an unpriced item of a priced lot,
  // which is then the current row.
  bool VerificaValorZerado();

  enum class Geracao { NadaAberto, Recusada, NomeRecusado, Cancelada, Gerado };
  // "&Gerar Arquivo": asks for the company name through the platform's input box, again after a
  // name that cannot be part of a file name (the box holds it), until one can; Cancel stops with
  // nothing written. An existing proposal file is replaced only when the user confirms. A folder
  // that cannot be written is explained, and another one may be chosen.
  Geracao BitBtn3Click();
  // The same with the name already typed (the command-line tool); a write error escapes. An
  // existing proposal file is replaced only with `substitui`; otherwise a message says it was kept.
  Geracao GerarArquivo(const std::string& empresa, bool substitui = false);
  // Path of the last proposal file written.
  const std::string& CaminhoUltimaProposta() const { return ultimaProposta_; }

  // Closing the window: false when nothing was written because the check refused; raises on a
  // write failure (the window then stays open).
  enum class Fechamento { NadaAFazer, Recusado, Regravado };
  Fechamento FormClose();
  // After a refused rewrite on close: asks whether to close anyway, losing what was typed; true
  // closes. (The window stays open otherwise, on the unpriced item.)
  bool ConfirmaFecharSemGravar();
  // Everything closing the window decides: nothing when nothing was typed since the process file
  // was read or written; otherwise the rewrite; after a refusal, the confirmation to lose what was
  // typed; after a write that failed (its error shown in the error box), the choice to
  // save the process in another file, to close without saving (confirmed) or to go back to the
  // window. True when the window may close. Other errors (a price that does not convert) escape.
  bool PodeFechar();
  // The warning of the last write, when the file was written but its folder could not be synced
  // (it may not survive a power cut); empty otherwise.
  const std::string& AvisoUltimaGravacao() const { return aviso_; }
  // The recovery journal of the open process: what was typed and not yet written.
  const TRecuperacaoDigitacao& Recuperacao() const { return recuperacao_; }
  TRecuperacaoDigitacao& Recuperacao() { return recuperacao_; }

  // "Relatório": the item listing with the bidder name and CNPJ digits as typed, shown in the
  // preview; the listing line and page keep their last values.
  void BitBtn2Click(const std::string& licitante, const std::string& cnpj);
  int linhaListagem = 0, paginaListagem = 0;

  // The proposal total on btn1.
  void btn1Click();
  // The total as a count (the running rounded sum), without touching the current row.
  Contagem TotalProposta() const;

  void DataSource1DataChange();
  void DataSource1UpdateData();

 private:
  // What happens to an existing proposal file: the user is asked, it is replaced, it is kept.
  enum class Substituicao { Pergunta, Substitui, Mantem };
  Geracao Gera(const std::string& empresa, Substituicao s);
  Geracao GeraEmOutraPasta(const std::string& empresa, const base::EInOutError& erro);
  bool ConfirmaSubstituir(const std::string& caminho, Substituicao s);
  Geracao GravaProposta(const std::string& caminho, const std::string& empresa, Substituicao s);
  void OferecePropostaMaisRecente(const std::string& caminho);
  void Regrava(const std::string& caminho);
  bool DecideAposFalhaAoFechar();
  void AvisaSeNaoDuravel(const std::string& caminho, const platform::WriteResult& r);
  void MostraProgresso();
  void PassoProgresso();
  std::string ultimaProposta_;
  std::string aviso_;
  bool pastaNaoLembrada_ = false;  // the warning that the folder is not kept was given
  long alteracoesGravadas_ = 0;
  TRecuperacaoDigitacao recuperacao_;
};

}  // namespace app
