// The temperature rise on screen: the motor's cross-section and half axial
// section to scale, each node's region coloured by its temperature and
// labelled; the insulation class and the cooling air; the winding's rise
// against the class limit; the tables of nodes and heat flows; the hot
// performance and the locked-rotor times; and the exports.
#pragma once

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMainWindow>
#include <QRectF>
#include <QTableWidget>
#include <QWidget>
#include <vector>

#include "velmora/ui/session.h"
#include "velmora/ui/thermal_view.h"
#include "velmora/ui/toolkit.h"

namespace velmora::ui::qt {

// Paints a ThermalView: its title and limit line, the two sections with a
// label per node, and the colour scale; or the status alone when there is
// no network to show.
class ThermalPicture : public QWidget {
 public:
  explicit ThermalPicture(QWidget* parent);

  void SetView(const ThermalView& view);
  // The node labels as they are drawn now, and the places they point at.
  struct Label {
    QString text;
    QRectF box;
    QPointF anchor;
  };
  std::vector<Label> Labels() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ThermalView view_;
};

class ThermalWindow : public QMainWindow {
 public:
  ThermalWindow(Toolkit& toolkit, Session& session);

  void Show(const ThermalView& view);

  QLabel* status() { return status_; }
  ThermalPicture* picture() { return picture_; }
  QComboBox* insulation() { return insulation_; }
  QDoubleSpinBox* ambient() { return ambient_; }
  QLabel* limit() { return limit_; }
  QTableWidget* nodes() { return nodes_; }
  QTableWidget* paths() { return paths_; }
  QTableWidget* hot() { return hot_; }
  QLabel* locked_rotor() { return locked_rotor_; }

 private:
  QWidget* AddSidePanel(Toolkit& toolkit, Session& session);
  QWidget* AddChoices(QWidget* parent, Toolkit& toolkit, Session& session);

  QLabel* status_ = nullptr;
  ThermalPicture* picture_ = nullptr;
  QComboBox* insulation_ = nullptr;
  QDoubleSpinBox* ambient_ = nullptr;
  QLabel* limit_ = nullptr;
  QTableWidget* nodes_ = nullptr;
  QTableWidget* paths_ = nullptr;
  QTableWidget* hot_ = nullptr;
  QLabel* hot_note_ = nullptr;
  QLabel* locked_rotor_ = nullptr;
  ThermalView view_;
};

}  // namespace velmora::ui::qt
