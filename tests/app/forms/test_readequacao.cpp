// "Readequar ao lance" from the Ferramentas menu, with the keyboard only: the dialog, the review,
// the prices applied (the program's own total then equals the bid), the refusal of a bid above the
// total, a bid that is not a value, and the undo.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "Ambiente.h"
#include "app/forms/TReadequacao.h"
#include "app/forms/TRevisaoAlteracoes.h"

using app::forms::TDialogoReadequacao;
using app::forms::TRevisaoAlteracoes;
using teste::Ambiente;

namespace {

// Lot 1: 3 x 259,25 and 100 x 32,14; lot 2: 1 x 351,69 (total 4.343,44).
std::string Processo() {
  return teste::ProcessoFixture("20240020", "Preg\xE3o 20/2024",
                                {{"1", "A-1", "Cadeira", "d", "", "3", "259,25", "1", "1"},
                                 {"2", "A-2", "Mesa", "d", "", "100", "32,14", "1", "1"},
                                 {"3", "B-1", "Arquivo", "d", "", "1", "351,69", "1", "2"}});
}

// Runs f on the modal window of type T as soon as it is the active one.
template <typename T>
void QuandoAberta(std::function<void(T&)> f) {
  auto* relogio = new QTimer;
  relogio->setInterval(10);
  QObject::connect(relogio, &QTimer::timeout, [relogio, f] {
    auto* w = qobject_cast<T*>(QApplication::activeModalWidget());
    if (!w || !w->isActiveWindow()) return;
    relogio->stop();
    relogio->deleteLater();
    f(*w);
  });
  relogio->start();
}

void AbreComando(Ambiente& a) {
  QTest::keyClick(a.janela.get(), Qt::Key_L, Qt::ControlModifier | Qt::ShiftModifier);
  a.Processa();
}

// Types the bid, chooses the whole proposal with the keyboard and confirms.
void PedeTotal(TDialogoReadequacao& d, const QString& lance) {
  QCOMPARE(QApplication::focusWidget(), d.edLance);
  QTest::keyClicks(d.edLance, lance);
  QTest::keyClick(&d, Qt::Key_L, Qt::AltModifier);
  QCOMPARE(QApplication::focusWidget(), d.cbLote);
  QTest::keyClick(d.cbLote, Qt::Key_Home);
  QCOMPARE(d.cbLote->currentIndex(), 0);
  QTest::keyClick(d.edLance, Qt::Key_Return);
}

}  // namespace

class TesteReadequacao : public QObject {
  Q_OBJECT

 private slots:
  // The whole proposal adjusted to 3.605,06: the review shows the new totals, "Aplicar todas"
  // posts the prices, and the total button then shows exactly the bid; Ctrl+Shift+Z undoes it.
  void readequaPropostaAoLanceEDesfaz() {
    Ambiente a(Processo());
    a.Abre();
    auto& w = *a.janela;
    QString totais;
    QuandoAberta<TDialogoReadequacao>([&](TDialogoReadequacao& d) {
      QCOMPARE(d.cbLote->currentText(), QStringLiteral("1"));  // the current row's lot
      PedeTotal(d, QStringLiteral("3.605,06"));
      QuandoAberta<TRevisaoAlteracoes>([&](TRevisaoAlteracoes& r) {
        totais = r.Totais->text();
        QTest::keyClick(&r, Qt::Key_T, Qt::AltModifier);
      });
    });
    AbreComando(a);
    QVERIFY(totais.contains("Total da proposta: R$ 4.343,44 -> R$ 3.605,06"));
    QVERIFY(totais.contains("Lote 1: R$ 3.991,75 -> R$ "));
    app::TProposta& p = w.Proposta();
    QCOMPARE(p.TotalProposta(), app::Contagem{36050600});
    QTest::mouseClick(w.btn1, Qt::LeftButton);
    a.Processa();
    QCOMPARE(w.btn1->text(), QStringLiteral("Vr. Total da Prop.: R$ 3.605,06"));
    for (int i = 0; i < 3; ++i) QVERIFY(*p.ClientDataSet1.Linha(i).valor < 352);

    w.activateWindow();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
    a.Processa();
    QCOMPARE(p.TotalProposta(), app::Contagem{43434400});
  }

  // A bid that is no value keeps the dialog open with a hint; a bid above the lot's total is
  // refused with the reason, and nothing changes.
  void lanceInvalidoERecusado() {
    Ambiente a(Processo());
    a.Abre();
    QString aviso;
    QuandoAberta<TDialogoReadequacao>([&](TDialogoReadequacao& d) {
      QTest::keyClicks(d.edLance, QStringLiteral("abc"));
      QTest::keyClick(d.edLance, Qt::Key_Return);
      aviso = d.lbAviso->text();
      QVERIFY(d.isVisible());
      d.edLance->clear();
      QTest::keyClicks(d.edLance, QStringLiteral("5000"));
      QTest::keyClick(d.edLance, Qt::Key_Return);
    });
    AbreComando(a);
    QCOMPARE(aviso, QStringLiteral("Digite o lance em reais, por exemplo 3.605,06."));
    QCOMPARE(a.plataforma.mensagens.size(), size_t(1));
    QCOMPARE(a.plataforma.mensagens[0],
             std::string("O lance (R$ 5.000,00) n\xE3o \xE9 menor que o total atual (R$ 3.991,75); "
                         "n\xE3o h\xE1 o que readequar."));
    QCOMPARE(a.janela->Proposta().TotalProposta(), app::Contagem{43434400});
    QVERIFY(!a.janela->Proposta().TemAlteracoes());
  }
};

QTEST_MAIN(TesteReadequacao)
#include "test_readequacao.moc"
