// The first sizing of a new motor, one function a choice: frame, lamination,
// bore, air gap, slots and winding, loadings, core length by the output
// coefficient, conductors and parallel paths, wire, stator slot, cage, end
// ring, losses, targets and name. The run of the sized design then corrects
// the two estimates the choices rest on (E/U and the flux wave factor) and
// the design is sized again, a few times.
#include "velmora/studies/sizing.h"

#include <algorithm>
#include <cmath>

#include "sizing_tables.h"

namespace velmora::studies {

namespace {

namespace field = design::field;
using design::FixedText;
using design::ShortestText;
using design::SignificantText;

constexpr double kPi = 3.14159265358979;
// Slot shoulders of the Y/Y2 laminations, as the examples: 30°.
constexpr double kShoulderAngle = 30;
const double kShoulderTan = std::tan(kShoulderAngle * kPi / 180);

[[noreturn]] void Refuse(const std::string& why) {
  throw SizingError(ErrorCode::OutsideTables, why);
}

using sizing::OnStep;

// What the choices rest on before the run can tell: E/U at full load and
// the wave factor FS of the procedure (peak over mean gap flux density, the
// inverse of the pole-arc coefficient αp).
struct Estimates {
  double KE = 0.92;
  // αp ≈ 0.69 of a moderately saturated small motor (陈世坤《电机设计》,
  // the calculated pole-arc coefficient against the tooth saturation).
  double FS = 1.45;
};

// The sizing under way: the rating, the tables' rows and the design so far.
struct Work {
  Rating rating;
  sizing::FrameRating frame{};
  sizing::FrameData data{};
  sizing::Densities aims{};
  sizing::Loadings loadings{};
  Estimates estimates;
  double EFF = 0, PF = 0;  // the targets the loadings are sized on
  double KDP1 = 0, FA = 0, I1 = 0, ZF = 0;
  Sizing out;

  double Get(int f) const { return out.design[f].number; }
  void Set(int f, double value) { design::SetNumber(out.design, f, value); }
  void Record(std::string name, std::string value, std::string reason) {
    out.steps.push_back({std::move(name), std::move(value), std::move(reason)});
  }
};

std::string Mm(double x) { return ShortestText(x) + " mm"; }

// ---- The rating --------------------------------------------------------------

std::optional<double> GivenTarget(const Rating& rating, std::string_view name) {
  std::optional<double> value;
  for (const auto& [n, v] : rating.targets)
    if (n == name) value = v;
  return value;
}

// A plausible value of each target: per unit below 1, multiples below 20.
bool PlausibleTarget(std::string_view name, double v) {
  if (!std::isfinite(v) || v <= 0) return false;
  if (name == "EFF" || name == "PF" || name == "SF0") return v < 1;
  return v < 20;
}

// The class the design must reach.
EfficiencyClass RequiredClass(const Rating& rating) {
  return rating.required_class ? *rating.required_class : LegalMinimum(rating.Pn, rating.P);
}

// ---- Frame and main dimensions -------------------------------------------------

void ChooseFrame(Work& w, int H) {
  const Rating& r = w.rating;
  w.frame = *sizing::FrameFor(r.Pn, r.P);
  w.out.standard_H = w.frame.H;
  std::string reason = "EN 50347（IEC 60072-1机座号）全封闭扇冷电动机：" + ShortestText(r.Pn) +
                       " kW " + std::to_string(r.P) + "极用" + std::to_string(w.frame.H) +
                       std::string(1, w.frame.length) + "机座";
  if (H != 0 && H != w.frame.H) {
    if (!sizing::FrameDataOf(H)) Refuse("中心高" + std::to_string(H) + "不在机座表中");
    reason = "标准机座" + std::to_string(w.frame.H) + "不能满足要求，改用中心高" +
             std::to_string(H) + "的机座";
    w.frame = {r.P, r.Pn, H, 'L'};
  }
  w.data = *sizing::FrameDataOf(w.frame.H);
  w.out.H = w.frame.H;
  w.out.frame = std::to_string(w.frame.H) + w.frame.length;
  w.Set(field::H, w.frame.H);
  w.Record("H", w.out.frame, reason);
  w.Set(field::D1, w.data.D1);
  w.Record("D1", Mm(w.data.D1), std::to_string(w.frame.H) + "机座常用的定子冲片外径");
}

void ChooseBore(Work& w) {
  double ratio = sizing::BoreRatio(w.rating.P);
  double DI1 = std::round(w.data.D1 * ratio);
  w.Set(field::DI1, DI1);
  w.Record("DI1", Mm(DI1),
           std::to_string(w.rating.P) + "极常用内外径比DI1/D1≈" + ShortestText(ratio));
  double DI2 = w.rating.P == 2 ? w.data.DI2_2P : w.data.DI2;
  w.Set(field::DI2, DI2);
  w.Record("DI2", Mm(DI2),
           w.rating.P == 2 ? "本机座2极转子的轴孔（转矩小，轴细一档）" : "本机座转子的轴孔");
}

void ChooseAirGap(Work& w) {
  double G = std::max(0.25, OnStep(sizing::AirGap(w.rating.Pn, w.rating.P), 0.05));
  w.Set(field::G, G);
  w.Record("G", Mm(G),
           w.rating.P == 2 ? "经验公式δ=0.2+0.01·P^0.4 mm（P以W计，一对极），取0.05 mm的整数倍"
                           : "经验公式δ=0.18+0.006·P^0.4 mm（P以W计，多对极），取0.05 mm的整数倍");
}

// The winding factor KDP1 as the procedure computes it (items 20.1–20.3).
double WindingFactor(int Q1, int P, int CZN, int Y1) {
  double q = double(Q1) / (3 * P), alpha = kPi * P / Q1;
  double KD1 = std::sin(q * alpha / 2) / (q * std::sin(alpha / 2));
  double KP1 = CZN == 1 ? 1 : std::sin(kPi * Y1 / (6 * q));
  return KD1 * KP1;
}

void ChooseSlots(Work& w) {
  int P = w.rating.P;
  sizing::SlotCombination s = sizing::SlotsFor(P, w.frame.H);
  w.Set(field::Q1, s.Q1);
  w.Set(field::Q2, s.Q2);
  w.Record("Q1/Q2", std::to_string(s.Q1) + "/" + std::to_string(s.Q2),
           "Y/Y2系列本机座" + std::to_string(P) + "极常用的槽配合，转子槽少于定子槽，|Q1−Q2|>2");
  int CZN = sizing::Layers(P, w.frame.H);
  int Y1 = CZN == 1 ? s.Q1 / P : sizing::ChordedPitch(s.Q1, P);
  w.Set(field::CZN, CZN);
  w.Set(field::Y1, Y1);
  w.KDP1 = WindingFactor(s.Q1, P, CZN, Y1);
  w.Record("CZN/Y1", std::to_string(CZN) + "/" + std::to_string(Y1),
           (CZN == 1 ? "小机座用单层绕组，整距" : "双层短距绕组，节距不小于0.8倍极距（≈5/6）") +
               std::string("，绕组系数KDP1=") + FixedText(w.KDP1, 4));
}

void ChooseLoadings(Work& w) {
  w.loadings = sizing::LoadingsFor(w.rating.Pn, w.rating.P);
  // A higher efficiency class takes less copper and iron loss per unit. The
  // examples, Y-series designs, fall short of IE2 by some 0.6 points: IE2
  // takes 0.9 of their current density, each class above 0.1 less; the gap
  // flux density and the electric loading fall as the square root of that
  // share, so the core grows (Esson) and the phase takes more turns for the
  // lower flux. The loading falls no further: the leakage reactances go as
  // the square of the turns (陈世坤《电机设计》, the leakage reactance), and
  // the fewer conductors of a lower loading let the starting current and
  // torque run far past their targets (9 to 13 times the rated current of
  // the IE3 4-pole ratings at 0.8 of the loading). Not below the square root
  // either: the small motors' sizings then fall so far below their class that
  // the procedure's EMF loop, started from the target efficiency, cycles.
  EfficiencyClass c = RequiredClass(w.rating);
  double lower = c == EfficiencyClass::IE4 ? 0.7 : c == EfficiencyClass::IE3 ? 0.8 : 0.9;
  w.loadings.Bdelta *= std::sqrt(lower);
  w.loadings.A *= std::sqrt(lower);
  w.aims.J1 *= lower;
  w.Record("A/Bδ", FixedText(w.loadings.A, 0) + " A/cm / " + FixedText(w.loadings.Bdelta, 2) + " T",
           "线负荷与气隙磁密按功率与极数取文献常用值，" + std::string(ClassName(c)) + "取其" +
               ShortestText(lower) + "倍电流密度、" + FixedText(std::sqrt(lower), 2) +
               "倍气隙磁密与线负荷");
}

// Core length by the output coefficient (Esson): D²·Lef·n/P' =
// 6.1/(αp·KNm·KDP1·A·Bδ), SI units with n in r/min (陈世坤《电机设计》, the
// main dimensions), P' = KE·Pn/(η·cosφ) the inner apparent power, KNm = 1.11.
void ChooseCoreLength(Work& w) {
  const Rating& r = w.rating;
  double inner = w.estimates.KE * r.Pn * 1000 / (w.EFF * w.PF);
  double n = 120 * r.f / r.P;
  double D = w.Get(field::DI1) / 1000;
  double alpha_p = 1 / w.estimates.FS;
  double D2Lef =
      6.1 * inner / (alpha_p * 1.11 * w.KDP1 * w.loadings.A * 100 * w.loadings.Bdelta * n);
  double L = std::max(40.0, std::round(D2Lef / (D * D) * 1000 - 2 * w.Get(field::G)));
  w.Set(field::L, L);
  w.Set(field::LS, L);
  w.Set(field::LT, L);
  w.Record("L", Mm(L),
           "输出系数（Esson）D²Lef=6.1P'/(αp·KNm·KDP1·A·Bδ·n)，P'=" + FixedText(inner / 1000, 2) +
               " kVA，取整毫米");
}

// ---- Winding -------------------------------------------------------------------

// Series conductors a phase for the flux that gives Bδ: FA = Bδ·τ·Lef/FS.
void ChooseConductors(Work& w) {
  const Rating& r = w.rating;
  double tau = kPi * w.Get(field::DI1) / r.P;
  w.FA = w.loadings.Bdelta * tau * (w.Get(field::L) + 2 * w.Get(field::G)) / (w.estimates.FS * 1e6);
  double ZF = w.estimates.KE * r.Un / (2.22 * r.f * w.KDP1 * w.FA);
  w.I1 = 1000 * r.Pn / (3 * r.Un * w.EFF * w.PF);
  int Q1 = int(w.Get(field::Q1)), CZN = int(w.Get(field::CZN));
  // Parallel paths dividing the coil groups (P a phase in a double layer,
  // P/2 in a single one), the fewest whose conductor takes at most four
  // strands of the largest hand-wound wire.
  int groups = CZN == 2 ? r.P : r.P / 2;
  double strand = kPi / 4 * sizing::kMaxStrandDiameter * sizing::kMaxStrandDiameter;
  int A = 1;
  while (A < groups && w.I1 / (A * w.aims.J1) > 4 * strand) {
    ++A;
    while (groups % A != 0) ++A;
  }
  double per_slot = 3 * A * ZF / Q1;
  int Z = CZN == 2 ? std::max(2, 2 * int(std::lround(per_slot / 2)))
                   : std::max(1, int(std::lround(per_slot)));
  w.Set(field::A, A);
  w.Set(field::Z, Z);
  w.Set(field::ZS, CZN == 2 ? Z / 2 : Z);
  w.Set(field::ZT, 0);
  w.ZF = double(Q1) * Z / (3 * A);
  w.Record("Z", std::to_string(Z),
           "E=" + FixedText(w.estimates.KE, 3) + "·Un，每极磁通" + SignificantText(w.FA, 4) +
               " Wb（Bδ）：每相串联导体" + FixedText(ZF, 0) +
               (CZN == 2 ? "，双层取偶数" : "，取整数"));
  w.Record(
      "A", std::to_string(A),
      A == 1 ? "一路串联，每根导线不超过四股" : "并联路数整除每相线圈组数，每根导线不超过四股");
}

// The strands of a conductor of bare area S: the fewest strands of at most
// kMaxStrandDiameter, two neighbouring R20 sizes (JJ×DJJ + MM×DMM) just
// reaching S, as the examples mix 0.85 and 0.9 mm.
void ChooseWire(Work& w, double S) {
  auto area = [](double d) { return kPi / 4 * d * d; };
  int n = std::max(1, int(std::ceil(S / area(sizing::kMaxStrandDiameter) - 1e-9)));
  double d0 = std::sqrt(S / n / area(1));
  auto hi = std::lower_bound(kWireDiameters.begin(), kWireDiameters.end(), d0 - 1e-9);
  if (hi == kWireDiameters.end()) --hi;
  auto lo = hi == kWireDiameters.begin() ? hi : hi - 1;
  int k = n;  // strands of the smaller size
  while (k > 0 && k * area(*lo) + (n - k) * area(*hi) < S) --k;
  bool one_size = k == n || k == 0 || lo == hi;
  double first = k == 0 ? *hi : *lo;
  w.Set(field::JJ, one_size ? n : k);
  w.Set(field::DJJ, first);
  w.Set(field::MM, one_size ? 0 : n - k);
  w.Set(field::DMM, one_size ? 0 : *hi);
}

double BareArea(const Work& w) {
  return kPi / 4 *
         (w.Get(field::JJ) * w.Get(field::DJJ) * w.Get(field::DJJ) +
          w.Get(field::MM) * w.Get(field::DMM) * w.Get(field::DMM));
}

std::string WireText(const Work& w) {
  std::string text = ShortestText(w.Get(field::JJ)) + "×" + ShortestText(w.Get(field::DJJ));
  if (w.Get(field::MM) > 0)
    text += "+" + ShortestText(w.Get(field::MM)) + "×" + ShortestText(w.Get(field::DMM));
  return text;
}

// ---- Stator slot -----------------------------------------------------------------

// The slot fill of the slot as it stands (items 17.1–17.4).
double SlotFill(const Work& w) {
  double BS1 = w.Get(field::BS1), BS2 = w.Get(field::BS2), HS12 = w.Get(field::HS12);
  double ASS = (BS1 + BS2) * (HS12 - w.Get(field::hw)) / 2 + kPi * BS2 * BS2 / 8;
  double AI =
      w.Get(field::si) * (2 * HS12 + kPi * BS2 / 2 + (w.Get(field::CZN) == 2 ? BS1 + BS2 : 0));
  auto insulated = [](double d) { return d + (d < 1 ? 0.06 : 0.08); };
  double cond =
      w.Get(field::JJ) * std::pow(insulated(w.Get(field::DJJ)), 2) +
      (w.Get(field::MM) > 0 ? w.Get(field::MM) * std::pow(insulated(w.Get(field::DMM)), 2) : 0);
  return w.Get(field::Z) * cond / (ASS - AI);
}

// A tooth of width `tooth` between slots under a shoulder of 30°: the slot
// width at the top of its body (where the shoulder ends, itself set by that
// width) and at depth `depth` below the opening, towards the yoke (+1) or
// the shaft (−1).
struct ParallelTooth {
  double diameter, slots, tooth, opening, lip;
  int towards;  // +1 stator, −1 rotor

  double WidthAt(double depth) const {
    return kPi * (diameter + towards * 2 * (lip + depth)) / slots - tooth;
  }
  double TopWidth() const {
    double b = WidthAt(0);
    for (int i = 0; i < 20; ++i) b = WidthAt(std::max(0.0, (b - opening) * kShoulderTan / 2));
    return b;
  }
};

// Stator yoke height (item 24.1) of a slot body HS12 deep.
double StatorYoke(const Work& w, double HS12, double BS2) {
  return (w.Get(field::D1) - w.Get(field::DI1)) / 2 - (w.Get(field::HS0) + HS12 + BS2 / 2) +
         BS2 / 6;
}

// Largest x in [lo, hi] with ok(x), ok falling with x; by halving.
template <typename F>
double LastWhere(double lo, double hi, F ok) {
  for (int i = 0; i < 50; ++i) {
    double mid = (lo + hi) / 2;
    (ok(mid) ? lo : hi) = mid;
  }
  return lo;
}

void SetStatorSlot(Work& w, const ParallelTooth& t, double HS12) {
  w.Set(field::BS1, OnStep(t.TopWidth(), 0.1));
  w.Set(field::BS2, OnStep(t.WidthAt(HS12), 0.1));
  w.Set(field::HS12, OnStep(HS12, 0.1));
}

// Parallel teeth at the tooth density aim; the slot as deep as the slot fill
// aim asks, but no deeper than the yoke density allows; when the yoke
// stops it, thinner wire (a higher current density) fills the slot.
void ChooseStatorSlot(Work& w) {
  const Rating& r = w.rating;
  w.Set(field::B01, w.data.B01);
  w.Set(field::HS0, w.data.HS0);
  w.Set(field::ZS1, kShoulderAngle);
  double LFE = w.Get(field::L) * w.Get(field::Kfe);
  double Q1 = w.Get(field::Q1);
  double tooth = 1e6 * w.FA * w.estimates.FS * r.P / (Q1 * LFE * w.aims.BT1);
  ParallelTooth t{w.Get(field::DI1), Q1, tooth, w.data.B01, w.data.HS0, +1};
  double yoke_min = 1e6 * w.FA / 2 / (LFE * w.aims.BJ1);
  double deepest = LastWhere(3, w.Get(field::D1) / 2,
                             [&](double h) { return StatorYoke(w, h, t.WidthAt(h)) >= yoke_min; });
  ChooseWire(w, w.I1 / (w.Get(field::A) * w.aims.J1));
  double aim = w.Get(field::SF0) - 0.02;
  double HS12 = deepest;
  for (double h = 5; h <= deepest; h += 0.1) {
    SetStatorSlot(w, t, h);
    if (SlotFill(w) <= aim) {
      HS12 = h;
      break;
    }
  }
  SetStatorSlot(w, t, HS12);
  bool thinner = SlotFill(w) > aim;
  for (double S = BareArea(w); SlotFill(w) > aim && S > 0.1; S *= 0.98) ChooseWire(w, S);
  double J1 = w.I1 / (w.Get(field::A) * BareArea(w));
  w.Record("导线", WireText(w) + " mm",
           "电流密度J1=" + FixedText(J1, 2) + " A/mm²（R20线径，不超过" +
               ShortestText(sizing::kMaxStrandDiameter) + " mm）" +
               (thinner ? "，槽深受轭部磁密限制，减细导线以满足槽满率" : ""));
  double BJ1 = 1e6 * w.FA / 2 / (LFE * StatorYoke(w, w.Get(field::HS12), w.Get(field::BS2)));
  w.Record("BS1/BS2/HS12",
           ShortestText(w.Get(field::BS1)) + "/" + ShortestText(w.Get(field::BS2)) + "/" +
               ShortestText(w.Get(field::HS12)) + " mm",
           "平行齿宽" + FixedText(tooth, 2) + " mm（齿磁密" + ShortestText(w.aims.BT1) +
               " T），槽深使槽满率≈" + FixedText(SlotFill(w), 3) + "，轭磁密≈" + FixedText(BJ1, 2) +
               " T");
}

// ---- Cage ------------------------------------------------------------------------

// Rotor yoke height (item 24.2, slot shape 2) of a slot body HR12 deep.
double RotorYoke(const Work& w, double HR12, double BR2) {
  double D2 = w.Get(field::DI1) - 2 * w.Get(field::G);
  double bore = w.rating.P == 2 ? w.Get(field::DI2) / 3 : w.Get(field::DI2);
  return (D2 - bore) / 2 - (w.Get(field::HR0) + HR12 + BR2 / 2) + BR2 / 6;
}

// Bar area without the opening strip of slot shape 2 (item 63.2, SBN).
double BarArea(double B02, double BR1, double BR2, double HR1, double HR12) {
  return HR1 * (B02 + BR1) / 2 + (HR12 - HR1) * (BR1 + BR2) / 2 + kPi * BR2 * BR2 / 8;
}

// The bar current: I2 = KI·I1·m·ZF·KDP1/Q2 with KI = 0.8·cosφ + 0.2
// (陈世坤《电机设计》, the rotor current estimate).
double BarCurrent(const Work& w) {
  return (0.8 * w.PF + 0.2) * w.I1 * 3 * w.ZF * w.KDP1 / w.Get(field::Q2);
}

// The two-section slot (ZC 4) for the large 2-pole rotors: their starting
// torque must reach 1.7 times the rated torque at a starting current of at
// most 8.4 times the rated current, which a pear-shaped bar of low running
// resistance cannot give; a narrow upper section over a wide lower one, as a
// deep-bar or double-cage rotor, crowds the starting current into the upper
// section (skin effect), so the starting resistance rises while the running
// resistance stays low (陈世坤《电机设计》, the deep-bar and double-cage rotors;
// Boldea & Nasar, "The Induction Machine Design Handbook", the chapter on
// skin effect: a narrow top and wide bottom raise the resistance factor).
bool TwoSectionRotor(const Rating& r) { return r.P == 2 && r.Pn >= 37; }

// The upper section's share of the slot depth and its bottom width as a
// share of the parallel tooth's slot width there: a neck about 0.6 as wide
// over the upper 0.4 of the depth, as the 11 kW example's 9→6 mm section
// over its 7→4 mm lower one runs on a milder neck (design choice, moved by
// the optimiser within its band).
constexpr double kUpperShare = 0.4;
constexpr double kNeckShare = 0.6;

// Rotor yoke height (item 24.2, slot shape 4: no round-bottom term) of a
// two-section slot whose lower section ends `depth` below the bridge.
double TwoSectionYoke(const Work& w, double depth) {
  double D2 = w.Get(field::DI1) - 2 * w.Get(field::G);
  double bore = w.rating.P == 2 ? w.Get(field::DI2) / 3 : w.Get(field::DI2);
  return (D2 - bore) / 2 - (w.Get(field::HR0) + depth);
}

// Upper section BR1→BR2 down to HR12 (the neck), lower section BR3→BR4 of
// height HR3 between parallel teeth, the lower section as deep as the bar
// area of the pear-shaped slot asks, no deeper than the rotor yoke allows.
void ChooseTwoSectionSlot(Work& w, const ParallelTooth& t, double HR1, double area) {
  w.Set(field::ZC, 4);
  double BR1 = w.Get(field::BR1), B02 = w.data.B02;
  double HR12 = OnStep(HR1 + kUpperShare * (w.Get(field::HR12) - HR1), 0.1);
  double BR2 = OnStep(std::max(1.5, kNeckShare * t.WidthAt(HR12)), 0.1);
  double BR3 = OnStep(std::max(BR2 + 0.5, t.WidthAt(HR12)), 0.1);
  auto bottom = [&](double h) { return std::max(1.5, t.WidthAt(HR12 + h)); };
  double upper = HR1 * (B02 + BR1) / 2 + (HR12 - HR1) * (BR1 + BR2) / 2;
  double LFE = w.Get(field::L) * w.Get(field::Kfe);
  double yoke_min = 1e6 * w.FA / 2 / (LFE * w.aims.BJ2);
  double deepest = LastWhere(1, w.Get(field::DI1) / 2,
                             [&](double h) { return TwoSectionYoke(w, HR12 + h) >= yoke_min; });
  double HR3 = OnStep(
      LastWhere(1, deepest, [&](double h) { return upper + h * (BR3 + bottom(h)) / 2 < area; }),
      0.1);
  double BR4 = OnStep(bottom(HR3), 0.1);
  w.Set(field::BR2, BR2);
  w.Set(field::HR12, HR12);
  w.Set(field::BR3, BR3);
  w.Set(field::BR4, BR4);
  w.Set(field::HR3, HR3);
  w.Record("ZC/BR2/HR12/BR3/BR4/HR3",
           "4/" + ShortestText(BR2) + "/" + ShortestText(HR12) + "/" + ShortestText(BR3) + "/" +
               ShortestText(BR4) + "/" + ShortestText(HR3) + " mm",
           "大型2极转子用双段槽（ZC 4）：上段窄颈（约" + ShortestText(kNeckShare) +
               "倍槽宽）、下段宽，起动时集肤效应使电流挤向上段，起动电阻大而运行电阻小");
}

// A trapezoidal bar with a round bottom (slot shape 2, as the 132 examples)
// between parallel teeth at the tooth density aim, as deep as the bar
// current density asks, no deeper than the rotor yoke allows.
void ChooseRotorSlot(Work& w) {
  const Rating& r = w.rating;
  w.Set(field::ZC, 2);
  w.Set(field::B02, w.data.B02);
  w.Set(field::HR0, w.data.HR0);
  w.Set(field::ZS2, kShoulderAngle);
  for (int f : {field::BR3, field::BR4, field::HR3}) w.Set(f, 0);
  double LFE = w.Get(field::L) * w.Get(field::Kfe), Q2 = w.Get(field::Q2);
  double D2 = w.Get(field::DI1) - 2 * w.Get(field::G);
  double tooth = 1e6 * w.FA * w.estimates.FS * r.P / (Q2 * LFE * w.aims.BT2);
  ParallelTooth t{D2, Q2, tooth, w.data.B02, w.data.HR0, -1};
  double BR1 = OnStep(std::max(t.TopWidth(), w.data.B02 + 1), 0.1);
  double HR1 = (BR1 - w.data.B02) * kShoulderTan / 2;
  auto bottom = [&](double h) { return std::max(1.5, t.WidthAt(h)); };
  double yoke_min = 1e6 * w.FA / 2 / (LFE * w.aims.BJ2);
  double deepest =
      LastWhere(HR1 + 1, D2 / 2, [&](double h) { return RotorYoke(w, h, bottom(h)) >= yoke_min; });
  double I2 = BarCurrent(w), area = I2 / w.aims.JB;
  double HR12 = OnStep(
      LastWhere(HR1 + 1, deepest,
                [&](double h) { return BarArea(w.data.B02, BR1, bottom(h), HR1, h) < area; }),
      0.1);
  double BR2 = OnStep(bottom(HR12), 0.1);
  w.Set(field::BR1, BR1);
  w.Set(field::BR2, BR2);
  w.Set(field::HR12, HR12);
  double JB = I2 / BarArea(w.data.B02, BR1, BR2, HR1, HR12);
  w.Record("BR1/BR2/HR12",
           ShortestText(BR1) + "/" + ShortestText(BR2) + "/" + ShortestText(HR12) + " mm",
           "梨形槽（ZC 2），平行齿宽" + FixedText(tooth, 2) + " mm（齿磁密" +
               ShortestText(w.aims.BT2) + " T），导条电流" + FixedText(I2, 0) + " A，导条电密" +
               FixedText(JB, 2) + " A/mm²（铸铝）");
  if (TwoSectionRotor(r)) ChooseTwoSectionSlot(w, t, HR1, area);
  // End ring: IR = I2·Q2/(π·P), the procedure's item 84.3.
  double IR = I2 * Q2 / (kPi * r.P);
  double SRR = std::max(20.0, OnStep(IR / w.aims.JR, 5));
  w.Set(field::SRR, SRR);
  w.Record("SRR", ShortestText(SRR) + " mm²",
           "端环电流" + FixedText(IR, 0) + " A，端环电密" + ShortestText(w.aims.JR) + " A/mm²");
  w.Set(field::sk, 1);
  w.Record("sk", "1", "转子斜一个定子齿距，削弱齿谐波");
}

// ---- Rating, targets, data and name ------------------------------------------------

// The rating, and the material and workshop data of the examples: stacking
// 0.95, wedge 2 mm, slot liner 0.3 mm, copper 0.0217 and cast aluminium
// 0.0434 Ω·mm²/m at the reference temperature, enamel 0.07 mm, the steel
// grade of the curves, the report as a numbered list.
void SetRatingAndData(Work& w) {
  const Rating& r = w.rating;
  const std::pair<int, double> data[] = {
      {field::Un, r.Un},    {field::f, r.f},     {field::Pn, r.Pn}, {field::P, r.P},
      {field::Kfe, 0.95},   {field::hw, 2},      {field::si, 0.3},  {field::Lo1, 0.0217},
      {field::Lo2, 0.0434}, {field::QMHW, 0.07}, {field::GGPph, 1}, {field::SHFA, 1}};
  for (const auto& [f, value] : data) w.Set(f, value);
}

void ChooseTargets(Work& w) {
  const Rating& r = w.rating;
  sizing::UsualTargets usual = sizing::UsualTargetsFor(r.Pn, r.P);
  EfficiencyClass required = RequiredClass(r);
  // The class limits are those of 50 Hz, whatever the frequency.
  double EFF = EfficiencyLimits(r.Pn, r.P, 50).Of(required) / 100;
  const std::pair<int, double> targets[] = {{field::EFF, EFF},       {field::PF, usual.PF},
                                            {field::IST, usual.IST}, {field::TST, usual.TST},
                                            {field::TM, usual.TM},   {field::SF0, usual.SF0}};
  std::string given;
  for (auto [f, value] : targets) {
    std::optional<double> own = GivenTarget(r, design::kFieldInfo[f].name);
    if (own) given += std::string(given.empty() ? "" : "、") + design::kFieldInfo[f].name;
    w.Set(f, OnStep(own.value_or(value), 0.001));
  }
  w.EFF = w.Get(field::EFF);
  w.PF = w.Get(field::PF);
  w.Record(
      "EFF", ShortestText(w.EFF),
      std::string(ClassName(required)) + "效率限值" + (GivenTarget(r, "EFF") ? "（给定值）" : ""));
  w.Record("PF/IST/TST/TM/SF0",
           ShortestText(w.PF) + "/" + ShortestText(w.Get(field::IST)) + "/" +
               ShortestText(w.Get(field::TST)) + "/" + ShortestText(w.Get(field::TM)) + "/" +
               ShortestText(w.Get(field::SF0)),
           "Y/Y2系列同功率同极数的常用保证值" + (given.empty() ? "" : "，给定：" + given));
}

void ChooseLosses(Work& w) {
  double PS = sizing::StrayLoss(w.rating.Pn), PFW = sizing::MechanicalLoss(w.rating.Pn, w.rating.P);
  w.Set(field::PS, PS);
  w.Set(field::PFW, PFW);
  w.Set(field::D, w.data.D);
  w.Record("PS/PFW", ShortestText(PS) + "/" + ShortestText(PFW),
           "占额定功率的比例：5.5 kW时同例题，杂散损耗随功率按IEC "
           "60034-2-1推荐值变化，机械损耗∝Pn^−0.25");
}

// "YE3-132S-4": the series of the class (YE2, YE3, YE4), the frame, the poles.
void ChooseName(Work& w) {
  std::string_view c = ClassName(RequiredClass(w.rating));
  std::string name = "YE" + std::string(c.substr(c.size() - 1)) + "-" + w.out.frame + "-" +
                     std::to_string(w.rating.P);
  w.out.design[field::TYPE] = design::ConvertField(field::TYPE, name);
  w.Record("TYPE", name, "系列（按能效等级）-机座-极数");
}

Sizing SizeOnce(const Rating& rating, int H, const Estimates& estimates) {
  Work w;
  w.rating = rating;
  w.estimates = estimates;
  w.aims = sizing::DensitiesFor(rating.Pn, rating.P);
  SetRatingAndData(w);
  ChooseTargets(w);
  ChooseFrame(w, H);
  ChooseBore(w);
  ChooseAirGap(w);
  ChooseSlots(w);
  ChooseLoadings(w);
  ChooseCoreLength(w);
  ChooseConductors(w);
  ChooseStatorSlot(w);
  ChooseRotorSlot(w);
  ChooseLosses(w);
  ChooseName(w);
  return w.out;
}

// Passes of the sizing: the first on the textbook estimates, each further
// one on the estimates of the run of the one before.
constexpr int kMaxPasses = 5;

std::string FailedRules(const DesignCheck& check) {
  std::string names;
  for (const CheckLine& line : check.lines)
    if (line.outcome == CheckLine::Outcome::Fail || line.outcome == CheckLine::Outcome::Untrusted)
      names += (names.empty() ? "" : "、") + std::string(line.name);
  return names;
}

// Runs and checks `input`; `fault` says why it did not run.
bool RunAndCheck(const design::DesignInput& input, const CheckOptions& options, DesignCheck& check,
                 std::string& fault) {
  CalculationState state;
  CalculationFault f;
  if (!Calculate(input, state, f)) {
    fault = f.message;
    return false;
  }
  check = CheckDesign(input, state, options);
  return true;
}

}  // namespace

std::optional<int> StandardFrame(double Pn, int P) {
  std::optional<sizing::FrameRating> r = sizing::FrameFor(Pn, P);
  if (!r || Pn < sizing::FrameTable().front().Pn * (1 - 1e-9)) return std::nullopt;
  return r->H;
}

std::vector<int> FrameHeights() { return sizing::Heights(); }

std::vector<Rating> TableRatings() {
  std::vector<Rating> ratings;
  for (const sizing::FrameRating& r : sizing::FrameTable()) {
    ratings.emplace_back();
    ratings.back().Pn = r.Pn;
    ratings.back().P = r.P;
  }
  return ratings;
}

void CheckRating(const Rating& r) {
  if (!(r.P == 2 || r.P == 4 || r.P == 6)) Refuse("极数P应为2、4或6，现为" + std::to_string(r.P));
  if (!std::isfinite(r.Pn) || !StandardFrame(r.Pn, r.P))
    Refuse("功率Pn应在0.55到90 kW之间（" + std::to_string(r.P) + "极机座表），现为" +
           ShortestText(r.Pn) + " kW");
  if (!std::isfinite(r.Un) || r.Un < 100 || r.Un > 1000)
    Refuse("电压Un应在100到1000 V之间，现为" + ShortestText(r.Un) + " V");
  if (!std::isfinite(r.f) || r.f < 10 || r.f > 400)
    Refuse("频率f应在10到400 Hz之间，现为" + ShortestText(r.f) + " Hz");
  for (const auto& [name, value] : r.targets) {
    if (std::find(kSizingTargets.begin(), kSizingTargets.end(), name) == kSizingTargets.end())
      Refuse("目标值“" + name + "”不是EFF、PF、IST、TST、TM或SF0");
    if (!PlausibleTarget(name, value))
      Refuse("目标值" + name + "=" + ShortestText(value) +
             (name == "EFF" || name == "PF" || name == "SF0" ? "应在0与1之间" : "应在0与20之间"));
  }
}

Sizing SizeDesign(const Rating& rating, int H) {
  CheckRating(rating);
  if (H != 0 && !sizing::FrameDataOf(H)) Refuse("中心高" + std::to_string(H) + "不在机座表中");
  Estimates estimates;
  estimates.KE = sizing::EmfRatio(rating.Pn, rating.P);
  Sizing s;
  int passes = 0;
  std::string fault;
  while (passes < kMaxPasses) {
    s = SizeOnce(rating, H, estimates);
    ++passes;
    CalculationState state;
    CalculationFault f;
    if (!Calculate(s.design, state, f)) {
      fault = f.message;
      break;
    }
    Estimates run{state.KE0, state.FS};
    bool settled =
        std::fabs(run.KE - estimates.KE) < 0.002 && std::fabs(run.FS - estimates.FS) < 0.005;
    estimates = run;
    if (settled) break;
  }
  s.steps.push_back({"试算", std::to_string(passes) + "次",
                     fault.empty() ? "按试算的满载电势系数KE0=" + FixedText(estimates.KE, 3) +
                                         "和波幅系数FS=" + FixedText(estimates.FS, 3) +
                                         "重新选取Z、槽形与导线"
                                   : "试算出错：" + fault});
  if (rating.f != 50)
    s.notes.push_back("机座、负荷与目标值各表按50 Hz编制，频率" + ShortestText(rating.f) +
                      " Hz时仅作参考");
  return s;
}

CheckOptions CheckOptionsFor(const Rating& rating, const ThermalData& thermal) {
  CheckOptions options;
  options.required_class = rating.required_class;
  options.insulation = rating.insulation;
  options.thermal = thermal;
  return options;
}

OptimiseProblem RefineProblem(const Sizing& sized, const Rating& rating,
                              const NewDesignOptions& options) {
  OptimiseProblem problem;
  problem.base = sized.design;
  problem.objective = OptimiseObjective::Cost;
  problem.check = CheckOptionsFor(rating, options.thermal);
  problem.prices = options.prices;
  problem.targets = OptimiseProblem::Targets::WithTolerance;
  // ±band around the sized value, the upper side `up` times as wide.
  auto around = [&](int f, double least, double most, double up = 1) {
    double v = sized.design[f].number;
    problem.variables.push_back(RangeVariable(f, std::max(least, v * (1 - options.band)),
                                              std::min(most, v * (1 + up * options.band))));
  };
  for (int f : {field::DI1, field::Z, field::BS1, field::BS2, field::HS12, field::BR1, field::BR2,
                field::SRR})
    around(f, 0, 1e9);
  // The core may grow by twice the band: the output coefficient (Esson,
  // ChooseCoreLength) gives the length of a design at the loadings of
  // average motors, and a longer core of the same lamination carries the
  // output at lower loadings and flux densities, so with lower losses; the
  // frame stays, and the core is the cheapest place for the material a
  // higher class asks.
  around(field::L, 0, 1e9, 2);
  // The bar may deepen by three times the band: a deep bar's skin effect
  // raises the starting resistance (the starting torque) while the running
  // resistance stays low (陈世坤《电机设计》, the deep-bar rotor and its
  // equivalent depth), the way out when the starting current and torque
  // both bind; the check's steel curve keeps the rotor yoke.
  around(field::HR12, 0, 1e9, 3);
  // The lower section of a two-section slot as the bar above: its depth may
  // grow by three times the band (the same deep-bar reasoning).
  if (sized.design[field::ZC].number == 4) {
    around(field::BR3, 0, 1e9);
    around(field::BR4, 0, 1e9);
    around(field::HR3, 0, 1e9, 3);
  }
  around(field::G, 0.2, 3);
  // The rotor slot opening and bridge: a narrower, deeper-lipped opening
  // raises the rotor's slot leakage, so the starting current is held down
  // while the bar grows for a lower running loss (陈世坤《电机设计》, the
  // rotor slot leakage permeance of a semi-closed slot). Within the workshop's
  // reach: an opening of at least 0.8 mm; a bridge of 0.3 mm or more, up to
  // twice its sized height and no more than 2 mm.
  around(field::B02, 0.8, 1e9);
  around(field::HR0, 0.3, 2, 1 / options.band);
  around(field::DJJ, kWireDiameters.front(), kWireDiameters.back());
  if (sized.design[field::MM].number > 0)
    around(field::DMM, kWireDiameters.front(), kWireDiameters.back());
  FitToWinding(problem);
  return problem;
}

NewDesign DesignFromRating(const Rating& rating, const NewDesignOptions& options) {
  CheckRating(rating);
  CheckOptions check = CheckOptionsFor(rating, options.thermal);
  std::vector<int> heights = FrameHeights();
  auto H = std::find(heights.begin(), heights.end(), *StandardFrame(rating.Pn, rating.P));
  NewDesign result;
  for (int tried = 0;; ++tried, ++H) {
    NewDesign d;
    d.sized = SizeDesign(rating, *H);
    std::string fault;
    RunAndCheck(d.sized.design, check, d.sized_check, fault);
    d.design = d.sized.design;
    if (options.optimise) {
      d.refined = Optimise(RefineProblem(d.sized, rating, options), options.run);
      if (d.refined->found) d.design = d.refined->design;
    }
    d.ran = RunAndCheck(d.design, check, d.check, fault);
    d.passed = d.ran && !d.check.AnyFailed();
    d.frames_tried = std::move(result.frames_tried);
    result = std::move(d);
    bool cancelled = options.run.cancel && options.run.cancel->load();
    int larger = options.optimise ? options.larger_frames : 0;
    if (result.passed || cancelled || tried >= larger || H + 1 == heights.end()) return result;
    result.frames_tried.push_back(
        {*H, result.ran ? FailedRules(result.check) + "不合格" : "计算出错：" + fault});
  }
}

}  // namespace velmora::studies
