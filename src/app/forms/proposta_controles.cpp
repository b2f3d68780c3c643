// Building the main window's controls: positions, sizes, captions, fonts, colours, tab order.
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

#include "app/forms/Aparencia.h"
#include "app/forms/Figuras.h"
#include "app/forms/MenuFerramentas.h"
#include "app/forms/ModeloGrade.h"
#include "app/forms/TDBEdit.h"
#include "app/forms/TDBGrid.h"
#include "app/forms/TDBNavigator.h"
#include "app/forms/TEdit.h"
#include "app/forms/proposta.h"
#include "platform/qt/QtTexto.h"

namespace app::forms {

namespace {

// The control's class name on the window it was drawn for (focus marking goes by it).
void Classe(QWidget* w, const char* classe, const char* nome) {
  w->setProperty("nomeClasse", QByteArray(classe));
  w->setObjectName(QString::fromLatin1(nome));
}

// A raised panel at a position of its parent.
QFrame* Painel(QWidget* pai, const char* nome, int x, int y, int w, int h) {
  auto* p = new QFrame(pai);
  Classe(p, "TPanel", nome);
  p->setFrameStyle(QFrame::Panel | QFrame::Raised);
  p->setLineWidth(1);
  p->setGeometry(x, y, w, h);
  return p;
}

// A label that shows its text as it is: a text read from a file that looks like markup ("<b>",
// "&amp;") is not rendered.
QLabel* RotuloSimples(QWidget* pai) {
  auto* l = new QLabel(pai);
  l->setTextFormat(Qt::PlainText);
  return l;
}

// An auto-sized label at a position of its parent.
QLabel* Rotulo(QWidget* pai, const char* nome, int x, int y, const char* texto, bool negrito) {
  auto* l = RotuloSimples(pai);
  l->setText(platform::toQString(texto));
  Classe(l, "TLabel", nome);
  l->setFont(FonteJanela(kPixels8pt, negrito));
  l->move(x, y);
  l->adjustSize();
  return l;
}

// A one-line edit with bold blue text.
void EstiloEdit(QLineEdit* e, int x, int y, int w, int h) {
  e->setFont(FonteJanela(kPixels8pt, true));
  DefineCorTexto(e, CorAzul());
  DefineCorFundo(e, CorJanela());
  e->setTextMargins(0, 0, 0, 0);
  e->setGeometry(x, y, w, h);
}

// A button with its glyph.
QPushButton* Botao(QWidget* pai, const char* nome, int x, int y, int w, int h, const char* texto,
                   Glifo g) {
  auto* b = new QPushButton(platform::toQString(texto), pai);
  Classe(b, "TBitBtn", nome);
  b->setIcon(IconeGlifo(g));
  b->setGeometry(x, y, w, h);
  return b;
}

// A memo that only shows text: read-only, borderless, blue on the button face.
QPlainTextEdit* MemoExibicao(QWidget* pai, const char* classe, const char* nome, int x, int y,
                             int w, int h, int pixels) {
  auto* m = new QPlainTextEdit(pai);
  Classe(m, classe, nome);
  m->setReadOnly(true);
  m->setFrameStyle(QFrame::NoFrame);
  m->setFont(FonteJanela(pixels));
  m->setGeometry(x, y, w, h);
  m->document()->setDocumentMargin(1);
  m->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  m->setContextMenuPolicy(Qt::NoContextMenu);
  m->setTabChangesFocus(true);
  QPalette p = m->palette();
  for (auto g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    p.setColor(g, QPalette::Base, CorFaceBotao());
    p.setColor(g, QPalette::Text, CorAzul());
  }
  m->setPalette(p);
  return m;
}

// A status bar panel: sunken, or raised and centred for the last one.
QLabel* PainelStatus(QStatusBar* barra, const char* texto, int largura, bool ultimo) {
  auto* l = RotuloSimples(barra);
  l->setText(platform::toQString(texto));
  l->setFrameStyle(QFrame::Panel | (ultimo ? QFrame::Raised : QFrame::Sunken));
  l->setIndent(2);
  l->setFont(FonteJanela());
  l->setContentsMargins(0, 0, 0, 0);
  l->setFixedHeight(16);
  if (ultimo) {
    l->setAlignment(Qt::AlignCenter);
    barra->addWidget(l, 1);
  } else {
    l->setFixedWidth(largura);
    barra->addWidget(l);
  }
  return l;
}

}  // namespace

// Creates every control at its place, top to bottom, then the tab order.
void TForm1::CriaControles() {
  Classe(this, "TForm1", "Form1");
  setFont(FonteJanela());
  QPalette paleta = palette();
  paleta.setColor(QPalette::Window, CorFaceBotao());
  paleta.setColor(QPalette::Button, CorFaceBotao());
  setPalette(paleta);
  setWindowTitle(platform::toQString(proposta_.titulo));
  setWindowIcon(QIcon(DesenhaLogo()));

  auto* cliente = new QWidget(this);
  cliente->setObjectName(QStringLiteral("cliente"));
  setCentralWidget(cliente);

  // The file row.
  Panel5 = Painel(cliente, "Panel5", 5, 2, 866, 31);
  Label7 = Rotulo(Panel5, "Label7", 8, 8, "Localizar Arquivo:", true);
  Edit1 = new QLineEdit(Panel5);
  Classe(Edit1, "TEdit", "Edit1");
  EstiloEdit(Edit1, 116, 5, 578, 19);
  Edit1->setEnabled(false);
  BitBtn1 = Botao(Panel5, "BitBtn1", 707, 3, 153, 25, "&Abrir Processo", Glifo::Abrir);

  // The bidder row.
  Panel7 = Painel(cliente, "Panel7", 6, 33, 698, 31);
  Label8 = Rotulo(Panel7, "Label8", 8, 8, "Licitante:", true);
  edtlicitante = new TEdit(Panel7);
  Classe(edtlicitante, "TEdit", "edtlicitante");
  EstiloEdit(edtlicitante, 116, 6, 366, 19);
  edtlicitante->setMaxLength(40);
  Label9 = Rotulo(Panel7, "Label9", 505, 11, "CNPJ:", true);
  MeditCNPJ = new TEdit(Panel7);
  Classe(MeditCNPJ, "TMaskEdit", "MeditCNPJ");
  EstiloEdit(MeditCNPJ, 543, 5, 150, 19);
  MeditCNPJ->setInputMask(QStringLiteral(">nn.nnn.nnn/nnnn-00;_"));  // 0-9 A-Z, check digits

  // The logo.
  Panel2 = Painel(cliente, "Panel2", 4, 64, 129, 107);
  Panel2->setAutoFillBackground(true);
  QPalette branco = Panel2->palette();
  branco.setColor(QPalette::Window, Qt::white);
  Panel2->setPalette(branco);
  Image1 = new QLabel(Panel2);
  Classe(Image1, "TImage", "Image1");
  Image1->setGeometry(8, 2, 109, 103);
  Image1->setAlignment(Qt::AlignCenter);
  Image1->setPixmap(DesenhaLogo());

  // The process header.
  Panel3 = Painel(cliente, "Panel3", 137, 64, 567, 105);
  Label2 = Rotulo(Panel3, "Label2", 8, 8, proposta_.label2.c_str(), true);
  Label5 = Rotulo(Panel3, "Label5", 72, 8, "", true);
  Memo2 = MemoExibicao(Panel3, "TMemo", "Memo2", 9, 24, 467, 73, kPixels8pt);

  // The command column.
  Panel4 = Painel(cliente, "Panel4", 707, 33, 164, 114);
  BitBtn3 = Botao(Panel4, "BitBtn3", 5, 5, 153, 25, "&Gerar Arquivo", Glifo::Gerar);
  BitBtn4 = Botao(Panel4, "BitBtn4", 5, 31, 153, 25, "Ajuda", Glifo::Ajuda);
  BitBtn2 = Botao(Panel4, "BitBtn2", 5, 57, 153, 25, "Relat\xF3rio", Glifo::Relatorio);
  BitBtn5 = Botao(Panel4, "BitBtn5", 5, 83, 153, 25, "&Assinar Docum. Dig.", Glifo::Assinar);

  Panel6 = RotuloSimples(cliente);
  Panel6->setText(QString::fromLatin1(kEnderecoFabricante));
  Classe(Panel6, "TPanel", "Panel6");
  Panel6->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel6->setAlignment(Qt::AlignCenter);
  Panel6->setAutoFillBackground(true);
  QPalette realce = Panel6->palette();
  realce.setColor(QPalette::Window, CorRealce());
  Panel6->setPalette(realce);
  Panel6->setGeometry(707, 149, 164, 19);

  // The current item.
  Panel1 = Painel(cliente, "Panel1", 3, 173, 868, 134);
  Label1 = Rotulo(Panel1, "Label1", 8, 10, "Produto:", true);
  TTabelaItens& tabela = proposta_.ClientDataSet1;
  DBText1 = RotuloSimples(Panel1);
  Classe(DBText1, "TDBText", "DBText1");
  DBText1->setFont(FonteJanela(kPixels10pt));
  DBText1->setGeometry(64, 8, 697, 17);
  DBMemo1 = MemoExibicao(Panel1, "TDBMemo", "DBMemo1", 8, 32, 753, 71, kPixels10pt);
  Label6 = Rotulo(Panel1, "Label6", 8, 116, proposta_.label6.c_str(), true);
  DBText2 = RotuloSimples(Panel1);
  Classe(DBText2, "TDBText", "DBText2");
  DBText2->setGeometry(166, 114, 49, 17);
  DBText2->hide();
  Label3 = Rotulo(Panel1, "Label3", 482, 116, "Marca:", true);
  DBEdit1 = new TDBEdit(Panel1, tabela, Campo::marca);
  Classe(DBEdit1, "TDBEdit", "DBEdit1");
  EstiloEdit(DBEdit1, 525, 111, 140, 19);
  Label3->setBuddy(DBEdit1);
  Label4 = Rotulo(Panel1, "Label4", 688, 115, "Valor:", true);
  DBEdit2 = new TDBEdit(Panel1, tabela, Campo::valor);
  Classe(DBEdit2, "TDBEdit", "DBEdit2");
  EstiloEdit(DBEdit2, 726, 110, 134, 19);
  Label4->setBuddy(DBEdit2);

  // The grid, the navigator, the total and the progress bar.
  modelo_ = new TModeloGrade(tabela, this);
  DBGrid1 = new TDBGrid(cliente, modelo_);
  Classe(DBGrid1, "TDBGrid", "DBGrid1");
  DBGrid1->setGeometry(4, 310, 866, 290);
  DBGrid1->AjustaLarguras();

  DBNavigator1 = new TDBNavigator(cliente);
  Classe(DBNavigator1, "TDBNavigator", "DBNavigator1");
  DBNavigator1->setGeometry(11, 608, 488, 25);

  btn1 = new QPushButton(platform::toQString(proposta_.btn1), cliente);
  Classe(btn1, "TButton", "btn1");
  btn1->setFont(FonteJanela(kPixels10pt, true));
  QPalette azul = btn1->palette();
  azul.setColor(QPalette::ButtonText, CorAzul());
  btn1->setPalette(azul);
  btn1->setGeometry(529, 608, 334, 25);

  FProgresso = new QProgressBar(cliente);
  Classe(FProgresso, "TProgressBar", "FProgresso");
  FProgresso->setGeometry(4, 638, 862, 19);
  FProgresso->setTextVisible(false);
  FProgresso->setRange(0, 100);
  FProgresso->setValue(0);
  FProgresso->hide();

  StatusBar1 = new QStatusBar(this);
  Classe(StatusBar1, "TStatusBar", "StatusBar1");
  StatusBar1->setStyleSheet(QStringLiteral("QStatusBar::item { border: none; margin: 0px; }"));
  StatusBar1->setFont(FonteJanela());
  // Qt's status bar keeps 3 pixels above its items: 19 in all for panels 16 high.
  StatusBar1->setFixedHeight(19);
  StatusBar1->setContentsMargins(0, 0, 0, 0);
  PainelStatus(StatusBar1, "VEK - Solu\xE7\xE3o em Gest\xE3o Municipal", 300, false);
  PainelStatus(StatusBar1, "Vers\xE3o: 2020.01.00", 105, false);
  PainelStatus(StatusBar1, kEnderecoFabricante, 50, true);
  setStatusBar(StatusBar1);

  // Tab order: panel by panel, top to bottom; inside Panel1 DBMemo1, DBEdit1, DBEdit2.
  QWidget* ordem[] = {BitBtn1, Edit1,   edtlicitante, MeditCNPJ, Memo2,   BitBtn3, BitBtn4,
                      BitBtn2, BitBtn5, DBMemo1,      DBEdit1,   DBEdit2, DBGrid1, btn1};
  for (size_t i = 0; i + 1 < std::size(ordem); ++i) setTabOrder(ordem[i], ordem[i + 1]);

  CriaMenuFerramentas(*this, menuBar());
  resize(873, 679 + menuBar()->sizeHint().height());
  move(212, 11);
}

}  // namespace app::forms
