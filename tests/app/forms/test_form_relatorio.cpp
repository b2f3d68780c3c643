// "Relatório" through the main window with the report engine's Qt windows installed: the listing
// is composed and shown in the modal preview while the progress bar is up; closing the preview
// gives the main window back as it was.
#include <QApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "Ambiente.h"
#include "report/RDestado.h"
#include "report/forms/RDjanelasQt.h"
#include "report/forms/RDpreview.h"

using teste::Ambiente;

class TesteRelatorio : public QObject {
  Q_OBJECT

 private slots:
  // The preview comes up over the main window with the listing's page, the program's caption and
  // the progress bar shown; Esc closes it, the bar is hidden, the report closed, and the window
  // is enabled and active again with the focus where the click left it.
  void relatorioMostraOPreviewEVolta() {
    Ambiente a;
    a.Abre();
    auto& w = *a.janela;
    report::forms::TJanelasQt janelas;
    report::JanelasInstaladas guarda(janelas);
    bool visto = false, barra = false, principalBloqueada = false;
    int paginas = 0;
    QString caption, pagina;
    QTimer::singleShot(0, [&] {
      auto* p = qobject_cast<report::forms::TDFMPreview*>(QApplication::activeModalWidget());
      if (!p) return;
      visto = true;
      paginas = p->QtdPaginas;
      caption = p->windowTitle();
      pagina = p->TextoPainel(0);
      barra = w.FProgresso->isVisible();
      principalBloqueada = report::EstadoRelatorio().previewAberto;
      QTest::keyClick(p, Qt::Key_Escape);
    });
    QTest::mouseClick(w.BitBtn2, Qt::LeftButton);
    a.Processa();
    QVERIFY(visto);
    QCOMPARE(paginas, 1);
    QCOMPARE(caption, QString("Rdprint Preview"));
    QCOMPARE(pagina, QString::fromUtf8("Página: 1 de 1"));
    QVERIFY(barra);
    QVERIFY(principalBloqueada);
    QVERIFY(w.FProgresso->isHidden());
    QVERIFY(!report::EstadoRelatorio().aberto);
    QVERIFY(!report::EstadoRelatorio().previewAberto);
    QVERIFY(w.isEnabled());
    QVERIFY(!QApplication::activeModalWidget());
    QCOMPARE(QApplication::activeWindow(), &w);
    QCOMPARE(QApplication::focusWidget(), w.BitBtn2);  // the button clicked keeps the focus
    QVERIFY(a.plataforma.erros.empty());
  }
};

QTEST_MAIN(TesteRelatorio)
#include "test_form_relatorio.moc"
