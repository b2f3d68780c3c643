// The preview window's construction, tool bar layout, opening and the routing of keys, mouse and
// wheel to the window's handlers.
#include "report/forms/RDpreview.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <iterator>

#include "platform/Platform.h"
#include "platform/qt/QtTexto.h"
#include "report/RDmodelos.h"
#include "report/RDprint.h"
#include "report/forms/RDaparencia.h"
#include "report/forms/RDfiguras.h"
#include "report/forms/RDocorrencias.h"
#include "report/forms/RDprocura.h"
#include "report/forms/RDrolagem.h"

namespace report::forms {

// The tool bar's buttons in their order, each with the key that runs its command too (with the
// modifier that must be held; others may be held as well), and the text of those that show one.
struct TBotaoBarra {
  QToolButton* TDFMPreview::*botao;
  const char* nome;
  const char* dica;
  int largura;
  GlifoPreview glifo;
  void (TDFMPreview::*clique)();
  int tecla;  // 0: none
  Qt::KeyboardModifier modificador;
  const char* texto;  // null: the glyph alone
};

namespace {

// The page paint box: painting and the mouse go to the window's handlers.
class TVisor : public QWidget {
 public:
  TVisor(QWidget* pai, TDFMPreview& janela) : QWidget(pai), janela_(janela) {
    setObjectName(QStringLiteral("VISOR"));
    setAttribute(Qt::WA_OpaquePaintEvent, false);
  }

 protected:
  // VISORPaint.
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    janela_.VISORPaint(p);
  }
  // VISORMouseDown.
  void mousePressEvent(QMouseEvent* e) override { janela_.VISORMouseDown(e); }
  // VISORMouseMove.
  void mouseMoveEvent(QMouseEvent* e) override { janela_.VISORMouseMove(e); }
  // VISORMouseUp.
  void mouseReleaseEvent(QMouseEvent* e) override { janela_.VISORMouseUp(e); }
  // The wheel over the page is the window's.
  void wheelEvent(QWheelEvent* e) override {
    if (janela_.DoMouseWheel(e->angleDelta().y())) e->accept();
  }

 private:
  TDFMPreview& janela_;
};

// The status panels: width and alignment.
struct TPainel {
  int largura;
  Qt::Alignment alinhamento;
};
const TPainel kPaineis[4] = {{125, Qt::AlignCenter},
                             {50, Qt::AlignCenter},
                             {300, Qt::AlignLeft | Qt::AlignVCenter},
                             {80, Qt::AlignCenter}};

const TBotaoBarra kBarra[] = {
    {&TDFMPreview::btIMPRIMIR, "btIMPRIMIR", "Imprimir", 80, GlifoPreview::Imprimir,
     &TDFMPreview::btIMPRIMIRClick, Qt::Key_P, Qt::ControlModifier, "&Imprimir"},
    {&TDFMPreview::btSETUP, "btSETUP",
     "Op\xE7\xF5"
     "es de Impress\xE3o...",
     80, GlifoPreview::Setup, &TDFMPreview::btSETUPClick, 0, Qt::NoModifier, "&Config"},
    {&TDFMPreview::btPDF, "btPDF", "Gerar PDF", 25, GlifoPreview::PDF, &TDFMPreview::btPDFClick,
     Qt::Key_E, Qt::ControlModifier, nullptr},
    {&TDFMPreview::btEMAIL, "btEMAIL", "Enviar por E-Mail", 25, GlifoPreview::Email,
     &TDFMPreview::btEMAILClick, Qt::Key_M, Qt::ControlModifier, nullptr},
    {&TDFMPreview::btSALVAR, "btSALVAR", "Salvar relat\xF3rio", 25, GlifoPreview::Salvar,
     &TDFMPreview::btSALVARClick, Qt::Key_S, Qt::ControlModifier, nullptr},
    {&TDFMPreview::btABRIR, "btABRIR", "Ler relat\xF3rio gravado", 25, GlifoPreview::Abrir,
     &TDFMPreview::btABRIRClick, Qt::Key_O, Qt::ControlModifier, nullptr},
    {&TDFMPreview::btPROCURAR, "btPROCURAR", "Procura palavra", 25, GlifoPreview::Procurar,
     &TDFMPreview::btPROCURARClick, Qt::Key_F, Qt::ControlModifier, nullptr},
    {&TDFMPreview::btPRIMEIRA, "btPRIMEIRA", "Primeira p\xE1gina", 25, GlifoPreview::Primeira,
     &TDFMPreview::btPRIMEIRAClick, Qt::Key_Home, Qt::NoModifier, nullptr},
    {&TDFMPreview::btANTERIOR, "btANTERIOR", "P\xE1gina anterior", 25, GlifoPreview::Anterior,
     &TDFMPreview::btANTERIORClick, Qt::Key_PageUp, Qt::NoModifier, nullptr},
    {&TDFMPreview::btDIRETO, "btDIRETO", "Acesso direto \xE0 P\xE1gina ", 25, GlifoPreview::Direto,
     &TDFMPreview::btDIRETOClick, Qt::Key_N, Qt::ControlModifier, nullptr},
    {&TDFMPreview::btPROXIMA, "btPROXIMA", "Pr\xF3xima p\xE1gina", 25, GlifoPreview::Proxima,
     &TDFMPreview::btPROXIMAClick, Qt::Key_PageDown, Qt::NoModifier, nullptr},
    {&TDFMPreview::btULTIMA, "btULTIMA", "\xDAltima p\xE1gina", 25, GlifoPreview::Ultima,
     &TDFMPreview::btULTIMAClick, Qt::Key_End, Qt::NoModifier, nullptr},
    {&TDFMPreview::btLARGURA, "btLARGURA", "Ajustar na Largura", 25, GlifoPreview::Largura,
     &TDFMPreview::btLARGURAClick, 0, Qt::NoModifier, nullptr},
    {&TDFMPreview::btFULL, "btFULL", "Ver p\xE1gina inteira", 25, GlifoPreview::Inteira,
     &TDFMPreview::btFULLClick, 0, Qt::NoModifier, nullptr},
    {&TDFMPreview::btAumenta, "btAumenta", "Aumenta zoom", 25, GlifoPreview::Aumenta,
     &TDFMPreview::btAumentaClick, Qt::Key_Plus, Qt::KeypadModifier, nullptr},
    {&TDFMPreview::btDiminui, "btDiminui", "Diminui zoom", 25, GlifoPreview::Diminui,
     &TDFMPreview::btDiminuiClick, Qt::Key_Minus, Qt::KeypadModifier, nullptr},
    {&TDFMPreview::btFECHAR, "btFECHAR", "Fechar", 80, GlifoPreview::Fechar,
     &TDFMPreview::btFECHARClick, Qt::Key_Escape, Qt::NoModifier, "&Fechar"},
};

// Where the drag and search state of every preview lives.
TEstadoPreview estado;

}  // namespace

// The shared drag and search state.
TEstadoPreview& EstadoPreview() { return estado; }

// Builds the controls and runs FormCreate.
TDFMPreview::TDFMPreview(TRDprint& rd, std::string pasta, QWidget* pai)
    : QDialog(pai), rd_(rd), pasta_(std::move(pasta)) {
  setObjectName(QStringLiteral("DFMPreview"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
  setFont(FonteArial8());
  CriaControles();
  FormCreate();
  // The window sees every key before the focused control (the list of matches, the edits).
  qApp->installEventFilter(this);
}

// Ends a drag still open, so that the grabbing cursor goes with the window.
TDFMPreview::~TDFMPreview() {
  if (EstadoPreview().arrastando) {
    EstadoPreview().arrastando = false;
    QApplication::restoreOverrideCursor();
  }
}

// One flat tool bar button 25 high at top 4, with its hint, glyph, text and command; no focus.
QToolButton* TDFMPreview::Botao(const TBotaoBarra& linha) {
  auto* b = new QToolButton(PanelH);
  b->setObjectName(QString::fromLatin1(linha.nome));
  b->setToolTip(platform::toQString(linha.dica));
  b->setAutoRaise(true);
  b->setFocusPolicy(Qt::NoFocus);
  b->setGeometry(0, 4, linha.largura, 25);
  b->setIconSize(QSize(16, 16));
  b->setIcon(IconePreview(linha.glifo));
  b->setFont(FonteArial8());
  if (linha.texto) {
    b->setText(QString::fromLatin1(linha.texto));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  }
  connect(b, &QToolButton::clicked, this, [this, clique = linha.clique] { (this->*clique)(); });
  return b;
}

// Runs the command of the tool bar's key, when the key is one.
void TDFMPreview::TeclaDaBarra(int tecla, Qt::KeyboardModifiers shift) {
  for (const TBotaoBarra& b : kBarra)
    if (tecla == b.tecla && (b.modificador == Qt::NoModifier || (shift & b.modificador))) {
      (this->*b.clique)();
      return;
    }
}

// One vertical bevel of the tool bar.
QFrame* TDFMPreview::Separador(const char* nome) {
  auto* s = new QFrame(PanelH);
  s->setObjectName(QString::fromLatin1(nome));
  s->setFrameStyle(QFrame::VLine | QFrame::Sunken);
  s->setGeometry(0, 4, 3, 25);
  return s;
}

// The tool bar, the scroll box with the page, the side panel, the status bar, the zoom menu and
// the find dialog.
void TDFMPreview::CriaControles() {
  PanelH = new QFrame(this);
  PanelH->setObjectName(QStringLiteral("PanelH"));
  PanelH->setFixedHeight(34);

  for (const TBotaoBarra& b : kBarra) this->*b.botao = Botao(b);
  btIMPRIMIR->setFont(FonteArial8(true));
  Separa1 = Separador("Separa1");
  Separa2 = Separador("Separa2");
  Separa3 = Separador("Separa3");
  Separa4 = Separador("Separa4");

  Scroller = new TScroller(this);
  Scroller->setObjectName(QStringLiteral("Scroller"));
  VISOR = new TVisor(Scroller->viewport(), *this);
  Scroller->DefineConteudo(VISOR);

  PainelOcorrencias = new TPainelOcorrencias(this);
  PainelOcorrencias->setFixedWidth(320);
  PainelOcorrencias->hide();
  PainelOcorrencias->aoEscolher = [this](const TOcorrencia& o) { IrParaOcorrencia(o); };

  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
  StatusBar1->setSizeGripEnabled(false);
  for (int i = 0; i < 4; ++i) {
    Paineis[i] = new QLabel(StatusBar1);
    Paineis[i]->setFixedWidth(kPaineis[i].largura);
    Paineis[i]->setAlignment(kPaineis[i].alinhamento);
    Paineis[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusBar1->addWidget(Paineis[i]);
  }

  auto* meio = new QHBoxLayout;
  meio->setContentsMargins(0, 0, 0, 0);
  meio->setSpacing(0);
  meio->addWidget(Scroller, 1);
  meio->addWidget(PainelOcorrencias);
  auto* coluna = new QVBoxLayout(this);
  coluna->setContentsMargins(0, 0, 0, 0);
  coluna->setSpacing(0);
  coluna->addWidget(PanelH);
  coluna->addLayout(meio, 1);
  coluna->addWidget(StatusBar1);

  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  GrupoZoom = new QActionGroup(this);
  GrupoZoom->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  auto item = [this](const char* texto, int valor) {
    QAction* a = PopupMenu1->addAction(platform::toQString(texto));
    a->setCheckable(true);
    a->setData(valor);
    GrupoZoom->addAction(a);
    return a;
  };
  Zoom25 = item("25%", 25);
  Zoom50 = item("50%", 50);
  Zoom75 = item("75%", 75);
  Zoom100 = item("100%", 100);
  Zoom150 = item("150%", 150);
  Zoom200 = item("200%", 200);
  PopupMenu1->addSeparator();
  ZoomPage = item("P\xE1gina Inteira", -2);
  ZoomWidth = item("Ajusta na Largura", -1);
  Zoom100->setChecked(true);
  connect(GrupoZoom, &QActionGroup::triggered, this, [this](QAction* a) { Zoom25Click(a); });
  for (QWidget* w : {VISOR, static_cast<QWidget*>(btLARGURA), static_cast<QWidget*>(btFULL),
                     static_cast<QWidget*>(btAumenta), static_cast<QWidget*>(btDiminui)}) {
    w->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(w, &QWidget::customContextMenuRequested, this,
            [this, w](const QPoint& p) { PopupMenu1->popup(w->mapToGlobal(p)); });
  }

  FindDialog1 = new TDialogoProcura(this);
  FindDialog1->OnFind = [this] { FindDialog1Find(); };
}

// The whole screen, maximised; the owner's page count; the open hand on the page; no drag.
void TDFMPreview::FormCreate() {
  if (QScreen* tela = QGuiApplication::primaryScreen()) setGeometry(tela->availableGeometry());
  setWindowState(windowState() | Qt::WindowMaximized);
  setMinimumSize(540, 240);
  QtdPaginas = rd_.TotalPaginas();
  VISOR->setCursor(CursorMao());
  EstadoPreview().pressao = QPoint();
  EstadoPreview().arrastando = false;
}

// Caption, hint, colours, setup before print and the option-driven buttons' states.
void TDFMPreview::Configura() {
  const TPreviewOptions& o = rd_.OpcoesPreview;
  setWindowTitle(platform::toQString(o.CaptionPreview));
  setToolTip(platform::toQString(o.CaptionPreview));
  DefineCores(this, CorQt(rd_.CorForm), CorQt(rd_.CorFonte));
  SetupAntes = o.MostrarSETUP;
  const std::pair<QToolButton*, TStatBut> estados[] = {
      {btIMPRIMIR, o.BotaoImprimir}, {btSETUP, o.BotaoSetup},   {btPDF, o.BotaoPDF},
      {btEMAIL, o.BotaoEMAIL},       {btSALVAR, o.BotaoGravar}, {btABRIR, o.BotaoLer},
      {btPROCURAR, o.BotaoProcurar}};
  for (const auto& [b, s] : estados) {
    b->setEnabled(s != TStatBut::Inativo);
    b->setVisible(s != TStatBut::Invisivel);
  }
}

// Lays the tool bar out from the visible buttons, shows page 1 at the component's zoom, and fills
// the printer panels.
void TDFMPreview::FormShow() {
  int x = 10;
  const bool imprimir = !btIMPRIMIR->isHidden(), setup = !btSETUP->isHidden();
  if (imprimir) {
    btIMPRIMIR->move(x, 4);
    x += 85;
  }
  if (setup) {
    btSETUP->move(x, 4);
    x += 85;
  }
  Separa1->hide();
  if (imprimir || setup) {
    Separa1->move(x, 4);
    Separa1->show();
    x += 6;
  }
  bool algum = false;
  for (QToolButton* b : {btPDF, btEMAIL, btSALVAR, btABRIR, btPROCURAR}) {
    if (b->isHidden()) continue;
    b->move(x, 4);
    x += 25;
    algum = true;
  }
  Separa2->setVisible(algum);
  if (algum) {
    Separa2->move(x + 9, 4);
    x += 21;
  }
  const std::pair<QWidget*, int> fixos[] = {{btPRIMEIRA, 0},  {btANTERIOR, 25}, {btDIRETO, 50},
                                            {btPROXIMA, 75},  {btULTIMA, 100},  {Separa3, 134},
                                            {btLARGURA, 146}, {btFULL, 171},    {btAumenta, 196},
                                            {btDiminui, 221}, {Separa4, 255},   {btFECHAR, 267}};
  for (const auto& [w, d] : fixos) w->move(x + d, 4);

  Pagina = 1;
  TamanhoFolha();
  Mostrar();
  const QColor fonte = palette().color(QPalette::WindowText);
  DefineCorTexto(btFECHAR, fonte);
  DefineCorTexto(btIMPRIMIR, fonte);
  repaint();
  AjustaZoom(rd_.OpcoesPreview.PreviewZoom);
  AtualizaImpressora();
}

// Status panels 2 and 3: the platform's current printer and the component's model.
void TDFMPreview::AtualizaImpressora() {
  auto impressora = platform::current().currentPrinter();
  Paineis[2]->setText(
      platform::toQString(" Impressora: " + (impressora ? impressora->deviceName : std::string())));
  if (const char* modelo = Modelo(rd_.Impressora).nomePreview)
    Paineis[3]->setText(platform::toQString(modelo));
}

// The window is never smaller than 540 x 240.
void TDFMPreview::FormResize() {
  if (width() < 540 || height() < 240) resize(std::max(width(), 540), std::max(height(), 240));
}

// The text of a status panel.
QString TDFMPreview::TextoPainel(int i) const { return Paineis[i]->text(); }

// The first show runs FormShow.
void TDFMPreview::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (mostrado_) return;
  mostrado_ = true;
  FormShow();
}

// Resizing runs FormResize.
void TDFMPreview::resizeEvent(QResizeEvent* e) {
  QDialog::resizeEvent(e);
  FormResize();
}

// Keys reach here from the window or unused by the focused control, after eventFilter gave them
// to FormKeyDown; the dialog's own Esc and Enter handling is left out.
void TDFMPreview::keyPressEvent(QKeyEvent* e) { e->accept(); }

// Every key pressed in this window goes to FormKeyDown first, once, and then to the control that
// has the focus (which may use it too), never further up; the list of matches does not get the
// page keys as well: moving its row would show another page.
bool TDFMPreview::eventFilter(QObject* alvo, QEvent* e) {
  if (e->type() != QEvent::KeyPress || !alvo->isWidgetType() ||
      static_cast<QWidget*>(alvo)->window() != this)
    return QDialog::eventFilter(alvo, e);
  const auto* k = static_cast<QKeyEvent*>(e);
  FormKeyDown(k->key(), k->modifiers());
  static const int kTeclasDePagina[] = {Qt::Key_Left, Qt::Key_Right,  Qt::Key_Up,
                                        Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown,
                                        Qt::Key_Home, Qt::Key_End};
  const bool dePagina = std::find(std::begin(kTeclasDePagina), std::end(kTeclasDePagina),
                                  k->key()) != std::end(kTeclasDePagina);
  const bool daLista = alvo == PainelOcorrencias->tvOcorrencias;
  if (alvo != this && !(daLista && dePagina)) alvo->event(e);
  e->accept();  // a key the control left unused would otherwise go on to its parents
  return true;
}

// The wheel over the rest of the window (the tool bar, the status bar, the grey around the page)
// is the window's too.
void TDFMPreview::wheelEvent(QWheelEvent* e) {
  if (DoMouseWheel(e->angleDelta().y()))
    e->accept();
  else
    e->ignore();
}

}  // namespace report::forms
