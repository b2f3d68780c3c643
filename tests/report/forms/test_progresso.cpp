// The progress window driven as a user would: Cancelar answered No and Yes (also in the middle of
// a real file write, with the Qt windows installed), the windows it disables and gives back, and
// the animation frame each caption shows.
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <filesystem>

#include "platform/qt/QtTexto.h"
#include "report/RDestado.h"
#include "report/RDprint.h"
#include "report/forms/RDProgresso.h"
#include "report/forms/RDfiguras.h"
#include "report/forms/RDjanelasQt.h"
#include "support/Arquivos.h"
#include "support/PlataformaRoteiro.h"

using report::forms::TDFMProgresso;

namespace {

// The progress window on screen, if any.
TDFMProgresso* ProgressoNaTela() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* p = qobject_cast<TDFMProgresso*>(w); p && p->isVisible()) return p;
  return nullptr;
}

// What an operation hands the window.
report::TConfigProgresso Config(const char* caption, int maximo = 3) {
  return {caption, "relatorio.txt", maximo, report::clBtnFace, report::clBlack};
}

// The 35 x 34 frame k of a strip with its fuchsia turned into `fundo`.
QImage Quadro(const QImage& faixa, int k, QColor fundo) {
  QImage q = faixa.copy(35 * k, 0, 35, 34).convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < q.height(); ++y)
    for (int x = 0; x < q.width(); ++x)
      if (q.pixel(x, y) == report::forms::kFundoFigura) q.setPixel(x, y, fundo.rgb());
  return q;
}

// A report on a printer-less port with the Qt windows installed over a scripted platform.
struct RelatorioNaTela {
  RelatorioNaTela() { rd.PortaComunicacao = "nenhuma"; }
  teste::PlataformaRoteiro plataforma;
  platform::ScopedPlatform escopo{plataforma};
  report::forms::TJanelasQt janelas;
  report::JanelasInstaladas guarda{janelas};
  report::TRDprint rd;
};

}  // namespace

class TesteProgresso : public QObject {
  Q_OBJECT

 private slots:
  void init() { report::ReiniciaEstadoRelatorio(); }

  // The window is neither minimised nor maximised by its frame (a fixed box over disabled
  // windows): the title bar holds its caption only, also once shown.
  void semBotoesDeMinimizarOuMaximizar() {
    TDFMProgresso w;
    report::TConfigProgresso config;
    config.caption = "Gravando...";
    config.maximo = 3;
    w.Mostra(config);
    const Qt::WindowFlags f = w.windowFlags();
    QVERIFY(f.testFlag(Qt::CustomizeWindowHint));
    QVERIFY(f.testFlag(Qt::WindowTitleHint));
    QVERIFY(!f.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!f.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!f.testFlag(Qt::WindowCloseButtonHint));
    QCOMPARE(w.minimumSize(), w.maximumSize());
    w.Fecha();
  }

  // Cancelar asks "Deseja realmente Cancelar ?" with Yes and No; only Yes raises the request.
  void cancelarPergunta_data() {
    QTest::addColumn<int>("resposta");
    QTest::addColumn<bool>("cancela");
    QTest::newRow("Nao") << platform::mb::IDNO << false;
    QTest::newRow("Sim") << platform::mb::IDYES << true;
  }
  void cancelarPergunta() {
    QFETCH(int, resposta);
    QFETCH(bool, cancela);
    teste::PlataformaRoteiro plataforma;
    platform::ScopedPlatform escopo(plataforma);
    plataforma.respostasCaixa.push_back(resposta);
    TDFMProgresso janela;
    janela.Mostra(Config("Gravando..."));
    QVERIFY(QTest::qWaitForWindowExposed(&janela));
    QTest::mouseClick(janela.sbCancelar, Qt::LeftButton);
    QCOMPARE(plataforma.caixas.size(), size_t(1));
    QCOMPARE(plataforma.caixas[0].texto, std::string("Deseja realmente Cancelar ?"));
    QCOMPARE(plataforma.caixas[0].estilo & 0x0F, platform::mb::YESNO);
    QCOMPARE(report::EstadoRelatorio().cancelamento, cancela);
    janela.Fecha();
  }

  // While shown, every other visible window is disabled; closing gives back exactly those (a
  // window that was disabled before stays so). An operation of zero steps shows an empty bar.
  void desabilitaEReabilitaAsOutrasJanelas() {
    QWidget ativa, desabilitada, escondida;
    ativa.show();
    desabilitada.show();
    desabilitada.setEnabled(false);
    TDFMProgresso janela;
    janela.Mostra(Config("Lendo...", 0));
    QVERIFY(!ativa.isEnabled());
    QVERIFY(!desabilitada.isEnabled());
    QVERIFY(escondida.isEnabled());
    QVERIFY(janela.isVisible() && janela.isEnabled());
    QCOMPARE(janela.ProgressBar1->value(), 0);
    QVERIFY(janela.ProgressBar1->maximum() > janela.ProgressBar1->minimum());
    QCOMPARE(janela.windowTitle(), QString("Lendo..."));
    QCOMPARE(janela.NOMEREL->text(), QString("relatorio.txt"));
    QCOMPARE(janela.size(), QSize(280, 97));
    janela.Fecha();
    QVERIFY(ativa.isEnabled());
    QVERIFY(!desabilitada.isEnabled());
    QVERIFY(!janela.isVisible());
  }

  // The caption chooses the strip, compared exactly; other captions draw no frame. Each repaint
  // of the window shows the next frame (1, 2, 3, 4, 5, 0); a step of the bar alone does not.
  void quadroPorCaption_data() {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("faixa");  // 1, 2, 3 = Image1..Image3; 0 = none
    QTest::newRow("Gravando") << "Gravando..." << 3;
    QTest::newRow("Lendo") << "Lendo..." << 1;
    QTest::newRow("Imprimindo") << "Imprimindo..." << 2;
    QTest::newRow("PDF") << "Gerando PDF..." << 0;
    QTest::newRow("HTML") << "Gerando HTML..." << 0;
    QTest::newRow("sem reticencias") << "Gravando" << 0;
  }
  void quadroPorCaption() {
    QFETCH(QString, caption);
    QFETCH(int, faixa);
    TDFMProgresso janela;
    janela.Mostra(Config(caption.toLatin1().constData()));
    QVERIFY(QTest::qWaitForWindowExposed(&janela));
    const QColor fundo = janela.palette().color(QPalette::Window);
    for (int vez = 0; vez < 7; ++vez) {
      const int antes = TDFMProgresso::QuadroAtual();
      const QImage tela = janela.grab().toImage().convertToFormat(QImage::Format_RGB32);
      const int k = TDFMProgresso::QuadroAtual();
      QCOMPARE(k, (antes + 1) % 6);
      QImage esperado(35, 34, QImage::Format_RGB32);
      esperado.fill(fundo);
      if (faixa == 1) esperado = Quadro(janela.Image1, k, fundo);
      if (faixa == 2) esperado = Quadro(janela.Image2, k, fundo);
      if (faixa == 3) esperado = Quadro(janela.Image3, k, fundo);
      QCOMPARE(tela.copy(15, 54, 35, 34), esperado);
    }
    const int antes = TDFMProgresso::QuadroAtual();
    janela.Passo();
    QCoreApplication::processEvents();
    QCOMPARE(TDFMProgresso::QuadroAtual(), antes);
    QCOMPARE(janela.ProgressBar1->value(), 1);
    janela.Fecha();
  }

  // Through the engine: a text file being written shows "Gravando..." with the file name while
  // the main window is disabled; Cancelar answered Yes stops the write (nothing written, OnCancel
  // fired), No lets it finish. Either way the window goes and the main window comes back.
  void cancelarDuranteGravacao_data() {
    QTest::addColumn<int>("resposta");
    QTest::addColumn<bool>("gravado");
    QTest::newRow("Nao") << platform::mb::IDNO << true;
    QTest::newRow("Sim") << platform::mb::IDYES << false;
  }
  void cancelarDuranteGravacao() {
    QFETCH(int, resposta);
    QFETCH(bool, gravado);
    RelatorioNaTela tela;
    auto& plataforma = tela.plataforma;
    auto& rd = tela.rd;
    QVERIFY(rd.Abrir());
    for (int i = 1; i <= 40; ++i)
      rd.ImpF(i, 1, "linha " + std::to_string(i), report::TAtributos{report::TAtributo::aNormal10},
              0);
    int cancelados = 0;
    rd.OnCancel = [&](report::TRDprint&) { ++cancelados; };
    QWidget principal;
    principal.show();
    QTemporaryDir pasta;
    const std::string arquivo = pasta.path().toStdString() + "/saida.txt";

    bool clicado = false;
    QString caption, rotulo;
    bool principalDesabilitada = false;
    plataforma.aoProcessar = [&] {
      QCoreApplication::processEvents();
      TDFMProgresso* p = ProgressoNaTela();
      if (clicado || !p) return;
      clicado = true;
      caption = p->windowTitle();
      rotulo = p->NOMEREL->text();
      principalDesabilitada = !principal.isEnabled();
      plataforma.respostasCaixa.push_back(resposta);
      QTest::mouseClick(p->sbCancelar, Qt::LeftButton);
    };
    rd.GravaTXT(arquivo);
    QCOMPARE(caption, QString("Gravando..."));
    QCOMPARE(rotulo, platform::pathToQString(arquivo));
    QVERIFY(principalDesabilitada);
    QCOMPARE(std::filesystem::exists(arquivo), gravado);
    QCOMPARE(cancelados, gravado ? 0 : 1);
    QVERIFY(!ProgressoNaTela());
    QVERIFY(principal.isEnabled());
    rd.Abortar();
  }

  // The exports of a long report: the bar moves while they run (shown a pixel at a time), and a
  // confirmed Cancelar stops them at the entry where it was noticed: no message is let through
  // after it, the document written is the shorter one and OnCancel fires once.
  void cancelarExportacaoLonga_data() {
    QTest::addColumn<bool>("pdf");
    QTest::newRow("HTML") << false;
    QTest::newRow("PDF") << true;
  }
  void cancelarExportacaoLonga() {
    QFETCH(bool, pdf);
    RelatorioNaTela tela;
    auto& plataforma = tela.plataforma;
    auto& rd = tela.rd;
    QVERIFY(rd.Abrir());
    constexpr int kPaginas = 40;
    for (int pagina = 1; pagina <= kPaginas; ++pagina) {
      for (int i = 1; i <= 60; ++i)
        rd.ImpF(i, 1, "pagina" + std::to_string(pagina) + "linha" + std::to_string(i),
                report::TAtributos{report::TAtributo::aNormal10}, 0);
      if (pagina < kPaginas) rd.NovaPagina();
    }
    int cancelados = 0;
    rd.OnCancel = [&](report::TRDprint&) { ++cancelados; };
    QTemporaryDir pasta;
    const std::string arquivo = pasta.path().toStdString() + (pdf ? "/saida.pdf" : "/saida.html");

    int barraAoCancelar = -1, maximo = 0, depoisDoClique = 0;
    plataforma.aoProcessar = [&] {
      QCoreApplication::processEvents();
      TDFMProgresso* p = ProgressoNaTela();
      if (barraAoCancelar >= 0) ++depoisDoClique;
      if (barraAoCancelar >= 0 || !p) return;
      if (p->ProgressBar1->value() == 0) {
        // Long enough for the next entry to let messages through again.
        QTest::qSleep(11);
        return;
      }
      barraAoCancelar = p->ProgressBar1->value();
      maximo = p->ProgressBar1->maximum();
      plataforma.respostasCaixa.push_back(platform::mb::IDYES);
      QTest::mouseClick(p->sbCancelar, Qt::LeftButton);
    };
    if (pdf)
      rd.GravaPDF(arquivo);
    else
      rd.GravaHTML(arquivo);
    QVERIFY2(barraAoCancelar > 0, "the bar never moved");
    QVERIFY(barraAoCancelar < maximo / 2);
    QCOMPARE(depoisDoClique, 0);
    QCOMPARE(cancelados, 1);
    QVERIFY(!ProgressoNaTela());
    const std::string bytes = teste::Le(arquivo);
    if (pdf) {
      QVERIFY(bytes.rfind("%PDF-", 0) == 0);
      QVERIFY(bytes.find("%%EOF") != std::string::npos);
      const size_t contagem = bytes.rfind("/Count ");  // the page tree's, after the outlines'
      QVERIFY(contagem != std::string::npos);
      const int paginas = std::stoi(bytes.substr(contagem + 7));
      QVERIFY2(paginas >= 1 && paginas < kPaginas, std::to_string(paginas).c_str());
    } else {
      QVERIFY(bytes.find("pagina1linha1") != std::string::npos);
      QVERIFY(bytes.find("pagina" + std::to_string(kPaginas) + "linha") == std::string::npos);
      QVERIFY(bytes.find("</html>") != std::string::npos);
    }
    rd.Abortar();
  }
};

QTEST_MAIN(TesteProgresso)
#include "test_progresso.moc"
