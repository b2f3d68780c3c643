#include "app/Proposta.h"

#include <filesystem>

#include "app/ArquivosProposta.h"
#include "app/PastaProcessos.h"
#include "app/RegrasEntrada.h"
#include "base/Erros.h"
#include "base/Formato.h"
#include "platform/CodePage.h"
#include "platform/Platform.h"
#include "platform/ReadFile.h"

namespace app {

namespace {

// A warning box: the user reads it and goes on.
void Avisa(const std::string& texto) {
  platform::current().messageBox(texto, "Aviso", platform::mb::OK | platform::mb::ICONEXCLAMATION);
}

}  // namespace

TProposta::TProposta() {
  ConfiguraRDprint1(RDprint1);
  ClientDataSet1.aoMudarDados = [this] { DataSource1DataChange(); };
  ClientDataSet1.aoAtualizarDados = [this] { DataSource1UpdateData(); };
  ClientDataSet1.aoGravar = [this] { recuperacao_.LinhaGravada(ClientDataSet1); };
  ClientDataSet1.aoApagar = [this] { recuperacao_.LinhaApagada(ClientDataSet1); };
}

void TProposta::FormCreate() {
  PedeAltura(700);
  gerado = false;
}

void TProposta::BitBtn1Click() {
  platform::FileDialogOptions dialogo{"", "*.xml|*.xml", "", "", 0};
  const PastaInicial inicio = PastaInicialAbrir(edit1);
  if (inicio.aviso) Avisa(*inicio.aviso);
  dialogo.folder = inicio.pasta;
  auto escolhido = platform::current().chooseFileToOpen(dialogo);
  if (!escolhido || escolhido->empty()) return;
  bool descarta = false;
  if (TemAlteracoes()) {
    int r = platform::current().messageBox(
        "As marcas e os pre\xE7os digitados ainda n\xE3o foram gravados em:\r" +
            platform::utf8ToCp1252(edit1) + "\r\rGravar antes de abrir outro processo?",
        "Confirmar", platform::mb::YESNOCANCEL | platform::mb::ICONQUESTION);
    if (r == platform::mb::IDCANCEL) return;
    if (r == platform::mb::IDYES && FormClose() == Fechamento::Recusado) return;
    descarta = r == platform::mb::IDNO;
  }
  AbrirNaJanela(*escolhido, descarta);
}

void TProposta::AbrirNaJanela(const std::string& caminho, bool descartaDigitado) {
  AbrirProcesso(caminho, descartaDigitado);
  // A folder that cannot be remembered costs only the next run's first dialog: said once a run.
  if (auto falha = LembraPastaProcesso(caminho); falha && !pastaNaoLembrada_) {
    pastaNaoLembrada_ = true;
    Avisa(*falha);
  }
  std::string bytes;
  platform::ReadError erro;
  if (platform::readRegularFile(caminho, kLimiteArquivoProcesso, bytes, erro) && TextoUtf8(bytes))
    platform::current().messageBox(
        "O arquivo do processo est\xE1 gravado em UTF-8, e n\xE3o em Windows-1252:\r" +
            platform::utf8ToCp1252(caminho) +
            "\r\rAs letras acentuadas v\xE3o aparecer erradas (\"\xC3\xA7\" em vez de "
            "\"\xE7\"). Pe\xE7"
            "a ao \xF3rg\xE3o o arquivo original do processo.",
        "Aviso", platform::mb::OK | platform::mb::ICONEXCLAMATION);
  OferecePropostaMaisRecente(caminho);
}

// A proposal generated from this process and newer than it holds values typed after the process
// file was last written: the user may take them instead of the process file's.
void TProposta::OferecePropostaMaisRecente(const std::string& caminho) {
  auto proposta = PropostaMaisRecente(caminho);
  if (!proposta) return;
  int r = platform::current().messageBox(
      "Existe um arquivo de proposta deste processo mais recente que ele:\r" +
          DescreveArquivoProposta(*proposta) +
          "\r\rOs valores digitados por \xFAltimo est\xE3o na proposta. Abrir os valores da "
          "proposta em vez dos do processo?",
      "Confirmar", platform::mb::YESNO | platform::mb::ICONQUESTION);
  if (r != platform::mb::IDYES) return;
  TTabelaItens lida;
  LerProcesso(*proposta, lida);
  ClientDataSet1.TrocaConteudo(lida);
  // The process file does not hold these values yet: closing writes them into it.
  alteracoesGravadas_ = -1;
}

bool TProposta::TemAlteracoes() const {
  return !edit1.empty() && !gerado && ClientDataSet1.Alteracoes() != alteracoesGravadas_;
}

bool TProposta::ConfirmaFecharSemGravar() {
  int r = platform::current().messageBox(
      "As marcas e os pre\xE7os digitados n\xE3o foram gravados no arquivo do processo.\r"
      "Fechar mesmo assim e perder o que foi digitado?",
      "Confirmar", platform::mb::YESNO | platform::mb::ICONQUESTION | platform::mb::DEFBUTTON2);
  if (r != platform::mb::IDYES) return false;
  recuperacao_.Descartado();
  return true;
}

void TProposta::AbrirProcesso(const std::string& caminho, bool descartaDigitado) {
  TTabelaItens lida;
  CabecalhoProcesso cab = LerProcesso(caminho, lida);
  // The whole file was read: only now does anything the window shows change.
  if (cab.cotacao) label2 = "Cota\xE7\xE3o:";
  label5 = cab.label5;
  memo2 = cab.descricao;
  totalItens = cab.totalItens;
  edit1 = caminho;
  // Every row loaded changed the data, so the criterion is the one of the last row read that has
  // one; the first row, made current below, has the last word.
  if (auto criterio = TextoCriterio(cab.ultimoCriterio)) label6 = *criterio;
  ClientDataSet1.TrocaConteudo(lida);
  alteracoesGravadas_ = ClientDataSet1.Alteracoes();
  // What a run that did not write it left typed comes back here, as changes still to write.
  if (descartaDigitado) recuperacao_.Descartado();
  recuperacao_.ProcessoAberto(caminho, ClientDataSet1);
}

bool TProposta::VerificaValorZerado() {
  TTabelaItens& t = ClientDataSet1;
  t.Primeiro();
  while (!t.Fim()) {
    // Rows without a lot take no part in the check; every named lot is checked.
    if (t.ComoTexto(Campo::lote).empty()) {
      t.Proximo();
      continue;
    }
    bool semPreco = t.Nulo(Campo::valor) || t.ComoDouble(Campo::valor) == 0.0;
    auto soma = t.Agregado(Campo::totallote);
    if (soma && *soma != 0.0 && semPreco) {
      platform::current().showMessage(
          "Exite(m) item(ns) do lote " + t.ComoTexto(Campo::lote) +
          " com valor zerado; preencha o valor para que o arquivo seja gerado.\r"
          "Caso n\xE3o queira que este lote participe, exclua todas as suas propostas.");
      return true;
    }
    t.Proximo();
  }
  return false;
}

void TProposta::MostraProgresso() {
  progresso = BarraProgresso{0, ClientDataSet1.NumLinhas(), 0, 1, true};
  if (aoMudarProgresso) aoMudarProgresso();
}

void TProposta::PassoProgresso() {
  progresso.posicao = std::min(progresso.maximo, progresso.posicao + progresso.passo);
  if (aoMudarProgresso) aoMudarProgresso();
}

TProposta::Geracao TProposta::BitBtn3Click() {
  if (edit1.empty()) return Geracao::NadaAberto;
  PedeAltura(640);
  if (VerificaValorZerado()) return Geracao::Recusada;
  // A refused name is explained and asked again, holding what was typed; Cancel stops.
  std::string empresa;
  for (;;) {
    if (!platform::current().inputQuery("Digite o nome da empresa:", "Empresa", empresa))
      return Geracao::Cancelada;
    auto recusa = RecusaNomeEmpresa(empresa);
    if (!recusa) break;
    platform::current().showMessage(*recusa);
  }
  try {
    return Gera(empresa, Substituicao::Pergunta);
  } catch (const base::EInOutError& e) {
    return GeraEmOutraPasta(empresa, e);
  }
}

// The proposal file could not be written: the file and the reason, and the choice of another
// folder (asked again while writing there fails too).
TProposta::Geracao TProposta::GeraEmOutraPasta(const std::string& empresa,
                                               const base::EInOutError& erro) {
  platform::Platform& tela = platform::current();
  std::string caminho = CaminhoProposta(edit1, empresa);
  std::string motivo = MotivoFalhaGravacao(erro);
  for (;;) {
    int r = tela.messageBox(
        "O arquivo da proposta n\xE3o p\xF4"
        "de ser gravado:\r" +
            platform::utf8ToCp1252(caminho) + "\r" + motivo +
            ".\r\rGravar a proposta em outra pasta?",
        "Confirmar", platform::mb::YESNO | platform::mb::ICONQUESTION);
    if (r != platform::mb::IDYES) return Geracao::Cancelada;
    auto destino = tela.saveFileDialog("Gravar a proposta em", "*.xml|*.xml", "*.xml",
                                       SugestaoEmPastaGravavel(caminho));
    if (!destino || destino->empty()) return Geracao::Cancelada;
    try {
      return GravaProposta(*destino, empresa, Substituicao::Pergunta);
    } catch (const base::EInOutError& e) {
      caminho = *destino;
      motivo = MotivoFalhaGravacao(e);
    }
  }
}

TProposta::Geracao TProposta::GerarArquivo(const std::string& empresa, bool substitui) {
  if (edit1.empty()) return Geracao::NadaAberto;
  PedeAltura(640);
  if (VerificaValorZerado()) return Geracao::Recusada;
  return Gera(empresa, substitui ? Substituicao::Substitui : Substituicao::Mantem);
}

TProposta::Geracao TProposta::Gera(const std::string& empresa, Substituicao s) {
  if (auto recusa = RecusaNomeEmpresa(empresa)) {
    platform::current().showMessage(*recusa);
    return Geracao::NomeRecusado;
  }
  return GravaProposta(CaminhoProposta(edit1, empresa), empresa, s);
}

// An existing proposal file is named with its date and total before it is replaced; No is the
// default.
bool TProposta::ConfirmaSubstituir(const std::string& caminho, Substituicao s) {
  std::error_code ec;
  if (s == Substituicao::Substitui || !std::filesystem::exists(caminho, ec)) return true;
  if (s == Substituicao::Mantem) {
    platform::current().showMessage("J\xE1 existe o arquivo da proposta:\r" +
                                    DescreveArquivoProposta(caminho) +
                                    "\rEle foi mantido; nada foi gravado.");
    return false;
  }
  return platform::current().messageBox("J\xE1 existe o arquivo da proposta:\r" +
                                            DescreveArquivoProposta(caminho) + "\r\rSubstituir?",
                                        "Confirmar",
                                        platform::mb::YESNO | platform::mb::ICONQUESTION |
                                            platform::mb::DEFBUTTON2) == platform::mb::IDYES;
}

// Writes the proposal file at caminho (after the confirmation to replace it), sets the generated
// flag and shows the success message.
TProposta::Geracao TProposta::GravaProposta(const std::string& caminho, const std::string& empresa,
                                            Substituicao s) {
  if (!ConfirmaSubstituir(caminho, s)) return Geracao::Cancelada;
  ClientDataSet1.Primeiro();
  MostraProgresso();
  auto escrito = EscreveDocumento(caminho, ClientDataSet1, label5, memo2, empresa,
                                  [this] { PassoProgresso(); });
  // The file is in place, also when its folder could not be synced: that is only a warning.
  gerado = true;
  recuperacao_.ArquivoGravado();
  ultimaProposta_ = caminho;
  platform::current().showMessage("O arquivo foi gerado com Sucesso!\rem: " +
                                  platform::utf8ToCp1252(caminho));
  AvisaSeNaoDuravel(caminho, escrito);
  return Geracao::Gerado;
}

TProposta::Fechamento TProposta::FormClose() {
  if (edit1.empty() || gerado) return Fechamento::NadaAFazer;
  PedeAltura(640);
  if (VerificaValorZerado()) return Fechamento::Recusado;
  Regrava(edit1);
  return Fechamento::Regravado;
}

// Writes the process document (no fornecedor line) to caminho, from the first row to the last.
void TProposta::Regrava(const std::string& caminho) {
  ClientDataSet1.Primeiro();
  MostraProgresso();
  auto escrito = EscreveDocumento(caminho, ClientDataSet1, label5, memo2, std::nullopt,
                                  [this] { PassoProgresso(); });
  alteracoesGravadas_ = ClientDataSet1.Alteracoes();
  if (caminho == edit1) recuperacao_.ArquivoGravado();
  AvisaSeNaoDuravel(caminho, escrito);
}

// A file written whose folder could not be synced: kept as the value and shown as a warning box.
void TProposta::AvisaSeNaoDuravel(const std::string& caminho, const platform::WriteResult& r) {
  aviso_.clear();
  if (r.durable()) return;
  aviso_ = platform::durabilityWarning(caminho, r.durabilityError);
  platform::current().messageBox(aviso_, "Aviso", platform::mb::OK | platform::mb::ICONEXCLAMATION);
}

// The rewrite on close, and the user's choice when it is refused or fails.
bool TProposta::PodeFechar() {
  // Nothing typed since the file was read or written: nothing to write, nothing to lose.
  if (!TemAlteracoes()) return true;
  try {
    if (FormClose() == Fechamento::Recusado) return ConfirmaFecharSemGravar();
    return true;
  } catch (const base::EInOutError& e) {
    platform::current().showApplicationError(e.Mensagem());
  }
  return DecideAposFalhaAoFechar();
}

// After the rewrite on close failed: another file (the save dialog), closing without saving
// (confirmed) or going back to the window. An answer that does not end in closing goes back to
// the window, where closing again asks again.
bool TProposta::DecideAposFalhaAoFechar() {
  platform::Platform& tela = platform::current();
  int r = tela.messageBox(
      "O arquivo do processo n\xE3o p\xF4"
      "de ser gravado:\r" +
          platform::utf8ToCp1252(edit1) +
          "\r\rGravar o processo em outro arquivo?\r"
          "Sim: escolher o arquivo. N\xE3o: fechar sem gravar. Cancelar: voltar \xE0 janela.",
      "Confirmar", platform::mb::YESNOCANCEL | platform::mb::ICONQUESTION);
  if (r == platform::mb::IDNO) return ConfirmaFecharSemGravar();
  if (r != platform::mb::IDYES) return false;
  auto destino = tela.saveFileDialog("Gravar o processo em", "*.xml|*.xml", "*.xml",
                                     SugestaoEmPastaGravavel(edit1));
  if (!destino || destino->empty()) return false;
  try {
    Regrava(*destino);
    // What was typed is safe in the other file: the journal of this process is settled.
    recuperacao_.ArquivoGravado();
    return true;
  } catch (const base::EInOutError& e) {
    tela.showApplicationError(e.Mensagem());
    return false;
  }
}

Contagem TProposta::TotalProposta() const { return TotalDaTabela(ClientDataSet1); }

void TProposta::btn1Click() {
  TTabelaItens& t = ClientDataSet1;
  int n = t.ComoInteiro(Campo::ordem);  // raises on a closed table, before anything changes
  t.Primeiro();
  Contagem total = TotalProposta();
  btn1 = "Vr. Total da Prop.: R$ " + FormataDinheiro(total);
  t.Primeiro();
  if (n > 1) t.MovePor(n - 1);
  if (aoMudarDados) aoMudarDados();
}

void TProposta::BitBtn2Click(const std::string& licitante, const std::string& cnpj) {
  TListagem listagem(RDprint1, ClientDataSet1);
  listagem.Label5Caption = label5;
  listagem.Licitante = licitante;
  listagem.CNPJ = cnpj;
  listagem.ProgressBar1 = &progresso;
  listagem.aoMudarProgresso = aoMudarProgresso;
  try {
    listagem.BitBtn2Click();
  } catch (...) {
    linhaListagem = listagem.linha;
    paginaListagem = listagem.pagina;
    throw;
  }
  linhaListagem = listagem.linha;
  paginaListagem = listagem.pagina;
}

void TProposta::DataSource1DataChange() {
  const TTabelaItens& t = ClientDataSet1;
  if (t.Aberta()) {
    if (auto criterio = TextoCriterio(t.ComoTexto(Campo::apuracao))) label6 = *criterio;
    titulo = "Digita\xE7\xE3o de Proposta - Item " + t.ComoTexto(Campo::ordem) + " de " +
             std::to_string(t.NumLinhas());
  }
  if (aoMudarDados) aoMudarDados();
}

void TProposta::DataSource1UpdateData() {
  btn1 = "Valor Total da Proposta";
  if (aoEscreverControles) aoEscreverControles();
}

}  // namespace app
