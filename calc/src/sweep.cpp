#include "velmora/calc/sweep.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace velmora::calc {

namespace {

namespace field = design::field;

std::string InputName(int field) {
  const design::FieldInfo& info = design::kFieldInfo[field];
  return std::string("“") + info.caption + "”（" + info.name + "）";
}

std::string Text(double value) {
  char buffer[32];
  auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return std::string(buffer, end);
}

// ---- Ranges ----------------------------------------------------------------

// Numbers typed as decimals are stepped in whole units of their last decimal
// place, so FROM + k·STEP is exact and each point is the double nearest its
// decimal, as if it had been typed. Beyond 15 places or 2^53 units the range
// is stepped in doubles.
constexpr int kMaxDecimals = 15;
constexpr double kMaxExactUnits = 9007199254740992.0;  // 2^53

bool InUnits(double x, double scale, std::int64_t& units) {
  double scaled = std::round(x * scale);
  if (!(std::fabs(scaled) < kMaxExactUnits) || scaled / scale != x) return false;
  units = static_cast<std::int64_t>(scaled);
  return true;
}

// A grid point within 1e-9 of a step of "on the grid" counts as on it.
constexpr double kGridTolerance = 1e-9;

void RefuseStep(int field, double from, double to, double step) {
  const char* why = step == 0 ? "步长为0" : "步长的符号与从起点到终点的方向相反";
  throw SweepError("改变" + InputName(field) + "：" + why + "（" + Text(from) + ":" + Text(to) +
                   ":" + Text(step) + "）");
}

void RefuseSize(std::string what) {
  throw SweepError(what + "超过" + std::to_string(kMaxSweepVariants) + "个方案，不予计算");
}

}  // namespace

SweepAxis SweepAxis::Range(int field, double from, double to, double step) {
  if (field == field::TYPE) throw SweepError("电机型号TYPE是文字，不能改变");
  double steps = (to - from) / step;
  if (step == 0 || steps < 0) RefuseStep(field, from, to, step);
  if (!(steps < static_cast<double>(kMaxSweepVariants))) RefuseSize("改变" + InputName(field));
  SweepAxis axis;
  axis.field_ = field;
  axis.from_ = from;
  axis.to_ = to;
  axis.step_ = step;
  for (int decimals = 0; decimals <= kMaxDecimals; ++decimals) {
    double scale = std::pow(10.0, decimals);
    std::int64_t F, T, S;
    if (InUnits(from, scale, F) && InUnits(to, scale, T) && InUnits(step, scale, S)) {
      axis.scale_ = scale;
      axis.from_units_ = F;
      axis.step_units_ = S;
      axis.count_ = static_cast<std::uint64_t>((T - F) / S) + 1;
      return axis;
    }
  }
  axis.count_ = static_cast<std::uint64_t>(std::floor(steps + kGridTolerance)) + 1;
  double last = from + static_cast<double>(axis.count_ - 1) * step;
  axis.last_is_to_ = std::fabs(last - to) <= kGridTolerance * std::fabs(step);
  return axis;
}

SweepAxis SweepAxis::List(int field, std::vector<double> values) {
  if (field == field::TYPE) throw SweepError("电机型号TYPE是文字，不能改变");
  if (values.empty()) throw SweepError("改变" + InputName(field) + "：没有给出取值");
  SweepAxis axis;
  axis.field_ = field;
  axis.list_ = std::move(values);
  return axis;
}

double SweepAxis::operator[](std::uint64_t k) const {
  if (!list_.empty()) return list_[k];
  if (scale_ != 0) {
    std::int64_t units = from_units_ + static_cast<std::int64_t>(k) * step_units_;
    return static_cast<double>(units) / scale_;
  }
  if (last_is_to_ && k + 1 == count_) return to_;
  return from_ + static_cast<double>(k) * step_;
}

// ---- Reading --vary --------------------------------------------------------

namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (;;) {
    std::size_t at = text.find(separator);
    parts.push_back(text.substr(0, at));
    if (at == std::string_view::npos) return parts;
    text.remove_prefix(at + 1);
  }
}

double NumberOf(int field, std::string_view text) {
  std::optional<double> number = design::ParseNumber(text);
  if (!number)
    throw SweepError("改变" + InputName(field) + "：“" + std::string(text) + "”不是数字");
  return *number;
}

}  // namespace

SweepAxis ParseSweepAxis(std::string_view text) {
  std::size_t equals = text.find('=');
  if (equals == std::string_view::npos)
    throw SweepError("“" + std::string(text) + "”应写成 名称=起点:终点:步长 或 名称=值1,值2,...");
  std::string_view name = text.substr(0, equals);
  std::string_view values = text.substr(equals + 1);
  std::optional<int> field = design::FieldIndex(name);
  if (!field) throw SweepError("没有名为“" + std::string(name) + "”的输入数据");
  if (*field == field::TYPE) throw SweepError("电机型号TYPE是文字，不能改变");
  if (values.find(':') != std::string_view::npos) {
    std::vector<std::string_view> parts = Split(values, ':');
    if (parts.size() != 3)
      throw SweepError("改变" + InputName(*field) + "：范围应写成 起点:终点:步长");
    return SweepAxis::Range(*field, NumberOf(*field, parts[0]), NumberOf(*field, parts[1]),
                            NumberOf(*field, parts[2]));
  }
  std::vector<double> list;
  for (std::string_view part : Split(values, ',')) list.push_back(NumberOf(*field, part));
  return SweepAxis::List(*field, std::move(list));
}

// ---- The grid --------------------------------------------------------------

SweepGrid::SweepGrid(std::vector<SweepAxis> axes) : axes_(std::move(axes)) {
  for (std::size_t a = 0; a < axes_.size(); ++a) {
    for (std::size_t b = 0; b < a; ++b)
      if (axes_[b].field() == axes_[a].field())
        throw SweepError(InputName(axes_[a].field()) + "被指定改变了两次");
    if (axes_[a].size() > kMaxSweepVariants / size_) RefuseSize("全部组合");
    size_ *= axes_[a].size();
  }
}

void SweepGrid::Values(std::uint64_t index, std::span<double> values) const {
  for (std::size_t a = axes_.size(); a-- > 0;) {
    std::uint64_t n = axes_[a].size();
    values[a] = axes_[a][index % n];
    index /= n;
  }
}

// ---- Selectors -------------------------------------------------------------

namespace {

bool IsWhole(double x) { return std::floor(x) == x; }
bool IsWindingType(double CZN) { return CZN == 1 || CZN == 2; }
bool IsSlotShape(double ZC) { return ZC == 1 || ZC == 2 || ZC == 3 || ZC == 4; }
bool IsPoleNumber(double P) { return P >= 2 && IsWhole(P) && IsWhole(P / 2); }
bool IsSingleLayerPoleNumber(double P) { return P == 2 || P == 4 || P == 6 || P == 8; }
bool IsSingleValue(double SHFA) { return !std::isinf(static_cast<float>(SHFA)); }

struct SelectorRule {
  int field;
  bool (*accepts)(double);
  const char* allowed;
};

const SelectorRule kSelectorRules[] = {
    {field::CZN, IsWindingType, "应为1（单层）或2（双层）"},
    {field::ZC, IsSlotShape, "应为1、2、3或4"},
    {field::P, IsPoleNumber, "应为不小于2的偶数"},
    {field::SHFA, IsSingleValue, "超出单精度数的范围"},
};

const SweepAxis* AxisOf(const SweepGrid& grid, int field) {
  for (const SweepAxis& axis : grid.axes())
    if (axis.field() == field) return &axis;
  return nullptr;
}

// Whether any value `field` takes in the sweep satisfies `test`.
bool AnyValue(const design::DesignInput& base, const SweepGrid& grid, int field,
              bool (*test)(double)) {
  if (const SweepAxis* axis = AxisOf(grid, field)) {
    for (std::uint64_t k = 0; k < axis->size(); ++k)
      if (test((*axis)[k])) return true;
    return false;
  }
  return base[field].IsNumber() && test(base[field].number);
}

void RefuseValue(int field, double value, const char* allowed) {
  throw SweepError("改变" + InputName(field) + "：取值" + Text(value) + "不被计算接受，" + allowed);
}

}  // namespace

void CheckSweepSelectors(const design::DesignInput& base, const SweepGrid& grid) {
  for (const SelectorRule& rule : kSelectorRules) {
    const SweepAxis* axis = AxisOf(grid, rule.field);
    if (!axis) continue;
    for (std::uint64_t k = 0; k < axis->size(); ++k)
      if (!rule.accepts((*axis)[k])) RefuseValue(rule.field, (*axis)[k], rule.allowed);
  }
  // A single-layer winding takes 2, 4, 6 or 8 poles only.
  if (!AxisOf(grid, field::CZN) && !AxisOf(grid, field::P)) return;
  auto is_single_layer = [](double CZN) { return CZN == 1; };
  auto is_not_single_layer_pole = [](double P) { return !IsSingleLayerPoleNumber(P); };
  if (AnyValue(base, grid, field::CZN, is_single_layer) &&
      AnyValue(base, grid, field::P, is_not_single_layer_pole))
    throw SweepError("改变" + InputName(field::CZN) + "或" + InputName(field::P) +
                     "：单层绕组（CZN=1）时极数应为2、4、6或8");
}

// ---- Running ---------------------------------------------------------------

namespace {

// What the run sees of a varied input: a number, single precision for SHFA.
// The field's text is left as it was; the calculation reads only the number.
void SetVariedInput(design::DesignInput& input, int field, double& value) {
  if (field == field::SHFA) value = static_cast<float>(value);
  design::FieldValue& target = input[field];
  target.kind = design::FieldValue::Kind::Number;
  target.number = value;
}

// Rows go in blocks: the workers take blocks in order, each fills a slot of a
// ring with its rows, and the calling thread writes the slots in order. A
// worker waits while its slot still holds an unwritten block, so the memory
// held is the ring whatever the length of the sweep.
class SweepRun {
 public:
  SweepRun(const design::DesignInput& base, const SweepGrid& grid, const SweepOptions& options,
           const SweepFormatter& format)
      : base_(base), grid_(grid), options_(options), format_(format) {
    unsigned threads = options.threads ? options.threads : std::thread::hardware_concurrency();
    threads = std::max(threads, 1u);
    // Enough blocks to share out evenly, few enough to keep the ring small.
    block_size_ = std::clamp<std::uint64_t>(grid.size() / (threads * 16ull), 1, 256);
    block_count_ = (grid.size() + block_size_ - 1) / block_size_;
    thread_count_ = static_cast<unsigned>(std::min<std::uint64_t>(threads, block_count_));
    slots_.resize(2 * static_cast<std::size_t>(std::max(thread_count_, 1u)));
  }

  std::uint64_t Run(const SweepWriter& write) {
    std::vector<std::thread> workers;
    std::uint64_t written = 0;
    try {
      for (unsigned t = 0; t < thread_count_; ++t) workers.emplace_back([this] { Work(); });
      written = WriteInOrder(write);
    } catch (...) {
      Stop(std::current_exception());
    }
    Stop(nullptr);
    for (std::thread& worker : workers) worker.join();
    if (failure_) std::rethrow_exception(failure_);
    return written;
  }

 private:
  struct Slot {
    std::string bytes;
    std::uint64_t rows = 0;
    bool ready = false;
  };

  bool Cancelled() const {
    return options_.cancel && options_.cancel->load(std::memory_order_relaxed);
  }

  void Stop(std::exception_ptr failure) {
    {
      std::lock_guard lock(mutex_);
      stopped_ = true;
      if (failure && !failure_) failure_ = failure;
    }
    changed_.notify_all();
  }

  std::uint64_t WriteInOrder(const SweepWriter& write) {
    std::uint64_t written = 0;
    for (std::uint64_t block = 0; block < block_count_; ++block) {
      Slot& slot = slots_[block % slots_.size()];
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return stopped_ || slot.ready; });
        if (stopped_) break;
      }
      write(slot.bytes);
      written += slot.rows;
      {
        std::lock_guard lock(mutex_);
        slot.ready = false;
        ++blocks_written_;
      }
      changed_.notify_all();
      if (options_.progress) options_.progress(written);
      if (Cancelled()) break;
    }
    return written;
  }

  void Work() {
    try {
      Worker worker(base_, grid_.axes().size());
      for (;;) {
        std::uint64_t block = next_block_.fetch_add(1);
        if (block >= block_count_) return;
        Slot& slot = slots_[block % slots_.size()];
        {
          std::unique_lock lock(mutex_);
          changed_.wait(lock, [&] { return stopped_ || blocks_written_ + slots_.size() > block; });
          if (stopped_) return;
        }
        if (!Compute(worker, block, slot)) return Stop(nullptr);
        {
          std::lock_guard lock(mutex_);
          slot.ready = true;
        }
        changed_.notify_all();
      }
    } catch (...) {
      Stop(std::current_exception());
    }
  }

  // Everything one thread needs for a variant, made once.
  struct Worker {
    Worker(const design::DesignInput& base, std::size_t axes) : input(base), varied(axes) {}
    design::DesignInput input;
    std::vector<double> varied;
    CalculationState state;
    CalculationFault fault;
    DesignCheck check;
  };

  // Fills `slot` with the rows of `block`; false when cancelled.
  bool Compute(Worker& w, std::uint64_t block, Slot& slot) {
    std::uint64_t first = block * block_size_;
    std::uint64_t end = std::min(first + block_size_, grid_.size());
    slot.bytes.clear();
    slot.rows = end - first;
    for (std::uint64_t index = first; index < end; ++index) {
      if (Cancelled()) return false;
      grid_.Values(index, w.varied);
      for (std::size_t a = 0; a < w.varied.size(); ++a)
        SetVariedInput(w.input, grid_.axes()[a].field(), w.varied[a]);
      bool ok = Calculate(w.input, w.state, w.fault);
      if (ok) w.check = CheckDesign(w.input, w.state);
      format_({index, w.varied, ok, w.state, w.fault, w.check}, slot.bytes);
    }
    return true;
  }

  const design::DesignInput& base_;
  const SweepGrid& grid_;
  const SweepOptions& options_;
  const SweepFormatter& format_;
  std::uint64_t block_size_ = 1;
  std::uint64_t block_count_ = 0;
  unsigned thread_count_ = 1;

  std::atomic<std::uint64_t> next_block_{0};
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Slot> slots_;           // a slot's fields are guarded by `ready`
  std::uint64_t blocks_written_ = 0;  // guarded by mutex_
  bool stopped_ = false;              // guarded by mutex_
  std::exception_ptr failure_;        // guarded by mutex_
};

}  // namespace

std::uint64_t RunSweep(const design::DesignInput& base, const SweepGrid& grid,
                       const SweepOptions& options, const SweepFormatter& format,
                       const SweepWriter& write) {
  SweepRun run(base, grid, options, format);
  return run.Run(write);
}

// ---- CSV -------------------------------------------------------------------

namespace {

void AppendField(std::string& out, std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    out += text;
    return;
  }
  out += '"';
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

template <typename Number>
void AppendNumber(std::string& out, Number value) {
  char buffer[32];
  auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  out.append(buffer, end);
}

void AppendQuantity(std::string& out, QuantityView q) {
  if (!q.set) return;
  if (q.single)
    AppendNumber(out, static_cast<float>(q.value));
  else
    AppendNumber(out, q.value);
}

void AppendCheck(std::string& out, const DesignCheck& check) {
  bool any = false;
  for (const CheckLine& line : check.lines) {
    if (line.outcome != CheckLine::Outcome::Fail && line.outcome != CheckLine::Outcome::Untrusted)
      continue;
    if (any) out += ';';
    out += line.name;
    any = true;
  }
  if (!any) out += "ok";
}

const QuantityEntry* FindEntry(std::string_view name) {
  if (name == "SIN ALFA") name = "SIN_ALFA";
  for (const QuantityEntry& entry : QuantityTable())
    if (entry.name == name) return &entry;
  return nullptr;
}

}  // namespace

SweepCsv::SweepCsv(const SweepGrid& grid, std::span<const std::string_view> columns) {
  for (std::string_view name : columns) {
    const QuantityEntry* entry = FindEntry(name);
    if (!entry) throw SweepError("没有名为“" + std::string(name) + "”的计算量，不能作为输出列");
    columns_.push_back(entry);
  }
  // A varied input named like a result column (EFF, PF) is headed "input EFF",
  // so that no two columns share a name.
  for (const SweepAxis& axis : grid.axes()) {
    std::string name = design::kFieldInfo[axis.field()].name;
    bool shared = std::any_of(columns_.begin(), columns_.end(),
                              [&](const QuantityEntry* entry) { return entry->name == name; });
    varied_names_.push_back(shared ? "input " + name : name);
    varied_single_.push_back(axis.field() == design::field::SHFA);
  }
}

std::string SweepCsv::Header() const {
  std::string out;
  for (const std::string& name : varied_names_) {
    AppendField(out, name);
    out += ',';
  }
  for (const QuantityEntry* entry : columns_) {
    AppendField(out, entry->name);
    out += ',';
  }
  out += "check,fault\r\n";
  return out;
}

void SweepCsv::AppendRow(const SweepRow& row, std::string& out) const {
  for (std::size_t a = 0; a < row.varied.size(); ++a) {
    if (varied_single_[a])
      AppendNumber(out, static_cast<float>(row.varied[a]));
    else
      AppendNumber(out, row.varied[a]);
    out += ',';
  }
  for (const QuantityEntry* entry : columns_) {
    if (row.ok) AppendQuantity(out, entry->get(row.state));
    out += ',';
  }
  if (row.ok) AppendCheck(out, row.check);
  out += ',';
  if (!row.ok) AppendField(out, row.fault.message);
  out += "\r\n";
}

}  // namespace velmora::calc
