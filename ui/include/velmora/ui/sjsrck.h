// The input window: the 60 boxes of a design, the operating guide and the
// reference data, and the commands of its menu.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "velmora/design/design_input.h"
#include "velmora/report/reports.h"
#include "velmora/ui/session.h"
#include "velmora/ui/toolkit.h"

namespace velmora::ui {

// The electromagnetic calculation of the design in the input data file of a folder.
using Calculation = std::function<report::RunOutcome(const std::string& folder)>;

// Shows the input window; a window that was not open is loaded: empty
// boxes, and the guide and reference panels read from their files.
void ShowInputWindow(Toolkit& toolkit);

// The input window (输入窗口): SJSRCK for the 60 input boxes and the commands of
// its menu (数据输入, 电磁计算, 计算结果, 帮助, 设计工具).
class SJSRCK {
 public:
  SJSRCK(Toolkit& toolkit, Session& session,
         Calculation run = report::RunElectromagneticCalculation);

  void Show() { ShowInputWindow(toolkit_); }

  // Empties all 60 boxes.
  void SJSRCLEAR();
  // Writes the 60 boxes to the input data file; throws design::InputFileError.
  void SAVECKSRDAT();

  void SJSRCREAT();     // 新建
  void SJSROPEN();      // 打开
  void SJSRSAVE();      // 保存
  void SJSREXIT();      // 退出
  void SJSRCACULATE();  // 电磁计算
  void JISUAN();        // 计算结果
  void HELP();          // 帮助
  // The menu "设计工具".
  void SLOTS();      // 槽形图
  void CHECK();      // 设计校核
  void SWEEP();      // 参数扫描
  void CURVES();     // 特性曲线
  void OPTIMISE();   // 优化设计
  void THERMAL();    // 温升计算
  void TOLERANCE();  // 公差分析
  void SCHEME();     // 方案设计
  // A box was changed, by typing or by a command: the open design-tool
  // windows follow.
  void BoxesChanged();
  // Whether the boxes may be emptied or closed: yes when they hold nothing
  // a file lacks, else the user is asked `question`.
  bool MayDiscardBoxes(const char* question);

 private:
  // Puts each text into the box of its index; boxes past the last text keep theirs.
  void SetBoxes(std::span<const std::string> texts);
  // Reads the fields of an input file into the boxes. A file that ends early
  // fills the boxes it reaches, then its error goes on to the caller.
  void ReadIntoBoxes(const std::string& path);
  std::optional<int> FirstEmptyBox();
  void RememberRun(const report::RunOutcome& outcome);
  void KeepBoxes();

  Toolkit& toolkit_;
  Session& session_;
  Calculation run_;
};

}  // namespace velmora::ui
