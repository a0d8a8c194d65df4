#pragma once
// Collected lines and a bench list for the export and report tests.

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <stdlib.h>

#include "app/uBaseData.h"
#include "app/uExport.h"

namespace tracemill::testing {

struct TLineSpec {
  int Id = 0;
  int Window = 0;
  std::string Title;
  std::string Comment;
  std::vector<std::pair<double, double>> Points;
};

inline TBaseMeasuredList MakeData(const std::vector<TLineSpec>& specs) {
  TBaseMeasuredList data;
  for (const TLineSpec& s : specs) {
    auto line = std::make_unique<TBaseMeasuredPoints>();
    line->PointsID = s.Id;
    line->WindowID = s.Window;
    line->Title = s.Title;
    line->Comment = s.Comment;
    for (const auto& [x, y] : s.Points) line->AddPoint(x, y);
    data.Add(std::move(line));
  }
  return data;
}

// Entries of the bench list: a file name, and the image's path when the
// entry holds a live bench.
class TBenchTable : public TBenchSource {
 public:
  struct TEntry {
    std::string Name;
    std::optional<std::string> Path;
  };
  TBenchTable(std::initializer_list<TEntry> entries) : entries_(entries) {}
  int BenchCount() const override { return static_cast<int>(entries_.size()); }
  std::string EntryFileName(int window) const override { return entries_.at(static_cast<std::size_t>(window)).Name; }
  std::optional<std::string> BenchFileName(int window) const override {
    return entries_.at(static_cast<std::size_t>(window)).Path;
  }

 private:
  std::vector<TEntry> entries_;
};

// A fresh folder under the system's temporary folder, removed with everything in it.
class TTempFolder {
 public:
  TTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tm-report-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder");
    path_ = pattern + "/";
  }
  ~TTempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace tracemill::testing
