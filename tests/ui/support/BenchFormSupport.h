#pragma once
// A bench window over a bench with pictures in memory, answered by a stand-in
// for the main window, as the widget tests drive it.

#include <QPoint>
#include <QtTest>
#include <memory>
#include <string>

#include "../../bench/BenchSupport.h"
#include "settings/uEnvironment.h"
#include "ui/uBench.h"
#include "ui/uBenchImage.h"

namespace tracemill::testing {

inline constexpr char kPicturePath[] = "/img/chart.bmp";

// A picture whose every pixel has a colour of its own.
inline TBitmap DistinctPicture(int w, int h) {
  return MakePicture(w, h, [](int x, int y) { return std::uint32_t(x * 7 + 1) | (std::uint32_t(y * 5 + 3) << 8) | 0x400000u; });
}

struct BenchWindow {
  RecordingMessages messages;
  MemoryPictures pictures;
  TIniFile store{"unused-settings.ini"};
  std::unique_ptr<TBench> bench;
  MainWindowStub main;
  std::unique_ptr<TBenchForm> form;

  explicit BenchWindow(bool japanese, TBitmap picture = MakePicture(200, 100, [](int, int) { return 0xFFFFFFu; })) {
    SetJapanese(japanese);
    pictures.pictures[kPicturePath] = std::move(picture);
    bench = std::make_unique<TBench>(messages, store, pictures.Loader());
    main.Attach(*bench);
    form = std::make_unique<TBenchForm>(*bench);
    form->resize(700, 520);
    form->show();
    bench->LoadImage(kPicturePath);
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QCoreApplication::sendPostedEvents();
  }

  TBenchImageArea* Area() const { return form->ImageArea(); }
  void Click(QPoint at, Qt::MouseButton button = Qt::LeftButton) { QTest::mouseClick(Area(), button, {}, at); }
};

}  // namespace tracemill::testing
