// Streamed XML for the packages' parts (expat). A document type is refused outright: no part of
// a workbook needs one, and without it no entity can be declared, so neither an entity bomb nor
// an external entity gets anywhere.
#include <expat.h>

#include "planilha/Leitores.h"
#include "platform/CodePage.h"

namespace planilha::detalhe {

struct LeitorXml::Estado {
  XML_Parser parser = nullptr;
};

namespace {

LeitorXml* Dono(void* dados) { return static_cast<LeitorXml*>(dados); }

void XMLCALL Abre(void* dados, const XML_Char* nome, const XML_Char** atributos) {
  LeitorXml* l = Dono(dados);
  if (l->abre && !l->Interrompido()) l->abre(nome, atributos);
}

void XMLCALL Fecha(void* dados, const XML_Char* nome) {
  LeitorXml* l = Dono(dados);
  if (l->fecha && !l->Interrompido()) l->fecha(nome);
}

void XMLCALL Texto(void* dados, const XML_Char* s, int n) {
  LeitorXml* l = Dono(dados);
  if (l->texto && !l->Interrompido()) l->texto(std::string_view(s, static_cast<size_t>(n)));
}

void XMLCALL TipoDocumento(void* dados, const XML_Char*, const XML_Char*, const XML_Char*, int) {
  Dono(dados)->Interrompe(
      "o arquivo traz uma declara\xE7\xE3o de tipo de documento (DOCTYPE), que uma planilha "
      "n\xE3o tem. Salve a planilha de novo na planilha eletr\xF4nica");
}

}  // namespace

LeitorXml::LeitorXml() : e_(std::make_unique<Estado>()) {
  e_->parser = XML_ParserCreate("UTF-8");
  XML_SetUserData(e_->parser, this);
  XML_SetElementHandler(e_->parser, Abre, Fecha);
  XML_SetCharacterDataHandler(e_->parser, Texto);
  XML_SetStartDoctypeDeclHandler(e_->parser, TipoDocumento);
  XML_SetParamEntityParsing(e_->parser, XML_PARAM_ENTITY_PARSING_NEVER);
}

LeitorXml::~LeitorXml() { XML_ParserFree(e_->parser); }

bool LeitorXml::Parte(std::string_view bytes, bool final) {
  if (interrompido_) return false;
  if (XML_Parse(e_->parser, bytes.data(), static_cast<int>(bytes.size()), final) ==
      XML_STATUS_ERROR) {
    if (!interrompido_) {
      interrompido_ = true;
      motivo_ = std::string("o XML do arquivo est\xE1 danificado (") +
                XML_ErrorString(XML_GetErrorCode(e_->parser)) + ", linha " +
                std::to_string(XML_GetCurrentLineNumber(e_->parser)) +
                "). Salve a planilha de novo";
    }
    return false;
  }
  return !interrompido_;
}

void LeitorXml::Interrompe(std::string motivo) {
  if (interrompido_) return;
  interrompido_ = true;
  motivo_ = std::move(motivo);
  XML_StopParser(e_->parser, XML_FALSE);
}

const char* LeitorXml::Atributo(Atributos a, std::string_view nome) {
  for (; a && a[0]; a += 2)
    if (nome == a[0]) return a[1];
  return nullptr;
}

void ParaCp1252(std::string_view utf8, std::string& destino) {
  // Sheets hold ASCII and the Latin-1 letters of Portuguese (U+00A0 to U+00FF), which are their
  // own byte in Windows-1252; a text with any other character goes through the code-page
  // conversion whole.
  destino.resize(utf8.size());
  size_t n = 0;
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      destino[n++] = static_cast<char>(c);
      continue;
    }
    const auto seguinte = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0;
    const unsigned ponto = ((c & 0x1Fu) << 6) | (seguinte & 0x3Fu);
    if ((c != 0xC2 && c != 0xC3) || (seguinte & 0xC0) != 0x80 || ponto < 0xA0) {
      destino = platform::utf8ToCp1252(utf8);
      return;
    }
    destino[n++] = static_cast<char>(ponto);
    ++i;
  }
  destino.resize(n);
}

std::string ParaCp1252(std::string_view utf8) {
  std::string r;
  ParaCp1252(utf8, r);
  return r;
}

}  // namespace planilha::detalhe
