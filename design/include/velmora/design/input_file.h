// The input data file: 60 field texts, each followed by a comma, in GBK.
#pragma once

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "velmora/design/design_input.h"
#include "velmora/design/error.h"

namespace velmora::design {

constexpr std::size_t kMaxInputFileBytes = 1024 * 1024;

// A failed read or write of an input file. The message is Chinese, names the
// file and says what went wrong.
class InputFileError : public Error {
 public:
  enum class Kind { NotFound, Unreadable, TooLarge, Short, WriteFailed };
  InputFileError(Kind kind, std::string message, std::vector<std::string> fields = {});
  Kind kind() const { return kind_; }
  // The fields read before the file ended (Short only), in order.
  const std::vector<std::string>& fields() const { return fields_; }

 private:
  Kind kind_;
  std::vector<std::string> fields_;
};

// Reads up to 60 fields from GBK bytes (the file format's reading rules).
// Never fails: returns as many fields as the bytes hold, at most 60, in UTF-8.
std::vector<std::string> ParseInputFields(std::string_view gbk_bytes);

// Writes the 60 texts in the file format (GBK bytes, each text followed by a comma).
std::string FormatInputFile(const std::array<std::string, kFieldCount>& texts);

// Writes the 60 texts to `path`, replacing the file; throws InputFileError.
void WriteInputFile(const std::string& path, const std::array<std::string, kFieldCount>& texts);

// Reads the 60 field texts of `path`; throws InputFileError (a short file
// carries the fields it did hold).
std::array<std::string, kFieldCount> ReadInputFile(const std::string& path);

// The 60 field texts of the GBK bytes of a file called `path` (in messages);
// throws InputFileError for a short file.
std::array<std::string, kFieldCount> ParseInputFile(std::string_view gbk_bytes,
                                                    const std::string& path);

// Reads and converts the 60 fields of `path`; throws InputFileError.
DesignInput ReadDesignInput(const std::string& path);

}  // namespace velmora::design
