// Graphic printing on QPrinter, checked on PDF files rendered back by pdftoppm: the text grid
// lands where the margins, the unprintable edges and the shrink to fit put it; a print job gives
// one PDF page per printed copy; a document that cannot start says what to do and prints nothing;
// a job broken by an error leaves the old file whole.
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QTest>
#include <filesystem>

#include "platform/qt/QtTexto.h"
#include "report/RDdesenho.h"
#include "report/RDestado.h"
#include "report/RDjanelas.h"
#include "report/RDprint.h"
#include "report/forms/RDimpressoraGrafica.h"
#include "report/forms/RDpintura.h"
#include "support/Arquivos.h"
#include "support/PlataformaRoteiro.h"
#include "support/ServidorCups.h"

using namespace report;

namespace {

// Windows whose graphic printer is the one given.
class JanelasComImpressora : public TJanelasSemTela {
 public:
  explicit JanelasComImpressora(TImpressoraGrafica& i) : impressora_(i) {}
  TImpressoraGrafica* ImpressoraGrafica() override { return &impressora_; }

 private:
  TImpressoraGrafica& impressora_;
};

// Opens a graphic report of `colunas` x `linhas` cells at 10 cpi with equal margins of `margem`
// millimetres.
void AbreRelatorio(TRDprint& rd, int colunas, int linhas, int margem, bool paisagem) {
  ReiniciaEstadoRelatorio();
  rd.Impressora = TModelo::Grafico;
  rd.PortaComunicacao = "grafica";  // keeps Abrir from asking the platform for a printer
  rd.MostrarProgresso = false;
  rd.TamanhoQteColunas = colunas;
  rd.TamanhoQteLinhas = linhas;
  rd.Margens = {margem, margem, margem, margem};
  rd.Orientacao = paisagem ? TPrinterOrientation::poLandscape : TPrinterOrientation::poPortrait;
  QVERIFY(rd.Abrir());
}

// Runs a program; its standard output, empty (after a failed check) when it does not succeed.
QByteArray Executa(const QString& programa, const QStringList& argumentos) {
  QProcess p;
  p.start(programa, argumentos);
  if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
    qWarning() << programa << argumentos << p.readAllStandardError();
    return {};
  }
  return p.readAllStandardOutput();
}

// Page 1 of a PDF file rendered in grey at `dpi`.
QImage Renderiza(const std::string& pdf, int dpi) {
  const QString saida = QString::fromStdString(pdf) + "-p1";
  Executa("pdftoppm", {"-r", QString::number(dpi), "-gray", "-png", "-singlefile", "-f", "1", "-l",
                       "1", QString::fromStdString(pdf), saida});
  return QImage(saida + ".png").convertToFormat(QImage::Format_Grayscale8);
}

// The bounding box of the pixels darker than mid-grey (ink).
QRect Tinta(const QImage& img) {
  int x1 = img.width(), y1 = img.height(), x2 = -1, y2 = -1;
  for (int y = 0; y < img.height(); ++y) {
    const uchar* linha = img.constScanLine(y);
    for (int x = 0; x < img.width(); ++x) {
      if (linha[x] >= 128) continue;
      x1 = std::min(x1, x), x2 = std::max(x2, x);
      y1 = std::min(y1, y), y2 = std::max(y2, y);
    }
  }
  return QRect(QPoint(x1, y1), QPoint(x2, y2));
}

// The ink of the bare page stretched on its own into (0, 0, pw - 1, ph - 1): where its first and
// last characters put ink inside the page.
QRect TintaDaPagina(TRDprint& rd, int pw, int ph) {
  TMetafile figura;
  DesenhaPagina(rd, 1, figura, false);
  QImage img(pw, ph, QImage::Format_Grayscale8);
  img.fill(255);
  QPainter p(&img);
  DesenhaMetafile(p, figura, QRectF(0, 0, pw - 1, ph - 1));
  p.end();
  return Tinta(img);
}

// The text of each page of a PDF file, trimmed, in page order.
QStringList PaginasImpressas(const std::string& pdf) {
  const QString texto = QString::fromUtf8(Executa("pdftotext", {QString::fromStdString(pdf), "-"}));
  QStringList paginas;
  for (const QString& pagina : texto.split('\f', Qt::SkipEmptyParts))
    if (!pagina.trimmed().isEmpty()) paginas << pagina.trimmed();
  return paginas;
}

}  // namespace

class TesteImpressoraGrafica : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    InstalaMedidorQt();
    QImageReader::setAllocationLimit(512);  // whole sheets at 600 dpi
  }
  void cleanupTestCase() { InstalaMedidorTexto({}); }

  // On a real queue (a private CUPS server whose raw queue keeps each job's bytes), the report
  // reaches the printer as one job of drawn pages: Qt's PDF, one page per report page. Runs first,
  // while Qt's printer support has not asked any other server for its printers.
  void DrawnPagesReachACupsQueueAsOneJob() {
    teste::ServidorCups servidor;
    if (!servidor.ok()) QSKIP(servidor.motivo().c_str());
    const std::string erro = servidor.AdicionaFila("laser", "Laser do escritorio");
    QVERIFY2(erro.empty(), erro.c_str());
    teste::PlataformaRoteiro plataforma;
    plataforma.impressora = platform::PrinterInfo{"laser", "", "", ""};
    platform::ScopedPlatform guardaPlataforma(plataforma);
    TImpressoraGraficaQt impressora;
    JanelasComImpressora janelas(impressora);
    JanelasInstaladas guarda(janelas);
    TRDprint rd;
    rd.TitulodoRelatorio = "Listagem";
    AbreRelatorio(rd, 80, 66, 10, false);
    rd.ImpF(1, 1, "Pagina 1", {TAtributo::aNormal10}, clBlack);
    rd.NovaPagina();
    rd.ImpF(1, 1, "Pagina 2", {TAtributo::aNormal10}, clBlack);
    QVERIFY(rd.Fechar());
    QVERIFY2(plataforma.caixas.empty(),
             plataforma.caixas.empty() ? "" : plataforma.caixas[0].texto.c_str());

    // The backend runs once the server has taken the job.
    std::string bytes;
    for (int i = 0;
         i < 300 && (bytes = servidor.Capturado("laser")).find("%%EOF") == std::string::npos; ++i)
      QTest::qWait(100);
    QVERIFY2(bytes.rfind("%PDF-", 0) == 0, bytes.substr(0, 40).c_str());
    teste::PastaTemporaria pasta;
    const std::string pdf = pasta / "capturado.pdf";
    teste::Grava(pdf, bytes);
    const QString info = QString::fromUtf8(Executa("pdfinfo", {QString::fromStdString(pdf)}));
    QVERIFY2(info.contains(QRegularExpression("Pages:\\s+2\\n")), qPrintable(info));
    QCOMPARE(PaginasImpressas(pdf), QStringList({"Pagina 1", "Pagina 2"}));
  }

  // Paper 600 x 816 points is 5000 x 6800 dots at 600 dpi; a 12-point edge is 100 dots, a 6-point
  // one 50. A cell at 10 cpi is 60 dots wide and a line 100 dots high at 600 dpi.
  void GridLandsWhereMarginsEdgesAndShrinkPutIt_data() {
    QTest::addColumn<QMarginsF>("bordas");
    QTest::addColumn<int>("margem");
    QTest::addColumn<int>("colunas");
    QTest::addColumn<int>("linhas");
    QTest::addColumn<bool>("paisagem");
    QTest::addColumn<QRect>("pagina");  // where the page goes on the paper, in dots
    // 10 mm is 236 dots: 136 inside the printable area across a 100-dot edge, 186 below a 50-dot
    // one, so at 236 from the paper's edges both ways.
    QTest::newRow("10 mm margin past the edges")
        << QMarginsF(12, 6, 12, 6) << 10 << 20 << 10 << false << QRect(236, 236, 1200, 1000);
    // 4 mm is 94 dots, inside the 100-dot edge: the page starts at the printable area's corner.
    QTest::newRow("4 mm margin inside the edge")
        << QMarginsF(12, 12, 12, 12) << 4 << 20 << 10 << false << QRect(100, 100, 1200, 1000);
    // 6000 x 5000 dots on a printable area of 4800 x 6600 shrink by 1.25.
    QTest::newRow("shrunk to the printable width")
        << QMarginsF(12, 12, 12, 12) << 4 << 100 << 50 << false << QRect(100, 100, 4800, 4000);
    // 6600 x 6000 dots on the landscape printable area of 6600 x 4800 shrink by 1.25 in height
    // (upright it would be 1.375 in width).
    QTest::newRow("landscape shrunk to the printable height")
        << QMarginsF(12, 12, 12, 12) << 4 << 110 << 60 << true << QRect(100, 100, 5280, 4800);
  }
  void GridLandsWhereMarginsEdgesAndShrinkPutIt() {
    QFETCH(QMarginsF, bordas);
    QFETCH(int, margem);
    QFETCH(int, colunas);
    QFETCH(int, linhas);
    QFETCH(bool, paisagem);
    QFETCH(QRect, pagina);
    teste::PastaTemporaria pasta;
    const std::string pdf = pasta / "pagina.pdf";
    TImpressoraGraficaQt impressora(TArquivoPdf{
        pdf, 600, QPageSize(QSizeF(600, 816), QPageSize::Point, {}, QPageSize::ExactMatch),
        bordas});
    JanelasComImpressora janelas(impressora);
    JanelasInstaladas guarda(janelas);
    TRDprint rd;
    AbreRelatorio(rd, colunas, linhas, margem, paisagem);
    rd.ImpF(1, 1, "X", {TAtributo::aNormal10}, clBlack);
    rd.ImpF(linhas, colunas, "X", {TAtributo::aNormal10}, clBlack);
    const QRect esperada =
        TintaDaPagina(rd, pagina.width(), pagina.height()).translated(pagina.topLeft());
    QVERIFY(rd.Fechar());

    const QImage img = Renderiza(pdf, 600);
    QCOMPARE(img.size(), paisagem ? QSize(6800, 5000) : QSize(5000, 6800));
    const QRect tinta = Tinta(img);
    // Text is rasterised by two different engines: their ink edges may differ by a dot.
    const auto perto = [](int a, int b) { return std::abs(a - b) <= 1; };
    if (!perto(tinta.left(), esperada.left()) || !perto(tinta.top(), esperada.top()) ||
        !perto(tinta.right(), esperada.right()) || !perto(tinta.bottom(), esperada.bottom()))
      QFAIL(qPrintable(QString("ink (%1, %2)-(%3, %4), expected (%5, %6)-(%7, %8)")
                           .arg(tinta.left())
                           .arg(tinta.top())
                           .arg(tinta.right())
                           .arg(tinta.bottom())
                           .arg(esperada.left())
                           .arg(esperada.top())
                           .arg(esperada.right())
                           .arg(esperada.bottom())));
  }

  // Three pages, two copies collated: six PDF pages in the job's order, titled with the report.
  void JobPrintsEachCopyOnItsOwnPage() {
    teste::PastaTemporaria pasta;
    const std::string pdf = pasta / "trabalho.pdf";
    TImpressoraGraficaQt impressora(TArquivoPdf{pdf, 300, QPageSize(QPageSize::A4), {}});
    JanelasComImpressora janelas(impressora);
    JanelasInstaladas guarda(janelas);
    TRDprint rd;
    rd.NumerodeCopias = 2;
    rd.TitulodoRelatorio = "Relat\xF3rio de itens";
    AbreRelatorio(rd, 80, 66, 10, false);
    for (int p = 1; p <= 3; ++p) {
      if (p > 1) rd.NovaPagina();
      rd.ImpF(1, 1, "Pagina " + std::to_string(p), {TAtributo::aNormal10}, clBlack);
    }
    QVERIFY(rd.Fechar());

    QVERIFY(!Executa("qpdf", {"--check", QString::fromStdString(pdf)}).isEmpty());
    const QString info = QString::fromUtf8(Executa("pdfinfo", {QString::fromStdString(pdf)}));
    QVERIFY2(info.contains(QRegularExpression("Pages:\\s+6\\n")), qPrintable(info));
    QVERIFY2(
        info.contains(QRegularExpression(QString::fromUtf8("Title:\\s+Relatório de itens\\n"))),
        qPrintable(info));
    QCOMPARE(PaginasImpressas(pdf),
             QStringList({"Pagina 1", "Pagina 2", "Pagina 3", "Pagina 1", "Pagina 2", "Pagina 3"}));
  }

  void StartFailureSaysWhatToDoAndPrintsNothing_data() {
    QTest::addColumn<QString>("fila");     // the current printer's queue; empty: none
    QTest::addColumn<QString>("arquivo");  // a PDF file instead of a printer
    QTest::addColumn<QString>("mensagem");
    QTest::newRow("no printer") << ""
                                << ""
                                << "Nenhuma impressora está instalada. Instale uma impressora no "
                                   "sistema e tente de novo.";
    QTest::newRow("queue the spooler does not know")
        << "fila-que-nao-existe"
        << ""
        << "A impressora \"fila-que-nao-existe\" não foi encontrada. Verifique se ela está "
           "instalada ou escolha outra impressora e tente de novo.";
    QTest::newRow("PDF file in a missing folder") << ""
                                                  << "sem-pasta/saida.pdf"
                                                  << "Não foi possível gravar o arquivo";
  }
  // A document that cannot start shows one error box saying what to do; the job then prints
  // nothing and fires no OnAfterPrint.
  void StartFailureSaysWhatToDoAndPrintsNothing() {
    QFETCH(QString, fila);
    QFETCH(QString, arquivo);
    QFETCH(QString, mensagem);
    teste::PastaTemporaria pasta;
    teste::PlataformaRoteiro plataforma;
    if (!fila.isEmpty())
      plataforma.impressora = platform::PrinterInfo{fila.toStdString(), "", "", ""};
    platform::ScopedPlatform guardaPlataforma(plataforma);
    std::unique_ptr<TImpressoraGraficaQt> impressora =
        arquivo.isEmpty() ? std::make_unique<TImpressoraGraficaQt>()
                          : std::make_unique<TImpressoraGraficaQt>(TArquivoPdf{
                                pasta / arquivo.toStdString(), 300, QPageSize(QPageSize::A4), {}});
    JanelasComImpressora janelas(*impressora);
    JanelasInstaladas guarda(janelas);
    TRDprint rd;
    bool depois = false;
    rd.OnAfterPrint = [&](TRDprint&) { depois = true; };
    AbreRelatorio(rd, 80, 66, 10, false);
    rd.ImpF(1, 1, "X", {TAtributo::aNormal10}, clBlack);
    QVERIFY(rd.Fechar());

    QCOMPARE(plataforma.caixas.size(), size_t(1));
    QCOMPARE(plataforma.caixas[0].titulo, std::string("Erro"));
    QCOMPARE(plataforma.caixas[0].estilo, platform::mb::OK | platform::mb::ICONHAND);
    const QString texto = platform::toQString(plataforma.caixas[0].texto);
    QVERIFY2(texto.startsWith(mensagem), qPrintable(texto));
    QVERIFY(!depois);
    QVERIFY(std::filesystem::is_empty(pasta.caminho()));
    if (arquivo.isEmpty()) QVERIFY(!MedidasImpressora());
  }

  // A page that cannot be drawn ends the job with an error: the file printed before stays as it
  // was when the printer lets the job go, no draft is left beside it, and the next job on the
  // same printer writes the file anew.
  void BrokenJobLeavesTheOldFileWhole() {
    teste::PastaTemporaria pasta;
    const std::string pdf = pasta / "relatorio.pdf";
    teste::Grava(pdf, "antigo");
    const auto arquivos = [&] {
      return std::distance(std::filesystem::directory_iterator(pasta.caminho()),
                           std::filesystem::directory_iterator());
    };
    const auto imprime = [](TImpressoraGraficaQt& impressora, bool quebrado) {
      JanelasComImpressora janelas(impressora);
      JanelasInstaladas guarda(janelas);
      TRDprint rd;
      AbreRelatorio(rd, 80, 66, 10, false);
      rd.ImpF(1, 1, "Pagina 1", {TAtributo::aNormal10}, clBlack);
      if (quebrado) {
        rd.NovaPagina();
        rd.AdicionaComando(1, 1, "H", "linha", {TAtributo::aNormal10}, clBlack);  // not numeric
      }
      try {
        rd.Fechar();
      } catch (const std::exception&) {
        return false;
      }
      return true;
    };
    {
      TImpressoraGraficaQt impressora(TArquivoPdf{pdf, 300, QPageSize(QPageSize::A4), {}});
      QVERIFY(!imprime(impressora, true));
    }
    QCOMPARE(teste::Le(pdf), std::string("antigo"));
    QCOMPARE(arquivos(), 1);

    TImpressoraGraficaQt impressora(TArquivoPdf{pdf, 300, QPageSize(QPageSize::A4), {}});
    QVERIFY(!imprime(impressora, true));
    QVERIFY(imprime(impressora, false));
    QCOMPARE(PaginasImpressas(pdf), QStringList({"Pagina 1"}));
    QCOMPARE(arquivos(), 1);
  }
};

QTEST_MAIN(TesteImpressoraGrafica)
#include "test_impressora_grafica.moc"
