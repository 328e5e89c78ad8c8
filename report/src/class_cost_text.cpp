#include "velmora/report/class_cost_text.h"

#include <cmath>
#include <cstdio>

#include "velmora/design/design_input.h"

namespace velmora::report {

namespace {

// A value that is not finite shows as "—"; one that rounds to zero, also
// −0, as zero without a sign.
std::string Fixed(double value, int decimals) {
  return std::isfinite(value) ? design::FixedText(value, decimals) : "—";
}

std::string Percent(double value) { return Fixed(value, 1) + "%"; }

std::string Name(studies::EfficiencyClass c) { return std::string(studies::ClassName(c)); }

}  // namespace

std::string ClassVerdict(const studies::ClassResult& result) {
  switch (result.limits.not_classified) {
    case studies::NotClassified::Frequency:
      return "频率不是50Hz，不分能效等级";
    case studies::NotClassified::Poles:
      return "极数不是2、4、6或8，不分能效等级";
    case studies::NotClassified::Rating:
      return "功率不在0.12~1000kW之间，不分能效等级";
    case studies::NotClassified::No:
      break;
  }
  return Name(result.reached);
}

std::string LimitsText(const studies::ClassLimits& l) {
  return "本额定值的效率限值：IE2 " + Percent(l.IE2) + "，IE3 " + Percent(l.IE3) + "，IE4 " +
         Percent(l.IE4);
}

std::vector<std::string> ClassLines(const studies::ClassResult& result, bool legal_minimum,
                                    bool trusted, bool required_asked) {
  std::vector<std::string> lines;
  lines.push_back("能效等级：" + ClassVerdict(result) + "（计算效率" + Fixed(result.percent, 2) +
                  "%" + (trusted ? "）" : "，不可信）"));
  if (!result.limits.classified()) return lines;
  const studies::ClassLimits& l = result.limits;
  lines.push_back("  " + LimitsText(l));
  if (result.to_next) {
    auto next = static_cast<studies::EfficiencyClass>(static_cast<int>(result.reached) + 1);
    lines.push_back("  距" + Name(next) + "还差" + Fixed(*result.to_next, 2) + "个百分点");
  } else {
    lines.push_back("  高出IE4限值" + Fixed(result.percent - l.IE4, 2) + "个百分点");
  }
  if (!required_asked) return lines;
  std::string required = "  要求" + Name(result.required) + (legal_minimum ? "（法定最低）" : "");
  if (!trusted)
    required += "：不可信，计算效率不能作为依据";
  else if (result.Meets())
    required += "：达到，余量" + Fixed(result.over_required, 2) + "个百分点";
  else
    required += "：未达到，还差" + Fixed(-result.over_required, 2) + "个百分点";
  lines.push_back(required);
  return lines;
}

std::string Currency(const design::MaterialPrices& prices) {
  return prices.unit.substr(0, prices.unit.size() - 3);
}

std::vector<std::string> CostLines(const studies::MaterialCost& cost,
                                   const design::MaterialPrices& prices) {
  const std::string currency = Currency(prices);
  std::vector<std::string> lines;
  lines.push_back("有效材料成本（价格：" +
                  (prices.source.empty() ? std::string("内置价格") : prices.source) + "）：");
  for (const studies::MaterialCost::Line& line : cost.lines) {
    lines.push_back("  " + std::string(line.material) + " " + std::string(line.weight_name) + "=" +
                    Fixed(line.weight, 2) + " kg × " + Fixed(line.price, 2) + " " + prices.unit +
                    " = " + Fixed(line.cost, 2) + " " + currency);
  }
  lines.push_back("  合计 " + Fixed(cost.total, 2) + " " + currency + "，每千瓦 " +
                  Fixed(cost.per_kW, 2) + " " + currency + "/kW");
  return lines;
}

}  // namespace velmora::report
