#pragma once
// Collected lines, a bench list and a scratch folder for the export and report tests.

#include <stdlib.h>

#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "app/uExport.h"
#include "support/TempFolder.h"

namespace tracemill::testing {

struct TLineSpec {
  int Id = 0, Window = 0;
  std::string Title, Comment;
  std::vector<std::pair<double, double>> Points;
};

inline TBaseMeasuredList MakeData(const std::vector<TLineSpec>& specs) {
  TBaseMeasuredList data;
  for (const TLineSpec& s : specs) {
    TBaseMeasuredPoints* line = data.Add(std::make_unique<TBaseMeasuredPoints>());
    line->PointsID = s.Id, line->WindowID = s.Window, line->Title = s.Title, line->Comment = s.Comment;
    for (const auto& [x, y] : s.Points) line->AddPoint(x, y);
  }
  return data;
}

// Entries of the bench list: a file name, and the image's path when the entry holds a live bench.
struct TBenchTable : TBenchSource {
  using TEntry = std::pair<std::string, std::optional<std::string>>;
  TBenchTable(std::initializer_list<TEntry> entries) : Entries(entries) {}
  int BenchCount() const override { return static_cast<int>(Entries.size()); }
  std::string EntryFileName(int w) const override { return Entries.at(static_cast<std::size_t>(w)).first; }
  std::optional<std::string> BenchFileName(int w) const override { return Entries.at(static_cast<std::size_t>(w)).second; }
  std::vector<TEntry> Entries;
};

}  // namespace tracemill::testing
