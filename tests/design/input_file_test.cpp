#include "velmora/design/input_file.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "temp_folder.h"

namespace velmora::design {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;
using Fields = std::vector<std::string>;
using Texts = std::array<std::string, kFieldCount>;

std::string Repeat(std::string_view text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

TEST(ParseInputFields, SplitsFields) {
  struct Case {
    const char* what;
    std::string bytes;
    Fields fields;
  };
  const Case cases[] = {
      {"empty file", "", {}},
      {"last field without comma", "a,b", {"a", "b"}},
      {"final comma ends no field", "a,b,", {"a", "b"}},
      {"two commas in a row", "a,,b", {"a", "", "b"}},
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
  for (const Case& c : cases) EXPECT_EQ(ParseInputFields(c.bytes), c.fields) << c.what;
}

TEST(ParseInputFields, StopsAfterSixtyFields) {
  EXPECT_EQ(ParseInputFields(Repeat(",", 60)), Fields(60, ""));
  EXPECT_EQ(ParseInputFields(Repeat("7,", 61)), Fields(60, "7"));
  // The comma after the 60th field is not needed; what follows it is not read.
  Fields last_without_comma(60, "7");
  last_without_comma[59] = "1";
  EXPECT_EQ(ParseInputFields(Repeat("7,", 59) + "1"), last_without_comma);
  EXPECT_EQ(ParseInputFields(Repeat("7,", 59) + "1\r\n\"trailing junk, more"), last_without_comma);
}

Texts SampleTexts() {
  Texts texts;
  for (int i = 0; i < kFieldCount; ++i) texts[i] = std::to_string(i * 1.5);
  texts[field::TYPE] = "Y132M-4 电机";
  texts[field::Un] = "380";
  return texts;
}

TEST(InputFile, IsEachTextThenOneCommaInGbkAndReadsBack) {
  EXPECT_EQ(FormatInputFile({}), Repeat(",", 60));
  std::string bytes = FormatInputFile(SampleTexts());
  EXPECT_TRUE(bytes.starts_with("Y132M-4 \xB5\xE7\xBB\xFA,1.500000,380,")) << bytes;
  EXPECT_TRUE(bytes.ends_with(",88.500000,")) << bytes;
  EXPECT_EQ(bytes.find('\n'), std::string::npos);

  TempFolder folder;
  for (const Texts& texts : {SampleTexts(), Texts{}}) {
    WriteInputFile(folder.File("输入文件.dat"), texts);
    EXPECT_EQ(ReadBytes(folder.File("输入文件.dat")), FormatInputFile(texts));
    EXPECT_EQ(ReadInputFile(folder.File("输入文件.dat")), texts);
  }
}

TEST(InputFile, CommaInABoxShiftsLaterFields) {
  TempFolder folder;
  Texts texts = SampleTexts();
  texts[field::Kfe] = "0,95";  // a decimal comma
  WriteInputFile(folder.File("a.txt"), texts);
  Texts read = ReadInputFile(folder.File("a.txt"));
  EXPECT_EQ(read[field::Kfe], "0");
  EXPECT_EQ(read[field::Kfe + 1], "95");
  // The last box text is not read.
  for (int i = field::Kfe + 2; i < kFieldCount; ++i) EXPECT_EQ(read[i], texts[i - 1]);
}

TEST(InputFile, ShortFileSaysHowManyFieldsItHeld) {
  TempFolder folder;
  WriteBytes(folder.File("a.txt"), "Y90S-2,220,50,");
  try {
    ReadInputFile(folder.File("a.txt"));
    FAIL() << "a short file was read";
  } catch (const InputFileError& error) {
    EXPECT_EQ(error.kind(), InputFileError::Kind::Short);
    EXPECT_EQ(error.fields(), (Fields{"Y90S-2", "220", "50"}));
    EXPECT_EQ(std::string(error.what()), "输入文件只有3个字段，需要60个：" + folder.File("a.txt"));
  }
}

TEST(InputFile, EachFailureHasItsKindAndNamesTheFile) {
  TempFolder folder;
  const std::string limit = Repeat(",", 60) + std::string(kMaxInputFileBytes - 60, ' ');
  WriteBytes(folder.File("limit.txt"), limit);
  EXPECT_EQ(ReadInputFile(folder.File("limit.txt")), Texts{});
  WriteBytes(folder.File("large.txt"), limit + " ");
  struct Case {
    InputFileError::Kind kind;
    std::string path;
    std::function<void(const std::string&)> act;
  };
  auto read = [](const std::string& path) { ReadInputFile(path); };
  const Case cases[] = {
      {InputFileError::Kind::NotFound, folder.File("没有.dat"), read},
      {InputFileError::Kind::TooLarge, folder.File("large.txt"), read},
      {InputFileError::Kind::Unreadable, folder.path(), read},
      {InputFileError::Kind::WriteFailed, folder.File("no-folder/a.txt"),
       [](const std::string& path) { WriteInputFile(path, SampleTexts()); }},
  };
  for (const Case& c : cases) {
    try {
      c.act(c.path);
      ADD_FAILURE() << "no error for " << c.path;
    } catch (const InputFileError& error) {
      EXPECT_EQ(error.kind(), c.kind) << c.path;
      EXPECT_NE(std::string(error.what()).find(c.path), std::string::npos) << error.what();
    }
  }
}

}  // namespace
}  // namespace velmora::design
