#include "velmora/ui/design_optimiser.h"

#include <charconv>
#include <cmath>
#include <sstream>

#include "velmora/design/design_input.h"
#include "velmora/report/constraint_text.h"
#include "velmora/ui/quantity_names.h"
#include "velmora/ui/window_support.h"

namespace velmora::ui {

namespace {

using studies::OptimiseObjective;

std::optional<double> Number(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::nullopt;
  const std::size_t last = text.find_last_not_of(" \t") + 1;
  double value = 0;
  auto [end, error] = std::from_chars(text.data() + first, text.data() + last, value);
  if (error != std::errc() || end != text.data() + last || !std::isfinite(value))
    return std::nullopt;
  return value;
}

// "0.3 0.35, 0.4" as values; a word that is no number refuses the list.
std::vector<double> ListValues(const OptimiseInput& input) {
  std::string text = input.values;
  for (char& c : text)
    if (c == ',' || c == ';') c = ' ';
  std::istringstream words(text);
  std::vector<double> values;
  for (std::string word; words >> word;) {
    const std::optional<double> value = Number(word);
    if (!value)
      throw studies::OptimiseError(ErrorCode::NotANumber, design::InputLabel(input.field) +
                                                              "的取值“" + word + "”不是数字。");
    values.push_back(*value);
  }
  return values;
}

studies::OptimiseVariable VariableOf(const OptimiseInput& input) {
  if (input.values.find_first_not_of(" \t") != std::string::npos)
    return studies::ListVariable(input.field, ListValues(input));
  const std::optional<double> from = Number(input.from), to = Number(input.to);
  if (!from || !to)
    throw studies::OptimiseError(ErrorCode::NotANumber,
                                 design::InputLabel(input.field) + "的下限和上限应为数字。");
  return studies::RangeVariable(input.field, *from, *to);
}

// The number of points of the front as typed: a whole number in range.
int FrontPointsOf(const std::string& text) {
  const std::optional<double> points = Number(text);
  if (points && *points == std::floor(*points) && *points >= studies::kMinFrontPoints &&
      *points <= studies::kMaxFrontPoints)
    return static_cast<int>(*points);
  throw studies::OptimiseError(points ? ErrorCode::TooMany : ErrorCode::NotANumber,
                               "前沿点数应为" + std::to_string(studies::kMinFrontPoints) + "到" +
                                   std::to_string(studies::kMaxFrontPoints) + "的整数，现为“" +
                                   text + "”。");
}

std::string Short(double value) { return design::ShortestText(value); }

// Four digits; "—" for a rise the thermal network could not give.
std::string Rounded(double value) {
  return std::isfinite(value) ? design::SignificantText(value, 4) : "—";
}

std::string Objective(const studies::Assessment& a, OptimiseObjective objective) {
  return objective == OptimiseObjective::Cost ? Rounded(a.cost) : Rounded(a.EFF);
}

std::vector<OptimiseTable::Row> ActiveRows(const studies::Assessment& best) {
  std::vector<OptimiseTable::Row> rows;
  for (const studies::ConstraintLine& line : best.constraints()) {
    if (!line.AtLimit()) continue;
    const char* bound = line.bound == studies::CheckLine::Bound::AtLeast ? "≥ " : "≤ ";
    rows.push_back({report::ConstraintCaption(line.name) + (line.Met() ? "：在限值上" : "：未满足"),
                    bound + Rounded(line.limit), Rounded(line.value)});
  }
  return rows;
}

// The other local optima: the inputs, and the cost and efficiency.
std::vector<OptimiseTable::Row> OtherOptima(const studies::OptimiseResult& result,
                                            const studies::OptimiseProblem& problem) {
  std::vector<OptimiseTable::Row> rows;
  for (std::size_t k = 1; k < result.optima.size(); ++k) {
    const studies::Optimum& optimum = result.optima[k];
    std::string inputs;
    for (std::size_t i = 0; i < problem.variables.size(); ++i)
      inputs += std::string(i ? " " : "") + design::kFieldInfo[problem.variables[i].field].name +
                "=" + Short(optimum.values[i]);
    rows.push_back(
        {"局部最优解" + std::to_string(k + 1), inputs,
         "成本" + Rounded(optimum.assessment.cost) + " EFF " + Rounded(optimum.assessment.EFF)});
  }
  return rows;
}

}  // namespace

OptimiseTable MakeOptimiseTable(const studies::OptimiseResult& result,
                                const studies::OptimiseProblem& problem) {
  if (!result.found) {
    OptimiseTable table;
    table.status = "没有一个设计算得出结果。";
    return table;
  }
  OptimiseTable table = CompareWithBase(problem, result.values, result.start, result.best);
  table.status = std::string(result.Feasible() ? "找到满足全部约束的设计"
                                               : "没有满足全部约束的设计，"
                                                 "给出最接近的") +
                 "，目标值 " + Objective(result.start, problem.objective) + " → " +
                 Objective(result.best, problem.objective) + "，计算" +
                 std::to_string(result.evaluations) + "次。";
  table.optima = OtherOptima(result, problem);
  return table;
}

std::vector<OptimiseTable::Row> ResultRows(const studies::Assessment& from,
                                           const studies::Assessment& to) {
  const struct {
    const char* key;
    double studies::Assessment::*value;
  } kResults[] = {{"COST", &studies::Assessment::cost}, {"EFF", &studies::Assessment::EFF},
                  {"PF", &studies::Assessment::PF},     {"Ist", &studies::Assessment::Ist},
                  {"TST1", &studies::Assessment::TST1}, {"TMAX1", &studies::Assessment::TMAX1},
                  {"SF", &studies::Assessment::SF},     {"TRISE", &studies::Assessment::TRISE}};
  std::vector<OptimiseTable::Row> rows;
  for (const auto& result : kResults) {
    rows.push_back({QuantityTitle(result.key), from.ran ? Rounded(from.*result.value) : "故障",
                    Rounded(to.*result.value)});
  }
  auto trust = [](const studies::Assessment& a) { return a.Trustworthy() ? "可信" : "不可信"; };
  rows.push_back({"结果可信性", from.ran ? trust(from) : "故障", trust(to)});
  return rows;
}

OptimiseTable CompareWithBase(const studies::OptimiseProblem& problem,
                              std::span<const double> values, const studies::Assessment& base,
                              const studies::Assessment& design) {
  OptimiseTable table;
  for (std::size_t i = 0; i < problem.variables.size(); ++i) {
    const int field = problem.variables[i].field;
    table.inputs.push_back({design::InputLabel(field), problem.base[field].text, Short(values[i])});
  }
  table.results = ResultRows(base, design);
  table.constraints = ActiveRows(design);
  return table;
}

DesignOptimiser::~DesignOptimiser() {
  Cancel();
  Wait();
}

void DesignOptimiser::Start(const design::DesignInput& base, const OptimiseRequest& request,
                            const design::MaterialPrices& prices,
                            const studies::ThermalData& thermal) {
  if (Running()) throw studies::OptimiseError(ErrorCode::Busy, "正在优化，请等它结束或取消。");
  studies::OptimiseProblem problem;
  problem.base = base;
  problem.objective = request.objective;
  problem.check.required_class = request.required_class;
  problem.check.check_class = request.check_class;
  problem.check.insulation = request.insulation;
  problem.check.thermal = thermal;
  problem.targets = request.targets;
  problem.prices = prices;
  for (const OptimiseInput& input : request.inputs) problem.variables.push_back(VariableOf(input));
  const int front_points = request.front ? FrontPointsOf(request.front_points) : 0;
  studies::CheckProblem(problem);
  studies::FitToWinding(problem);
  problem_ = std::move(problem);
  history_.clear();
  result_.reset();
  tolerance_.reset();
  error_.clear();
  front_points_ = front_points;
  searches_done_ = 0;
  front_.reset();
  selected_.reset();
  studies::OptimiseOptions options;
  options.max_evaluations = request.max_evaluations;
  options.cancel = work_.CancelFlag();
  work_.Start([this, options = std::move(options)]() mutable { Work(std::move(options)); });
}

// The best objective so far, for the chart of one search.
void DesignOptimiser::Record(const studies::OptimiseProgress& progress) {
  if (!progress.found) return;
  std::lock_guard<std::mutex> hold(history_lock_);
  const BestPoint point{progress.evaluations, progress.best, progress.feasible};
  auto same = [&](const BestPoint& p) {
    return p.best == point.best && p.feasible == point.feasible;
  };
  // The chart goes on while evaluations go on: a second point at the same
  // best is the end of its level, moved along with every report.
  const std::size_t n = history_.size();
  if (n >= 2 && same(history_[n - 1]) && same(history_[n - 2]))
    history_.back().evaluations = point.evaluations;
  else
    history_.push_back(point);
}

void DesignOptimiser::Work(studies::OptimiseOptions options) {
  try {
    if (front_points_ > 0) {
      front_ = studies::FindFront(problem_, {front_points_, std::move(options),
                                             [this](int done) { searches_done_ = done; }});
    } else {
      options.progress = [this](const studies::OptimiseProgress& p) { Record(p); };
      result_ = studies::Optimise(problem_, options);
      if (result_->found && result_->stop != studies::OptimiseResult::Stop::Cancelled)
        tolerance_ = studies::AnalyseAnswerTolerances(result_->design, problem_.check, 0);
    }
  } catch (const std::exception& error) {
    error_ = error.what();
  }
}

void DesignOptimiser::SelectPoint(std::optional<std::size_t> point) {
  const bool on_front = !Running() && point && front_ && *point < front_->points.size();
  selected_ = on_front ? point : std::nullopt;
}

std::optional<design::DesignInput> DesignOptimiser::Answer() const {
  if (front_ && selected_) return studies::DesignWith(problem_, front_->points[*selected_].values);
  if (result_ && result_->found) return result_->design;
  return std::nullopt;
}

std::vector<BestPoint> DesignOptimiser::History() {
  std::lock_guard<std::mutex> hold(history_lock_);
  return history_;
}

BoxTextArray LoadIntoBoxes(Toolkit& toolkit, const design::DesignInput& design) {
  const BoxTextArray before = BoxTexts(toolkit);
  RestoreBoxes(toolkit, design::FieldTexts(design));
  return before;
}

void RestoreBoxes(Toolkit& toolkit, const BoxTextArray& texts) {
  for (int i = 0; i < design::kFieldCount; ++i) toolkit.SetBoxText(i, texts[i]);
}

}  // namespace velmora::ui
