#include "ui/controls/AlignableScrollBar.h"

#include <algorithm>

namespace tracemill {

TAlignableScrollBar::TAlignableScrollBar(Qt::Orientation orientation, QWidget* parent)
    : QScrollBar(orientation, parent) {
  setRange(0, 0);
  setSingleStep(1);
  connect(this, &QAbstractSlider::actionTriggered, this, &TAlignableScrollBar::OnAction);
  connect(this, &QAbstractSlider::valueChanged, this, [this](int v) {
    if (!applying_) emit Scrolled(v);
  });
}

std::int32_t TAlignableScrollBar::Limit() const {
  const std::int64_t limit = pageSize_ != 0 ? std::int64_t(max_) - pageSize_ + 1 : std::int64_t(max_);
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(limit, 0, INT32_MAX));
}

void TAlignableScrollBar::SetState(std::int32_t max, std::int32_t pageSize, std::int32_t largeChange,
                                   std::int32_t position) {
  max_ = std::max(max, 0);
  pageSize_ = std::max(pageSize, 0);
  largeChange_ = std::max(largeChange, 1);
  Apply(position);
}

void TAlignableScrollBar::SetPageSize(std::int32_t pageSize) {
  if (pageSize == pageSize_) return;
  pageSize_ = std::max(pageSize, 0);
  Apply(value());
}

void TAlignableScrollBar::Apply(std::int32_t position) {
  applying_ = true;
  // Qt's thumb covers pageStep of (range + pageStep): PageSize of Max + 1 units.
  setRange(0, Limit());
  setPageStep(std::max(pageSize_, 1));
  setValue(std::clamp(position, 0, Limit()));
  applying_ = false;
}

// Clicks on the track move by LargeChange, not by the thumb's size.
void TAlignableScrollBar::OnAction(int action) {
  const std::int64_t v = value();
  if (action == SliderPageStepAdd)
    setSliderPosition(static_cast<int>(std::min<std::int64_t>(v + largeChange_, Limit())));
  else if (action == SliderPageStepSub)
    setSliderPosition(static_cast<int>(std::max<std::int64_t>(v - largeChange_, 0)));
}

}  // namespace tracemill
