#include "chart_axis.h"

#include <algorithm>
#include <cmath>

namespace velmora::ui::qt {

QValueAxis* AddValueAxis(QChart* chart, double low, double high, const QString& title,
                         Qt::Alignment where) {
  return AddValueAxis(chart, NiceScale(low, high), title, where);
}

QValueAxis* AddValueAxis(QChart* chart, const AxisScale& scale, const QString& title,
                         Qt::Alignment where) {
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
