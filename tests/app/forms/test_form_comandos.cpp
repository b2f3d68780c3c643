// The main window's commands driven through its buttons and keys: Gerar Arquivo refused and
// succeeding, the rewrite on close (and none after Gerar Arquivo), a malformed file, the total
// before any file, Ajuda, Ctrl+Delete, the connection points and the command-line opening.
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <chrono>
#include <filesystem>

#include "Ambiente.h"
#include "app/RegrasEntrada.h"
#include "app/forms/ModeloGrade.h"
#include "app/forms/TDBEdit.h"
#include "app/forms/TDBGrid.h"
#include "base/Erros.h"
#include "platform/AtomicFile.h"
#include "platform/qt/QtTexto.h"

using teste::Ambiente;
constexpr auto& LeArquivo = teste::Le;

namespace {

// The process file as the writer leaves it after item 1 got brand "Bic" and price 1,5 (the other
// prices read as 0; item 2 keeps its brand with the colon).
const std::string kItensDigitados =
    "<produtos>\r\n"
    "<produto>\r\n <ordem>1</ordem>\r\n <codigo>C-001</codigo>\r\n <nome>Caneta azul</nome>\r\n"
    " <descricao>Caneta esferogr\xE1"
    "fica</descricao>\r\n <marca>Bic</marca>\r\n"
    " <quantidade>10</quantidade>\r\n <valor>1,5</valor>\r\n <apuracao>1</apuracao>\r\n"
    " <lote>1</lote>\r\n</produto>\r\n"
    "<produto>\r\n <ordem>2</ordem>\r\n <codigo>C-002</codigo>\r\n <nome>L\xE1pis preto</nome>\r\n"
    " <descricao>L\xE1pis HB</descricao>\r\n <marca>Fa:ber</marca>\r\n"
    " <quantidade>2,5</quantidade>\r\n <valor>1,2</valor>\r\n <apuracao>1</apuracao>\r\n"
    " <lote>1</lote>\r\n</produto>\r\n"
    "<produto>\r\n <ordem>3</ordem>\r\n <codigo>P-010</codigo>\r\n <nome>Papel A4</nome>\r\n"
    " <descricao>Resma de 500 folhas</descricao>\r\n <marca></marca>\r\n"
    " <quantidade>4</quantidade>\r\n <valor>0</valor>\r\n <apuracao>2</apuracao>\r\n"
    " <lote>2</lote>\r\n</produto>\r\n"
    "<produto>\r\n <ordem>4</ordem>\r\n <codigo>P-011</codigo>\r\n <nome>Envelope</nome>\r\n"
    " <descricao>Envelope pardo</descricao>\r\n <marca></marca>\r\n"
    " <quantidade>1</quantidade>\r\n <valor>0</valor>\r\n <apuracao>2</apuracao>\r\n"
    " <lote>2</lote>\r\n</produto>\r\n"
    "</produtos>\r\n</processo>\r\n";
const std::string kCabecalho =
    "<processo label=\"20240007\" descricao=\"Preg\xE3o 7/2024 & material\" totalitens=\"4\">\r\n";

// Types brand "Bic" and price 1,5 for item 1 with the keyboard.
void DigitaItem1(Ambiente& a) {
  a.Digita("Bic");
  a.Tecla(Qt::Key_Return);
  a.Digita("1,5");
  a.Tecla(Qt::Key_Return);
}

}  // namespace

class TesteComandos : public QObject {
  Q_OBJECT

 private slots:
  // Lot 1 has a priced item and an unpriced one: the refusal names the lot, leaves the unpriced
  // item current, asks no name and writes nothing.
  void gerarArquivoRecusado() {
    Ambiente a;
    a.Abre();
    auto& w = *a.janela;
    w.Proposta().ClientDataSet1.Ultimo();
    QTest::mouseClick(w.BitBtn3, Qt::LeftButton);
    a.Processa();
    QCOMPARE(a.plataforma.mensagens.size(), size_t(1));
    QCOMPARE(
        a.plataforma.mensagens[0],
        std::string("Exite(m) item(ns) do lote 1 com valor zerado; preencha o valor para que o "
                    "arquivo seja gerado.\rCaso n\xE3o queira que este lote participe, exclua "
                    "todas as suas propostas."));
    QCOMPARE(w.Proposta().ClientDataSet1.NumeroLinha(), 1);
    QCOMPARE(w.DBGrid1->currentIndex().row(), 0);
    QVERIFY(a.plataforma.entradas.empty());
    QVERIFY(!w.Proposta().gerado);
    QCOMPARE(LeArquivo(a.processo), teste::ProcessoPadrao());
  }

  // With the lot priced: the company box, the proposal file beside the process file, the success
  // message, the progress bar full; closing afterwards leaves the process file alone.
  void gerarArquivoGravaPropostaEFecharNaoRegrava() {
    Ambiente a;
    a.Abre();
    auto& w = *a.janela;
    DigitaItem1(a);
    a.plataforma.respostasEntrada.push_back(std::string("ACME"));
    QTest::mouseClick(w.BitBtn3, Qt::LeftButton);
    a.Processa();
    QCOMPARE(a.plataforma.entradas.size(), size_t(1));
    QCOMPARE(a.plataforma.entradas[0].titulo, std::string("Digite o nome da empresa:"));
    QCOMPARE(a.plataforma.entradas[0].rotulo, std::string("Empresa"));
    std::string proposta = a.pasta.path().toStdString() + "/procACME.xml";
    QCOMPARE(LeArquivo(proposta),
             kCabecalho + kItensDigitados + "<fornecedor>ACME</fornecedor>\r\n");
    QCOMPARE(a.plataforma.mensagens.back(), "O arquivo foi gerado com Sucesso!\rem: " + proposta);
    QVERIFY(!w.FProgresso->isHidden());
    QCOMPARE(w.FProgresso->value(), 4);
    QCOMPARE(w.FProgresso->maximum(), 4);
    // outer height 640: the client area is 21 pixels less; the menu bar sits above it
    QCOMPARE(w.height() - w.menuBar()->sizeHint().height(), 640 - 21);
    // Resized by the user, the window takes that height again at the next Gerar Arquivo.
    w.resize(w.width(), 900);
    a.plataforma.respostasEntrada.push_back(std::string("ACME"));
    QTest::mouseClick(w.BitBtn3, Qt::LeftButton);
    a.Processa();
    QCOMPARE(w.height() - w.menuBar()->sizeHint().height(), 640 - 21);
    QVERIFY(w.close());
    QCOMPARE(LeArquivo(a.processo), teste::ProcessoPadrao());
  }

  // Cancel in the company box stops Gerar Arquivo: nothing written, no success message; an empty
  // name typed and confirmed is refused and asked again.
  void gerarComEmpresaCanceladaNaoGravaNada() {
    Ambiente a;
    a.Abre();
    DigitaItem1(a);
    a.plataforma.respostasEntrada = {std::string(""), std::nullopt};
    QTest::mouseClick(a.janela->BitBtn3, Qt::LeftButton);
    a.Processa();
    QCOMPARE(a.plataforma.entradas.size(), size_t(2));
    QCOMPARE(a.plataforma.mensagens, (std::vector<std::string>{*app::RecusaNomeEmpresa("")}));
    QCOMPARE(LeArquivo(a.processo), teste::ProcessoPadrao());
    QVERIFY(!a.janela->Proposta().gerado);
    // The typed values are still to be written by the close.
    QVERIFY(a.janela->close());
    QCOMPARE(LeArquivo(a.processo), kCabecalho + kItensDigitados);
  }

  // Generating again over an existing proposal asks first, naming it; No keeps it.
  void gerarDeNovoPerguntaAntesDeSubstituir() {
    Ambiente a;
    a.Abre();
    DigitaItem1(a);
    a.plataforma.respostasEntrada = {std::string("ACME"), std::string("ACME")};
    QTest::mouseClick(a.janela->BitBtn3, Qt::LeftButton);
    a.Processa();
    const std::string proposta = a.pasta.path().toStdString() + "/procACME.xml";
    const std::string primeira = LeArquivo(proposta);
    QVERIFY(a.plataforma.caixas.empty());
    a.plataforma.respostasCaixa = {platform::mb::IDNO};
    QTest::mouseClick(a.janela->BitBtn3, Qt::LeftButton);
    a.Processa();
    QCOMPARE(a.plataforma.caixas.size(), size_t(1));
    QVERIFY(a.plataforma.caixas[0].texto.find(proposta + "\rgravado em ") != std::string::npos);
    QVERIFY(a.plataforma.caixas[0].texto.find(", total R$ 18,00\r\rSubstituir?") !=
            std::string::npos);
    QCOMPARE(LeArquivo(proposta), primeira);
  }

  // Reopening a process whose proposal is newer offers the proposal's values.
  void abrirProcessoComPropostaMaisNova() {
    Ambiente a;
    a.Abre();
    DigitaItem1(a);
    a.plataforma.respostasEntrada = {std::string("ACME")};
    QTest::mouseClick(a.janela->BitBtn3, Qt::LeftButton);
    a.Processa();
    const std::string proposta = a.pasta.path().toStdString() + "/procACME.xml";
    std::filesystem::last_write_time(
        proposta, std::filesystem::last_write_time(proposta) + std::chrono::seconds(5));
    a.plataforma.respostasCaixa = {platform::mb::IDYES};
    a.Abre();
    QCOMPARE(a.plataforma.caixas.size(), size_t(1));
    QVERIFY(a.plataforma.caixas[0].texto.find(proposta) != std::string::npos);
    QCOMPARE(a.janela->DBEdit1->text(), QString("Bic"));
    QCOMPARE(a.janela->Edit1->text().toStdString(), a.processo);
  }

  // Closing the window rewrites the process file with what was typed, including the pending row.
  void fecharRegravaProcesso() {
    Ambiente a;
    a.Abre();
    auto& w = *a.janela;
    a.Digita("Bic");
    a.Tecla(Qt::Key_Return);
    a.Digita("1,5");  // not posted yet: the close posts it
    QVERIFY(w.close());
    QCOMPARE(LeArquivo(a.processo), kCabecalho + kItensDigitados);
    QVERIFY(a.plataforma.erros.empty());
    QVERIFY(a.plataforma.mensagens.empty());
  }

  // A price that does not convert stops the close: error box, window open, file untouched.
  void fecharComPrecoInvalidoMantemJanela() {
    Ambiente a;
    a.Abre();
    auto& w = *a.janela;
    w.DBEdit2->setFocus();
    a.Processa();
    a.Digita("1,2,3");
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    QCOMPARE(a.plataforma.erros.size(), size_t(1));
    QCOMPARE(LeArquivo(a.processo), teste::ProcessoPadrao());
  }

  // Closing with a priced lot that lacks a price would lose what was typed: the user is asked and
  // may stay; confirming closes without writing.
  void fecharRecusadoPerguntaAntesDePerder() {
    Ambiente a;
    a.Abre();
    auto& w = *a.janela;
    a.Digita("Bic");
    a.Tecla(Qt::Key_Return);
    a.Tecla(Qt::Key_Return);
    a.plataforma.respostasCaixa.push_back(platform::mb::IDNO);
    QVERIFY(!w.close());
    QVERIFY(w.isVisible());
    QCOMPARE(a.plataforma.mensagens.size(), size_t(1));  // the lot refusal
    QCOMPARE(a.plataforma.caixas.size(), size_t(1));
    QCOMPARE(a.plataforma.caixas[0].estilo,
             platform::mb::YESNO | platform::mb::ICONQUESTION | platform::mb::DEFBUTTON2);
    a.plataforma.respostasCaixa.push_back(platform::mb::IDYES);
    QVERIFY(w.close());
    QCOMPARE(LeArquivo(a.processo), teste::ProcessoPadrao());
  }

  // Opening and closing without typing writes nothing and asks nothing, also when the file cannot
  // be written.
  void fecharSemDigitarNaoGravaNemPergunta() {
    Ambiente a;
    a.Abre();
    a.Tecla(Qt::Key_Tab);
    platform::failAtomicStepForTesting(platform::AtomicStep::Rename, 1, 13);
    QVERIFY(a.janela->close());
    platform::clearAtomicFailuresForTesting();
    QVERIFY(a.plataforma.caixas.empty());
    QVERIFY(a.plataforma.erros.empty());
    QVERIFY(a.plataforma.mensagens.empty());
    QCOMPARE(LeArquivo(a.processo), teste::ProcessoPadrao());
  }

  // A rewrite on close that fails: after the error the user chooses; going back keeps the window,
  // closing without saving (confirmed) closes it, so the window can always be closed.
  void fecharComGravacaoFalhaDeixaEscolher() {
    Ambiente a;
    a.Abre();
    auto& w = *a.janela;
    DigitaItem1(a);
    for (int vez = 0; vez < 2; ++vez) {
      platform::failAtomicStepForTesting(platform::AtomicStep::Rename, 1, EIO);
      a.plataforma.respostasCaixa = {platform::mb::IDCANCEL};
      QVERIFY(!w.close());
      QVERIFY(w.isVisible());
    }
    QCOMPARE(a.plataforma.erros, (std::vector<std::string>{"I/O error 5", "I/O error 5"}));
    platform::failAtomicStepForTesting(platform::AtomicStep::Rename, 1, EIO);
    a.plataforma.respostasCaixa = {platform::mb::IDNO, platform::mb::IDYES};
    QVERIFY(w.close());
    QCOMPARE(LeArquivo(a.processo), teste::ProcessoPadrao());
  }

  // A malformed file shows the error and keeps the open process, its path and its rows.
  void arquivoMalformadoMantemTabelaECaminho() {
    Ambiente a;
    a.Abre();
    auto& w = *a.janela;
    a.Digita("Bic");
    std::string ruim = a.pasta.path().toStdString() + "/ruim.xml";
    std::string bytes = teste::ProcessoPadrao();
    bytes.replace(bytes.find("<ordem>3<"), 9, "<ordem>x3<");
    teste::Grava(ruim, bytes);
    a.plataforma.arquivosAbrir.push_back(ruim);
    a.plataforma.respostasCaixa.push_back(platform::mb::IDNO);  // do not write "Bic" yet
    QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
    a.Processa();
    QCOMPARE(a.plataforma.caixas.size(), size_t(1));
    QCOMPARE(a.plataforma.erros.size(), size_t(1));
    QCOMPARE(a.plataforma.erros[0], std::string("'x3' is not a valid integer value"));
    QCOMPARE(w.Edit1->text().toStdString(), a.processo);
    QCOMPARE(w.Proposta().ClientDataSet1.NumLinhas(), 4);
    QCOMPARE(w.DBGrid1->model()->rowCount(), 4);
    QCOMPARE(w.DBText1->text(), QString("Caneta azul"));
    QVERIFY(w.close());
    QCOMPARE(LeArquivo(ruim), bytes);
  }

  // Cancelling the open dialog changes nothing.
  void abrirCanceladoNaoMudaNada() {
    Ambiente a;
    auto& w = *a.janela;
    QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
    a.Processa();
    QCOMPARE(a.plataforma.dialogosAbrir, 1);
    QVERIFY(w.Edit1->text().isEmpty());
    QCOMPARE(w.DBGrid1->model()->rowCount(), 0);
  }

  // Before any file: the total is refused with the closed-table error, Gerar Arquivo does nothing,
  // closing writes nothing.
  void comandosSemArquivo() {
    Ambiente a;
    auto& w = *a.janela;
    QTest::mouseClick(w.btn1, Qt::LeftButton);
    a.Processa();
    QCOMPARE(a.plataforma.erros.size(), size_t(1));
    QCOMPARE(a.plataforma.erros[0],
             std::string("Cannot perform this operation on a closed dataset"));
    QCOMPARE(w.btn1->text(), QString("Valor Total da Proposta"));
    QTest::mouseClick(w.BitBtn3, Qt::LeftButton);
    a.Processa();
    QVERIFY(a.plataforma.entradas.empty());
    QVERIFY(a.plataforma.mensagens.empty());
    QVERIFY(w.close());
  }

  // Ajuda hands the help address to the desktop each time it is pressed: the user guide, a PDF
  // on the disk (here the one built beside the program).
  void ajudaAbreEnderecoACadaClique() {
    Ambiente a;
    QTest::mouseClick(a.janela->BitBtn4, Qt::LeftButton);
    QTest::mouseClick(a.janela->BitBtn4, Qt::LeftButton);
    QCOMPARE(a.plataforma.urls.size(), size_t(2));
    QCOMPARE(a.plataforma.urls[0], a.plataforma.urls[1]);
    const QUrl url(QString::fromStdString(a.plataforma.urls[0]));
    QVERIFY2(url.isLocalFile(), a.plataforma.urls[0].c_str());
    QVERIFY(url.path().endsWith("/Arquivos/Ajuda/programa_proposta_fornecedor.pdf"));
    QFile guia(url.toLocalFile());
    QVERIFY2(guia.open(QIODevice::ReadOnly), qPrintable(guia.fileName()));
    QCOMPARE(guia.read(5), QByteArray("%PDF-"));
    QVERIFY(a.plataforma.mensagens.empty());
    // No handler opens it: the user is told so, with the address to copy.
    a.plataforma.abreEnderecos = false;
    QTest::mouseClick(a.janela->BitBtn4, Qt::LeftButton);
    QCOMPARE(a.plataforma.mensagens.size(), size_t(1));
    QVERIFY(a.plataforma.mensagens[0].find("\r\r" + a.plataforma.urls[0]) != std::string::npos);
  }

  // Enter on a focused button presses it: "&Abrir Processo" has the focus at start.
  void enterNoBotaoPressiona() {
    Ambiente a;
    auto& w = *a.janela;
    QCOMPARE(Ambiente::Foco(), w.BitBtn1);
    a.plataforma.arquivosAbrir.push_back(a.processo);
    a.Tecla(Qt::Key_Return);
    QCOMPARE(a.plataforma.dialogosAbrir, 1);
    QCOMPARE(w.Edit1->text().toStdString(), a.processo);
    w.BitBtn4->setFocus();
    a.Processa();
    a.Tecla(Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(a.plataforma.urls.size(), size_t(1));
    a.Tecla(Qt::Key_Return, Qt::ControlModifier);  // with a modifier it is not a press
    QCOMPARE(a.plataforma.urls.size(), size_t(1));
  }

  // Ctrl+Delete asks "Delete record?" (OK/Cancel): Cancel keeps the row, OK deletes it and the
  // next item becomes current; the deleted item is missing from the rewritten file.
  void ctrlDeleteCanceladoEConfirmado() {
    Ambiente a;
    a.Abre();
    auto& w = *a.janela;
    auto& t = w.Proposta().ClientDataSet1;
    w.DBGrid1->setFocus();
    a.Processa();
    a.Tecla(Qt::Key_Down);
    QCOMPARE(t.NumeroLinha(), 2);
    a.plataforma.respostasCaixa.push_back(platform::mb::IDCANCEL);
    a.Tecla(Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(a.plataforma.caixas.size(), size_t(1));
    QCOMPARE(a.plataforma.caixas[0].texto, std::string("Delete record?"));
    QCOMPARE(a.plataforma.caixas[0].estilo, platform::mb::OKCANCEL | platform::mb::ICONQUESTION);
    QCOMPARE(t.NumLinhas(), 4);
    a.plataforma.respostasCaixa.push_back(platform::mb::IDOK);
    a.Tecla(Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(t.NumLinhas(), 3);
    QCOMPARE(w.DBGrid1->model()->rowCount(), 3);
    QCOMPARE(t.ComoInteiro(app::Campo::ordem), 3);
    QCOMPARE(w.DBGrid1->currentIndex().row(), 1);
    QCOMPARE(w.windowTitle(), platform::toQString("Digita\xE7\xE3o de Proposta - Item 3 de 3"));
    a.Tecla(Qt::Key_Delete);  // without Ctrl nothing happens
    QCOMPARE(t.NumLinhas(), 3);
    QVERIFY(w.close());
    std::string escrito = LeArquivo(a.processo);
    QVERIFY(escrito.find("totalitens=\"3\"") != std::string::npos);
    QVERIFY(escrito.find("<ordem>2</ordem>") == std::string::npos);
  }

  // "Relatório" and "&Assinar Docum. Dig." call their connection points; an error they raise
  // goes to the error box.
  void relatorioEAssinarChamamPontosDeLigacao() {
    Ambiente a;
    auto& w = *a.janela;
    int relatorios = 0;
    w.aoRelatorio = [&] { ++relatorios; };
    w.aoAssinar = [] { throw base::EInOutError("I/O error 5", 5); };
    QTest::mouseClick(w.BitBtn2, Qt::LeftButton);
    QTest::mouseClick(w.BitBtn5, Qt::LeftButton);
    QCOMPARE(relatorios, 1);
    QCOMPARE(a.plataforma.erros, (std::vector<std::string>{"I/O error 5"}));
  }

  // A file named on the command line opens as if chosen with "&Abrir Processo"; a missing one
  // shows the error box and leaves the window empty.
  void abrirPelaLinhaDeComando() {
    Ambiente a;
    auto& w = *a.janela;
    w.AbrirArquivo(a.pasta.path().toStdString() + "/nao-existe.xml");
    a.Processa();
    QCOMPARE(a.plataforma.erros, (std::vector<std::string>{"File not found"}));
    QVERIFY(w.Edit1->text().isEmpty());
    w.AbrirArquivo(a.processo);
    a.Processa();
    QCOMPARE(w.Edit1->text().toStdString(), a.processo);
    QCOMPARE(Ambiente::Foco(), w.DBEdit1);
    QCOMPARE(a.plataforma.dialogosAbrir, 0);
  }
};

QTEST_MAIN(TesteComandos)
#include "test_form_comandos.moc"
