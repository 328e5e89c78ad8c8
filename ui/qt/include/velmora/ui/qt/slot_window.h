// The slot drawing on screen: the stator and rotor slots to scale, zoomed
// with the wheel and moved by dragging, and the menu "导出PNG".
#pragma once

#include <QMainWindow>
#include <QPointF>
#include <QWidget>

#include "velmora/calc/slot_geometry.h"
#include "velmora/ui/toolkit.h"

namespace velmora::ui::qt {

// Paints the outlines of a SlotDrawing, or its note.
class SlotView : public QWidget {
 public:
  explicit SlotView(QWidget* parent);

  void SetDrawing(const calc::SlotDrawing& drawing, const std::string& note);
  const calc::SlotDrawing& drawing() const { return drawing_; }
  const std::string& note() const { return note_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  // Machine millimetres to widget pixels: fitted to the window, then zoomed and moved.
  QPointF ToScreen(const calc::Point& point) const;
  double FitScale() const;

  calc::SlotDrawing drawing_;
  std::string note_;  // why nothing is drawn
  double zoom_ = 1;
  QPointF pan_;
  QPointF drag_from_;
};

class SlotWindow : public QMainWindow {
 public:
  explicit SlotWindow(Toolkit& toolkit);

  SlotView* view() { return view_; }

 private:
  SlotView* view_ = nullptr;
};

}  // namespace velmora::ui::qt
