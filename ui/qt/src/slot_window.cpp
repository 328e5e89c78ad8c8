#include "velmora/ui/qt/slot_window.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "tool_window.h"

namespace velmora::ui::qt {

namespace {

constexpr int kMargin = 40;  // pixels kept free round the fitted drawing

struct Bounds {
  double left = 1e300, right = -1e300, bottom = 1e300, top = -1e300;

  void Add(const calc::Point& p) {
    left = std::min(left, p.x);
    right = std::max(right, p.x);
    bottom = std::min(bottom, p.y);
    top = std::max(top, p.y);
  }
  bool Empty() const { return left > right; }
};

Bounds DrawingBounds(const calc::SlotDrawing& drawing) {
  Bounds bounds;
  for (const calc::SlotOutline* slot : {&drawing.stator, &drawing.rotor}) {
    for (const calc::Point& p : slot->iron_edge) bounds.Add(p);
  }
  return bounds;
}

// The iron beside the gap: the edge closed by an arc two millimetres further
// into the iron than its deepest point.
calc::Polygon IronArea(const calc::SlotOutline& slot, double into_iron) {
  double far = slot.radius;
  for (const calc::Point& p : slot.iron_edge) {
    const double r = std::hypot(p.x, p.y);
    far = into_iron > 0 ? std::max(far, r) : std::min(far, r);
  }
  far += into_iron * 2;
  const calc::Point last = slot.iron_edge.back(), first = slot.iron_edge.front();
  const double from = std::atan2(last.y, last.x), to = std::atan2(first.y, first.x);
  calc::Polygon area = slot.iron_edge;
  constexpr int kSteps = 64;
  for (int i = 0; i <= kSteps; ++i) {
    const double angle = from + (to - from) * i / kSteps;
    area.push_back({far * std::cos(angle), far * std::sin(angle)});
  }
  return area;
}

}  // namespace

SlotView::SlotView(QWidget* parent) : QWidget(parent) {
  setObjectName("Picture");
  setMinimumSize(480, 360);
  setAutoFillBackground(true);
  setPalette(QPalette(Qt::white));
}

void SlotView::SetDrawing(const calc::SlotDrawing& drawing, const std::string& note) {
  drawing_ = drawing;
  note_ = note;
  zoom_ = 1;
  pan_ = {};
  update();
}

double SlotView::FitScale() const {
  const Bounds b = DrawingBounds(drawing_);
  const double sx = (width() - 2 * kMargin) / std::max(b.right - b.left, 1e-9);
  const double sy = (height() - 2 * kMargin) / std::max(b.top - b.bottom, 1e-9);
  return std::max(std::min(sx, sy), 1e-6);
}

QPointF SlotView::ToScreen(const calc::Point& point) const {
  const Bounds b = DrawingBounds(drawing_);
  const double scale = FitScale() * zoom_;
  const QPointF centre(width() / 2.0, height() / 2.0);
  return centre + pan_ +
         QPointF((point.x - (b.left + b.right) / 2) * scale,
                 -(point.y - (b.bottom + b.top) / 2) * scale);
}

void SlotView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(rect(), Qt::white);
  if (!drawing_.Drawn() || DrawingBounds(drawing_).Empty()) {
    painter.drawText(rect().adjusted(20, 20, -20, -20), Qt::AlignCenter | Qt::TextWordWrap,
                     QString::fromUtf8(note_));
    return;
  }
  const auto polygon = [this](const std::vector<calc::Point>& points) {
    QPolygonF screen;
    for (const calc::Point& p : points) screen << ToScreen(p);
    return screen;
  };
  const struct {
    const calc::SlotOutline& slot;
    double into_iron;
    QColor fill, line;
    const char* name;
  } kParts[] = {{drawing_.stator, 1, QColor(215, 222, 235), QColor(20, 40, 120), "定子"},
                {drawing_.rotor, -1, QColor(235, 222, 215), QColor(120, 40, 20), "转子"}};
  for (const auto& part : kParts) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(part.fill);
    painter.drawPolygon(polygon(IronArea(part.slot, part.into_iron)));
    painter.setPen(QPen(part.line, 1.5));
    painter.drawPolyline(polygon(part.slot.iron_edge));
    painter.drawText(
        ToScreen(part.slot.iron_edge.front()) + QPointF(0, part.into_iron > 0 ? -8 : 18),
        QString::fromUtf8(part.name));
  }
  painter.setPen(QPen(QColor(0, 120, 0), 1));
  // Widths are labelled at their right end, on the iron side of the line;
  // depths beside their middle.
  for (const auto& part : kParts) {
    for (const calc::Dimension& dimension : part.slot.dimensions) {
      const QPointF a = ToScreen(dimension.from), b = ToScreen(dimension.to);
      painter.drawLine(a, b);
      painter.drawEllipse(a, 1.5, 1.5);
      painter.drawEllipse(b, 1.5, 1.5);
      const bool across = std::fabs(a.y() - b.y()) < 0.5;
      const QPointF at =
          across ? b + QPointF(4, part.into_iron > 0 ? -3 : 12) : (a + b) / 2 + QPointF(4, 4);
      painter.drawText(at, QString::fromUtf8(dimension.label));
    }
  }
  painter.setPen(Qt::darkGray);
  painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignLeft | Qt::AlignBottom,
                   QString::fromUtf8("尺寸单位mm；滚轮缩放，拖动平移，双击复原"));
}

void SlotView::wheelEvent(QWheelEvent* event) {
  // Zoom about the point under the mouse.
  const double factor = std::pow(1.0015, event->angleDelta().y());
  const double zoom = std::clamp(zoom_ * factor, 0.1, 200.0);
  const QPointF centre(width() / 2.0, height() / 2.0);
  const QPointF mouse = event->position();
  pan_ = mouse - centre - (mouse - centre - pan_) * (zoom / zoom_);
  zoom_ = zoom;
  update();
}

void SlotView::mousePressEvent(QMouseEvent* event) { drag_from_ = event->position(); }

void SlotView::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  pan_ += event->position() - drag_from_;
  drag_from_ = event->position();
  update();
}

void SlotView::mouseDoubleClickEvent(QMouseEvent*) {
  zoom_ = 1;
  pan_ = {};
  update();
}

SlotWindow::SlotWindow(Toolkit& toolkit) {
  view_ = new SlotView(this);
  SetUpToolWindow(this, "槽形图", view_, QSize(800, 600));
  AddExportPicture(this, toolkit, Window::SLOTS);
}

}  // namespace velmora::ui::qt
