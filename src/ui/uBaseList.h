#pragma once
// The collected-data list of the main window: a table model that reads the
// workspace's rows as the view asks for them (no copy per row) and follows
// its row changes with the matching begin/end signals, and the view's setup
// (read-only, whole rows, several rows selectable).

#include <QAbstractTableModel>
#include <string>
#include <vector>

#include "app/uWorkspace.h"

class QTableView;

namespace tracemill {

class TBaseListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit TBaseListModel(const TWorkspace& workspace, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The workspace's rows changed as described: the model tells its views.
  // It keeps its own row count, so a view never reads past the rows.
  void Follow(const TRowsChange& change);

 private:
  const TListRow& RowTexts(int row) const;

  const TWorkspace& workspace_;
  int rows_ = 0;
  // The row the view read last: a row is painted cell by cell.
  mutable int cachedRow_ = -1;
  mutable TListRow cached_;
};

// Sets the view up as the main list: read-only, whole-row and multiple
// selection, no row numbers, uniform rows, the selection shown also without focus.
void SetUpListView(QTableView& view);

// The selected rows in ascending order.
std::vector<int> SelectedRows(const QTableView& view);

// The column captions and the selected rows as tab-separated text.
std::string SelectedRowsText(const QTableView& view, const TWorkspace& workspace);

}  // namespace tracemill
