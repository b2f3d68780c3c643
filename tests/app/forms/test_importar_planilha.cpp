// "Importar planilha" driven through the real widgets: our own sheet exported, filled, imported,
// reviewed, applied, undone and applied again, and the process file written on close compared
// with the one the same values typed by hand give; a supplier's workbook with two worksheets (the
// worksheet asked, the columns guessed from the titles, the choice remembered); files that cannot
// be used refused with a message naming them; a long reading cancelled from the progress window.
#include <QApplication>
#include <QComboBox>
#include <QInputDialog>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <cstdlib>
#include <filesystem>

#include "Ambiente.h"
#include "app/ProcessoArquivo.h"
#include "app/forms/JanelaPlanilha.h"
#include "app/forms/TDBEdit.h"
#include "app/forms/TRevisaoAlteracoes.h"
#include "planilha/Exportacao.h"
#include "report/forms/RDProgresso.h"
#include "support/Pacote.h"
#include "support/QuandoModal.h"

using app::forms::TJanelaColunas;
using app::forms::TRevisaoAlteracoes;
using teste::Ambiente;

namespace {

// What the supplier gives each item of the standard process (brand, price as typed).
struct Preenchimento {
  const char* marca;
  const char* preco;
  double valor;
};
const Preenchimento kPrecos[] = {
    {"Bic", "2,5", 2.5}, {"Faber", "1,1", 1.1}, {"Chamex", "22,9", 22.9}, {"Acme", "0,35", 0.35}};

// Acts on the modal windows as they come, one step each, in order; a window a failed step left
// open is closed so the test goes on.
void NasJanelas(std::vector<std::function<void(QWidget*)>> passos) {
  if (passos.empty()) return;
  auto passo = passos.front();
  passos.erase(passos.begin());
  teste::QuandoModal([passo, passos](QWidget* m) {
    QVERIFY(QTest::qWaitForWindowActive(m));
    passo(m);
    if (auto* d = qobject_cast<QDialog*>(m); d && d->isVisible()) d->reject();
    NasJanelas(passos);
  });
}

// The review: its statuses in order, then Enter ("Aplicar todas", the default button).
std::function<void(QWidget*)> RevisaEAplicaTodas(QStringList situacoes) {
  return [situacoes](QWidget* m) {
    auto* r = qobject_cast<TRevisaoAlteracoes*>(m);
    QVERIFY(r);
    QCOMPARE(r->Grade->model()->rowCount(), situacoes.size());
    for (int i = 0; i < situacoes.size(); ++i)
      QCOMPARE(r->Grade->model()->index(i, 7).data().toString(), situacoes[i]);
    QTest::keyClick(r->focusWidget(), Qt::Key_Return);
  };
}

// Makes the main window active again after a dialog (its menu shortcuts work in it only).
void Ativa(QWidget& w) {
  w.activateWindow();
  QApplication::setActiveWindow(&w);
  QVERIFY(QTest::qWaitForWindowActive(&w));
}

void Importa(Ambiente& a) {
  Ativa(*a.janela);
  QTest::keyClick(a.janela.get(), Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
  a.Processa();
}

std::string MarcaDe(Ambiente& a, int linha) {
  return std::string(a.janela->Proposta().ClientDataSet1.Linha(linha).marca);
}
double ValorDe(Ambiente& a, int linha) {
  return a.janela->Proposta().ClientDataSet1.Linha(linha).valor.value_or(-1);
}

// The ODS package of a supplier's price list: a cover worksheet, then the prices.
std::string ListaFornecedor() {
  auto celula = [](const char* t) {
    return std::string("<table:table-cell office:value-type=\"string\"><text:p>") + t +
           "</text:p></table:table-cell>";
  };
  auto linha = [&](std::initializer_list<const char*> celulas) {
    std::string s = "<table:table-row>";
    for (const char* c : celulas) s += celula(c);
    return s + "</table:table-row>";
  };
  const std::string conteudo =
      "<office:document-content "
      "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
      "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
      "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body>"
      "<office:spreadsheet><table:table table:name=\"Capa\">" +
      linha({"Papelaria Exemplo"}) + "</table:table><table:table table:name=\"Pre\xC3\xA7os\">" +
      linha({"C\xC3\xB3"
             "d.",
             "Produto", "Marca", "Pre\xC3\xA7o unit\xC3\xA1rio", "Total"}) +
      linha({"C-001", "Caneta azul", "Bic", "R$ 2,50", "25"}) +
      linha({"P-010", "Papel A4", "Chamex", "1.234", ""}) +
      linha({"X-999", "Borracha", "Mercur", "0,40", ""}) +
      "</table:table></office:spreadsheet></office:body></office:document-content>";
  return teste::Pacote(
      {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"}, {"content.xml", conteudo}});
}

}  // namespace

class TesteImportarPlanilha : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    // Remembered column mappings go to this run's folder, never to the user's.
    ::setenv("XDG_CONFIG_HOME", (config_.path().toStdString()).c_str(), 1);
  }

  // Export, fill, import, review, apply, undo, import again, close: the process file is the one
  // typing the same brands and prices gives.
  void importaComoDigitado() {
    std::string importado;
    {
      Ambiente a;
      a.Abre();
      auto& w = *a.janela;
      const std::string planilha = a.pasta.path().toStdString() + "/itens.xlsx";
      a.plataforma.respostasSalvar.push_back(planilha);
      Ativa(w);
      QTest::keyClick(&w, Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
      a.Processa();
      QVERIFY(std::filesystem::exists(planilha));

      // The supplier fills the sheet: the same items, written again with brands and prices.
      app::TTabelaItens preenchida;
      app::LerProcessoDeBytes(teste::Le(a.processo), preenchida);
      for (int i = 0; i < 4; ++i) {
        preenchida.IrParaLinha(i + 1);
        preenchida.Edita();
        preenchida.AtribuiTexto(app::Campo::marca, kPrecos[i].marca);
        preenchida.AtribuiDouble(app::Campo::valor, kPrecos[i].valor);
        preenchida.Grava();
      }
      std::string erro;
      QVERIFY(planilha::ExportaArquivo(planilha, preenchida, w.Proposta().label5, erro));

      // Cancelling the review changes nothing.
      a.plataforma.arquivosAbrir.push_back(planilha);
      NasJanelas({[](QWidget* m) { QTest::keyClick(m, Qt::Key_Escape); }});
      Importa(a);
      QCOMPARE(MarcaDe(a, 1), std::string("Fa:ber"));
      QVERIFY(!w.Proposta().TemAlteracoes());

      const double antes0 = ValorDe(a, 0);
      a.plataforma.arquivosAbrir.push_back(planilha);
      NasJanelas({RevisaEAplicaTodas({"Nova", "Alterada", "Nova", "Nova"})});
      Importa(a);
      for (int i = 0; i < 4; ++i) {
        QCOMPARE(MarcaDe(a, i), std::string(kPrecos[i].marca));
        QCOMPARE(ValorDe(a, i), kPrecos[i].valor);
      }

      // One undo brings every item back.
      Ativa(w);
      QTest::keyClick(&w, Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
      a.Processa();
      QVERIFY(a.plataforma.mensagens.back().find("4 item(ns) voltaram") != std::string::npos);
      QCOMPARE(MarcaDe(a, 1), std::string("Fa:ber"));
      QCOMPARE(ValorDe(a, 1), 1.2);
      QCOMPARE(ValorDe(a, 0), antes0);

      a.plataforma.arquivosAbrir.push_back(planilha);
      NasJanelas({RevisaEAplicaTodas({"Nova", "Alterada", "Nova", "Nova"})});
      Importa(a);
      QVERIFY(w.close());
      importado = teste::Le(a.processo);
    }
    Ambiente b;
    b.Abre();
    auto& w = *b.janela;
    w.DBEdit1->setFocus();
    b.Processa();
    for (const Preenchimento& p : kPrecos) {
      QCOMPARE(Ambiente::Foco(), w.DBEdit1);
      b.Digita(p.marca);
      b.Tecla(Qt::Key_Return);
      b.Digita(p.preco);
      b.Tecla(Qt::Key_Return);
    }
    QVERIFY(w.close());
    QCOMPARE(importado, teste::Le(b.processo));
  }

  // A supplier's workbook: the worksheet asked, the columns guessed from the titles, the review
  // with refusals and rows naming no item, the selected rows applied; the mapping changed by the
  // user is offered again for the next sheet of the same layout.
  void planilhaDoFornecedor() {
    Ambiente a;
    a.Abre();
    const std::string lista = a.pasta.path().toStdString() + "/lista.ods";
    teste::Grava(lista, ListaFornecedor());
    const double antes2 = ValorDe(a, 2);
    auto escolheAba = [](QWidget* m) {
      auto* d = qobject_cast<QInputDialog*>(m);
      QVERIFY(d);
      QCOMPARE(d->comboBoxItems(), (QStringList{"Capa", "Preços"}));
      auto* lista = d->findChild<QComboBox*>();
      QVERIFY(lista);
      QTest::keyClick(lista, Qt::Key_Down);
      QTest::keyClick(m, Qt::Key_Return);
    };
    a.plataforma.arquivosAbrir.push_back(lista);
    NasJanelas({escolheAba,
                [](QWidget* m) {
                  auto* c = qobject_cast<TJanelaColunas*>(m);
                  QVERIFY(c);
                  QCOMPARE(c->Amostra->rowCount(), 4);
                  QCOMPARE(c->Amostra->item(1, 0)->text(), QStringLiteral("C-001"));
                  const planilha::Mapeamento m0 = c->Escolhido();
                  QCOMPARE(planilha::TextoColunas(m0),
                           std::string("codigo=A,nome=B,marca=C,valor=D"));
                  QCOMPARE(m0.linhaCabecalho, 1L);
                  QVERIFY(m0.por == planilha::Criterio::Codigo);
                  // The user leaves the brand alone: only prices come in.
                  c->cbMarca->setCurrentIndex(0);
                  QTest::keyClick(m, Qt::Key_Return);
                },
                [](QWidget* m) {
                  auto* r = qobject_cast<TRevisaoAlteracoes*>(m);
                  QVERIFY(r);
                  auto celula = [r](int l, int c) {
                    return r->Grade->model()->index(l, c).data().toString();
                  };
                  // The four items in table order, then the row naming no item.
                  QCOMPARE(r->Grade->model()->rowCount(), 5);
                  QCOMPARE(celula(0, 7), QStringLiteral("Nova"));
                  QCOMPARE(celula(0, 4), QString());
                  QCOMPARE(celula(0, 6), QStringLiteral("2,50"));
                  QCOMPARE(celula(2, 7), QStringLiteral("Recusada"));
                  QVERIFY(celula(2, 8).contains(QStringLiteral("1.234")));
                  QCOMPARE(celula(2, 9), QStringLiteral("3"));
                  QCOMPARE(celula(4, 7), QStringLiteral("Sem correspondência"));
                  QCOMPARE(celula(4, 9), QStringLiteral("4"));
                  QTest::keyClick(r->focusWidget(), Qt::Key_Return);
                }});
    Importa(a);
    QCOMPARE(ValorDe(a, 0), 2.5);
    QCOMPARE(MarcaDe(a, 0), std::string());
    QCOMPARE(ValorDe(a, 2), antes2);

    // The same layout again: the remembered choice (no brand column) is what the window offers.
    a.plataforma.arquivosAbrir.push_back(lista);
    NasJanelas({escolheAba, [](QWidget* m) {
                  auto* c = qobject_cast<TJanelaColunas*>(m);
                  QVERIFY(c);
                  QCOMPARE(planilha::TextoColunas(c->Escolhido()),
                           std::string("codigo=A,nome=B,valor=D"));
                  QTest::keyClick(m, Qt::Key_Escape);
                }});
    Importa(a);
    QCOMPARE(ValorDe(a, 0), 2.5);
  }

  // A file that cannot be used is refused with a message naming it; nothing changes and no
  // review opens.
  void arquivoRuimNadaMuda_data() {
    QTest::addColumn<QString>("nome");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("motivo");
    const std::string zip = teste::Pacote({{"xl/workbook.xml", std::string(4000, 'x')}});
    QTest::newRow("zip cortado") << "cortada.xlsx" << QByteArray::fromStdString(zip.substr(0, 60))
                                 << "";
    QTest::newRow("xls antigo") << "antiga.xls"
                                << QByteArray::fromStdString(
                                       std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) +
                                       std::string(600, '\0'))
                                << ".xlsx";
  }
  void arquivoRuimNadaMuda() {
    QFETCH(QString, nome);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, motivo);
    Ambiente a;
    a.Abre();
    const std::string caminho = a.pasta.path().toStdString() + "/" + nome.toStdString();
    teste::Grava(caminho, bytes.toStdString());
    a.plataforma.arquivosAbrir.push_back(caminho);
    const size_t antes = a.plataforma.mensagens.size();
    Importa(a);
    QCOMPARE(a.plataforma.mensagens.size(), antes + 1);
    const std::string& m = a.plataforma.mensagens.back();
    QVERIFY2(m.find(nome.toStdString()) != std::string::npos, m.c_str());
    QVERIFY2(m.find(motivo.toStdString()) != std::string::npos, m.c_str());
    QVERIFY(!a.janela->Proposta().TemAlteracoes());
  }

  // Our own sheet exported for another process is refused by name.
  void planilhaDeOutroProcesso() {
    Ambiente a;
    a.Abre();
    const std::string caminho = a.pasta.path().toStdString() + "/outro.csv";
    std::string erro;
    QVERIFY(
        planilha::ExportaArquivo(caminho, a.janela->Proposta().ClientDataSet1, "1999/0001", erro));
    a.plataforma.arquivosAbrir.push_back(caminho);
    Importa(a);
    const std::string& m = a.plataforma.mensagens.back();
    QVERIFY2(m.find("outro.csv") != std::string::npos, m.c_str());
    QVERIFY2(m.find("Exporte a planilha deste processo") != std::string::npos, m.c_str());
    QVERIFY(!a.janela->Proposta().TemAlteracoes());
  }

  // A long sheet shows the progress window; Cancelar (confirmed) stops the reading, the window
  // goes away, the main window is usable again and nothing changed.
  void leituraLongaCancelada() {
    Ambiente a;
    a.Abre();
    const std::string caminho = a.pasta.path().toStdString() + "/longa.csv";
    std::string csv =
        "C\xC3\xB3"
        "digo;Marca;Pre\xC3\xA7o\r\n";
    for (int i = 0; i < 5000; ++i) csv += "Z-" + std::to_string(i) + ";Marca;1,00\r\n";
    teste::Grava(caminho, csv);
    int mostrada = 0;
    a.plataforma.aoProcessar = [&] {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<report::forms::TDFMProgresso*>(w); p && p->isVisible()) {
          ++mostrada;
          QVERIFY(!a.janela->isEnabled());
          p->sbCancelar->click();
        }
    };
    a.plataforma.arquivosAbrir.push_back(caminho);
    NasJanelas({[](QWidget* m) { QTest::keyClick(m, Qt::Key_Return); }});  // the columns
    Importa(a);
    a.plataforma.aoProcessar = nullptr;
    QCOMPARE(mostrada, 1);
    QVERIFY(a.plataforma.caixas.back().texto.find("Cancelar") != std::string::npos);
    const std::string& m = a.plataforma.mensagens.back();
    QVERIFY2(m.find("longa.csv") != std::string::npos, m.c_str());
    QVERIFY2(m.find("cancelada") != std::string::npos, m.c_str());
    QVERIFY(a.janela->isEnabled());
    for (QWidget* w : QApplication::topLevelWidgets())
      QVERIFY(!qobject_cast<report::forms::TDFMProgresso*>(w) || !w->isVisible());
    QVERIFY(!a.janela->Proposta().TemAlteracoes());
  }

 private:
  QTemporaryDir config_;
};

QTEST_MAIN(TesteImportarPlanilha)
#include "test_importar_planilha.moc"
