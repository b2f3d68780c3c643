// The spreadsheet commands of the main window: "Exportar planilha" writes the items as a sheet
// to fill in; "Importar planilha" reads one back: the worksheet is chosen when there are several,
// the columns are asked (with the first rows shown, filled with the choice remembered for the
// layout or guessed from the titles) unless the sheet is our own, and the proposed brands and
// prices go through the shared review before anything changes.
#pragma once

#include <QDialog>
#include <vector>

#include "planilha/Importacao.h"

class QComboBox;
class QSpinBox;
class QTableWidget;

namespace app::forms {

class TForm1;

// The column mapping window: the first rows of the sheet, and which column holds the code, the
// product, the item number, the brand and the price, how rows find their item and which row is the
// header.
class TJanelaColunas : public QDialog {
  Q_OBJECT

 public:
  TJanelaColunas(const std::vector<planilha::LinhaPlanilha>& primeiras,
                 const planilha::Mapeamento& inicial, QWidget* pai = nullptr);
  // The mapping as chosen.
  planilha::Mapeamento Escolhido() const;

  QTableWidget* Amostra;
  QComboBox *cbOrdem, *cbCodigo, *cbNome, *cbMarca, *cbValor, *cbPor;
  QSpinBox* spCabecalho;

 private:
  void Confere();
};

// "Exportar planilha": the items written as a sheet beside the process file (the name asked).
void ExportarPlanilha(TForm1& janela);
// "Importar planilha": brands and prices read back from a sheet, reviewed, applied on request.
void ImportarPlanilha(TForm1& janela);

}  // namespace app::forms
