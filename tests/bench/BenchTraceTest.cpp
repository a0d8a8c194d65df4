// The bench's tracing commands: the line they add, how the main window hears
// of it, undo, line mode, the remembered settings and refusals.
#include <gtest/gtest.h>

#include <tuple>

#include "BenchSupport.h"
#include "bench/uColorArea.h"

using namespace tracemill;
using namespace tracemill::testing;

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF, kBlue = 0xC03010, kRed = 0x1020D0;

// A white 200 x 100 chart: a blue curve on rows 40 and 41 from x = 10 to 189
// (its centre at y = 41), and red 5 x 5 markers at x = 20, 60 .. 180, y = 70.
TBitmap Chart() {
  return MakePicture(200, 100, [](int x, int y) {
    if (y >= 70 && y < 75 && x % 40 >= 20 && x % 40 < 25) return kRed;
    return x >= 10 && x < 190 && (y == 40 || y == 41) ? kBlue : kWhite;
  });
}

struct Fixture : BenchFixture {
  explicit Fixture(bool load = true) : BenchFixture(Chart(), load) {}
  void Trace(int x, int y, TTraceKind kind, const TTraceSettings& settings = {}) {
    bench->MouseDown(x, y, TMouseButton::Right);
    bench->TraceCommand(kind, settings);
  }
};

std::tuple<int, int, int> Remembered(const TBench& bench) {
  const TTraceSettings s = bench.TraceSettings();
  return {s.Tolerance, s.StepX, s.Gap};
}

}  // namespace

TEST(BenchTrace, TracedCurveIsOneLineAtTheScaleAndOneUndoStep) {
  for (const int scaleIndex : {0, 1}) {
    Fixture f;
    f.bench->ApplySettingsText("CommentColor=True\r\n");
    f.bench->SetScaleIndex(scaleIndex);
    const int s = f.bench->Scale();
    f.bench->MouseDown(50 * s, 40 * s, TMouseButton::Right);
    const std::size_t count = f.bench->TracePreview(TTraceKind::Curve, {}).size();
    f.bench->TraceCommand(TTraceKind::Curve, {});

    // One OnPoint with every point, in units of the scale, on the curve's centre.
    ASSERT_EQ(f.main.kinds, std::vector<std::string>{"Point"});
    ASSERT_EQ(f.bench->Data().Measured.Count(), 1);
    const TMeasuredPoints& line = *f.bench->Data().Measured[0];
    EXPECT_EQ(f.main.collected.at(0), MainWindowStub::Lines(*f.bench).at(0));
    EXPECT_EQ(f.main.collected.at(0).size(), count);
    EXPECT_GT(count, 30u);
    for (int i = 0; i < line.Count(); ++i) {
      EXPECT_EQ(line[i]->Width, 200 * s);
      EXPECT_NEAR((line[i]->PosY + 0.5) / s, 41.0, 0.5 / s + 1e-9);
    }
    EXPECT_LE(line[0]->PosX / s, 12);
    EXPECT_GE(line[line.Count() - 1]->PosX / s, 187);
    EXPECT_EQ(line.Comment, ColorCode(f.bench->Picture(), 50, 40));  // as a click writes it

    // Undo takes the whole line in one step; redo brings it back under its Id.
    f.bench->Undo();
    EXPECT_TRUE(f.main.collected.empty());
    EXPECT_FALSE(f.bench->CanUndo() || f.bench->Data().Measured.Count() > 0);
    f.bench->Redo();
    EXPECT_EQ(f.main.kinds.back(), std::string(kRestoreKind));
    EXPECT_EQ(f.main.collected.at(0).size(), count);
  }
}

TEST(BenchTrace, MarkersAndLineModeAroundATrace) {
  Fixture f;
  f.Trace(22, 72, TTraceKind::Markers);
  const TMeasuredPoints& markers = *f.bench->Data().Measured[0];
  ASSERT_EQ(markers.Count(), 5);
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(std::pair(markers[i]->PosX, markers[i]->PosY), std::pair(22 + 40 * i, 72));

  // A trace ends line mode: the next click starts a line of its own. Undone,
  // line mode is back and the click continues the line being built.
  f.bench->MouseDown(30, 20, TMouseButton::Right);
  f.bench->LineCommand();
  f.Trace(80, 40, TTraceKind::Curve);
  f.bench->MouseDown(90, 90, TMouseButton::Left);
  EXPECT_EQ(f.bench->Data().Measured.Count(), 4);
  f.bench->Undo();
  f.bench->Undo();
  f.bench->MouseDown(90, 90, TMouseButton::Left);
  ASSERT_EQ(f.bench->Data().Measured.Count(), 2);
  EXPECT_EQ(f.bench->Data().Measured[1]->Count(), 2);
}

TEST(BenchTrace, SettingsAreRememberedOnlyByTheCommand) {
  Fixture f;
  EXPECT_EQ(Remembered(*f.bench), std::tuple(60, 5, 4));
  f.bench->MouseDown(50, 40, TMouseButton::Right);
  f.bench->TracePreview(TTraceKind::Curve, {30, 7, 2});
  EXPECT_EQ(Remembered(*f.bench), std::tuple(60, 5, 4));
  f.bench->TraceCommand(TTraceKind::Curve, {30, 7, 2});
  // Markers take the tolerance alone (step and gap are not even checked); a
  // refused command keeps everything; another bench starts from the store.
  f.Trace(22, 72, TTraceKind::Markers, {40, 0, -1});
  EXPECT_EQ(f.bench->Data().Measured.Count(), 2);
  EXPECT_ANY_THROW(f.bench->TraceCommand(TTraceKind::Curve, {50, 0, 3}));
  TBench other(f.messages, f.store, f.pictures.Loader());
  EXPECT_EQ(Remembered(other), std::tuple(40, 7, 2));
  // Damaged values read as their defaults.
  f.store.WriteValue("Bench\\Trace", "Tolerance", std::int32_t(300));
  f.store.WriteValue("Bench\\Trace", "Step", std::int32_t(0));
  f.store.WriteValue("Bench\\Trace", "Gap", "wide");
  EXPECT_EQ(Remembered(other), std::tuple(60, 5, 4));
}

TEST(BenchTrace, RefusalsTellWhyAndChangeNothing) {
  using K = TTraceKind;
  const struct {
    bool load;
    int x, y;  // the last mouse-down, view pixels
    TTraceKind kind;
    TTraceSettings settings;
    bool japanese;
    const char* message;
  } cases[] = {
      {true, 50, 40, K::Curve, {256, 5, 4}, false, "The color tolerance must be from 0 to 255."},
      {true, 50, 40, K::Curve, {60, 5, 101}, true, "とぎれの幅は０から１００ピクセルの範囲で指定してください。"},
      {true, 50, 150, K::Markers, {}, true, "指定した点が画像の外にあります。"},
      {false, 50, 40, K::Curve, {}, false, "There is no picture."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    Fixture f(c.load);
    const std::string stored = f.store.SaveToText();
    SetJapanese(c.japanese);
    f.bench->MouseDown(c.x, c.y, TMouseButton::Right);
    EXPECT_EQ(f.bench->Popup().TraceEnabled, c.load && c.x < 200 && c.y < 100);
    EXPECT_EQ(Refusal([&] { f.bench->TracePreview(c.kind, c.settings); }), c.message);
    EXPECT_EQ(Refusal([&] { f.bench->TraceCommand(c.kind, c.settings); }), c.message);
    EXPECT_TRUE(f.main.kinds.empty());
    EXPECT_FALSE(f.bench->CanUndo() || f.bench->Data().Measured.Count() > 0);
    EXPECT_EQ(f.store.SaveToText(), stored);
    SetJapanese(false);
  }
}

TEST(BenchTrace, LastDownSetOnAPicturePixelWhateverTheView) {
  for (const int scaleIndex : {0, 1, 2, 3}) {
    for (const bool magnified : {false, true}) {
      SCOPED_TRACE(::testing::Message() << "scale index " << scaleIndex << ", magnified " << magnified);
      Fixture f;
      f.bench->SetScaleIndex(scaleIndex);
      f.bench->SetMagnified(magnified);
      const std::int32_t s = f.bench->Scale();
      // The middle unit of the pixel, whether the view shows it, has
      // scrolled past it or starts above and left of it.
      for (const auto& [scroll, x, y] : {std::tuple(0, 199, 99), std::tuple(1 << 30, 0, 0), std::tuple(0, 0, 0),
                                        std::tuple(60 * s, 50, 40), std::tuple(1 << 30, 199, 99)}) {
        f.bench->SetScrollPosition(scroll, scroll);
        ASSERT_TRUE(f.bench->SetLastDownPixel(x, y));
        const auto [viewX, viewY] = f.bench->LastDown();
        EXPECT_EQ(f.bench->ScreenToPosition(viewX, viewY), std::pair(x * s + s / 2, y * s + s / 2)) << x;
      }
      // Outside the picture nothing changes.
      const auto before = f.bench->LastDown();
      for (const auto& [x, y] : {std::pair(200, 0), std::pair(0, 100), std::pair(-1, 5), std::pair(5, -1)})
        EXPECT_FALSE(f.bench->SetLastDownPixel(x, y)) << x << "," << y;
      EXPECT_EQ(f.bench->LastDown(), before);
    }
  }
  Fixture empty(false);
  EXPECT_FALSE(empty.bench->SetLastDownPixel(0, 0));
}
