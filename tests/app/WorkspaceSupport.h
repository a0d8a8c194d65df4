#pragma once
// Shared pieces of the workspace tests (beside those of the bench tests):
// pictures written as BMP files, and a mirror of the list that
// a view model would keep from the workspace's row events alone.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/uWorkspace.h"
#include "bench/BenchSupport.h"
#include "image/uBmp.h"
#include "settings/uEnvironment.h"
#include "support/TempFolder.h"

namespace tracemill::testing {

class RecordingShell : public TShellService {
 public:
  bool OpenFile(const std::string& path, const std::string&) override {
    opened.push_back(path);
    return true;
  }
  bool RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string&) override {
    opened.push_back(program + " " + (arguments.empty() ? "" : arguments.front()));
    return true;
  }
  std::vector<std::string> opened;
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A white w x h picture as a BMP file.
inline void WritePicture(const std::string& path, int w = 200, int h = 100) {
  WriteFile(path, EncodeBmp(MakePicture(w, h, [](int, int) { return 0xFFFFFFu; })));
}

// The serial numbers of the collected lines in list order.
inline std::vector<std::int32_t> Serials(const TWorkspace& w) {
  std::vector<std::int32_t> s;
  for (int i = 0; i < w.Data().Count(); ++i) s.push_back(w.Data().Item(i)->PointsID);
  return s;
}

// The list as a view sees it: kept up to date only from OnRowsChanged,
// reading the rows the event names. Matches() compares it with the
// workspace's rows, so a wrong event shows as a wrong mirror.
struct ViewMirror {
  std::vector<TListRow> rows;
  int select = -1;
  std::vector<TRowsChange::TKind> kinds;

  void Attach(TWorkspace& w) {
    w.OnRowsChanged = [this, &w](const TRowsChange& c) {
      kinds.push_back(c.Kind);
      select = c.Select;
      switch (c.Kind) {
        case TRowsChange::TKind::Reset:
          rows.clear();
          for (int i = 0; i < c.Count; ++i) rows.push_back(w.Row(i));
          break;
        case TRowsChange::TKind::Inserted:
          ASSERT_LE(c.First, static_cast<int>(rows.size()));
          for (int i = 0; i < c.Count; ++i) rows.insert(rows.begin() + c.First + i, w.Row(c.First + i));
          break;
        case TRowsChange::TKind::Removed:
          ASSERT_LE(c.First + c.Count, static_cast<int>(rows.size()));
          rows.erase(rows.begin() + c.First, rows.begin() + c.First + c.Count);
          break;
        case TRowsChange::TKind::Updated:
          ASSERT_LE(c.First + c.Count, static_cast<int>(rows.size()));
          for (int i = c.First; i < c.First + c.Count; ++i) rows[static_cast<std::size_t>(i)] = w.Row(i);
          break;
      }
    };
  }
  bool Matches(const TWorkspace& w) const {
    if (static_cast<int>(rows.size()) != w.RowCount()) return false;
    for (int i = 0; i < w.RowCount(); ++i)
      if (rows[static_cast<std::size_t>(i)] != w.Row(i)) return false;
    return true;
  }
};

// A workspace on a settings file and a work folder of a temporary folder,
// in an English interface.
struct WorkspaceFixture {
  TempFolder folder;
  RecordingMessages messages;
  TIniFile store{folder / "settings.ini"};
  TWorkspace w{messages, store};
  ViewMirror view;

  WorkspaceFixture() {
    SetJapanese(false);
    w.SetWorkFolder(folder / "work");
    view.Attach(w);
  }
};

}  // namespace tracemill::testing
