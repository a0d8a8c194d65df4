#pragma once
// Shared pieces of the bench tests: a message service that records what the
// bench says and answers as told, pictures in memory, a stand-in for the
// main window that keeps the collected lines the way the main window does,
// a bench wired to all three, and the message of a refused call.

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/uBench.h"
#include "common/uError.h"
#include "settings/uEnvironment.h"

namespace tracemill::testing {

class RecordingMessages : public TMessageService {
 public:
  TMessageResult ShowMessage(const TMessage& m) override {
    shown.push_back(m);
    if (answers.empty()) return DefaultAnswer(m);
    const TMessageResult a = answers.front();
    answers.pop_front();
    return a;
  }
  std::vector<TMessage> shown;
  std::deque<TMessageResult> answers;
};

// A w x h picture whose pixel (x, y) has the colour 0x00BBGGRR of colorOf(x, y).
template <typename F>
TBitmap MakePicture(int w, int h, F colorOf) {
  TBitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) b.SetColor(x, y, colorOf(x, y));
  return b;
}

// Pictures by path; a path that is not there does not exist, "broken*" paths
// exist but their loader fails, "alien*" paths exist without a loader.
struct MemoryPictures {
  std::map<std::string, TBitmap> pictures;

  TPictureLoader Loader() {
    return {[this](const std::string& p) { return pictures.count(p) > 0 || Starts(p, "broken") || Starts(p, "alien"); },
            [](const std::string& p) { return !Starts(p, "alien"); },
            [this](const std::string& p, TBitmap& target) {
              if (Starts(p, "broken")) throw FileError(p + ": damaged picture");
              target = pictures.at(p);
            }};
  }
  static bool Starts(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }
};

// Keeps the collected lines as the main window does: new lines get the next
// serial number, a resent line replaces its points, a restored line is taken
// up again under its own number, a deleted one goes.
struct MainWindowStub {
  std::map<std::int32_t, std::vector<std::pair<double, double>>> collected;
  std::vector<std::string> kinds;
  std::int32_t lastId = -1;

  void Attach(TBench& bench) {
    bench.OnPoint = [this](TBench&, const TMeasuredPoints& line, std::string_view kind, std::int32_t& id) {
      kinds.emplace_back(kind);
      if (id < 0) {
        id = ++lastId;
      } else if (!collected.count(id) && kind != kRestoreKind) {
        return;
      }
      auto& points = collected[id];
      points.clear();
      for (int i = 0; i < line.Count(); ++i) points.emplace_back(line[i]->ValueX, line[i]->ValueY);
    };
    bench.OnLineDeleted = [this](TBench&, std::int32_t id) { collected.erase(id); };
  }

  // The bench's lines in the same form, to compare with what was collected.
  static std::map<std::int32_t, std::vector<std::pair<double, double>>> Lines(const TBench& bench) {
    std::map<std::int32_t, std::vector<std::pair<double, double>>> lines;
    const TMeasuredList& list = bench.Data().Measured;
    for (int i = 0; i < list.Count(); ++i) {
      auto& points = lines[list[i]->Id];
      for (int j = 0; j < list[i]->Count(); ++j) points.emplace_back((*list[i])[j]->ValueX, (*list[i])[j]->ValueY);
    }
    return lines;
  }
};

// A bench over pictures in memory, answered by a stand-in main window, in a
// 400 x 300 view, in English, with the picture loaded as "/img/chart.bmp"
// unless load is false.
struct BenchFixture {
  RecordingMessages messages;
  MemoryPictures pictures;
  TIniFile store{"unused.ini"};
  std::unique_ptr<TBench> bench;
  MainWindowStub main;

  explicit BenchFixture(TBitmap picture, bool load = true) {
    SetJapanese(false);
    pictures.pictures["/img/chart.bmp"] = std::move(picture);
    bench = std::make_unique<TBench>(messages, store, pictures.Loader());
    main.Attach(*bench);
    if (load) bench->LoadImage("/img/chart.bmp");
    bench->SetClientSize(400, 300);
  }
};

// The message of the InvalidOperation that call throws, or "" when it does not.
template <typename Call>
std::string Refusal(Call&& call) {
  try {
    call();
  } catch (const InvalidOperation& e) {
    return e.what();
  }
  return "";
}

}  // namespace tracemill::testing
