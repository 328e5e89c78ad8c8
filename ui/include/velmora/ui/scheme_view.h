// The window "方案设计": a new motor from its rating. The rating as typed,
// the sizing and its refinement on a worker thread so the windows stay
// responsive, the choices of the sizing with their reasons, the sized and
// the refined design side by side (main inputs, main results, each rule of
// the check), and the design into the input boxes and the texts it
// replaced back again.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "velmora/studies/sizing.h"
#include "velmora/ui/design_optimiser.h"
#include "velmora/ui/toolkit.h"
#include "velmora/ui/window_support.h"

namespace velmora::ui {

// The window's controls as typed or chosen.
struct SchemeRequest {
  std::string power;  // kW
  int poles = 4;
  std::string voltage = "380", frequency = "50";
  std::optional<studies::EfficiencyClass> required_class;  // empty: the legal minimum
  // The insulation class whose limit the winding's rise must keep; empty: none.
  std::optional<studies::InsulationClass> insulation = studies::InsulationClass::B;
  bool optimise = true;
  std::string max_evaluations =
      std::to_string(studies::kNewDesignEvaluations);  // of the refinement
};

// The most evaluations the window lets a refinement take.
inline constexpr std::uint64_t kMaxSchemeEvaluations = 1'000'000;

// The rating and the refinement's budget as typed; the message naming the
// box at fault when a box holds no number or a value the sizing refuses
// (its own words, CheckRating).
std::optional<std::string> ReadSchemeRequest(const SchemeRequest& request, studies::Rating& rating,
                                             std::uint64_t& max_evaluations);

// A new design as the window shows it. The compared rows are a caption,
// the sized design's text and the refined design's ("—" when not refined).
struct SchemeView {
  using Row = OptimiseTable::Row;
  std::string status;  // which frame, passed or not, how many evaluations
  std::string design;  // the model of the new design
  std::vector<studies::SizingStep> steps;
  std::vector<Row> inputs;                // H, D1, DI1, L, Q1/Q2, Z, A, ...
  std::vector<Row> results;               // cost, EFF, PF, Ist, TST1, TMAX1, SF, TRISE, trust
  std::vector<Row> rules;                 // each rule of the check: computed value and verdict
  std::vector<std::string> frames_tried;  // "中心高112：EFF不合格"
  std::vector<std::string> notes;
};

// The headings of the compared columns.
inline constexpr const char* kSchemeColumns[] = {"初步设计", "优化设计"};

// The view of `made`, sized and refined for `rating` with `options` (its
// prices and thermal data; both designs are run again, in microseconds,
// for the results).
SchemeView MakeSchemeView(const studies::NewDesign& made, const studies::Rating& rating,
                          const studies::NewDesignOptions& options);

class SchemeDesigner {
 public:
  SchemeDesigner() = default;
  // Cancels a running design and waits for its thread.
  ~SchemeDesigner();
  SchemeDesigner(const SchemeDesigner&) = delete;
  SchemeDesigner& operator=(const SchemeDesigner&) = delete;

  // Reads the request and starts the worker, with the prices and the
  // thermal data of the files in `folder` as the check window takes them
  // (a thermal data file that cannot be used leaves the rise unlimited,
  // and the notes say so). The message naming the box or the file at fault
  // when it cannot start, or saying it is still running.
  std::optional<std::string> Start(const SchemeRequest& request, const std::string& folder);
  void Cancel() { work_.Cancel(); }
  void Wait() { work_.Wait(); }
  bool Running() const { return work_.Running(); }
  // True once the worker has ended; then its thread is joined.
  bool Finished() { return work_.Finished(); }
  // The refinement's evaluations so far.
  std::uint64_t Evaluations() const { return evaluations_; }

  const std::optional<studies::NewDesign>& Result() const { return result_; }
  const std::string& Error() const { return error_; }
  // The view of the finished design; only the status when there is none.
  SchemeView View() const;

  // "载入设计": the new design into the boxes; the texts it replaced are
  // kept from the first load on.
  void Load(Toolkit& toolkit);
  // "恢复原设计": those texts back into the boxes.
  void Restore(Toolkit& toolkit);
  bool CanLoad() const { return !Running() && result_.has_value(); }
  bool CanRestore() const { return replaced_.has_value(); }

 private:
  void Work();

  studies::Rating rating_;
  studies::NewDesignOptions options_;
  std::atomic<std::uint64_t> evaluations_{0};
  std::optional<studies::NewDesign> result_;
  std::string error_;
  std::string thermal_note_;  // why the rise is not limited, when the data file failed
  std::optional<BoxTextArray> replaced_;
  BackgroundWork work_;  // last: joined before the members it writes are destroyed
};

}  // namespace velmora::ui
