#include "velmora/report/report_writer.h"

#include <gtest/gtest.h>

#include "velmora/design/text_codec.h"

namespace velmora::report {
namespace {

TEST(ReportWriterTest, TabPadsBeforeItsColumnAndWritesNothingAtIt) {
  ReportWriter w;
  w.Literal("ab").Tab(5).Literal("c").Tab(6).Literal("d").EndLine();
  EXPECT_EQ(w.Text(), "ab  cd\r\n");
}

TEST(ReportWriterTest, TabPastItsColumnEndsTheLineAndPadsTheNewOne) {
  ReportWriter w;
  w.Literal(std::string(34, 'x')).Tab(30).Literal("y").EndLine();
  EXPECT_EQ(w.Text(), std::string(34, 'x') + "\r\n" + std::string(29, ' ') + "y\r\n");
}

TEST(ReportWriterTest, ChineseCharactersAndFullwidthColonAreOneColumnEach) {
  ReportWriter w;
  w.Literal("电机型号：").Tab(8).Literal("x");
  EXPECT_EQ(w.Text(), "电机型号：  x");
}

TEST(ReportWriterTest, SpcWritesSpacesAndLinesEndWithCrLf) {
  ReportWriter w;
  w.Spc(3).Literal("a").EndLine().EndLine().Tab(1).Literal("b").EndLine();
  EXPECT_EQ(w.Text(), "   a\r\n\r\nb\r\n");
}

TEST(ReportWriterTest, UnsetValueWritesNothingEitherWay) {
  ReportWriter w;
  w.Literal("F=").Plain(ReportValue::Unset()).Pattern(ReportValue::Unset(), "0.00").EndLine();
  EXPECT_EQ(w.Text(), "F=\r\n");
}

TEST(ReportWriterTest, NumbersUseTheirPrecision) {
  ReportWriter w;
  w.Plain(ReportValue::Number(1.59f, Precision::Single));
  w.Plain(ReportValue::Number(-0.25)).Pattern(ReportValue::Number(0.5), "####.00");
  EXPECT_EQ(w.Text(), " 1.59 -.25 .50");
}

struct TextCase {
  const char* text;
  std::string plain;
  std::string pattern;  // under "###############"
};

class ReportWriterTextTest : public testing::TestWithParam<TextCase> {};

// A text is written as typed in plain form; under a pattern only a text
// that reads as a number is formatted.
TEST_P(ReportWriterTextTest, WritesTextInput) {
  const TextCase& c = GetParam();
  ReportWriter plain, pattern;
  plain.Plain(ReportValue::Text(c.text));
  pattern.Pattern(ReportValue::Text(c.text), "###############");
  EXPECT_EQ(plain.Text(), c.plain);
  EXPECT_EQ(pattern.Text(), c.pattern);
}

INSTANTIATE_TEST_SUITE_P(Examples, ReportWriterTextTest,
                         testing::Values(TextCase{"0132", "0132", "132"},
                                         TextCase{"Y132S-4", "Y132S-4", "Y132S-4"},
                                         TextCase{"0.85*", "0.85*", "0.85*"},
                                         TextCase{"电机", "电机", "电机"},
                                         TextCase{" 12.6 ", " 12.6 ", "13"}));

TEST(ReportWriterTest, LongTextPushesTheNextItemToItsColumnOnANewLine) {
  ReportWriter w;
  w.Literal("TYPE：").Pattern(ReportValue::Text("A-VERY-LONG-MOTOR-MODEL-NAME"), "#").Tab(25);
  w.Literal("B25：").EndLine();
  EXPECT_EQ(w.Text(),
            "TYPE：A-VERY-LONG-MOTOR-MODEL-NAME\r\n" + std::string(24, ' ') + "B25：\r\n");
}

TEST(ReportWriterTest, LineWithChineseLabelsSurvivesGbkRoundTrip) {
  ReportWriter w;
  w.Literal("1.输出功率Pn=").Plain(ReportValue::Number(5.5)).EndLine();
  w.Spc(8).Literal("电机型号：").Literal("Y132S-4").EndLine();
  std::string gbk = design::Utf8ToGbk(w.Text());
  // 6 Chinese characters and "：" take two bytes each in GBK.
  EXPECT_EQ(gbk.size(), w.Text().size() - 9 * 3 + 9 * 2);
  EXPECT_EQ(gbk.substr(0, 2), "1.");
  EXPECT_EQ(design::GbkToUtf8(gbk), w.Text());
}

}  // namespace
}  // namespace velmora::report
