// The review of proposed changes driven with the keyboard: what it lists and totals, applying the
// selected rows or all of them, cancelling, and "Desfazer alterações" from the Ferramentas menu.
#include <QAbstractItemModel>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include "Ambiente.h"
#include "app/forms/TRevisaoAlteracoes.h"
#include "platform/qt/QtTexto.h"

using app::AlteracaoItem;
using app::LoteAlteracoes;
using app::SituacaoAlteracao;
using app::forms::TRevisaoAlteracoes;
using teste::Ambiente;

namespace {

// Item 1 gets a brand and a price, item 2 a lower price, and a sheet row matches no item.
LoteAlteracoes Lista() {
  AlteracaoItem a{1,     "1",          "C-001", "Caneta azul",           "",
                  "Bic", std::nullopt, 20000,   SituacaoAlteracao::Nova, "",
                  3};
  AlteracaoItem b{
      2,  "2", "C-002", "L\xE1pis preto", "Fa:ber", "", 12000, 10000, SituacaoAlteracao::Alterada,
      "", 4};
  AlteracaoItem c{0,
                  "7",
                  "X-9",
                  "",
                  "",
                  "",
                  std::nullopt,
                  500,
                  SituacaoAlteracao::SemCorrespondencia,
                  "nenhum item com este c\xF3"
                  "digo",
                  5};
  return {"planilha.xlsx", {a, b, c}};
}

QString Celula(QTableView* v, int linha, int coluna) {
  return v->model()->index(linha, coluna).data().toString();
}

// Runs `f` on the review dialog once it is the active modal window.
void NaRevisao(const std::function<void(TRevisaoAlteracoes&)>& f) {
  QTimer::singleShot(0, [f] {
    auto* r = qobject_cast<TRevisaoAlteracoes*>(QApplication::activeModalWidget());
    QVERIFY(r);
    QVERIFY(QTest::qWaitForWindowActive(r));
    f(*r);
    if (r->isVisible()) r->reject();  // a check failed inside: the window must not hang the test
  });
}

// Makes the main window active again after a dialog (its menu shortcuts work in it only).
void Ativa(QWidget& w) {
  w.activateWindow();
  QApplication::setActiveWindow(&w);
  QVERIFY(QTest::qWaitForWindowActive(&w));
}

double Valor(Ambiente& a, int linha) {
  return a.janela->Proposta().ClientDataSet1.Linha(linha - 1).valor.value_or(-1);
}

}  // namespace

class TesteRevisao : public QObject {
  Q_OBJECT

 private slots:
  // Every row with its before and after values, status, reason and sheet row; the totals of
  // applying all of them, and of the selection once there is one; the keyboard picks the rows.
  void listaTotaisESelecionadasPeloTeclado() {
    Ambiente a;
    a.Abre();
    LoteAlteracoes l = Lista();
    const double antes1 = Valor(a, 1);
    NaRevisao([&](TRevisaoAlteracoes& r) {
      QCOMPARE(r.Grade->model()->rowCount(), 3);
      const QStringList linha0 = {"1", "C-001", "Caneta azul", "", "Bic",
                                  "",  "2,00",  "Nova",        "", "3"};
      for (int c = 0; c < linha0.size(); ++c) QCOMPARE(Celula(r.Grade, 0, c), linha0[c]);
      QCOMPARE(Celula(r.Grade, 1, 5), QStringLiteral("1,20"));
      QCOMPARE(Celula(r.Grade, 1, 6), QStringLiteral("1,00"));
      QCOMPARE(Celula(r.Grade, 2, 7), QStringLiteral("Sem correspondência"));
      QCOMPARE(Celula(r.Grade, 2, 8), QStringLiteral("nenhum item com este código"));
      // The reason shows over any cell of its row, not only in the far-right column.
      QCOMPARE(r.Grade->model()->index(2, 1).data(Qt::ToolTipRole).toString(),
               QStringLiteral("nenhum item com este código"));
      QVERIFY(r.Totais->text().contains("Lote 1: R$ 3,00 -> R$ 22,50"));
      QVERIFY(r.Totais->text().contains("Total da proposta: R$ 3,00 -> R$ 22,50"));
      QVERIFY(!r.btSelecionadas->isEnabled());

      // The grid has the focus: Down moves to (and selects) the second row.
      QCOMPARE(r.focusWidget(), r.Grade);
      QTest::keyClick(r.Grade, Qt::Key_Home);
      QTest::keyClick(r.Grade, Qt::Key_Down);
      QVERIFY(r.btSelecionadas->isEnabled());
      QVERIFY(r.Totais->text().contains("Aplicando as selecionadas:\nLote 1: R$ 3,00 -> R$ 2,50"));
      // Tab leaves the list for "Aplicar todas", then "Aplicar selecionadas"; Space presses it.
      QTest::keyClick(r.Grade, Qt::Key_Tab);
      QTest::keyClick(r.focusWidget(), Qt::Key_Tab);
      QCOMPARE(r.focusWidget(), r.btSelecionadas);
      QTest::keyClick(r.btSelecionadas, Qt::Key_Space);
    });
    QVERIFY(app::forms::RevisaEAplica(*a.janela, l));
    QCOMPARE(Valor(a, 1), antes1);
    QCOMPARE(Valor(a, 2), 1.0);
  }

  // Through the main window: Esc changes nothing; "Aplicar todas" posts the rows (the total button
  // goes back to its caption); "Desfazer alterações" (Ctrl+Shift+D) brings the old values back.
  void aplicaTodasEDesfazPeloMenu() {
    Ambiente a;
    a.Abre();
    auto& w = *a.janela;
    LoteAlteracoes l = Lista();
    const double antes1 = Valor(a, 1);

    NaRevisao([](TRevisaoAlteracoes& r) { QTest::keyClick(&r, Qt::Key_Escape); });
    QVERIFY(!app::forms::RevisaEAplica(w, l));
    QCOMPARE(Valor(a, 2), 1.2);
    QVERIFY(!w.Proposta().TemAlteracoes());

    w.Proposta().btn1Click();
    // Enter presses the default button, "Aplicar todas".
    NaRevisao([](TRevisaoAlteracoes& r) { QTest::keyClick(r.focusWidget(), Qt::Key_Return); });
    QVERIFY(app::forms::RevisaEAplica(w, l));
    QCOMPARE(Valor(a, 1), 2.0);
    QCOMPARE(Valor(a, 2), 1.0);
    QCOMPARE(w.Proposta().ClientDataSet1.Linha(0).marca, std::string_view("Bic"));
    QCOMPARE(w.btn1->text(), QStringLiteral("Valor Total da Proposta"));
    QVERIFY(w.Proposta().TemAlteracoes());

    Ativa(w);
    QTest::keyClick(&w, Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
    a.Processa();
    QCOMPARE(Valor(a, 1), antes1);
    QCOMPARE(Valor(a, 2), 1.2);
    QCOMPARE(w.Proposta().ClientDataSet1.Linha(0).marca, std::string_view(""));
    QVERIFY(a.plataforma.mensagens.back().find("2 item(ns) voltaram") != std::string::npos);
    // Nothing left to undo.
    QTest::keyClick(&w, Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
    a.Processa();
    QCOMPARE(a.plataforma.mensagens.back(), std::string("N\xE3o h\xE1 altera\xE7\xF5"
                                                        "es a desfazer neste processo."));
  }
};

QTEST_MAIN(TesteRevisao)
#include "test_revisao.moc"
