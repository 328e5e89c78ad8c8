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
TEST(TextCodec, ConvertsBothWays) {
  const CodecCase cases[] = {
      {"", ""},
      {"Y132M-4,380,", "Y132M-4,380,"},
      {"电机型号", "\xB5\xE7\xBB\xFA\xD0\xCD\xBA\xC5"},
      {"：", "\xA3\xBA"},  // fullwidth colon of the report labels
      {"Ω", "\xA6\xB8"},
  };
  for (const CodecCase& c : cases) {
    EXPECT_EQ(Utf8ToGbk(c.utf8), c.gbk) << c.utf8;
    EXPECT_EQ(GbkToUtf8(c.gbk), c.utf8) << c.utf8;
  }
  std::string long_text;
  for (int i = 0; i < 5000; ++i) long_text += "定子槽数,";
  EXPECT_EQ(Utf8ToGbk(long_text).size(), 5000u * 9u);
  EXPECT_EQ(GbkToUtf8(Utf8ToGbk(long_text)), long_text);
}

TEST(TextCodec, WhatCannotBeConvertedIsMarkedCharacterByCharacter) {
  // Each invalid GBK byte becomes one replacement character.
  const CodecCase from_gbk[] = {
      {"a\xEF\xBF\xBD\xEF\xBF\xBD"
       "b",
       "a\xFF\xFF"
       "b"},
      // A lead byte before an ASCII byte: the lead is bad, the comma survives.
      {"\xEF\xBF\xBD,", "\xB5,"},
      // A lead byte cut off by the end of the text.
      {"电\xEF\xBF\xBD", "\xB5\xE7\xB5"},
  };
  for (const CodecCase& c : from_gbk) EXPECT_EQ(GbkToUtf8(c.gbk), c.utf8);
  // Each character GBK lacks, or byte that is no UTF-8, becomes a question mark.
  const CodecCase to_gbk[] = {
      {"电한机", "\xB5\xE7?\xBB\xFA"},
      {"a😀b", "a?b"},
      {"\xFF"
       "a",
       "?a"},
      {"\xE7\x94", "??"},  // each byte of a character cut off by the end
      {"\xC3"
       "a",
       "?a"},  // a lead byte without its continuation
  };
  for (const CodecCase& c : to_gbk) EXPECT_EQ(Utf8ToGbk(c.utf8), c.gbk) << c.utf8;
}

TEST(TextCodec, ThreadsConvertIndependently) {
  std::vector<std::thread> threads;
  std::vector<int> failures(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &failures] {
      for (int i = 0; i < 2000; ++i)
        failures[t] += GbkToUtf8(Utf8ToGbk("转子内径DI2")) != "转子内径DI2";
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int f : failures) EXPECT_EQ(f, 0);
}

}  // namespace
}  // namespace velmora::design
