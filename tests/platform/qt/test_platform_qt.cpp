// The Qt platform: style values to buttons and icons, pressed buttons to identifiers, the file
// filter and default extension, the Windows-1252 bridge, and the real boxes answered by a timer
// that finds the modal box and presses its buttons.
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <vector>

#include "platform/qt/QtCaixas.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/QtTexto.h"
#include "platform/qt/QtTraducao.h"
#include "support/QuandoModal.h"
#include "support/ServidorCups.h"

using platform::EstiloCaixa;
using B = QMessageBox;

namespace {
using teste::QuandoModal;
}  // namespace

class TestePlataformaQt : public QObject {
  Q_OBJECT

 private slots:
  // Every style value's buttons, icon and default button.
  void estiloParaBotoesEIcones() {
    struct {
      int estilo;
      B::StandardButtons botoes;
      B::Icon icone;
      B::StandardButton padrao;
    } casos[] = {
        {0, B::Ok, B::NoIcon, B::Ok},
        {16, B::Ok, B::Critical, B::Ok},
        {48, B::Ok, B::Warning, B::Ok},
        {64, B::Ok, B::Information, B::Ok},
        {36, B::Yes | B::No, B::Question, B::Yes},
        {35, B::Yes | B::No | B::Cancel, B::Question, B::Yes},
        {0x21, B::Ok | B::Cancel, B::Question, B::Ok},
        {0x2, B::Abort | B::Retry | B::Ignore, B::NoIcon, B::Abort},
        {0x5, B::Retry | B::Cancel, B::NoIcon, B::Retry},
        {0x4 | 0x100, B::Yes | B::No, B::NoIcon, B::No},
        {0x3 | 0x200, B::Yes | B::No | B::Cancel, B::NoIcon, B::Cancel},
        {0x0 | 0x200, B::Ok, B::NoIcon, B::Ok},
        {0x7, B::Ok, B::NoIcon, B::Ok},
    };
    for (auto& c : casos) {
      EstiloCaixa e = platform::estiloCaixa(c.estilo);
      QCOMPARE(e.botoes, c.botoes);
      QCOMPARE(e.icone, c.icone);
      QCOMPARE(e.padrao, c.padrao);
    }
  }

  // Pressed buttons to the identifiers callers compare with.
  void botaoParaIdentificador() {
    QCOMPARE(platform::idDoBotao(B::Ok), 1);
    QCOMPARE(platform::idDoBotao(B::Cancel), 2);
    QCOMPARE(platform::idDoBotao(B::Abort), 3);
    QCOMPARE(platform::idDoBotao(B::Retry), 4);
    QCOMPARE(platform::idDoBotao(B::Ignore), 5);
    QCOMPARE(platform::idDoBotao(B::Yes), 6);
    QCOMPARE(platform::idDoBotao(B::No), 7);
  }

  // "Description|*.ext|..." filters and the default extension of a saved file.
  void filtroEExtensao() {
    QCOMPARE(platform::qtFileFilter("*.xml|*.xml"), QString("*.xml (*.xml)"));
    QCOMPARE(platform::qtFileFilter("PDF|*.pdf|Todos|*.*"), QString("PDF (*.pdf);;Todos (*.*)"));
    QCOMPARE(platform::qtFileFilter("Texto|*.txt;*.prn"), QString("Texto (*.txt *.prn)"));
    QCOMPARE(platform::qtFileFilter("Arquivo HTML (*.HTML) |*.HTML|PDF (*.pdf)|*.PDF"),
             QString("Arquivo HTML (*.HTML);;PDF (*.pdf) (*.PDF)"));
    QCOMPARE(platform::withDefaultExtension("/tmp/a", "*.xml"), std::string("/tmp/a.xml"));
    QCOMPARE(platform::withDefaultExtension("/tmp/a", "pdf"), std::string("/tmp/a.pdf"));
    QCOMPARE(platform::withDefaultExtension("/tmp/a.htm", ".html"), std::string("/tmp/a.htm"));
    QCOMPARE(platform::withDefaultExtension("/tmp/a", ""), std::string("/tmp/a"));
  }

  // Windows-1252 both ways; what 1252 cannot hold becomes "?"; CR breaks lines in boxes.
  void ponteDeCodigos() {
    QCOMPARE(platform::toQString("Cota\xE7\xE3o \x80"), QString::fromUtf8("Cotação €"));
    QCOMPARE(platform::fromQString(QString::fromUtf8("Relatório ★ €")),
             std::string("Relat\xF3rio ? \x80"));
    QCOMPARE(platform::toQStringLinhas("a\rb\r\nc"), QString("a\nb\nc"));
    QCOMPARE(platform::pathFromQString(platform::pathToQString("/tmp/ação.xml")),
             std::string("/tmp/ação.xml"));
  }

  // Every box has no minimise or maximise button and is wide enough for its title; Enter answers
  // the default button (No with the second-button style), and the input box too.
  void caixasMostramOTituloInteiro() {
    platform::QtPlatform p("Digita\xE7\xE3o de Proposta");
    const std::string titulo = "Digite o nome da empresa: um t\xEDtulo bem comprido de caixa";
    const int necessaria = platform::larguraParaTitulo(platform::toQString(titulo));
    struct Visto {
      bool semMinMax = false;
      int largura = 0;
    };
    std::vector<Visto> vistos;
    auto confere = [&](QWidget* m) {
      const Qt::WindowFlags f = m->windowFlags();
      vistos.push_back(
          {!(f & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)), m->width()});
      QTest::keyClick(m->focusWidget() ? m->focusWidget() : m, Qt::Key_Return);
    };
    QuandoModal(confere);
    QCOMPARE(p.messageBox("x", titulo, 0x4 | 0x100), 7);
    QuandoModal(confere);
    std::string valor = "ACME";
    QVERIFY(p.inputQuery(titulo, "Empresa", valor));
    QCOMPARE(valor, std::string("ACME"));
    QCOMPARE(vistos.size(), size_t(2));
    for (const Visto& v : vistos) {
      QVERIFY(v.semMinMax);
      QVERIFY2(v.largura >= necessaria,
               qPrintable(QString("%1 < %2").arg(v.largura).arg(necessaria)));
    }
  }

  // The real box: title, text with its line break, buttons, icon; the pressed button's identifier.
  void caixaRealDevolveBotao() {
    platform::QtPlatform p("Digita\xE7\xE3o de Proposta");
    QString titulo, texto;
    QMessageBox::Icon icone = QMessageBox::NoIcon;
    QuandoModal([&](QWidget* m) {
      auto* box = qobject_cast<QMessageBox*>(m);
      QVERIFY(box);
      titulo = box->windowTitle();
      texto = box->text();
      icone = box->icon();
      box->button(QMessageBox::No)->click();
    });
    int r = p.messageBox("Primeira\rSegunda", "Aviso", 36);
    QCOMPARE(r, 7);
    QCOMPARE(titulo, QString("Aviso"));
    QCOMPARE(texto, QString("Primeira\nSegunda"));
    QCOMPARE(icone, QMessageBox::Question);

    QuandoModal([&](QWidget* m) {
      titulo = m->windowTitle();
      QTest::keyClick(m, Qt::Key_Escape);
    });
    QCOMPARE(p.messageBox("x", "Confirm", 0x21), 2);
    QuandoModal([&](QWidget* m) {
      titulo = m->windowTitle();
      icone = qobject_cast<QMessageBox*>(m)->icon();
      qobject_cast<QMessageBox*>(m)->button(QMessageBox::Ok)->click();
    });
    p.showApplicationError("'x' is not a valid integer value");
    QCOMPARE(titulo, QString::fromUtf8("Digitação de Proposta"));
    QCOMPARE(icone, QMessageBox::Critical);
  }

  // The input box: title and prompt; OK gives the typed text in 1252, Cancel leaves the value.
  void caixaDeEntrada() {
    platform::QtPlatform p("Digita\xE7\xE3o de Proposta");
    QString titulo, rotulo;
    QuandoModal([&](QWidget* m) {
      auto* d = qobject_cast<QInputDialog*>(m);
      QVERIFY(d);
      titulo = d->windowTitle();
      rotulo = d->labelText();
      d->setTextValue(QString::fromUtf8("Comércio ACME"));
      d->accept();
    });
    std::string valor;
    QVERIFY(p.inputQuery("Digite o nome da empresa:", "Empresa", valor));
    QCOMPARE(valor, std::string("Com\xE9rcio ACME"));
    QCOMPARE(titulo, QString("Digite o nome da empresa:"));
    QCOMPARE(rotulo, QString("Empresa"));
    QuandoModal([&](QWidget* m) { qobject_cast<QDialog*>(m)->reject(); });
    valor = "antes";
    QVERIFY(!p.inputQuery("T", "P", valor));
    QCOMPARE(valor, std::string("antes"));
  }

  // Every box of the program speaks Portuguese, buttons included, and shows its text as it is
  // (a name from a file that looks like markup is not rendered).
  void caixasEmPortugues() {
    platform::QtPlatform p("Digita\xE7\xE3o de Proposta");
    struct {
      int estilo;
      QStringList botoes;
    } casos[] = {
        {0, {"OK"}},
        {0x01, {"OK", "Cancelar"}},
        {0x02, {"Anular", "Repetir", "Ignorar"}},
        {0x03, {"Sim", QString::fromUtf8("Não"), "Cancelar"}},
        {0x04, {"Sim", QString::fromUtf8("Não")}},
        {0x05, {"Repetir", "Cancelar"}},
    };
    for (const auto& c : casos) {
      QStringList botoes;
      Qt::TextFormat formato = Qt::AutoText;
      QuandoModal([&](QWidget* m) {
        auto* box = qobject_cast<QMessageBox*>(m);
        for (QAbstractButton* b : box->buttons()) botoes << b->text();
        formato = box->textFormat();
        box->buttons().constFirst()->click();
      });
      p.messageBox("<b>Lote 1</b>", "Confirmar", c.estilo);
      botoes.sort();
      QStringList esperado = c.botoes;
      esperado.sort();
      QCOMPARE(botoes, esperado);
      QCOMPARE(formato, Qt::PlainText);
    }
    for (bool erro : {false, true}) {
      QStringList botoes;
      QuandoModal([&](QWidget* m) {
        for (QAbstractButton* b : qobject_cast<QMessageBox*>(m)->buttons()) botoes << b->text();
        qobject_cast<QMessageBox*>(m)->buttons().constFirst()->click();
      });
      if (erro)
        p.showApplicationError("x");
      else
        p.showMessage("x");
      QCOMPARE(botoes, QStringList{"OK"});
    }
    QStringList botoes;
    QuandoModal([&](QWidget* m) {
      for (QPushButton* b : m->findChildren<QPushButton*>()) botoes << b->text();
      qobject_cast<QDialog*>(m)->reject();
    });
    std::string valor;
    p.inputQuery("Digite o nome da empresa:", "Empresa", valor);
    botoes.sort();
    QCOMPARE(botoes, (QStringList{"Cancelar", "OK"}));
  }

  // Qt's own texts come in Portuguese once its translations are installed (the file dialog's
  // labels), and the open dialog takes a name typed without an extension as the .xml file.
  void dialogoDeArquivoEmPortugues() {
    QVERIFY(platform::installQtTranslations(*qApp));
    QTemporaryDir pasta;
    QFile(pasta.filePath("pregao15.xml")).open(QIODevice::WriteOnly);
    platform::QtPlatform p("x");
    QStringList rotulos;
    QuandoModal([&](QWidget* m) {
      auto* d = qobject_cast<QFileDialog*>(m);
      QVERIFY(d);
      d->setDirectory(pasta.path());
      for (QLabel* l : d->findChildren<QLabel*>()) rotulos << l->text();
      auto* nome = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      QVERIFY(nome);
      nome->setText(QStringLiteral("pregao15"));
      QTest::keyClick(nome, Qt::Key_Return);
    });
    auto escolhido = p.openFileDialog("", "*.xml|*.xml", "*.xml");
    QVERIFY(rotulos.contains(QStringLiteral("&Nome do arquivo:")));
    QVERIFY(escolhido.has_value());
    QCOMPARE(QString::fromStdString(*escolhido), pasta.filePath("pregao15.xml"));
  }

  // The printers are the spooler's: its queues listed, the default current, a missing queue
  // refused with the spooler's error number.
  void impressorasDoCups() {
    teste::ServidorCups cups;
    if (!cups.ok()) QSKIP(cups.motivo().c_str());
    QCOMPARE(cups.AdicionaFila("lx300", "Epson LX-300+"), std::string());
    QCOMPARE(cups.Executa("lpadmin -d lx300"), 0);
    platform::QtPlatform p("x");
    QCOMPARE(p.printers().size(), size_t(1));
    QCOMPARE(p.currentPrinter()->description, std::string("Epson LX-300+"));
    platform::SinkError erro;
    QVERIFY(!p.startRawJob("nenhuma", "doc", erro));
    QCOMPARE(erro.code, 0x0406);
  }
};

QTEST_MAIN(TestePlataformaQt)
#include "test_platform_qt.moc"
