// Runs many random variations of the example designs and writes every result
// bit for bit, one line per variation, so that two builds of the calculation
// can be compared line by line.
//
//   compare_runs dump OUT.txt [--count N] [--seed S] [--examples DIR]
//   compare_runs diff OLD.txt NEW.txt
//
// Only the calculation's public interface is used, so the same source builds
// against older versions of the engine too.
#include <algorithm>
#include <bit>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "random_variants.h"
#include "velmora/calc/calculation.h"
#include "velmora/calc/calculation_state.h"
#include "velmora/design/design_input.h"
#include "velmora/design/input_file.h"

namespace {

namespace calc = velmora::calc;
namespace design = velmora::design;
namespace field = design::field;
using FaultKind = calc::CalculationFault::Kind;

constexpr const char* kUsage =
    "usage: compare_runs dump OUT.txt [--count N] [--seed S] [--examples DIR]\n"
    "       compare_runs diff OLD.txt NEW.txt\n";

using velmora::bench::Apply;
using velmora::bench::Describe;
using velmora::bench::Example;
using velmora::bench::MakeVariant;
using velmora::bench::ReadExamples;
using velmora::bench::Variant;

// ---- One result as text ----------------------------------------------------

const char* KindName(FaultKind kind) {
  switch (kind) {
    case FaultKind::Selector:
      return "Selector";
    case FaultKind::TypeMismatch:
      return "TypeMismatch";
    case FaultKind::DivideByZero:
      return "DivideByZero";
    case FaultKind::Overflow:
      return "Overflow";
    case FaultKind::Invalid:
      return "Invalid";
    case FaultKind::NoConvergence:
      return "NoConvergence";
  }
  return "Unknown";
}

std::string FaultText(const calc::CalculationFault& fault) {
  std::string message = fault.message;
  std::replace(message.begin(), message.end(), '\n', ' ');
  return std::string("FAULT ") + KindName(fault.kind) + " " +
         (fault.item.empty() ? "-" : fault.item) + " " + message;
}

std::string QuantitiesText(const calc::CalculationState& state) {
  std::string text;
  char buffer[48];
  for (const calc::QuantityEntry& entry : calc::QuantityTable()) {
    calc::QuantityView view = entry.get(state);
    std::snprintf(buffer, sizeof buffer, "=%016llx:%d ",
                  static_cast<unsigned long long>(std::bit_cast<std::uint64_t>(view.value)),
                  view.set ? 1 : 0);
    text += std::string(entry.name) + buffer;
  }
  return text;
}

std::string PassesText(const calc::PassCounts& passes) {
  return "passes=" + std::to_string(passes.KE0) + "," + std::to_string(passes.FT0) + "," +
         std::to_string(passes.EFF0) + "," + std::to_string(passes.IST1);
}

// ---- dump ------------------------------------------------------------------

struct DumpStats {
  std::vector<double> converged_seconds;
  std::map<std::string, long> faults;
  double no_convergence_seconds = 0;
  double total_seconds = 0;

  void Add(bool ok, FaultKind kind, double seconds) {
    total_seconds += seconds;
    if (ok) {
      converged_seconds.push_back(seconds);
      return;
    }
    ++faults[KindName(kind)];
    if (kind == FaultKind::NoConvergence) no_convergence_seconds += seconds;
  }

  void Print() {
    double converged = 0;
    for (double s : converged_seconds) converged += s;
    double median = 0;
    if (!converged_seconds.empty()) {
      auto middle = converged_seconds.begin() + converged_seconds.size() / 2;
      std::nth_element(converged_seconds.begin(), middle, converged_seconds.end());
      median = *middle;
    }
    std::printf("converged                     %zu\n", converged_seconds.size());
    for (const auto& [kind, count] : faults)
      std::printf("faulted %-21s %ld\n", kind.c_str(), count);
    std::printf("time on converged             %.3f s\n", converged);
    std::printf("time on NoConvergence faults  %.3f s\n", no_convergence_seconds);
    std::printf("time in all runs              %.3f s\n", total_seconds);
    std::printf("share on non-converging       %.1f %%\n",
                total_seconds > 0 ? 100 * no_convergence_seconds / total_seconds : 0.0);
    std::printf("median per converged design   %.1f us\n", median * 1e6);
  }
};

int Dump(const std::string& out_path, long count, std::uint64_t seed, const std::string& folder) {
  std::vector<Example> examples = ReadExamples(folder);
  if (examples.empty()) {
    std::cerr << "no *.txt designs in " << folder << "\n";
    return 2;
  }
  std::ofstream out(out_path, std::ios::binary);
  std::mt19937_64 rng(seed);
  DumpStats stats;
  calc::CalculationState state;
  calc::CalculationFault fault;
  for (long i = 0; i < count; ++i) {
    Variant variant = MakeVariant(rng, examples);
    design::DesignInput input = Apply(variant, examples);
    auto start = std::chrono::steady_clock::now();
    bool ok = calc::Calculate(input, state, fault);
    std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    stats.Add(ok, fault.kind, seconds.count());
    out << i << " " << Describe(variant, examples) << " "
        << (ok ? QuantitiesText(state) : FaultText(fault) + " ") << PassesText(state.passes)
        << "\n";
  }
  if (!out.flush()) {
    std::cerr << "cannot write " << out_path << "\n";
    return 2;
  }
  std::printf("variants                      %ld (seed %llu)\n", count,
              static_cast<unsigned long long>(seed));
  stats.Print();
  return 0;
}

// ---- diff ------------------------------------------------------------------

// A line: number, description, then the result.
struct Line {
  std::string head;  // number and description
  std::string body;
};

Line Split(const std::string& text) {
  std::size_t second = text.find(' ', text.find(' ') + 1);
  if (second == std::string::npos) return {text, ""};
  return {text.substr(0, second), text.substr(second + 1)};
}

bool IsNoConvergence(const std::string& body, const char* words) {
  return body.starts_with("FAULT NoConvergence ") && body.find(words) != std::string::npos;
}

// The new fault without the advice on the input EFF that a failed
// efficiency loop now adds to its message.
std::string WithoutEfficiencyAdvice(const std::string& body) {
  std::size_t advice = body.find("。输入效率EFF=");
  if (advice == std::string::npos) return body;
  std::size_t passes = body.find(" passes=", advice);
  if (passes == std::string::npos) return body;
  return body.substr(0, advice) + body.substr(passes);
}

// The changes allowed: a loop that ran into its pass limit now stops at a
// cycle, and a failed efficiency loop says what to enter for EFF.
bool ExpectedChange(const Line& old_line, const Line& new_line) {
  if (old_line.head != new_line.head || !IsNoConvergence(old_line.body, "迭代10000次仍未收敛"))
    return false;
  return IsNoConvergence(new_line.body, "循环") ||
         WithoutEfficiencyAdvice(new_line.body) == old_line.body;
}

std::vector<std::string> Tokens(const std::string& body) {
  std::vector<std::string> tokens;
  for (std::size_t at = 0; at < body.size();) {
    std::size_t end = std::min(body.find(' ', at), body.size());
    tokens.push_back(body.substr(at, end - at));
    at = end + 1;
  }
  return tokens;
}

// Where two converged results first part, or both results when one faulted.
std::string FirstDifference(const Line& old_line, const Line& new_line) {
  if (old_line.head != new_line.head)
    return "different variants: " + old_line.head + " / " + new_line.head;
  if (old_line.body.starts_with("FAULT") || new_line.body.starts_with("FAULT"))
    return "\n    old: " + old_line.body.substr(0, 300) +
           "\n    new: " + new_line.body.substr(0, 300);
  std::vector<std::string> old_tokens = Tokens(old_line.body), new_tokens = Tokens(new_line.body);
  for (std::size_t k = 0; k < std::min(old_tokens.size(), new_tokens.size()); ++k) {
    if (old_tokens[k] == new_tokens[k]) continue;
    std::string name = old_tokens[k].substr(0, old_tokens[k].find('='));
    return name + ": old " + old_tokens[k] + ", new " + new_tokens[k];
  }
  return "different number of quantities";
}

int Diff(const std::string& old_path, const std::string& new_path) {
  std::ifstream old_file(old_path, std::ios::binary), new_file(new_path, std::ios::binary);
  if (!old_file || !new_file) {
    std::cerr << "cannot read " << (old_file ? new_path : old_path) << "\n";
    return 2;
  }
  long compared = 0, identical = 0, expected = 0, unexpected = 0;
  std::string old_text, new_text;
  for (;;) {
    bool has_old = static_cast<bool>(std::getline(old_file, old_text));
    bool has_new = static_cast<bool>(std::getline(new_file, new_text));
    if (!has_old && !has_new) break;
    ++compared;
    if (has_old && has_new && old_text == new_text) {
      ++identical;
      continue;
    }
    Line old_line = Split(has_old ? old_text : "(none)"),
         new_line = Split(has_new ? new_text : "(none)");
    if (ExpectedChange(old_line, new_line)) {
      ++expected;
      continue;
    }
    if (++unexpected <= 20)
      std::cout << "DIFFERENT " << old_line.head << ": " << FirstDifference(old_line, new_line)
                << "\n";
  }
  std::printf("variants compared             %ld\n", compared);
  std::printf("identical                     %ld\n", identical);
  std::printf("expected: pass limit -> cycle or advice  %ld\n", expected);
  std::printf("unexpected differences        %ld\n", unexpected);
  return unexpected == 0 ? 0 : 1;
}

// ---- Command line ----------------------------------------------------------

int DumpCommand(const std::vector<std::string>& args) {
  long count = 20000;
  std::uint64_t seed = 1;
  std::string folder = VELMORA_EXAMPLES_DIR;
  for (std::size_t k = 1; k + 1 < args.size(); k += 2) {
    if (args[k] == "--count")
      count = std::stol(args[k + 1]);
    else if (args[k] == "--seed")
      seed = std::stoull(args[k + 1]);
    else if (args[k] == "--examples")
      folder = args[k + 1];
    else
      return std::cerr << kUsage, 2;
  }
  if (args.size() % 2 == 0) return std::cerr << kUsage, 2;
  return Dump(args[0], count, seed, folder);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + std::min(argc, 2), argv + argc);
  std::string command = argc > 1 ? argv[1] : "";
  try {
    if (command == "dump" && !args.empty()) return DumpCommand(args);
    if (command == "diff" && args.size() == 2) return Diff(args[0], args[1]);
  } catch (const std::exception& error) {
    std::cerr << "compare_runs: " << error.what() << "\n";
    return 2;
  }
  std::cerr << kUsage;
  return 2;
}
