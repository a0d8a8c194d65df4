#pragma once
// The scroll bar of the bench's picture: a range 0 .. Max shown with a thumb
// of PageSize units, whose position never runs past Max - PageSize + 1, and
// a page step (LargeChange) of its own. Positions are 32-bit.

#include <QScrollBar>
#include <cstdint>

namespace tracemill {

class TAlignableScrollBar : public QScrollBar {
  Q_OBJECT

 public:
  explicit TAlignableScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr);

  // Sets everything at once without raising Scrolled. Position is limited
  // like a user's move.
  void SetState(std::int32_t max, std::int32_t pageSize, std::int32_t largeChange, std::int32_t position);

  std::int32_t Max() const { return max_; }
  std::int32_t PageSize() const { return pageSize_; }
  void SetPageSize(std::int32_t pageSize);
  std::int32_t LargeChange() const { return largeChange_; }
  std::int32_t Position() const { return value(); }
  // Max - PageSize + 1 when PageSize is set, else Max (never below 0).
  std::int32_t Limit() const;

 signals:
  // The user moved the thumb, clicked an arrow or the track, or used a key.
  void Scrolled(std::int32_t position);

 private:
  void Apply(std::int32_t position);
  void OnAction(int action);

  std::int32_t max_ = 0;
  std::int32_t pageSize_ = 0;
  std::int32_t largeChange_ = 1;
  bool applying_ = false;
};

}  // namespace tracemill
