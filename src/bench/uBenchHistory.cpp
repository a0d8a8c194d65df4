#include "bench/uBenchHistory.h"

namespace tracemill {

TLineRecord TLineRecord::From(const TMeasuredPoints& line) {
  TLineRecord r;
  r.Points.reserve(static_cast<std::size_t>(line.Count()));
  for (int i = 0; i < line.Count(); ++i)
    if (const TMeasuredPoint* p = line.Item(i)) r.Points.push_back(*p);
  r.Comment = line.Comment;
  r.Title = line.Title;
  r.Id = line.Id;
  return r;
}

std::unique_ptr<TMeasuredPoints> TLineRecord::Make() const {
  auto line = std::make_unique<TMeasuredPoints>();
  for (const TMeasuredPoint& p : Points) line->Add(std::make_unique<TMeasuredPoint>(p));
  line->Comment = Comment;
  line->Title = Title;
  line->Id = Id;
  return line;
}

void TBenchHistory::Record(TBenchChange change) {
  redo_.clear();
  undo_.push_back(std::move(change));
  while (undo_.size() > kMaxSteps) undo_.pop_front();
}

const TBenchChange* TBenchHistory::Undo() {
  if (undo_.empty()) return nullptr;
  redo_.push_back(std::move(undo_.back()));
  undo_.pop_back();
  return &redo_.back();
}

const TBenchChange* TBenchHistory::Redo() {
  if (redo_.empty()) return nullptr;
  undo_.push_back(std::move(redo_.back()));
  redo_.pop_back();
  return &undo_.back();
}

void TBenchHistory::Clear() {
  undo_.clear();
  redo_.clear();
}

}  // namespace tracemill
