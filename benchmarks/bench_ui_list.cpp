// The main list with many collected lines: a click on a bench's picture that
// sends a new line, until the list has taken it and painted itself; and a
// click on a row of the list, until the selection is painted. Each with
// 100,000 collected lines of 5 points and, as the baseline, with 100.

#include <benchmark/benchmark.h>

#include <QDir>
#include <QMouseEvent>
#include <QTableView>
#include <QTemporaryDir>
#include <fstream>

#include "app/uWorkspace.h"
#include "bench_ui_support.h"
#include "image/uBmp.h"
#include "ui/uBase.h"

namespace {

using namespace tracemill;

class NoMessages : public TMessageService {
 public:
  TMessageResult ShowMessage(const TMessage& m) override { return DefaultAnswer(m); }
};

// A main window over `lines` collected lines and one bench on a picture file.
struct ListFixture {
  QTemporaryDir dir;
  NoMessages messages;
  TIniFile store{QDir(dir.path()).filePath("settings.ini").toStdString()};
  TWorkspace workspace{messages, store};
  TBaseForm form{workspace, store, messages};
  TBench* bench = nullptr;

  explicit ListFixture(int lines) {
    workspace.SetWorkFolder(dir.path().toStdString() + "/");
    const std::string picture = QDir(dir.path()).filePath("chart.bmp").toStdString();
    std::ofstream(picture, std::ios::binary) << EncodeBmp(TBitmap(400, 300));
    for (int i = 0; i < lines; ++i) {
      auto line = std::make_unique<TBaseMeasuredPoints>();
      for (int p = 0; p < 5; ++p) line->AddPoint((i * 7919) % 100003 + p * 0.5, i * 0.25 - p);
      line->Title = "Fig. " + std::to_string(i % 97);
      line->PointsID = i;
      workspace.AddLine(std::move(line));
    }
    workspace.SetLastPointsID(lines - 1);
    workspace.SetSortOrder("X", false);
    form.resize(800, 600);
    benchmarks::ShowExposed(form);
    bench = workspace.OpenBench(picture, false);
  }
};

void NewLineFromABench(benchmark::State& state) {
  benchmarks::OffscreenApp();
  ListFixture f(static_cast<int>(state.range(0)));
  int step = 0;
  for (auto _ : state) {
    f.bench->MouseDown(10 + step % 300, 10 + step % 200, TMouseButton::Left);
    ++step;
    f.form.List()->viewport()->repaint();
  }
  state.counters["rows"] = f.workspace.RowCount();
}

void ClickOnARow(benchmark::State& state) {
  benchmarks::OffscreenApp();
  ListFixture f(static_cast<int>(state.range(0)));
  QTableView* list = f.form.List();
  list->scrollTo(f.form.Model()->index(f.workspace.RowCount() / 2, 0));
  const int rowHeight = list->rowHeight(0);
  int step = 0;
  for (auto _ : state) {
    const QPoint at(20, rowHeight * (step % 10) + rowHeight / 2);
    ++step;
    QMouseEvent press(QEvent::MouseButtonPress, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &press);
    QApplication::sendEvent(list->viewport(), &release);
    list->viewport()->repaint();
  }
  state.counters["rows"] = f.workspace.RowCount();
}

}  // namespace

// Collected lines: 100 is the baseline.
BENCHMARK(NewLineFromABench)->Arg(100)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(ClickOnARow)->Arg(100)->Arg(100000)->Unit(benchmark::kMillisecond);
