// Manufacturing tolerances: the workshop's tolerances, the draws of each
// motor and the runs of the samples on several threads.
#include "velmora/studies/tolerance.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <thread>

#include "parallel_tasks.h"
#include "tolerance_summary.h"
#include "velmora/studies/sweep.h"

namespace velmora::studies {

namespace {

namespace field = design::field;

constexpr Spread Fine{SpreadKind::GeneralFine, 0};

// The tolerances a workshop quotes for a small induction motor (lengths in
// mm), each with the source it rests on.
constexpr ToleranceInput kInputs[] = {
    // Air gap: the stator bore bored to IT7 and the rotor turned to IT8
    // (ISO 286-1, diameters over 120 to 180 mm: 40 and 63 µm wide bands);
    // the two as independent spreads, √(20² + 31.5²) = 37 µm on the
    // diameter, halved for the radial gap. The model has one gap: no
    // eccentricity.
    {"G", field::G, {SpreadKind::Absolute, 0.02}},
    // Core length: a core pressed to length holds it to about one lamination
    // of 0.5 mm (workshop practice).
    {"L", field::L, {SpreadKind::Absolute, 0.5}},
    // Slot punchings, stator then rotor: ISO 2768-1 class f by the size of
    // each dimension (GeneralFineTolerance); a section the slot does not
    // have (0) stays 0.
    {"B01", field::B01, Fine},
    {"HS0", field::HS0, Fine},
    {"BS1", field::BS1, Fine},
    {"BS2", field::BS2, Fine},
    {"HS12", field::HS12, Fine},
    {"B02", field::B02, Fine},
    {"HR0", field::HR0, Fine},
    {"BR1", field::BR1, Fine},
    {"BR2", field::BR2, Fine},
    {"BR3", field::BR3, Fine},
    {"BR4", field::BR4, Fine},
    {"HR12", field::HR12, Fine},
    {"HR3", field::HR3, Fine},
    // Stacking factor: thickness, coating and burr of one coil of sheet
    // against another, ±1 % (workshop practice).
    {"Kfe", field::Kfe, {SpreadKind::Percent, 1}},
    // Stator conductor: the enamelled wire's diameter within about ±1 %
    // (IEC 60317-0-1, conductors of 0.5 to 1.6 mm), so ±2 % on its section
    // and on the winding's resistance, carried here by the resistivity.
    {"Lo1", field::Lo1, {SpreadKind::Percent, 2}},
    // Die-cast cage: the alloy's conductivity and the casting's porosity,
    // ±5 % (workshop practice).
    {"Lo2", field::Lo2, {SpreadKind::Percent, 5}},
    // Steel: IEC 60404-8-4 sets for a grade only a least polarization at
    // 2500, 5000 and 10 000 A/m; the field strength at a given flux density
    // differs from coil to coil of one grade by about ±10 % (workshop
    // measurements). A factor on the whole curve HTAB.
    {"HTAB", kSteelCurveFactor, {SpreadKind::Percent, 10}},
    // The efficiency the iteration starts from: no spread of the motor but
    // of the designer's guess, ±0.01. Results that move with it come from an
    // iteration that settles within its own tolerance, not on one answer.
    {"EFF", field::EFF, {SpreadKind::Absolute, 0.01}},
};

// ISO 2768-1 (general tolerances for linear dimensions), class f (fine):
// the permissible deviation up to each nominal size, mm. Below 0.5 mm the
// standard gives none; the first row is used there.
struct FineRow {
  double up_to, deviation;
};
constexpr FineRow kFineClass[] = {{3, 0.05},  {6, 0.05},   {30, 0.1},  {120, 0.15},
                                  {400, 0.2}, {1000, 0.3}, {2000, 0.5}};

}  // namespace

std::span<const ToleranceInput> ToleranceInputs() { return kInputs; }

std::optional<std::size_t> FindToleranceInput(std::string_view name) {
  for (std::size_t i = 0; i < std::size(kInputs); ++i)
    if (kInputs[i].name == name) return i;
  return std::nullopt;
}

double GeneralFineTolerance(double size) {
  double magnitude = std::fabs(size);
  if (magnitude == 0) return 0;
  for (const FineRow& row : kFineClass)
    if (magnitude <= row.up_to) return row.deviation;
  return std::end(kFineClass)[-1].deviation;
}

namespace {

double ToleranceOf(const Spread& spread, double nominal) {
  switch (spread.kind) {
    case SpreadKind::Absolute:
      return spread.value;
    case SpreadKind::Percent:
      return std::fabs(nominal * spread.value / 100);
    case SpreadKind::GeneralFine:
      return GeneralFineTolerance(nominal);
  }
  return 0;
}

void RefuseSpread(std::size_t index, const Spread& spread) {
  if (index >= std::size(kInputs))
    throw ToleranceError(ErrorCode::UnknownInput, "没有第" + std::to_string(index) + "个公差输入");
  if (spread.kind != SpreadKind::GeneralFine && !(std::isfinite(spread.value) && spread.value >= 0))
    throw ToleranceError(ErrorCode::BadForm, std::string(kInputs[index].name) +
                                                 "的公差应为不小于0的有限数，现为" +
                                                 design::ShortestText(spread.value));
}

}  // namespace

std::vector<AppliedSpread> SpreadsOf(const design::DesignInput& design,
                                     const std::vector<std::pair<std::size_t, Spread>>& given) {
  std::vector<Spread> chosen;
  for (const ToleranceInput& input : kInputs) chosen.push_back(input.workshop);
  for (const auto& [index, spread] : given) {
    RefuseSpread(index, spread);
    chosen[index] = spread;
  }
  std::vector<AppliedSpread> spreads;
  for (std::size_t i = 0; i < std::size(kInputs); ++i) {
    AppliedSpread s;
    const int f = kInputs[i].field;
    if (f == kSteelCurveFactor)
      s.nominal = 1;
    else if (design[f].IsNumber())
      s.nominal = design[f].number;
    // An input that is no number stays as it is: its run stops anyway.
    if (f == kSteelCurveFactor || design[f].IsNumber())
      s.tolerance = ToleranceOf(chosen[i], s.nominal);
    spreads.push_back(s);
  }
  return spreads;
}

// ---- Draws -----------------------------------------------------------------

namespace {

// The output function of SplitMix64 (Steele, Lea and Flood, "Fast splittable
// pseudorandom number generators", OOPSLA 2014): a bijection of 64 bits that
// spreads every bit over all of them.
std::uint64_t Mix(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

// A counter-based generator: the `draw`-th number in (0, 1) for input
// `input` of sample `sample` is a hash of those three and the seed, so a
// sample depends on no other and on no thread, and a changed tolerance of
// one input leaves the draws of the others as they were.
double Uniform(std::uint64_t seed, std::uint64_t sample, std::uint64_t input, std::uint64_t draw) {
  std::uint64_t h = Mix(Mix(Mix(seed) ^ sample) ^ (input << 32 | draw));
  return (static_cast<double>(h >> 11) + 0.5) * 0x1.0p-53;
}

}  // namespace

// Box–Muller, drawn again beyond ±kSigmasPerTolerance (0.27 % of draws).
double StandardDeviate(std::uint64_t seed, std::uint64_t sample, std::size_t input) {
  for (std::uint64_t draw = 0;; draw += 2) {
    double radius = std::sqrt(-2 * std::log(Uniform(seed, sample, input, draw)));
    double angle = 2 * std::numbers::pi * Uniform(seed, sample, input, draw + 1);
    double z = radius * std::cos(angle);
    if (std::fabs(z) <= kSigmasPerTolerance) return z;
  }
}

double BuildMotor(std::span<const AppliedSpread> spreads, std::span<const double> z,
                  design::DesignInput& motor, std::span<double> drawn) {
  double factor = 1;
  for (std::size_t i = 0; i < spreads.size(); ++i) {
    const AppliedSpread& s = spreads[i];
    double value = s.nominal;
    if (s.varied()) {
      double sigma = s.tolerance / kSigmasPerTolerance;
      value = s.nominal + sigma * z[i];
    }
    if (kInputs[i].field == kSteelCurveFactor)
      factor = value;
    else if (s.varied())
      SetVariedInput(motor, kInputs[i].field, value);
    if (!drawn.empty()) drawn[i] = value;
  }
  return factor;
}

namespace {

// ---- Samples ---------------------------------------------------------------

// The result columns the state gives, in the order of kToleranceResults;
// TRISE, last, comes from the check.
constexpr Quantity CalculationState::*kResultQuantities[] = {
    &CalculationState::EFF,  &CalculationState::PF,    &CalculationState::Ist,
    &CalculationState::TST1, &CalculationState::TMAX1, &CalculationState::SF};
static_assert(std::size(kResultQuantities) + 1 == kToleranceResultCount);

std::array<double, kToleranceResultCount> ResultsOf(const CalculationState& state,
                                                    const DesignCheck& check) {
  std::array<double, kToleranceResultCount> values{};
  for (std::size_t r = 0; r < std::size(kResultQuantities); ++r)
    values[r] = (state.*kResultQuantities[r]).value;
  values.back() = check.thermal.ok() ? check.thermal.winding_rise : std::nan("");
  return values;
}

// What every sample shares.
struct Plan {
  const design::DesignInput& design;
  const std::vector<AppliedSpread>& spreads;
  const ToleranceOptions& options;
};

// One thread's working copies, made once a block.
struct SampleRun {
  explicit SampleRun(const design::DesignInput& design) : input(design) {}
  design::DesignInput input;
  CalculationState state;
  CalculationFault fault;
};

// Draws the inputs of sample `k` into `drawn` and gives them to the run; returns HTAB's factor.
double DrawInputs(const Plan& plan, std::uint64_t k, SampleRun& run, std::span<double> drawn) {
  std::array<double, std::size(kInputs)> z{};
  for (std::size_t i = 0; i < plan.spreads.size(); ++i)
    if (plan.spreads[i].varied()) z[i] = StandardDeviate(plan.options.seed, k, i);
  return BuildMotor(plan.spreads, z, run.input, drawn);
}

// The run and the check of sample `k`; the check's targets are the
// design's, whatever the efficiency the run started from.
void RunSample(const Plan& plan, std::uint64_t k, SampleRun& run, ToleranceSample& sample,
               std::span<double> drawn) {
  double factor = DrawInputs(plan, k, run, drawn);
  sample.ran = Calculate(run.input, run.state, run.fault, factor);
  if (!sample.ran) {
    sample.fault = run.fault.message;
    sample.results.fill(std::nan(""));
    return;
  }
  DesignCheck check = CheckDesign(plan.design, run.state, plan.options.check);
  for (std::size_t r = 0; r < check.lines.size(); ++r) sample.outcomes[r] = check.lines[r].outcome;
  sample.trustworthy = check.Trustworthy();
  sample.passed = !check.AnyFailed();
  sample.efficiency_trusted = check.efficiency_trusted;
  sample.reached = check.efficiency_class.reached;
  sample.results = ResultsOf(run.state, check);
}

// Samples go in blocks of this many, a block to a task.
constexpr std::uint64_t kBlock = 64;

unsigned ThreadCount(const ToleranceOptions& options) {
  unsigned threads = options.threads ? options.threads : std::thread::hardware_concurrency();
  return std::max(threads, 1u);
}

void RunSamples(const Plan& plan, ToleranceResult& result) {
  const std::uint64_t n = plan.options.samples;
  const std::size_t inputs = plan.spreads.size();
  result.samples.assign(n, {});
  result.drawn.assign(n * inputs, 0);
  RunParallel((n + kBlock - 1) / kBlock, ThreadCount(plan.options), [&](std::size_t block) {
    SampleRun run(plan.design);
    for (std::uint64_t k = block * kBlock; k < std::min(n, (block + 1) * kBlock); ++k)
      RunSample(plan, k, run, result.samples[k], {result.drawn.data() + k * inputs, inputs});
  });
}

void CheckSampleCount(std::uint64_t samples) {
  if (samples < 1 || samples > kMaxToleranceSamples)
    throw ToleranceError(ErrorCode::TooMany, "样本数应为1到" +
                                                 std::to_string(kMaxToleranceSamples) + "，现为" +
                                                 std::to_string(samples));
}

}  // namespace

ToleranceResult AnalyseTolerances(const design::DesignInput& design,
                                  const ToleranceOptions& options) {
  CheckSampleCount(options.samples);
  ToleranceResult result;
  result.seed = options.seed;
  result.spreads = SpreadsOf(design, options.given);
  CalculationState nominal;
  CalculationFault fault;
  if (!Calculate(design, nominal, fault)) {
    result.nominal_fault = fault;
    return result;
  }
  result.nominal_check = CheckDesign(design, nominal, options.check);
  result.nominal = ResultsOf(nominal, result.nominal_check);
  RunSamples({design, result.spreads, options}, result);
  Summarise(nominal, ThreadCount(options), result);
  return result;
}

ToleranceResult AnalyseAnswerTolerances(const design::DesignInput& design,
                                        const CheckOptions& check, unsigned threads) {
  ToleranceOptions options;
  options.samples = kAnswerToleranceSamples;
  options.threads = threads;
  options.check = check;
  return AnalyseTolerances(design, options);
}

namespace {

// The names --tol takes, for its messages.
std::string ToleranceNames() {
  std::string names;
  for (const ToleranceInput& input : ToleranceInputs())
    names += (names.empty() ? "" : " ") + std::string(input.name);
  return names;
}

// The value after "±" or "+-", or nothing.
std::optional<std::string_view> AfterPlusMinus(std::string_view text) {
  for (std::string_view sign : {std::string_view("±"), std::string_view("+-")})
    if (text.substr(0, sign.size()) == sign) return text.substr(sign.size());
  return std::nullopt;
}

}  // namespace

std::pair<std::size_t, Spread> ParseToleranceOption(std::string_view text) {
  const std::string form = "--tol “" + std::string(text) + "”应写成 名称=±公差 或 名称=±公差%";
  std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) throw ToleranceError(ErrorCode::BadForm, form);
  std::string_view name = text.substr(0, equals);
  std::optional<std::size_t> index = FindToleranceInput(name);
  if (!index)
    throw ToleranceError(
        ErrorCode::UnknownInput,
        "--tol：没有名为“" + std::string(name) + "”的公差输入（可用：" + ToleranceNames() + "）");
  std::optional<std::string_view> value = AfterPlusMinus(text.substr(equals + 1));
  if (!value) throw ToleranceError(ErrorCode::BadForm, form);
  Spread spread;
  if (!value->empty() && value->back() == '%') {
    spread.kind = SpreadKind::Percent;
    value->remove_suffix(1);
  }
  std::optional<double> number = design::ParseNumber(*value);
  if (!number || !(*number >= 0))
    throw ToleranceError(
        ErrorCode::NotANumber,
        "--tol " + std::string(name) + "：公差应为不小于0的数，现为“" + std::string(*value) + "”");
  spread.value = *number;
  return {*index, spread};
}

}  // namespace velmora::studies
