// Item entry in the main window with real key events: opening a file, the brand and price edits,
// Enter walking the items, Esc, the price filter and refusal, the focus colours and the total.
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include "Ambiente.h"
#include "app/forms/Aparencia.h"
#include "app/forms/TDBEdit.h"
#include "app/forms/TDBGrid.h"
#include "app/forms/TEdit.h"
#include "platform/qt/QtTexto.h"

using app::Campo;
using app::forms::CorFoco;
using app::forms::CorFundo;
using app::forms::CorJanela;
using teste::Ambiente;

namespace {
QString Q(const char* cp1252) { return platform::toQString(cp1252); }
}  // namespace

class TesteEntrada : public QObject {
  Q_OBJECT

 private slots:
  // Before a file: "&Abrir Processo" has the focus and the caption is the design one; after the
  // dialog answers a file, the first row is shown, the caption counts items, the brand has focus.
  void abrirArquivoMostraPrimeiroItem() {
    Ambiente a;
    auto& w = *a.janela;
    QCOMPARE(Ambiente::Foco(), w.BitBtn1);
    QCOMPARE(w.windowTitle(), Q("Digita\xE7\xE3o de Propostas"));
    QCOMPARE(w.pos(), QPoint(212, 11));
    QCOMPARE(w.Label6->text(), Q("Crit\xE9rio:"));
    a.Abre();
    QCOMPARE(a.plataforma.dialogosAbrir, 1);
    QCOMPARE(w.Edit1->text().toStdString(), a.processo);
    QCOMPARE(w.windowTitle(), Q("Digita\xE7\xE3o de Proposta - Item 1 de 4"));
    QCOMPARE(w.Label2->text(), Q("Processo:"));
    QCOMPARE(w.Label5->text(), Q("2024/0007"));
    QCOMPARE(w.Label6->text(), Q("Crit\xE9rio: Menor Pre\xE7o Unit\xE1rio do Item"));
    QCOMPARE(w.DBText1->text(), Q("Caneta azul"));
    QCOMPARE(w.DBEdit2->text(), Q("0,0000"));
    QCOMPARE(w.DBGrid1->model()->rowCount(), 4);
    QCOMPARE(Ambiente::Foco(), w.DBEdit1);
    QVERIFY(a.plataforma.erros.empty());
  }

  // Accented letters, refused symbols and characters outside the code page never reach the brand;
  // the typed row goes into edit mode and the cleaned brand is posted with the item.
  void marcaRecusaAcentosESimbolos() {
    Ambiente a;
    a.Abre();
    auto& w = *a.janela;
    auto& t = w.Proposta().ClientDataSet1;
    a.Digita(QString::fromUtf8("Açaí/Ltd:a 9'X★é"));
    QCOMPARE(w.DBEdit1->text(), QString("AaLtda 9X"));
    QCOMPARE(t.EstadoAtual(), app::TTabelaItens::Estado::Editando);
    a.Digita(QString("ABCDEFGHIJKLMNOPQRSTUVWXYZ"));
    QCOMPARE(w.DBEdit1->text().size(), 20);
    a.Tecla(Qt::Key_Return);
    QCOMPARE(Ambiente::Foco(), w.DBEdit2);
    a.Tecla(Qt::Key_Return);
    QCOMPARE(t.Linha(0).marca, std::string("AaLtda 9XABCDEFGHIJK"));
    QCOMPARE(t.NumeroLinha(), 2);
  }

  // Pasting removes the slash and the apostrophe and keeps the rest.
  void colarMarcaRemoveBarraEApostrofo() {
    Ambiente a;
    a.Abre();
    auto& w = *a.janela;
    QApplication::clipboard()->setText(QString("Bic/Cristal's 2"));
    a.Tecla(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(w.DBEdit1->text(), QString("BicCristals 2"));
    QVERIFY(w.DBEdit1->Modificado());
  }

  // A brand read with a colon is shown without it and written back unchanged unless edited.
  void marcaDoArquivoComDoisPontosSoMudaSeEditada() {
    Ambiente a;
    a.Abre();
    auto& w = *a.janela;
    auto& t = w.Proposta().ClientDataSet1;
    a.Tecla(Qt::Key_Return);  // brand untouched -> price
    a.Digita("1");
    a.Tecla(Qt::Key_Return);  // item 1 priced, item 2 current
    QCOMPARE(w.DBEdit1->text(), QString("Faber"));
    a.Tecla(Qt::Key_Return);
    a.Digita("2");
    a.Tecla(Qt::Key_Return);
    QCOMPARE(t.Linha(1).marca, std::string("Fa:ber"));
    QCOMPARE(t.Linha(1).valor.value_or(-1), 2.0);
    // Now edit it: one more letter, and the cleaned text is stored.
    t.IrParaLinha(2);
    a.Processa();
    w.DBEdit2->setFocus();
    w.DBEdit1->setFocus();
    a.Processa();
    QCOMPARE(w.DBEdit1->selectedText(), QString("Faber"));
    a.Tecla(Qt::Key_End);
    a.Digita("s");
    a.Tecla(Qt::Key_Return);
    a.Tecla(Qt::Key_Return);
    QCOMPARE(t.Linha(1).marca, std::string("Fabers"));
  }

  // Brand, Enter, price, Enter walks the items in table order.
  void enterPercorreItens() {
    Ambiente a;
    a.Abre();
    auto& w = *a.janela;
    auto& t = w.Proposta().ClientDataSet1;
    struct {
      const char *marca, *preco;
    } entrada[] = {{"Bic", "1,5"}, {"", "0,75"}, {"Chamex", "21,9"}};
    for (auto& e : entrada) {
      QCOMPARE(Ambiente::Foco(), w.DBEdit1);
      a.Digita(e.marca);
      a.Tecla(Qt::Key_Return);
      QCOMPARE(Ambiente::Foco(), w.DBEdit2);
      QVERIFY(w.DBEdit2->hasSelectedText());
      a.Digita(e.preco);
      a.Tecla(Qt::Key_Return);
    }
    QCOMPARE(t.NumeroLinha(), 4);
    QCOMPARE(w.windowTitle(), Q("Digita\xE7\xE3o de Proposta - Item 4 de 4"));
    QCOMPARE(w.Label6->text(), Q("Crit\xE9rio: Menor Pre\xE7o Total do Item"));
    QCOMPARE(t.Linha(0).marca, std::string("Bic"));
    QCOMPARE(t.Linha(0).valor.value_or(-1), 1.5);
    QCOMPARE(t.Linha(1).marca, std::string("Fa:ber"));
    QCOMPARE(t.Linha(1).valor.value_or(-1), 0.75);
    QCOMPARE(t.Linha(2).marca, std::string("Chamex"));
    QCOMPARE(t.Linha(2).valor.value_or(-1), 21.9);
    QCOMPARE(w.DBGrid1->currentIndex().row(), 3);
    QCOMPARE(w.DBGrid1->model()->data(w.DBGrid1->model()->index(1, 7)).toString(),
             QString("R$ 2,25"));
  }

  // An emptied price with Enter stores 0 (not an empty price) and moves on; on the last item it
  // stays there and the brand gets the focus.
  void precoVazioComEnterGuardaZero() {
    Ambiente a;
    a.Abre();
    auto& w = *a.janela;
    auto& t = w.Proposta().ClientDataSet1;
    t.IrParaLinha(2);
    a.Processa();
    w.DBEdit2->setFocus();
    a.Processa();
    QCOMPARE(w.DBEdit2->text(), QString("1,2000"));
    a.Tecla(Qt::Key_Backspace);
    QCOMPARE(w.DBEdit2->text(), QString());
    a.Tecla(Qt::Key_Return);
    QVERIFY(t.Linha(1).valor.has_value());
    QCOMPARE(*t.Linha(1).valor, 0.0);
    QCOMPARE(t.NumeroLinha(), 3);
    QCOMPARE(Ambiente::Foco(), w.DBEdit1);

    t.Ultimo();
    a.Processa();
    w.DBEdit2->setFocus();
    a.Processa();
    a.Tecla(Qt::Key_Delete);
    QCOMPARE(w.DBEdit2->text(), QString());
    a.Tecla(Qt::Key_Return);
    QCOMPARE(t.NumeroLinha(), 4);
    QCOMPARE(t.EstadoAtual(), app::TTabelaItens::Estado::Navegando);
    QCOMPARE(t.Linha(3).valor.value_or(-1), 0.0);
    QCOMPARE(w.DBEdit2->text(), QString("0,0000"));
    QCOMPARE(Ambiente::Foco(), w.DBEdit1);
  }

  // Esc gives each edit back the row's value, selected; nothing typed reaches the row.
  void escRestaura() {
    Ambiente a;
    a.Abre();
    auto& w = *a.janela;
    auto& t = w.Proposta().ClientDataSet1;
    t.Proximo();
    a.Processa();
    w.DBEdit2->setFocus();
    w.DBEdit1->setFocus();
    a.Processa();
    a.Digita("Zeta");
    QCOMPARE(w.DBEdit1->text(), QString("Zeta"));
    a.Tecla(Qt::Key_Escape);
    QCOMPARE(w.DBEdit1->text(), QString("Faber"));
    QCOMPARE(w.DBEdit1->selectedText(), QString("Faber"));
    QVERIFY(!w.DBEdit1->Modificado());
    w.DBEdit2->setFocus();
    a.Processa();
    a.Digita("9");
    QCOMPARE(w.DBEdit2->text(), QString("9"));
    a.Tecla(Qt::Key_Escape);
    QCOMPARE(w.DBEdit2->text(), QString("1,2000"));
    QCOMPARE(w.DBEdit2->selectedText(), QString("1,2000"));
    a.Tecla(Qt::Key_Return);
    QCOMPARE(t.Linha(1).valor.value_or(-1), 1.2);
    QCOMPARE(t.Linha(1).marca, std::string("Fa:ber"));
  }

  // The price takes digits, signs, E and the comma; other printable keys beep and are dropped.
  void precoFiltraTeclasComBipe() {
    Ambiente a;
    a.Abre();
    auto& w = *a.janela;
    w.DBEdit2->setFocus();
    a.Processa();
    a.Digita("a.2x,5/");
    QCOMPARE(w.DBEdit2->text(), QString("2,5"));
    QCOMPARE(a.bipes, 4);
    a.Digita("E+1-e");
    QCOMPARE(w.DBEdit2->text(), QString("2,5E+1-e"));
    QCOMPARE(a.bipes, 4);
  }

  // The keypad's decimal key types the comma (as a US keypad gives "." and a Brazilian one ",");
  // a point typed on the main keys is refused and the status bar says why.
  void pontoDoTecladoNumericoViraVirgula() {
    Ambiente a;
    a.Abre();
    auto& w = *a.janela;
    w.DBEdit2->setFocus();
    a.Processa();
    a.Digita("12");
    for (const char* ponto : {".", ","}) {
      QTest::keyClick(w.DBEdit2, Qt::Key_Period, Qt::KeypadModifier);  // a "." key event
      QTest::sendKeyEvent(QTest::Click, w.DBEdit2, Qt::Key_Comma, QString(ponto),
                          Qt::KeypadModifier);
      QCOMPARE(w.DBEdit2->text(), QString("12,,"));
      a.Tecla(Qt::Key_Backspace);
      a.Tecla(Qt::Key_Backspace);
    }
    QCOMPARE(a.bipes, 0);
    QVERIFY(w.StatusBar1->currentMessage().isEmpty());
    a.Digita(".50");
    QCOMPARE(w.DBEdit2->text(), QString("1250"));
    QCOMPARE(a.bipes, 1);
    QCOMPARE(w.StatusBar1->currentMessage(),
             QString("Use a v\u00EDrgula para separar os centavos"));
  }

  // Prices no bid can have are refused when the row is posted, naming the item; the row and the
  // focus stay.
  void precoNegativoOuGrandeDemaisRecusado() {
    Ambiente a;
    a.Abre();
    auto& w = *a.janela;
    auto& t = w.Proposta().ClientDataSet1;
    for (const char* preco : {"-5", "99999999999999999999"}) {
      a.plataforma.erros.clear();
      w.DBEdit2->setFocus();
      a.Processa();
      a.Tecla(Qt::Key_A, Qt::ControlModifier);
      a.Digita(preco);
      a.Tecla(Qt::Key_Return);
      QCOMPARE(a.plataforma.erros.size(), size_t(1));
      QVERIFY(a.plataforma.erros[0].rfind("O pre\xE7o do item 1 ", 0) == 0);
      QCOMPARE(t.NumeroLinha(), 1);
      QCOMPARE(Ambiente::Foco(), w.DBEdit2);
    }
  }

  // A price that does not convert is refused when the row is posted: the error box, the row and
  // the focus stay; the same when the focus leaves the edit.
  void precoInvalidoMostraErroEFocoFica() {
    Ambiente a;
    a.Abre();
    auto& w = *a.janela;
    auto& t = w.Proposta().ClientDataSet1;
    w.DBEdit2->setFocus();
    a.Processa();
    a.Digita("1,2,3");
    a.Tecla(Qt::Key_Return);
    QCOMPARE(a.plataforma.erros.size(), size_t(1));
    QCOMPARE(a.plataforma.erros[0],
             std::string("'1,2,3' is not a valid floating point value for field 'valor'"));
    QCOMPARE(t.NumeroLinha(), 1);
    QCOMPARE(Ambiente::Foco(), w.DBEdit2);
    QCOMPARE(w.DBEdit2->text(), QString("1,2,3"));

    w.edtlicitante->setFocus(Qt::TabFocusReason);
    a.Processa();
    QCOMPARE(a.plataforma.erros.size(), size_t(2));
    QCOMPARE(Ambiente::Foco(), w.DBEdit2);
    QCOMPARE(w.DBEdit2->selectedText(), QString("1,2,3"));
    a.Tecla(Qt::Key_Escape);
    a.Tecla(Qt::Key_Return);
    QCOMPARE(t.NumeroLinha(), 2);
    QCOMPARE(a.plataforma.erros.size(), size_t(2));
  }

  // The bidder, the CNPJ and the brand turn yellow with the focus and back to the window colour
  // when left; the price has no marking.
  void coresDeFoco() {
    Ambiente a;
    a.Abre();
    auto& w = *a.janela;
    QCOMPARE(CorFundo(w.DBEdit1), CorFoco());
    QWidget* marcados[] = {w.edtlicitante, w.MeditCNPJ, w.DBEdit1, w.DBEdit2};
    for (QWidget* alvo : marcados) {
      alvo->setFocus(Qt::TabFocusReason);
      a.Processa();
      for (QWidget* outro : marcados) {
        bool amarelo = outro == alvo && outro != w.DBEdit2;
        QCOMPARE(CorFundo(outro), amarelo ? CorFoco() : CorJanela());
      }
    }
    w.MeditCNPJ->setFocus(Qt::TabFocusReason);
    a.Processa();
    a.Tecla(Qt::Key_Home);
    a.Digita("12345678000195");
    QCOMPARE(w.MeditCNPJ->text(), QString("12.345.678/0001-95"));
    QCOMPARE(w.CNPJ(), std::string("12345678000195"));
    w.edtlicitante->setFocus(Qt::TabFocusReason);
    a.Processa();
    a.Digita(QString::fromUtf8("Comércio ★ Ltda"));
    QCOMPARE(w.Licitante(), std::string("Com\xE9rcio ? Ltda"));
  }

  // Texts from the file that look like markup are shown as they are, tags and entities included,
  // in the labels as in the memos.
  void textosDoArquivoSemMarcacao() {
    Ambiente a(teste::ProcessoFixture(
        "<b>1</b>", "<i>Preg\xE3o</i> &amp;",
        {{"1", "C-1", "<b>Caneta</b> azul &amp; preta", "<u>d</u>", "", "1", "", "1", "1"}}));
    a.Abre();
    auto& w = *a.janela;
    QCOMPARE(w.DBText1->text(), QStringLiteral("<b>Caneta</b> azul &amp; preta"));
    QCOMPARE(w.Label5->text(), QStringLiteral("<b>1/</b>"));
    QCOMPARE(w.Memo2->toPlainText(), QStringLiteral("<i>Preg\u00E3o</i> &amp;"));
    QCOMPARE(w.DBMemo1->toPlainText(), QStringLiteral("<u>d</u>"));
    for (QLabel* l : {w.DBText1, w.Label5}) {
      // Rendered as markup, the text would be narrower than its characters written out.
      QVERIFY2(l->sizeHint().width() >= l->fontMetrics().horizontalAdvance(l->text()),
               qPrintable(l->objectName()));
    }
  }

  // The focus reaches an edit while the window is inactive (after the open dialog, or a file
  // named on the command line): when the window is active again the edit is yellow and its text
  // selected, so typing replaces it; the edit it left gets the window colour back. The window
  // coming back to the edit it was on changes neither the colour nor the cursor.
  void focoQueChegaComAJanelaMarcaESeleciona() {
    Ambiente a;
    a.Abre();
    auto& w = *a.janela;
    w.edtlicitante->setText(QStringLiteral("ACME"));
    w.MeditCNPJ->setText(QStringLiteral("12345678000195"));
    w.Proposta().ClientDataSet1.IrParaLinha(2);  // item 2, brand "Fa:ber" shown as "Faber"
    a.Processa();
    QDialog dialogo(&w);
    auto ativa = [&](QWidget* janela) {
      janela->activateWindow();
      QApplication::setActiveWindow(janela);
      QVERIFY(QTest::qWaitForWindowActive(janela));
      a.Processa();
    };
    app::forms::TEdit* marcados[] = {w.edtlicitante, w.MeditCNPJ, w.DBEdit1};
    QWidget* antes = w.DBEdit1;
    for (app::forms::TEdit* alvo : marcados) {
      dialogo.show();
      ativa(&dialogo);
      alvo->setFocus(Qt::OtherFocusReason);
      dialogo.hide();
      ativa(&w);
      QCOMPARE(Ambiente::Foco(), alvo);
      QCOMPARE(CorFundo(alvo), CorFoco());
      QVERIFY(!alvo->text().isEmpty());
      QCOMPARE(alvo->selectedText(), alvo->text());
      if (antes != alvo) QCOMPARE(CorFundo(antes), CorJanela());
      antes = alvo;
      if (alvo == w.DBEdit1) {
        a.Digita("Bic");
        QCOMPARE(w.DBEdit1->text(), QStringLiteral("Bic"));
      }

      alvo->setCursorPosition(1);
      dialogo.show();
      ativa(&dialogo);
      dialogo.hide();
      ativa(&w);
      QCOMPARE(CorFundo(alvo), CorFoco());
      QVERIFY(!alvo->hasSelectedText());
      QCOMPARE(alvo->cursorPosition(), 1);
    }
  }

  // The total button shows the proposal total; a typed price resets it to its caption.
  void totalEReinicio() {
    Ambiente a;
    a.Abre();
    auto& w = *a.janela;
    QTest::mouseClick(w.btn1, Qt::LeftButton);
    a.Processa();
    QCOMPARE(w.btn1->text(), QString("Vr. Total da Prop.: R$ 3,00"));
    QCOMPARE(w.Proposta().ClientDataSet1.NumeroLinha(), 1);
    w.DBEdit2->setFocus();
    a.Processa();
    a.Digita("0,0003");
    a.Tecla(Qt::Key_Return);
    QCOMPARE(w.btn1->text(), QString("Valor Total da Proposta"));
    QTest::mouseClick(w.btn1, Qt::LeftButton);
    a.Processa();
    QCOMPARE(w.btn1->text(), QString("Vr. Total da Prop.: R$ 3,00"));  // 0,0003 x 10 = 0,003
    QCOMPARE(w.Proposta().ClientDataSet1.NumeroLinha(), 2);            // item 2 was current
  }
};

QTEST_MAIN(TesteEntrada)
#include "test_form_entrada.moc"
