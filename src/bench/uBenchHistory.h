#pragma once
// The undo history of a bench: every change of its data set as a record that
// can be applied backwards (undo) and forwards again (redo). The history only
// keeps the records; the bench applies them.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "bench/uCalibration.h"
#include "bench/uData.h"

namespace tracemill {

// A line as plain data, so a record can keep it after the bench dropped it.
struct TLineRecord {
  std::vector<TMeasuredPoint> Points;
  std::string Comment;
  std::string Title;
  std::int32_t Id = -1;

  static TLineRecord From(const TMeasuredPoints& line);
  std::unique_ptr<TMeasuredPoints> Make() const;
};

// A standard point set by a click (Index is its place in the list).
struct TStandardAdded {
  int Index;
  TStandardPoint Point;
};

// A standard point deleted from the list.
struct TStandardDeleted {
  int Index;
  TStandardPoint Point;
};

// A typed value stored into a standard point.
struct TStandardEdited {
  int Index;
  TStandardColumn Column;
  std::string OldText, NewText;
  double OldValue, NewValue;
};

struct TLogAxesChanged {
  bool OldX, OldY, NewX, NewY;
};

// A measured point added to a line: a new line (NewLine, appended at
// LineIndex) or the last line continued. The line's comment, title and Id
// and the bench's line mode before and after the click.
struct TPointAdded {
  int LineIndex;
  bool NewLine;
  TMeasuredPoint Point;
  std::string OldComment, NewComment;
  std::string OldTitle, NewTitle;
  std::int32_t OldId, NewId;
  bool OldLineMode, NewLineMode;
};

// Whole lines that left the list (Added false) or joined it (Added true),
// each with its index, in ascending order of index.
struct TLinesChanged {
  bool Added;
  std::vector<std::pair<int, TLineRecord>> Lines;
};

// A traced line appended at LineIndex, and the bench's line mode before it
// (a traced line ends line mode, as a click does).
struct TLineTraced {
  int LineIndex;
  TLineRecord Line;
  bool OldLineMode;
};

// Recalculated values of every point, in list order, and the Ids the lines
// had before and after.
struct TValuesRecalculated {
  std::vector<std::pair<double, double>> OldValues, NewValues;
  std::vector<std::int32_t> OldIds, NewIds;
};

using TBenchChange = std::variant<TStandardAdded, TStandardDeleted, TStandardEdited, TLogAxesChanged,
                                  TPointAdded, TLinesChanged, TLineTraced, TValuesRecalculated>;

// Two stacks of changes: Record pushes onto the undo stack and forgets what
// could be redone; Undo and Redo move the top change from one stack to the
// other. At most kMaxSteps changes are kept; the oldest go first.
class TBenchHistory {
 public:
  static constexpr std::size_t kMaxSteps = 1000;

  void Record(TBenchChange change);
  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  std::size_t UndoCount() const { return undo_.size(); }
  // Moves the newest change to the redo stack and returns it (valid until the
  // next call); null when there is none.
  const TBenchChange* Undo();
  const TBenchChange* Redo();
  void Clear();

 private:
  std::deque<TBenchChange> undo_;
  std::deque<TBenchChange> redo_;
};

}  // namespace tracemill
