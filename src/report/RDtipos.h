// The report component's value types: enumerations (stored by ordinal), attribute sets, colours and
// the persistent sub-objects TCustom, TPreviewOptions and TMargens.
#pragma once

#include <cstdint>
#include <string>

#include "report/RDTools.h"

namespace report {

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clBtnFace = static_cast<TColor>(0xFF00000Fu);  // a system colour: negative

enum class TModelo {
  Epson = 0,
  Rima = 1,
  HP = 2,
  Grafico = 3,
  Personalizado = 4,
  Bobina = 5,
  Daruma = 6
};
enum class TLinha { Seis = 0, Oito = 1 };
enum class TSize { S05cpp = 0, S10cpp = 1, S12cpp = 2, S17cpp = 3, S20cpp = 4, S15cpp = 5 };
enum class TEstilo { Snegrito = 0, Sitalico = 1, Ssublinhado = 2 };
enum class TWinFont { sCourierNew = 0, sLucida = 1, sArial = 2, sVerdana = 3, sTahoma = 4 };
enum class TAcento { Transliterate = 0, SemAcento = 1 };
enum class TStatBut { Ativo = 0, Inativo = 1, Invisivel = 2 };
enum class TAutor { Deltress = 0 };
enum class TPrinterOrientation { poPortrait = 0, poLandscape = 1 };

// A small set of enumeration values, bit n = value n.
template <typename E, typename Bits>
class TConjunto {
 public:
  constexpr TConjunto() = default;
  constexpr TConjunto(std::initializer_list<E> itens) {
    for (E e : itens) bits_ |= Bit(e);
  }
  constexpr bool Contem(E e) const { return (bits_ & Bit(e)) != 0; }
  constexpr TConjunto& Inclui(E e) {
    bits_ = static_cast<Bits>(bits_ | Bit(e));
    return *this;
  }
  constexpr TConjunto& Inclui(TConjunto outro) {
    bits_ = static_cast<Bits>(bits_ | outro.bits_);
    return *this;
  }
  constexpr bool Vazio() const { return bits_ == 0; }
  constexpr Bits Valor() const { return bits_; }
  constexpr bool operator==(const TConjunto&) const = default;

 private:
  static constexpr Bits Bit(E e) { return static_cast<Bits>(1u << static_cast<unsigned>(e)); }
  Bits bits_ = 0;
};

using TStyle = TConjunto<TEstilo, uint8_t>;

// The text attributes passed to the composition operations (a 16-bit set).
enum class TAtributo {
  aNegrito = 0,
  aItalico = 1,
  aSublinhado = 2,
  aExpandido = 3,
  aNormal10 = 4,
  aComprimir12 = 5,
  aComprimir17 = 6,
  aComprimir20 = 7,
  aComprimir15 = 8
};
using TAtributos = TConjunto<TAtributo, uint16_t>;

// The 3-digit attribute number of a set: italic 1, bold 2, underline 4, 5 cpi 8, 10 cpi 16,
// 12 cpi 32, 17 cpi 64, 20 cpi 128, 15 cpi 256.
int NumeroAtributo(TAtributos a);

// Command strings of the user-defined printer model, as blank-separated decimal byte values.
struct TCustom {
  std::string NomeImpressora = "Modelo Personalizado - (Epson)";
  std::string AvancaOitavos = "27 48";
  std::string AvancaSextos = "27 50";
  std::string SaltoPagina = "12";
  std::string TamanhoPagina = "27 67 66";
  std::string Negrito = "27 69";
  std::string Italico = "27 52";
  std::string Sublinhado = "27 45 49";
  std::string Expandido = "27 14";
  std::string Normal10 = "18 27 80";
  std::string Comprimir12 = "18 27 77";
  std::string Comprimir15;
  std::string Comprimir17 = "27 80 27 15";
  std::string Comprimir20 = "27 77 27 15";
  std::string Reset = "27 80 18 20 27 53 27 70 27 45 48";
  std::string Inicializar = "27 64";
};

// The preview window's settings.
struct TPreviewOptions {
  bool PaginaZebrada = false;
  bool MostrarSETUP = true;
  bool Remalina = false;
  std::string CaptionPreview = "RDPrint Preview";
  int PreviewZoom = 100;
  TColor CorPapelPreview = clWhite;
  TColor CorLetraPreview = clBlack;
  bool Preview = false;
  TStatBut BotaoSetup = TStatBut::Invisivel;
  TStatBut BotaoImprimir = TStatBut::Ativo;
  TStatBut BotaoGravar = TStatBut::Ativo;
  TStatBut BotaoLer = TStatBut::Ativo;
  TStatBut BotaoProcurar = TStatBut::Ativo;
  TStatBut BotaoPDF = TStatBut::Ativo;
  TStatBut BotaoEMAIL = TStatBut::Ativo;
};

// Page margins in millimetres (graphic output only).
struct TMargens {
  int Left = 5, Right = 5, Top = 5, Bottom = 5;
};

// The page metrics of graphic output, in 1/96 inch.
struct TRDFolha {
  int32_t MargemEsquerda = 0;
  int32_t MargemSuperior = 0;
  int32_t MargemDireita = 0;
  int32_t MargemInferior = 0;
  int32_t LarguraRemalina = 0;
  int32_t LarguraTexto = 0;
  int32_t AlturaTexto = 0;
  std::string NomeFonte;
  int32_t TamanhoFonte = 10;
  int32_t AlturaLinha = 16;
  int32_t LarguraBase = 8;
  int32_t MeiaLargura = 4;
  int32_t MeiaAltura = 8;
  double FatorLargura = 1.2;
};

}  // namespace report
