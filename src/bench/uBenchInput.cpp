// The bench's clicks and commands: standard and measured points, lines, the
// right-button commands Magnify, Line and Delete, and the keyboard steps.

#include <algorithm>

#include "bench/uBench.h"
#include "bench/uColorArea.h"
#include "common/uFormatSettings.h"
#include "common/uNumber.h"
#include "common/uStrC.h"
#include "settings/uEnvironment.h"

namespace tracemill {

namespace {

constexpr std::string_view kFourthPointJa = "４点目以降は無視されます。";
constexpr std::string_view kFourthPointEn = "Fourth point and after will be ignored.";
constexpr int kCalibrationPoints = 3;

constexpr std::string_view kMagnifyJa = "拡大";
constexpr std::string_view kMagnifyEn = "Magnify";
constexpr std::string_view kCancelMagnifyJa = "拡大解除";
constexpr std::string_view kCancelMagnifyEn = "Cancel Magnify";
constexpr std::string_view kLineJa = "線";
constexpr std::string_view kLineEn = "Line";
constexpr std::string_view kDeleteJa = "削除";
constexpr std::string_view kDeleteEn = "Delete";

constexpr std::string_view kDeleteAskEn = "Do you really want to delete ";
constexpr std::string_view kDeleteLineOfEn = "the line of ";
constexpr std::string_view kDeletePointsEn = " points whose first point is ";
constexpr std::string_view kDeleteStartsJa = "から始まる";
constexpr std::string_view kDeletePointsJa = "点の線";
constexpr std::string_view kDeleteAskJa = "を削除してよろしいですか？";

constexpr std::string_view kCommentSeparator = ", ";

// Raises OnBusy(true) now and OnBusy(false) when it goes, whatever happens between.
class BusyGuard {
 public:
  BusyGuard(TBench& bench, const std::function<void(TBench&, bool)>& event) : bench_(bench), event_(event) {
    if (event_) event_(bench_, true);
  }
  ~BusyGuard() {
    if (event_) event_(bench_, false);
  }
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;

 private:
  TBench& bench_;
  const std::function<void(TBench&, bool)>& event_;
};

}  // namespace

std::optional<std::pair<std::int32_t, std::int32_t>> TBench::LastDownPosition() const {
  return ScreenToPosition(lastDownX_, lastDownY_);
}

TRightAction TBench::MouseDown(int x, int y, TMouseButton button) {
  lastDownX_ = x;
  lastDownY_ = y;
  if (button != TMouseButton::Left) {
    const TRightAction action = RightButtonAction();
    switch (action) {
      case TRightAction::Magnify: Magnify(); break;
      case TRightAction::Line: LineCommand(); break;
      case TRightAction::Delete: DeleteCommand(); break;
      case TRightAction::None:
      case TRightAction::Popup: break;
    }
    return action;
  }
  const auto pos = ScreenToPosition(x, y);
  if (!pos) return TRightAction::None;
  if (standardMode_)
    SetStandardPoint(pos->first, pos->second);
  else
    MeasureAt(pos->first, pos->second, kPointKind, false);
  return TRightAction::None;
}

void TBench::SetStandardPoint(std::int32_t posX, std::int32_t posY) {
  if (data_.Standards.Count() == kCalibrationPoints) {
    TMessage m;
    m.Text = std::string(IsJapanese() ? kFourthPointJa : kFourthPointEn);
    m.Icon = TMessageIcon::Exclamation;
    messages_.ShowMessage(m);
  }
  TStandardPoint p(posX, posY, ExtentX(), ExtentY());
  history_.Record(TStandardAdded{data_.Standards.Count(), p});
  data_.Standards.Add(std::make_unique<TStandardPoint>(std::move(p)));
  Repaint(benchlayer::Markers | benchlayer::Grid | benchlayer::StandardPanel);
}

std::string TBench::ClickComment(std::int32_t posX, std::int32_t posY) {
  const int x = posX / Scale();
  const int y = posY / Scale();
  std::string text;
  if (settings_.CommentArea) {
    BusyGuard busy(*this, OnBusy);
    text = IntToStr(AreaCount(picture_, x, y));
  }
  if (settings_.CommentArea && settings_.CommentColor) text += kCommentSeparator;
  if (settings_.CommentColor) text += ColorCode(picture_, x, y);
  return text;
}

// A measured point at the position: it continues the last line in line mode
// (or starts a new line), takes the comment and title bars, goes to the main
// window with the kind, and leaves the bench in the given line mode.
void TBench::MeasureAt(std::int32_t posX, std::int32_t posY, std::string_view kind, bool lineMode) {
  TMeasuredPoint point(posX, posY, ExtentX(), ExtentY());
  ComputeValues(coefficients_, data_.Standards.LogX, data_.Standards.LogY, point);

  TMeasuredList& lines = data_.Measured;
  TMeasuredPoints* line = lineMode_ ? data_.LastLine() : nullptr;
  std::unique_ptr<TMeasuredPoints> fresh;
  TPointAdded change{};
  change.NewLine = line == nullptr;
  change.Point = point;
  change.OldLineMode = lineMode_;
  if (line) {
    change.LineIndex = lines.Count() - 1;
    change.OldComment = line->Comment;
    change.OldTitle = line->Title;
    change.OldId = line->Id;
  } else {
    fresh = std::make_unique<TMeasuredPoints>();
    line = fresh.get();
    change.OldId = -1;
  }
  line->Add(std::make_unique<TMeasuredPoint>(point));
  if (settings_.CommentArea || settings_.CommentColor) SetCommentText(ClickComment(posX, posY));
  line->Comment = comment_;
  line->Title = title_;
  change.NewComment = line->Comment;
  change.NewTitle = line->Title;

  const std::int32_t id = SendLine(*line, kind);
  bool recorded = true;
  if (fresh) {
    fresh->Id = id;
    change.LineIndex = lines.Count();
    lines.Add(std::move(fresh));
  } else if (lines.Item(change.LineIndex) == line) {
    line->Id = id;
  } else {
    recorded = false;  // the receiver took the line away meanwhile
  }
  lineMode_ = lineMode;
  change.NewId = id;
  change.NewLineMode = lineMode;
  if (recorded) history_.Record(std::move(change));
  Repaint(benchlayer::Markers | benchlayer::Grid);
}

TRightAction TBench::RightButtonAction() const {
  const TBenchSettings& s = settings_;
  const int count = s.RightCount();
  if (count == 0) return TRightAction::None;
  if (standardMode_) return TRightAction::Magnify;
  if (count >= 2) return TRightAction::Popup;
  if (s.RightDelete) return TRightAction::Delete;
  if (s.RightLine) return TRightAction::Line;
  return TRightAction::Magnify;
}

TBenchPopup TBench::Popup() const {
  const bool japanese = IsJapanese();
  TBenchPopup p;
  p.MagnifyVisible = settings_.RightMagnifier;
  p.LineVisible = settings_.RightLine;
  p.DeleteVisible = settings_.RightDelete;
  p.LineEnabled = data_.Measured.Count() > 0;
  const auto pos = LastDownPosition();
  p.DeleteEnabled = pos && LineUnder(pos->first, pos->second) >= 0;
  p.TraceEnabled = pos.has_value();
  if (magnified_)
    p.MagnifyCaption = std::string(japanese ? kCancelMagnifyJa : kCancelMagnifyEn);
  else
    p.MagnifyCaption = std::string(japanese ? kMagnifyJa : kMagnifyEn);
  p.LineCaption = std::string(japanese ? kLineJa : kLineEn);
  p.DeleteCaption = std::string(japanese ? kDeleteJa : kDeleteEn);
  p.TraceCaption = TraceCaption(TTraceKind::Curve, japanese);
  p.MarkersCaption = TraceCaption(TTraceKind::Markers, japanese);
  return p;
}

void TBench::Magnify() {
  const auto pos = LastDownPosition();
  const std::int64_t x = pos ? pos->first : -1;
  const std::int64_t y = pos ? pos->second : -1;
  magnified_ = !magnified_;
  UpdateScrollBars();
  if (HasPicture()) {
    const TScrollBarState h = HorizontalScroll();
    const TScrollBarState v = VerticalScroll();
    scrollX_ = h.Clamp(x - h.PageSize / 2);
    scrollY_ = v.Clamp(y - v.PageSize / 2);
  }
  Repaint(benchlayer::View | benchlayer::ScrollBars);
}

void TBench::LineCommand() {
  // A spot beyond the picture gives no point.
  if (const auto pos = LastDownPosition()) MeasureAt(pos->first, pos->second, kLineKind, true);
}

int TBench::LineUnder(std::int32_t posX, std::int32_t posY) const {
  const TMeasuredList& lines = data_.Measured;
  const std::int32_t extent = ExtentX();
  for (int i = lines.Count() - 1; i >= 0; --i) {
    const TMeasuredPoints* line = lines.Item(i);
    if (!line) continue;
    for (int j = 0; j < line->Count(); ++j) {
      const TMeasuredPoint* p = line->Item(j);
      if (p && PositionAtScale(p->PosX, p->PosY, p->Width, extent) == std::pair{posX, posY}) return i;
    }
  }
  return -1;
}

std::string TBench::DeleteQuestion(const TMeasuredPoints& line) const {
  const TMeasuredPoint* first = line.Item(0);
  const char separator = FormatSettings().DecimalSeparator;
  std::string values(1, '(');
  values.append(FloatToStr(first ? first->ValueX : 0, separator))
      .append(", ")
      .append(FloatToStr(first ? first->ValueY : 0, separator))
      .append(")");
  const bool manyPoints = line.Count() > 1;
  if (IsJapanese()) {
    std::string text = values + " ";
    if (manyPoints) text += std::string(kDeleteStartsJa) + FullWidthNumerals(IntToStr(line.Count())) +
                            std::string(kDeletePointsJa);
    return text + std::string(kDeleteAskJa);
  }
  std::string text(kDeleteAskEn);
  if (manyPoints) text += std::string(kDeleteLineOfEn) + IntToStr(line.Count()) + std::string(kDeletePointsEn);
  return text + values + "?";
}

void TBench::DeleteCommand() {
  const auto pos = LastDownPosition();
  if (!pos) return;
  const int index = LineUnder(pos->first, pos->second);
  const TMeasuredPoints* line = data_.Measured.Item(index);
  if (!line) return;
  TMessage m;
  m.Caption = std::string(IsJapanese() ? kDeleteJa : kDeleteEn);
  m.Text = DeleteQuestion(*line);
  m.Buttons = TMessageButtons::YesNo;
  m.Icon = TMessageIcon::Exclamation;
  if (messages_.ShowMessage(m) != TMessageResult::Yes) return;
  if (data_.Measured.Item(index) != line) return;  // the line went while the question was open
  const std::int32_t id = line->Id;
  if (OnLineDeleted) OnLineDeleted(*this, id);
  if (id >= 0) {
    DeleteLineById(id);
  } else if (data_.Measured.Item(index) == line) {
    // A line the main window never numbered shares its Id with no other.
    RemoveLines({index});
  }
}

void TBench::DeleteLineById(std::int32_t id) {
  std::vector<int> indices;
  for (int i = 0; i < data_.Measured.Count(); ++i)
    if (const TMeasuredPoints* line = data_.Measured.Item(i); line && line->Id == id) indices.push_back(i);
  RemoveLines(indices);
}

// Removes the lines at the ascending indices, keeping them in the history.
void TBench::RemoveLines(const std::vector<int>& indices) {
  TLinesChanged change{false, {}};
  for (int i : indices)
    if (const TMeasuredPoints* line = data_.Measured.Item(i)) change.Lines.emplace_back(i, TLineRecord::From(*line));
  for (auto it = change.Lines.rbegin(); it != change.Lines.rend(); ++it) data_.Measured.Delete(it->first);
  if (!change.Lines.empty()) history_.Record(std::move(change));
  Repaint(benchlayer::View);
}

int TBench::KeyboardStep(bool shift, bool ctrl, bool alt) {
  int step = shift ? 2 : 1;
  if (ctrl) step *= 5;
  if (alt) step *= 10;
  return step;
}

std::pair<int, int> TBench::ArrowStep(TArrowKey key, bool shift, bool ctrl, bool alt) {
  const int s = KeyboardStep(shift, ctrl, alt);
  switch (key) {
    case TArrowKey::Left: return {-s, 0};
    case TArrowKey::Right: return {s, 0};
    case TArrowKey::Up: return {0, -s};
    case TArrowKey::Down: return {0, s};
  }
  return {0, 0};
}

}  // namespace tracemill
