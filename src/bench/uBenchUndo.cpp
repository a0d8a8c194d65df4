// Undo and redo: a recorded change applied backwards or forwards, raising the
// events the change itself raised, so that the main window's collected list
// follows the bench.

#include <algorithm>
#include <set>

#include "bench/uBench.h"

namespace tracemill {

namespace {

template <typename... F>
struct Overloaded : F... {
  using F::operator()...;
};
template <typename... F>
Overloaded(F...) -> Overloaded<F...>;

// Puts item at index (or at the end when index is past it).
template <typename T>
void InsertAt(TOwningList<T>& list, int index, std::unique_ptr<T> item) {
  const int count = list.Count();
  list.Add(std::move(item));
  if (index < 0 || index >= count) return;
  std::vector<int> order;
  order.reserve(static_cast<std::size_t>(count) + 1);
  for (int i = 0; i < index; ++i) order.push_back(i);
  order.push_back(count);
  for (int i = index; i < count; ++i) order.push_back(i);
  list.Reorder(order);
}

}  // namespace

void TBench::Undo() {
  const TBenchChange* change = history_.Undo();
  if (!change) return;
  const TBenchChange copy = *change;  // events may record new changes meanwhile
  ApplyChange(copy, false);
}

void TBench::Redo() {
  const TBenchChange* change = history_.Redo();
  if (!change) return;
  const TBenchChange copy = *change;
  ApplyChange(copy, true);
}

// A line came back or changed: the main window takes it up under its Id.
void TBench::RestoreLine(int index) {
  TMeasuredPoints* line = data_.Measured.Item(index);
  if (!line) return;
  const std::int32_t id = SendLine(*line, kRestoreKind);
  if (data_.Measured.Item(index) == line) line->Id = id;
}

// Lines leave: the main window hears of each Id once, before they go.
void TBench::DropLines(const std::vector<int>& indices) {
  std::set<std::int32_t> told;
  for (int i : indices)
    if (const TMeasuredPoints* line = data_.Measured.Item(i); line && told.insert(line->Id).second && OnLineDeleted)
      OnLineDeleted(*this, line->Id);
  for (auto it = indices.rbegin(); it != indices.rend(); ++it) data_.Measured.Delete(*it);
}

void TBench::ApplyPointAdded(const TPointAdded& c, bool forward) {
  TMeasuredList& lines = data_.Measured;
  if (c.NewLine && forward) {
    const TLineRecord record{{c.Point}, c.NewComment, c.NewTitle, c.NewId};
    const int index = std::min(c.LineIndex, lines.Count());
    InsertAt(lines, index, record.Make());
    RestoreLine(index);
  } else if (c.NewLine) {
    DropLines({c.LineIndex});
  } else if (TMeasuredPoints* line = lines.Item(c.LineIndex)) {
    if (forward)
      line->Add(std::make_unique<TMeasuredPoint>(c.Point));
    else
      line->Delete(line->Count() - 1);
    line->Comment = forward ? c.NewComment : c.OldComment;
    line->Title = forward ? c.NewTitle : c.OldTitle;
    line->Id = forward ? c.NewId : c.OldId;
    RestoreLine(c.LineIndex);
  }
  lineMode_ = forward ? c.NewLineMode : c.OldLineMode;
  Repaint(benchlayer::View);
}

void TBench::ApplyLinesChanged(const TLinesChanged& c, bool forward) {
  if (c.Added == forward) {
    for (const auto& [index, record] : c.Lines) InsertAt(data_.Measured, index, record.Make());
    for (const auto& entry : c.Lines) RestoreLine(entry.first);
  } else {
    std::vector<int> indices;
    for (const auto& entry : c.Lines) indices.push_back(entry.first);
    DropLines(indices);
  }
  Repaint(benchlayer::View);
}

void TBench::ApplyLineTraced(const TLineTraced& c, bool forward) {
  if (forward) {
    const int index = std::min(c.LineIndex, data_.Measured.Count());
    InsertAt(data_.Measured, index, c.Line.Make());
    RestoreLine(index);
  } else {
    DropLines({c.LineIndex});
  }
  lineMode_ = forward ? false : c.OldLineMode;
  Repaint(benchlayer::View);
}

void TBench::ApplyRecalculated(const TValuesRecalculated& c, bool forward) {
  TMeasuredList& lines = data_.Measured;
  const auto& values = forward ? c.NewValues : c.OldValues;
  const auto& ids = forward ? c.NewIds : c.OldIds;
  std::size_t points = 0;
  for (int i = 0; i < lines.Count(); ++i)
    if (const TMeasuredPoints* line = lines.Item(i)) points += static_cast<std::size_t>(line->Count());
  // Only a list of the recorded shape takes the values back.
  if (points != values.size() || ids.size() != static_cast<std::size_t>(lines.Count())) return;
  std::size_t v = 0;
  for (int i = 0; i < lines.Count(); ++i) {
    TMeasuredPoints* line = lines.Item(i);
    if (!line) continue;
    for (int j = 0; j < line->Count(); ++j, ++v) {
      line->Item(j)->ValueX = values[v].first;
      line->Item(j)->ValueY = values[v].second;
    }
    line->Id = ids[static_cast<std::size_t>(i)];
  }
  for (int i = 0; i < lines.Count(); ++i) RestoreLine(i);
}

void TBench::ApplyChange(const TBenchChange& change, bool forward) {
  TStandardList& standards = data_.Standards;
  // Standard points: one point comes or goes.
  auto standardPoint = [&](int index, const TStandardPoint& point, bool add) {
    if (add)
      InsertAt(standards, index, std::make_unique<TStandardPoint>(point));
    else
      standards.Delete(index);
    Repaint(benchlayer::View | benchlayer::StandardPanel);
  };
  std::visit(Overloaded{
                 [&](const TStandardAdded& c) { standardPoint(c.Index, c.Point, forward); },
                 [&](const TStandardDeleted& c) { standardPoint(c.Index, c.Point, !forward); },
                 [&](const TStandardEdited& c) {
                   if (TStandardPoint* p = standards.Item(c.Index)) {
                     const bool isX = c.Column == TStandardColumn::X;
                     (isX ? p->TextX : p->TextY) = forward ? c.NewText : c.OldText;
                     (isX ? p->ValueX : p->ValueY) = forward ? c.NewValue : c.OldValue;
                   }
                   Repaint(benchlayer::StandardPanel);
                 },
                 [&](const TLogAxesChanged& c) {
                   standards.LogX = forward ? c.NewX : c.OldX;
                   standards.LogY = forward ? c.NewY : c.OldY;
                   Repaint(benchlayer::StandardPanel);
                 },
                 [&](const TPointAdded& c) { ApplyPointAdded(c, forward); },
                 [&](const TLinesChanged& c) { ApplyLinesChanged(c, forward); },
                 [&](const TLineTraced& c) { ApplyLineTraced(c, forward); },
                 [&](const TValuesRecalculated& c) { ApplyRecalculated(c, forward); },
             },
             change);
}

}  // namespace tracemill
