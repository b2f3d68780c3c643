#include "app/RecuperacaoDigitacao.h"

#include <cerrno>
#include <filesystem>

#include "base/Erros.h"
#include "base/Formato.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/Platform.h"
#include "platform/ReadFile.h"
#include "platform/UserFolders.h"

namespace app {

namespace {

// A journal larger than this is not one of ours (a fully typed 100,000-item process twice over is
// about 20 MB).
constexpr size_t kLimiteDiario = size_t{256} << 20;

// The file's absolute path with its links resolved, so every way of naming it finds one journal.
std::string Absoluto(const std::string& caminho) {
  std::error_code e;
  std::filesystem::path a = std::filesystem::absolute(caminho, e);
  if (e) return caminho;
  std::filesystem::path c = std::filesystem::weakly_canonical(a, e);
  return (e ? a.lexically_normal() : c).string();
}

// "dd/mm/yyyy HH:MM" of a moment.
std::string DataHora(int64_t momento) {
  base::DataHora d = platform::dateTimeOf(static_cast<std::time_t>(momento));
  return base::FormataData(d) + " " + base::FormataHora(d);
}

// " em dd/mm/yyyy HH:MM" of the journal's last record; empty when it has none.
std::string EmData(const ConteudoDiario& d) {
  return d.registros.empty() ? std::string() : " em " + DataHora(d.registros.back().momento);
}

// Shows a warning box.
void Aviso(const std::string& texto) {
  platform::current().messageBox(texto, "Aviso", platform::mb::OK | platform::mb::ICONEXCLAMATION);
}

// Runs on leaving a scope.
template <typename F>
struct AoSair {
  F f;
  ~AoSair() { f(); }
};
template <typename F>
AoSair(F) -> AoSair<F>;

}  // namespace

// Looks for the journal a run that did not write left, offers or reports it, then starts ours.
void TRecuperacaoDigitacao::ProcessoAberto(const std::string& caminho, TTabelaItens& tabela) {
  arquivo_.close();
  pendentes_.clear();
  desligado_ = false;
  erroAbertura_ = 0;
  falha_ = 0;
  processo_ = Absoluto(caminho);
  if (platform::stampOf(processo_, carimbo_) != 0) carimbo_ = {};
  pasta_ = platform::userDataFolder();
  caminho_ = pasta_.empty() ? std::string() : pasta_ + "/" + NomeDiario(processo_);
  if (caminho_.empty()) return;  // said at the first post

  // A journal left by a run that did not write what was typed.
  int erro = arquivo_.open(caminho_);
  if (erro == ENOENT || erro == ENOTDIR) return;  // none (the folder may not even be there)
  if (erro == EWOULDBLOCK) {
    desligado_ = true;
    AvisaOutraJanela();
    return;
  }
  std::string bytes;
  platform::ReadError leitura;
  if (!erro && !platform::readRegularFile(caminho_, kLimiteDiario, bytes, leitura))
    erro = leitura.code ? leitura.code : EISDIR;
  if (erro) {
    // Whether a journal is there cannot be told: nothing is touched, and the first post says so.
    arquivo_.close();
    erroAbertura_ = erro;
    return;
  }
  ConteudoDiario d = LeDiario(bytes);
  if (d.estado == ConteudoDiario::Estado::Vazio ||
      (d.estado == ConteudoDiario::Estado::Valido && d.registros.empty())) {
    // Nothing typed in it (a crash while it was being created): it goes.
    platform::removeFile(caminho_);
    arquivo_.close();
    return;
  }
  std::vector<int> posicoes;
  if (d.estado == ConteudoDiario::Estado::Danificado) {
    Reporta(d, "o registro de recupera\xE7\xE3o est\xE1 danificado", "danificado");
    return;
  }
  if (d.caminho != processo_) {
    Reporta(d, "eles s\xE3o de outro arquivo (" + platform::utf8ToCp1252(d.caminho) + ")",
            "nao-confere");
    return;
  }
  if (!(d.carimbo == carimbo_)) {
    Reporta(d, "o arquivo foi alterado depois que eles foram digitados", "nao-confere");
    return;
  }
  if (std::string motivo = Confere(d, tabela, posicoes); !motivo.empty()) {
    Reporta(d, motivo, "nao-confere");
    return;
  }
  int r = platform::current().messageBox(
      "Foram encontradas marcas e pre\xE7os digitados em " + DataHora(d.registros.back().momento) +
          " que n\xE3o foram gravados. Recuperar?",
      "Confirmar", platform::mb::YESNO | platform::mb::ICONQUESTION);
  if (r != platform::mb::IDYES) {
    // Kept aside, never deleted; a new journal starts with the next post.
    if (int e = PoeDeLado("nao-recuperado")) {
      desligado_ = true;
      Falhou(e);
    }
    return;
  }
  // The records stay and the journal goes on after them (a torn last record is cut off).
  arquivo_.keepOnly(static_cast<off_t>(d.bytesValidos));
  Aplica(d, posicoes, tabela);
}

// Keeps the posted row's brand and price, with where the row is.
void TRecuperacaoDigitacao::LinhaGravada(const TTabelaItens& tabela) {
  if (aplicando_ || desligado_ || processo_.empty()) return;
  RegistroDiario r;
  r.tipo = RegistroDiario::Tipo::Gravado;
  r.momento = platform::nowSeconds();
  r.posicao = tabela.NumeroLinha() - 1;
  if (!tabela.Nulo(Campo::ordem)) r.ordem = tabela.ComoInteiro(Campo::ordem);
  r.codigo = tabela.ComoTexto(Campo::codigo);
  r.marca = tabela.ComoTexto(Campo::marca);
  if (!tabela.Nulo(Campo::valor)) r.valor = tabela.ComoDouble(Campo::valor);
  Registra(r);
}

// Keeps the deletion of the current row.
void TRecuperacaoDigitacao::LinhaApagada(const TTabelaItens& tabela) {
  if (aplicando_ || desligado_ || processo_.empty()) return;
  RegistroDiario r;
  r.tipo = RegistroDiario::Tipo::Apagado;
  r.momento = platform::nowSeconds();
  r.posicao = tabela.NumeroLinha() - 1;
  if (!tabela.Nulo(Campo::ordem)) r.ordem = tabela.ComoInteiro(Campo::ordem);
  r.codigo = tabela.ComoTexto(Campo::codigo);
  Registra(r);
}

// Holds the records back until the block ends.
void TRecuperacaoDigitacao::IniciaBloco() {
  emBloco_ = true;
  bloco_.clear();
}

// Writes the block's records at once.
void TRecuperacaoDigitacao::TerminaBloco() {
  emBloco_ = false;
  if (bloco_.empty()) return;
  pendentes_ += CodificaBloco(bloco_, bloco_.back().momento);
  bloco_.clear();
  Escreve();
}

// Removes the journal after a clean write and takes the file's new stamp.
void TRecuperacaoDigitacao::ArquivoGravado() {
  if (processo_.empty()) return;
  pendentes_.clear();
  if (arquivo_.isOpen()) {
    int erro = platform::removeFile(arquivo_.path());
    arquivo_.close();
    if (erro) Falhou(erro);
  }
  // The next records apply to the file as it is now (the rewrite changed its stamp).
  platform::stampOf(processo_, carimbo_);
}

// Puts the journal aside when the user chose to lose the typing.
void TRecuperacaoDigitacao::Descartado() {
  pendentes_.clear();
  if (!arquivo_.isOpen()) return;
  if (int e = PoeDeLado("descartado")) {
    desligado_ = true;
    Falhou(e);
  }
}

// Queues a record and tries to put everything queued on the disk (in a block, at its end).
void TRecuperacaoDigitacao::Registra(const RegistroDiario& r) {
  if (emBloco_) {
    bloco_.push_back(r);
    return;
  }
  pendentes_ += CodificaRegistro(r);
  Escreve();
}

// Appends the queued records to the journal (creating it, with its folder, at the first post);
// on failure they stay queued for the next post, and the user is told once.
void TRecuperacaoDigitacao::Escreve() {
  if (caminho_.empty() || erroAbertura_) {
    Falhou(erroAbertura_);
    return;
  }
  if (!arquivo_.isOpen()) {
    int erro = platform::makeFolders(pasta_);
    if (!erro) erro = arquivo_.create(caminho_, CodificaCabecalho(processo_, carimbo_));
    if (erro == EEXIST) {
      // Another window of the program started this process's journal after we opened it.
      desligado_ = true;
      pendentes_.clear();
      AvisaOutraJanela();
      return;
    }
    if (erro) {
      Falhou(erro);
      return;
    }
  }
  if (int erro = arquivo_.append(pendentes_)) {
    Falhou(erro);
    return;
  }
  pendentes_.clear();
  falha_ = 0;
}

// Records a failure to keep the journal, and tells the user the first time in this run.
void TRecuperacaoDigitacao::Falhou(int erro) {
  falha_ = erro ? erro : ENOENT;
  if (avisado_) return;
  avisado_ = true;
  std::string onde =
      caminho_.empty()
          ? std::string("n\xE3o h\xE1 pasta de dados do usu\xE1rio (defina HOME ou XDG_DATA_HOME)")
          : base::ErroDeArquivo(falha_).Mensagem() + ":\r" + platform::utf8ToCp1252(caminho_);
  Aviso(
      "N\xE3o foi poss\xEDvel guardar as marcas e os pre\xE7os digitados para recupera\xE7\xE3o ("
      "" +
      onde +
      ").\rA digita\xE7\xE3o continua, mas numa falta de energia ou falha do programa o que foi "
      "digitado desde a \xFAltima grava\xE7\xE3o se perde. Libere espa\xE7o no disco ou corrija "
      "a pasta; o programa tenta de novo a cada item, e tudo fica gravado ao fechar a janela ou "
      "em Gerar Arquivo.");
}

// Tells the user that another window keeps this process's journal, so this one keeps none.
void TRecuperacaoDigitacao::AvisaOutraJanela() {
  Aviso(
      "O processo tamb\xE9m est\xE1 aberto em outra janela do programa, que guarda para "
      "recupera\xE7\xE3o as marcas e os pre\xE7os digitados nele em:\r" +
      platform::utf8ToCp1252(caminho_) +
      "\rO que for digitado nesta janela n\xE3o \xE9 guardado para recupera\xE7\xE3o; feche uma "
      "das janelas, para que uma n\xE3o grave o arquivo por cima da outra.");
}

// A journal that does not match the process: put aside under a name that says so, and reported
// with where it is kept.
void TRecuperacaoDigitacao::Reporta(const ConteudoDiario& d, const std::string& motivo,
                                    const char* nomeMotivo) {
  std::string onde = caminho_;
  if (PoeDeLado(nomeMotivo) == 0)
    onde = deLado_;
  else
    desligado_ = true;  // it stays where the new journal would go
  arquivo_.close();
  Aviso("As marcas e os pre\xE7os digitados" + EmData(d) +
        " que n\xE3o foram gravados n\xE3o conferem com o arquivo do processo: " + motivo +
        ".\rEles n\xE3o foram aplicados e est\xE3o guardados em:\r" + platform::utf8ToCp1252(onde) +
        "\rConfira os itens e digite-os de novo; esse arquivo pode ser lido num editor de texto.");
}

// Renames the journal aside without replacing anything (and closes it); 0 or the errno.
int TRecuperacaoDigitacao::PoeDeLado(const char* motivo) {
  std::string nome = caminho_.substr(caminho_.find_last_of('/') + 1);
  int64_t agora = platform::nowSeconds();
  int erro = EEXIST;
  for (int tentativa = 1; erro == EEXIST && tentativa <= 100; ++tentativa) {
    std::string destino = pasta_ + "/" + NomeDeLado(nome, motivo, agora, tentativa);
    erro = platform::renameWithoutReplacing(caminho_, destino);
    if (!erro) deLado_ = destino;
  }
  if (!erro) arquivo_.close();
  return erro;
}

// Finds the row of every record, in order (a deletion moves the rows after it); a text saying
// which record has no row in the table, or empty when all have one.
std::string TRecuperacaoDigitacao::Confere(const ConteudoDiario& d, const TTabelaItens& tabela,
                                           std::vector<int>& posicoes) const {
  struct Chave {
    std::optional<int32_t> ordem;
    std::string codigo;
  };
  std::vector<Chave> linhas;
  linhas.reserve(static_cast<size_t>(tabela.NumLinhas()));
  for (int i = 0; i < tabela.NumLinhas(); ++i) {
    const auto& l = tabela.Linha(i);
    linhas.push_back({l.ordem, std::string(l.codigo)});
  }
  posicoes.clear();
  for (const RegistroDiario& r : d.registros) {
    auto igual = [&](size_t i) {
      return linhas[i].ordem == r.ordem && linhas[i].codigo == r.codigo;
    };
    // The row where it was; failing that, the one row with its ordem and codigo.
    int achada = -1;
    if (static_cast<size_t>(r.posicao) < linhas.size() && igual(static_cast<size_t>(r.posicao))) {
      achada = r.posicao;
    } else {
      int vezes = 0;
      for (size_t i = 0; i < linhas.size(); ++i)
        if (igual(i)) {
          achada = static_cast<int>(i);
          ++vezes;
        }
      if (vezes != 1)
        return "o item de ordem " + (r.ordem ? std::to_string(*r.ordem) : std::string("vazia")) +
               " e c\xF3"
               "digo \"" +
               r.codigo + "\" n\xE3o est\xE1 no arquivo";
    }
    posicoes.push_back(achada);
    if (r.tipo == RegistroDiario::Tipo::Apagado) linhas.erase(linhas.begin() + achada);
  }
  return {};
}

// Applies the records to their rows through the table's edit cycle, as the user typed them.
void TRecuperacaoDigitacao::Aplica(const ConteudoDiario& d, const std::vector<int>& posicoes,
                                   TTabelaItens& tabela) {
  aplicando_ = true;
  AoSair fim{[this] { aplicando_ = false; }};
  for (size_t k = 0; k < d.registros.size(); ++k) {
    const RegistroDiario& r = d.registros[k];
    tabela.IrParaLinha(posicoes[k] + 1);
    if (r.tipo == RegistroDiario::Tipo::Apagado) {
      tabela.Apaga();
      continue;
    }
    tabela.Edita();
    tabela.AtribuiTexto(Campo::marca, r.marca);
    if (r.valor)
      tabela.AtribuiDouble(Campo::valor, *r.valor);
    else
      tabela.Limpa(Campo::valor);
    tabela.Grava();
  }
  tabela.Primeiro();
}

}  // namespace app
