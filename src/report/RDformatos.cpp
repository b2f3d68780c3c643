#include "report/RDformatos.h"

#include "base/Texto.h"
#include "report/RDprint.h"

namespace report {

const std::array<TFormato, 5> kFormatos{{
    {"html", "Arquivo HTML (*.HTML) ", false,
     [](TRDprint& rd, const std::string& f) { return rd.GravaHTML(f); }},
    {"pdf", "Arquivo PDF  (*.PDF)", false,
     [](TRDprint& rd, const std::string& f) { return rd.GravaPDF(f); }},
    {"txt", "Arquivo Texto  (*.TXT)", false,
     [](TRDprint& rd, const std::string& f) { return rd.GravaTXT(f); }},
    {"rdp", "Relat\xF3rio RDprint  (*.RDP)", false,
     [](TRDprint& rd, const std::string& f) { return rd.GravaRDP(f); }},
    {"prn", "Arquivo para Impress\xE3o (*.PRN)", true,
     [](TRDprint& rd, const std::string& f) { return rd.GravaPRN(f); }},
}};

std::string Mascara(const TFormato& f) { return "*." + base::UpperCase(f.extensao); }

// The part after the last dot, when that dot is in the last part of the path.
const TFormato* FormatoDoArquivo(std::string_view nome) {
  const size_t ponto = nome.find_last_of('.');
  if (ponto == std::string_view::npos || nome.find('/', ponto) != std::string_view::npos)
    return nullptr;
  const std::string ext = base::LowerCase(nome.substr(ponto + 1));
  for (const TFormato& f : kFormatos)
    if (ext == f.extensao) return &f;
  return nullptr;
}

// In table order.
std::string ListaDeExtensoes() {
  std::vector<std::string> extensoes;
  extensoes.reserve(kFormatos.size());
  for (const TFormato& f : kFormatos) extensoes.push_back(std::string(".") + f.extensao);
  return base::ListaComOu(extensoes);
}

}  // namespace report
