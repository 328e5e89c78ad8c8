#include "velmora/ui/qt/slot_window.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStatusBar>
#include <QWheelEvent>
#include <algorithm>
#include <array>
#include <cmath>

#include "tool_window.h"

namespace velmora::ui::qt {

namespace {

constexpr int kMargin = 40;  // pixels kept free round the fitted drawing
constexpr double kTextPad = 8;
constexpr int kRings = 6;  // how far a label may move, in steps, each way
const QColor kDimensionColour(0, 120, 0);

struct Bounds {
  double left = 1e300, right = -1e300, bottom = 1e300, top = -1e300;

  void Add(const studies::Point& p) {
    left = std::min(left, p.x);
    right = std::max(right, p.x);
    bottom = std::min(bottom, p.y);
    top = std::max(top, p.y);
  }
  bool Empty() const { return left > right; }
};

Bounds DrawingBounds(const studies::SlotDrawing& drawing) {
  Bounds bounds;
  for (const studies::SlotOutline* slot : {&drawing.stator, &drawing.rotor}) {
    for (const studies::Point& p : slot->iron_edge) bounds.Add(p);
  }
  return bounds;
}

// The iron beside the gap: the edge closed by an arc two millimetres further
// into the iron than its deepest point.
studies::Polygon IronArea(const studies::SlotOutline& slot, double into_iron) {
  double far = slot.radius;
  for (const studies::Point& p : slot.iron_edge) {
    const double r = std::hypot(p.x, p.y);
    far = into_iron > 0 ? std::max(far, r) : std::min(far, r);
  }
  far += into_iron * 2;
  const studies::Point last = slot.iron_edge.back(), first = slot.iron_edge.front();
  const double from = std::atan2(last.y, last.x), to = std::atan2(first.y, first.x);
  studies::Polygon area = slot.iron_edge;
  constexpr int kSteps = 64;
  for (int i = 0; i <= kSteps; ++i) {
    const double angle = from + (to - from) * i / kSteps;
    area.push_back({far * std::cos(angle), far * std::sin(angle)});
  }
  return area;
}

// The stator above the gap, the rotor below it.
struct Part {
  const studies::SlotOutline& slot;
  double into_iron;  // +1: the stator, drawn upwards; −1: the rotor
  QColor fill, line;
  const char* name;
};

std::array<Part, 2> Parts(const studies::SlotDrawing& drawing) {
  return {{{drawing.stator, 1, QColor(215, 222, 235), QColor(20, 40, 120), "定子"},
           {drawing.rotor, -1, QColor(235, 222, 215), QColor(120, 40, 20), "转子"}}};
}

// The box of `text` written from `baseline`.
QRectF TextBox(const QFontMetricsF& metrics, const QString& text, QPointF baseline) {
  return {baseline.x(), baseline.y() - metrics.ascent(), metrics.horizontalAdvance(text),
          metrics.height()};
}

QFont TitleFont(QFont font) {
  font.setBold(true);
  font.setPointSizeF(font.pointSizeF() * 1.3);
  return font;
}

bool Clear(const QRectF& box, const std::vector<QRectF>& taken, const QRectF& inside) {
  if (!inside.contains(box)) return false;
  const QRectF padded = box.adjusted(-1, -1, 1, 1);
  return std::none_of(taken.begin(), taken.end(),
                      [&](const QRectF& other) { return padded.intersects(other); });
}

// Moves tried round a label's own place, nearest first, in steps of its
// height: a width's label moves into its own iron before sideways, a depth's
// label sideways before along its line; away from the slot before over it.
std::vector<QPointF> Moves(double step, double into_iron, bool depth) {
  const double sideways = depth ? 0.6 : 1, along = depth ? 1.5 : 1;
  std::vector<std::pair<double, QPointF>> moves;
  for (int i = -kRings; i <= kRings; ++i) {
    for (int j = -kRings; j <= kRings; ++j) {
      const double cost =
          along * std::abs(i) + sideways * std::abs(j) + (i < 0 ? 0.5 : 0) + (j < 0 ? 0.7 : 0);
      moves.push_back({cost, QPointF(j * step, -i * step * into_iron)});
    }
  }
  std::stable_sort(moves.begin(), moves.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<QPointF> sorted;
  for (const auto& move : moves) sorted.push_back(move.second);
  return sorted;
}

// The nearest place round `wanted` where the label is clear of `taken`;
// its own place when there is none.
LabelPlace Place(LabelPlace wanted, double into_iron, bool depth, std::vector<QRectF>& taken,
                 const QRectF& inside) {
  for (const QPointF& move : Moves(wanted.box.height() + 2, into_iron, depth)) {
    const QRectF box = wanted.box.translated(move);
    if (!Clear(box, taken, inside)) continue;
    wanted.moved = !move.isNull();
    wanted.box = box;
    break;
  }
  taken.push_back(wanted.box);
  return wanted;
}

// Where the leader line of a moved label meets its box.
QPointF NearestOnBox(const QRectF& box, QPointF point) {
  return {std::clamp(point.x(), box.left(), box.right()),
          std::clamp(point.y(), box.top(), box.bottom())};
}

}  // namespace

SlotView::SlotView(QWidget* parent) : QWidget(parent) {
  setObjectName("Picture");
  setMinimumSize(480, 360);
  setAutoFillBackground(true);
  setPalette(QPalette(Qt::white));
}

void SlotView::SetDrawing(const studies::SlotDrawing& drawing, const std::string& note,
                          const std::string& design) {
  drawing_ = drawing;
  note_ = note;
  design_ = design;
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

QPointF SlotView::ToScreen(const studies::Point& point) const {
  const Bounds b = DrawingBounds(drawing_);
  const double scale = FitScale() * zoom_;
  const QPointF centre(width() / 2.0, height() / 2.0);
  return centre + pan_ +
         QPointF((point.x - (b.left + b.right) / 2) * scale,
                 -(point.y - (b.bottom + b.top) / 2) * scale);
}

QRectF SlotView::TitleBox() const {
  const QFontMetricsF metrics(TitleFont(font()));
  return TextBox(metrics, QString::fromStdString(design_),
                 QPointF(kTextPad, kTextPad + metrics.ascent()));
}

// The model's name, the unit line and the part names.
std::vector<QRectF> SlotView::FixedTexts() const {
  const QFontMetricsF metrics(font());
  std::vector<QRectF> texts = {TitleBox(),
                               TextBox(metrics, QString::fromUtf8("尺寸单位mm"),
                                       QPointF(kTextPad, height() - kTextPad - metrics.descent()))};
  if (!drawing_.Drawn()) return texts;
  for (const Part& part : Parts(drawing_)) {
    const QPointF at =
        ToScreen(part.slot.iron_edge.front()) + QPointF(0, part.into_iron > 0 ? -8 : 18);
    texts.push_back(TextBox(metrics, QString::fromUtf8(part.name), at));
  }
  return texts;
}

// Widths are labelled at their right end, on the iron side of the line,
// depths beside their middle; a label that would cover another moves away.
std::vector<LabelPlace> SlotView::Labels() const {
  std::vector<LabelPlace> labels;
  if (!drawing_.Drawn()) return labels;
  const QFontMetricsF metrics(font());
  std::vector<QRectF> taken = FixedTexts();
  const QRectF inside = QRectF(rect()).adjusted(2, 2, -2, -2);
  for (const Part& part : Parts(drawing_)) {
    for (const studies::Dimension& dimension : part.slot.dimensions) {
      const QPointF a = ToScreen(dimension.from), b = ToScreen(dimension.to);
      LabelPlace label;
      label.text = QString::fromUtf8(dimension.label);
      const QSizeF size(metrics.horizontalAdvance(label.text) + 4, metrics.height());
      const bool across = std::fabs(a.y() - b.y()) < 0.5;
      label.anchor = across ? b : (a + b) / 2;
      const double top = across ? (part.into_iron > 0 ? b.y() - 1 - size.height() : b.y() + 1)
                                : label.anchor.y() - size.height() / 2;
      label.box = QRectF(QPointF(label.anchor.x() + 3, top), size);
      labels.push_back(Place(label, part.into_iron, !across, taken, inside));
    }
  }
  return labels;
}

void SlotView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(rect(), Qt::white);
  painter.setFont(TitleFont(font()));
  painter.drawText(TitleBox(), QString::fromStdString(design_));
  painter.setFont(font());
  if (!drawing_.Drawn() || DrawingBounds(drawing_).Empty()) {
    painter.drawText(rect().adjusted(20, 20, -20, -20), Qt::AlignCenter | Qt::TextWordWrap,
                     QString::fromUtf8(note_));
    return;
  }
  PaintSlots(painter);
  PaintLabels(painter);
  painter.setPen(Qt::darkGray);
  painter.drawText(FixedTexts()[1], QString::fromUtf8("尺寸单位mm"));
}

void SlotView::PaintSlots(QPainter& painter) const {
  const auto polygon = [this](const std::vector<studies::Point>& points) {
    QPolygonF screen;
    for (const studies::Point& p : points) screen << ToScreen(p);
    return screen;
  };
  const std::vector<QRectF> texts = FixedTexts();
  const std::array<Part, 2> parts = Parts(drawing_);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const Part& part = parts[i];
    painter.setPen(Qt::NoPen);
    painter.setBrush(part.fill);
    painter.drawPolygon(polygon(IronArea(part.slot, part.into_iron)));
    painter.setPen(QPen(part.line, 1.5));
    painter.drawPolyline(polygon(part.slot.iron_edge));
    painter.drawText(texts[2 + i], QString::fromUtf8(part.name));
  }
  painter.setPen(QPen(kDimensionColour, 1));
  for (const Part& part : Parts(drawing_)) {
    for (const studies::Dimension& dimension : part.slot.dimensions) {
      const QPointF a = ToScreen(dimension.from), b = ToScreen(dimension.to);
      painter.drawLine(a, b);
      painter.drawEllipse(a, 1.5, 1.5);
      painter.drawEllipse(b, 1.5, 1.5);
    }
  }
}

// Each label on a light ground, so a line under it does not cross its text.
void SlotView::PaintLabels(QPainter& painter) const {
  painter.setBrush(Qt::NoBrush);
  for (const LabelPlace& label : Labels()) {
    if (label.moved) {
      painter.setPen(QPen(kDimensionColour, 0.7));
      painter.drawLine(label.anchor, NearestOnBox(label.box, label.anchor));
    }
    painter.fillRect(label.box, QColor(255, 255, 255, 210));
    painter.setPen(kDimensionColour);
    painter.drawText(label.box, Qt::AlignCenter, label.text);
  }
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

// The mouse hint lives in the status bar, outside the picture that is exported.
SlotWindow::SlotWindow(Toolkit& toolkit) {
  view_ = new SlotView(this);
  SetUpToolWindow(this, Window::SLOTS, view_, QSize(800, 600));
  AddExportPicture(this, toolkit, Window::SLOTS, [this] { return view_->design(); });
  statusBar()->addWidget(new QLabel(QString::fromUtf8("滚轮缩放，拖动平移，双击复原"), this));
}

void SlotWindow::Show(const studies::SlotDrawing& drawing, const std::string& note,
                      const std::string& design) {
  view_->SetDrawing(drawing, note, design);
  setWindowTitle(ToolWindowTitle(Window::SLOTS, design));
}

}  // namespace velmora::ui::qt
