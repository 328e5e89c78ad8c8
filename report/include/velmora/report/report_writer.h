// Builds report text line by line from literal, number, Spc and Tab items.
#pragma once

#include <string>
#include <string_view>

#include "velmora/report/number_text.h"

namespace velmora::report {

// A value as a report line sees it: nothing (unset), a number, or a text.
struct ReportValue {
  enum class Kind { Unset, Number, Text };
  Kind kind = Kind::Unset;
  double number = 0;
  Precision precision = Precision::Double;
  std::string_view text;  // Kind::Text only; must outlive the write

  static ReportValue Unset() { return {}; }
  static ReportValue Number(double v, Precision p = Precision::Double) {
    return {Kind::Number, v, p, {}};
  }
  static ReportValue Text(std::string_view t) { return {Kind::Text, 0, Precision::Double, t}; }
};

// Columns count characters (a Chinese character is one column); lines end
// with CR LF. The text is UTF-8; the file form is its GBK conversion.
class ReportWriter {
 public:
  ReportWriter& Literal(std::string_view utf8);
  // Plain number text; an unset value writes nothing, a text is written as it stands.
  ReportWriter& Plain(const ReportValue& value);
  // The value under `pattern`; unset writes nothing, a text that reads as a
  // number is formatted as that number, other text is written unchanged.
  ReportWriter& Pattern(const ReportValue& value, std::string_view pattern);
  ReportWriter& Spc(int n);
  // Moves to column n (the first column is 1); past it, the line ends first.
  ReportWriter& Tab(int n);
  ReportWriter& EndLine();

  const std::string& Text() const { return text_; }

 private:
  std::string text_;
  int column_ = 1;
};

}  // namespace velmora::report
