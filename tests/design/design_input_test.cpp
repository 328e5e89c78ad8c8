#include "velmora/design/design_input.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>

namespace velmora::design {
namespace {

TEST(FieldInfo, CaptionsBesideTheBoxes) {
  struct Case {
    int index;
    const char* name;
    const char* caption;
  };
  const Case cases[] = {
      {field::TYPE, "TYPE", "电机型号"}, {field::H, "H", "中心高"},
      {field::Un, "Un", "电压U1"},       {field::Kfe, "Kfe", "叠压系数Kfe"},
      {field::Lo1, "Lo1", "Lo1"},        {field::GGPph, "GGPph", "硅钢片牌号"},
      {field::Pn, "Pn", "功率P1"},       {field::SRR, "SRR", "端环面积SRR"},
      {field::D, "D", "直线部分伸长D"},  {field::L, "L", "铁芯长L"},
      {field::Z, "Z", "每槽导体数Z"},    {field::SF0, "SF0", "槽满率SF0"},
      {field::DMM, "DMM", "DMM"},        {field::SHFA, "SHFA", "选择输出方案"},
  };
  for (const Case& c : cases) {
    EXPECT_STREQ(kFieldInfo[c.index].name, c.name);
    EXPECT_STREQ(kFieldInfo[c.index].caption, c.caption);
  }
  EXPECT_EQ(field::SHFA, 59);
}

TEST(FieldInfo, NamesAreDistinctAndFoundByIndex) {
  std::set<std::string> names;
  for (int i = 0; i < kFieldCount; ++i) {
    names.insert(kFieldInfo[i].name);
    EXPECT_EQ(FieldIndex(kFieldInfo[i].name), i) << kFieldInfo[i].name;
  }
  EXPECT_EQ(names.size(), 60u);
  // Names differ only by case (ZS1 against the printed-only ZS, f against F).
  EXPECT_EQ(FieldIndex("ZS"), 52);
  EXPECT_EQ(FieldIndex("f"), 3);
  EXPECT_EQ(FieldIndex("F"), std::nullopt);
  EXPECT_EQ(FieldIndex(""), std::nullopt);
  EXPECT_EQ(FieldIndex("SHFA "), std::nullopt);
}

struct NumberCase {
  const char* text;
  std::optional<double> number;
};

void PrintTo(const NumberCase& c, std::ostream* out) { *out << '"' << c.text << '"'; }

class ParseNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ParseNumberTest, ReadsTheNumberGrammar) {
  const NumberCase& c = GetParam();
  std::optional<double> number = ParseNumber(c.text);
  ASSERT_EQ(number.has_value(), c.number.has_value()) << '"' << c.text << '"';
  if (number) {
    EXPECT_EQ(*number, *c.number) << '"' << c.text << '"';
  }
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, ParseNumberTest,
    ::testing::Values(NumberCase{"1", 1}, NumberCase{"-1.5", -1.5}, NumberCase{".5", 0.5},
                      NumberCase{"5.", 5}, NumberCase{"1e3", 1000}, NumberCase{"1E-3", 0.001},
                      NumberCase{" 12 ", 12}, NumberCase{"\t12\t", 12}, NumberCase{"+3", 3},
                      NumberCase{"01", 1}, NumberCase{"1.0", 1}, NumberCase{"0.1", 0.1},
                      NumberCase{"380", 380}, NumberCase{"2.5e+2", 250}, NumberCase{"-0", 0},
                      NumberCase{"1.7976931348623157e308", std::numeric_limits<double>::max()},
                      NumberCase{"4e-320", 4e-320}));

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseNumberTest,
    ::testing::Values(NumberCase{"", std::nullopt}, NumberCase{" ", std::nullopt},
                      NumberCase{"abc", std::nullopt}, NumberCase{"1.2.3", std::nullopt},
                      NumberCase{"e5", std::nullopt}, NumberCase{".", std::nullopt},
                      NumberCase{"-", std::nullopt}, NumberCase{"+", std::nullopt},
                      NumberCase{"0x10", std::nullopt}, NumberCase{"inf", std::nullopt},
                      NumberCase{"nan", std::nullopt}, NumberCase{"1,5", std::nullopt},
                      NumberCase{"1e", std::nullopt}, NumberCase{"1e+", std::nullopt},
                      NumberCase{"--1", std::nullopt}, NumberCase{"+-1", std::nullopt},
                      NumberCase{"1 2", std::nullopt}, NumberCase{"Y90L-4", std::nullopt},
                      NumberCase{"１２", std::nullopt},  // fullwidth digits
                      NumberCase{"1e400", std::nullopt}, NumberCase{"1e-400", std::nullopt}));

TEST(ConvertField, EmptyNumberOrText) {
  FieldValue empty = ConvertField(field::H, "");
  EXPECT_TRUE(empty.IsEmpty());
  EXPECT_EQ(empty.number, 0);

  FieldValue blanks = ConvertField(field::H, "  ");
  EXPECT_TRUE(blanks.IsEmpty());
  EXPECT_EQ(blanks.text, "  ");

  FieldValue number = ConvertField(field::Un, "380 ");
  EXPECT_TRUE(number.IsNumber());
  EXPECT_EQ(number.number, 380);
  EXPECT_EQ(number.text, "380 ");

  FieldValue text = ConvertField(field::P, "4极");
  EXPECT_TRUE(text.IsText());
  EXPECT_EQ(text.number, 0);
  EXPECT_EQ(text.text, "4极");
}

TEST(ConvertField, TypeKeepsItsTextWhateverItReadsAs) {
  EXPECT_EQ(ConvertField(field::TYPE, "Y132M-4").text, "Y132M-4");
  FieldValue numeric = ConvertField(field::TYPE, "0132");
  EXPECT_EQ(numeric.text, "0132");
  EXPECT_EQ(numeric.number, 132);
}

TEST(ConvertField, ShfaIsSinglePrecision) {
  struct Case {
    const char* text;
    double number;
  };
  // 1, 1.0 and 01 all select the calculation list; 1.5 selects nothing.
  const Case cases[] = {{"1", 1.0},   {"1.0", 1.0}, {"01", 1.0},
                        {"1.5", 1.5}, {"2", 2.0},   {"0.1", static_cast<double>(0.1f)}};
  for (const Case& c : cases) {
    FieldValue shfa = ConvertField(field::SHFA, c.text);
    ASSERT_TRUE(shfa.IsNumber()) << c.text;
    EXPECT_EQ(shfa.number, c.number) << c.text;
  }
  EXPECT_NE(ConvertField(field::SHFA, "0.1").number, 0.1);
  EXPECT_EQ(ConvertField(field::DMM, "0.1").number, 0.1);
  // Beyond single precision SHFA cannot hold the value: it stays text.
  EXPECT_TRUE(ConvertField(field::SHFA, "1e39").IsText());
  EXPECT_TRUE(ConvertField(field::DMM, "1e39").IsNumber());
}

TEST(ToDesignInput, ConvertsEveryFieldInOrder) {
  std::array<std::string, kFieldCount> texts;
  for (int i = 0; i < kFieldCount; ++i) texts[i] = std::to_string(i);
  texts[field::TYPE] = "Y2-100L";
  texts[field::G] = "";
  DesignInput input = ToDesignInput(texts);
  EXPECT_TRUE(input[field::TYPE].IsText());
  EXPECT_TRUE(input[field::G].IsEmpty());
  for (int i = 1; i < kFieldCount; ++i) {
    if (i == field::G) continue;
    EXPECT_EQ(input[i].number, i) << kFieldInfo[i].name;
    EXPECT_EQ(input[i].text, texts[i]);
  }
}

TEST(SetNumber, ActsAsIfTheFieldHeldTheNumber) {
  const double values[] = {0.3, 1e20, -2.5e-7, 132, 0.1 + 0.2};
  for (double value : values) {
    DesignInput input;
    SetNumber(input, field::DI1, value);
    ASSERT_TRUE(input[field::DI1].IsNumber());
    EXPECT_EQ(input[field::DI1].number, value);
    EXPECT_EQ(ConvertField(field::DI1, input[field::DI1].text).number, value);
  }
  DesignInput input;
  SetNumber(input, field::DI1, 0.3);
  EXPECT_EQ(input[field::DI1].text, "0.3");
  SetNumber(input, field::SHFA, 0.1);
  EXPECT_EQ(input[field::SHFA].number, static_cast<double>(0.1f));
  SetNumber(input, field::SHFA, 2);
  EXPECT_EQ(input[field::SHFA].text, "2");
}

}  // namespace
}  // namespace velmora::design
