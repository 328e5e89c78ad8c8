#include "vary_option.h"

#include <optional>
#include <string>
#include <vector>

#include "velmora/design/design_input.h"

namespace velmora::cli {

namespace {

namespace field = design::field;
using design::InputLabel;

double NumberOf(int field, std::string_view text) {
  std::optional<double> number = design::ParseNumber(text);
  if (!number)
    throw studies::SweepError(ErrorCode::NotANumber,
                              "改变" + InputLabel(field) + "：“" + std::string(text) + "”不是数字");
  return *number;
}

}  // namespace

studies::SweepAxis ParseVaryOption(std::string_view text) {
  std::size_t equals = text.find('=');
  if (equals == std::string_view::npos)
    throw studies::SweepError(
        ErrorCode::BadForm,
        "“" + std::string(text) + "”应写成 名称=起点:终点:步长 或 名称=值1,值2,...");
  std::string_view name = text.substr(0, equals);
  std::string_view values = text.substr(equals + 1);
  std::optional<int> field = design::FieldIndex(name);
  if (!field)
    throw studies::SweepError(ErrorCode::UnknownInput,
                              "没有名为“" + std::string(name) + "”的输入数据");
  if (*field == field::TYPE)
    throw studies::SweepError(ErrorCode::TextInput, "电机型号TYPE是文字，不能改变");
  if (values.find(':') != std::string_view::npos) {
    std::vector<std::string_view> parts = SplitText(values, ':');
    if (parts.size() != 3)
      throw studies::SweepError(ErrorCode::BadForm,
                                "改变" + InputLabel(*field) + "：范围应写成 起点:终点:步长");
    return studies::SweepAxis::Range(*field, NumberOf(*field, parts[0]), NumberOf(*field, parts[1]),
                                     NumberOf(*field, parts[2]));
  }
  std::vector<double> list;
  for (std::string_view part : SplitText(values, ',')) list.push_back(NumberOf(*field, part));
  return studies::SweepAxis::List(*field, std::move(list));
}

std::vector<std::string_view> SplitText(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (;;) {
    std::size_t at = text.find(separator);
    parts.push_back(text.substr(0, at));
    if (at == std::string_view::npos) return parts;
    text.remove_prefix(at + 1);
  }
}

}  // namespace velmora::cli
