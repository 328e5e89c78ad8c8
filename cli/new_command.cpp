#include "new_command.h"

#include <iostream>
#include <optional>

#include "check_command.h"
#include "design_run.h"
#include "interrupt.h"
#include "outputs.h"
#include "velmora/design/input_file.h"
#include "velmora/report/validity_text.h"
#include "velmora/studies/sizing.h"

namespace velmora::cli {

namespace {

const std::string kUsageText =
    "用法：velmora-calc new --power 功率kW --poles 极数 [--voltage 380] [--frequency 50]\n"
    "                       [--class IE2|IE3|IE4] [--insulation B|F|H|none] [--thermal "
    "热参数文件]\n"
    "                       [--target 名称=值 ...] [--no-optimise] [--threads N]\n"
    "                       [--max-evaluations N] [--prices 价格文件] [-o 设计文件]\n"
    "  由额定值做出完整的设计（60项输入）：按机座表（EN 50347）选中心高与冲片外径，按内外径比、\n"
    "  线负荷与气隙磁密、输出系数定主要尺寸，再选槽配合、绕组、每槽导体数、导线、定转子槽形、\n"
    "  气隙、端环、损耗与目标值，逐项给出取值和理由；试算后校正。然后在各尺寸±30%内（铁心长\n"
    "  可加长60%、导条深可加深90%）优化（成本最低，目标值按校核容差，能效等级与绝缘等级温升\n"
    "  为约束）；标准机座不合格时改用大一号机座。最后给出设计校核、能效等级、温升和材料成本。\n"
    "  --power        额定功率，0.55~90 kW；--poles 极数2、4或6\n"
    "  --voltage      相电压（默认380 V，三角形接法）；--frequency 频率（默认50 Hz，各表按50 Hz）\n"
    "  --class        须达到的能效等级（默认法定最低等级）\n"
    "  --insulation   绝缘等级（默认B），none 不限温升\n"
    "  --target       代替常用目标值：EFF PF IST TST TM SF0，如 --target PF=0.85（可重复）\n"
    "  --no-optimise  只做初步设计，不优化\n"
    "  --threads N    优化用的线程数；--max-evaluations N 优化的计算次数（默认" +
    std::to_string(studies::kNewDesignEvaluations) +
    "）\n"
    "  -o 文件        把设计写成设计文件（GBK）\n"
    "  设计校核合格时退出码为0，否则为3。\n";
const char* kUsage = kUsageText.c_str();

[[noreturn]] void UsageError(const std::string& message) {
  throw CommandFailure(message, kExitUsage, kUsage);
}

struct NewArguments {
  studies::Rating rating;
  studies::NewDesignOptions options;
  std::optional<std::string> output;
  bool power = false, poles = false;
};

double NumberOption(std::string_view option, std::string_view text) {
  std::optional<double> number = design::ParseNumber(text);
  if (!number) UsageError(std::string(option) + " 应为数字，现为“" + std::string(text) + "”");
  return *number;
}

std::pair<std::string, double> Target(std::string_view text) {
  std::size_t equals = text.find('=');
  if (equals == std::string_view::npos)
    UsageError("--target 应写成 名称=值，现为“" + std::string(text) + "”");
  return {std::string(text.substr(0, equals)), NumberOption("--target", text.substr(equals + 1))};
}

bool TakeValued(const std::string& arg, const std::string& value, NewArguments& a) {
  if (arg == "--power") {
    a.rating.Pn = NumberOption(arg, value);
    a.power = true;
  } else if (arg == "--poles") {
    a.rating.P = WholeOption<int>(arg, value, 2, 6, kUsage);
    a.poles = true;
  } else if (arg == "--voltage") {
    a.rating.Un = NumberOption(arg, value);
  } else if (arg == "--frequency") {
    a.rating.f = NumberOption(arg, value);
  } else if (arg == "--target") {
    a.rating.targets.push_back(Target(value));
  } else if (arg == "--threads") {
    a.options.run.threads = UsableThreads(WholeOption<unsigned>(arg, value, 1, 1024, kUsage));
  } else if (arg == "--max-evaluations") {
    a.options.run.max_evaluations = WholeOption<std::uint64_t>(arg, value, 100, 10'000'000, kUsage);
  } else if (arg == "-o") {
    a.output = value;
  } else {
    return false;
  }
  return true;
}

NewArguments ParseArguments(std::vector<std::string> args, DesignToolOptions& tools) {
  tools = TakeDesignToolOptions(args, kUsage);
  TakeThermalOptions(args, kUsage, tools.check);
  if (!tools.check.check_class) UsageError("--class none 不能用于 new：新设计须达到一个能效等级");
  NewArguments a;
  a.options.run.max_evaluations = studies::kNewDesignEvaluations;
  ScanArguments(
      args, kUsage,
      [&a](const std::string& arg, const std::string& value) { return TakeValued(arg, value, a); },
      nullptr,
      [&a](const std::string& arg) {
        if (arg != "--no-optimise") return false;
        a.options.optimise = false;
        return true;
      });
  if (!a.power) UsageError("没有给出 --power（额定功率kW）");
  if (!a.poles) UsageError("没有给出 --poles（极数）");
  a.rating.required_class = tools.check.required_class;
  a.rating.insulation = tools.check.insulation;
  a.options.prices = tools.prices;
  a.options.thermal = tools.check.thermal;
  return a;
}

std::string RatingText(const studies::Rating& r, const studies::CheckOptions& check) {
  std::string c =
      check.required_class
          ? std::string(studies::ClassName(*check.required_class))
          : std::string(studies::ClassName(studies::LegalMinimum(r.Pn, r.P))) + "（法定最低）";
  std::string insulation = r.insulation
                               ? std::string(studies::InsulationClassName(*r.insulation)) + "级绝缘"
                               : "不限温升";
  return "方案设计：" + report::ShortNumber(r.Pn) + " kW " + std::to_string(r.P) + "极 " +
         report::ShortNumber(r.Un) + " V " + report::ShortNumber(r.f) + " Hz，" + c + "，" +
         insulation + "\n";
}

std::string StepsText(const studies::Sizing& s) {
  std::string out = "初步设计（" + s.frame + "机座）：\n";
  for (const studies::SizingStep& step : s.steps)
    out += "  " + step.name + " = " + step.value + " — " + step.reason + "\n";
  for (const std::string& note : s.notes) out += "注：" + note + "\n";
  return out;
}

std::string RefinedText(const studies::NewDesign& d) {
  if (!d.refined) return "未优化（--no-optimise）\n";
  const studies::OptimiseResult& r = *d.refined;
  std::string out = "优化：计算" + std::to_string(r.evaluations) + "次，" +
                    report::ShortNumber(r.seconds) + " s，";
  if (!r.found) return out + "没有能计算的设计，用初步设计\n";
  out += std::string(r.Feasible() ? "满足全部约束" : "未能满足全部约束") + "，成本" +
         report::ShortNumber(r.start.cost) + " → " + report::ShortNumber(r.best.cost) + "\n";
  for (const auto& [f, label] : {std::pair{design::field::L, "L"},
                                 {design::field::DI1, "DI1"},
                                 {design::field::Z, "Z"},
                                 {design::field::G, "G"}})
    out +=
        "  " + std::string(label) + " " + d.sized.design[f].text + " → " + d.design[f].text + "\n";
  return out;
}

}  // namespace

int NewCommand(std::vector<std::string> args) {
  if (AsksForHelp(args)) {
    std::cout << kUsage;
    return 0;
  }
  DesignToolOptions tools;
  NewArguments a = ParseArguments(std::move(args), tools);
  InterruptGuard guard;
  a.options.run.cancel = &Interrupted();
  studies::NewDesign d;
  try {
    d = studies::DesignFromRating(a.rating, a.options);
  } catch (const studies::SizingError& error) {
    UsageError(error.what());
  }
  if (Interrupted()) throw CommandFailure("计算已中断", kExitInterrupted);
  std::string text = RatingText(a.rating, tools.check);
  for (const auto& [H, why] : d.frames_tried)
    text += "机座" + std::to_string(H) + "：" + why + "，改用大一号机座\n";
  text += StepsText(d.sized) + RefinedText(d);
  calc::CalculationState state;
  calc::CalculationFault fault;
  if (!calc::Calculate(d.design, state, fault))
    throw CommandFailure("设计计算出错：" + fault.message, kExitFault);
  text += CheckText(d.check, state, tools);
  Outputs outputs;
  outputs.Add("-", std::move(text));
  if (a.output) outputs.Add(*a.output, design::FormatInputFile(design::FieldTexts(d.design)));
  outputs.WriteAll();
  return d.passed ? 0 : kExitCheckFailed;
}

}  // namespace velmora::cli
