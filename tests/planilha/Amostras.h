// Samples for the spreadsheet tests: a small process with what trips sheets up (codes with
// leading zeros, accents, a brand with a colon, double spaces, lots), and helpers that export it
// and read sheets back from memory.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ProcessoArquivo.h"
#include "app/TabelaItens.h"
#include "planilha/Exportacao.h"
#include "planilha/Planilha.h"
#include "support/Pacote.h"

namespace teste {

struct ItemAmostra {
  std::string ordem, codigo, nome, marca, quantidade, valor, lote;
};

// A process file (Windows-1252, CR LF) with these items.
inline std::string ProcessoDe(const std::vector<ItemAmostra>& itens,
                              const std::string& label = "20240015") {
  std::string s = "<processo label=\"" + label + "\" descricao=\"Preg\xE3o\" totalitens=\"" +
                  std::to_string(itens.size()) + "\">\r\n<produtos>\r\n";
  for (const ItemAmostra& i : itens)
    s += "<produto>\r\n <ordem>" + i.ordem + "</ordem>\r\n <codigo>" + i.codigo +
         "</codigo>\r\n <nome>" + i.nome + "</nome>\r\n <descricao>Descri\xE7\xE3o de " + i.nome +
         "</descricao>\r\n <marca>" + i.marca + "</marca>\r\n <quantidade>" + i.quantidade +
         "</quantidade>\r\n <valor>" + i.valor + "</valor>\r\n <apuracao>1</apuracao>\r\n <lote>" +
         i.lote + "</lote>\r\n</produto>\r\n";
  return s + "</produtos>\r\n</processo>\r\n";
}

inline const std::vector<ItemAmostra>& ItensAmostra() {
  static const std::vector<ItemAmostra> itens = {
      {"1", "007",
       "Caneta esferogr\xE1"
       "fica azul",
       "", "100", "", "1"},
      {"2", "0123", "L\xE1pis  preto n\xBA 2", "Faber", "50", "0,75", "1"},
      {"3", "C-3", "Papel A4 \"75g\"; resma", "Chamex:", "10,5", "22,9", "2"},
      {"4", "44", "Grampeador", "", "3", "", "2"},
      {"5", "55", "Clips", "Acme", "1000", "0,0125", ""},
  };
  return itens;
}

inline void CarregaTabela(const std::string& processo, app::TTabelaItens& tabela) {
  app::LerProcessoDeBytes(processo, tabela);
}

inline std::string Exporta(planilha::Formato f, const app::TTabelaItens& tabela,
                           const std::string& processo = "2024/0015") {
  platform::MemorySink sink;
  std::string erro;
  EXPECT_TRUE(planilha::Exporta(f, tabela, processo, sink, erro)) << erro;
  return sink.bytes();
}

// Every row of the first worksheet of a sheet in memory.
inline std::vector<planilha::LinhaPlanilha> Linhas(const std::string& bytes,
                                                   std::string* erro = nullptr, size_t aba = 0) {
  std::vector<planilha::LinhaPlanilha> linhas;
  planilha::ArquivoPlanilha a;
  auto e = planilha::ArquivoPlanilha::DeBytes(bytes, "teste", a);
  if (!e)
    e = a.LeLinhas(aba, [&](const planilha::LinhaPlanilha& l) {
      linhas.push_back(l);
      return true;
    });
  if (erro)
    *erro = e ? e->mensagem : std::string();
  else
    EXPECT_FALSE(e) << e->mensagem;
  return linhas;
}

// A workbook of one sheet "Plan1" whose part holds `folha` (the sheetData and what surrounds it),
// with these shared texts.
inline std::string Pasta(const std::string& folha, const std::vector<std::string>& textos = {},
                         const std::string& livro = "") {
  std::string sst = "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";
  for (const std::string& t : textos) sst += "<si><t>" + t + "</t></si>";
  sst += "</sst>";
  return Pacote({
      {"xl/workbook.xml",
       livro.empty()
           ? "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
             "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
             "<sheets><sheet name=\"Plan1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"
           : livro},
      {"xl/_rels/workbook.xml.rels",
       "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
       "<Relationship Id=\"rId1\" Type=\"x/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
       "<Relationship Id=\"rId2\" Type=\"x/sharedStrings\" Target=\"sharedStrings.xml\"/>"
       "</Relationships>"},
      {"xl/sharedStrings.xml", sst},
      {"xl/worksheets/sheet1.xml",
       "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">" + folha +
           "</worksheet>"},
  });
}

}  // namespace teste
