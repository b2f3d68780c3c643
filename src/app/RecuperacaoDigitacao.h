// Keeping what is typed until it is written: while a process is open, every posted row (and every
// deleted one) goes into the process's recovery journal in the user's data folder, synced before
// the post returns; a clean rewrite of the process file or a generated proposal removes it. When a
// process is opened and a journal of it is found, the user is asked whether to recover it: the
// records are then applied to the rows through the table's edit cycle, exactly as if typed. A
// journal that does not match the file is reported and put aside, never applied; nothing typed is
// deleted without having been written. Failing to keep the journal never stops typing: it is said
// once, and the journal is tried again at the next post.
#pragma once

#include <string>
#include <vector>

#include "app/DiarioRecuperacao.h"
#include "app/TabelaItens.h"
#include "platform/FileStamp.h"
#include "platform/SyncedAppend.h"

namespace app {

class TRecuperacaoDigitacao {
 public:
  // The process file at caminho was read into tabela: its journal, if any, is offered
  // ("Recuperar?") or reported and put aside; then this process's journal is kept (created at its
  // first post).
  void ProcessoAberto(const std::string& caminho, TTabelaItens& tabela);
  // The current row of tabela was posted / is about to be deleted.
  void LinhaGravada(const TTabelaItens& tabela);
  void LinhaApagada(const TTabelaItens& tabela);
  // The posts and deletions from IniciaBloco to TerminaBloco (a list of changes applied in one
  // step) go to the journal as one block, in one write synced once: a crash before it is on the
  // disk loses the whole list, never part of it.
  void IniciaBloco();
  void TerminaBloco();
  // The records of the open block so far are dropped: its rows were put back as they were.
  void DescartaBloco() { bloco_.clear(); }
  // Everything typed is in the process file (a clean rewrite) or in the proposal file: the
  // journal goes, and a new one starts from the file as it is now.
  void ArquivoGravado();
  // The user chose to lose what was typed: the journal is put aside, and a new one starts.
  void Descartado();

  // The journal of the open process (it exists once a row was posted); empty when none can be.
  const std::string& CaminhoDiario() const { return caminho_; }
  // Where the last journal put aside went; empty when none was.
  const std::string& UltimoPostoDeLado() const { return deLado_; }
  // The system's error number of the last failure to keep the journal; 0 after a record was kept.
  int UltimaFalha() const { return falha_; }

 private:
  void Registra(const RegistroDiario& r);
  void Escreve();
  void Falhou(int erro);
  void AvisaOutraJanela();
  void Reporta(const ConteudoDiario& d, const std::string& motivo, const char* nomeMotivo);
  int PoeDeLado(const char* motivo);
  std::string Confere(const ConteudoDiario& d, const TTabelaItens& tabela,
                      std::vector<int>& posicoes) const;
  void Aplica(const ConteudoDiario& d, const std::vector<int>& posicoes, TTabelaItens& tabela);

  std::string processo_;         // the open process file's absolute path
  std::string pasta_;            // our data folder
  std::string caminho_;          // the journal's path
  std::string deLado_;           // where the last journal put aside went
  platform::FileStamp carimbo_;  // the process file's stamp the records apply to
  platform::SyncedAppendFile arquivo_;
  std::string pendentes_;   // records not on the disk yet (a failed append): they go first
  bool desligado_ = false;  // no journal for this process (another window keeps it, or the old
                            // one could not be put aside)
  int erroAbertura_ = 0;    // the journal could not be looked at when the process was opened
  bool aplicando_ = false;  // the recovered records are being applied: they are kept already
  bool emBloco_ = false;
  std::vector<RegistroDiario> bloco_;  // the records of the open block
  bool avisado_ = false;               // the failure warning was shown in this run
  int falha_ = 0;
};

}  // namespace app
