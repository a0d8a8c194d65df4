#include "ui/uBaseList.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <algorithm>

#include "app/uTabText.h"
#include "ui/uQtConvert.h"

namespace tracemill {

TBaseListModel::TBaseListModel(const TWorkspace& workspace, QObject* parent)
    : QAbstractTableModel(parent), workspace_(workspace), rows_(workspace.RowCount()) {}

int TBaseListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int TBaseListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kListColumnCount;
}

const TListRow& TBaseListModel::RowTexts(int row) const {
  if (row != cachedRow_) {
    cached_ = workspace_.Row(row);
    cachedRow_ = row;
  }
  return cached_;
}

QVariant TBaseListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_ || index.column() >= kListColumnCount)
    return {};
  return ToQt(RowTexts(index.row())[static_cast<std::size_t>(index.column())]);
}

QVariant TBaseListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= kListColumnCount)
    return QAbstractTableModel::headerData(section, orientation, role);
  return ToQt(kListColumnCaptions[static_cast<std::size_t>(section)]);
}

Qt::ItemFlags TBaseListModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void TBaseListModel::Follow(const TRowsChange& change) {
  cachedRow_ = -1;
  using K = TRowsChange::TKind;
  const int first = change.First;
  const int count = change.Count;
  const bool fits = first >= 0 && count > 0;
  bool reset = false;
  if (change.Kind == K::Inserted && fits && first <= rows_) {
    beginInsertRows(QModelIndex(), first, first + count - 1);
    rows_ += count;
    endInsertRows();
  } else if (change.Kind == K::Removed && fits && first + count <= rows_) {
    beginRemoveRows(QModelIndex(), first, first + count - 1);
    rows_ -= count;
    endRemoveRows();
  } else if (change.Kind == K::Updated && fits && first + count <= rows_) {
    emit dataChanged(index(first, 0), index(first + count - 1, kListColumnCount - 1), {Qt::DisplayRole});
  } else if (change.Kind == K::Updated && count == 0) {
    // nothing changed
  } else {
    reset = true;
  }
  // A change that does not add up to the workspace's rows is taken as a reset.
  if (reset || rows_ != workspace_.RowCount()) {
    beginResetModel();
    rows_ = workspace_.RowCount();
    endResetModel();
  }
}

void SetUpListView(QTableView& view) {
  view.setEditTriggers(QAbstractItemView::NoEditTriggers);
  view.setSelectionBehavior(QAbstractItemView::SelectRows);
  view.setSelectionMode(QAbstractItemView::ExtendedSelection);
  view.setShowGrid(false);
  view.setWordWrap(false);
  view.setSortingEnabled(false);  // the header's clicks sort in the core
  view.setTabKeyNavigation(false);
  view.verticalHeader()->hide();
  view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view.verticalHeader()->setDefaultSectionSize(view.fontMetrics().height() + 4);
  view.horizontalHeader()->setSectionsClickable(true);
  view.horizontalHeader()->setHighlightSections(false);
  view.horizontalHeader()->setStretchLastSection(false);
  view.horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  // The selection keeps its colours when the list has no focus.
  QPalette palette = view.palette();
  for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
    palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
  view.setPalette(palette);
}

std::vector<int> SelectedRows(const QTableView& view) {
  std::vector<int> rows;
  const QItemSelectionModel* selection = view.selectionModel();
  if (!selection) return rows;
  for (const QItemSelectionRange& range : selection->selection())
    for (int row = range.top(); row <= range.bottom(); ++row) rows.push_back(row);
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

std::string SelectedRowsText(const QTableView& view, const TWorkspace& workspace) {
  std::vector<std::vector<std::string>> rows;
  rows.emplace_back(kListColumnCaptions.begin(), kListColumnCaptions.end());
  const int count = workspace.RowCount();
  for (int row : SelectedRows(view)) {
    if (row >= count) continue;
    const TListRow texts = workspace.Row(row);
    rows.emplace_back(texts.begin(), texts.end());
  }
  return TabSeparatedText(rows);
}

}  // namespace tracemill
