// Builds the user guide's PDF from its Markdown source at build time, with Qt's own Markdown reader
// and PDF writer (no tool beyond what the program already builds on). The output is reproducible:
// the creation date is SOURCE_DATE_EPOCH (else the epoch) and the document identifiers are fixed.
// usage: guia_pdf GUIA.md SAIDA.pdf TITULO
#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHashFunctions>
#include <QImage>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>
#include <cstdio>
#include <cstdlib>

namespace {

// The moment the guide is dated: SOURCE_DATE_EPOCH when set, the epoch otherwise.
QDateTime Momento() {
  const char* epoca = std::getenv("SOURCE_DATE_EPOCH");
  qint64 segundos = epoca ? QByteArray(epoca).toLongLong() : 0;
  return QDateTime::fromSecsSinceEpoch(segundos, Qt::UTC);
}

// XMP metadata of our own, so that the writer does not draw random document identifiers.
QByteArray Metadados(const QString& titulo, const QDateTime& quando) {
  const QByteArray data = quando.toString(Qt::ISODate).toUtf8();
  return "<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d'?>\n"
         "<x:xmpmeta xmlns:x='adobe:ns:meta/'>\n"
         "<rdf:RDF xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'>\n"
         "<rdf:Description rdf:about='' xmlns:dc='http://purl.org/dc/elements/1.1/' "
         "xmlns:xmp='http://ns.adobe.com/xap/1.0/'>\n"
         "<dc:title><rdf:Alt><rdf:li xml:lang='x-default'>" +
         titulo.toHtmlEscaped().toUtf8() +
         "</rdf:li></rdf:Alt></dc:title>\n"
         "<xmp:CreateDate>" +
         data + "</xmp:CreateDate>\n<xmp:ModifyDate>" + data +
         "</xmp:ModifyDate>\n"
         "</rdf:Description>\n</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end='w'?>";
}

// Pictures wider than the text are scaled down to its width, keeping their proportion.
void AjustaFiguras(QTextDocument& documento, qreal largura) {
  for (QTextBlock b = documento.begin(); b.isValid(); b = b.next()) {
    for (auto it = b.begin(); !it.atEnd(); ++it) {
      QTextFragment f = it.fragment();
      if (!f.charFormat().isImageFormat()) continue;
      QTextImageFormat figura = f.charFormat().toImageFormat();
      QVariant recurso = documento.resource(QTextDocument::ImageResource, QUrl(figura.name()));
      QImage imagem = recurso.value<QImage>();
      if (imagem.isNull() || imagem.width() <= largura) continue;
      figura.setWidth(largura);
      figura.setHeight(largura * imagem.height() / imagem.width());
      QTextCursor c(&documento);
      c.setPosition(f.position());
      c.setPosition(f.position() + f.length(), QTextCursor::KeepAnchor);
      c.setCharFormat(figura);
    }
  }
}

// The writer dates the document with the clock: the date is put back to `quando`, in place and
// with the same length, so that no offset of the file changes.
QByteArray DataFixa(QByteArray pdf, const QDateTime& quando) {
  static const QRegularExpression data(QStringLiteral("/CreationDate \\(D:(\\d{14})"));
  const QString texto = QString::fromLatin1(pdf);
  QRegularExpressionMatch m = data.match(texto);
  if (m.hasMatch()) {
    pdf.replace(m.capturedStart(1), 14,
                quando.toString(QStringLiteral("yyyyMMddHHmmss")).toLatin1());
  }
  return pdf;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "uso: guia_pdf GUIA.md SAIDA.pdf TITULO\n");
    return 2;
  }
  // The writer emits fonts in hash order: a fixed seed keeps that order from run to run.
  QHashSeed::setDeterministicGlobalSeed();
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication aplicacao(argc, argv);
  QFile fonte(QString::fromLocal8Bit(argv[1]));
  if (!fonte.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "guia_pdf: não foi possível ler %s\n", argv[1]);
    return 2;
  }
  const QString titulo = QString::fromUtf8(argv[3]);
  const QDateTime quando = Momento();

  QBuffer saida;
  saida.open(QIODevice::WriteOnly);
  {
    QPdfWriter pdf(&saida);
    pdf.setTitle(titulo);
    pdf.setCreator(titulo);
    pdf.setResolution(96);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(20, 18, 20, 18), QPageLayout::Millimeter);
    pdf.setDocumentXmpMetadata(Metadados(titulo, quando));

    QTextDocument documento;
    QFont letra(QStringLiteral("Liberation Sans"), 10);
    documento.setDefaultFont(letra);
    documento.setBaseUrl(QUrl::fromLocalFile(QFileInfo(fonte).absoluteFilePath()));
    documento.setMarkdown(QString::fromUtf8(fonte.readAll()));
    const QSizeF pagina = pdf.pageLayout().paintRectPixels(96).size();
    documento.setPageSize(pagina);
    AjustaFiguras(documento, pagina.width() - 2 * documento.documentMargin());
    documento.print(&pdf);
  }
  QFile destino(QString::fromLocal8Bit(argv[2]));
  if (!destino.open(QIODevice::WriteOnly) || destino.write(DataFixa(saida.data(), quando)) < 0 ||
      !destino.flush()) {
    std::fprintf(stderr, "guia_pdf: não foi possível gravar %s\n", argv[2]);
    return 2;
  }
  return 0;
}
