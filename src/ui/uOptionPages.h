#pragma once
// Parts of the bench options dialog's pages: the samples, the 5 x 5 shape
// grid with the preset buttons, and the page of one kind of marker.

#include <QImage>
#include <QToolButton>
#include <QWidget>
#include <array>
#include <cstdint>

#include "bench/uMarker.h"
#include "ui/uOptionDialog.h"

class QCheckBox;
class QLabel;

namespace tracemill {

// The button beside every colour panel of the bench options.
inline constexpr TCaption kColorButtonCaption{"色 ...", "Color ..."};

// The marker sample: 25 x 25 pixels, each cell of the shape a 5 x 5 square in
// the marker colour where it is set, in the background colour where it is clear.
inline constexpr int kMarkerSampleSize = TMarkerShape::kSize * 5;
QImage MarkerSample(TMarkerShape shape, const QColor& marker, const QColor& background);
// The line and magnifier samples are squares of this size.
inline constexpr int kSampleSize = 100;
// A line of the width from the lower left to the upper right corner; nothing for width 0.
QImage LineSample(const QColor& background, const QColor& line, int width);
// Grid lines 1 pixel wide at 2, 2 + m, 2 + 2m, ... across and down.
QImage GridSample(const QColor& background, const QColor& grid, int magnification);
// The picture of a preset button: the preset's shape, each pixel a square.
QPixmap PresetPicture(int preset);

// 5 x 5 toggle buttons, row by row from the top left.
class TShapeGrid : public QWidget {
  Q_OBJECT
 public:
  explicit TShapeGrid(QWidget* parent = nullptr);
  TMarkerShape Shape() const;
  void SetShape(TMarkerShape shape);
  QToolButton& Cell(int index) const { return *cells_[index]; }

 signals:
  void Clicked();  // the user toggled a cell

 private:
  std::array<QToolButton*, 25> cells_{};
};

// The captions of one marker page.
struct TMarkerCaptions {
  TCaption Sample;
  TCaption Color;
  TCaption Shape;
  TCaption Visible;
};

// The page of one kind of marker: sample, colour, shape grid with the eleven
// preset buttons, and the show-also check box. Every change redraws the sample.
class TMarkerPage : public QWidget {
  Q_OBJECT
 public:
  TMarkerPage(const TMarkerCaptions& captions, QWidget* parent = nullptr);

  TColorPanel& ColorPanel() const { return *color_; }
  TShapeGrid& Grid() const { return *grid_; }
  QCheckBox& VisibleBox() const { return *visible_; }
  QToolButton& Preset(int index) const { return *presets_[index]; }
  const QImage& Sample() const { return sample_; }
  void RedrawSample();

 private:
  TColorPanel* color_;
  TShapeGrid* grid_;
  QCheckBox* visible_;
  QLabel* samplePicture_;
  std::array<QToolButton*, kPresetShapeCount> presets_{};
  QImage sample_;
};

// A sample picture shown enlarged without smoothing.
void ShowSample(QLabel& picture, const QImage& sample);

}  // namespace tracemill
