// Every named quantity of one calculation run, under its report name.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "velmora/calc/quantity.h"
#include "velmora/calc/validity.h"
#include "velmora/design/design_input.h"

namespace velmora::calc {

// D: double precision; F: single precision (curve lookups and curve functions).
// A reactance coefficient (the value printed with "Cx") is the reactance's
// name with _C appended; "SIN ALFA" is SIN_ALFA.

// clang-format off
// Rated data, main dimensions, winding and slot dimensions (items 1 to 21).
#define VELMORA_WINDING_QUANTITIES(D, F) \
  D(B25) D(P10) D(IKW) D(Qp1) D(Qp2) D(TP) D(T1) D(T2) D(D2) D(LEF) D(LFE) D(S) D(ASS)   \
  D(AI) D(AE) D(SF) D(ZF) D(BETA) D(KD1) D(KP1) D(KDP1) D(BSK) D(RS) D(HS1) D(HS2)       \
  D(HR1) D(HR2)

// Magnetic circuit and saturation (items 22 to 43).
#define VELMORA_MAGNETIC_QUANTITIES(D, F) \
  D(HRT) D(HB) D(BT1W) D(BT2W) D(BT2UW) D(BT2LW) D(AT1) D(AT2) D(AT2U) D(AT2L) D(HJ11)   \
  D(HJ21) D(AJ1) D(AJ2) D(AG) D(LT1) D(LT2) D(LT2U) D(LT2L) D(LJ1) D(LJ2) D(KC1) D(KC2)  \
  D(GEF) D(KE0) D(FA) D(FT0) D(FS) D(BG) D(BT1) D(BT2) D(BT2U) D(BT2L) D(BJ1) D(BJ2)     \
  F(HT1) F(HT2) F(HT2U) F(HT2L) F(HJ1) F(HJ2) D(FT1) D(FT2) D(FT2U) D(FT2L) D(CJ1)       \
  D(FJ1) D(CJ2) D(FJ2) D(FG) D(FT) D(F0) D(IM) D(IM1) D(XM1)

// Leakage reactances and resistances (items 44 to 63).
#define VELMORA_PARAMETER_QUANTITIES(D, F) \
  D(LBX) D(TY) D(SIN_ALFA) D(CS) D(FD) D(LZ) D(KRF) D(R1) D(Gcu) D(R11) D(LB) D(SB)      \
  D(SBN) D(SBU) D(SBM) D(SBL) D(RB) D(RB1) D(Dr) D(GAL) D(Gfe) D(RR) D(RR1) D(R21)       \
  D(R2) D(Cx) D(KU1) D(KL1) D(SPU1) D(WS1) D(HWS2) D(KTR1) D(KTC1) D(SPL1) D(SP1)        \
  D(XS11_C) D(XS11) F(SGMS) D(XD11_C) D(XD11) D(SLE1) D(XE11_C) D(XE11) D(X11) D(KU2)    \
  D(KL2) D(SPU2) D(WR1) D(HWR2) D(KTR2) D(KTC2) D(KRD2) D(KRT2) D(WR3) D(KTU2) D(KMU2)   \
  D(KLU2) D(KTL2) D(SPL2) D(SP2) D(XS21_C) D(XS21) D(SGMR) D(XD21_C) D(XD21) D(SLE2)     \
  D(XE21_C) D(XE21) D(XSK1_C) D(XSK1) D(X21) D(X1)

// Full-load performance, losses and no-load state (items 64 to 97).
#define VELMORA_PERFORMANCE_QUANTITIES(D, F) \
  D(IP1) D(EFF0) D(Km) D(IX1) D(IR1) D(KE) D(KEK0) D(BT10) D(BT20) D(BJ10) D(BJ20)       \
  D(BG0) F(HT10) D(Ft10) F(HT20) D(Ft20) F(HJ10) D(CJ10) D(Fj10) F(HJ20) D(CJ20)         \
  D(Fj20) D(FG0) D(F00) D(IM0) D(I11) D(I1) D(I21) D(I2) D(IR) D(J1) D(A1) D(AJ) D(JB)   \
  D(JR) F(pt1) F(pj1) D(GT1) D(GJ1) D(Pt1) D(Pt11) D(Pj1) D(PJ11) D(PFE) D(PFE1)         \
  D(PXZFE1) D(PCU11) D(PCU1) D(PCU21) D(PCU2) D(PSW) D(PFWW) D(P1) D(P11) D(EFF) D(PF)   \
  D(SN) D(N) D(TMAX1)

// Starting performance (items 98 to 118).
#define VELMORA_STARTING_QUANTITIES(D, F) \
  D(IST1) D(Fst) D(BTAC) D(BL) F(KZ) D(Cs1) D(Cs2) D(DELTSPU1) D(DELTSPU2) D(SP1ST)      \
  D(XS1ST1_C) D(XS1ST1) D(XD1ST1_C) D(XD1ST1) D(X1ST1) D(KSAI) D(KR) D(KX) D(BAta)       \
  D(BAtb) D(ba) D(bbb) D(EPSa) D(EPSb) D(rr0) D(xx0) F(KHP) D(HPR) D(HPX) D(BPR) D(BPX)  \
  D(HPXL) D(SPXL) D(SPX) D(WU2S) D(HWU2S) D(KTU2S) D(WL2S) D(KTL2S) D(SPL2ST) D(SPU2ST)  \
  D(SP2ST) D(XS2ST1_C) D(XS2ST1) D(XD2ST1_C) D(XD2ST1) D(XSKST1_C) D(XSKST1) D(X2ST1)    \
  D(XST1) D(R2ST1) D(RST1) D(ZST1) D(IST) D(Ist) D(TST1)

// All of them, in the order of the procedure.
#define VELMORA_QUANTITIES(D, F)       \
  VELMORA_WINDING_QUANTITIES(D, F)     \
  VELMORA_MAGNETIC_QUANTITIES(D, F)    \
  VELMORA_PARAMETER_QUANTITIES(D, F)   \
  VELMORA_PERFORMANCE_QUANTITIES(D, F) \
  VELMORA_STARTING_QUANTITIES(D, F)
// clang-format on

// An input as the calculation reads it: using a text input as a number is a
// type-mismatch fault of the run.
struct InputNumber {
  double value = 0;
  bool is_text = false;
  int index = 0;

  operator double() const {
    if (is_text) ThrowTypeMismatch(index);
    return value;
  }
  [[noreturn]] static void ThrowTypeMismatch(int index);
};

// The 60 inputs under their names (field 0, TYPE, is only ever printed).
struct Inputs {
#define VELMORA_INPUT_MEMBER(name) InputNumber name;
  VELMORA_DESIGN_FIELDS(VELMORA_INPUT_MEMBER)
#undef VELMORA_INPUT_MEMBER
};

// Pass counts of the four iterations of one run.
struct PassCounts {
  long KE0 = 0;   // outer passes
  long FT0 = 0;   // saturation passes, summed over all outer passes
  long EFF0 = 0;  // efficiency passes, summed over all outer passes
  long IST1 = 0;  // starting passes
};

struct CalculationState {
  Inputs in;
#define VELMORA_DOUBLE_MEMBER(name) Quantity name;
#define VELMORA_SINGLE_MEMBER(name) SingleQuantity name;
  VELMORA_QUANTITIES(VELMORA_DOUBLE_MEMBER, VELMORA_SINGLE_MEMBER)
#undef VELMORA_DOUBLE_MEMBER
#undef VELMORA_SINGLE_MEMBER
  PassCounts passes;
  CurveLookups lookups;  // the last steel-curve look-up at each site
  NarrowestTeeth narrowest;
  // The steel's field strength over the curve HTAB at every flux density:
  // steel from another coil than the one the curve was measured on. At 1
  // every look-up gives the curve's value as it stands.
  double HTAB_factor = 1;
};

// A quantity's value as a report or an export sees it.
struct QuantityView {
  double value = 0;
  bool set = false;
  bool single = false;  // single precision
};

// Every computed quantity by name, in the order of the lists above.
struct QuantityEntry {
  std::string_view name;
  QuantityView (*get)(const CalculationState&);
};
std::span<const QuantityEntry> QuantityTable();

// The entry of the quantity called `name` ("SIN ALFA" and "SIN_ALFA" both
// work), or nullptr.
const QuantityEntry* FindQuantityEntry(std::string_view name);

// The quantity called `name`, if there is one.
std::optional<QuantityView> FindQuantity(const CalculationState& state, std::string_view name);

// Reads a design into the run's inputs.
Inputs ToInputs(const design::DesignInput& input);

}  // namespace velmora::calc
