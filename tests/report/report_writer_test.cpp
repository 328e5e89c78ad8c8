#include "velmora/report/report_writer.h"

#include <gtest/gtest.h>

namespace velmora::report {
namespace {

// A Tab to column 30 from column 31, just past it, starts a new line.
TEST(ReportWriter, TabPadsBeforeItsColumnAndPastItEndsTheLine) {
  ReportWriter w;
  w.Spc(1).Literal("电机").Tab(5).Literal("c").Tab(6).Literal("d").EndLine().EndLine();
  w.Literal(std::string(30, 'x')).Tab(30).Literal("y").EndLine();
  EXPECT_EQ(w.Text(),
            " 电机 cd\r\n\r\n" + std::string(30, 'x') + "\r\n" + std::string(29, ' ') + "y\r\n");
}

TEST(ReportWriter, ValuesUseTheirPrecisionAndUnsetWritesNothing) {
  ReportWriter w;
  w.Literal("F=").Plain(ReportValue::Unset()).Pattern(ReportValue::Unset(), "0.00");
  w.Plain(ReportValue::Number(1.59f, Precision::Single));
  w.Plain(ReportValue::Number(-0.25)).Pattern(ReportValue::Number(0.5), "####.00");
  EXPECT_EQ(w.Text(), "F= 1.59 -.25 .50");
}

// A text is written as typed in plain form; under a pattern only a text
// that reads as a number is formatted.
TEST(ReportWriter, WritesTextInputs) {
  struct Case {
    const char* text;
    std::string pattern;  // under "###############"
  };
  const Case cases[] = {{"0132", "132"},
                        {"Y132S-4", "Y132S-4"},
                        {"0.85*", "0.85*"},
                        {"电机", "电机"},
                        {" 12.6 ", "13"}};
  for (const Case& c : cases) {
    ReportWriter plain, pattern;
    plain.Plain(ReportValue::Text(c.text));
    pattern.Pattern(ReportValue::Text(c.text), "###############");
    EXPECT_EQ(plain.Text(), c.text);
    EXPECT_EQ(pattern.Text(), c.pattern) << c.text;
  }
}

TEST(ReportWriter, LongTextPushesTheNextItemToItsColumnOnANewLine) {
  ReportWriter w;
  w.Literal("TYPE：").Pattern(ReportValue::Text("A-VERY-LONG-MOTOR-MODEL-NAME"), "#").Tab(25);
  w.Literal("B25：").EndLine();
  EXPECT_EQ(w.Text(),
            "TYPE：A-VERY-LONG-MOTOR-MODEL-NAME\r\n" + std::string(24, ' ') + "B25：\r\n");
}

}  // namespace
}  // namespace velmora::report
