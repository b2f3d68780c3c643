// The written proposal in the main window: a profile chosen (the bidder and CNPJ edits take it),
// the terms filled, the letter opened in the preview and exported as PDF, the check listed, and
// the CNPJ edit taking an alphanumeric CNPJ and reporting wrong check digits when left.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "Ambiente.h"
#include "app/Perfis.h"
#include "app/TermosProposta.h"
#include "app/forms/CartaJanelas.h"
#include "app/forms/TEdit.h"
#include "report/forms/RDjanelasQt.h"
#include "report/forms/RDpreview.h"
#include "support/PDF.h"
#include "support/PastasUsuario.h"

using teste::Ambiente;

class TesteCarta : public QObject {
  Q_OBJECT

  // Runs `acao` on the modal dialog named `nome` once it is up, while `comando` runs.
  template <typename F>
  static bool NoDialogo(const char* nome, F acao, const std::function<void()>& comando) {
    bool visto = false;
    QTimer::singleShot(0, [&] {
      QWidget* d = QApplication::activeModalWidget();
      if (!d || d->objectName() != nome) return;
      visto = true;
      acao(d);
    });
    comando();
    return visto;
  }

 private slots:
  void perfilTermosCartaEConferencia() {
    teste::PastasUsuario pastas;
    app::PerfilEmpresa p;
    p.nome = "Matriz";
    p.razaoSocial = "Papelaria Alfa Ltda";
    p.cnpj = "12ABC34501DE35";
    p.representante = "Maria da Silva";
    p.cpf = "52998224725";
    QVERIFY(!app::SalvaPerfil(p));
    Ambiente a;
    a.Abre();
    auto& w = *a.janela;

    // The profile chosen for this proposal fills the bidder and CNPJ edits.
    QVERIFY(NoDialogo(
        "DialogoPerfis",
        [](QWidget* d) {
          d->findChild<QListWidget*>("lista")->setCurrentRow(0);
          d->findChild<QPushButton*>("usar")->click();
        },
        [&] { app::forms::ComandoPerfis(w); }));
    QCOMPARE(w.edtlicitante->text(), QString("Papelaria Alfa Ltda"));
    QCOMPARE(QString::fromStdString(w.CNPJ()), QString("12ABC34501DE35"));

    // The terms, kept for this process.
    QVERIFY(NoDialogo(
        "DialogoTermos",
        [](QWidget* d) {
          d->findChild<QLineEdit*>("orgao")->setText(QString::fromUtf8("Prefeitura de São José"));
          d->findChild<QSpinBox*>("validade_dias")->setValue(90);
          d->findChild<QComboBox*>("casas_decimais")->setCurrentIndex(1);
          QTest::keyClick(d, Qt::Key_Return);
        },
        [&] { app::forms::ComandoTermos(w); }));
    const app::TermosLidos t = app::LeTermos(w.Proposta().label5, w.Proposta().memo2);
    QVERIFY(t.guardados);
    QCOMPARE(t.termos.orgao, std::string("Prefeitura de S\xE3o Jos\xE9"));
    QCOMPARE(t.termos.validadeDias, 90);
    QCOMPARE(t.termos.casasDecimais, 4);
    QCOMPARE(t.termos.perfil, std::string("Matriz"));

    // The letter in the preview, exported as PDF from there.
    report::forms::TJanelasQt janelas;
    report::JanelasInstaladas guarda(janelas);
    const std::string pdf = pastas / "carta.PDF";
    a.plataforma.arquivosSalvar.push_back(teste::PlataformaRoteiro::Salvar{pdf, 0});
    QString titulo;
    bool visto = false;
    QTimer::singleShot(0, [&] {
      auto* pv = qobject_cast<report::forms::TDFMPreview*>(QApplication::activeModalWidget());
      if (!pv) return;
      visto = true;
      titulo = pv->windowTitle();
      pv->btPDFClick();
      QTest::keyClick(pv, Qt::Key_Escape);
    });
    w.ExecutaComando([&] { app::forms::ComandoCarta(w); });
    a.Processa();
    QVERIFY(visto);
    QCOMPARE(titulo, QString("Proposta Comercial"));
    const teste::Execucao txt = teste::Executa("pdftotext '" + pdf + "' -");
    QCOMPARE(txt.codigo, 0);
    QVERIFY(txt.saida.find("PROPOSTA COMERCIAL") != std::string::npos);
    QVERIFY(txt.saida.find("Prefeitura de São José") != std::string::npos);
    QVERIFY(txt.saida.find("90 (noventa) dias") != std::string::npos);

    // The check lists the unpriced item of the first lot.
    QStringList pendencias;
    QVERIFY(NoDialogo(
        "DialogoConferencia",
        [&](QWidget* d) {
          auto* l = d->findChild<QListWidget*>("pendencias");
          for (int i = 0; i < l->count(); ++i) pendencias << l->item(i)->text();
          QTest::keyClick(d, Qt::Key_Escape);
        },
        [&] { app::forms::ComandoConferir(w); }));
    QVERIFY(!pendencias.filter("Item 00001 (lote 1): sem valor").isEmpty());
    QVERIFY(a.plataforma.erros.empty());
  }

  // Letters typed in lower case become upper case; leaving the edit with wrong check digits says
  // so and keeps what was typed.
  void cnpjAlfanumericoConferidoAoSair() {
    teste::PastasUsuario pastas;
    Ambiente a;
    a.Abre();
    auto& w = *a.janela;
    w.MeditCNPJ->setFocus();
    a.Processa();
    w.MeditCNPJ->setCursorPosition(0);
    a.Digita("12abc34501de53");
    a.Tecla(Qt::Key_Tab);
    a.Processa();
    QCOMPARE(w.MeditCNPJ->text(), QString("12.ABC.345/01DE-53"));
    QCOMPARE(a.plataforma.mensagens.size(), size_t(1));
    QVERIFY(a.plataforma.mensagens[0].find("verificadores") != std::string::npos);

    w.MeditCNPJ->setFocus();
    a.Processa();
    w.MeditCNPJ->selectAll();
    a.Digita("12abc34501de35");
    a.Tecla(Qt::Key_Tab);
    a.Processa();
    QCOMPARE(QString::fromStdString(w.CNPJ()), QString("12ABC34501DE35"));
    QCOMPARE(a.plataforma.mensagens.size(), size_t(1));
  }
};

QTEST_MAIN(TesteCarta)
#include "test_carta.moc"
