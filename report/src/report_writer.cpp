#include "velmora/report/report_writer.h"

#include "velmora/design/design_input.h"

namespace velmora::report {
namespace {

// Characters, not bytes: a Chinese character or "：" is one column.
int CountColumns(std::string_view utf8) {
  int columns = 0;
  for (unsigned char byte : utf8) {
    if ((byte & 0xC0) != 0x80) ++columns;
  }
  return columns;
}

}  // namespace

ReportWriter& ReportWriter::Literal(std::string_view utf8) {
  text_ += utf8;
  column_ += CountColumns(utf8);
  return *this;
}

ReportWriter& ReportWriter::Plain(const ReportValue& value) {
  switch (value.kind) {
    case ReportValue::Kind::Unset:
      return *this;
    case ReportValue::Kind::Number:
      return Literal(PlainNumberText(value.number, value.precision));
    case ReportValue::Kind::Text:
      return Literal(value.text);
  }
  return *this;
}

ReportWriter& ReportWriter::Pattern(const ReportValue& value, std::string_view pattern) {
  switch (value.kind) {
    case ReportValue::Kind::Unset:
      return *this;
    case ReportValue::Kind::Number:
      return Literal(PatternText(value.number, pattern, value.precision));
    case ReportValue::Kind::Text:
      if (auto number = design::ParseNumber(value.text)) {
        return Literal(PatternText(*number, pattern, Precision::Double));
      }
      return Literal(value.text);
  }
  return *this;
}

ReportWriter& ReportWriter::Spc(int n) {
  if (n > 0) Literal(std::string(n, ' '));
  return *this;
}

ReportWriter& ReportWriter::Tab(int n) {
  if (column_ > n) EndLine();
  return Spc(n - column_);
}

ReportWriter& ReportWriter::EndLine() {
  text_ += "\r\n";
  column_ = 1;
  return *this;
}

}  // namespace velmora::report
