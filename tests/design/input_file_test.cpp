#include "velmora/design/input_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "temp_folder.h"
#include "velmora/design/text_codec.h"

namespace velmora::design {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;
using Fields = std::vector<std::string>;

struct ParseCase {
  const char* what;
  std::string bytes;
  Fields fields;
};

std::string Repeat(std::string_view text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

const ParseCase kParseCases[] = {
    {"empty file", "", {}},
    {"last field without comma", "a,b", {"a", "b"}},
    {"final comma ends no field", "a,b,", {"a", "b"}},
    {"two commas in a row", "a,,b", {"a", "", "b"}},
    {"a single line break", "x\n", {"x"}},
    {"one field per line, LF", "a\nb\nc", {"a", "b", "c"}},
    {"one field per line, CR LF", "a\r\nb\r\nc\r\n", {"a", "b", "c"}},
    {"one field per line, CR", "a\rb\rc\r", {"a", "b", "c"}},
    {"line break after the comma", "a,\nb,\r\nc,\rd,", {"a", "b", "c", "d"}},
    {"only one line break after a comma", "a,\n\nb", {"a", "", "b"}},
    {"LF CR is two line breaks", "a\n\rb", {"a", "", "b"}},
    {"empty line between lines", "a\r\n\r\nb", {"a", "", "b"}},
    {"leading blanks skipped", "  a, \tb,c ", {"a", "b", "c "}},
    {"blanks alone then the end", "a, ", {"a"}},
    {"quoted field keeps comma", "\"a,b\",c", {"a,b", "c"}},
    {"quoted field keeps line break", "\"a\nb\"\nc", {"a\nb", "c"}},
    {"after the closing quote dropped", "\"a\"xyz,b", {"a", "b"}},
    {"quote after blanks", "  \"a\" ,b", {"a", "b"}},
    {"quote inside a field is text", "a\"b,c", {"a\"b", "c"}},
    {"unclosed quote runs to the end", "\"abc,d", {"abc,d"}},
    {"empty quoted field", "\"\",x", {"", "x"}},
    {"GBK text", "\xB5\xE7\xBB\xFA,380,", {"电机", "380"}},
    {"invalid GBK byte", "\xFF,1", {"\xEF\xBF\xBD", "1"}},
};

void PrintTo(const ParseCase& c, std::ostream* out) { *out << c.what; }

class ParseInputFieldsTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseInputFieldsTest, SplitsFields) {
  EXPECT_EQ(ParseInputFields(GetParam().bytes), GetParam().fields) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(Files, ParseInputFieldsTest, ::testing::ValuesIn(kParseCases));

TEST(ParseInputFields, StopsAfterSixtyFields) {
  EXPECT_EQ(ParseInputFields(Repeat(",", 60)), Fields(60, ""));
  EXPECT_EQ(ParseInputFields(Repeat("7,", 61)), Fields(60, "7"));
  // The comma after the 60th field is not needed.
  Fields last_without_comma(60, "7");
  last_without_comma[59] = "1";
  EXPECT_EQ(ParseInputFields(Repeat("7,", 59) + "1"), last_without_comma);
  Fields fields = ParseInputFields(Repeat("7,", 59) + "1\r\n\"trailing junk, more");
  ASSERT_EQ(fields.size(), 60u);
  EXPECT_EQ(fields[59], "1");
}

std::array<std::string, kFieldCount> SampleTexts() {
  std::array<std::string, kFieldCount> texts;
  for (int i = 0; i < kFieldCount; ++i) texts[i] = std::to_string(i * 1.5);
  texts[field::TYPE] = "Y132M-4 电机";
  texts[field::Un] = "380";
  texts[field::SHFA] = "1";
  return texts;
}

TEST(FormatInputFile, SixtyEmptyBoxesAreSixtyCommas) {
  std::array<std::string, kFieldCount> empty;
  EXPECT_EQ(FormatInputFile(empty), Repeat(",", 60));
}

TEST(FormatInputFile, EachTextThenOneCommaInGbk) {
  std::string bytes = FormatInputFile(SampleTexts());
  EXPECT_TRUE(bytes.starts_with("Y132M-4 \xB5\xE7\xBB\xFA,1.500000,380,")) << bytes;
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "1,");
  EXPECT_EQ(bytes.find('\n'), std::string::npos);
}

class InputFileTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  std::string path_ = folder_.File("输入文件.dat");
};

TEST_F(InputFileTest, WritesAndReadsBackSixtyTexts) {
  WriteInputFile(path_, SampleTexts());
  EXPECT_EQ(ReadInputFile(path_), SampleTexts());
}

TEST_F(InputFileTest, SixtyEmptyBoxesRoundTrip) {
  WriteInputFile(path_, {});
  EXPECT_EQ(ReadBytes(path_), Repeat(",", 60));
  EXPECT_EQ(ReadInputFile(path_), (std::array<std::string, kFieldCount>{}));
}

TEST_F(InputFileTest, WritingReplacesTheWholeFile) {
  WriteBytes(path_, Repeat("a long old content,", 200));
  WriteInputFile(path_, {});
  EXPECT_EQ(ReadBytes(path_), Repeat(",", 60));
  EXPECT_EQ(folder_.FileCount(), 1);
}

TEST_F(InputFileTest, LeadingBlanksAreNotKept) {
  std::array<std::string, kFieldCount> texts = SampleTexts();
  texts[field::H] = "  132";
  WriteInputFile(path_, texts);
  EXPECT_EQ(ReadInputFile(path_)[field::H], "132");
}

TEST_F(InputFileTest, HandEditedOneFieldPerLineReadsTheSame) {
  std::string bytes;
  for (const std::string& text : SampleTexts()) bytes += Utf8ToGbk(text) + "\r\n";
  WriteBytes(path_, bytes);
  EXPECT_EQ(ReadInputFile(path_), SampleTexts());
}

TEST_F(InputFileTest, CommaInABoxShiftsLaterFields) {
  std::array<std::string, kFieldCount> texts = SampleTexts();
  texts[field::Kfe] = "0,95";  // a decimal comma
  WriteInputFile(path_, texts);
  std::array<std::string, kFieldCount> read = ReadInputFile(path_);
  EXPECT_EQ(read[field::Kfe], "0");
  EXPECT_EQ(read[field::Kfe + 1], "95");
  for (int i = field::Kfe + 2; i < kFieldCount; ++i) EXPECT_EQ(read[i], texts[i - 1]);
  // The last box text is not read.
  EXPECT_EQ(read[field::SHFA], texts[field::DMM]);
}

TEST_F(InputFileTest, ShortFileSaysHowManyFieldsItHeld) {
  WriteBytes(path_, "Y90S-2,220,50,");
  try {
    ReadInputFile(path_);
    FAIL() << "a short file was read";
  } catch (const InputFileError& error) {
    EXPECT_EQ(error.kind(), InputFileError::Kind::Short);
    EXPECT_EQ(error.fields(), (Fields{"Y90S-2", "220", "50"}));
    EXPECT_EQ(std::string(error.what()), "输入文件只有3个字段，需要60个：" + path_);
  }
}

TEST_F(InputFileTest, MissingFileIsNotFound) {
  try {
    ReadInputFile(folder_.File("没有.dat"));
    FAIL() << "a missing file was read";
  } catch (const InputFileError& error) {
    EXPECT_EQ(error.kind(), InputFileError::Kind::NotFound);
    EXPECT_EQ(std::string(error.what()), "找不到文件：" + folder_.File("没有.dat"));
  }
}

TEST_F(InputFileTest, FilesOverOneMebibyteAreRefused) {
  std::string limit = Repeat(",", 60) + std::string(kMaxInputFileBytes - 60, ' ');
  WriteBytes(path_, limit);
  EXPECT_EQ(ReadInputFile(path_), (std::array<std::string, kFieldCount>{}));

  WriteBytes(path_, limit + " ");
  try {
    ReadInputFile(path_);
    FAIL() << "a file over 1 MiB was read";
  } catch (const InputFileError& error) {
    EXPECT_EQ(error.kind(), InputFileError::Kind::TooLarge);
    EXPECT_NE(std::string(error.what()).find(path_), std::string::npos);
  }
}

TEST_F(InputFileTest, AFolderIsUnreadable) {
  try {
    ReadInputFile(folder_.path());
    FAIL() << "a folder was read";
  } catch (const InputFileError& error) {
    EXPECT_EQ(error.kind(), InputFileError::Kind::Unreadable);
    EXPECT_NE(std::string(error.what()).find(folder_.path()), std::string::npos);
  }
}

TEST_F(InputFileTest, WriteIntoMissingFolderFails) {
  std::string path = folder_.File("no-such-folder/a.txt");
  try {
    WriteInputFile(path, SampleTexts());
    FAIL() << "wrote into a missing folder";
  } catch (const InputFileError& error) {
    EXPECT_EQ(error.kind(), InputFileError::Kind::WriteFailed);
    EXPECT_NE(std::string(error.what()).find(path), std::string::npos);
  }
}

TEST_F(InputFileTest, ShfaSelectsTheLayoutAsANumber) {
  struct Case {
    const char* text;
    double shfa;
  };
  const Case cases[] = {{"1", 1}, {"1.0", 1}, {"01", 1}, {"1.5", 1.5}};
  for (const Case& c : cases) {
    std::array<std::string, kFieldCount> texts = SampleTexts();
    texts[field::SHFA] = c.text;
    WriteInputFile(path_, texts);
    DesignInput input = ReadDesignInput(path_);
    ASSERT_TRUE(input[field::SHFA].IsNumber()) << c.text;
    EXPECT_EQ(input[field::SHFA].number, c.shfa) << c.text;
    EXPECT_EQ(input[field::Un].number, 380);
    EXPECT_EQ(input[field::TYPE].text, "Y132M-4 电机");
  }
}

}  // namespace
}  // namespace velmora::design
