// The progress window: layout, animation, Cancelar and the disabling of the other windows.
#include "report/forms/RDProgresso.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

#include "platform/Platform.h"
#include "platform/qt/QtTexto.h"
#include "report/RDestado.h"
#include "report/forms/RDaparencia.h"
#include "report/forms/RDfiguras.h"

namespace report::forms {

namespace {
int quadro = 0;                           // the animation frame counter
const QRect kAreaQuadro(15, 54, 35, 34);  // where a frame is drawn
}  // namespace

// The window as designed: 280 x 97, caption "Imprimindo...", the label, the bar, Cancelar, the
// timer (off) and the three strips.
TDFMProgresso::TDFMProgresso()
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName(QStringLiteral("DFMProgresso"));
  setFixedSize(280, 97);
  setWindowTitle(QStringLiteral("Imprimindo..."));
  setFont(FonteArial8());

  NOMEREL = new QLabel(platform::toQString("Titulo do Relat\xF3rio"), this);
  NOMEREL->setObjectName(QStringLiteral("NOMEREL"));
  NOMEREL->setFont(FonteArial8());
  NOMEREL->move(17, 11);
  NOMEREL->resize(250, 14);

  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1->setGeometry(16, 28, 249, 19);
  ProgressBar1->setTextVisible(false);
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);

  sbCancelar = new QToolButton(this);
  sbCancelar->setObjectName(QStringLiteral("sbCancelar"));
  sbCancelar->setText(QStringLiteral("&Cancelar"));
  sbCancelar->setIcon(IconeCancelar());
  sbCancelar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  sbCancelar->setFont(FonteArial8());
  sbCancelar->setGeometry(107, 63, 80, 25);
  sbCancelar->setFocusPolicy(Qt::NoFocus);
  connect(sbCancelar, &QToolButton::clicked, this, [this] { sbCancelarClick(); });

  Timer1 = new QTimer(this);
  Timer1->setInterval(500);
  connect(Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

  Image1 = FaixaAnimacao(Animacao::Leitura);
  Image2 = FaixaAnimacao(Animacao::Impressao);
  Image3 = FaixaAnimacao(Animacao::Gravacao);
}

// Gives the other windows back if the operation did not.
TDFMProgresso::~TDFMProgresso() { ReabilitaJanelas(); }

// Disables every other visible window, sets colours, texts and the bar, and shows the window
// (without a modal loop; in front of and above every other window of the program).
void TDFMProgresso::Mostra(const TConfigProgresso& config) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w == this || !w->isVisible() || !w->isEnabled()) continue;
    if (w->windowType() == Qt::Popup || w->windowType() == Qt::ToolTip) continue;
    w->setEnabled(false);
    desabilitadas_.emplace_back(w);
  }
  DefineCores(this, CorQt(config.cor), CorQt(config.corFonte));
  NOMEREL->setText(platform::toQString(config.rotulo));
  if (!config.caption.empty()) setWindowTitle(platform::toQString(config.caption));
  // A range of 0..0 would make the bar busy; zero steps show an empty bar.
  ProgressBar1->setRange(0, std::max(config.maximo, 1));
  ProgressBar1->setValue(0);
  passos_ = 0;
  // Setting the bar asks the style and the locale what it would show: thousands of steps a second
  // go to the bar only when it moves by a pixel.
  passosPorPixel_ = std::max(1, ProgressBar1->maximum() / std::max(1, ProgressBar1->width()));
  if (QScreen* tela = QGuiApplication::primaryScreen())
    move(tela->geometry().center() - rect().center());
  setWindowModality(Qt::ApplicationModal);
  show();
}

// One step of the bar, shown when it moves the bar by a pixel.
void TDFMProgresso::Passo() {
  if (passos_ < ProgressBar1->maximum()) ++passos_;
  if (passos_ - ProgressBar1->value() >= passosPorPixel_ || passos_ == ProgressBar1->maximum())
    ProgressBar1->setValue(passos_);
}

// Repaints the window now (which draws the next animation frame), at most every 40 ms: a long
// operation asks after every entry, far more often than a screen can show.
void TDFMProgresso::Repinta() {
  if (ultimaPintura_.isValid() && ultimaPintura_.elapsed() < 40) return;
  ultimaPintura_.start();
  repaint();
}

// Re-enables the windows Mostra disabled and closes.
void TDFMProgresso::Fecha() {
  ReabilitaJanelas();
  fechando_ = true;
  close();
}

// Exactly the windows Mostra disabled, those that still exist.
void TDFMProgresso::ReabilitaJanelas() {
  for (const QPointer<QWidget>& w : desabilitadas_)
    if (w) w->setEnabled(true);
  desabilitadas_.clear();
}

// Starts the animation from its first frame.
void TDFMProgresso::FormShow() {
  quadro = 0;
  Timer1->start();
}

// Stops the animation.
void TDFMProgresso::FormClose() { Timer1->stop(); }

// Two frames a second.
void TDFMProgresso::Timer1Timer() { repaint(kAreaQuadro); }

// Asks for confirmation; Yes raises the cancel request.
void TDFMProgresso::sbCancelarClick() {
  int r = platform::current().messageBox("Deseja realmente Cancelar ?", "Confirma\xE7\xE3o",
                                         platform::mb::YESNO | platform::mb::ICONQUESTION);
  if (r == platform::mb::IDYES) EstadoRelatorio().cancelamento = true;
}

// The next frame of the strip that the caption names, its fuchsia turned into the window colour.
void TDFMProgresso::desenha(QPainter& p) {
  if (++quadro > 5) quadro = 0;
  const QString caption = windowTitle();
  const QImage* faixa = nullptr;
  if (caption == QLatin1String("Gravando..."))
    faixa = &Image3;
  else if (caption == QLatin1String("Lendo..."))
    faixa = &Image1;
  else if (caption == QLatin1String("Imprimindo..."))
    faixa = &Image2;
  if (!faixa) return;
  QImage bitmap = faixa->copy(35 * quadro, 0, 35, 34).convertToFormat(QImage::Format_RGB32);
  const QRgb fundo = palette().color(QPalette::Window).rgb();
  for (int y = 0; y < bitmap.height(); ++y) {
    auto* linha = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
    for (int x = 0; x < bitmap.width(); ++x)
      if (linha[x] == kFundoFigura) linha[x] = fundo;
  }
  p.drawImage(kAreaQuadro.topLeft(), bitmap);
}

// The counter shared by every progress window.
int TDFMProgresso::QuadroAtual() { return quadro; }

// Esc and the window manager's close do not end the operation's window; only Fecha does.
void TDFMProgresso::reject() {
  if (fechando_) QDialog::reject();
}

// Closing is refused until the operation closes the window.
void TDFMProgresso::closeEvent(QCloseEvent* e) {
  if (fechando_)
    QDialog::closeEvent(e);
  else
    e->ignore();
}

// Showing runs FormShow.
void TDFMProgresso::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  FormShow();
}

// Hiding (closing) runs FormClose.
void TDFMProgresso::hideEvent(QHideEvent* e) {
  FormClose();
  QDialog::hideEvent(e);
}

// Paints the window; a paint that covers the animation's place draws the next frame.
void TDFMProgresso::paintEvent(QPaintEvent* e) {
  QDialog::paintEvent(e);
  if (!e->region().intersects(kAreaQuadro)) return;
  QPainter p(this);
  desenha(p);
}

}  // namespace report::forms
