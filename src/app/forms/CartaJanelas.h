// The written proposal's commands of the main window ("&Ferramentas" menu): the company profiles,
// the terms of the open process, the letter opened in the preview and "Conferir proposta"; and the
// check of the CNPJ edit when it is left.
#pragma once

namespace app::forms {

class TForm1;

// The profiles dialog: several companies kept, one chosen for this proposal (the bidder and CNPJ
// edits take it).
void ComandoPerfis(TForm1& janela);
// The terms dialog of the open process (and the user's defaults for new processes).
void ComandoTermos(TForm1& janela);
// The letter of the open process with its profile and terms, shown in the preview.
void ComandoCarta(TForm1& janela);
// "Conferir proposta": the findings in a list, or a message that there is none.
void ComandoConferir(TForm1& janela);
// The CNPJ edit was left: a typed CNPJ with wrong check digits is reported (the text stays).
void ConfereCNPJAoSair(TForm1& janela);

}  // namespace app::forms
