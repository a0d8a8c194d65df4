#pragma once
// The bench's standard-point panel: the two log check boxes, the OK and
// Delete buttons, and the grid of standard points (cells #, w, h, x, y, X,
// Y; X and Y editable). A typed value is kept only when the bench takes it;
// otherwise the cell shows the stored text again.

#include <QWidget>

#include "bench/uBench.h"

class QCheckBox;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace tracemill {

class TStandardPanelWidget : public QWidget {
  Q_OBJECT

 public:
  explicit TStandardPanelWidget(TBench& bench, QWidget* parent = nullptr);

  // Re-reads check boxes and rows from the bench.
  void Refresh();

  QCheckBox* LogXBox() const { return logX_; }
  QCheckBox* LogYBox() const { return logY_; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* DeleteButton() const { return delete_; }
  QTableWidget* Grid() const { return grid_; }

  static constexpr int kColumnCount = 7;
  static constexpr int kRowHeight = 18;
  static constexpr int kVisibleRows = 4;

 signals:
  // The user changed something of the bench (menu states may follow).
  void Acted();

 private:
  void CellChanged(QTableWidgetItem* item);

  TBench& bench_;
  QCheckBox* logX_;
  QCheckBox* logY_;
  QPushButton* ok_;
  QPushButton* delete_;
  QTableWidget* grid_;
  bool refreshing_ = false;
};

}  // namespace tracemill
