// The bench window: its parts, how the bench's repaint events reach them, and
// the window's own events (closing, minimising, moving, dropped files).

#include "ui/uBench.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "settings/uAppliInfo.h"
#include "settings/uEnvironment.h"
#include "ui/controls/AlignableScrollBar.h"
#include "ui/controls/uHEdit.h"
#include "ui/uBenchImage.h"
#include "ui/uBenchLoad.h"
#include "ui/uBenchPanel.h"
#include "ui/uOption.h"
#include "ui/uOptionDialog.h"
#include "ui/uQtConvert.h"

namespace tracemill {

namespace {

constexpr std::string_view kTitleHeaderJa = " タイトル";
constexpr std::string_view kTitleHeaderEn = " Title";
constexpr std::string_view kCommentHeaderJa = " コメント";
constexpr std::string_view kCommentHeaderEn = " Comment";
constexpr unsigned kHeaderWidth = 65;
constexpr int kInitialWidth = 640;
constexpr int kInitialHeight = 480;
// The open dialog's filter until the file types give one.
constexpr std::string_view kInitialOpenFilter = "Image Files (*.bmp, *.jpg)|*.bmp;*.jpg|All Files (*.*)|*.*";

}  // namespace

TBenchForm::TBenchForm(TBench& bench, QWidget* parent)
    : QMainWindow(parent), bench_(bench), ownLoader_(bench.PictureLoader()), messages_(this),
      openFilter_(kInitialOpenFilter) {
  setAcceptDrops(true);
  resize(kInitialWidth, kInitialHeight);
  setCentralWidget(BuildCentral());
  BuildStatusBar();
  BuildMenus();
  BuildPopup();
  ConnectParts();

  OptionDialog = [this](QWidget* owner, const std::string& text) {
    return TOptionForm::Edit(owner, Settings(), messages_, shell_, text);
  };
  bench_.SetPictureLoader(WithLoadProgress(ownLoader_, this));
  bench_.OnRepaint = [this](TBench&, unsigned layers) { Repaint(layers); };
  bench_.OnBusy = [this](TBench&, bool busy) {
    if (busy)
      busy_.emplace();
    else
      busy_.reset();
  };
  // A bench that has no placement of its own yet takes the window's.
  const bool placed = bench_.Placement.RestoredWidth > 0 || bench_.Placement.Width > 0;
  Repaint(benchlayer::All & ~(placed ? 0u : benchlayer::Placement));
  if (!placed) KeepPlacement();
  image_->setFocus();
}

TBenchForm::~TBenchForm() {
  // The parts outlive this object for a moment (an open cell editor still
  // commits to the bench then); nothing of theirs may reach the window.
  for (QObject* part : std::initializer_list<QObject*>{panel_, title_, comment_, image_, hbar_, vbar_})
    part->disconnect(this);
  WaitForCancelledLoads();
  bench_.SetPictureLoader(ownLoader_);
  bench_.OnRepaint = nullptr;
  bench_.OnBusy = nullptr;
}

QWidget* TBenchForm::BuildCentral() {
  auto* central = new QWidget(this);
  const bool japanese = IsJapanese();
  panel_ = new TStandardPanelWidget(bench_, central);
  title_ = new TEditWithHeader(central);
  comment_ = new TEditWithHeader(central);
  title_->SetHeaderCaption(ToQt(japanese ? kTitleHeaderJa : kTitleHeaderEn));
  comment_->SetHeaderCaption(ToQt(japanese ? kCommentHeaderJa : kCommentHeaderEn));
  for (TEditWithHeader* bar : {title_, comment_}) bar->SetHeaderWidth(kHeaderWidth);
  image_ = new TBenchImageArea(bench_, central);
  hbar_ = new TAlignableScrollBar(Qt::Horizontal, central);
  vbar_ = new TAlignableScrollBar(Qt::Vertical, central);

  auto* view = new QGridLayout;
  view->setContentsMargins(0, 0, 0, 0);
  view->setSpacing(0);
  view->addWidget(image_, 0, 0);
  view->addWidget(vbar_, 0, 1);
  view->addWidget(hbar_, 1, 0);
  view->setRowStretch(0, 1);
  view->setColumnStretch(0, 1);

  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(panel_);
  layout->addWidget(title_);
  layout->addWidget(comment_);
  layout->addLayout(view, 1);
  return central;
}

void TBenchForm::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setSizeGripEnabled(false);
  // The panels side by side without gaps, each as wide as the bench says
  // (its maximum); the window may still shrink below their sum.
  auto* row = new QWidget(bar);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  for (QLabel*& panel : status_) {
    panel = new QLabel(row);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    panel->setMinimumWidth(0);
    layout->addWidget(panel, 1);
  }
  layout->addStretch(0);
  bar->addWidget(row, 1);
  bar->installEventFilter(this);
}

void TBenchForm::ConnectParts() {
  connect(image_, &TBenchImageArea::PointerMoved, this, &TBenchForm::ShowStatus);
  connect(image_, &TBenchImageArea::PopupRequested, this, &TBenchForm::ShowPopup);
  connect(image_, &TBenchImageArea::Acted, this, &TBenchForm::UpdateMenuStates);
  connect(panel_, &TStandardPanelWidget::Acted, this, &TBenchForm::UpdateMenuStates);
  connect(hbar_, &TAlignableScrollBar::Scrolled, this, [this](std::int32_t x) {
    bench_.SetScrollPosition(x, bench_.VerticalScroll().Position);
    image_->setFocus();
  });
  connect(vbar_, &TAlignableScrollBar::Scrolled, this, [this](std::int32_t y) {
    bench_.SetScrollPosition(bench_.HorizontalScroll().Position, y);
    image_->setFocus();
  });
  connect(title_, &TEditWithHeader::OnChange, this,
          [this](TEditWithHeader* bar) { bench_.SetTitleText(FromQt(bar->EditText())); });
  connect(comment_, &TEditWithHeader::OnChange, this,
          [this](TEditWithHeader* bar) { bench_.SetCommentText(FromQt(bar->EditText())); });
}

// --- What the bench asks to redraw ---------------------------------------------

void TBenchForm::Repaint(unsigned layers) {
  namespace L = benchlayer;
  if (layers & L::Image) image_->InvalidatePicture();
  if (layers & L::View) image_->update();
  if (layers & L::ScrollBars) UpdateScrollBars();
  if (layers & L::StandardPanel) {
    panel_->Refresh();
    panel_->setVisible(bench_.StandardMode());
  }
  if (layers & L::Caption) setWindowTitle(ToQt(bench_.Caption()));
  if (layers & L::Bars) UpdateBars();
  if (layers & L::TitleText) {
    const QString text = ToQt(bench_.TitleText());
    if (title_->EditText() != text) title_->SetEditText(text);
  }
  if (layers & L::CommentText) {
    const QString text = ToQt(bench_.CommentText());
    if (comment_->EditText() != text) comment_->SetEditText(text);
  }
  if (layers & L::StatusBar) LayoutStatusBar();
  if (layers & L::Font) ApplyFont();
  if (layers & L::Placement) {
    applyingPlacement_ = true;
    ApplyPlacement(*this, bench_.Placement);
    applyingPlacement_ = false;
  }
  UpdateMenuStates();
}

void TBenchForm::UpdateScrollBars() {
  const TScrollBarState h = bench_.HorizontalScroll();
  const TScrollBarState v = bench_.VerticalScroll();
  hbar_->SetState(h.Max, h.PageSize, h.LargeChange, h.Position);
  vbar_->SetState(v.Max, v.PageSize, v.LargeChange, v.Position);
}

void TBenchForm::UpdateBars() {
  title_->setVisible(bench_.TitleVisible());
  comment_->setVisible(bench_.CommentVisible());
}

void TBenchForm::LayoutStatusBar() {
  const std::array<int, kStatusPanelCount> widths = bench_.StatusPanelWidths(statusBar()->width());
  for (std::size_t i = 0; i < status_.size(); ++i) {
    status_[i]->setMaximumWidth(std::max(widths[i], 0));
    status_[i]->setVisible(widths[i] > 0);
  }
}

void TBenchForm::ShowStatus(QPoint pixel) {
  const std::array<std::string, kStatusPanelCount> texts = bench_.StatusTexts(pixel.x(), pixel.y());
  for (std::size_t i = 0; i < status_.size(); ++i) status_[i]->setText(ToQt(texts[i]));
}

void TBenchForm::ApplyFont() {
  const TFontRecord& record = bench_.Settings().Font;
  const QFont font = ToQFont(record);
  for (QWidget* w : {centralWidget(), static_cast<QWidget*>(statusBar())}) {
    w->setFont(font);
    QPalette palette = w->palette();
    const QColor color = ToQColor(static_cast<std::uint32_t>(record.Color));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
      palette.setColor(role, color);
    w->setPalette(palette);
  }
}

void TBenchForm::Guarded(const std::function<void()>& command) {
  try {
    command();
  } catch (const std::exception& e) {
    ShowError(messages_, e);
  }
  UpdateMenuStates();
}

void TBenchForm::LoadFile(const std::string& path) {
  Guarded([&] {
    TWaitCursor wait;
    bench_.LoadImage(path);
  });
}

// --- The window's own events ------------------------------------------------------

void TBenchForm::closeEvent(QCloseEvent* event) {
  event->ignore();
  hide();
}

void TBenchForm::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  if (isMinimized()) {
    // Minimising hides the window; it comes back in its normal state.
    QTimer::singleShot(0, this, [this] {
      setWindowState(windowState() & ~Qt::WindowMinimized);
      hide();
    });
    return;
  }
  KeepPlacement();
}

void TBenchForm::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  KeepPlacement();
}

void TBenchForm::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  KeepPlacement();
}

void TBenchForm::KeepPlacement() {
  if (!applyingPlacement_ && !isMinimized()) bench_.Placement = PlacementOf(*this);
}

bool TBenchForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == statusBar() && event->type() == QEvent::Resize) LayoutStatusBar();
  return QMainWindow::eventFilter(watched, event);
}

void TBenchForm::dragEnterEvent(QDragEnterEvent* event) {
  const QMimeData* data = event->mimeData();
  if (data->hasUrls() && !data->urls().isEmpty() && data->urls().first().isLocalFile())
    event->acceptProposedAction();
}

// The first dropped file is loaded.
void TBenchForm::dropEvent(QDropEvent* event) {
  const QList<QUrl> urls = event->mimeData()->urls();
  if (urls.isEmpty() || !urls.first().isLocalFile()) return;
  event->acceptProposedAction();
  LoadFile(FromQt(urls.first().toLocalFile()));
}

}  // namespace tracemill
