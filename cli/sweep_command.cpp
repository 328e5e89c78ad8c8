#include "sweep_command.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string_view>

#include "design_run.h"
#include "interrupt.h"
#include "vary_option.h"
#include "velmora/design/files.h"
#include "velmora/report/sweep_csv.h"
#include "velmora/report/validity_text.h"
#include "velmora/studies/sweep.h"

namespace velmora::cli {

namespace {

constexpr unsigned kMaxThreads = 1024;
constexpr std::uint64_t kProgressFrom = 10'000;  // variants; smaller sweeps are quick

const char* kUsage =
    "用法：velmora-calc sweep 基准设计文件 --vary 名称=起点:终点:步长 [--vary 名称=值1,值2,...]\n"
    "                         [-o 结果.csv] [--threads N] [--columns 量1,量2,...]\n"
    "                         [--class IE2|IE3|IE4|none] [--prices 价格文件]\n"
    "                         [--insulation B|F|H|none] [--thermal 热参数文件]\n"
    "  对基准设计逐一改变所给输入数据（最后一个 --vary 变化最快），计算全部组合，\n"
    "  结果按组合顺序写成 CSV（UTF-8）；不给 -o 时输出到终端。默认各列为主要结果、\n"
    "  能效等级IE、有效材料成本COST和绕组平均温升TRISE（K，热网络，电阻法）；check列\n"
    "  列出不合格的校核项，温升按 --insulation 的绝缘等级校核（默认B，none 不校核），\n"
    "  热参数默认取程序旁的“热参数.dat”，没有时用内置数据。\n";

struct SweepArguments {
  std::string base;
  std::vector<std::string> vary;
  std::optional<std::string> output;
  unsigned threads = 0;
  std::optional<std::string> columns;
  DesignToolOptions tools;
};

[[noreturn]] void UsageError(const std::string& message) {
  throw CommandFailure(message, kExitUsage, kUsage);
}

SweepArguments ParseOptions(const std::vector<std::string>& args) {
  SweepArguments options;
  options.base = ScanArguments(
      args, kUsage,
      [&options](const std::string& arg, const std::string& value) {
        if (arg == "--vary")
          options.vary.push_back(value);
        else if (arg == "-o")
          options.output = value;
        else if (arg == "--threads")
          options.threads = WholeOption<unsigned>(arg, value, 1, kMaxThreads, kUsage);
        else if (arg == "--columns")
          options.columns = value;
        else
          return false;
        return true;
      },
      "没有给出基准设计文件");
  if (options.vary.empty()) UsageError("没有给出 --vary");
  return options;
}

std::vector<std::string_view> ColumnNames(const std::optional<std::string>& list) {
  if (!list) return report::DefaultSweepColumns();
  std::vector<std::string_view> names;
  std::string_view rest = *list;
  for (;;) {
    std::size_t comma = rest.find(',');
    std::string_view name = rest.substr(0, comma);
    if (std::find(names.begin(), names.end(), name) != names.end())
      UsageError("--columns 中“" + std::string(name) + "”出现了两次");
    names.push_back(name);
    if (comma == std::string_view::npos) return names;
    rest.remove_prefix(comma + 1);
  }
}

// A range whose step does not divide it stops at the last step below TO.
void TellShortRanges(const studies::SweepGrid& grid) {
  for (const studies::SweepAxis& axis : grid.axes()) {
    if (!axis.EndsShort()) continue;
    std::cerr << "提示：改变" << design::InputLabel(axis.field())
              << "的步长不能整除范围，最后一点为" << design::ShortestText(axis[axis.size() - 1])
              << "，不到终点\n";
  }
}

// An input that is no design freedom may be swept, as a study of the model.
void TellAssumptions(const studies::SweepGrid& grid) {
  for (const studies::SweepAxis& axis : grid.axes()) {
    std::string note = report::SweepStudyNote(axis.field());
    if (!note.empty()) std::cerr << note << "\n";
  }
}

// The CSV on standard output, or in a temporary file beside the target that
// replaces it only when the sweep is complete, so memory stays flat and an
// interrupted or failed sweep leaves the old file whole.
class CsvOutput {
 public:
  explicit CsvOutput(const std::optional<std::string>& path) {
    if (path && *path != "-") file_.emplace(*path);
  }

  void Write(std::string_view bytes) {
    if (file_) return file_->Write(bytes);
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) FailOnStdout();
  }

  void Finish() {
    if (file_) return file_->Commit();
    if (std::fflush(stdout) != 0) FailOnStdout();
  }

 private:
  [[noreturn]] static void FailOnStdout() {
    throw design::FileError(std::string("写入标准输出失败：") + std::strerror(errno), errno);
  }

  std::optional<design::AtomicFileWriter> file_;  // empty: standard output
};

// Count, rate and time left on standard error, a few times a second.
class ProgressBar {
 public:
  explicit ProgressBar(std::uint64_t total)
      : total_(total), shown_(total > kProgressFrom && isatty(STDERR_FILENO)) {}

  void Update(std::uint64_t done) {
    if (!shown_) return;
    auto now = Clock::now();
    if (done < total_ && now - last_ < std::chrono::milliseconds(250)) return;
    last_ = now;
    double seconds = std::chrono::duration<double>(now - start_).count();
    double rate = seconds > 0 ? done / seconds : 0;
    double left = rate > 0 ? (total_ - done) / rate : 0;
    std::fprintf(stderr, "\r%llu/%llu 个方案  %3.0f%%  %.0f 个/秒  剩余 %.0f 秒   ",
                 static_cast<unsigned long long>(done), static_cast<unsigned long long>(total_),
                 100.0 * done / total_, rate, left);
    std::fflush(stderr);
  }

  void End() {
    if (shown_) std::fputs("\n", stderr);
  }

 private:
  using Clock = std::chrono::steady_clock;
  std::uint64_t total_;
  bool shown_;
  Clock::time_point start_ = Clock::now();
  Clock::time_point last_{};
};

int Sweep(const SweepArguments& options) {
  design::DesignInput base = ReadDesign(options.base);
  std::vector<studies::SweepAxis> axes;
  for (const std::string& vary : options.vary) axes.push_back(ParseVaryOption(vary));
  studies::SweepGrid grid(std::move(axes));
  studies::CheckSweepSelectors(base, grid);
  TellShortRanges(grid);
  TellAssumptions(grid);
  std::vector<std::string_view> columns = ColumnNames(options.columns);
  report::SweepCsv csv(grid, columns, options.tools.prices);

  {
    CsvOutput output(options.output);
    output.Write(csv.Header());
    ProgressBar progress(grid.size());
    InterruptGuard guard;
    studies::SweepOptions run;
    run.threads = options.threads ? UsableThreads(options.threads) : 0;
    run.cancel = &Interrupted();
    run.check = options.tools.check;
    run.progress = [&](std::uint64_t done) { progress.Update(done); };
    studies::RunSweep(
        base, grid, run,
        [&](const studies::SweepRow& row, std::string& block) { csv.AppendRow(row, block); },
        [&](std::string_view block) { output.Write(block); });
    progress.End();
    if (Interrupted().load()) {
      std::cerr << "计算已中断\n";
      return kExitInterrupted;
    }
    output.Finish();
  }
  return 0;
}

}  // namespace

int SweepCommand(std::vector<std::string> args) {
  if (AsksForHelp(args)) {
    std::cout << kUsage;
    return 0;
  }
  DesignToolOptions tools = TakeDesignToolOptions(args, kUsage);
  TakeThermalOptions(args, kUsage, tools.check);
  SweepArguments options = ParseOptions(args);
  options.tools = tools;
  return Sweep(options);
}

}  // namespace velmora::cli
