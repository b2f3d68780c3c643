// Replaying recorded pages on Qt: the example listing's ink lands in the grid cells its commands
// fill and nowhere else, at 100 % and 200 %; thin strokes stay one cell thick at every zoom and
// never vanish; the Qt text measure; bitmaps drawn without their transparent colour.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <cstdlib>

#include "app/Listagem.h"
#include "app/ProcessoArquivo.h"
#include "app/TabelaItens.h"
#include "report/RDdesenho.h"
#include "report/RDestado.h"
#include "report/RDjanelas.h"
#include "report/RDprint.h"
#include "report/forms/RDpintura.h"

using namespace report;

namespace {

// Windows whose preview runs a function while the listing is open.
class JanelasPreview : public TJanelasSemTela {
 public:
  std::function<void(TRDprint&)> aoPreview;
  void MostraPreview(TRDprint& rd) override { aoPreview(rd); }
};

// A page picture replayed at `escala` onto white.
QImage Reproduz(const TMetafile& m, double escala) {
  QImage img(qRound(m.Width * escala), qRound(m.Height * escala), QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  DesenhaMetafile(p, m, QRectF(0, 0, img.width(), img.height()));
  return img;
}

// True when some pixel of the rectangle is dark (ink of black text or lines).
bool TemTinta(const QImage& img, int x1, int y1, int x2, int y2) {
  for (int y = std::max(y1, 0); y < std::min(y2, img.height()); ++y)
    for (int x = std::max(x1, 0); x < std::min(x2, img.width()); ++x)
      if (qGray(img.pixel(x, y)) < 160) return true;
  return false;
}

}  // namespace

class TestePintura : public QObject {
  Q_OBJECT

 private:
  TMetafile pagina_;                   // page 1 of the example listing, as the preview draws it
  std::vector<std::string> comandos_;  // its commands

 private slots:
  // Composes the example listing once and keeps its first page.
  void initTestCase() {
    InstalaMedidorQt();
    ::setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
    app::TTabelaItens tabela;
    app::LerProcesso(PROPOSTA_SOURCE_DIR "/examples/pregao-exemplo.xml", tabela);
    JanelasPreview janelas;
    JanelasInstaladas guarda(janelas);
    ReiniciaEstadoRelatorio();
    TRDprint rd;
    app::ConfiguraRDprint1(rd);
    rd.PortaComunicacao = "nenhuma";
    janelas.aoPreview = [&](TRDprint& r) {
      EstadoRelatorio().paginas->ParaCadaDaPagina(1, [&](std::string_view c) {
        comandos_.emplace_back(c);
        return true;
      });
      DesenhaPagina(r, 1, pagina_, true);
    };
    app::TListagem listagem(rd, tabela);
    listagem.Label5Caption = "0001/2023";
    listagem.Licitante = "Empresa Exemplo Ltda";
    listagem.CNPJ = "12345678000195";
    listagem.BitBtn2Click();
    QVERIFY(!comandos_.empty());
    QCOMPARE(pagina_.Width, 1380);
    QCOMPARE(pagina_.Height, 1130);
    Reproduz(pagina_, 1.0).save(PROPOSTA_BINARY_DIR "/pagina-exemplo-100.png");
  }

  void cleanupTestCase() { InstalaMedidorTexto({}); }

  void TextMeasureIsEightUnitsPerCharacter() {
    TMetafile m;
    TMetafileCanvas c(m);
    QCOMPARE(c.TextWidth("Listagem de Produto"), 19 * 8);
    c.Font.Style = {TFontStyle::fsBold};
    QCOMPARE(c.TextWidth("Jos\xE9 da Silva"), 13 * 8);
  }

  void ListingInkFillsExactlyTheCellsOfItsCharacters_data() {
    QTest::addColumn<double>("escala");
    QTest::newRow("100%") << 1.0;
    QTest::newRow("200%") << 2.0;
  }
  void ListingInkFillsExactlyTheCellsOfItsCharacters() {
    QFETCH(double, escala);
    const QImage img = Reproduz(pagina_, escala);
    // The character cells the commands fill (all at 10 cpi, one cell of 9.6 units each).
    bool cheia[67][137] = {};
    for (const std::string& c : comandos_) {
      const int linha = std::stoi(c.substr(4, 3)), coluna = std::stoi(c.substr(7, 3));
      const std::string texto = c.substr(20);
      for (size_t i = 0; i < texto.size(); ++i)
        if (texto[i] != ' ' && coluna + i <= 136) cheia[linha][coluna + i] = true;
    }
    int cheias = 0;
    for (int linha = 1; linha <= 66; ++linha) {
      for (int coluna = 1; coluna <= 136; ++coluna) {
        // The cell's inside, one unit in from its edges; the page starts at 37, 37.
        const double x1 = 37 + (coluna - 1) * 9.6 + 1, x2 = 37 + coluna * 9.6 - 1;
        const double y1 = 37 + (linha - 1) * 16.0, y2 = 37 + linha * 16.0;
        const bool tinta = TemTinta(img, qCeil(x1 * escala), qCeil(y1 * escala),
                                    qFloor(x2 * escala), qFloor(y2 * escala));
        if (tinta != cheia[linha][coluna])
          QFAIL(qPrintable(QString("line %1 column %2: ink %3").arg(linha).arg(coluna).arg(tinta)));
        cheias += cheia[linha][coluna];
      }
    }
    QVERIFY(cheias > 1000);
  }

  void PaperHasStripesGuideAndBorder() {
    const QImage img = Reproduz(pagina_, 1.0);
    QCOMPARE(img.pixel(0, 0), qRgb(0, 0, 0));
    QCOMPARE(img.pixel(1379, 1129), qRgb(0, 0, 0));
    QCOMPARE(img.pixel(1378, 1128), qRgb(255, 255, 255));
    // Line 1 is striped from column 35 to 1344 (no pen: one unit short), line 2 is not.
    const QRgb faixa = qRgb(0xE9, 0xFE, 0xEC);
    QCOMPARE(img.pixel(36, 40), faixa);
    QCOMPARE(img.pixel(1343, 40), faixa);
    QCOMPARE(img.pixel(1344, 40), qRgb(255, 255, 255));
    QCOMPARE(img.pixel(700, 60), qRgb(255, 255, 255));
    // The dotted margin guide: every other unit along its top edge from (35, 35).
    QCOMPARE(img.pixel(35, 35), qRgb(0xD8, 0xD8, 0xD8));
    QCOMPARE(img.pixel(36, 35), qRgb(255, 255, 255));
    QCOMPARE(img.pixel(37, 35), qRgb(0xD8, 0xD8, 0xD8));
  }

  void LinesStayOneCellThickAtEveryZoom_data() {
    QTest::addColumn<double>("escala");
    QTest::newRow("20%") << 0.2;
    QTest::newRow("100%") << 1.0;
    QTest::newRow("150%") << 1.5;
    QTest::newRow("400%") << 4.0;
  }
  void LinesStayOneCellThickAtEveryZoom() {
    QFETCH(double, escala);
    TMetafile m;
    m.Width = 200;
    m.Height = 100;
    {
      TMetafileCanvas c(m);
      c.MoveTo(20, 50);
      c.LineTo(180, 50);  // cells 20..179 of row 50
      c.MoveTo(100, 90);
      c.LineTo(100, 10);  // upwards: cells 90 down to 11 of column 100
    }
    const QImage img = Reproduz(m, escala);
    const int espessura = std::max(1, qRound(escala));
    int linhas = 0, colunas = 0;
    for (int y = 0; y < img.height(); ++y)
      linhas += TemTinta(img, qRound(40 * escala), y, qRound(40 * escala) + 1, y + 1);
    for (int x = 0; x < img.width(); ++x)
      colunas += TemTinta(img, x, qRound(30 * escala), x + 1, qRound(30 * escala) + 1);
    QCOMPARE(linhas, espessura);
    QCOMPARE(colunas, espessura);
    // The horizontal line leaves its end cell out; the vertical one its end at row 10.
    QVERIFY(TemTinta(img, qFloor(179 * escala), 0, qFloor(179 * escala) + 1, img.height()));
    if (escala >= 1) {
      QVERIFY(!TemTinta(img, qRound(180 * escala), 0, img.width(), img.height()));
      QVERIFY(!TemTinta(img, 0, 0, img.width(), qRound(11 * escala)));
    }
  }

  void BitmapsLeaveTheirTransparentColourOut() {
    TImagemRGB b(3, 2);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) b.Pixel(x, y)[2] = 0xFF;  // blue everywhere
    b.Pixel(0, 1)[0] = 0xFF;                                // bottom left: magenta, left out
    b.Pixel(2, 0)[0] = 0xFF;                                // magenta again
    QImage img(10, 10, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
      QPainter p(&img);
      DesenhaTransparente(p, 5, 5, b);
    }
    QCOMPARE(img.pixel(5, 5), qRgb(0, 0, 0xFF));
    QCOMPARE(img.pixel(7, 5), qRgb(255, 255, 255));
    QCOMPARE(img.pixel(5, 6), qRgb(255, 255, 255));
    QCOMPARE(img.pixel(6, 6), qRgb(0, 0, 0xFF));
    QCOMPARE(img.pixel(4, 5), qRgb(255, 255, 255));
  }
};

QTEST_MAIN(TestePintura)
#include "test_pintura.moc"
