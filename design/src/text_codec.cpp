#include "velmora/design/text_codec.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace velmora::design {

namespace {

// One iconv conversion descriptor per thread and direction: a descriptor
// carries conversion state and must not be shared between threads.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  ~Converter() { iconv_close(cd_); }

  // Converts `input`; at each sequence iconv refuses, `bad_length` says how
  // many bytes to skip and `replacement` is written instead.
  template <typename BadLength>
  std::string Convert(std::string_view input, std::string_view replacement, BadLength bad_length) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    std::string output;
    char* in = const_cast<char*>(input.data());
    std::size_t in_left = input.size();
    char buffer[4096];
    while (in_left > 0) {
      char* out = buffer;
      std::size_t out_left = sizeof buffer;
      std::size_t result = iconv(cd_, &in, &in_left, &out, &out_left);
      int error = errno;
      output.append(buffer, static_cast<std::size_t>(out - buffer));
      if (result != static_cast<std::size_t>(-1) || error == E2BIG) continue;
      // EILSEQ, or EINVAL for a sequence cut off by the end of the input.
      std::size_t skip = bad_length(std::string_view(in, in_left));
      output += replacement;
      in += skip;
      in_left -= skip;
    }
    return output;
  }

 private:
  iconv_t cd_;
};

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Length of the UTF-8 character at the start of `text`, or 1 for a byte
// that starts no well-formed character (so each such byte becomes one "?").
std::size_t Utf8CharLength(std::string_view text) {
  unsigned char lead = static_cast<unsigned char>(text[0]);
  std::size_t length = lead < 0xC2 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 1;
  if (length > text.size()) return 1;
  for (std::size_t i = 1; i < length; ++i) {
    if (!IsContinuation(static_cast<unsigned char>(text[i]))) return 1;
  }
  return length;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
  thread_local Converter converter("UTF-8", "GBK");
  // One U+FFFD per byte that is not GBK; the byte after a bad lead byte is
  // read again on its own, so an ASCII character there survives.
  return converter.Convert(gbk, "\xEF\xBF\xBD", [](std::string_view) { return std::size_t{1}; });
}

std::string Utf8ToGbk(std::string_view utf8) {
  thread_local Converter converter("GBK", "UTF-8");
  return converter.Convert(utf8, "?", Utf8CharLength);
}

}  // namespace velmora::design
