// Layout 2 of the report: the boxed summary sheet of the main inputs and results.
#include <string_view>
#include <type_traits>
#include <vector>

#include "value_source.h"
#include "velmora/report/reports.h"

namespace velmora::report {
namespace {

namespace F = design::field;
using S = calc::CalculationState;

// Each is 89 bytes in GBK, like the rule line.
constexpr std::string_view kFirstBanner =
    "******************三相异步电动机电磁计算(手算版)*****************************************";
constexpr std::string_view kSecondBanner =
    "**********************参照上课所电磁计算输出*********************************************";
constexpr std::string_view kRule =
    "*****************************************************************************************";

struct SheetItem {
  enum class Kind { Literal, Tab, Spc, Pattern, Plain, Close, Whole };
  Kind kind;
  std::string_view text;  // the literal, or the pattern
  int n = 0;
  ValueSource value = {};
};

using Kind = SheetItem::Kind;
SheetItem Lit(std::string_view text) { return {Kind::Literal, text}; }
SheetItem Tab(int n) { return {Kind::Tab, {}, n}; }
SheetItem Spc(int n) { return {Kind::Spc, {}, n}; }
SheetItem Pat(ValueSource value, std::string_view pattern) {
  return {Kind::Pattern, pattern, 0, value};
}
SheetItem Plain(ValueSource value) { return {Kind::Plain, {}, 0, value}; }
// Tab(n) and the closing "*" of the frame.
SheetItem Close(int n) { return {Kind::Close, "*", n}; }
// A banner or rule line, written without the frame's opening.
SheetItem Whole(std::string_view line) { return {Kind::Whole, line}; }

template <double factor, class Q>
ReportValue Scaled(const Q& q) {
  if constexpr (factor == 1) {
    return ValueOf(q);
  } else {
    return ReportValue::Number(factor * q);
  }
}

// Flux densities in gauss (10⁴·T) and the flux in maxwell (10⁸·Wb).
template <double factor, auto q>
ReportValue Times(const ReportSources& s) {
  return Scaled<factor>(s.state.*q);
}

bool TwoSectionRotorSlot(const ReportSources& s) { return InputNumber(s, F::ZC) == 4; }

// The rotor tooth of slot shapes 1 to 3, or a section of the two-section
// slot (ZC = 4), times `factor`. The lower section has no counterpart in
// shapes 1 to 3 (nullptr): the sheet shows the number 0 there.
template <double factor, auto usual, auto two_section>
ReportValue RotorToothTimes(const ReportSources& s) {
  if (TwoSectionRotorSlot(s)) return Scaled<factor>(s.state.*two_section);
  if constexpr (std::is_null_pointer_v<decltype(usual)>) {
    return ReportValue::Number(0);
  } else {
    return Scaled<factor>(s.state.*usual);
  }
}

template <auto usual, auto two_section>
ReportValue RotorTooth(const ReportSources& s) {
  return RotorToothTimes<1.0, usual, two_section>(s);
}

ReportValue CarterFactor(const ReportSources& s) {
  return ReportValue::Number(s.state.KC1 * s.state.KC2);
}

// Per-unit losses and input power referred to the rated output, in W.
ReportValue TotalLossesW(const ReportSources& s) {
  return ReportValue::Number(1000 * InputNumber(s, F::Pn) * s.state.P1);
}
ReportValue InputPowerW(const ReportSources& s) {
  return ReportValue::Number(1000 * InputNumber(s, F::Pn) * s.state.P11);
}

ReportValue OneMinusKZ(const ReportSources& s) { return ReportValue::Number(1 - s.state.KZ); }

using SheetLine = std::vector<SheetItem>;

// Every line but the banners and rules opens with "*" and Spc(2). The
// closing Tab stands 1 column short of 89 for each fullwidth character of
// the line, so that the closing "*" lines up where those are shown two wide.
// Joined texts (N1*d1, N2*d2, JB/JR) are written as their parts in a row.
const std::vector<SheetLine> kSheet = {
    {Whole(kFirstBanner)},   // 1
    {Whole(kSecondBanner)},  // 2
    {Lit("TYPE："), Pat(In{F::TYPE}, "###############"), Tab(25), Lit("B25："),
     Pat(&S::B25, "######.##"), Tab(46), Lit("P10："), Pat(&S::P10, "#.00"), Tab(65),
     Lit("Insulate："), Close(85)},  // 3
    {Lit("Power："), Pat(In{F::Pn}, "####.0######"), Lit("kW"), Tab(25), Lit("P："),
     Plain(In{F::P}), Tab(32), Lit("U："), Plain(In{F::Un}), Tab(45), Lit("f："), Plain(In{F::f}),
     Tab(55), Lit("Name："), Tab(67), Lit("Date："), Close(83)},  // 4
    {Whole(kRule)},                                               // 5
    {Lit("Q1="), Pat(In{F::Q1}, "###.0"), Tab(13), Lit("D1 ="), Pat(In{F::D1}, "####.0"), Spc(2),
     Lit("D2="), Pat(&S::D2, "####.##"), Tab(39), Lit("STATOR"), Tab(55), Lit("ROTOR"),
     Close(89)},  // 6
    {Lit("Q2="), Pat(In{F::Q2}, "###.0"), Tab(13), Lit("Di1="), Pat(In{F::DI1}, "####.0"), Spc(2),
     Lit(" g="), Pat(In{F::G}, "###0.##"), Tab(36), Lit("U1："), Pat(In{F::Un}, "####.##"), Tab(76),
     Lit("Ty="), Pat(&S::TY, "####.##"), Close(88)},  // 7
    {Lit("L ="), Pat(In{F::L}, "####.0#"), Tab(14), Lit("Leff="), Pat(&S::LEF, "####.##"), Tab(36),
     Lit("A："), Pat(In{F::A}, "####.0#"), Tab(75), Lit("Fd1="), Pat(&S::FD, "####.##"),
     Close(88)},  // 8
    {Lit("L1 ="), Pat(&S::LFE, "####.0#"), Tab(16), Lit(" L2="), Pat(&S::LFE, "####.0#"), Tab(36),
     Lit("ZF："), Pat(&S::ZF, "####.0#"), Tab(76), Lit("D ="), Pat(In{F::D}, "####.00"),
     Close(88)},  // 9
    {Lit("B01="), Pat(In{F::B01}, "####.00"), Tab(16), Lit("B02="), Pat(In{F::B02}, "###0.00"),
     Tab(36), Lit("Z ："), Pat(In{F::Z}, "####.0#"), Close(88)},  // 10
    {Lit("BS1="), Pat(In{F::BS1}, "####.00"), Tab(16), Lit("BR1="), Pat(In{F::BR1}, "###0.00"),
     Tab(35), Lit("CZN："), Pat(In{F::CZN}, "####.0#"), Close(88)},  // 11
    {Lit("RS ="), Pat(&S::RS, "####.00"), Tab(16), Lit("BR2="), Pat(In{F::BR2}, "###0.00"), Tab(33),
     Lit("N1*d1："), Pat(In{F::JJ}, "###0.0"), Lit("*"), Pat(In{F::DJJ}, "#0.00#"),
     Close(88)},  // 12
    {Lit("HS1="), Pat(&S::HS1, "###0.00"), Tab(16), Lit("BR3="), Pat(In{F::BR3}, "###0.00"),
     Tab(33), Lit("N2*d2："), Pat(In{F::MM}, "###0.0"), Lit("*"), Pat(In{F::DMM}, "#0.00#"),
     Close(88)},  // 13
    {Lit("HS2="), Pat(&S::HS2, "####.00"), Tab(16), Lit("BR4="), Pat(In{F::BR4}, "###0.00"),
     Tab(36), Lit("S ："), Pat(&S::S, "#0.###"), Close(88)},  // 14
    {Lit("HS0="), Pat(In{F::HS0}, "###0.00"), Tab(16), Lit("HR0="), Pat(In{F::HR0}, "###0.00"),
     Tab(36), Lit("Y ："), Plain(In{F::Y1}), Close(88)},  // 15
    {Lit("BT1="), Pat(&S::BT1W, "####.00"), Tab(16), Lit("HR1="), Pat(&S::HR1, "###0.00"), Tab(36),
     Lit("LZ："), Pat(&S::LZ, "####.##"), Close(88)},  // 16
    {Lit("BT2="), Pat(RotorTooth<&S::BT2W, &S::BT2UW>, "####.00"), Tab(16), Lit("HR2="),
     Pat(&S::HR2, "###0.00"), Tab(35), Lit("Gcu："), Pat(&S::Gcu, "###.00"), Tab(55),
     Pat(&S::GAL, "##0.##"), Close(88)},  // 17
    {Lit("BT3="), Pat(RotorTooth<nullptr, &S::BT2LW>, "##0.00"), Tab(16), Lit("HR3="),
     Pat(In{F::HR3}, "###0.00"), Tab(36), Lit("R1："), Pat(&S::R1, "#0.####"), Tab(55),
     Pat(&S::R2, "#0.####"), Close(88)},  // 18
    {Lit("T1 ="), Pat(&S::T1, "###.00"), Tab(16), Lit("T2 ="), Pat(&S::T2, "####.00"), Tab(36),
     Lit("J ："), Pat(&S::J1, "##.##"), Tab(55), Pat(&S::JB, "##.##"), Lit("/"),
     Pat(&S::JR, "##.##"), Close(88)},  // 19
    {Lit("ZS1="), Pat(In{F::ZS1}, "##0.00"), Tab(16), Lit("ZS2="), Pat(In{F::ZS2}, "###0.0#"),
     Tab(36), Lit("Sk："), Pat(In{F::sk}, "##.00"), Tab(55), Pat(&S::BSK, "###.##"),
     Close(88)},  // 20
    {Lit("HC1="), Pat(&S::HJ11, "###.00"), Tab(16), Lit("HC2="), Pat(&S::HJ21, "####.00"), Tab(36),
     Lit("Se："), Pat(&S::AE, "##.#####"), Close(88)},  // 21
    {Tab(16), Lit("ZC ="), Pat(In{F::ZC}, "####.0#"), Tab(36), Lit("Sf："), Pat(&S::SF, "#0.####"),
     Close(88)},     // 22
    {Whole(kRule)},  // 23
    {Tab(14), Lit("kd"), Tab(25), Lit("kp"), Tab(36), Lit("kdp"), Tab(45), Lit("zfk"), Tab(55),
     Lit("kc"), Tab(66), Lit("ip="), Pat(&S::IP1, "0.####"), Close(89)},  // 24
    {Lit("stator："), Pat(&S::KD1, "0.####"), Tab(23), Pat(&S::KP1, "#.0000"), Tab(33),
     Pat(&S::KDP1, "0.####"), Tab(43), Pat(EffectiveConductors, "####.0#"), Tab(52),
     Pat(&S::KC1, "##.####"), Tab(65), Lit("im="), Pat(&S::IM1, "#0.####"), Close(88)},  // 25
    {Lit("rotor："), Tab(52), Pat(&S::KC2, "##.####"), Tab(65), Lit("ir="),
     Pat(&S::IR1, "##0.####"), Tab(79), Close(88)},  // 26
    {Lit("TP ="), Pat(&S::TP, "####.##"), Tab(18), Lit("Fs ="), Pat(&S::FS, "##.####"), Tab(36),
     Lit("Ft ="), Pat(&S::FT, "#.####"), Tab(53), Pat(CarterFactor, "##.####"), Tab(66), Lit("ix="),
     Pat(&S::IX1, "#0.####"), Close(89)},  // 27
    {Lit("KE0="), Pat(&S::KE0, "###0.##"), Tab(18), Lit("KE1="), Pat(&S::KE, "#0.####"), Tab(36),
     Lit("Ft0="), Pat(&S::FT0, "#.####"), Tab(66), Lit("i1="), Pat(&S::I11, "#.####"), Tab(80),
     Pat(&S::I1, "###.####"), Close(89)},  // 28
    {Lit("Fa ="), Pat(Times<1e8, &S::FA>, "#########.00"), Tab(66), Lit("i2="),
     Pat(&S::I21, "#.####"), Tab(80), Pat(&S::I2, "####.##"), Close(89)},  // 29
    {Whole(kRule)},                                                        // 30
    {Tab(12), Lit("mm*mm"), Tab(25), Lit("B"), Tab(36), Lit("L"), Tab(44), Lit("AT/cm"), Tab(54),
     Lit("AT"), Close(89)},  // 31
    {Lit("st："), Tab(10), Pat(&S::AT1, "######.##"), Tab(21), Pat(Times<1e4, &S::BT1>, "######.#"),
     Tab(34), Pat(&S::LT1, "###.##"), Tab(43), Pat(&S::HT1, "###.##"), Tab(52),
     Pat(&S::FT1, "###.##"), Tab(63), Lit("pcu1="), Pat(&S::PCU11, "#0.####"), Tab(79),
     Pat(&S::PCU1, "####.0"), Close(88)},  // 32
    {Lit("sc："), Tab(10), Pat(&S::AJ1, "######.##"), Tab(21), Pat(Times<1e4, &S::BJ1>, "######.#"),
     Tab(34), Pat(&S::LJ1, "###.##"), Tab(43), Pat(&S::HJ1, "###.##"), Tab(52),
     Pat(&S::FJ1, "###.##"), Tab(63), Lit("pcu2="), Pat(&S::PCU21, "#0.####"), Tab(79),
     Pat(&S::PCU2, "####.0"), Close(88)},  // 33
    {Lit("rt："), Tab(10), Pat(RotorTooth<&S::AT2, &S::AT2U>, "######.##"), Tab(21),
     Pat(RotorToothTimes<1e4, &S::BT2, &S::BT2U>, "######.#"), Tab(34),
     Pat(RotorTooth<&S::LT2, &S::LT2U>, "###.##"), Tab(43),
     Pat(RotorTooth<&S::HT2, &S::HT2U>, "###.##"), Tab(52),
     Pat(RotorTooth<&S::FT2, &S::FT2U>, "###.##"), Tab(63), Lit(" pfe="), Pat(&S::PFE1, "#0.####"),
     Tab(79), Pat(&S::PFE, "####.0"), Close(88)},  // 34
    {Tab(11), Pat(RotorTooth<nullptr, &S::AT2L>, "#####0.0#"), Tab(22),
     Pat(RotorToothTimes<1e4, nullptr, &S::BT2L>, "#####0.0#"), Tab(35),
     Pat(RotorTooth<nullptr, &S::LT2L>, "##0.0#"), Tab(44),
     Pat(RotorTooth<nullptr, &S::HT2L>, "##0.0#"), Tab(53),
     Pat(RotorTooth<nullptr, &S::FT2L>, "##0.0#"), Tab(63), Lit("   ps="),
     Pat(In{F::PS}, "#0.####"), Tab(80), Pat(&S::PSW, "####.0"), Close(89)},  // 35
    {Lit("rc："), Tab(10), Pat(&S::AJ2, "######.0#"), Tab(21), Pat(Times<1e4, &S::BJ2>, "######.#"),
     Tab(34), Pat(&S::LJ2, "###.##"), Tab(43), Pat(&S::HJ2, "###.##"), Tab(52),
     Pat(&S::FJ2, "###.##"), Tab(63), Lit(" pfw="), Pat(In{F::PFW}, "#0.####"), Tab(79),
     Pat(&S::PFWW, "####.0"), Close(88)},  // 36
    {Lit("g0："), Tab(10), Pat(&S::AG, "######.0#"), Tab(21), Pat(Times<1e4, &S::BG>, "######.#"),
     Tab(34), Pat(&S::GEF, "##0.0#"), Tab(52), Pat(&S::FG, "###.##"), Tab(63), Lit("  pg="),
     Pat(&S::P1, "#0.####"), Tab(79), Pat(TotalLossesW, "#####.0"), Close(88)},  // 37
    {Lit("Ikw="),
     Tab(10),
     Pat(&S::IKW, "####.####"),
     Lit("a"),
     Tab(20),
     Lit("c1="),
     Pat(&S::CJ1, "#0.####"),
     Tab(33),
     Lit("c2="),
     Pat(&S::CJ2, "#0.####"),
     Tab(46),
     Lit("AT="),
     Tab(53),
     Pat(&S::F0, "###.##"),
     Tab(64),
     Lit("  p1="),
     Pat(&S::P11, "##.####"),
     Tab(80),
     Pat(InputPowerW, "####.0"),
     Close(89)},                                                            // 38
    {Lit("Im ="), Tab(10), Pat(&S::IM, "####.####"), Lit("a"), Close(89)},  // 39
    {Whole(kRule)},                                                         // 40
    {Tab(10), Lit("Eff"), Tab(20), Lit("Pf"), Tab(33), Lit("Tm"), Tab(44), Lit("Tst"), Tab(53),
     Lit("Ist"), Tab(68), Lit("AJ"), Tab(77), Lit("Sn"), Close(89)},  // 41
    {Tab(8), Pat(&S::EFF, "0.####"), Tab(18), Pat(&S::PF, "0.####"), Tab(32),
     Pat(&S::TMAX1, "#0.###"), Tab(44), Pat(&S::TST1, "#0.###"), Tab(53), Pat(&S::Ist, "#0.###"),
     Tab(66), Pat(&S::AJ, "#####.##"), Tab(75), Pat(&S::SN, "0.#####"), Close(89)},  // 42
    {Lit("JB："), Tab(7), Pat(In{F::EFF}, "0.0###"), Tab(17), Pat(In{F::PF}, "0.0###"), Tab(31),
     Pat(In{F::TM}, "#0.0##"), Tab(43), Pat(In{F::TST}, "#0.0##"), Tab(52),
     Pat(In{F::IST}, "#0.0##"), Close(88)},  // 43
    {Whole(kRule)},                          // 44
    {Tab(11), Lit("B0"), Tab(26), Lit("kg"), Tab(35), Lit("w/kg"), Tab(52), Lit("p"), Tab(68),
     Lit("Si"), Tab(75), Lit("Wi"), Tab(82), Lit("Hw"), Close(89)},  // 45
    {Lit("st："), Tab(8), Pat(Times<1e4, &S::BT10>, "######.0"), Tab(24), Pat(&S::GT1, "###.###"),
     Tab(34), Pat(&S::pt1, "##.###"), Tab(49), Pat(&S::Pt1, "##.###"), Tab(66),
     Pat(In{F::si}, "####0.##"), Tab(73), Pat(In{F::QMHW}, "0.##"), Tab(81), Pat(In{F::hw}, "0.0#"),
     Close(88)},  // 46
    {Lit("sc："), Tab(8), Pat(Times<1e4, &S::BJ10>, "######.0"), Tab(24), Pat(&S::GJ1, "###.###"),
     Tab(34), Pat(&S::pj1, "##.###"), Tab(49), Pat(&S::Pj1, "##.###"), Close(88)},  // 47
    {Lit("Gfe="), Pat(&S::Gfe, "####.##"), Lit("kg"), Tab(26), Lit("PPfe="),
     Pat(&S::PFE, "####.##"), Tab(40), Lit("I10="), Pat(&S::IM0, "###.###"), Tab(50), Lit("a"),
     Tab(57), Tab(75), Close(89)},  // 48
    {Whole(kRule)},                 // 49
    {Lit("A1="), Pat(&S::A1, "####.##"), Tab(44), Lit("H1="), Pat(&S::SGMS, "0.####"), Tab(58),
     Lit("LB="), Pat(&S::LB, "####.0"), Tab(75), Lit("SB="), Pat(&S::SBN, "####.0#"),
     Close(89)},  // 50
    {Lit("Cx="), Pat(&S::Cx, "0.#####"), Tab(44), Lit("H2="), Pat(&S::SGMR, "0.####"), Tab(58),
     Lit("Dr="), Pat(&S::Dr, "####.0"), Tab(75), Lit("Sr="), Pat(In{F::SRR}, "####.0"),
     Close(89)},  // 51
    {Lit("Ku1="), Pat(&S::KU1, "#.0####"), Tab(16), Lit("Spu1="), Pat(&S::SPU1, "0.####"), Tab(32),
     Lit("Ku2="), Pat(&S::KU2, "#.0###"), Tab(42), Lit("Spu2="), Pat(&S::SPU2, "0.####"), Tab(58),
     Lit("rb="), Pat(&S::RB1, "0.####"), Tab(75), Lit("Rb="), Pat(&S::RB, "#0.####"),
     Close(89)},  // 52
    {Lit("KL1="), Pat(&S::KL1, "#.0####"), Tab(16), Lit("SpL1="), Pat(&S::SPL1, "0.####"), Tab(32),
     Lit("KL2="), Pat(&S::KL2, "#.0###"), Tab(42), Lit("SpL2="), Pat(&S::SPL2, "#.####"), Tab(58),
     Lit("re="), Pat(&S::RR1, "0.####"), Tab(75), Lit("Re="), Pat(&S::RR, "#0.####"),
     Close(89)},  // 53
    {Tab(17), Lit("Sp1="), Pat(&S::SP1, "#.#####"), Tab(43), Lit("Sp2="), Pat(&S::SP2, "#.####"),
     Tab(58), Lit("r2="), Pat(&S::R21, "0.####"), Tab(75), Lit("R2="), Pat(&S::R2, "0.####"),
     Close(89)},     // 54
    {Whole(kRule)},  // 55
    {Lit("Xs1="), Pat(&S::XS11_C, "0.####"), Tab(16), Lit("cx"), Tab(32), Lit("Xs1s="),
     Pat(&S::XS1ST1_C, "0.####"), Tab(45), Lit("cx"), Tab(61), Lit("Kcc="), Pat(&S::KSAI, "0.##"),
     Close(89)},  // 56
    {Lit("Xd1="), Pat(&S::XD11_C, "0.####"), Tab(16), Lit("cx"), Tab(32), Lit("Xd1s="),
     Pat(&S::XD1ST1_C, "0.####"), Tab(45), Lit("cx"), Tab(61), Lit("XXo="), Pat(&S::xx0, "0.##"),
     Close(89)},  // 57
    {Lit("Xe1="), Pat(&S::XE11_C, "0.####"), Tab(16), Lit("cx"), Tab(32), Lit(" Xe1="),
     Pat(&S::XE11_C, "0.####"), Tab(45), Lit("cx"), Tab(61), Lit("rro="), Pat(&S::rr0, "0.##"),
     Close(89)},  // 58
    {Lit(" X1="), Pat(&S::X11, "0.####"), Tab(16), Tab(32), Lit(" X1s="), Pat(&S::X1ST1, "0.####"),
     Tab(45), Tab(60), Lit("ATst="), Pat(&S::Fst, "#####.0"), Close(89)},  // 59
    {Lit("Xs2="), Pat(&S::XS21_C, "0.####"), Tab(16), Lit("cx"), Tab(32), Lit("Xs2s="),
     Pat(&S::XS2ST1_C, "0.####"), Tab(45), Lit("cx"), Tab(61), Lit("BLg="),
     Pat(Times<1e4, &S::BL>, "#####.0"), Close(89)},  // 60
    {Lit("Xd2="), Pat(&S::XD21_C, "0.####"), Tab(16), Lit("cx"), Tab(32), Lit("Xd2s="),
     Pat(&S::XD2ST1_C, "0.####"), Tab(45), Lit("cx"), Tab(61), Lit(" KZ="), Pat(&S::KZ, "0.####"),
     Close(89)},  // 61
    {Lit("Xe2="), Pat(&S::XE21_C, "0.####"), Tab(16), Lit("cx"), Tab(32), Lit(" Xe2="),
     Pat(&S::XE21_C, "0.####"), Tab(45), Lit("cx"), Tab(60), Lit("1-KZ="),
     Pat(OneMinusKZ, "0.####"), Close(89)},  // 62
    {Lit("Xsk="), Pat(&S::XSK1_C, "0.####"), Tab(16), Lit("cx"), Tab(32), Lit("Xsks="),
     Pat(&S::XSKST1_C, "0.####"), Tab(45), Lit("cx"), Tab(61), Lit("Cs1="), Pat(&S::Cs1, "#.##"),
     Close(89)},  // 63
    {Lit(" X2="), Pat(&S::X21, "0.####"), Tab(16), Tab(32), Lit(" X2s="), Pat(&S::X2ST1, "0.####"),
     Tab(45), Tab(61), Lit("Cs2="), Pat(&S::Cs2, "0.##"), Close(89)},  // 64
    {Lit("  X="), Pat(&S::X1, "0.####"), Tab(16), Tab(32), Lit(" Xst="), Pat(&S::XST1, "0.####"),
     Tab(45), Tab(59), Lit("dspu1="), Pat(&S::DELTSPU1, "0.####"), Close(89)},  // 65
    {Lit(" r1="), Pat(&S::R11, "0.####"), Tab(16), Tab(32), Lit(" r2s="), Pat(&S::R2ST1, "0.####"),
     Tab(45), Tab(59), Lit("dspu2="), Pat(&S::DELTSPU2, "0.####"), Close(89)},  // 66
    {Lit(" R1="), Pat(&S::R1, "#0.####"), Tab(16), Tab(32), Lit(" rst="), Pat(&S::RST1, "0.####"),
     Tab(45), Tab(59), Lit("spl2s="), Pat(&S::SPL2ST, "0.####"), Close(89)},  // 67
    {Lit(" r2="), Pat(&S::R21, "0.####"), Tab(16), Tab(32), Lit(" zst="), Pat(&S::ZST1, "0.####"),
     Tab(45), Tab(59), Lit(" sp1s="), Pat(&S::SP1ST, "#.####"), Close(89)},  // 68
    {Tab(59), Lit(" sp2s="), Pat(&S::SP2ST, "0.####"), Close(89)},           // 69
    {Whole(kRule)},                                                          // 70
};

void WriteItem(ReportWriter& w, const SheetItem& item, const ReportSources& s) {
  switch (item.kind) {
    case Kind::Literal:
    case Kind::Whole:
      w.Literal(item.text);
      break;
    case Kind::Tab:
      w.Tab(item.n);
      break;
    case Kind::Spc:
      w.Spc(item.n);
      break;
    case Kind::Pattern:
      w.Pattern(item.value.Get(s), item.text);
      break;
    case Kind::Plain:
      w.Plain(item.value.Get(s));
      break;
    case Kind::Close:
      w.Tab(item.n).Literal(item.text);
      break;
  }
}

}  // namespace

std::string SummarySheetReport(const design::DesignInput& input,
                               const calc::CalculationState& state) {
  ReportSources sources{input, state};
  ReportWriter w;
  for (const SheetLine& line : kSheet) {
    if (line.front().kind != Kind::Whole) w.Literal("*").Spc(2);
    for (const SheetItem& item : line) WriteItem(w, item, sources);
    w.EndLine();
  }
  return w.Text();
}

}  // namespace velmora::report
