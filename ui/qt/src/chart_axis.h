// The value axes of the charts: ticks at round values and a title with its unit.
#pragma once

#include <QChart>
#include <QString>
#include <QValueAxis>

#include "velmora/ui/axis_scale.h"

namespace velmora::ui::qt {

// An axis over `low` to `high` with ticks at round values, added to `chart`
// at `where`.
QValueAxis* AddValueAxis(QChart* chart, double low, double high, const QString& title,
                         Qt::Alignment where);
// The same on a scale already chosen.
QValueAxis* AddValueAxis(QChart* chart, const AxisScale& scale, const QString& title,
                         Qt::Alignment where);

}  // namespace velmora::ui::qt
