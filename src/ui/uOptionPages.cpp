#include "ui/uOptionPages.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace tracemill {

namespace {

constexpr int kCellPixels = kMarkerSampleSize / TMarkerShape::kSize;  // a cell of the marker sample
constexpr int kShownSampleScale = kSampleSize / kMarkerSampleSize;    // the marker sample as large as the others
constexpr int kGridCellSize = 20;                                     // a toggle button of the shape grid
constexpr int kPresetPixel = 3;                                       // a shape pixel on a preset button
constexpr int kPresetButtonSize = 26;
constexpr int kFirstGridLine = 2;

// Set cells dark, clear ones light, whatever the style.
constexpr const char* kCellStyle =
    "QToolButton { background: white; border: 1px solid gray; }"
    "QToolButton:checked { background: black; }";

}  // namespace

QImage MarkerSample(TMarkerShape shape, const QColor& marker, const QColor& background) {
  QImage image(kMarkerSampleSize, kMarkerSampleSize, QImage::Format_RGB32);
  image.fill(background);
  QPainter p(&image);
  for (int y = 0; y < TMarkerShape::kSize; ++y)
    for (int x = 0; x < TMarkerShape::kSize; ++x)
      p.fillRect(x * kCellPixels, y * kCellPixels, kCellPixels, kCellPixels, shape.Pixel(x, y) ? marker : background);
  return image;
}

QImage LineSample(const QColor& background, const QColor& line, int width) {
  QImage image(kSampleSize, kSampleSize, QImage::Format_RGB32);
  image.fill(background);
  if (width > 0) {
    QPainter p(&image);
    p.setPen(QPen(line, width));
    p.drawLine(0, kSampleSize - 1, kSampleSize - 1, 0);
  }
  return image;
}

QImage GridSample(const QColor& background, const QColor& grid, int magnification) {
  QImage image(kSampleSize, kSampleSize, QImage::Format_RGB32);
  image.fill(background);
  if (magnification < 1) return image;
  QPainter p(&image);
  p.setPen(QPen(grid, 1));
  for (int at = kFirstGridLine; at < kSampleSize; at += magnification) {
    p.drawLine(at, 0, at, kSampleSize - 1);
    p.drawLine(0, at, kSampleSize - 1, at);
  }
  return image;
}

QPixmap PresetPicture(int preset) {
  const int side = TMarkerShape::kSize * kPresetPixel;
  QImage image(side, side, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  const TMarkerShape shape = PresetShape(preset);
  QPainter p(&image);
  for (int y = 0; y < TMarkerShape::kSize; ++y)
    for (int x = 0; x < TMarkerShape::kSize; ++x)
      if (shape.Pixel(x, y)) p.fillRect(x * kPresetPixel, y * kPresetPixel, kPresetPixel, kPresetPixel, Qt::black);
  p.end();
  return QPixmap::fromImage(image);
}

void ShowSample(QLabel& picture, const QImage& sample) {
  const int scale = sample.width() < kSampleSize ? kShownSampleScale : 1;
  picture.setPixmap(QPixmap::fromImage(sample.scaled(sample.size() * scale, Qt::IgnoreAspectRatio,
                                                     Qt::FastTransformation)));
}

// --- Shape grid ---------------------------------------------------------------

TShapeGrid::TShapeGrid(QWidget* parent) : QWidget(parent) {
  auto* grid = new QGridLayout(this);
  grid->setSpacing(0);
  grid->setContentsMargins(0, 0, 0, 0);
  for (int i = 0; i < int(cells_.size()); ++i) {
    auto* cell = new QToolButton(this);
    cell->setCheckable(true);
    cell->setFixedSize(kGridCellSize, kGridCellSize);
    cell->setStyleSheet(QString::fromLatin1(kCellStyle));
    grid->addWidget(cell, i / TMarkerShape::kSize, i % TMarkerShape::kSize);
    connect(cell, &QToolButton::clicked, this, &TShapeGrid::Clicked);
    cells_[i] = cell;
  }
}

TMarkerShape TShapeGrid::Shape() const {
  TMarkerShape shape;
  for (int i = 0; i < int(cells_.size()); ++i)
    shape.SetPixel(i % TMarkerShape::kSize, i / TMarkerShape::kSize, cells_[i]->isChecked());
  return shape;
}

void TShapeGrid::SetShape(TMarkerShape shape) {
  for (int i = 0; i < int(cells_.size()); ++i)
    cells_[i]->setChecked(shape.Pixel(i % TMarkerShape::kSize, i / TMarkerShape::kSize));
}

// --- Marker page --------------------------------------------------------------

TMarkerPage::TMarkerPage(const TMarkerCaptions& captions, QWidget* parent) : QWidget(parent) {
  color_ = new TColorPanel(this);
  grid_ = new TShapeGrid(this);
  visible_ = new QCheckBox(CaptionText(captions.Visible), this);
  samplePicture_ = new QLabel(this);
  auto* colorButton = new QPushButton(CaptionText(kColorButtonCaption), this);

  auto* presets = new QGridLayout;
  presets->setSpacing(2);
  for (int i = 0; i < kPresetShapeCount; ++i) {
    auto* button = new QToolButton(this);
    button->setFixedSize(kPresetButtonSize, kPresetButtonSize);
    if (i > 0) {
      button->setIcon(PresetPicture(i));
      button->setIconSize(PresetPicture(i).size());
    }
    presets->addWidget(button, i / 6, i % 6);
    connect(button, &QToolButton::clicked, this, [this, i] {
      grid_->SetShape(PresetShape(i));
      RedrawSample();
    });
    presets_[i] = button;
  }

  auto* colorRow = new QHBoxLayout;
  colorRow->addWidget(color_);
  colorRow->addWidget(colorButton);
  colorRow->addStretch(1);

  auto* layout = new QGridLayout(this);
  layout->addWidget(new QLabel(CaptionText(captions.Sample), this), 0, 0);
  layout->addWidget(samplePicture_, 1, 0, 1, 1, Qt::AlignLeft | Qt::AlignTop);
  layout->addWidget(new QLabel(CaptionText(captions.Color), this), 0, 1);
  layout->addLayout(colorRow, 1, 1, Qt::AlignTop);
  layout->addWidget(new QLabel(CaptionText(captions.Shape), this), 2, 0, 1, 2);
  layout->addWidget(grid_, 3, 0, Qt::AlignLeft | Qt::AlignTop);
  layout->addLayout(presets, 3, 1, Qt::AlignLeft | Qt::AlignTop);
  layout->addWidget(visible_, 4, 0, 1, 2);
  layout->setRowStretch(5, 1);
  layout->setColumnStretch(1, 1);

  connect(colorButton, &QPushButton::clicked, color_, &TColorPanel::ChooseColor);
  connect(color_, &TColorPanel::ColorChanged, this, &TMarkerPage::RedrawSample);
  connect(grid_, &TShapeGrid::Clicked, this, &TMarkerPage::RedrawSample);
  RedrawSample();
}

void TMarkerPage::RedrawSample() {
  sample_ = MarkerSample(grid_->Shape(), ToQColor(color_->Color()), palette().color(QPalette::Window));
  ShowSample(*samplePicture_, sample_);
}

}  // namespace tracemill
