// The spreadsheet commands of the main window (offscreen): the export writes the items beside the
// process file under the name the dialog gives, and refuses politely without a process.
#include <QTest>

#include "Ambiente.h"
#include "app/forms/JanelaPlanilha.h"
#include "planilha/Importacao.h"

using teste::Ambiente;

class TestePlanilha : public QObject {
  Q_OBJECT

 private slots:
  void exportaOsItensComONomeEscolhido() {
    Ambiente a;
    a.Abre();
    const std::string destino = a.pasta.path().toStdString() + "/itens.ods";
    a.plataforma.respostasSalvar.push_back(destino);
    app::forms::ExportarPlanilha(*a.janela);
    QCOMPARE(a.plataforma.sugestoesSalvar.size(), size_t(1));
    QVERIFY(a.plataforma.sugestoesSalvar[0].ends_with(".xlsx"));
    planilha::ArquivoPlanilha arquivo;
    QVERIFY(!planilha::ArquivoPlanilha::Abre(destino, arquivo));
    std::vector<planilha::LinhaPlanilha> linhas;
    QVERIFY(!planilha::PrimeirasLinhas(arquivo, 0, 20, linhas));
    QVERIFY(planilha::LayoutProprio(linhas));
    QCOMPARE(linhas.size(), size_t(6));  // header, four items, identification
    QCOMPARE(a.plataforma.mensagens.size(), size_t(1));
  }

  void semProcessoNadaEGravado() {
    Ambiente a;
    app::forms::ExportarPlanilha(*a.janela);
    QCOMPARE(a.plataforma.mensagens.size(), size_t(1));
    QVERIFY(a.plataforma.sugestoesSalvar.empty());
  }
};

QTEST_MAIN(TestePlanilha)
#include "test_form_planilha.moc"
