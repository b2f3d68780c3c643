// The signing window driven as a user would: with no external signing application beside the
// program, "&Assinar Docum. Dig." opens it on the open process; the listing exported as PDF is
// proposed, the SoftHSM token is read, a wrong PIN is told and emptied, the right one signs, and
// pdfsig accepts the signed copy.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "Ambiente.h"
#include "app/Listagem.h"
#include "app/forms/AssinaturaDocumentos.h"
#include "report/RDjanelas.h"
#include "signing/vekDigitalSign.h"
#include "support/MaterialAssinatura.h"

using teste::Ambiente;

namespace {

// Windows whose preview writes the composed listing as PDF.
class JanelasPdf : public report::TJanelasSemTela {
 public:
  std::string destino;
  void MostraPreview(report::TRDprint& rd) override { rd.GravaPDF(destino); }
};

// The listing of the open process composed as "Relatório" does, exported as PDF.
void ExportaListagem(app::TTabelaItens& tabela, const std::string& destino) {
  JanelasPdf janelas;
  janelas.destino = destino;
  report::JanelasInstaladas guarda(janelas);
  report::TRDprint rd;
  app::ConfiguraRDprint1(rd);
  app::TListagem listagem(rd, tabela);
  listagem.Label5Caption = "20240007";
  listagem.BitBtn2Click();
}

}  // namespace

class TesteAssinatura : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    material_ = std::make_unique<teste::MaterialAssinatura>();
    token_ = std::make_unique<teste::TokenSoftHsm>(*material_, "pf");
  }
  void cleanupTestCase() {
    token_.reset();
    material_.reset();
    signing::TDigitalSign::setDirectoryBaseForTesting("");
  }

  void BitBtn5OpensTheWindowAndTheTokenSignsTheListing() {
    Ambiente a;
    ::setenv("XDG_CONFIG_HOME", (a.pasta.path().toStdString() + "/config").c_str(), 1);
    signing::TDigitalSign::setDirectoryBaseForTesting(a.pasta.path().toStdString() + "/programa");
    a.Abre();
    const std::string pdf = a.pasta.path().toStdString() + "/listagem.pdf";
    ExportaListagem(a.janela->Proposta().ClientDataSet1, pdf);
    QString registro;
    int documentos = -1;
    QTimer::singleShot(0, [&] {
      auto* w = qobject_cast<app::forms::TFormAssinatura*>(QApplication::activeModalWidget());
      if (!w) return;
      documentos = w->listaDocumentos->count();
      w->modulo->setCurrentText(QString::fromUtf8(teste::kModuloSoftHsm));
      QTest::mouseClick(w->botaoLerToken, Qt::LeftButton);
      w->pin->setText(QStringLiteral("000000"));
      QTest::mouseClick(w->botaoAssinar, Qt::LeftButton);
      QVERIFY(w->pin->text().isEmpty());
      w->pin->setText(QString::fromUtf8(teste::kPinToken));
      QTest::mouseClick(w->botaoAssinar, Qt::LeftButton);
      registro = w->resultado->toPlainText();
      w->reject();
    });
    QTest::mouseClick(a.janela->BitBtn5, Qt::LeftButton);
    QCOMPARE(documentos, 1);
    QVERIFY2(registro.contains(QStringLiteral("PIN incorreto")), qPrintable(registro));
    QVERIFY2(registro.contains(QStringLiteral("1 de 1 documento(s) assinado(s)")),
             qPrintable(registro));
    auto [codigo, saida] = teste::Comando("pdfsig -nssdir '" + material_->BancoNss() + "' '" +
                                          a.pasta.path().toStdString() + "/listagem-assinado.pdf'");
    QVERIFY2(saida.find("Signature is Valid") != std::string::npos, saida.c_str());
    QVERIFY(a.plataforma.erros.empty());
    ::unsetenv("XDG_CONFIG_HOME");
  }

  void ExpiredA1IsRefusedAndNothingIsWritten() {
    teste::PastaTemporaria pasta("janela-assinatura");
    teste::Grava(pasta / "doc.txt", "documento");
    app::forms::TFormAssinatura w({pasta / "doc.txt"});
    w.arquivoA1->setText(QString::fromStdString(material_->Pfx("vencido")));
    w.senhaA1->setText(QString::fromUtf8(teste::kSenhaA1));
    QTest::mouseClick(w.botaoAssinar, Qt::LeftButton);
    QVERIFY2(w.resultado->toPlainText().contains(QStringLiteral("venceu em 01/01/2021")),
             qPrintable(w.resultado->toPlainText()));
    QCOMPARE(teste::Nomes(pasta.caminho()), std::vector<std::string>{"doc.txt"});
  }

 private:
  std::unique_ptr<teste::MaterialAssinatura> material_;
  std::unique_ptr<teste::TokenSoftHsm> token_;
};

QTEST_MAIN(TesteAssinatura)
#include "test_assinatura.moc"
