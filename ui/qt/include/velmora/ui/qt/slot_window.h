// The slot drawing on screen: the stator and rotor slots to scale with
// their dimensions, zoomed with the wheel and moved by dragging, and the
// menu "导出PNG".
#pragma once

#include <QMainWindow>
#include <QPointF>
#include <QRectF>
#include <QWidget>
#include <vector>

#include "velmora/studies/slot_geometry.h"
#include "velmora/ui/toolkit.h"

namespace velmora::ui::qt {

// Where a dimension's label is drawn: its box, and the point of the
// dimension line it names, joined to the box by a leader line when the
// label had to move away from its line to stay clear of the others.
struct LabelPlace {
  QString text;
  QRectF box;
  QPointF anchor;
  bool moved = false;
};

// Paints the outlines of a SlotDrawing with the design's name, or the note
// saying why nothing is drawn.
class SlotView : public QWidget {
 public:
  explicit SlotView(QWidget* parent);

  void SetDrawing(const studies::SlotDrawing& drawing, const std::string& note,
                  const std::string& design);
  const studies::SlotDrawing& drawing() const { return drawing_; }
  const std::string& note() const { return note_; }
  const std::string& design() const { return design_; }
  // The labels of the dimensions as they are drawn now, and the other
  // texts of the picture that they keep clear of.
  std::vector<LabelPlace> Labels() const;
  std::vector<QRectF> FixedTexts() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  // Machine millimetres to widget pixels: fitted to the window, then zoomed and moved.
  QPointF ToScreen(const studies::Point& point) const;
  double FitScale() const;
  QRectF TitleBox() const;
  void PaintSlots(QPainter& painter) const;
  void PaintLabels(QPainter& painter) const;

  studies::SlotDrawing drawing_;
  std::string note_;    // why nothing is drawn
  std::string design_;  // the model the slots belong to
  double zoom_ = 1;
  QPointF pan_;
  QPointF drag_from_;
};

class SlotWindow : public QMainWindow {
 public:
  explicit SlotWindow(Toolkit& toolkit);

  void Show(const studies::SlotDrawing& drawing, const std::string& note,
            const std::string& design);
  SlotView* view() { return view_; }

 private:
  SlotView* view_ = nullptr;
};

}  // namespace velmora::ui::qt
