// Conversion between the GBK bytes of the program's files and UTF-8 in memory.
#pragma once

#include <string>
#include <string_view>

namespace velmora::design {

// GBK bytes to UTF-8; bytes that are not valid GBK become U+FFFD.
std::string GbkToUtf8(std::string_view gbk);

// UTF-8 to GBK bytes; a character GBK cannot represent (or invalid UTF-8)
// becomes "?".
std::string Utf8ToGbk(std::string_view utf8);

}  // namespace velmora::design
