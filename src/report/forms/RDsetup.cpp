#include "report/forms/RDsetup.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFrame>
#include <QKeyEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QStyledItemDelegate>
#include <functional>
#include <map>

#include "base/Texto.h"
#include "platform/Platform.h"
#include "platform/qt/QtTexto.h"
#include "report/RDestado.h"
#include "report/RDmodelos.h"
#include "report/forms/RDaparencia.h"
#include "report/forms/RDpintura.h"
#include "report/forms/RDsetupFiguras.h"

namespace report {

namespace {

using platform::fromQString;
using platform::toQString;

// A colour of the component (red in the low byte); a system colour is the palette's `sistema`.
QColor CorQt(TColor c, const QColor& sistema) { return c < 0 ? sistema : forms::CorQt(c); }

// A widget whose painting is a handler (the form's paint box).
class TPaintBox : public QWidget {
 public:
  using QWidget::QWidget;
  std::function<void(QPainter&)> OnPaint;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    if (OnPaint) OnPaint(p);
  }
};

// An owner-drawn list item: the handler draws it; items are `altura` pixels high.
using DesenhaItem = std::function<void(QPainter&, int, const QRect&, bool)>;

// The delegate of such a list: paints through the handler, at the fixed height.
class TDelegadoDesenhado : public QStyledItemDelegate {
 public:
  TDelegadoDesenhado(DesenhaItem desenha, int altura, QObject* pai)
      : QStyledItemDelegate(pai), desenha_(std::move(desenha)), altura_(altura) {}
  void paint(QPainter* p, const QStyleOptionViewItem& o, const QModelIndex& i) const override {
    p->save();
    desenha_(*p, i.row(), o.rect, (o.state & QStyle::State_Selected) != 0);
    p->restore();
  }
  QSize sizeHint(const QStyleOptionViewItem& o, const QModelIndex& i) const override {
    return QSize(QStyledItemDelegate::sizeHint(o, i).width(), altura_);
  }

 private:
  DesenhaItem desenha_;
  int altura_;
};

// A drop-down list whose items, in the list and in the closed box, are drawn by a handler.
class TComboDesenhado : public QComboBox {
 public:
  TComboDesenhado(DesenhaItem desenha, QWidget* pai) : QComboBox(pai), desenha_(desenha) {
    setItemDelegate(new TDelegadoDesenhado(std::move(desenha), 16, this));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter p(this);
    QStyleOptionComboBox o;
    initStyleOption(&o);
    o.currentText.clear();
    o.currentIcon = QIcon();
    p.drawComplexControl(QStyle::CC_ComboBox, o);
    const QRect campo =
        style()->subControlRect(QStyle::CC_ComboBox, &o, QStyle::SC_ComboBoxEditField, this);
    if (currentIndex() >= 0) desenha_(p, currentIndex(), campo, hasFocus());
  }

 private:
  DesenhaItem desenha_;
};

// A label at (x, y) sized to its text.
QLabel* Rotulo(const char* texto, QWidget* pai, int x, int y) {
  auto* l = new QLabel(toQString(texto), pai);
  l->move(x, y);
  l->adjustSize();
  return l;
}

// A check box or radio button at (x, y) sized to its text.
template <typename T>
T* Caixa(const char* texto, QWidget* pai, int x, int y) {
  auto* c = new T(toQString(texto), pai);
  c->adjustSize();
  c->setGeometry(x, y, c->width(), 17);
  return c;
}

// The key that carries a character, as the edit's key filter sees it; 0 for keys that carry none
// (arrows, Delete, Enter, Tab and Esc are not filtered).
QChar CaractereDaTecla(const QKeyEvent* k) {
  switch (k->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Escape:
    case Qt::Key_Delete:
      return QChar();
    default:
      break;
  }
  // Shortcuts (Ctrl+A, Ctrl+C, Ctrl+Z...) are the edit's own editing keys, not characters.
  if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return QChar();
  const QString t = k->text();
  return t.isEmpty() || !t.at(0).isPrint() ? QChar() : t.at(0);
}

// The settings taken from each printer's own properties dialog, by printer name, for the run.
std::map<std::string, TPropriedadesImpressora>& PropriedadesGuardadas() {
  static std::map<std::string, TPropriedadesImpressora> guardadas;
  return guardadas;
}

}  // namespace

// FormCreate: the controls where the form has them, the printer list from the platform with the
// current printer selected, the can-close flag cleared.
TDFMsetup::TDFMsetup(TRDprint& owner, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), rd_(owner) {
  setFixedSize(522, 282);
  setAutoFillBackground(true);
  // The positions are those of an 11-pixel sans-serif font (Arial, or its metric twin).
  QFont fonte(QStringLiteral("Arial"));
  fonte.setPixelSize(11);
  setFont(fonte);

  Cabecalho = new QWidget(this);
  Cabecalho->setGeometry(0, 0, 522, 45);
  Cabecalho->setAutoFillBackground(true);
  QPalette branco = Cabecalho->palette();
  branco.setColor(QPalette::Window, Qt::white);
  Cabecalho->setPalette(branco);
  Image1 = new QLabel(Cabecalho);
  Image1->setGeometry(8, 8, 32, 32);
  Image1->setPixmap(IconeCabecalho());
  Image1->setToolTip(QStringLiteral("RDprint"));
  Label1 = Rotulo("Configura\xE7\xE3o da Impress\xE3o", Cabecalho, 152, 10);
  QFont arial(QStringLiteral("Arial"));
  arial.setPointSize(14);
  Label1->setFont(arial);
  Label1->adjustSize();
  auto* linha = new QFrame(this);
  linha->setFrameShape(QFrame::HLine);
  linha->setFrameShadow(QFrame::Sunken);
  linha->setGeometry(0, 45, 522, 2);

  Label2 = Rotulo("&Impressora:", this, 10, 61);
  IMPRESSORAS = new TComboDesenhado(
      [this](QPainter& p, int i, const QRect& r, bool s) { IMPRESSORASDrawItem(p, i, r, s); },
      this);
  IMPRESSORAS->setGeometry(70, 57, 331, 22);
  Label2->setBuddy(IMPRESSORAS);
  BitBtn1 = new QPushButton(toQString("&Propriedades..."), this);
  BitBtn1->setGeometry(420, 56, 90, 25);

  Label3 = Rotulo("&Modelo: ", this, 10, 95);
  MODELOS = new QComboBox(this);
  MODELOS->setGeometry(70, 92, 217, 21);
  Label3->setBuddy(MODELOS);
  chkPreview = Caixa<QCheckBox>("&Visualizar", this, 420, 94);

  GroupBox1 = new QGroupBox(toQString("Intervalo de P\xE1ginas:"), this);
  GroupBox1->setGeometry(10, 124, 276, 113);
  chkTodas = Caixa<QRadioButton>("&Todas", GroupBox1, 8, 17);
  chkAtual = Caixa<QRadioButton>("P\xE1gina &Atual", GroupBox1, 8, 36);
  chkSelecao = Caixa<QRadioButton>("P\xE1&ginas:", GroupBox1, 8, 56);
  EdPaginas = new QLineEdit(GroupBox1);
  EdPaginas->setGeometry(90, 53, 175, 21);
  Label4 = Rotulo("Imprimir:", GroupBox1, 28, 84);
  EdParImpar = new QComboBox(GroupBox1);
  EdParImpar->setGeometry(90, 81, 175, 21);
  EdParImpar->addItems({toQString("Todas as p\xE1ginas do intervalo"),
                        toQString("P\xE1ginas \xEDmpares"), toQString("P\xE1ginas pares")});
  EdParImpar->setCurrentIndex(0);

  GroupBox2 = new QGroupBox(toQString("C\xF3pias:"), this);
  GroupBox2->setGeometry(294, 124, 218, 113);
  Label5 = Rotulo("&N\xFAmero de C\xF3pias", GroupBox2, 9, 27);
  edCOPIAS = new QLineEdit(QStringLiteral("1"), GroupBox2);
  edCOPIAS->setGeometry(116, 23, 35, 21);
  edCOPIAS->setMaxLength(4);
  Label5->setBuddy(edCOPIAS);
  UpDown1 = new TUpDown(GroupBox2);
  UpDown1->Associa(edCOPIAS);
  UpDown1->DefineFaixa(1, 50);
  UpDown1->DefinePosicao(1);
  auto* imagem = new TPaintBox(GroupBox2);
  imagem->setGeometry(9, 58, 93, 38);
  imagem->OnPaint = [this](QPainter& p) { Imagem3Paint(p); };
  Imagem3 = imagem;
  chkAgrupar = Caixa<QCheckBox>("Agrupar", GroupBox2, 116, 57);
  chkAgrupar->setChecked(true);
  chkInverter = Caixa<QCheckBox>("Ordem inversa", GroupBox2, 116, 78);

  Label6 =
      Rotulo("Digite as p\xE1ginas e/ou intervalos separados \npor virgula.  Por exemplo: 1,3,5-12",
             this, 11, 247);
  OK = new QPushButton(toQString("&Ok"), this);
  OK->setGeometry(339, 249, 80, 25);
  OK->setDefault(true);
  CANCELAR = new QPushButton(toQString("&Cancelar"), this);
  CANCELAR->setGeometry(429, 249, 80, 25);

  // Tab order.
  QWidget* ordem[] = {IMPRESSORAS, BitBtn1,    MODELOS,     chkPreview, chkTodas,
                      chkAtual,    chkSelecao, EdPaginas,   EdParImpar, edCOPIAS,
                      UpDown1,     chkAgrupar, chkInverter, OK,         CANCELAR};
  for (size_t i = 0; i + 1 < std::size(ordem); ++i) setTabOrder(ordem[i], ordem[i + 1]);
  for (QWidget* w : {static_cast<QWidget*>(Cabecalho), static_cast<QWidget*>(Image1),
                     static_cast<QWidget*>(Imagem3)})
    w->setFocusPolicy(Qt::NoFocus);

  // Handlers.
  connect(IMPRESSORAS, qOverload<int>(&QComboBox::activated), this, [this] { IMPRESSORASExit(); });
  IMPRESSORAS->installEventFilter(this);
  EdPaginas->installEventFilter(this);
  edCOPIAS->installEventFilter(this);
  // BitBtn1 carries the Ok result: the dialog tries to close, and the can-close flag refuses.
  connect(BitBtn1, &QPushButton::clicked, this, [this] {
    BitBtn1Click();
    done(QDialog::Accepted);
  });
  connect(OK, &QPushButton::clicked, this, [this] {
    OKClick();
    done(QDialog::Accepted);
  });
  connect(CANCELAR, &QPushButton::clicked, this, [this] {
    CANCELARClick();
    done(QDialog::Rejected);
  });
  connect(chkTodas, &QRadioButton::clicked, this, [this] { chkTodasClick(); });
  connect(chkAtual, &QRadioButton::clicked, this, [this] { chkTodasClick(); });
  connect(chkSelecao, &QRadioButton::clicked, this, [this] { chkSelecaoClick(); });
  connect(chkAgrupar, &QCheckBox::toggled, this, [this] { chkAgruparClick(); });
  connect(chkInverter, &QCheckBox::toggled, this, [this] { chkAgruparClick(); });

  for (const platform::PrinterInfo& p : platform::current().printers())
    IMPRESSORAS->addItem(toQString(p.deviceName));
  SelecionaImpressoraAtual();
  podeFechar_ = false;

  if (const QScreen* tela = QGuiApplication::primaryScreen())
    move(tela->availableGeometry().center() - rect().center());
}

// Selects the platform's current printer in the list.
void TDFMsetup::SelecionaImpressoraAtual() {
  if (auto atual = platform::current().currentPrinter()) {
    const int i = IMPRESSORAS->findText(toQString(atual->deviceName), Qt::MatchExactly);
    if (i >= 0) IMPRESSORAS->setCurrentIndex(i);
  }
}

// The dialog's font colour on its labels and boxes, then the model of the selected printer.
void TDFMsetup::FormShow() {
  for (QWidget* w :
       std::initializer_list<QWidget*>{Label5, Label2, Label3, Label1, Label6, chkTodas, chkAtual,
                                       chkSelecao, chkPreview, chkAgrupar, chkInverter})
    forms::DefineCorTexto(w, CorFonte);
  IMPRESSORASExit();
}

// The model the printer's name maps to, selected in the model list; a printer that maps to
// Daruma leaves the list as it is (the mapping selects the models up to the receipt printer).
void TDFMsetup::IMPRESSORASExit() {
  rd_.MapeiaImpressora(base::UpperCase(fromQString(IMPRESSORAS->currentText())));
  if (rd_.Impressora != TModelo::Daruma) MODELOS->setCurrentIndex(static_cast<int>(rd_.Impressora));
}

// The item's background, the printer icon, the printer name.
void TDFMsetup::IMPRESSORASDrawItem(QPainter& canvas, int index, const QRect& rect,
                                    bool selecionado) {
  const QPalette& p = IMPRESSORAS->palette();
  canvas.fillRect(rect, selecionado ? p.color(QPalette::Highlight) : p.color(QPalette::Base));
  DesenhaTransparente(canvas, rect.left() + 2, rect.top(), IconeImpressora());
  canvas.setPen(selecionado ? p.color(QPalette::HighlightedText) : p.color(QPalette::Text));
  canvas.drawText(QRect(rect.left() + 24, rect.top() + 1, rect.width() - 24, rect.height() - 1),
                  Qt::AlignLeft | Qt::AlignTop, IMPRESSORAS->itemText(index));
}

// The printer's own setup (printer and properties); the printer confirmed there becomes current.
void TDFMsetup::BitBtn1Click() {
  QPrinter impressora;
  const QString nome = IMPRESSORAS->currentText();
  if (!nome.isEmpty()) impressora.setPrinterName(nome);
  QPrintDialog dialogo(&impressora, this);
  dialogo.setWindowTitle(toQString("Configurar Impressora"));
  dialogo.setOptions(QAbstractPrintDialog::PrintShowPageSize);
  if (auto* botoes = dialogo.findChild<QDialogButtonBox*>())
    if (QPushButton* ok = botoes->button(QDialogButtonBox::Ok)) ok->setText(toQString("&Ok"));
  if (dialogo.exec() == QDialog::Accepted) {
    // What was set there is kept for that printer's graphic jobs.
    const QString escolhida = impressora.printerName().isEmpty() ? nome : impressora.printerName();
    if (!escolhida.isEmpty()) GuardaPropriedadesImpressora(fromQString(escolhida), impressora);
    if (!impressora.printerName().isEmpty())
      platform::current().setCurrentPrinter(fromQString(impressora.printerName()));
  }
  SelecionaImpressoraAtual();
  IMPRESSORASExit();
}

// Refuses a copy count that is not a number of at least 1; otherwise empties the page box for
// "Todas", makes the chosen printer current and lets the dialog close.
void TDFMsetup::OKClick() {
  const QString copias = edCOPIAS->text().trimmed();
  bool numero = !copias.isEmpty();
  for (QChar c : copias) numero = numero && c >= QChar('0') && c <= QChar('9');
  if (!numero || copias.toInt() < 1) {
    CaixaAviso("N\xFAmero de C\xF3pias inv\xE1lido: \"" + fromQString(edCOPIAS->text()) +
               "\". Digite um n\xFAmero de 1 a 9999.");
    edCOPIAS->setFocus();
    edCOPIAS->selectAll();
    return;
  }
  if (chkTodas->isChecked()) EdPaginas->clear();
  if (IMPRESSORAS->currentIndex() >= 0)
    platform::current().setCurrentPrinter(fromQString(IMPRESSORAS->currentText()));
  podeFechar_ = true;
}

// Lets the dialog close.
void TDFMsetup::CANCELARClick() { podeFechar_ = true; }

// "Todas" or "Página Atual": no page box.
void TDFMsetup::chkTodasClick() { EdPaginas->setEnabled(false); }

// "Páginas:" (or a click in the page box): the page box, with the focus.
void TDFMsetup::chkSelecaoClick() {
  EdPaginas->setEnabled(true);
  EdPaginas->setFocus();
}

// The collation picture follows the two check boxes.
void TDFMsetup::chkAgruparClick() { Imagem3->update(); }

// The dialog's colour, then the collation picture.
void TDFMsetup::Imagem3Paint(QPainter& canvas) {
  canvas.fillRect(Imagem3->rect(), palette().color(QPalette::Window));
  DesenhaTransparente(canvas, 0, 0, FiguraAgrupamento());
}

// Agrupar and Ordem inversa choose among the four pictures.
const TImagemRGB& TDFMsetup::FiguraAgrupamento() const {
  if (chkAgrupar->isChecked()) return chkInverter->isChecked() ? Img321321() : Img123123();
  return chkInverter->isChecked() ? Img332211() : Img112233();
}

// Backspace and paste pass; "." and ";" become ","; ",", "-" and the digits pass; every other
// character is discarded. True when the key was handled here.
bool TDFMsetup::EdPaginasKeyPress(QKeyEvent* tecla) {
  if (tecla->matches(QKeySequence::Paste) || tecla->key() == Qt::Key_Backspace) return false;
  const QChar c = CaractereDaTecla(tecla);
  if (c.isNull()) return false;
  if (c == QChar('.') || c == QChar(';')) {
    EdPaginas->insert(QStringLiteral(","));
    return true;
  }
  return !(c == QChar(',') || c == QChar('-') || (c >= QChar('0') && c <= QChar('9')));
}

// Backspace, paste and the digits pass; every other character is discarded.
bool TDFMsetup::edCOPIASKeyPress(QKeyEvent* tecla) {
  if (tecla->matches(QKeySequence::Paste) || tecla->key() == Qt::Key_Backspace) return false;
  const QChar c = CaractereDaTecla(tecla);
  if (c.isNull()) return false;
  return !(c >= QChar('0') && c <= QChar('9'));
}

// The key filters, the page box's click and the printer list losing the focus.
bool TDFMsetup::eventFilter(QObject* alvo, QEvent* evento) {
  if (evento->type() == QEvent::KeyPress) {
    auto* tecla = static_cast<QKeyEvent*>(evento);
    if (alvo == EdPaginas) return EdPaginasKeyPress(tecla);
    if (alvo == edCOPIAS) return edCOPIASKeyPress(tecla);
  } else if (evento->type() == QEvent::MouseButtonPress && alvo == EdPaginas) {
    chkSelecaoClick();
  } else if (evento->type() == QEvent::FocusOut && alvo == IMPRESSORAS) {
    IMPRESSORASExit();
  }
  return QDialog::eventFilter(alvo, evento);
}

// FormShow on the first showing.
void TDFMsetup::showEvent(QShowEvent* evento) {
  QDialog::showEvent(evento);
  if (!mostrado_) {
    mostrado_ = true;
    FormShow();
  }
}

// FormCloseQuery: only Ok and Cancelar let the dialog close.
void TDFMsetup::closeEvent(QCloseEvent* evento) {
  if (!podeFechar_) {
    evento->ignore();
    return;
  }
  QDialog::closeEvent(evento);
}

// Closes only when the can-close flag is set.
void TDFMsetup::done(int resultado) {
  if (!podeFechar_) return;
  QDialog::done(resultado);
}

// Esc presses Cancelar.
void TDFMsetup::reject() { CANCELAR->click(); }

// Setup's steps from creating the dialog to taking the confirmed values back.
bool MostraSetupQt(TRDprint& rd) {
  TEstadoRelatorio& e = EstadoRelatorio();
  QWidget* pai = QApplication::activeModalWidget();
  if (!pai) pai = QApplication::activeWindow();
  TDFMsetup d(rd, pai);
  for (int m = 0; m <= static_cast<int>(TModelo::Daruma); ++m)
    d.MODELOS->addItem(toQString(NomeModelo(rd, static_cast<TModelo>(m))));
  d.MODELOS->setCurrentIndex(static_cast<int>(rd.Impressora));
  d.chkPreview->setChecked(rd.OpcoesPreview.Preview);
  d.chkPreview->setEnabled(!e.previewAberto);
  d.setWindowTitle(toQString(rd.CaptionSetup));
  QPalette cor = d.palette();
  cor.setColor(QPalette::Window, CorQt(rd.CorForm, cor.color(QPalette::Window)));
  d.setPalette(cor);
  d.CorFonte = CorQt(rd.CorFonte, cor.color(QPalette::WindowText));
  d.MODELOS->setCurrentIndex(static_cast<int>(rd.Impressora));
  d.UpDown1->DefinePosicao(e.Copias);
  // Copies typed beyond the arrows' range earlier are shown as they are, not cut to 50.
  if (e.Copias > 50 && e.Copias <= 9999) d.edCOPIAS->setText(QString::number(e.Copias));
  d.EdPaginas->setText(toQString(e.IntervaloPaginas));
  // A stored selection shows as "Páginas:" with its box, so Ok keeps it.
  if (e.IntervaloPaginas.empty()) {
    d.chkTodas->setChecked(true);
    d.chkTodasClick();
  } else {
    d.chkSelecao->setChecked(true);
  }
  d.chkAgrupar->setChecked(e.Agrupar);
  d.chkInverter->setChecked(e.OrdemInversa);
  d.EdParImpar->setCurrentIndex(e.ParImpar);

  if (d.exec() != QDialog::Accepted) return false;

  platform::current().processMessages();
  std::string nome;
  ImpressoraAtual(nome, rd.PortaComunicacao);
  rd.Impressora = static_cast<TModelo>(d.MODELOS->currentIndex());
  if (d.chkTodas->isChecked())
    e.IntervaloPaginas.clear();
  else if (d.chkAtual->isChecked())
    e.IntervaloPaginas = std::to_string(e.PaginaAtual);
  else
    e.IntervaloPaginas = fromQString(d.EdPaginas->text());
  e.ParImpar = d.EdParImpar->currentIndex();
  e.Agrupar = d.chkAgrupar->isChecked();
  e.OrdemInversa = d.chkInverter->isChecked();
  rd.OpcoesPreview.Preview = d.chkPreview->isChecked();
  e.Copias = d.edCOPIAS->text().trimmed().toInt();
  return true;
}

void GuardaPropriedadesImpressora(const std::string& nome, const QPrinter& printer) {
  PropriedadesGuardadas()[nome] =
      TPropriedadesImpressora{printer.pageLayout().pageSize(), printer.pageLayout().orientation(),
                              printer.resolution(), printer.duplex(), printer.colorMode()};
}

bool AplicaPropriedadesImpressora(const std::string& nome, QPrinter& printer) {
  auto i = PropriedadesGuardadas().find(nome);
  if (i == PropriedadesGuardadas().end()) return false;
  const TPropriedadesImpressora& p = i->second;
  printer.setPageSize(p.papel);
  printer.setPageOrientation(p.orientacao);
  printer.setResolution(p.resolucao);
  printer.setDuplex(p.duplex);
  printer.setColorMode(p.cor);
  return true;
}

void EsquecePropriedadesImpressoras() { PropriedadesGuardadas().clear(); }

}  // namespace report
