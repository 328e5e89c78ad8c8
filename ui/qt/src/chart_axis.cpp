#include "chart_axis.h"

#include <algorithm>
#include <cmath>

#include "velmora/ui/axis_scale.h"

namespace velmora::ui::qt {

QValueAxis* AddValueAxis(QChart* chart, double low, double high, const QString& title,
                         Qt::Alignment where) {
  const AxisScale scale = NiceScale(low, high);
  auto* axis = new QValueAxis(chart);
  axis->setRange(scale.min, scale.max);
  axis->setTickCount(static_cast<int>(std::lround((scale.max - scale.min) / scale.step)) + 1);
  // Labels of a single digit would leave a vertical title too narrow a
  // place and Qt would cut it short.
  const bool vertical = where != Qt::AlignBottom && where != Qt::AlignTop;
  axis->setLabelFormat(
      QString("%.%1f").arg(vertical ? std::max(scale.decimals, 1) : scale.decimals));
  axis->setTitleText(title);
  chart->addAxis(axis, where);
  return axis;
}

}  // namespace velmora::ui::qt
