#include "optimize_command.h"

#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <utility>

#include "design_run.h"
#include "interrupt.h"
#include "outputs.h"
#include "tolerance_command.h"
#include "vary_option.h"
#include "velmora/design/input_file.h"
#include "velmora/report/class_cost_text.h"
#include "velmora/report/constraint_text.h"
#include "velmora/report/front_output.h"
#include "velmora/report/tolerance_output.h"
#include "velmora/report/validity_text.h"
#include "velmora/studies/design_freedom.h"
#include "velmora/studies/pareto_front.h"
#include "velmora/studies/sweep.h"
#include "velmora/studies/tolerance.h"

namespace velmora::cli {

namespace {

using report::ShortNumber;
using studies::OptimiseError;

const char* kUsageHead =
    "用法：velmora-calc optimize 基准设计文件 --vary 名称=下限:上限[:步长] [--vary "
    "名称=值1,值2,...]\n"
    "                            [--objective cost|efficiency|pareto] [--points N]\n"
    "                            [--front-csv 前沿.csv] [--front-json 文件|-]\n"
    "                            [--class IE2|IE3|IE4|none]\n"
    "                            [--targets plain|guarantee]\n"
    "                            [--limit 名称=上限 ...] [--margin 名称=裕量 ...]\n"
    "                            [--min-yield 合格率 [--tol 名称=±公差[%] ...]\n"
    "                            [--yield-samples N]]\n"
    "                            [--seed N] [--threads N] [--no-tolerance]\n"
    "                            [--max-evaluations N] [--max-seconds 秒] [--prices 价格文件]\n"
    "                            [--insulation B|F|H|none] [--thermal 热参数文件]\n"
    "                            [-o 最优设计.txt|前沿文件夹]\n"
    "  在给定范围内改变所选输入，找出有效材料成本最低（--objective efficiency：效率最高）\n"
    "  的设计。约束为设计的目标值（EFF PF IST TST TM SF0；默认 plain 不计容差，guarantee\n"
    "  按设计校核的保证值容差，如 Ist ≤ 1.2·IST）、能效等级（默认法定\n"
    "  最低等级，none 不要求）、额定负载下绕组平均温升TRISE（热网络，电阻法）不超过\n"
    "  --insulation 绝缘等级的限值（默认B级80 K，none 不要求；热参数默认取程序旁的\n"
    "  “热参数.dat”）、磁密不超出磁化曲线、输入、结果与尺寸合理（齿、轭、槽都有正的尺寸，\n"
    "  槽满率不大于1）、绕组可绕制，以及 --limit 给出的上限（J1 AJ BT1 BT2 BJ1 BJ2 BG，\n"
    "  以及TRISE，单位K，代替绝缘等级的温升限值）。\n"
    "  --margin 使结果与约束的限值保持距离（可重复），单位同约束：EFF（或IE）能效等级的\n"
    "  效率限值之上的百分点，如 --margin EFF=0.3；Ist（IST）起动电流倍数的限值之下，\n"
    "  如 --margin Ist=0.2；TST（TST1）、TM（TMAX1）、PF 在限值之上；SF、TRISE（K）在\n"
    "  限值之下。裕量不小于0，只能给问题中有的约束。\n"
    "  只能改变设计自由度：额定数据与电源（Pn Un f P）、目标值（EFF PF IST TST TM SF0）、\n"
    "  材料与经验数据（Lo1 Lo2 Kfe GGPph PS PFW）、中心高H、选择量和只在报告中列出的输入\n"
    "  （QMHW LS LT ZS ZT）不能改变（扫描可以改变它们，作为研究）。\n"
    "  Z A JJ MM Y1 只取整数（双层绕组Z只取偶数，A只取能整除每相线圈组数的值），DJJ DMM\n"
    "  取标准漆包线径（R20，0.50~1.60 mm）；给出步长或取值表时只取这些值；其余尺寸不给\n"
    "  步长时按加工精度取值：\n";

const char* kUsageTail =
    "  --objective pareto 给出成本—效率前沿（ε约束法）：先找成本最低和效率最高的设计，再在\n"
    "  两者效率之间均匀取 --points 个效率水平（默认12，2~50），各找效率不低于该水平的成本\n"
    "  最低设计（从相邻水平的解出发），去掉被支配的点后列表给出效率、成本和改变的输入，\n"
    "  以及本额定值的能效等级限值；--front-csv 把前沿写成CSV（EFF COST PF Ist TRISE\n"
    "  和改变的输入），--front-json 写成JSON（各点改变的输入和主要结果、能效等级限值）；\n"
    "  -o 给出文件夹（没有时新建），把前沿的每个设计按成本由低到高写成设计文件\n"
    "  front-01.txt、front-02.txt……。每次搜索各用 --max-evaluations 和 --max-seconds。\n"
    "    结果给出最优设计，以及另外至多两个不同的局部最优解供比较。-o 把找到的设计写成设计\n"
    "  文件（GBK）。取样用去至多一半的计算次数和一半的时间；找不到满足全部约束的设计时\n"
    "  一直搜索到次数或时间用完，给出最接近的设计和差多少，退出码为3。--max-seconds 为\n"
    "  不大于1e9的正数，1e9为不限时。Ctrl-C 中断时给出已找到的最优设计，不写 -o，退出码\n"
    "  为130。\n"
    "  --min-yield 稳健优化：按制造公差抽取 --yield-samples 台电机（默认64，1~4096，种子1），\n"
    "  要求其中满足全部约束（与设计本身相同的约束，含裕量）的比例不低于给定值（大于0，不大于\n"
    "  1，如0.95）。每个方案用同一组随机数，按各自的尺寸定公差；只对本身满足约束的方案抽样。\n"
    "  公差默认为车间常用值（见 velmora-calc tolerance --help），--tol 改变一个输入的公差，\n"
    "  写法同 tolerance 命令（可重复）。另做一次不要求合格率的搜索（计算次数与时间上限相同），\n"
    "  给出稳健代价：两个最优设计的成本和合格率（同一组样本），以及成本差（元和百分比）。\n";

// The tolerance analysis that follows the answer.
std::string ToleranceUsage() {
  return "  最优设计之后给出它的公差分析（默认公差，" +
         std::to_string(studies::kAnswerToleranceSamples) +
         "个样本，种子1，线程数同优化）：各校核项和\n"
         "  全部校核项合格的比例；--no-tolerance 不做。\n";
}

// The workshop steps, one line a step: the inputs searched on it.
std::string WorkshopSteps() {
  std::string out;
  std::vector<double> steps;
  for (int f = 0; f < design::kFieldCount; ++f)
    if (studies::WorkshopStep(f) > 0 &&
        std::find(steps.begin(), steps.end(), studies::WorkshopStep(f)) == steps.end())
      steps.push_back(studies::WorkshopStep(f));
  std::sort(steps.begin(), steps.end());
  for (double step : steps) {
    out += "    " + design::ShortestText(step) + "：";
    bool first = true;
    for (int f = 0; f < design::kFieldCount; ++f)
      if (studies::WorkshopStep(f) == step)
        out += std::string(std::exchange(first, false) ? "" : " ") + design::kFieldInfo[f].name;
    out += "\n";
  }
  return out + "    （长度mm，SRR mm²，ZS1 ZS2 度，sk 定子齿距）\n";
}

const std::string kUsageText = kUsageHead + WorkshopSteps() + kUsageTail + ToleranceUsage();
const char* kUsage = kUsageText.c_str();

[[noreturn]] void UsageError(const std::string& message) {
  throw CommandFailure(message, kExitUsage, kUsage);
}

struct OptimizeArguments {
  std::string base;
  std::vector<std::string> vary, limits, margins;
  std::optional<std::string> output, front_csv, front_json;
  bool tolerance = true;
  bool front = false;  // --objective pareto
  int points = studies::FrontOptions{}.points;
  studies::OptimiseObjective objective = studies::OptimiseObjective::Cost;
  studies::OptimiseProblem::Targets targets = studies::OptimiseProblem::Targets::AsGiven;
  studies::OptimiseOptions run;
  // --min-yield, --tol, --yield-samples
  std::optional<double> min_yield;
  std::vector<std::pair<std::size_t, studies::Spread>> tolerances;
  std::optional<std::uint64_t> yield_samples;
};

// "NAME=VALUE": the name and the value.
std::pair<std::string_view, std::string_view> NameAndValue(std::string_view text,
                                                           std::string_view form) {
  std::size_t equals = text.find('=');
  if (equals == std::string_view::npos)
    throw OptimiseError(ErrorCode::BadForm,
                        "“" + std::string(text) + "”应写成 " + std::string(form));
  return {text.substr(0, equals), text.substr(equals + 1)};
}

double NumberIn(std::string_view option, std::string_view text) {
  std::optional<double> number = design::ParseNumber(text);
  if (!number)
    throw OptimiseError(ErrorCode::NotANumber,
                        std::string(option) + "：“" + std::string(text) + "”不是数字");
  return *number;
}

studies::OptimiseProblem::Targets TargetsNamed(std::string_view name) {
  if (name == "plain") return studies::OptimiseProblem::Targets::AsGiven;
  if (name == "guarantee") return studies::OptimiseProblem::Targets::WithTolerance;
  UsageError("--targets 应为plain或guarantee，现为“" + std::string(name) + "”");
}

// The objective named, or the front (`front` set) for "pareto".
studies::OptimiseObjective ObjectiveNamed(std::string_view name, bool& front) {
  front = name == "pareto";
  if (name == "cost" || front) return studies::OptimiseObjective::Cost;
  if (name == "efficiency") return studies::OptimiseObjective::Efficiency;
  UsageError("--objective 应为cost、efficiency或pareto，现为“" + std::string(name) + "”");
}

// A positive number of seconds up to studies::kNoTimeLimit, which is none.
double Seconds(std::string_view text) {
  std::optional<double> seconds = design::ParseNumber(text);
  if (!seconds || !(*seconds > 0) || !(*seconds <= studies::kNoTimeLimit))
    UsageError("--max-seconds 应为不大于1e9的正数（1e9为不限时），现为“" + std::string(text) + "”");
  return *seconds;
}

// A share of motors above 0 and at most 1.
double MinYield(std::string_view text) {
  std::optional<double> share = design::ParseNumber(text);
  if (!share || !studies::YieldInRange(*share))
    UsageError("--min-yield 应为大于0、不大于1的数（如0.95），现为“" + std::string(text) + "”");
  return *share;
}

std::pair<std::size_t, studies::Spread> Tolerance(std::string_view text) {
  try {
    return ParseToleranceOption(text);
  } catch (const studies::ToleranceError& error) {
    UsageError(error.what());
  }
}

// Takes an option with a value; false when `arg` is not one.
bool TakeValued(const std::string& arg, const std::string& value, OptimizeArguments& a) {
  if (arg == "--vary")
    a.vary.push_back(value);
  else if (arg == "--limit")
    a.limits.push_back(value);
  else if (arg == "--margin")
    a.margins.push_back(value);
  else if (arg == "-o")
    a.output = value;
  else if (arg == "--objective")
    a.objective = ObjectiveNamed(value, a.front);
  else if (arg == "--points")
    a.points =
        WholeOption<int>(arg, value, studies::kMinFrontPoints, studies::kMaxFrontPoints, kUsage);
  else if (arg == "--front-csv")
    a.front_csv = value;
  else if (arg == "--front-json")
    a.front_json = value;
  else if (arg == "--targets")
    a.targets = TargetsNamed(value);
  else if (arg == "--seed")
    a.run.seed = WholeOption<std::uint64_t>(arg, value, 0, UINT64_MAX, kUsage);
  else if (arg == "--threads")
    a.run.threads = WholeOption<unsigned>(arg, value, 1, 1024, kUsage);
  else if (arg == "--max-evaluations")
    a.run.max_evaluations = WholeOption<std::uint64_t>(arg, value, 1, UINT64_MAX, kUsage);
  else if (arg == "--max-seconds")
    a.run.max_seconds = Seconds(value);
  else if (arg == "--min-yield")
    a.min_yield = MinYield(value);
  else if (arg == "--tol")
    a.tolerances.push_back(Tolerance(value));
  else if (arg == "--yield-samples")
    a.yield_samples = WholeOption<std::uint64_t>(arg, value, 1, studies::kMaxYieldSamples, kUsage);
  else
    return false;
  return true;
}

OptimizeArguments ParseArguments(const std::vector<std::string>& args) {
  OptimizeArguments a;
  a.base = ScanArguments(
      args, kUsage,
      [&a](const std::string& arg, const std::string& value) { return TakeValued(arg, value, a); },
      "没有给出基准设计文件",
      [&a](const std::string& arg) {
        if (arg != "--no-tolerance") return false;
        a.tolerance = false;
        return true;
      });
  if (a.vary.empty()) UsageError("没有给出 --vary");
  if (!a.front && (a.front_csv || a.front_json))
    UsageError(std::string(a.front_csv ? "--front-csv" : "--front-json") +
               " 只用于 --objective pareto");
  if (a.front && a.output == "-") UsageError("-o：前沿的设计应写入文件夹，不能写到标准输出");
  if (!a.min_yield && (!a.tolerances.empty() || a.yield_samples))
    UsageError("--tol 和 --yield-samples 只用于 --min-yield");
  if (a.front && a.min_yield) UsageError("--min-yield 不用于 --objective pareto");
  return a;
}

studies::UpperLimit ParseLimit(std::string_view text) {
  auto [name, value] = NameAndValue(text, "名称=上限");
  return {std::string(name), NumberIn("--limit " + std::string(name), value)};
}

studies::Margin ParseMargin(std::string_view text) {
  auto [name, value] = NameAndValue(text, "--margin 名称=裕量");
  std::optional<std::string_view> constraint = studies::MarginConstraint(name);
  if (!constraint)
    UsageError("--margin：不能给“" + std::string(name) +
               "”设裕量（可设EFF IE Ist TST TM PF SF TRISE）");
  double margin = NumberIn("--margin " + std::string(name), value);
  if (!(margin >= 0) || !std::isfinite(margin))
    UsageError("--margin " + std::string(name) + "：裕量应为不小于0的有限数，现为“" +
               std::string(value) + "”");
  return {std::string(*constraint), margin};
}

}  // namespace

studies::OptimiseVariable ParseOptimiseVariable(std::string_view text) {
  auto [name, values] = NameAndValue(text, "名称=下限:上限[:步长] 或 名称=值1,值2,...");
  std::optional<int> field = design::FieldIndex(name);
  if (!field)
    throw OptimiseError(ErrorCode::UnknownInput, "没有名为“" + std::string(name) + "”的输入数据");
  std::string option = "改变" + design::InputLabel(*field);
  std::vector<std::string_view> parts = SplitText(values, ':');
  if (parts.size() == 2)
    return studies::RangeVariable(*field, NumberIn(option, parts[0]), NumberIn(option, parts[1]));
  if (parts.size() == 3)
    return studies::SteppedVariable(*field, NumberIn(option, parts[0]), NumberIn(option, parts[1]),
                                    NumberIn(option, parts[2]));
  if (parts.size() > 3)
    throw OptimiseError(ErrorCode::BadForm, option + "：范围应写成 下限:上限 或 下限:上限:步长");
  std::vector<double> list;
  for (std::string_view part : SplitText(values, ',')) list.push_back(NumberIn(option, part));
  return studies::ListVariable(*field, std::move(list));
}

namespace {

// ---- The answer ------------------------------------------------------------

// "（限值7，裕量0.3）" after a limit moved inward by a margin.
std::string MarginText(const studies::ConstraintLine& line, bool at_least) {
  if (line.margin == 0) return "";
  double own = at_least ? line.limit - line.margin : line.limit + line.margin;
  return "（限值" + ShortNumber(own) + "，裕量" + ShortNumber(line.margin) + "）";
}

std::string ConstraintText(const studies::ConstraintLine& line) {
  bool at_least = line.bound == studies::CheckLine::Bound::AtLeast;
  return report::ConstraintCaption(line.name) + (at_least ? " ≥ " : " ≤ ") +
         ShortNumber(line.limit) + MarginText(line, at_least) + "，计算值" +
         ShortNumber(line.value);
}

std::string ClassText(const studies::OptimiseProblem& problem, double EFF) {
  const design::DesignInput& b = problem.base;
  namespace field = design::field;
  return report::ClassVerdict(studies::ClassifyEfficiency(EFF, b[field::Pn].number,
                                                          b[field::P].number, b[field::f].number));
}

void PrintInputs(const studies::OptimiseProblem& problem, const studies::OptimiseResult& result) {
  std::cout << "改变的输入（原设计 → 优化设计）：\n";
  for (std::size_t i = 0; i < problem.variables.size(); ++i) {
    const studies::OptimiseVariable& v = problem.variables[i];
    const design::FieldValue& from = problem.base[v.field];
    std::string to = design::ShortestText(result.values[i]);
    if (from.IsNumber() && from.number == result.values[i]) continue;
    std::cout << "  " << design::InputLabel(v.field) << "  " << from.text << " → " << to << "\n";
  }
}

// The variables the bounds hold back, changed or not.
void PrintBounds(const studies::OptimiseProblem& problem, const studies::OptimiseResult& result) {
  std::string lines;
  for (std::size_t i = 0; i < problem.variables.size(); ++i) {
    const studies::OptimiseVariable& v = problem.variables[i];
    double x = result.values[i];
    if (v.lower == v.upper || (x != v.lower && x != v.upper)) continue;
    lines += "  " + std::string(design::kFieldInfo[v.field].name) + " = " +
             design::ShortestText(x) + (x == v.lower ? "（下限）\n" : "（上限）\n");
  }
  if (!lines.empty()) std::cout << "在范围边界上的输入：\n" << lines;
}

void PrintResults(const studies::OptimiseProblem& problem, const studies::OptimiseResult& result) {
  const studies::Assessment &from = result.start, &to = result.best;
  // A rise the thermal network could not give shows as "—".
  auto shown = [](double x) { return std::isfinite(x) ? ShortNumber(x) : "—"; };
  auto row = [&](const char* caption, double studies::Assessment::*q) {
    std::cout << "  " << caption << "  " << (from.ran ? shown(from.*q) : "（计算出错）") << " → "
              << shown(to.*q) << "\n";
  };
  std::cout << "计算结果（原设计 → 优化设计）：\n";
  row("效率EFF", &studies::Assessment::EFF);
  std::cout << "  能效等级  " << (from.ran ? ClassText(problem, from.EFF) : "—") << " → "
            << ClassText(problem, to.EFF) << "\n";
  row("功率因数PF", &studies::Assessment::PF);
  row("起动电流倍数Ist", &studies::Assessment::Ist);
  row("起动转矩倍数TST1", &studies::Assessment::TST1);
  row("最大转矩倍数TMAX1", &studies::Assessment::TMAX1);
  row("槽满率SF", &studies::Assessment::SF);
  row("绕组温升TRISE（K）", &studies::Assessment::TRISE);
  std::cout << "  有效材料成本（" << report::Currency(problem.prices) << "）  "
            << (from.ran ? ShortNumber(from.cost) : "（计算出错）") << " → " << ShortNumber(to.cost)
            << "\n";
}

// The constraints holding the answer back, or those it misses; the yield
// of a robust requirement always.
void PrintConstraints(const studies::Assessment& best) {
  bool feasible = best.Feasible();
  std::cout << (feasible ? "起作用的约束：\n" : "未满足的约束：\n");
  int shown = 0;
  for (const studies::ConstraintLine& line : best.constraints()) {
    bool show = (feasible ? line.AtLimit() : !line.Met()) || line.name == "YIELD";
    if (!show) continue;
    ++shown;
    std::cout << "  " << ConstraintText(line);
    if (!feasible) std::cout << "，差" << ShortNumber(std::fabs(line.value - line.limit));
    std::cout << "\n";
  }
  if (shown == 0) std::cout << "  （无）\n";
}

const char* StopText(studies::OptimiseResult::Stop stop) {
  switch (stop) {
    case studies::OptimiseResult::Stop::NoImprovement:
      return "一轮局部搜索没有再改进";
    case studies::OptimiseResult::Stop::Evaluations:
      return "达到计算次数上限";
    case studies::OptimiseResult::Stop::Time:
      return "达到时间上限";
    case studies::OptimiseResult::Stop::Cancelled:
      return "已中断";
  }
  return "";
}

// The other local optima, each in one line: its inputs and main results.
void PrintOtherOptima(const studies::OptimiseProblem& problem,
                      const studies::OptimiseResult& result) {
  if (result.optima.size() < 2) return;
  std::cout << "其他局部最优解：\n";
  for (std::size_t k = 1; k < result.optima.size(); ++k) {
    const studies::Optimum& optimum = result.optima[k];
    std::cout << "  " << k + 1 << ".";
    for (std::size_t i = 0; i < problem.variables.size(); ++i)
      std::cout << " " << design::kFieldInfo[problem.variables[i].field].name << "="
                << design::ShortestText(optimum.values[i]);
    const studies::Assessment& a = optimum.assessment;
    std::cout << "  →  成本" << ShortNumber(a.cost) << " EFF" << ShortNumber(a.EFF) << " PF"
              << ShortNumber(a.PF) << " Ist" << ShortNumber(a.Ist) << " SF" << ShortNumber(a.SF)
              << "\n";
  }
}

void PrintAnswer(const studies::OptimiseProblem& problem, const studies::OptimiseResult& result) {
  if (!result.Feasible()) std::cout << "没有找到满足全部约束的设计。最接近的设计：\n";
  PrintInputs(problem, result);
  PrintResults(problem, result);
  PrintConstraints(result.best);
  PrintBounds(problem, result);
  PrintOtherOptima(problem, result);
  std::printf("计算 %llu 个方案，用时 %.2f 秒（%s）\n",
              static_cast<unsigned long long>(result.evaluations), result.seconds,
              StopText(result.stop));
  std::fflush(stdout);
}

// The answer built many times over: the yields of its check with the
// workshop's tolerances, so that an answer on a knife edge shows at once.
void PrintTolerance(const studies::OptimiseProblem& problem, const studies::OptimiseResult& result,
                    unsigned threads) {
  studies::ToleranceResult tolerance =
      studies::AnalyseAnswerTolerances(result.design, problem.check, threads);
  if (tolerance.nominal_fault)
    std::cout << "公差分析：最优设计计算出错（" << tolerance.nominal_fault->message << "）\n";
  else
    std::cout << report::ToleranceYieldText(tolerance);
  std::cout.flush();
}

// Evaluations and the best so far on standard error, when it is a terminal.
class ProgressLine {
 public:
  explicit ProgressLine(studies::OptimiseObjective objective)
      : objective_(objective), shown_(isatty(STDERR_FILENO)) {}

  void Update(const studies::OptimiseProgress& p) {
    if (!shown_) return;
    std::fprintf(stderr, "\r%s 已计算 %llu 个方案",
                 p.phase == studies::OptimiseProgress::Phase::Sample ? "取样" : "搜索",
                 static_cast<unsigned long long>(p.evaluations));
    if (p.found)
      std::fprintf(stderr, "  目前最优 %s %s%s   ",
                   objective_ == studies::OptimiseObjective::Cost ? "成本" : "效率",
                   ShortNumber(p.best).c_str(), p.feasible ? "" : "（未满足约束）");
    std::fflush(stderr);
  }
  void End() {
    if (shown_) std::fputs("\n", stderr);
  }

 private:
  studies::OptimiseObjective objective_;
  bool shown_;
};

// "成本 812.3 元，合格率 93.8%"
std::string CostAndYield(const studies::OptimiseProblem& problem, const studies::Assessment& a) {
  return "成本 " + ShortNumber(a.cost) + " " + report::Currency(problem.prices) + "，合格率 " +
         ShortNumber(a.Yield() * 100) + "%";
}

// The robust answer's line; one short of its yield is the nearest design.
std::string RobustLine(const studies::OptimiseProblem& problem, const studies::Assessment& a) {
  return (a.Feasible() ? "  稳健最优  " : "  稳健最优（未达到合格率下限）  ") +
         CostAndYield(problem, a) + "\n";
}

// What the robust requirement costs: the optimum of the same search without
// it (the same budgets) against the robust optimum, each with its yield on
// the same motors. False when that search was interrupted.
bool PrintRobustnessCost(const studies::OptimiseProblem& problem,
                         const studies::OptimiseResult& robust, const studies::OptimiseOptions& run,
                         ProgressLine& progress) {
  studies::OptimiseProblem without = problem;
  without.robust.reset();
  studies::OptimiseResult nominal = studies::Optimise(without, run);
  progress.End();
  if (nominal.stop == studies::OptimiseResult::Stop::Cancelled) {
    std::cout << "稳健代价：不要求合格率的搜索已中断\n";
    return false;
  }
  std::cout << "稳健代价（合格率为同一组" << problem.robust->samples
            << "个公差样本中满足全部约束的比例）：\n";
  if (!nominal.Feasible()) {
    std::cout << "  名义最优  没有找到满足全部约束的设计\n" << RobustLine(problem, robust.best);
    std::cout.flush();
    return true;
  }
  studies::Assessment a = studies::Evaluate(problem, nominal.values);
  double cost = robust.best.cost - a.cost;
  std::cout << "  名义最优  " << CostAndYield(problem, a) << "\n"
            << RobustLine(problem, robust.best) << "  稳健代价  " << ShortNumber(cost) << " "
            << report::Currency(problem.prices) << "（" << ShortNumber(cost / a.cost * 100)
            << "%）\n";
  std::cout.flush();
  return true;
}

studies::OptimiseProblem Problem(const OptimizeArguments& a, const DesignToolOptions& tools) {
  studies::OptimiseProblem problem;
  problem.base = ReadDesign(a.base);
  problem.objective = a.objective;
  problem.targets = a.targets;
  problem.check = tools.check;
  problem.prices = tools.prices;
  try {
    for (const std::string& vary : a.vary) problem.variables.push_back(ParseOptimiseVariable(vary));
    for (const std::string& limit : a.limits) problem.limits.push_back(ParseLimit(limit));
    for (const std::string& margin : a.margins) problem.margins.push_back(ParseMargin(margin));
    if (a.min_yield) {
      problem.robust.emplace();
      problem.robust->min_yield = *a.min_yield;
      problem.robust->tolerances = a.tolerances;
      if (a.yield_samples) problem.robust->samples = *a.yield_samples;
    }
    studies::CheckProblem(problem);
    studies::FitToWinding(problem);
  } catch (const OptimiseError& error) {
    UsageError(error.what());
  }
  return problem;
}

// Each design of the front into `folder`, made when it does not exist yet.
void AddFrontDesigns(const std::string& folder, const studies::OptimiseProblem& problem,
                     const studies::Front& front, Outputs& outputs) {
  std::error_code error;
  std::filesystem::create_directory(folder, error);
  if (error || !std::filesystem::is_directory(folder))
    throw CommandFailure("-o：不能建立文件夹“" + folder + "”" +
                             (error ? "（" + error.message() + "）" : "（已有同名文件）"),
                         kExitFault);
  for (std::size_t k = 0; k < front.points.size(); ++k) {
    design::DesignInput design = studies::DesignWith(problem, front.points[k].values);
    outputs.Add((std::filesystem::path(folder) / report::FrontDesignName(k)).string(),
                design::FormatInputFile(design::FieldTexts(design)));
  }
}

// The front: its table and class limits, and the CSV, JSON and design files
// when asked for.
int RunFront(const OptimizeArguments& a, const studies::OptimiseProblem& problem,
             studies::OptimiseOptions run) {
  studies::Front front = studies::FindFront(problem, {a.points, std::move(run), {}});
  if (front.points.empty()) throw CommandFailure("没有找到满足全部约束的设计", kExitCheckFailed);
  char counts[96];
  std::snprintf(counts, sizeof counts, "计算 %llu 个方案，用时 %.2f 秒\n",
                static_cast<unsigned long long>(front.evaluations), front.seconds);
  // With the JSON on standard output the table and the counts go to standard error.
  (a.front_json == "-" ? std::cerr : std::cout)
      << report::FrontTable(problem, front) << counts << std::flush;
  if (front.stop == studies::OptimiseResult::Stop::Cancelled) {
    std::cerr << "计算已中断：以上是中断前找到的前沿，没有写入文件\n";
    return kExitInterrupted;
  }
  Outputs outputs;
  if (a.front_csv) outputs.Add(*a.front_csv, report::FrontCsv(problem, front));
  if (a.front_json) outputs.Add(*a.front_json, report::FrontJson(problem, front));
  if (a.output) AddFrontDesigns(*a.output, problem, front, outputs);
  outputs.WriteAll();
  return 0;
}

}  // namespace

int OptimizeCommand(std::vector<std::string> args) {
  if (AsksForHelp(args)) {
    std::cout << kUsage;
    return 0;
  }
  DesignToolOptions tools = TakeDesignToolOptions(args, kUsage);
  TakeThermalOptions(args, kUsage, tools.check);
  OptimizeArguments a = ParseArguments(args);
  studies::OptimiseProblem problem = Problem(a, tools);
  if (a.run.threads) a.run.threads = UsableThreads(a.run.threads);
  ProgressLine progress(problem.objective);
  a.run.progress = [&](const studies::OptimiseProgress& p) { progress.Update(p); };
  InterruptGuard guard;
  a.run.cancel = &Interrupted();
  if (a.front) {
    int status = RunFront(a, problem, a.run);
    progress.End();
    return status;
  }
  studies::OptimiseResult result = studies::Optimise(problem, a.run);
  progress.End();
  bool interrupted = result.stop == studies::OptimiseResult::Stop::Cancelled;
  if (!result.found && interrupted) throw CommandFailure("计算已中断", kExitInterrupted);
  if (!result.found && result.stop == studies::OptimiseResult::Stop::Time)
    throw CommandFailure("时间上限内没有算完任何方案，请加大 --max-seconds", kExitCheckFailed);
  if (!result.found)
    throw CommandFailure("范围内的设计都计算出错，没有可给出的设计", kExitCheckFailed);
  PrintAnswer(problem, result);
  if (problem.robust && !interrupted)
    interrupted = !PrintRobustnessCost(problem, result, a.run, progress);
  if (a.tolerance && !interrupted) PrintTolerance(problem, result, a.run.threads);
  if (interrupted) {
    std::cerr << "计算已中断：以上是中断前找到的最优设计"
              << (a.output ? "，没有写入" + *a.output : std::string()) << "\n";
    return kExitInterrupted;
  }
  if (a.output) {
    Outputs outputs;
    outputs.Add(*a.output, design::FormatInputFile(design::FieldTexts(result.design)));
    outputs.WriteAll();
  }
  return result.Feasible() ? 0 : kExitCheckFailed;
}

}  // namespace velmora::cli
