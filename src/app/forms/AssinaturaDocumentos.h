// The program's own signing window, opened by "&Assinar Docum. Dig." when the external signing
// application is not beside the program: the documents to sign (the process's PDFs and proposal
// file proposed, others added), the certificate from an A1 file with its password or from a
// token through a PKCS#11 module with the PIN (asked each time, never kept), the holder's data,
// and the result of each document. The signing itself is the core's (src/signing).
#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "signing/Certificado.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace signing {
class SessaoToken;
}

namespace app::forms {

class TForm1;

class TFormAssinatura : public QDialog {
  Q_OBJECT

 public:
  // The window with `documentos` (paths) proposed, checked.
  TFormAssinatura(const std::vector<std::string>& documentos, QWidget* parent = nullptr);
  ~TFormAssinatura() override;

  // Adds a document to the list, checked (a path already listed is not added twice).
  void AdicionaDocumento(const std::string& caminho);
  // Reads the certificates of the chosen module's tokens (no PIN needed).
  void LeToken();
  // Reads the A1 file with the typed password and shows its holder.
  void LeArquivoA1();
  // Signs every checked document with the chosen certificate; the PIN field is emptied after.
  void Assina();

  QListWidget* listaDocumentos;
  QPushButton* botaoAdicionar;
  QRadioButton* opcaoA1;
  QLineEdit* arquivoA1;
  QPushButton* botaoProcurarA1;
  QLineEdit* senhaA1;
  QRadioButton* opcaoToken;
  QComboBox* modulo;
  QPushButton* botaoProcurarModulo;
  QPushButton* botaoLerToken;
  QComboBox* certificadosToken;
  QLineEdit* pin;
  QLabel* titular;
  QPushButton* botaoAssinar;
  QPlainTextEdit* resultado;

 private:
  void CriaControles();
  void MostraTitular(const signing::DadosTitular* t);
  bool ObtemAssinante(signing::Assinante& a);
  void Registra(const std::string& linhaCp1252);
  std::shared_ptr<signing::SessaoToken> sessao_;
};

// "&Assinar Docum. Dig." without the external application: the window for the window's process.
void AbreAssinaturaDocumentos(TForm1& janela);

}  // namespace app::forms
