#include "velmora/design/input_file.h"

#include <cerrno>

#include "velmora/design/files.h"
#include "velmora/design/text_codec.h"

namespace velmora::design {

namespace {

// Walks the bytes of an input file field by field. Works on the GBK bytes:
// the bytes that matter here (comma, quote, CR, LF, blanks) never occur
// inside a GBK double-byte character.
class FieldReader {
 public:
  explicit FieldReader(std::string_view bytes) : rest_(bytes) {}

  // The next field, or false when the bytes hold no more.
  bool Next(std::string& field) {
    SkipBlanks();
    if (rest_.empty()) return false;
    field = rest_.front() == '"' ? QuotedValue() : PlainValue();
    DropUpToEnd();
    if (Take(','))
      TakeLineBreak();  // a line break right after the comma ends no field
    else
      TakeLineBreak();
    return true;
  }

 private:
  static bool EndsField(char c) { return c == ',' || c == '\r' || c == '\n'; }

  void SkipBlanks() {
    while (!rest_.empty() && (rest_.front() == ' ' || rest_.front() == '\t'))
      rest_.remove_prefix(1);
  }

  bool Take(char c) {
    if (rest_.empty() || rest_.front() != c) return false;
    rest_.remove_prefix(1);
    return true;
  }

  // CR LF, LF or CR alone: one line break.
  void TakeLineBreak() {
    if (Take('\r'))
      Take('\n');
    else
      Take('\n');
  }

  std::string_view PlainValue() {
    std::size_t n = 0;
    while (n < rest_.size() && !EndsField(rest_[n])) ++n;
    std::string_view value = rest_.substr(0, n);
    rest_.remove_prefix(n);
    return value;
  }

  // From after the opening quote to the next quote (or the end of the bytes).
  std::string_view QuotedValue() {
    rest_.remove_prefix(1);
    std::size_t close = rest_.find('"');
    std::string_view value = rest_.substr(0, close);
    rest_.remove_prefix(close == std::string_view::npos ? rest_.size() : close + 1);
    return value;
  }

  // Whatever stands between a closing quote and the end of the field is dropped.
  void DropUpToEnd() {
    while (!rest_.empty() && !EndsField(rest_.front())) rest_.remove_prefix(1);
  }

  std::string_view rest_;
};

std::array<std::string, kFieldCount> ToArray(std::vector<std::string> fields) {
  std::array<std::string, kFieldCount> texts;
  for (int i = 0; i < kFieldCount; ++i) texts[i] = std::move(fields[i]);
  return texts;
}

std::string ReadInputBytes(const std::string& path) {
  try {
    return ReadWholeFile(path, kMaxInputFileBytes);
  } catch (const FileError& error) {
    switch (error.error_number()) {
      case ENOENT:
        throw InputFileError(InputFileError::Kind::NotFound, "找不到文件：" + path);
      case EFBIG:
        throw InputFileError(InputFileError::Kind::TooLarge,
                             "输入文件超过1 MiB，不予读取：" + path);
      default:
        throw InputFileError(InputFileError::Kind::Unreadable, error.what());
    }
  }
}

}  // namespace

InputFileError::InputFileError(Kind kind, std::string message, std::vector<std::string> fields)
    : Error(ErrorCode::InputFileFailed, message), kind_(kind), fields_(std::move(fields)) {}

std::vector<std::string> ParseInputFields(std::string_view gbk_bytes) {
  std::vector<std::string> fields;
  FieldReader reader(gbk_bytes);
  std::string field;
  while (fields.size() < kFieldCount && reader.Next(field)) fields.push_back(GbkToUtf8(field));
  return fields;
}

std::string FormatInputFile(const std::array<std::string, kFieldCount>& texts) {
  std::string bytes;
  for (const std::string& text : texts) {
    bytes += Utf8ToGbk(text);
    bytes += ',';
  }
  return bytes;
}

void WriteInputFile(const std::string& path, const std::array<std::string, kFieldCount>& texts) {
  try {
    WriteFileAtomically(path, FormatInputFile(texts));
  } catch (const FileError& error) {
    throw InputFileError(InputFileError::Kind::WriteFailed, error.what());
  }
}

std::array<std::string, kFieldCount> ReadInputFile(const std::string& path) {
  return ParseInputFile(ReadInputBytes(path), path);
}

std::array<std::string, kFieldCount> ParseInputFile(std::string_view gbk_bytes,
                                                    const std::string& path) {
  std::vector<std::string> fields = ParseInputFields(gbk_bytes);
  if (fields.size() < kFieldCount) {
    std::string message = "输入文件只有" + std::to_string(fields.size()) + "个字段，需要" +
                          std::to_string(kFieldCount) + "个：" + path;
    throw InputFileError(InputFileError::Kind::Short, std::move(message), std::move(fields));
  }
  return ToArray(std::move(fields));
}

DesignInput ReadDesignInput(const std::string& path) { return ToDesignInput(ReadInputFile(path)); }

}  // namespace velmora::design
