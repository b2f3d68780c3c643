// The grid, the navigator and the window's layout: columns, titles, widths, fonts, the lot totals
// on each lot's last row, row selection without editing, moves that post the edited row, captions
// that fit their controls, and a large process that the grid does not rebuild on every row change.
#include <QAbstractItemModel>
#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

#include "Ambiente.h"
#include "app/forms/ModeloGrade.h"
#include "app/forms/TDBEdit.h"
#include "app/forms/TDBGrid.h"
#include "app/forms/TDBNavigator.h"
#include "platform/qt/QtTexto.h"

using app::forms::BotaoNavegador;
using teste::Ambiente;

namespace {
QString Q(const char* cp1252) { return platform::toQString(cp1252); }
}  // namespace

class TesteGrade : public QObject {
  Q_OBJECT

 private slots:
  // Nine columns with their titles and the given widths; whole rows, no editing.
  void colunasTitulosLarguras() {
    Ambiente a;
    a.Abre();
    auto* g = a.janela->DBGrid1;
    auto* m = g->model();
    const char* titulos[] = {"Ord:",
                             "Lote:",
                             "C\xF3"
                             "digo:",
                             "Nome:",
                             "Marca:",
                             "Quantidade:",
                             "Valor:",
                             "Total Unit. p/ Lote:",
                             "Total por Lote:"};
    QCOMPARE(m->columnCount(), 9);
    for (int i = 0; i < 9; ++i)
      QCOMPARE(m->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString(), Q(titulos[i]));
    QCOMPARE(g->columnWidth(0), 30);
    QCOMPARE(g->columnWidth(1), 50);
    QCOMPARE(g->columnWidth(3), 204);
    QCOMPARE(g->columnWidth(6), 79);
    QFontMetrics titulo(g->horizontalHeader()->font());
    for (int i : {2, 4, 5, 7, 8})
      QVERIFY(g->columnWidth(i) >=
              titulo.horizontalAdvance(m->headerData(i, Qt::Horizontal).toString()));
    QVERIFY(g->horizontalHeader()->font().bold());
    QCOMPARE(g->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(g->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(!(m->flags(m->index(0, 4)) & Qt::ItemIsEditable));
    QCOMPARE(g->horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
    QVERIFY(m->data(m->index(0, 1), Qt::FontRole).value<QFont>().pixelSize() <
            g->font().pixelSize());
    QCOMPARE(m->data(m->index(1, 7), Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
  }

  // Cell texts: numbers with four decimals, lot totals only on the lot's last row.
  void celulasETotaisNoUltimoDoLote() {
    Ambiente a;
    a.Abre();
    auto* m = a.janela->DBGrid1->model();
    auto cel = [&](int r, int c) { return m->data(m->index(r, c)).toString(); };
    QCOMPARE(cel(0, 0), QString("1"));
    QCOMPARE(cel(1, 2), QString("C-002"));
    QCOMPARE(cel(1, 3), Q("L\xE1pis preto"));
    QCOMPARE(cel(1, 4), QString("Fa:ber"));
    QCOMPARE(cel(1, 5), QString("2,5000"));
    QCOMPARE(cel(1, 6), QString("1,2000"));
    QCOMPARE(cel(0, 7), QString());
    QCOMPARE(cel(0, 8), QString());
    QCOMPARE(cel(1, 7), QString("R$ 1,20"));
    QCOMPARE(cel(1, 8), QString("R$ 3,00"));
    QCOMPARE(cel(2, 7), QString());
    QCOMPARE(cel(3, 7), QString("R$ 0,00"));
    QCOMPARE(m->headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), QString(QChar(0x25B6)));
    QCOMPARE(m->headerData(1, Qt::Vertical, Qt::DisplayRole).toString(), QString());
  }

  // Clicking another row posts the edited one (the totals follow) and makes the clicked row
  // current.
  void cliqueNaGradeGravaEMuda() {
    Ambiente a;
    a.Abre();
    auto& w = *a.janela;
    auto& t = w.Proposta().ClientDataSet1;
    a.Tecla(Qt::Key_Return);
    a.Digita("2");
    QCOMPARE(w.DBGrid1->model()->headerData(0, Qt::Vertical, Qt::DisplayRole).toString(),
             QString("I"));
    QRect r = w.DBGrid1->visualRect(w.DBGrid1->model()->index(2, 3));
    QTest::mouseClick(w.DBGrid1->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    a.Processa();
    QCOMPARE(t.NumeroLinha(), 3);
    QCOMPARE(t.Linha(0).valor.value_or(-1), 2.0);
    QCOMPARE(w.DBGrid1->model()->data(w.DBGrid1->model()->index(1, 7)).toString(),
             QString("R$ 3,20"));
    QCOMPARE(w.DBText1->text(), QString("Papel A4"));
    QCOMPARE(w.DBMemo1->toPlainText(), QString("Resma de 500 folhas"));
    QCOMPARE(w.windowTitle(), Q("Digita\xE7\xE3o de Proposta - Item 3 de 4"));
    a.Tecla(Qt::Key_Up);
    QCOMPARE(t.NumeroLinha(), 2);
  }

  // A click on another row while the price does not convert: one error box, the row stays, the
  // price edit gets the focus back with its text.
  void cliqueNaGradeComPrecoInvalidoUmErroSo() {
    Ambiente a;
    a.Abre();
    auto& w = *a.janela;
    auto& t = w.Proposta().ClientDataSet1;
    a.Tecla(Qt::Key_Return);
    a.Digita("1,2,3");
    QRect r = w.DBGrid1->visualRect(w.DBGrid1->model()->index(2, 3));
    QTest::mouseClick(w.DBGrid1->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    a.Processa();
    QCOMPARE(a.plataforma.erros,
             (std::vector<std::string>{
                 "'1,2,3' is not a valid floating point value for field 'valor'"}));
    QCOMPARE(t.NumeroLinha(), 1);
    QCOMPARE(w.DBGrid1->currentIndex().row(), 0);
    QCOMPARE(Ambiente::Foco(), w.DBEdit2);
    QCOMPARE(w.DBEdit2->text(), QString("1,2,3"));
  }

  // The navigator moves first, prior, next, last and disables what cannot move.
  void navegador() {
    Ambiente a;
    auto& w = *a.janela;
    auto* nav = w.DBNavigator1;
    for (int i = 0; i < 4; ++i) QVERIFY(!nav->Botao(static_cast<BotaoNavegador>(i))->isEnabled());
    a.Abre();
    auto& t = w.Proposta().ClientDataSet1;
    auto clica = [&](BotaoNavegador b) {
      QTest::mouseClick(nav->Botao(b), Qt::LeftButton);
      a.Processa();
    };
    QVERIFY(!nav->Botao(BotaoNavegador::Primeiro)->isEnabled());
    clica(BotaoNavegador::Proximo);
    QCOMPARE(t.NumeroLinha(), 2);
    QCOMPARE(Ambiente::Foco(), w.DBEdit1);  // the navigator takes no focus
    clica(BotaoNavegador::Ultimo);
    QCOMPARE(t.NumeroLinha(), 4);
    QVERIFY(!nav->Botao(BotaoNavegador::Proximo)->isEnabled());
    QVERIFY(!nav->Botao(BotaoNavegador::Ultimo)->isEnabled());
    clica(BotaoNavegador::Anterior);
    QCOMPARE(t.NumeroLinha(), 3);
    clica(BotaoNavegador::Primeiro);
    QCOMPARE(t.NumeroLinha(), 1);
    QCOMPARE(w.DBGrid1->currentIndex().row(), 0);
    QVERIFY(!nav->Botao(BotaoNavegador::Anterior)->isEnabled());
    QVERIFY(nav->Botao(BotaoNavegador::Ultimo)->isEnabled());
  }

  // The window: client size, the controls' places, captions that fit, the hidden parts, the status
  // panels and the tab order inside the panels.
  void layoutEAjusteDasLegendas() {
    Ambiente a;
    a.Abre();
    auto& w = *a.janela;
    // The client area; the menu bar sits above it.
    QCOMPARE(w.size() - QSize(0, w.menuBar()->sizeHint().height()), QSize(873, 679));
    QCOMPARE(w.BitBtn1->geometry(), QRect(707, 3, 153, 25));
    QCOMPARE(w.DBEdit2->geometry(), QRect(726, 110, 134, 19));
    QCOMPARE(w.DBGrid1->geometry(), QRect(4, 310, 866, 290));
    QCOMPARE(w.FProgresso->geometry(), QRect(4, 638, 862, 19));
    QVERIFY(w.FProgresso->isHidden());
    QVERIFY(w.DBText2->isHidden());
    QCOMPARE(w.DBText2->text(), QString("1"));
    // Panel6 shows the maker's address, the folder that Ajuda opens the guide from.
    QVERIFY(QString::fromStdString(w.EnderecoAjuda()).startsWith(w.Panel6->text() + "/"));
    // Each label ends before the control to its right.
    struct {
      QLabel* rotulo;
      int limite;
    } rotulos[] = {{w.Label7, 116}, {w.Label8, 116}, {w.Label9, 543}, {w.Label2, 72},
                   {w.Label1, 64},  {w.Label6, 482}, {w.Label3, 525}, {w.Label4, 726}};
    for (auto& r : rotulos) {
      QVERIFY2(r.rotulo->x() + r.rotulo->sizeHint().width() <= r.limite,
               qPrintable(r.rotulo->text()));
      QVERIFY(r.rotulo->height() >= QFontMetrics(r.rotulo->font()).height());
    }
    // Each button's caption and glyph fit inside it.
    for (QPushButton* b : {w.BitBtn1, w.BitBtn2, w.BitBtn3, w.BitBtn4, w.BitBtn5, w.btn1})
      QVERIFY2(b->sizeHint().width() <= b->width(), qPrintable(b->text()));
    w.btn1->setText(platform::toQString("Vr. Total da Prop.: R$ 1.234.567.890,00"));
    QVERIFY(w.btn1->sizeHint().width() <= w.btn1->width());
    // Status panels: their texts fit.
    auto paineis = w.StatusBar1->findChildren<QLabel*>();
    QCOMPARE(paineis.size(), 3);
    for (QLabel* p : paineis) {
      QVERIFY2(p->sizeHint().width() <= p->width(), qPrintable(p->text()));
      QCOMPARE(p->height(), 16);
      QVERIFY(p->geometry().bottom() < w.StatusBar1->height());
    }
    QCOMPARE(paineis[0]->width(), 300);
    QCOMPARE(paineis[1]->width(), 105);
    // Tab order inside Panel1 and Panel7.
    QWidget* ordem[] = {w.BitBtn1, w.edtlicitante, w.MeditCNPJ, w.Memo2,   w.BitBtn3, w.BitBtn4,
                        w.BitBtn2, w.BitBtn5,      w.DBMemo1,   w.DBEdit1, w.DBEdit2, w.DBGrid1};
    w.BitBtn1->setFocus(Qt::TabFocusReason);
    for (size_t i = 1; i < std::size(ordem); ++i) {
      QTest::keyClick(Ambiente::Foco(), Qt::Key_Tab);
      QCOMPARE(Ambiente::Foco(), ordem[i]);
    }
    QCOMPARE(w.edtlicitante->maxLength(), 40);
    QCOMPARE(w.DBEdit1->maxLength(), 20);
  }

  // A process of 3,000 items: walking it (the total button) and moving through it neither resets
  // the grid model nor sends more than one repaint notice per handler.
  void processoGrandeNaoReconstroiAGrade() {
    std::vector<teste::ItemFixture> itens;
    for (int i = 1; i <= 3000; ++i)
      itens.push_back({std::to_string(i), "C" + std::to_string(i), "Item " + std::to_string(i), "D",
                       "", "1", "1", "1", std::to_string(1 + i / 100)});
    Ambiente a(teste::ProcessoFixture("20240001", "Grande", itens));
    a.Abre();
    auto& w = *a.janela;
    QCOMPARE(w.DBGrid1->model()->rowCount(), 3000);
    QSignalSpy reinicios(w.DBGrid1->model(), &QAbstractItemModel::modelReset);
    QSignalSpy mudancas(w.DBGrid1->model(), &QAbstractItemModel::dataChanged);
    QTest::mouseClick(w.btn1, Qt::LeftButton);
    a.Processa();
    QCOMPARE(w.btn1->text(), QString("Vr. Total da Prop.: R$ 3.000,00"));
    QCOMPARE(reinicios.count(), 0);
    QCOMPARE(mudancas.count(), 1);
    w.DBGrid1->setFocus();
    a.Tecla(Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(w.Proposta().ClientDataSet1.NumeroLinha(), 3000);
    QCOMPARE(reinicios.count(), 0);
  }
};

QTEST_MAIN(TesteGrade)
#include "test_form_grade.moc"
