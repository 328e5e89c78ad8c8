// The pieces every machine-readable output is made of: CSV fields, JSON
// strings and numbers, and numbers that read back exactly.
#pragma once

#include <string>
#include <string_view>

namespace velmora::report {

// A CSV field: quoted, with quotes doubled, when it holds a comma, a quote
// or a line break.
void AppendCsvField(std::string& out, std::string_view text);
std::string CsvField(std::string_view text);

// The shortest text that reads back as the same double, or float.
void AppendRoundTrip(std::string& out, double value);
void AppendRoundTrip(std::string& out, float value);
std::string RoundTrip(double value);

// A JSON string, escaped.
std::string JsonString(std::string_view text);
// A JSON number that reads back exactly (17 significant digits); null for
// infinity and not-a-number, which JSON cannot hold.
std::string JsonNumber(double value);

}  // namespace velmora::report
