// The preview window driven with real keys and mouse clicks, offscreen: the tool bar laid out from
// the button options, navigation and its button states, go to page, the zoom clamps and fit modes,
// the search cases (with the mark, the scrolling, Shift+F3 and the list of every match), saving
// with the extension rule, reading a report file back, e-mail, printing, dragging, the wheel, the
// minimum size, and closing the modal window with Esc.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "platform/qt/QtPlatform.h"
#include "report/RDestado.h"
#include "report/RDprint.h"
#include "report/forms/RDjanelasQt.h"
#include "report/forms/RDocorrencias.h"
#include "report/forms/RDpintura.h"
#include "report/forms/RDpreview.h"
#include "report/forms/RDprocura.h"
#include "report/forms/RDrolagem.h"
#include "support/PlataformaRoteiro.h"
#include "support/QuandoModal.h"

using report::TStatBut;
using report::forms::EstadoPreview;
using report::forms::TDFMPreview;

namespace {

const report::TAtributos kNormal{report::TAtributo::aNormal10};

// Counts the setup dialogs asked for; answers with `confirma`.
class JanelasContadas : public report::TJanelasSemTela {
 public:
  int setups = 0;
  bool confirma = true;
  bool MostraSetup(report::TRDprint&) override {
    ++setups;
    return confirma;
  }
};

// A report open on the program's grid (136 columns, margins of 10 mm, so the page picture is
// 1380 x 1130), the scripted platform, and the preview window shown at a fixed size.
class Ambiente {
 public:
  Ambiente() : escopo_(plataforma), janelasEscopo_(janelas) {
    report::ReiniciaEstadoRelatorio();
    EstadoPreview() = report::forms::TEstadoPreview{};
    rd = std::make_unique<report::TRDprint>();
    rd->PortaComunicacao = "nenhuma";
    rd->TamanhoQteColunas = 136;
    rd->Margens = report::TMargens{10, 10, 10, 10};
  }
  ~Ambiente() {
    janela.reset();
    report::ReiniciaEstadoRelatorio();
  }

  // Opens the report and fills `paginas` pages with a numbered line each.
  void Compoe(int paginas) {
    QVERIFY(rd->Abrir());
    for (int p = 1; p <= paginas; ++p) {
      rd->ImpF(10, 5, "Linha da p\xE1gina " + std::to_string(p), kNormal, 0);
      if (p < paginas) rd->NovaPagina();
    }
  }

  // The window as MostraPreview sets it up, shown (not maximised) at `tamanho`.
  TDFMPreview& Abre(QSize tamanho = QSize(1000, 700)) {
    janela = std::make_unique<TDFMPreview>(*rd, pasta.path().toStdString());
    janela->Configura();
    report::EstadoRelatorio().previewAberto = true;  // as MostraPreview leaves it
    janela->setWindowState(Qt::WindowNoState);
    janela->resize(tamanho);
    janela->show();
    if (!QTest::qWaitForWindowExposed(janela.get())) qWarning("the preview was not exposed");
    QCoreApplication::processEvents();
    return *janela;
  }

  // One key to the window.
  void Tecla(int tecla, Qt::KeyboardModifiers mod = Qt::NoModifier) {
    QTest::keyClick(janela.get(), static_cast<Qt::Key>(tecla), mod);
  }

  // Types a text into the find dialog (opened with the find button) and picks the options.
  void Procura(const char* texto, bool paraBaixo = true, bool maiusculas = false) {
    QTest::mouseClick(janela->btPROCURAR, Qt::LeftButton);
    auto* d = janela->FindDialog1;
    QTest::keyClicks(d->edTexto, QString::fromLatin1(texto));
    (paraBaixo ? d->rbAbaixo : d->rbAcima)->setChecked(true);
    d->chkMaiusculas->setChecked(maiusculas);
    QTest::mouseClick(d->btLocalizar, Qt::LeftButton);
  }

  QTemporaryDir pasta;
  teste::PlataformaRoteiro plataforma;
  JanelasContadas janelas;
  std::unique_ptr<report::TRDprint> rd;
  std::unique_ptr<TDFMPreview> janela;

 private:
  platform::ScopedPlatform escopo_;
  report::JanelasInstaladas janelasEscopo_;
};

// Whether a picture (or a picture stretched into it) writes `texto` on the search mark's
// light-yellow background.
bool TemMarca(const report::TMetafile& m, const std::string& texto) {
  for (const auto& op : m.Operacoes) {
    if (op.Tipo == report::TOperacaoDesenho::TTipo::TextOut && op.Texto == texto &&
        op.Brush.Style() == report::TBrushStyle::bsSolid && op.Brush.Color() == 0x80FFFF)
      return true;
    if (op.Figura && TemMarca(*op.Figura, texto)) return true;
  }
  return false;
}

using teste::QuandoModal;

// The zoom menu's checked item, by its text ("" when none is).
QString ZoomMarcado(const TDFMPreview& w) {
  QAction* a = w.GrupoZoom->checkedAction();
  return a ? a->text() : QString();
}

// Whether a button is enabled; the names are the window's.
bool Ativo(const QToolButton* b) { return b->isEnabled(); }

}  // namespace

class TestePreview : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { report::InstalaMedidorQt(); }

  // FormShow lays the tool bar out from the option-driven buttons that are visible: one row in
  // the controls' order, none over another, and no hole where a hidden one would be.
  void barraDeFerramentas_data() {
    QTest::addColumn<bool>("tudoInvisivel");
    QTest::addColumn<int>("setup");  // TStatBut of BotaoSetup
    QTest::addColumn<QStringList>("ocultos");
    QTest::newRow("padrao: setup invisivel")
        << false << int(TStatBut::Invisivel) << QStringList{"btSETUP"};
    QTest::newRow("setup ativo") << false << int(TStatBut::Ativo) << QStringList{};
    QTest::newRow("setup inativo continua visivel")
        << false << int(TStatBut::Inativo) << QStringList{};
    QTest::newRow("todos invisiveis")
        << true << int(TStatBut::Invisivel)
        << QStringList{"btIMPRIMIR", "btSETUP", "Separa1",    "btPDF",  "btEMAIL",
                       "btSALVAR",   "btABRIR", "btPROCURAR", "Separa2"};
  }
  void barraDeFerramentas() {
    QFETCH(bool, tudoInvisivel);
    QFETCH(int, setup);
    QFETCH(QStringList, ocultos);
    Ambiente a;
    a.Compoe(1);
    auto& o = a.rd->OpcoesPreview;
    o.BotaoSetup = static_cast<TStatBut>(setup);
    if (tudoInvisivel)
      o.BotaoImprimir = o.BotaoGravar = o.BotaoLer = o.BotaoProcurar = o.BotaoPDF = o.BotaoEMAIL =
          TStatBut::Invisivel;
    auto& w = a.Abre();
    const QWidget* controles[] = {w.btIMPRIMIR, w.btSETUP,  w.Separa1,    w.btPDF,     w.btEMAIL,
                                  w.btSALVAR,   w.btABRIR,  w.btPROCURAR, w.Separa2,   w.btPRIMEIRA,
                                  w.btANTERIOR, w.btDIRETO, w.btPROXIMA,  w.btULTIMA,  w.Separa3,
                                  w.btLARGURA,  w.btFULL,   w.btAumenta,  w.btDiminui, w.Separa4,
                                  w.btFECHAR};
    const QWidget* anterior = nullptr;
    for (const QWidget* c : controles) {
      QCOMPARE(c->isHidden(), ocultos.contains(c->objectName()));
      if (c->isHidden()) continue;
      QCOMPARE(c->y(), w.btFECHAR->y());
      const int folga = anterior ? c->x() - anterior->geometry().right() - 1 : c->x();
      QVERIFY2(folga >= 0 && folga <= 12, qPrintable(c->objectName()));
      anterior = c;
    }
    QCOMPARE(w.btSETUP->isEnabled(), setup != int(TStatBut::Inativo));
    QCOMPARE(w.btDIRETO->toolTip(), QString::fromUtf8("Acesso direto à Página "));
  }

  // Navigation buttons follow the page: with one page all five are off and the arrows only
  // scroll; with several, the keys and buttons walk the pages and the page panel follows.
  void navegacao() {
    {
      Ambiente a;
      a.Compoe(1);
      auto& w = a.Abre();
      for (QToolButton* b : {w.btPRIMEIRA, w.btANTERIOR, w.btDIRETO, w.btPROXIMA, w.btULTIMA})
        QVERIFY(!Ativo(b));
      w.AjustaZoom(200);
      QScrollBar* v = w.Scroller->verticalScrollBar();
      a.Tecla(Qt::Key_Down);
      QCOMPARE(v->value(), int(std::nearbyint(w.VISOR->height() / 20.0)));
      v->setValue(v->maximum());
      a.Tecla(Qt::Key_Down);
      QCOMPARE(w.Pagina, 1);
      QCOMPARE(w.TextoPainel(0), QString::fromUtf8("Página: 1 de 1"));
    }
    Ambiente a;
    a.Compoe(3);
    auto& w = a.Abre();
    QVERIFY(!Ativo(w.btPRIMEIRA) && !Ativo(w.btANTERIOR));
    QVERIFY(Ativo(w.btPROXIMA) && Ativo(w.btULTIMA) && Ativo(w.btDIRETO));
    QTest::mouseClick(w.btPROXIMA, Qt::LeftButton);
    QCOMPARE(w.Pagina, 2);
    QVERIFY(Ativo(w.btPRIMEIRA) && Ativo(w.btANTERIOR) && Ativo(w.btPROXIMA));
    a.Tecla(Qt::Key_End);
    QCOMPARE(w.Pagina, 3);
    QVERIFY(!Ativo(w.btPROXIMA) && !Ativo(w.btULTIMA));
    QCOMPARE(w.TextoPainel(0), QString::fromUtf8("Página: 3 de 3"));
    a.Tecla(Qt::Key_PageUp);
    QCOMPARE(w.Pagina, 2);
    a.Tecla(Qt::Key_Home);
    QCOMPARE(w.Pagina, 1);
    a.Tecla(Qt::Key_PageDown);
    QCOMPARE(w.Pagina, 2);
    // Up at the top goes to the bottom of the previous page; Down at the bottom to the top of the
    // next one.
    w.AjustaZoom(200);
    QScrollBar* v = w.Scroller->verticalScrollBar();
    v->setValue(0);
    a.Tecla(Qt::Key_Up);
    QCOMPARE(w.Pagina, 1);
    QCOMPARE(v->value(), v->maximum());
    a.Tecla(Qt::Key_Down);
    QCOMPARE(w.Pagina, 2);
    QCOMPARE(v->value(), 0);
  }

  // Go to page clamps to the report; a text that is not a number says so and changes nothing.
  void irParaPagina_data() {
    QTest::addColumn<QString>("resposta");  // "\x01" = cancelled
    QTest::addColumn<int>("pagina");
    QTest::addColumn<bool>("invalida");
    QTest::newRow("zero") << "0" << 1 << false;
    QTest::newRow("negativo") << "-5" << 1 << false;
    QTest::newRow("dentro") << "3" << 3 << false;
    QTest::newRow("acima") << "99" << 4 << false;
    QTest::newRow("texto") << "abc" << 2 << true;
    QTest::newRow("cancelado") << "\x01" << 2 << false;
  }
  void irParaPagina() {
    QFETCH(QString, resposta);
    QFETCH(int, pagina);
    QFETCH(bool, invalida);
    Ambiente a;
    a.Compoe(4);
    auto& w = a.Abre();
    a.Tecla(Qt::Key_PageDown);
    if (resposta == QStringLiteral("\x01"))
      a.plataforma.respostasEntrada.push_back(std::nullopt);
    else
      a.plataforma.respostasEntrada.push_back(resposta.toStdString());
    QTest::mouseClick(w.btDIRETO, Qt::LeftButton);
    QCOMPARE(a.plataforma.entradas.size(), size_t(1));
    QCOMPARE(a.plataforma.entradas[0].titulo + "|" + a.plataforma.entradas[0].rotulo,
             std::string("Acesso r\xE1pido|Qual p\xE1gina deseja ver ?"));
    QCOMPARE(w.Pagina, pagina);
    QCOMPARE(a.plataforma.mensagens.size(), size_t(invalida ? 1 : 0));
    if (invalida) QCOMPARE(a.plataforma.mensagens[0], std::string("P\xE1gina inv\xE1lida..."));
  }

  // Ctrl+N asks for the page even with one page, whose button is off.
  void ctrlNIgnoraOBotao() {
    Ambiente a;
    a.Compoe(1);
    a.Abre();
    a.plataforma.respostasEntrada.push_back("7");
    a.Tecla(Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(a.plataforma.entradas.size(), size_t(1));
    QCOMPARE(a.janela->Pagina, 1);
  }

  // Zooming out stops at 20%, in at 400%; keypad + and - step by 10; a menu item applies itself.
  void limitesDoZoom() {
    Ambiente a;
    a.Compoe(1);
    auto& w = a.Abre();
    QCOMPARE(w.Zoom, 100);
    QCOMPARE(w.TextoPainel(1), QString("100%"));
    for (int i = 0; i < 12; ++i) QTest::mouseClick(w.btDiminui, Qt::LeftButton);
    QCOMPARE(w.Zoom, 20);
    QCOMPARE(w.TextoPainel(1), QString("20%"));
    QCOMPARE(w.VISOR->size(), QSize(int(std::nearbyint(1380 * 0.2)) + 10, 226 + 10));
    for (int i = 0; i < 40; ++i) QTest::mouseClick(w.btAumenta, Qt::LeftButton);
    QCOMPARE(w.Zoom, 400);
    QCOMPARE(w.TextoPainel(1), QString("400%"));
    a.Tecla(Qt::Key_Minus, Qt::KeypadModifier);
    QCOMPARE(w.Zoom, 390);
    a.Tecla(Qt::Key_Minus);  // the main keyboard's minus is not the keypad's
    QCOMPARE(w.Zoom, 390);
    w.Zoom50->trigger();
    QCOMPARE(w.Zoom, 50);
    QVERIFY(w.Zoom50->isChecked() && !w.Zoom100->isChecked());
    QCOMPARE(w.TextoPainel(1), QString("50%"));
    a.Tecla(Qt::Key_Plus, Qt::KeypadModifier);
    QCOMPARE(w.Zoom, 60);
  }

  // The fit modes: the whole page of a tall page in a wide window is limited by the height; fit
  // width uses the box's outer width. The page box is centred while it is smaller.
  void ajustesDoZoom() {
    Ambiente a;
    a.Compoe(1);
    auto& w = a.Abre(QSize(1400, 600));
    const QWidget* vista = w.Scroller->viewport();
    QTest::mouseClick(w.btFULL, Qt::LeftButton);
    const int zw = int(std::trunc((vista->width() - 10) * 100.0 / 1380));
    const int zh = int(std::trunc((vista->height() - 10) * 100.0 / 1130));
    QVERIFY(zh < zw);
    QCOMPARE(w.Zoom, zh);
    QCOMPARE(w.VISOR->height(), int(std::nearbyint(1130 * zh / 100.0)) + 10);
    QCOMPARE(w.Scroller->ConteudoLeft(), (vista->width() - w.VISOR->width()) / 2);
    w.ZoomWidth->trigger();
    QCOMPARE(w.Zoom, int(std::trunc((w.Scroller->width() - 30) * 100.0 / 1380)));
    QVERIFY(w.ZoomWidth->isChecked());
    QCOMPARE(w.Scroller->ConteudoTop(), 0);
  }

  // The search cases, through the find dialog and F3: accents and case, only T, D and X entries,
  // texts as stored, the first and the last entry found again at the ends, no wrap, the message
  // and the position a failed search leaves.
  void procura() {
    Ambiente a;
    QVERIFY(a.rd->Abrir());
    a.rd->ImpF(1, 1, "Primeira entrada", kNormal, 0);
    a.rd->ImpF(5, 3, "Jos\xE9 da Silva", kNormal, 0);
    a.rd->ImpF(6, 3, "&TITULO& no rodap\xE9", kNormal, 0);
    a.rd->NovaPagina();
    a.rd->AdicionaComando(5, 3, "C", "JOSE", kNormal, 0);
    a.rd->AdicionaComando(6, 3, "B", "JOSE", kNormal, 0);
    a.rd->NovaPagina();
    a.rd->ImpF(60, 100, "Ultima JOSE", kNormal, 0);
    auto& w = a.Abre();
    auto& s = EstadoPreview();
    const auto& marca = report::EstadoRelatorio().MarcaBusca;

    a.Procura("jose");
    QCOMPARE(w.Pagina, 1);
    QCOMPARE(s.achado.linha, 6);
    QCOMPARE(s.achado.coluna, 3 + 13);
    QCOMPARE(marca, std::string("0001005003016M000000Jos\xE9 da Silva"));
    a.Tecla(Qt::Key_F3);
    QCOMPARE(w.Pagina, 3);  // the C and B entries of page 2 are not searched
    QCOMPARE(s.achado.linha, 61);
    a.Tecla(Qt::Key_F3);  // the last entry again: the position past the end is clamped
    QCOMPARE(w.Pagina, 3);
    QCOMPARE(s.posicaoBusca, 6);
    QVERIFY(a.plataforma.mensagens.empty());

    a.Procura("JOSE", true, true);  // match case: José is not JOSE
    QCOMPARE(w.Pagina, 3);

    a.Procura("Primeira", false);  // upward from 0, again and again
    QCOMPARE(w.Pagina, 1);
    a.Tecla(Qt::Key_F3);
    a.Tecla(Qt::Key_F3);
    QCOMPARE(s.achado.linha, 2);
    QCOMPARE(s.posicaoBusca, -1);

    a.Procura("titulo");  // the stored text, macros not expanded
    QCOMPARE(s.achado.pagina, 1);
    QCOMPARE(s.posicaoBusca, 3);
    w.FindDialog1->edTexto->clear();
    QTest::keyClicks(w.FindDialog1->edTexto, QStringLiteral("Gerado por"));
    a.Tecla(Qt::Key_F3);
    QCOMPARE(a.plataforma.mensagens.size(), size_t(1));
    QCOMPARE(a.plataforma.mensagens[0],
             std::string("N\xE3o \xE9 poss\xEDvel encontrar \"Gerado por\""));
    QCOMPARE(s.posicaoBusca, 3);  // where the failed search started
    QVERIFY(marca.empty());
    QCOMPARE(s.achado.pagina, 0);
  }

  // A successful search scrolls the match's line and column to the box's bottom right edge; the
  // page drawn carries the mark.
  void procuraRolaAteOAchado() {
    Ambiente a;
    QVERIFY(a.rd->Abrir());
    a.rd->ImpF(60, 100, "Ultima JOSE", kNormal, 0);
    auto& w = a.Abre();
    w.AjustaZoom(200);
    a.Procura("ultima");
    const int y = 61 * int(std::nearbyint(w.VISOR->height() / 66.0));
    const int x = (100 + 11) * int(std::nearbyint(w.VISOR->width() / 136.0));
    QCOMPARE(w.Scroller->verticalScrollBar()->value(), y - w.Scroller->viewport()->height());
    QCOMPARE(w.Scroller->horizontalScrollBar()->value(), x - w.Scroller->viewport()->width());
    QVERIFY(TemMarca(w.Figura, "Ultima JOSE"));
    a.Tecla(Qt::Key_Home);  // the page again, without the mark once a search fails
    w.FindDialog1->edTexto->setText(QStringLiteral("nada"));
    a.Tecla(Qt::Key_F3);
    QVERIFY(!TemMarca(w.Figura, "Ultima JOSE"));
  }

  // Shift+F3 goes the other way from beside the match shown; Ctrl+Shift+F lists every match of
  // the report and choosing one shows it marked, with F3 going on from there.
  void procuraAnteriorEListaDeOcorrencias() {
    Ambiente a;
    QVERIFY(a.rd->Abrir());
    for (int p = 1; p <= 3; ++p) {
      a.rd->ImpF(7, 2, "Caneta", kNormal, 0);
      a.rd->ImpF(7, 20, "azul " + std::to_string(p), kNormal, 0);
      if (p < 3) a.rd->NovaPagina();
    }
    auto& w = a.Abre();
    auto& s = EstadoPreview();
    a.Procura("caneta");
    a.Tecla(Qt::Key_F3);
    QCOMPARE(w.Pagina, 2);
    a.Tecla(Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(w.Pagina, 1);
    a.Tecla(Qt::Key_F3, Qt::ShiftModifier);  // the first is found again, as at the store's ends
    QCOMPARE(w.Pagina, 1);
    QVERIFY(a.plataforma.mensagens.empty());

    a.Tecla(Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(!w.PainelOcorrencias->isHidden());
    const auto& lista = w.PainelOcorrencias->Ocorrencias();
    QCOMPARE(lista.size(), size_t(3));
    QCOMPARE(lista[2].achado.pagina, 3);
    QCOMPARE(lista[2].textoLinha, std::string("Caneta            azul 3"));
    QTreeView* tv = w.PainelOcorrencias->tvOcorrencias;
    QCOMPARE(tv->model()->index(2, 1).data().toInt(), 7);
    tv->setCurrentIndex(tv->model()->index(2, 0));
    QCOMPARE(w.Pagina, 3);
    QCOMPARE(report::EstadoRelatorio().MarcaBusca, std::string("0003007002016M000000Caneta"));
    a.Tecla(Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(w.Pagina, 2);
    QCOMPARE(s.achado.pagina, 2);
  }

  // Saving: the dialog's title, types, folder and name from the cleaned title; the written name
  // is the chosen one without its extension plus the type's; the types write their files.
  void salvar_data() {
    QTest::addColumn<QString>("escolhido");
    QTest::addColumn<int>("tipo");
    QTest::addColumn<QString>("gravado");
    QTest::newRow("texto sobre .htm") << "relatorio.htm" << 2 << "relatorio.TXT";
    QTest::newRow("rdp sem extensao") << "copia" << 3 << "copia.RDP";
    QTest::newRow("prn com dois pontos") << "a.b.c" << 4 << "a.b.PRN";
    QTest::newRow("ponto so na pasta") << "sub.d/rel" << 2 << "sub.d/rel.TXT";
  }
  void salvar() {
    QFETCH(QString, escolhido);
    QFETCH(int, tipo);
    QFETCH(QString, gravado);
    Ambiente a;
    a.Compoe(2);
    a.rd->TitulodoRelatorio = "Relat\xF3rio: 1/2";
    auto& w = a.Abre();
    const std::string pasta = a.pasta.path().toStdString();
    std::filesystem::create_directory(pasta + "/sub.d");
    a.plataforma.arquivosSalvar.push_back(
        teste::PlataformaRoteiro::Salvar{pasta + "/" + escolhido.toStdString(), tipo});
    a.Tecla(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(a.plataforma.dialogos.size(), size_t(1));
    const auto& d = a.plataforma.dialogos[0];
    QCOMPARE(d.title, std::string("Salvar relat\xF3rio como..."));
    QCOMPARE(d.folder, pasta);
    QCOMPARE(d.fileName, std::string("Relat\xC3\xB3rio 12"));
    QCOMPARE(d.filter,
             std::string("Arquivo HTML (*.HTML) |*.HTML|Arquivo PDF  (*.PDF)|*.PDF|Arquivo Texto  "
                         "(*.TXT)|*.TXT|Relat\xF3rio RDprint  (*.RDP)|*.RDP|Arquivo para "
                         "Impress\xE3o (*.PRN)|*.PRN"));
    QVERIFY(std::filesystem::exists(pasta + "/" + gravado.toStdString()));
    QVERIFY(!std::filesystem::exists(pasta + "/" + escolhido.toStdString()));
    QVERIFY(w.isVisible());
  }

  // The real save dialog: the type chosen in its list decides the format and the extension
  // (the types' descriptions hold two blanks, which the dialog shows as one).
  void salvarNoDialogoReal_data() {
    QTest::addColumn<int>("tipo");
    QTest::addColumn<QString>("gravado");
    QTest::addColumn<QByteArray>("inicio");
    QTest::newRow("html") << 0 << "listagem.HTML" << QByteArray("<");
    QTest::newRow("pdf") << 1 << "listagem.PDF" << QByteArray("%PDF-");
    QTest::newRow("texto") << 2 << "listagem.TXT" << QByteArray("\r\n");
    QTest::newRow("rdp") << 3 << "listagem.RDP" << QByteArray("<< RDprint 6.0");
    QTest::newRow("prn") << 4 << "listagem.PRN" << QByteArray("\x1B\x32");
  }
  void salvarNoDialogoReal() {
    QFETCH(int, tipo);
    QFETCH(QString, gravado);
    QFETCH(QByteArray, inicio);
    Ambiente a;
    a.Compoe(2);
    platform::QtPlatform qt("x");
    platform::ScopedPlatform real(qt);
    auto& w = a.Abre();
    const QString pasta = a.pasta.path();
    QString filtroEscolhido;
    QuandoModal([&](QWidget* m) {
      auto* d = qobject_cast<QFileDialog*>(m);
      QVERIFY(d);
      auto* tipos = d->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
      QVERIFY(tipos);
      tipos->setCurrentIndex(tipo);
      filtroEscolhido = tipos->currentText();
      auto* nome = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      QVERIFY(nome);
      nome->setText(pasta + QStringLiteral("/listagem.txt"));
      QTest::keyClick(nome, Qt::Key_Return);
    });
    QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
    QVERIFY2(!filtroEscolhido.isEmpty(), "the save dialog did not open");
    QCOMPARE(QDir(pasta).entryList(QDir::Files), QStringList{gravado});
    QFile f(pasta + "/" + gravado);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QVERIFY2(bytes.startsWith(inicio) || (tipo == 2 && bytes.contains(inicio)),
             bytes.left(40).constData());
  }

  // The zoom menu checks the zoom in force: a percentage it lists, the fit just chosen, or
  // nothing for a zoom it does not list.
  void menuDeZoomSegueOZoom() {
    Ambiente a;
    a.Compoe(2);
    a.rd->OpcoesPreview.PreviewZoom = 75;
    auto& w = a.Abre();
    QCOMPARE(ZoomMarcado(w), QString("75%"));
    w.btAumentaClick();  // 85%
    QCOMPARE(ZoomMarcado(w), QString());
    w.AjustaZoom(150);
    QCOMPARE(ZoomMarcado(w), QString("150%"));
    w.ZoomPage->trigger();
    QCOMPARE(ZoomMarcado(w), QString::fromLatin1("P\xE1gina Inteira"));
    w.btLARGURAClick();
    QCOMPARE(ZoomMarcado(w), QString("Ajusta na Largura"));
    w.Zoom50->trigger();
    QCOMPARE(w.Zoom, 50);
    QCOMPARE(ZoomMarcado(w), QString("50%"));
  }

  // The window sees every key before the focused control: with the list of every match
  // focused, Page Down, End, Home and the arrows move through the report (and not the list's row,
  // which would show another page).
  void listaDeOcorrenciasNaoEngoleAsTeclas() {
    Ambiente a;
    QVERIFY(a.rd->Abrir());
    for (int p = 1; p <= 4; ++p) {
      a.rd->ImpF(7, 2, "Caneta " + std::to_string(p), kNormal, 0);
      if (p < 4) a.rd->NovaPagina();
    }
    auto& w = a.Abre();
    a.Procura("caneta");
    a.Tecla(Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    QTreeView* tv = w.PainelOcorrencias->tvOcorrencias;
    tv->setFocus();
    QApplication::setActiveWindow(&w);
    QCOMPARE(w.Pagina, 1);
    for (auto [tecla, esperada] : {std::pair{Qt::Key_PageDown, 2},
                                   {Qt::Key_End, 4},
                                   {Qt::Key_Home, 1},
                                   {Qt::Key_PageDown, 2}}) {
      QTest::keyClick(tv, tecla);
      QCOMPARE(w.Pagina, esperada);
    }
    w.AjustaZoom(200);
    const int antes = w.Scroller->horizontalScrollBar()->value();
    QTest::keyClick(tv, Qt::Key_Right);
    QVERIFY(w.Scroller->horizontalScrollBar()->value() > antes);
    // A key the focused control does not take reaches the window once, not again on its way up.
    w.PainelOcorrencias->btListar->setFocus();
    QTest::keyClick(w.PainelOcorrencias->btListar, Qt::Key_PageDown);
    QCOMPARE(w.Pagina, 3);
  }

  // Reading a saved report replaces the pages, shows its first page at the same zoom; a file
  // that is not a report is refused by the reader and the window goes on with what it had.
  void abrirRelatorio() {
    Ambiente a;
    a.Compoe(2);
    const std::string pasta = a.pasta.path().toStdString();
    a.rd->GravaRDP(pasta + "/dois.RDP");
    a.rd->ImpF(10, 5, "mais", kNormal, 0);
    a.rd->NovaPagina();
    a.rd->ImpF(10, 5, "e mais", kNormal, 0);
    auto& w = a.Abre();
    QCOMPARE(w.QtdPaginas, 3);
    w.Zoom75->trigger();
    a.Tecla(Qt::Key_End);
    a.plataforma.arquivosAbrir.push_back(pasta + "/dois.RDP");
    a.Tecla(Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(a.plataforma.dialogos.back().title, std::string("Selecionar relat\xF3rio..."));
    QCOMPARE(a.plataforma.dialogos.back().filter,
             std::string("Relat\xF3rio RDprint (*.RDP)|*.RDP"));
    QCOMPARE(w.QtdPaginas, 2);
    QCOMPARE(w.Pagina, 1);
    QCOMPARE(w.Zoom, 75);
    QCOMPARE(w.TextoPainel(0), QString::fromUtf8("Página: 1 de 2"));

    std::ofstream(pasta + "/lixo.RDP") << "nada disso\r\n";
    a.plataforma.arquivosAbrir.push_back(pasta + "/lixo.RDP");
    QTest::mouseClick(w.btABRIR, Qt::LeftButton);
    QCOMPARE(a.plataforma.caixas.back().texto,
             std::string("Formato do arquivo \xE9 inv\xE1lido..."));
    QCOMPARE(w.QtdPaginas, 2);
    QVERIFY(w.isVisible());
  }

  // E-mail, print and setup act only through visible, enabled buttons (Ctrl+M and Ctrl+P
  // included); printing runs the setup first when the window was opened so.
  void comandosSeguemOsBotoes() {
    Ambiente a;
    a.Compoe(1);
    int emails = 0, impressos = 0;
    a.rd->OnSendMail = [&](report::TRDprint&) { ++emails; };
    a.rd->OnBeforePrint = [&](report::TRDprint&, bool& continuar) {
      ++impressos;
      continuar = false;
    };
    a.rd->OpcoesPreview.BotaoSetup = TStatBut::Ativo;
    auto& w = a.Abre();
    a.Tecla(Qt::Key_M, Qt::ControlModifier);
    a.Tecla(Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(emails, 1);
    QCOMPARE(impressos, 1);
    QCOMPARE(a.janelas.setups, 1);
    a.janelas.confirma = false;
    QTest::mouseClick(w.btIMPRIMIR, Qt::LeftButton);
    QCOMPARE(impressos, 1);  // setup cancelled: nothing printed
    QTest::mouseClick(w.btSETUP, Qt::LeftButton);
    QCOMPARE(a.janelas.setups, 3);
    QCOMPARE(w.TextoPainel(2), QString(" Impressora: "));
    QCOMPARE(w.TextoPainel(3), QString("Epson"));

    a.rd->OpcoesPreview.BotaoEMAIL = TStatBut::Inativo;
    a.rd->OpcoesPreview.BotaoImprimir = TStatBut::Invisivel;
    a.rd->OpcoesPreview.MostrarSETUP = false;
    w.Configura();
    a.Tecla(Qt::Key_M, Qt::ControlModifier);
    a.Tecla(Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(emails, 1);
    QCOMPARE(impressos, 1);
  }

  // Ctrl+E and Ctrl+F run the PDF and find buttons' commands (the PDF one, like its button, only
  // while the button is there); Ctrl+Shift+F opens the list of matches, not the find dialog.
  void teclasDaBarraSeguemOsBotoes() {
    Ambiente a;
    a.Compoe(1);
    auto& w = a.Abre();
    a.Tecla(Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(a.plataforma.dialogos.size(), size_t(1));
    QCOMPARE(a.plataforma.dialogos.back().title, std::string("Exportar Relat\xF3rio para PDF"));
    a.Tecla(Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(w.PainelOcorrencias->isVisible());
    QVERIFY(!w.FindDialog1->isVisible());
    a.Tecla(Qt::Key_F, Qt::ControlModifier);
    QVERIFY(w.FindDialog1->isVisible());
    w.FindDialog1->hide();

    a.rd->OpcoesPreview.BotaoPDF = TStatBut::Invisivel;
    w.Configura();
    a.Tecla(Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(a.plataforma.dialogos.size(), size_t(1));
  }

  // Dragging with the left button pans the page under the grabbing hand (hot spot 10, 12); the
  // release gives the cursor back. The wheel scrolls as the arrow keys do.
  void arrastarERoda() {
    Ambiente a;
    a.Compoe(1);
    auto& w = a.Abre();
    w.AjustaZoom(300);
    QScrollBar* h = w.Scroller->horizontalScrollBar();
    QScrollBar* v = w.Scroller->verticalScrollBar();
    h->setValue(200);
    v->setValue(200);
    QCOMPARE(w.VISOR->cursor().hotSpot(), QPoint(10, 12));
    QTest::mousePress(w.VISOR, Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->hotSpot(), QPoint(10, 12));
    QTest::mouseMove(w.VISOR, QPoint(260, 270));
    QCOMPARE(h->value(), 240);
    QCOMPARE(v->value(), 230);
    QTest::mouseRelease(w.VISOR, Qt::LeftButton, Qt::NoModifier, QPoint(300, 300));
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(!EstadoPreview().arrastando);

    const int passo = int(std::nearbyint(w.VISOR->height() / 20.0));
    QWheelEvent abaixo(QPointF(50, 50), w.VISOR->mapToGlobal(QPointF(50, 50)), QPoint(),
                       QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w.VISOR, &abaixo);
    QCOMPARE(v->value(), 230 + passo);
    QVERIFY(abaixo.isAccepted());
    QWheelEvent acima(QPointF(5, 5), w.mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&w, &acima);  // over the tool bar: the window's handling
    QCOMPARE(v->value(), 230);
  }

  // The window keeps at least 540 x 240.
  void tamanhoMinimo() {
    Ambiente a;
    a.Compoe(1);
    auto& w = a.Abre();
    w.resize(300, 100);
    QCoreApplication::processEvents();
    QVERIFY(w.width() >= 540 && w.height() >= 240);
  }

  // Through the engine: Fechar opens the window modally with the component's caption and
  // options, and Esc closes it; the preview-open flag is set only meanwhile.
  void fecharComEsc() {
    Ambiente a;
    report::forms::TJanelasQt qt;
    report::JanelasInstaladas guarda(qt);
    a.Compoe(2);
    a.rd->OpcoesPreview.Preview = true;
    a.rd->OpcoesPreview.CaptionPreview = "Rdprint Preview";
    QString caption;
    bool aberto = false;
    QTimer::singleShot(0, [&] {
      auto* w = qobject_cast<TDFMPreview*>(QApplication::activeModalWidget());
      if (!w) return;
      caption = w->windowTitle();
      aberto = report::EstadoRelatorio().previewAberto;
      QTest::keyClick(w, Qt::Key_Escape);
    });
    QVERIFY(a.rd->Fechar());
    QCOMPARE(caption, QString("Rdprint Preview"));
    QVERIFY(aberto);
    QVERIFY(!report::EstadoRelatorio().previewAberto);
    QVERIFY(!report::EstadoRelatorio().aberto);
  }
};

QTEST_MAIN(TestePreview)
#include "test_preview.moc"
