#include "velmora/ui/scheme_view.h"

#include <exception>

#include "velmora/design/design_input.h"
#include "velmora/design/material_prices.h"
#include "velmora/ui/design_tools.h"
#include "velmora/ui/input_titles.h"
#include "velmora/ui/window_support.h"

namespace velmora::ui {

namespace {

namespace field = design::field;
using Row = SchemeView::Row;

constexpr const char* kNotRefined = "—";

// The boxes of the rating, in the order they are read. Each is checked with
// the boxes before it and the usual values of those after it (380 V, 50 Hz,
// which hold for any power), so a refusal is of its own value.
struct RatingBox {
  const char* caption;
  std::string SchemeRequest::*text;
  double studies::Rating::*value;
};
constexpr RatingBox kRatingBoxes[] = {{"功率", &SchemeRequest::power, &studies::Rating::Pn},
                                      {"电压", &SchemeRequest::voltage, &studies::Rating::Un},
                                      {"频率", &SchemeRequest::frequency, &studies::Rating::f}};

std::string Boxed(const char* caption) { return std::string("“") + caption + "”框"; }

// The main inputs compared: the frame, the main dimensions, the slots, the
// winding and the wire; two inputs in one row where they go together. The
// second wire only when one of the designs has it.
struct MainInput {
  int first;
  int second = -1;
  const char* between = "";
  const char* caption = nullptr;  // the first input's caption and unit unless given
};
constexpr MainInput kMainInputs[] = {{field::H},
                                     {field::D1},
                                     {field::DI1},
                                     {field::L},
                                     {field::Q1, field::Q2, "/", "定/转子槽数Q1/Q2"},
                                     {field::G},
                                     {field::Z},
                                     {field::A},
                                     {field::Y1},
                                     {field::CZN},
                                     {field::DJJ, field::JJ, "×", "线径×根数DJJ×JJ (mm)"},
                                     {field::DMM, field::MM, "×", "线径×根数DMM×MM (mm)"}};

std::string TextOf(const design::DesignInput& d, const MainInput& input) {
  if (input.second < 0) return d[input.first].text;
  return d[input.first].text + input.between + d[input.second].text;
}

bool HasSecondWire(const design::DesignInput& d) { return d[field::MM].number > 0; }

std::vector<Row> InputRows(const design::DesignInput& sized, const design::DesignInput* refined) {
  const bool second_wire = HasSecondWire(sized) || (refined && HasSecondWire(*refined));
  std::vector<Row> rows;
  for (const MainInput& input : kMainInputs) {
    if (input.second == field::MM && !second_wire) continue;
    rows.push_back({input.caption ? input.caption : InputTitle(input.first), TextOf(sized, input),
                    refined ? TextOf(*refined, input) : kNotRefined});
  }
  return rows;
}

// The computed value and the verdict of one rule: "0.8712 合格".
std::string Judged(const studies::CheckLine& line) {
  const CheckTable::Rule rule = RuleRow(line);
  return rule.computed.empty() ? rule.verdict : rule.computed + " " + rule.verdict;
}

std::vector<Row> RuleRows(const studies::NewDesign& made, bool sized_ran) {
  std::vector<Row> rows;
  for (int i = 0; i < studies::DesignCheck::kRuleCount; ++i) {
    const studies::CheckLine& last = made.check.lines[i];
    const CheckTable::Rule rule = RuleRow(made.ran ? last : made.sized_check.lines[i]);
    std::string caption = rule.caption + (rule.limit.empty() ? "" : "（" + rule.limit + "）");
    rows.push_back({std::move(caption), sized_ran ? Judged(made.sized_check.lines[i]) : "故障",
                    !made.refined ? kNotRefined
                    : made.ran    ? Judged(last)
                                  : "故障"});
  }
  return rows;
}

// A design run again and judged as the sizing judged it, with its cost.
studies::Assessment Judge(const design::DesignInput& design, const studies::Rating& rating,
                          const studies::NewDesignOptions& options) {
  studies::OptimiseProblem problem;
  problem.base = design;
  problem.check = studies::CheckOptionsFor(rating, options.thermal);
  problem.prices = options.prices;
  return studies::AssessDesign(problem, studies::YieldMotors(problem), design);
}

std::string Status(const studies::NewDesign& made, const studies::Rating& rating) {
  const studies::Sizing& s = made.sized;
  std::string status = design::ShortestText(rating.Pn) + " kW " + std::to_string(rating.P) +
                       "极：" + s.frame + "机座（中心高" + std::to_string(s.H) + "）";
  if (s.standard_H != s.H) status += "，标准机座中心高" + std::to_string(s.standard_H);
  status += made.passed ? "，各校核项合格" : made.ran ? "，有不合格的校核项" : "，计算出错";
  if (made.refined) {
    status += "；优化计算" + std::to_string(made.refined->evaluations) + "次";
    if (made.refined->stop == studies::OptimiseResult::Stop::Cancelled)
      status += "，已取消（给出取消前最好的设计）";
    if (!made.refined->found) status += "，没有一个设计算得出结果";
  }
  return status + "。";
}

}  // namespace

std::optional<std::string> ReadSchemeRequest(const SchemeRequest& request, studies::Rating& rating,
                                             std::uint64_t& max_evaluations) {
  studies::Rating r;
  r.P = request.poles;
  r.required_class = request.required_class;
  r.insulation = request.insulation;
  for (const RatingBox& box : kRatingBoxes) {
    const std::string& text = request.*box.text;
    const std::optional<double> value = design::ParseNumber(text);
    if (!value) return Boxed(box.caption) + "应为数，现为“" + text + "”。";
    r.*box.value = *value;
    try {
      studies::CheckRating(r);
    } catch (const studies::SizingError& error) {
      return Boxed(box.caption) + "：" + error.what() + "。";
    }
  }
  std::uint64_t budget = 0;
  if (request.optimise) {
    const std::optional<std::uint64_t> n =
        WholeNumber(request.max_evaluations, 1, kMaxSchemeEvaluations);
    if (!n) return NotWhole("最多计算次数", 1, kMaxSchemeEvaluations, request.max_evaluations);
    budget = *n;
  }
  rating = r;
  max_evaluations = budget;
  return std::nullopt;
}

SchemeView MakeSchemeView(const studies::NewDesign& made, const studies::Rating& rating,
                          const studies::NewDesignOptions& options) {
  SchemeView view;
  view.design = DesignName(made.design);
  view.status = Status(made, rating);
  view.steps = made.sized.steps;
  const bool refined = made.refined.has_value();
  view.inputs = InputRows(made.sized.design, refined ? &made.design : nullptr);
  const studies::Assessment sized = Judge(made.sized.design, rating, options);
  view.results = ResultRows(sized, refined ? Judge(made.design, rating, options) : sized);
  if (!refined)
    for (Row& row : view.results) row.after = kNotRefined;
  view.rules = RuleRows(made, sized.ran);
  for (const auto& [H, why] : made.frames_tried)
    view.frames_tried.push_back("中心高" + std::to_string(H) + "：" + why);
  view.notes = made.sized.notes;
  return view;
}

SchemeDesigner::~SchemeDesigner() {
  Cancel();
  Wait();
}

std::optional<std::string> SchemeDesigner::Start(const SchemeRequest& request,
                                                 const std::string& folder) {
  if (Running()) return "正在设计，请等它结束或取消。";
  studies::Rating rating;
  std::uint64_t budget = 0;
  if (std::optional<std::string> wrong = ReadSchemeRequest(request, rating, budget)) return wrong;
  design::MaterialPrices prices;
  try {
    prices = design::ReadPricesOrShipped(folder);
  } catch (const design::PriceFileError& error) {
    return std::string("没有进行方案设计：") + error.what();
  }
  studies::CheckOptions asked;
  asked.insulation = rating.insulation;
  std::string thermal_note;
  const studies::CheckOptions check = WithThermalData(asked, folder, thermal_note);
  rating.insulation = check.insulation;
  rating_ = rating;
  thermal_note_ = thermal_note;
  options_ = {};
  options_.optimise = request.optimise;
  options_.run.max_evaluations = budget;
  options_.run.cancel = work_.CancelFlag();
  options_.run.progress = [this](const studies::OptimiseProgress& p) {
    evaluations_ = p.evaluations;
  };
  options_.prices = prices;
  options_.thermal = check.thermal;
  result_.reset();
  error_.clear();
  evaluations_ = 0;
  work_.Start([this] { Work(); });
  return std::nullopt;
}

void SchemeDesigner::Work() {
  try {
    result_ = studies::DesignFromRating(rating_, options_);
  } catch (const std::exception& error) {
    error_ = error.what();
  }
}

SchemeView SchemeDesigner::View() const {
  SchemeView view;
  if (result_) {
    view = MakeSchemeView(*result_, rating_, options_);
    if (!thermal_note_.empty()) view.notes.push_back(thermal_note_);
    return view;
  }
  view.status = error_.empty() ? "" : "方案设计中断：" + error_;
  return view;
}

void SchemeDesigner::Load(Toolkit& toolkit) {
  if (!CanLoad()) return;
  const BoxTextArray before = LoadIntoBoxes(toolkit, result_->design);
  if (!replaced_) replaced_ = before;  // the design before the first load
}

void SchemeDesigner::Restore(Toolkit& toolkit) {
  if (!replaced_) return;
  RestoreBoxes(toolkit, *replaced_);
  replaced_.reset();
}

}  // namespace velmora::ui
