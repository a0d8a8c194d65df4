#include "ui/uBenchPanel.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

#include "settings/uEnvironment.h"
#include "ui/uQtConvert.h"

namespace tracemill {

namespace {

constexpr std::string_view kLogXJa = "Ｘ軸は対数軸";
constexpr std::string_view kLogXEn = "X is log scale";
constexpr std::string_view kLogYJa = "Ｙ軸は対数軸";
constexpr std::string_view kLogYEn = "Y is log scale";
constexpr std::string_view kOkCaption = "OK";
constexpr std::string_view kDeleteJa = "削除";
constexpr std::string_view kDeleteEn = "Delete";

constexpr std::array<std::string_view, TStandardPanelWidget::kColumnCount> kHeaders = {"#", "w", "h", "x",
                                                                                        "y", "X", "Y"};
constexpr std::array<int, TStandardPanelWidget::kColumnCount> kWidths = {20, 40, 40, 40, 40, 80, 80};
constexpr int kFixedColumns = 5;
constexpr int kNumberMargin = 2;  // right margin of the w, h, x and y cells

// Column "#" centred; "w", "h", "x" and "y" right-aligned with a small
// margin; both on the button face like fixed cells. X and Y as the grid
// draws them.
class CellDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const int column = index.column();
    if (column >= kFixedColumns) {
      QStyledItemDelegate::paint(painter, option, index);
      return;
    }
    const QPalette& palette = option.palette;
    painter->fillRect(option.rect, palette.color(QPalette::Button));
    const Qt::Alignment alignment =
        Qt::AlignVCenter | (column == 0 ? Qt::AlignHCenter : Qt::AlignRight);
    const QRect text = option.rect.adjusted(0, 0, column == 0 ? 0 : -kNumberMargin, 0);
    painter->setPen(palette.color(QPalette::ButtonText));
    painter->setFont(option.font);
    painter->drawText(text, static_cast<int>(alignment), index.data().toString());
  }
};

}  // namespace

TStandardPanelWidget::TStandardPanelWidget(TBench& bench, QWidget* parent)
    : QWidget(parent),
      bench_(bench),
      logX_(new QCheckBox(this)),
      logY_(new QCheckBox(this)),
      ok_(new QPushButton(ToQt(kOkCaption), this)),
      delete_(new QPushButton(this)),
      grid_(new QTableWidget(0, kColumnCount, this)) {
  const bool japanese = IsJapanese();
  logX_->setText(ToQt(japanese ? kLogXJa : kLogXEn));
  logY_->setText(ToQt(japanese ? kLogYJa : kLogYEn));
  delete_->setText(ToQt(japanese ? kDeleteJa : kDeleteEn));
  ok_->setDefault(true);

  auto* top = new QHBoxLayout;
  top->setContentsMargins(0, 0, 0, 0);
  top->addWidget(logX_, 1);
  top->addWidget(logY_, 1);
  top->addWidget(ok_);
  top->addWidget(delete_);

  QStringList headers;
  for (std::string_view h : kHeaders) headers << ToQt(h);
  grid_->setHorizontalHeaderLabels(headers);
  for (int c = 0; c < kColumnCount; ++c) grid_->setColumnWidth(c, kWidths[static_cast<std::size_t>(c)]);
  grid_->horizontalHeader()->setStretchLastSection(false);
  grid_->horizontalHeader()->setHighlightSections(false);
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  grid_->verticalHeader()->setDefaultSectionSize(kRowHeight);
  grid_->setItemDelegate(new CellDelegate(grid_));
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                         QAbstractItemView::AnyKeyPressed);
  grid_->setFixedHeight(grid_->horizontalHeader()->sizeHint().height() + kVisibleRows * kRowHeight +
                        2 * grid_->frameWidth());

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addLayout(top);
  layout->addWidget(grid_);
  layout->addStretch(1);
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

  connect(logX_, &QCheckBox::clicked, this, [this](bool on) {
    bench_.SetLogX(on);
    emit Acted();
  });
  connect(logY_, &QCheckBox::clicked, this, [this](bool on) {
    bench_.SetLogY(on);
    emit Acted();
  });
  connect(ok_, &QPushButton::clicked, this, [this] {
    bench_.ToggleStandardMode();
    emit Acted();
  });
  connect(delete_, &QPushButton::clicked, this, [this] {
    bench_.DeleteStandardPoint(grid_->currentRow());
    emit Acted();
  });
  connect(grid_, &QTableWidget::itemChanged, this, &TStandardPanelWidget::CellChanged);
}

void TStandardPanelWidget::Refresh() {
  const TStandardPanel panel = bench_.StandardPanel();
  refreshing_ = true;
  logX_->setChecked(panel.LogX);
  logY_->setChecked(panel.LogY);
  logX_->setEnabled(panel.LogEnabled);
  logY_->setEnabled(panel.LogEnabled);
  const int current = grid_->currentRow();
  grid_->setRowCount(static_cast<int>(panel.Rows.size()));
  for (int r = 0; r < grid_->rowCount(); ++r) {
    for (int c = 0; c < kColumnCount; ++c) {
      const QString text = ToQt(panel.Rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
      QTableWidgetItem* item = grid_->item(r, c);
      if (!item) {
        item = new QTableWidgetItem;
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (c >= kFixedColumns) flags |= Qt::ItemIsEditable;
        item->setFlags(flags);
        grid_->setItem(r, c, item);
      }
      if (item->text() != text) item->setText(text);
    }
  }
  if (current >= 0 && current < grid_->rowCount()) grid_->setCurrentCell(current, grid_->currentColumn());
  grid_->setVisible(panel.GridVisible);
  refreshing_ = false;
}

void TStandardPanelWidget::CellChanged(QTableWidgetItem* item) {
  if (refreshing_ || item->column() < kFixedColumns) return;
  const TStandardColumn column = item->column() == static_cast<int>(TStandardColumn::X) ? TStandardColumn::X
                                                                                        : TStandardColumn::Y;
  if (!bench_.EnterStandardValue(item->row(), column, FromQt(item->text()))) Refresh();
  emit Acted();
}

}  // namespace tracemill
