#include "velmora/design/design_input.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <string>

namespace velmora::design {
namespace {

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

TEST(ParseNumber, ReadsTheNumberGrammarAndNothingElse) {
  const std::pair<const char*, double> numbers[] = {
      {"1", 1},      {"-1.5", -1.5},  {".5", 0.5},  {"5.", 5},
      {"1e3", 1000}, {"1E-3", 0.001}, {" 12 ", 12}, {"\t12\t", 12},
      {"+3", 3},     {"2.5e+2", 250}, {"-0", 0},    {"4e-320", 4e-320}};
  for (const auto& [text, number] : numbers) EXPECT_EQ(ParseNumber(text), number) << text;
  EXPECT_EQ(ParseNumber("1.7976931348623157e308"), std::numeric_limits<double>::max());
  // Texts: the calculation stops on them where it needs a number.
  for (const char* text : {"", " ", "abc", "1.2.3", "e5", ".", "-", "0x10", "inf", "nan", "1,5",
                           "1e", "1e+", "--1", "1 2", "１２", "1e400", "1e-400"})
    EXPECT_EQ(ParseNumber(text), std::nullopt) << '"' << text << '"';
}

TEST(ConvertField, EmptyNumberOrText) {
  FieldValue blanks = ConvertField(field::H, "  ");
  EXPECT_TRUE(blanks.IsEmpty());
  EXPECT_EQ(blanks.number, 0);
  EXPECT_EQ(blanks.text, "  ");

  FieldValue number = ConvertField(field::Un, "380 ");
  EXPECT_TRUE(number.IsNumber());
  EXPECT_EQ(number.number, 380);
  EXPECT_EQ(number.text, "380 ");

  FieldValue text = ConvertField(field::P, "4极");
  EXPECT_TRUE(text.IsText());
  EXPECT_EQ(text.number, 0);
  EXPECT_EQ(text.text, "4极");

  FieldValue model = ConvertField(field::TYPE, "0132");
  EXPECT_EQ(model.text, "0132");
  EXPECT_EQ(model.number, 132);
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
  EXPECT_EQ(ConvertField(field::DMM, "0.1").number, 0.1);
  // Beyond single precision SHFA cannot hold the value: it stays text.
  EXPECT_TRUE(ConvertField(field::SHFA, "1e39").IsText());
  EXPECT_TRUE(ConvertField(field::DMM, "1e39").IsNumber());
}

// A sweep's value reads back from its text as the very same double.
TEST(SetNumber, ActsAsIfTheFieldHeldTheNumber) {
  for (double value : {0.3, 1e20, -2.5e-7, 132.0, 0.1 + 0.2}) {
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
}

}  // namespace
}  // namespace velmora::design
