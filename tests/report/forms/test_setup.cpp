// The print setup dialog TDFMsetup and Setup's cycle, driven offscreen with real key and mouse
// events: the page and copy key filters (and the editing keys they let through), the stored page
// selection, the model following the printer, the properties button that never closes the dialog
// and whose settings are kept for the printer, the ways to close it, the copies refused when they
// are not a number, the arrows, the collation pictures, layout and tab order.
#include <QApplication>
#include <QClipboard>
#include <QPrintDialog>
#include <QPrinter>
#include <QTest>
#include <QTimer>
#include <functional>

#include "platform/qt/QtTexto.h"
#include "report/RDestado.h"
#include "report/RDjanelas.h"
#include "report/forms/RDpintura.h"
#include "report/forms/RDsetup.h"
#include "report/forms/RDsetupFiguras.h"
#include "support/PlataformaRoteiro.h"

using namespace report;
using platform::toQString;

namespace {

// The scripted platform with printers; records the printers made current.
class PlataformaSetup : public teste::PlataformaRoteiro {
 public:
  std::vector<platform::PrinterInfo> lista = {{"EPSON LX-300", "LPT1:", "", ""},
                                              {"HP LaserJet", "usb://HP/LaserJet", "", ""},
                                              {"Sala 2", "/dev/usb/lp0", "", ""},
                                              {"BEMATECH MP-20", "LPT2:", "", ""},
                                              {"DR700 Caixa", "LPT3:", "", ""}};
  std::string atual = "EPSON LX-300";
  std::vector<std::string> escolhidas;

  std::vector<platform::PrinterInfo> printers() override { return lista; }
  std::optional<platform::PrinterInfo> currentPrinter() override {
    for (const auto& p : lista)
      if (p.deviceName == atual) return p;
    return std::nullopt;
  }
  bool setCurrentPrinter(const std::string& nome) override {
    escolhidas.push_back(nome);
    for (const auto& p : lista)
      if (p.deviceName == nome) {
        atual = nome;
        return true;
      }
    return false;
  }
};

// The engine's windows with the real setup dialog.
class JanelasSetup : public TJanelasSemTela {
 public:
  bool MostraSetup(TRDprint& rd) override { return MostraSetupQt(rd); }
};

// Runs `f` on the first modal window of type T as soon as it is shown; the timer looking for it
// is returned.
template <typename T>
QTimer* QuandoModal(std::function<void(T&)> f) {
  auto* tentativa = new QTimer(qApp);
  tentativa->setInterval(5);
  QObject::connect(tentativa, &QTimer::timeout, [tentativa, f] {
    if (auto* m = qobject_cast<T*>(QApplication::activeModalWidget())) {
      tentativa->stop();
      tentativa->deleteLater();
      m->activateWindow();
      if (!QTest::qWaitForWindowActive(m)) qWarning("the dialog did not become active");
      f(*m);
    }
  });
  tentativa->start();
  return tentativa;
}

// Types text into a widget as the user would.
void Digita(QWidget* w, const QString& texto) {
  w->setFocus();
  QTest::keyClicks(w, texto);
}

}  // namespace

class TesteSetup : public QObject {
  Q_OBJECT

  PlataformaSetup* plataforma = nullptr;
  std::unique_ptr<platform::ScopedPlatform> guardaPlataforma;
  JanelasSetup janelas;
  std::unique_ptr<JanelasInstaladas> guardaJanelas;
  std::unique_ptr<TRDprint> rd;
  int cancelados = 0;
  std::vector<std::string> erros;

  // Opens a report (on the platform's current printer) and runs Setup with `acao` on the dialog.
  bool Setup(std::function<void(TDFMsetup&)> acao, bool abrir = true) {
    if (abrir && !EstadoRelatorio().aberto) {
      if (!rd->Abrir()) return false;
      rd->ImpF(1, 1, "x", TAtributos{TAtributo::aNormal10}, clBlack);
    }
    QuandoModal<TDFMsetup>(acao);
    return rd->Setup();
  }

 private slots:
  void init() {
    plataforma = new PlataformaSetup;
    guardaPlataforma = std::make_unique<platform::ScopedPlatform>(*plataforma);
    guardaJanelas = std::make_unique<JanelasInstaladas>(janelas);
    ReiniciaEstadoRelatorio();
    rd = std::make_unique<TRDprint>();
    cancelados = 0;
    erros.clear();
    rd->OnCancel = [this](TRDprint&) { ++cancelados; };
    rd->OnErro = [this](TRDprint&, const std::string& m) { erros.push_back(m); };
  }
  void cleanup() {
    rd.reset();
    ReiniciaEstadoRelatorio();
    guardaJanelas.reset();
    guardaPlataforma.reset();
    delete plataforma;
  }

  // "." and ";" become ","; letters are discarded; pasted text is not filtered.
  void filtrosDeTeclas_data() {
    QTest::addColumn<bool>("paginas");
    QTest::addColumn<QString>("digitado");
    QTest::addColumn<QString>("colado");
    QTest::addColumn<QString>("esperado");
    QTest::newRow("paginas") << true << "1.3;5-7"
                             << ""
                             << "1,3,5-7";
    QTest::newRow("letras nas paginas") << true << "a1 b-2x"
                                        << ""
                                        << "1-2";
    QTest::newRow("colado nas paginas") << true << "2,"
                                        << "x;9"
                                        << "2,x;9";
    QTest::newRow("copias") << false << "a1.b2"
                            << ""
                            << "12";
    QTest::newRow("quatro digitos") << false << "98765"
                                    << ""
                                    << "9876";
    QTest::newRow("colado nas copias") << false << ""
                                       << "a,b"
                                       << "a,b";
  }
  void filtrosDeTeclas() {
    QFETCH(bool, paginas);
    QFETCH(QString, digitado);
    QFETCH(QString, colado);
    QFETCH(QString, esperado);
    QString obtido;
    Setup([&](TDFMsetup& d) {
      QLineEdit* e = paginas ? d.EdPaginas : d.edCOPIAS;
      if (paginas) QTest::mouseClick(d.chkSelecao, Qt::LeftButton);
      e->clear();
      Digita(e, digitado);
      if (!colado.isEmpty()) {
        QGuiApplication::clipboard()->setText(colado);
        QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier);
      }
      QTest::keyClick(e, Qt::Key_Home);  // keys without a character pass
      obtido = e->text();
      QTest::mouseClick(d.CANCELAR, Qt::LeftButton);
    });
    QCOMPARE(obtido, esperado);
  }

  // The standard editing keys work in both edits: select all then a digit replaces the text
  // (it once gave 12 copies), copy and paste, cut, undo.
  void teclasDeEdicao() {
    struct Caso {
      const char* nome;
      bool paginas;
      std::function<void(QLineEdit*)> teclas;
      QString esperado;
    };
    auto tecla = [](QLineEdit* e, Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
      QTest::keyClick(e, k, m);
    };
    const Caso casos[] = {
        {"copias: Ctrl+A e 2", false,
         [&](QLineEdit* e) {
           tecla(e, Qt::Key_A, Qt::ControlModifier);
           QTest::keyClicks(e, "2");
         },
         "2"},
        {"paginas: Ctrl+A e 4-5", true,
         [&](QLineEdit* e) {
           tecla(e, Qt::Key_A, Qt::ControlModifier);
           QTest::keyClicks(e, "4-5");
         },
         "4-5"},
        {"copias: copiar e colar", false,
         [&](QLineEdit* e) {
           tecla(e, Qt::Key_A, Qt::ControlModifier);
           tecla(e, Qt::Key_C, Qt::ControlModifier);
           tecla(e, Qt::Key_End);
           tecla(e, Qt::Key_V, Qt::ControlModifier);
         },
         "11"},
        {"paginas: recortar", true,
         [&](QLineEdit* e) {
           tecla(e, Qt::Key_A, Qt::ControlModifier);
           tecla(e, Qt::Key_X, Qt::ControlModifier);
         },
         ""},
        {"paginas: desfazer", true,
         [&](QLineEdit* e) {
           QTest::keyClicks(e, "7");
           tecla(e, Qt::Key_Z, Qt::ControlModifier);
         },
         "1"},
    };
    for (const Caso& c : casos) {
      QString obtido;
      Setup([&](TDFMsetup& d) {
        QLineEdit* e = d.edCOPIAS;
        if (c.paginas) {
          QTest::mouseClick(d.chkSelecao, Qt::LeftButton);
          e = d.EdPaginas;
        }
        e->setFocus();
        e->setText("1");
        e->setCursorPosition(1);
        c.teclas(e);
        obtido = e->text();
        QTest::mouseClick(d.CANCELAR, Qt::LeftButton);
      });
      QVERIFY2(obtido == c.esperado, c.nome);
    }
  }

  // The stored selection shows as it is, with "Páginas:" checked; the radio buttons decide what
  // Ok stores.
  void selecaoDePaginas_data() {
    QTest::addColumn<QString>("guardada");
    QTest::addColumn<QString>("clique");  // the radio button clicked, if any
    QTest::addColumn<QString>("digitado");
    QTest::addColumn<QString>("esperada");
    QTest::newRow("guardada fica") << "1,3"
                                   << ""
                                   << ""
                                   << "1,3";
    QTest::newRow("todas esvazia") << "1,3"
                                   << "todas"
                                   << ""
                                   << "";
    QTest::newRow("atual") << ""
                           << "atual"
                           << ""
                           << "3";
    QTest::newRow("paginas") << ""
                             << "selecao"
                             << "2-4"
                             << "2-4";
  }
  void selecaoDePaginas() {
    QFETCH(QString, guardada);
    QFETCH(QString, clique);
    QFETCH(QString, digitado);
    QFETCH(QString, esperada);
    QVERIFY(rd->Abrir());
    for (int p = 2; p <= 4; ++p) rd->NovaPagina();
    EstadoRelatorio().PaginaAtual = 3;  // the page the preview shows
    EstadoRelatorio().IntervaloPaginas = platform::fromQString(guardada);
    bool soSelecaoMarcada = false, habilitado = false, focoNaCaixa = false;
    QString mostrado, caixaAposOk;
    const bool ok = Setup(
        [&](TDFMsetup& d) {
          soSelecaoMarcada =
              !d.chkTodas->isChecked() && !d.chkAtual->isChecked() && d.chkSelecao->isChecked();
          habilitado = d.EdPaginas->isEnabled();
          mostrado = d.EdPaginas->text();
          if (clique == "todas") QTest::mouseClick(d.chkTodas, Qt::LeftButton);
          if (clique == "atual") QTest::mouseClick(d.chkAtual, Qt::LeftButton);
          if (clique == "selecao") QTest::mouseClick(d.chkSelecao, Qt::LeftButton);
          focoNaCaixa = QApplication::focusWidget() == d.EdPaginas;
          if (!digitado.isEmpty()) QTest::keyClicks(d.EdPaginas, digitado);
          QTest::mouseClick(d.OK, Qt::LeftButton);
          caixaAposOk = d.EdPaginas->text();
        },
        false);
    QVERIFY(ok);
    QCOMPARE(soSelecaoMarcada, !guardada.isEmpty());  // a stored selection shows as "Páginas:"
    QCOMPARE(habilitado, !guardada.isEmpty());
    QCOMPARE(mostrado, guardada);
    QCOMPARE(toQString(EstadoRelatorio().IntervaloPaginas), esperada);
    if (clique == "todas") QCOMPARE(caixaAposOk, QString());
    if (clique == "selecao") QVERIFY(focoNaCaixa);
  }

  // The model list follows MapeiaImpressora on show and on every printer change; Ok takes the
  // model, the printer, its port and the settings, and rebuilds the command set; Cancel keeps the
  // settings but not the model the mapping set.
  void modeloEImpressora() {
    rd->Impressora = TModelo::HP;
    rd->PortaComunicacao = "COM1";  // Abrir keeps it: the model stays HP until the dialog shows
    int noShow = -1, semLinha = -1, bobina = -1;
    bool ok = Setup([&](TDFMsetup& d) {
      noShow = d.MODELOS->currentIndex();
      d.IMPRESSORAS->setFocus();
      QTest::keyClick(d.IMPRESSORAS, Qt::Key_Down);  // HP LaserJet: HP=GRAFICO
      QTest::keyClick(d.IMPRESSORAS, Qt::Key_Down);  // Sala 2: no row
      semLinha = d.MODELOS->currentIndex();
      QTest::keyClick(d.IMPRESSORAS, Qt::Key_Down);  // BEMATECH MP-20
      bobina = d.MODELOS->currentIndex();
      d.chkAgrupar->setChecked(false);
      d.chkInverter->setChecked(true);
      d.EdParImpar->setCurrentIndex(2);
      d.chkPreview->setChecked(true);
      d.edCOPIAS->setText("3");
      QTest::keyClick(&d, Qt::Key_Return);  // Ok is the default button
    });
    QVERIFY(ok);
    QCOMPARE(noShow, int(TModelo::Epson));
    QCOMPARE(semLinha, int(TModelo::Grafico));
    QCOMPARE(bobina, int(TModelo::Bobina));
    QCOMPARE(rd->Impressora, TModelo::Bobina);
    QCOMPARE(plataforma->atual, std::string("BEMATECH MP-20"));
    QCOMPARE(rd->PortaComunicacao, std::string("LPT2"));
    TEstadoRelatorio& e = EstadoRelatorio();
    QCOMPARE(e.Copias, 3);
    QVERIFY(!e.Agrupar);
    QVERIFY(e.OrdemInversa);
    QCOMPARE(e.ParImpar, 2);
    QVERIFY(rd->OpcoesPreview.Preview);
    QCOMPARE(e.comandos.SaltoPagina, std::string());  // Bobina's command set

    // A model chosen by hand wins; Cancel keeps the settings, the mapping's model stays.
    ok = Setup([&](TDFMsetup& d) {
      d.MODELOS->setFocus();
      QTest::keyClick(d.MODELOS, Qt::Key_Home);
      QTest::keyClick(d.MODELOS, Qt::Key_Down);
      QTest::mouseClick(d.OK, Qt::LeftButton);
    });
    QVERIFY(ok);
    QCOMPARE(rd->Impressora, TModelo::Rima);
    QCOMPARE(e.comandos.Sequencia(TAtributo::aNegrito), std::string("\x1B\x45"));
    e.previewAberto = true;
    ok = Setup([&](TDFMsetup& d) {
      d.IMPRESSORAS->setFocus();
      QTest::keyClick(d.IMPRESSORAS, Qt::Key_Up);  // Sala 2
      d.edCOPIAS->setText("9");
      QTest::mouseClick(d.CANCELAR, Qt::LeftButton);
    });
    QVERIFY(!ok);
    QCOMPARE(rd->Impressora, TModelo::Grafico);
    QCOMPARE(rd->PortaComunicacao, std::string("LPT2"));
    QCOMPARE(e.Copias, 3);
    QCOMPARE(plataforma->atual, std::string("BEMATECH MP-20"));

    // A printer that maps to Daruma leaves the model list as it was (it selects models 0 to 5).
    int darumaNaLista = -1;
    ok = Setup([&](TDFMsetup& d) {
      d.IMPRESSORAS->setFocus();
      QTest::keyClick(d.IMPRESSORAS, Qt::Key_Down);  // DR700 Caixa: DR700=DARUMA
      darumaNaLista = d.MODELOS->currentIndex();
      QTest::mouseClick(d.OK, Qt::LeftButton);
    });
    QVERIFY(ok);
    QCOMPARE(darumaNaLista, int(TModelo::Bobina));
    QCOMPARE(rd->Impressora, TModelo::Bobina);
  }

  // The properties button shows the printer's own dialog and never closes ours; afterwards the
  // model is mapped again.
  void propriedadesNaoFecha() {
    bool visivelDepois[2] = {false, false};
    int modeloDepois = -1;
    bool ok = Setup([&](TDFMsetup& d) {
      for (int i = 0; i < 2; ++i) {
        QuandoModal<QPrintDialog>([i](QPrintDialog& p) {
          if (i == 0)
            p.reject();
          else
            p.accept();
        });
        d.MODELOS->setCurrentIndex(int(TModelo::Daruma));
        QTest::mouseClick(d.BitBtn1, Qt::LeftButton);
        visivelDepois[i] = d.isVisible();
      }
      modeloDepois = d.MODELOS->currentIndex();
      QTest::mouseClick(d.CANCELAR, Qt::LeftButton);
    });
    QVERIFY(!ok);
    QVERIFY(visivelDepois[0]);
    QVERIFY(visivelDepois[1]);
    QCOMPARE(modeloDepois, int(TModelo::Epson));
  }

  // What the user sets in the printer's own dialog (paper, orientation, resolution, duplex) is
  // kept for that printer's graphic jobs; a cancelled dialog keeps nothing, another printer has
  // nothing kept.
  void propriedadesGuardadasParaAImpressora() {
    EsquecePropriedadesImpressoras();
    QString nome;
    Setup([&](TDFMsetup& d) {
      for (bool aceita : {false, true}) {
        QuandoModal<QPrintDialog>([&, aceita](QPrintDialog& p) {
          QPrinter* pr = p.printer();
          pr->setPageSize(QPageSize(QPageSize::A3));
          pr->setPageOrientation(QPageLayout::Landscape);
          pr->setResolution(300);
          pr->setDuplex(QPrinter::DuplexLongSide);
          nome = pr->printerName().isEmpty() ? d.IMPRESSORAS->currentText() : pr->printerName();
          // done() takes the printer as it is (accept() would put the dialog's fields on it).
          p.done(aceita ? QDialog::Accepted : QDialog::Rejected);
        });
        QTest::mouseClick(d.BitBtn1, Qt::LeftButton);
        QPrinter novo;
        if (!aceita) QVERIFY(!AplicaPropriedadesImpressora(platform::fromQString(nome), novo));
      }
      QTest::mouseClick(d.CANCELAR, Qt::LeftButton);
    });
    QPrinter job;
    QVERIFY(!AplicaPropriedadesImpressora("Outra impressora", job));
    QVERIFY(AplicaPropriedadesImpressora(platform::fromQString(nome), job));
    QCOMPARE(job.pageLayout().pageSize().id(), QPageSize::A3);
    QCOMPARE(job.pageLayout().orientation(), QPageLayout::Landscape);
    QCOMPARE(job.resolution(), 300);
    // Duplex is a property of a real printer (a PDF printer, without a spooler here, has none).
    if (job.outputFormat() == QPrinter::NativeFormat)
      QCOMPARE(job.duplex(), QPrinter::DuplexLongSide);
    EsquecePropriedadesImpressoras();
  }

  // Only Ok (or Enter) and Cancelar (or Esc) close the dialog; Cancel outside the preview ends
  // the report, inside it keeps it with the preview box disabled; no report, no dialog.
  void fechamento() {
    bool aindaAberto = false, previewHabilitado = true;
    bool ok = Setup([&](TDFMsetup& d) {
      d.close();
      aindaAberto = d.isVisible();
      QTest::keyClick(&d, Qt::Key_Escape);
    });
    QVERIFY(!ok);
    QVERIFY(aindaAberto);
    QCOMPARE(cancelados, 1);
    QVERIFY(!EstadoRelatorio().aberto);

    QVERIFY(rd->Abrir());
    EstadoRelatorio().previewAberto = true;
    ok = Setup([&](TDFMsetup& d) {
      previewHabilitado = d.chkPreview->isEnabled();
      QTest::mouseClick(d.CANCELAR, Qt::LeftButton);
    });
    QVERIFY(!ok);
    QVERIFY(!previewHabilitado);
    QVERIFY(EstadoRelatorio().aberto);
    QCOMPARE(cancelados, 1);

    rd->Abortar();
    EstadoRelatorio().previewAberto = false;
    bool mostrou = false;
    QTimer* procura = QuandoModal<TDFMsetup>([&](TDFMsetup& d) {
      mostrou = true;
      QTest::mouseClick(d.CANCELAR, Qt::LeftButton);
    });
    QVERIFY(!rd->Setup());
    delete procura;
    QVERIFY(!mostrou);
    QCOMPARE(erros.back(), std::string("Erro #05 - (SETUP) Relat\xF3rio n\xE3o foi aberto..."));
  }

  // An empty, pasted or zero copy count is refused with a message and the dialog stays open.
  void copiasInvalidas() {
    std::vector<bool> abertos;
    bool ok = Setup([&](TDFMsetup& d) {
      for (const char* valor : {"", "a,b", "0"}) {
        d.edCOPIAS->setText(valor);
        QTest::mouseClick(d.OK, Qt::LeftButton);
        abertos.push_back(d.isVisible());
        abertos.push_back(QApplication::focusWidget() == d.edCOPIAS);
      }
      d.edCOPIAS->setText("7");
      QTest::mouseClick(d.OK, Qt::LeftButton);
    });
    QVERIFY(ok);
    QCOMPARE(abertos, (std::vector<bool>(6, true)));
    QCOMPARE(plataforma->caixas.size(), size_t(3));
    QVERIFY(plataforma->caixas[0].texto.find("N\xFAmero de C\xF3pias inv\xE1lido") !=
            std::string::npos);
    QCOMPARE(EstadoRelatorio().Copias, 7);
  }

  // The arrows step from the number shown, between 1 and 50; typing allows four digits.
  void setasDasCopias() {
    QStringList vistos;
    QVERIFY(rd->Abrir());
    EstadoRelatorio().Copias = 120;  // typed earlier, beyond the arrows
    Setup(
        [&](TDFMsetup& d) {
          vistos << d.edCOPIAS->text();
          QTest::mouseClick(d.OK, Qt::LeftButton);
        },
        false);
    QCOMPARE(EstadoRelatorio().Copias, 120);
    EstadoRelatorio().Copias = 1;
    Setup([&](TDFMsetup& d) {
      vistos << d.edCOPIAS->text();
      QTest::mouseClick(d.UpDown1->Abaixo(), Qt::LeftButton);
      vistos << d.edCOPIAS->text();
      d.edCOPIAS->setText("49");
      QTest::mouseClick(d.UpDown1->Acima(), Qt::LeftButton);
      QTest::mouseClick(d.UpDown1->Acima(), Qt::LeftButton);
      vistos << d.edCOPIAS->text();
      d.edCOPIAS->setText("9999");
      d.edCOPIAS->setFocus();
      QTest::keyClick(d.edCOPIAS, Qt::Key_Down);
      vistos << d.edCOPIAS->text();
      QTest::mouseClick(d.CANCELAR, Qt::LeftButton);
    });
    QCOMPARE(vistos, (QStringList{"120", "1", "1", "50", "49"}));
  }

  // The collation picture follows every click on the two check boxes, and is what the paint box
  // shows, its transparent colour left out.
  void figuraDeAgrupamento() {
    std::vector<const TImagemRGB*> figuras;
    QImage pintada, esperada;
    Setup([&](TDFMsetup& d) {
      figuras.push_back(&d.FiguraAgrupamento());
      for (QCheckBox* c : {d.chkInverter, d.chkAgrupar, d.chkInverter}) {
        QTest::mouseClick(c, Qt::LeftButton);
        figuras.push_back(&d.FiguraAgrupamento());
      }
      pintada = d.Imagem3->grab().toImage().convertToFormat(QImage::Format_RGB32);
      esperada = QImage(93, 38, QImage::Format_RGB32);
      esperada.fill(d.palette().color(QPalette::Window));
      QPainter p(&esperada);
      DesenhaTransparente(p, 0, 0, Img112233());
      p.end();
      QTest::mouseClick(d.CANCELAR, Qt::LeftButton);
    });
    QCOMPARE(figuras, (std::vector<const TImagemRGB*>{&Img123123(), &Img321321(), &Img332211(),
                                                      &Img112233()}));
    QCOMPARE(pintada, esperada);
    QVERIFY(Img123123().pixels != Img321321().pixels);
    QVERIFY(Img112233().pixels != Img332211().pixels);
  }

  // Client area, caption, the font colour of the labels FormShow colours, item 4, tab order.
  void disposicaoEOrdem() {
    rd->CaptionSetup = "Rdprint Setup";
    rd->CorFonte = 0x0000FF;  // red
    QSize tamanho;
    std::vector<QWidget*> cadeia, esperada;
    QString titulo, modelo4;
    QColor corRotulo, corImprimir, corNormal;
    Setup([&](TDFMsetup& d) {
      tamanho = d.size();
      esperada = {d.IMPRESSORAS, d.BitBtn1,    d.MODELOS,     d.chkPreview, d.chkTodas,
                  d.chkAtual,    d.chkSelecao, d.EdPaginas,   d.EdParImpar, d.edCOPIAS,
                  d.UpDown1,     d.chkAgrupar, d.chkInverter, d.OK,         d.CANCELAR};
      QWidget* w = d.IMPRESSORAS;
      for (int i = 0; i < 500 && cadeia.size() < esperada.size(); ++i, w = w->nextInFocusChain())
        if (std::find(esperada.begin(), esperada.end(), w) != esperada.end()) cadeia.push_back(w);
      titulo = d.windowTitle();
      modelo4 = d.MODELOS->itemText(4);
      corRotulo = d.Label2->palette().color(QPalette::WindowText);
      corImprimir = d.Label4->palette().color(QPalette::WindowText);
      corNormal = QApplication::palette().color(QPalette::WindowText);
      QTest::mouseClick(d.CANCELAR, Qt::LeftButton);
    });
    QCOMPARE(tamanho, QSize(522, 282));
    QCOMPARE(cadeia, esperada);
    QCOMPARE(titulo, QString("Rdprint Setup"));
    QCOMPARE(modelo4, toQString(rd->ImpressoraPersonalizada.NomeImpressora));
    QCOMPARE(corRotulo, QColor(255, 0, 0));
    QCOMPARE(corImprimir, corNormal);
  }
};

QTEST_MAIN(TesteSetup)
#include "test_setup.moc"
