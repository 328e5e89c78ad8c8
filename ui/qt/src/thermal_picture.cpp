// The motor drawn to scale from its design: the cross-section (frame with
// its fins, stator yoke, teeth and slots, air gap, rotor with its bars,
// shaft) above the upper half of the axial section (frame and end shields,
// end spaces, core, end windings, end rings, shaft and bearings). Each region
// takes the colour of its node's temperature.
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <numeric>

#include "velmora/design/design_input.h"
#include "velmora/report/thermal_output.h"
#include "velmora/ui/axis_scale.h"
#include "velmora/ui/qt/thermal_window.h"

namespace velmora::ui::qt {

namespace {

using studies::MotorSection;
using N = studies::ThermalNode;
using Colours = std::array<QColor, studies::kThermalNodes>;

constexpr double kPad = 10;  // pixels round the content
constexpr double kGap = 16;  // between the sections, the labels and the scale
constexpr double kBar = 16;  // width of the colour bar
constexpr double kSwatch = 10;
const QColor kLine(50, 50, 50);

QString Text(const std::string& utf8) { return QString::fromUtf8(utf8); }

// Cool blue through pale yellow to dark red, in equal steps.
constexpr std::array<QRgb, 9> kSteps = {0x313695, 0x4575b4, 0x74add1, 0xabd9e9, 0xfee090,
                                        0xfdae61, 0xf46d43, 0xd73027, 0xa50026};

QColor ScaleColour(double t) {
  const double x = std::clamp(t, 0.0, 1.0) * (kSteps.size() - 1);
  const std::size_t i = std::min(static_cast<std::size_t>(x), kSteps.size() - 2);
  const double f = x - static_cast<double>(i);
  const QColor a(kSteps[i]), b(kSteps[i + 1]);
  const auto mix = [f](double u, double v) { return u + (v - u) * f; };
  return QColor::fromRgbF(static_cast<float>(mix(a.redF(), b.redF())),
                          static_cast<float>(mix(a.greenF(), b.greenF())),
                          static_cast<float>(mix(a.blueF(), b.blueF())));
}

// From the cooling air to the hottest node, on round ticks.
AxisScale TemperatureScale(const ThermalView& view) {
  double hottest = view.ambient;
  for (int n = 0; n < studies::kThermalNodes; ++n)
    hottest = std::max(hottest, view.thermal.Temperature(N(n)));
  return NiceScale(view.ambient, hottest);
}

Colours NodeColours(const ThermalView& view, const AxisScale& scale) {
  Colours colours;
  for (int n = 0; n < studies::kThermalNodes; ++n)
    colours[n] =
        ScaleColour((view.thermal.Temperature(N(n)) - scale.min) / (scale.max - scale.min));
  return colours;
}

// ---- Where things go ------------------------------------------------------------

// The end shields as thick as the frame wall, or as the bearings they hold.
double Shield(const MotorSection& m) { return std::max(m.frame.FRAME_WALL, m.bearing_width); }
// Half the shaft's length as drawn: through both shields and a little beyond.
double ShaftEnd(const MotorSection& m) { return m.L / 2 + m.end_space + Shield(m) + 0.5 * m.DI2; }

QFont TitleFont(QFont font) {
  font.setBold(true);
  font.setPointSizeF(font.pointSizeF() * 1.25);
  return font;
}

// The lines under the title: the winding against its limit, and the trust verdict.
QStringList TitleLines(const ThermalView& view) {
  QStringList lines;
  lines << Text(view.limit.substr(0, view.limit.find('\n')));
  if (!view.trusted)
    lines << QString::fromUtf8("警告：这次电磁计算的结果不可信，温升不能作为设计依据");
  return lines;
}

struct Layout {
  double title_height = 0;
  double scale = 1;  // pixels per millimetre
  QPointF centre;    // of the cross-section
  QPointF axis;      // the core's middle on the shaft's axis, in the half section
  double top = 0, bottom = 0;
  double label_left = 0, label_width = 0;
  double bar_left = 0;
};

QString LabelText(const ThermalView& view, N node) {
  return Text(std::string(report::ThermalNodeCaption(node)) + " " +
              design::FixedText(view.thermal.Temperature(node), 1) + " °C");
}

double LabelWidth(const ThermalView& view, const QFontMetricsF& metrics) {
  double widest = 0;
  for (int n = 0; n < studies::kThermalNodes; ++n)
    widest = std::max(widest, metrics.horizontalAdvance(LabelText(view, N(n))));
  return widest + kSwatch + 10;
}

double BarWidth(const AxisScale& scale, const QFontMetricsF& metrics) {
  return kBar + 6 + metrics.horizontalAdvance(Text(design::FixedText(scale.max, scale.decimals)));
}

// The cross-section above the half section, the labels to their right and
// the colour bar beyond, all centred across the picture.
Layout LayoutOf(const QWidget& widget, const ThermalView& view) {
  const MotorSection& m = view.section;
  const QFontMetricsF metrics(widget.font()), title(TitleFont(widget.font()));
  Layout at;
  at.title_height =
      kPad + title.height() + static_cast<double>(TitleLines(view).size()) * metrics.height() + 8;
  at.label_width = LabelWidth(view, metrics);
  const double bar = BarWidth(TemperatureScale(view), metrics);
  const double R = m.frame.FRAME_OD / 2, wide = std::max(2 * R, 2 * ShaftEnd(m));
  const double free_width = widget.width() - 2 * kPad - 2 * kGap - at.label_width - bar;
  const double free_height = widget.height() - at.title_height - kPad - 2 * metrics.height() - kGap;
  at.scale = std::max(std::min(free_width / wide, free_height / (3 * R)), 0.05);
  const double drawing = wide * at.scale;
  const double left =
      std::max(kPad, (widget.width() - drawing - 2 * kGap - at.label_width - bar) / 2);
  at.top = at.title_height;
  at.centre = QPointF(left + drawing / 2, at.top + R * at.scale);
  at.axis = QPointF(at.centre.x(), at.top + 3 * R * at.scale + metrics.height() + kGap);
  at.bottom = at.axis.y();
  at.label_left = left + drawing + kGap;
  at.bar_left = at.label_left + at.label_width + kGap;
  return at;
}

// A point of the cross-section at radius r (mm) and `degrees` anticlockwise
// from the right.
QPointF Polar(const Layout& at, double r, double degrees) {
  const double a = degrees * std::numbers::pi / 180;
  return at.centre + at.scale * QPointF(r * std::cos(a), -r * std::sin(a));
}

// A point of the half section at z along the axis from the core's middle
// and r from the axis (mm).
QPointF Axial(const Layout& at, double z, double r) { return at.axis + at.scale * QPointF(z, -r); }

// The angle among `count` equal steps from `first` nearest `wanted`.
double Nearest(double first, double count, double wanted) {
  const double step = 360 / count;
  return first + step * std::round((wanted - first) / step);
}

// Where each node's label points: the cross-section's right-hand side for
// the core, the frame and the rotor; the fan-side end of the half section
// for the end winding, the end-space air and the bearing.
std::array<QPointF, studies::kThermalNodes> Anchors(const Layout& at, const MotorSection& m) {
  const double r_fin = m.D1 / 2 + m.frame.FRAME_WALL, r_tip = m.frame.FRAME_OD / 2;
  const double r_top = m.DI1 / 2 + m.conductor_top, r_root = m.DI1 / 2 + m.slot_depth;
  const double slot = Nearest(90, m.Q1, 22);
  std::array<QPointF, studies::kThermalNodes> a;
  a[int(N::Frame)] = Polar(at, (r_fin + r_tip) / 2, Nearest(0, m.frame.FIN_COUNT, 55));
  a[int(N::Yoke)] = Polar(at, (r_root + m.D1 / 2) / 2, 38);
  a[int(N::SlotWinding)] = Polar(at, (r_top + r_root) / 2, slot);
  a[int(N::Teeth)] = Polar(at, (m.DI1 / 2 + r_root) / 2, slot - 180 / m.Q1);
  a[int(N::Rotor)] = Polar(at, (m.DI2 / 2 + m.D2 / 2 - m.HRT) / 2, -20);
  a[int(N::EndWinding)] = Axial(at, m.L / 2 + m.overhang / 2, (r_top + r_root) / 2);
  a[int(N::InternalAir)] = Axial(at, m.L / 2 + m.end_space * 0.6, (m.DI2 / 2 + m.D2 / 2) / 2);
  a[int(N::Shaft)] = Axial(at, m.L / 2 + m.end_space + Shield(m) / 2, (m.DI2 + m.bearing_od) / 4);
  return a;
}

// ---- Painting ---------------------------------------------------------------------

void Outline(QPainter& p, const QColor& fill) {
  p.setPen(QPen(kLine, 0));
  p.setBrush(fill);
}

void Disc(QPainter& p, double diameter, const QColor& fill) {
  Outline(p, fill);
  p.drawEllipse(QPointF(0, 0), diameter / 2, diameter / 2);
}

// `count` copies of `shape` round the centre, the first at `first` degrees
// anticlockwise from the right; `shape` lies along the x axis.
void RoundTheCentre(QPainter& p, double count, double first, const QPolygonF& shape) {
  for (int k = 0; k < static_cast<int>(count); ++k) {
    p.save();
    p.rotate(-(first + 360.0 * k / count));
    p.drawPolygon(shape);
    p.restore();
  }
}

QPolygonF Trapezoid(double r_in, double r_out, double w_in, double w_out) {
  return QPolygonF({QPointF(r_in, -w_in / 2), QPointF(r_out, -w_out / 2), QPointF(r_out, w_out / 2),
                    QPointF(r_in, w_in / 2)});
}

void PaintCrossSection(QPainter& p, const Layout& at, const MotorSection& m, const Colours& c) {
  const studies::FrameSize& f = m.frame;
  const double r_fin = m.D1 / 2 + f.FRAME_WALL, r_root = m.DI1 / 2 + m.slot_depth;
  p.save();
  p.translate(at.centre);
  p.scale(at.scale, at.scale);
  Outline(p, c[int(N::Frame)]);
  RoundTheCentre(p, f.FIN_COUNT, 0,
                 Trapezoid(r_fin - 1, f.FRAME_OD / 2, f.FIN_THICKNESS, f.FIN_THICKNESS));
  Disc(p, 2 * r_fin, c[int(N::Frame)]);
  Disc(p, m.D1, c[int(N::Yoke)]);
  Disc(p, 2 * r_root, c[int(N::Teeth)]);
  Outline(p, c[int(N::SlotWinding)]);
  RoundTheCentre(p, m.Q1, 90, Trapezoid(m.DI1 / 2 + m.conductor_top, r_root, m.BS1, m.BS2));
  Disc(p, m.DI1, Qt::white);
  Disc(p, m.D2, c[int(N::Rotor)]);
  const double bar = m.SB / std::max(m.HRT, 1e-9);
  Outline(p, c[int(N::Rotor)].darker(125));
  RoundTheCentre(p, m.Q2, 90, Trapezoid(m.D2 / 2 - m.HRT, m.D2 / 2, bar, bar));
  Disc(p, m.DI2, c[int(N::Shaft)]);
  // The air gap, widened to two pixels where the scale makes it thinner.
  p.setPen(QPen(Qt::white, std::max((m.DI1 - m.D2) / 2 * at.scale, 2.0) / at.scale));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(0, 0), (m.DI1 + m.D2) / 4, (m.DI1 + m.D2) / 4);
  p.restore();
}

// A rectangle of the half section from z1 to z2 along the axis and r1 to r2
// from it, with its mirror image at the other end when `both_ends`.
void Band(QPainter& p, double z1, double z2, double r1, double r2, const QColor& fill,
          bool both_ends = false) {
  Outline(p, fill);
  p.drawRect(QRectF(QPointF(z1, -r2), QPointF(z2, -r1)));
  if (both_ends) p.drawRect(QRectF(QPointF(-z2, -r2), QPointF(-z1, -r1)));
}

void PaintHalfSection(QPainter& p, const Layout& at, const MotorSection& m, const Colours& c) {
  const double half = m.L / 2, ends = half + m.end_space, shield = Shield(m);
  const double r_fin = m.D1 / 2 + m.frame.FRAME_WALL;
  const double r_top = m.DI1 / 2 + m.conductor_top, r_root = m.DI1 / 2 + m.slot_depth;
  p.save();
  p.translate(at.axis);
  p.scale(at.scale, at.scale);
  Band(p, -ends, ends, m.D1 / 2, r_fin, c[int(N::Frame)]);
  Outline(p, c[int(N::Frame)]);
  p.setBrush(QBrush(c[int(N::Frame)].darker(110), Qt::HorPattern));  // the fins, along the frame
  p.drawRect(QRectF(QPointF(-ends, -m.frame.FRAME_OD / 2), QPointF(ends, -r_fin)));
  Band(p, ends, ends + shield, m.bearing_od / 2, r_fin, c[int(N::Frame)], true);
  Band(p, half, ends, m.DI2 / 2, m.D1 / 2, c[int(N::InternalAir)], true);
  Band(p, -half, half, r_root, m.D1 / 2, c[int(N::Yoke)]);
  Band(p, -half, half, m.DI1 / 2, r_root, c[int(N::Teeth)]);
  Band(p, -half, half, r_top, r_root, c[int(N::SlotWinding)]);
  Band(p, half, half + m.overhang, r_top, r_root, c[int(N::EndWinding)], true);
  Band(p, -half, half, m.DI2 / 2, m.D2 / 2, c[int(N::Rotor)]);
  Band(p, half, half + m.ring_side, (m.Dr - m.ring_side) / 2, (m.Dr + m.ring_side) / 2,
       c[int(N::Rotor)], true);
  Band(p, -ShaftEnd(m), ShaftEnd(m), 0, m.DI2 / 2, c[int(N::Shaft)]);
  const double bearing = ends + shield / 2;
  Band(p, bearing - m.bearing_width / 2, bearing + m.bearing_width / 2, m.DI2 / 2, m.bearing_od / 2,
       c[int(N::Shaft)], true);
  p.setPen(QPen(kLine, 0, Qt::DashDotLine));
  p.drawLine(QPointF(-ShaftEnd(m) - 4, 0), QPointF(ShaftEnd(m) + 4, 0));
  p.restore();
}

void PaintTitle(QPainter& p, const QWidget& widget, const ThermalView& view) {
  const QFont title = TitleFont(widget.font());
  const QFontMetricsF big(title), metrics(widget.font());
  p.setFont(title);
  p.setPen(Qt::black);
  const QString head =
      Text(view.design + " 温升 — " + std::string(studies::InsulationClassName(view.insulation)) +
           "级绝缘，环境" + design::FixedText(view.ambient, 1) + " °C");
  p.drawText(QPointF(kPad, kPad + big.ascent()), head);
  p.setFont(widget.font());
  double y = kPad + big.height() + metrics.ascent() + 2;
  const QStringList lines = TitleLines(view);
  for (int i = 0; i < lines.size(); ++i, y += metrics.height()) {
    p.setPen(i == 0 && !view.over_limit ? Qt::black : Qt::red);
    p.drawText(QPointF(kPad, y), lines[i]);
  }
}

void PaintCaptions(QPainter& p, const Layout& at, const MotorSection& m) {
  const QFontMetricsF metrics(p.font());
  const double R = m.frame.FRAME_OD / 2 * at.scale;
  p.setPen(Qt::darkGray);
  const auto caption = [&](const char* text, double y) {
    const QString words = QString::fromUtf8(text);
    p.drawText(QPointF(at.centre.x() - metrics.horizontalAdvance(words) / 2, y), words);
  };
  caption("横截面", at.centre.y() + R + metrics.ascent() + 2);
  caption("过槽中心的轴向半剖面（比例同上）", at.axis.y() + metrics.ascent() + 4);
}

// The colour bar from the scale's lowest temperature at the bottom to its
// highest at the top, with its ticks in °C.
void PaintScale(QPainter& p, const Layout& at, const AxisScale& scale) {
  const QFontMetricsF metrics(p.font());
  const double top = at.top + metrics.height() + 4, bottom = at.bottom;
  QLinearGradient gradient(0, bottom, 0, top);
  for (std::size_t i = 0; i < kSteps.size(); ++i)
    gradient.setColorAt(static_cast<double>(i) / (kSteps.size() - 1), QColor(kSteps[i]));
  p.setPen(QPen(kLine, 1));
  p.setBrush(gradient);
  p.drawRect(QRectF(at.bar_left, top, kBar, bottom - top));
  p.setPen(Qt::black);
  p.drawText(QPointF(at.bar_left, top - 4 - metrics.descent()), QString::fromUtf8("°C"));
  for (double v = scale.min; v <= scale.max + scale.step / 2; v += scale.step) {
    const double y = bottom - (v - scale.min) / (scale.max - scale.min) * (bottom - top);
    p.drawLine(QPointF(at.bar_left + kBar, y), QPointF(at.bar_left + kBar + 4, y));
    p.drawText(QPointF(at.bar_left + kBar + 6, y + metrics.ascent() / 2 - 1),
               Text(design::FixedText(v, scale.decimals)));
  }
}

// Each label on white, after a swatch of its colour, joined to its region by a
// leader line that ends in a dot.
void PaintLabels(QPainter& p, const std::vector<ThermalPicture::Label>& labels,
                 const Colours& colours) {
  for (std::size_t n = 0; n < labels.size(); ++n) {
    const ThermalPicture::Label& label = labels[n];
    const QPointF end(label.box.left(), label.box.center().y());
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(label.anchor, end);
    p.setBrush(Qt::white);
    p.drawEllipse(label.anchor, 2.5, 2.5);
    p.fillRect(label.box, Qt::white);
    const QRectF swatch(label.box.left() + 3, label.box.center().y() - kSwatch / 2, kSwatch,
                        kSwatch);
    p.setBrush(colours[n]);
    p.drawRect(swatch);
    p.drawText(label.box.adjusted(kSwatch + 7, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
               label.text);
  }
}

// Label tops in the order of their anchors, each at its anchor's height
// unless the one above pushes it down or the bottom pushes it up.
std::vector<double> LabelTops(const std::vector<double>& wanted, double height, double bottom) {
  std::vector<double> tops(wanted.size());
  double next = -1e300;
  for (std::size_t i = 0; i < wanted.size(); ++i)
    next = tops[i] = std::max(wanted[i], next + height);
  next = bottom;
  for (std::size_t i = wanted.size(); i-- > 0;) next = tops[i] = std::min(tops[i], next - height);
  return tops;
}

}  // namespace

ThermalPicture::ThermalPicture(QWidget* parent) : QWidget(parent) {
  setObjectName("Picture");
  setMinimumSize(460, 420);
  setAutoFillBackground(true);
  setPalette(QPalette(Qt::white));
}

void ThermalPicture::SetView(const ThermalView& view) {
  view_ = view;
  update();
}

std::vector<ThermalPicture::Label> ThermalPicture::Labels() const {
  std::vector<Label> labels;
  if (!view_.drawn) return labels;
  const Layout at = LayoutOf(*this, view_);
  const QFontMetricsF metrics(font());
  const auto anchors = Anchors(at, view_.section);
  std::array<int, studies::kThermalNodes> order;
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return anchors[a].y() < anchors[b].y(); });
  const double height = metrics.height() + 4;
  std::vector<double> wanted;
  for (int n : order) wanted.push_back(anchors[n].y() - height / 2);
  const std::vector<double> tops = LabelTops(wanted, height + 2, at.bottom + height);
  labels.resize(order.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    const int n = order[i];
    labels[n] = {LabelText(view_, N(n)), QRectF(at.label_left, tops[i], at.label_width, height),
                 anchors[n]};
  }
  return labels;
}

void ThermalPicture::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  p.fillRect(rect(), Qt::white);
  if (!view_.drawn) {
    p.drawText(rect().adjusted(20, 20, -20, -20), Qt::AlignCenter | Qt::TextWordWrap,
               Text(view_.status));
    return;
  }
  const Layout at = LayoutOf(*this, view_);
  const AxisScale scale = TemperatureScale(view_);
  const Colours colours = NodeColours(view_, scale);
  PaintTitle(p, *this, view_);
  PaintCrossSection(p, at, view_.section, colours);
  PaintHalfSection(p, at, view_.section, colours);
  PaintCaptions(p, at, view_.section);
  PaintLabels(p, Labels(), colours);
  PaintScale(p, at, scale);
}

}  // namespace velmora::ui::qt
