#include "velmora/design/text_codec.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace velmora::design {
namespace {

struct CodecCase {
  const char* utf8;
  const char* gbk;
};

// GBK codes from the GB 2312 / GBK code chart (电 = B5E7, 机 = BBFA).
const CodecCase kBothWays[] = {
    {"", ""},
    {"Y132M-4,380,", "Y132M-4,380,"},
    {"电机", "\xB5\xE7\xBB\xFA"},
    {"电机型号", "\xB5\xE7\xBB\xFA\xD0\xCD\xBA\xC5"},
    {"：", "\xA3\xBA"},  // fullwidth colon of the report labels
    {"Ω", "\xA6\xB8"},
};

TEST(TextCodec, ConvertsBothWays) {
  for (const CodecCase& c : kBothWays) {
    EXPECT_EQ(Utf8ToGbk(c.utf8), c.gbk) << c.utf8;
    EXPECT_EQ(GbkToUtf8(c.gbk), c.utf8) << c.utf8;
  }
}

TEST(TextCodec, InvalidGbkBytesBecomeOneReplacementEach) {
  const CodecCase cases[] = {
      {"\xEF\xBF\xBD", "\xFF"},
      {"a\xEF\xBF\xBD\xEF\xBF\xBD"
       "b",
       "a\xFF\xFF"
       "b"},
      // A lead byte before an ASCII byte: the lead is bad, the comma survives.
      {"\xEF\xBF\xBD,", "\xB5,"},
      // A lead byte cut off by the end of the text.
      {"电\xEF\xBF\xBD", "\xB5\xE7\xB5"},
  };
  for (const CodecCase& c : cases) EXPECT_EQ(GbkToUtf8(c.gbk), c.utf8);
}

TEST(TextCodec, UnrepresentableCharactersBecomeQuestionMarks) {
  const CodecCase cases[] = {
      {"한", "?"},
      {"a😀b", "a?b"},
      {"电한机", "\xB5\xE7?\xBB\xFA"},
      {"\xFF"
       "a",
       "?a"},              // not UTF-8 at all
      {"\xE7\x94", "??"},  // each byte of a character cut off by the end
      {"\xC3"
       "a",
       "?a"},  // a lead byte without its continuation
  };
  for (const CodecCase& c : cases) EXPECT_EQ(Utf8ToGbk(c.utf8), c.gbk) << c.utf8;
}

TEST(TextCodec, LongTextsPassWhole) {
  std::string utf8;
  for (int i = 0; i < 5000; ++i) utf8 += "定子槽数,";
  std::string gbk = Utf8ToGbk(utf8);
  EXPECT_EQ(gbk.size(), 5000u * 9u);
  EXPECT_EQ(GbkToUtf8(gbk), utf8);
}

TEST(TextCodec, ThreadsConvertIndependently) {
  std::vector<std::thread> threads;
  std::vector<int> failures(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &failures] {
      for (int i = 0; i < 2000; ++i) {
        if (GbkToUtf8(Utf8ToGbk("转子内径DI2")) != "转子内径DI2") ++failures[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int f : failures) EXPECT_EQ(f, 0);
}

}  // namespace
}  // namespace velmora::design
