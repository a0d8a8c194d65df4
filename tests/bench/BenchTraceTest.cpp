// The bench's tracing commands: the line they add, how the main window hears
// of it, undo and redo, the remembered settings, the preview and refusals.
#include <gtest/gtest.h>

#include <cmath>

#include "BenchSupport.h"
#include "bench/uColorArea.h"
#include "settings/uEnvironment.h"

using namespace tracemill;
using namespace tracemill::testing;

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF, kBlue = 0xC03010, kRed = 0x1020D0;

// A white 200 x 100 chart: a blue curve two pixels thick on rows 40 and 41
// from x = 10 to 189 (its centre at y = 41), and five red 5 x 5 markers.
bool InMarker(int x, int y) {
  for (int mx : {20, 60, 100, 140, 180})
    if (x >= mx && x < mx + 5 && y >= 70 && y < 75) return true;
  return false;
}
TBitmap Chart() {
  return MakePicture(200, 100, [](int x, int y) {
    if (InMarker(x, y)) return kRed;
    return x >= 10 && x < 190 && (y == 40 || y == 41) ? kBlue : kWhite;
  });
}

struct Fixture : BenchFixture {
  explicit Fixture(bool load = true) : BenchFixture(Chart(), load) {}
  // The popup opens at view pixel (x, y).
  void RightClick(int x, int y) {
    EXPECT_EQ(bench->MouseDown(x, y, TMouseButton::Right), TRightAction::Popup);
  }
};

}  // namespace

TEST(BenchTrace, TracedCurveIsOneLineAtTheScaleAndOneUndoStep) {
  for (const int scaleIndex : {0, 1}) {
    Fixture f;
    f.bench->ApplySettingsText("CommentColor=True\r\n");
    f.bench->SetScaleIndex(scaleIndex);
    const int s = f.bench->Scale();
    f.RightClick(50 * s, 40 * s);
    const std::vector<TTracePoint> preview = f.bench->TracePreview(TTraceKind::Curve, {});
    f.bench->TraceCommand(TTraceKind::Curve, {});

    // One OnPoint with every point; the line keeps the Id it was given.
    ASSERT_EQ(f.main.kinds, std::vector<std::string>{"Point"});
    ASSERT_EQ(f.bench->Data().Measured.Count(), 1);
    const TMeasuredPoints& line = *f.bench->Data().Measured[0];
    EXPECT_EQ(line.Id, 0);
    ASSERT_EQ(line.Count(), int(preview.size()));
    EXPECT_EQ(f.main.collected.at(0), MainWindowStub::Lines(*f.bench).at(0));
    EXPECT_GT(line.Count(), 30);
    // Positions in units of the scale, on the curve's centre; values 1-based pixels.
    for (int i = 0; i < line.Count(); ++i) {
      const TMeasuredPoint& p = *line[i];
      EXPECT_EQ(p.Width, 200 * s);
      EXPECT_NEAR((p.PosY + 0.5) / s, 41.0, 0.5 / s + 1e-9);
      EXPECT_NEAR(p.ValueX, (p.PosX + 0.5) / s + 0.5, 1e-9);
    }
    EXPECT_LE(line[0]->PosX / s, 12);
    EXPECT_GE(line[line.Count() - 1]->PosX / s, 187);
    // The comment is the clicked pixel's, as for a click.
    EXPECT_EQ(line.Comment, ColorCode(f.bench->Picture(), 50, 40));
    EXPECT_EQ(line.Title, "chart.bmp");

    // Undo takes the whole line in one step; redo brings it back under its Id.
    f.bench->Undo();
    EXPECT_EQ(f.bench->Data().Measured.Count(), 0);
    EXPECT_TRUE(f.main.collected.empty());
    EXPECT_FALSE(f.bench->CanUndo());
    f.bench->Redo();
    ASSERT_EQ(f.bench->Data().Measured.Count(), 1);
    EXPECT_EQ(f.main.kinds.back(), std::string(kRestoreKind));
    EXPECT_EQ(f.main.collected.at(0).size(), preview.size());
  }
}

TEST(BenchTrace, MarkersAndLineModeAroundATrace) {
  Fixture f;
  f.RightClick(22, 72);
  f.bench->TraceCommand(TTraceKind::Markers, {});
  ASSERT_EQ(f.bench->Data().Measured.Count(), 1);
  const TMeasuredPoints& markers = *f.bench->Data().Measured[0];
  ASSERT_EQ(markers.Count(), 5);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(markers[i]->PosX, 22 + 40 * i);
    EXPECT_EQ(markers[i]->PosY, 72);
  }

  // A trace ends line mode: the next click starts a line of its own. Undone,
  // line mode is back and the click continues the line being built.
  f.RightClick(30, 20);
  f.bench->LineCommand();  // line 1: one point, line mode on
  f.RightClick(80, 40);
  f.bench->TraceCommand(TTraceKind::Curve, {});  // line 2
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
  auto same = [](const TTraceSettings& a, const TTraceSettings& b) {
    return a.Tolerance == b.Tolerance && a.StepX == b.StepX && a.Gap == b.Gap;
  };
  EXPECT_TRUE(same(f.bench->TraceSettings(), {60, 5, 4}));
  f.RightClick(50, 40);
  f.bench->TracePreview(TTraceKind::Curve, {30, 7, 2});
  EXPECT_TRUE(same(f.bench->TraceSettings(), {60, 5, 4}));
  f.bench->TraceCommand(TTraceKind::Curve, {30, 7, 2});
  EXPECT_TRUE(same(f.bench->TraceSettings(), {30, 7, 2}));
  // Markers keep the step and gap; a refused command keeps everything.
  f.RightClick(22, 72);
  f.bench->TraceCommand(TTraceKind::Markers, {40, 1, 0});
  EXPECT_TRUE(same(f.bench->TraceSettings(), {40, 7, 2}));
  EXPECT_FALSE(Refusal([&] { f.bench->TraceCommand(TTraceKind::Curve, {50, 0, 3}); }).empty());
  EXPECT_TRUE(same(f.bench->TraceSettings(), {40, 7, 2}));
  // Another bench on the same store starts from them; damaged values read as defaults.
  TBench other(f.messages, f.store, f.pictures.Loader());
  EXPECT_TRUE(same(other.TraceSettings(), {40, 7, 2}));
  f.store.WriteValue("Bench\\Trace", "Tolerance", std::int32_t(300));
  f.store.WriteValue("Bench\\Trace", "Step", std::int32_t(0));
  f.store.WriteValue("Bench\\Trace", "Gap", "wide");
  EXPECT_TRUE(same(other.TraceSettings(), {60, 5, 4}));
}

TEST(BenchTrace, PreviewIsDrawnAndChangesNothing) {
  Fixture f;
  f.RightClick(22, 72);
  const std::vector<TTracePoint> points = f.bench->TracePreview(TTraceKind::Markers, {});
  ASSERT_EQ(points.size(), 5u);
  EXPECT_NEAR(points[2].X, 102.5, 1e-9);
  EXPECT_NEAR(points[2].Y, 72.5, 1e-9);
  f.bench->SetPreview(points);
  TViewGeometry g = f.bench->ViewGeometry();
  ASSERT_EQ(g.Preview.size(), 1u);
  EXPECT_EQ(g.Preview[0].Markers.size(), 5u);
  EXPECT_EQ(g.Preview[0].Markers[2].Left, 100);  // the marker reaches 2 units each side
  EXPECT_TRUE(g.Lines.empty());
  EXPECT_TRUE(f.main.kinds.empty());
  EXPECT_FALSE(f.bench->CanUndo());
  EXPECT_EQ(f.bench->Data().Measured.Count(), 0);
  f.bench->ClearPreview();
  EXPECT_FALSE(f.bench->HasPreview());
  EXPECT_TRUE(f.bench->ViewGeometry().Preview.empty());
}

TEST(BenchTrace, RefusalsTellWhyAndChangeNothing) {
  const struct {
    bool load;
    int x, y;  // the last mouse-down, view pixels
    TTraceKind kind;
    TTraceSettings settings;
    bool japanese;
    const char* message;
  } cases[] = {
      {true,
       50,
       40,
       TTraceKind::Curve,
       {256, 5, 4},
       false,
       "The color tolerance must be from 0 to 255."},
      {true,
       22,
       72,
       TTraceKind::Markers,
       {-1, 5, 4},
       false,
       "The color tolerance must be from 0 to 255."},
      {true,
       50,
       40,
       TTraceKind::Curve,
       {60, 0, 4},
       false,
       "The X step must be from 1 to 1000 pixels."},
      {true,
       50,
       40,
       TTraceKind::Curve,
       {60, 5, 101},
       true,
       "とぎれの幅は０から１００ピクセルの範囲で指定してください。"},
      {true, 250, 40, TTraceKind::Curve, {}, false, "The starting point is outside the picture."},
      {true, 50, 150, TTraceKind::Markers, {}, true, "指定した点が画像の外にあります。"},
      {false, 50, 40, TTraceKind::Curve, {}, false, "There is no picture."},
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
    EXPECT_EQ(f.bench->Data().Measured.Count(), 0);
    EXPECT_TRUE(f.main.kinds.empty());
    EXPECT_FALSE(f.bench->CanUndo());
    EXPECT_EQ(f.store.SaveToText(), stored);
    SetJapanese(false);
  }
  // Markers ignore the step and gap.
  Fixture f;
  f.RightClick(22, 72);
  EXPECT_EQ(f.bench->TracePreview(TTraceKind::Markers, {60, 0, -1}).size(), 5u);
}

TEST(BenchTrace, CurveOfMoreThanTheLimitIsRefused) {
  Fixture f;
  const int width = kMaxTracePoints + 10;
  f.pictures.pictures["/img/long.bmp"] =
      MakePicture(width, 3, [](int, int y) { return y == 1 ? kBlue : kWhite; });
  f.bench->LoadImage("/img/long.bmp");
  f.RightClick(5, 1);
  EXPECT_EQ(Refusal([&] {
              f.bench->TraceCommand(TTraceKind::Curve, {60, 1, 4});
            }),
            "The curve gives more than 100000 points. Use a larger X step.");
  EXPECT_EQ(f.bench->Data().Measured.Count(), 0);
  f.bench->TraceCommand(TTraceKind::Curve, {60, 2, 4});
  EXPECT_GT(f.bench->Data().Measured[0]->Count(), kMaxTracePoints / 2);
}

TEST(BenchTrace, MenusOfferTracingOutsideStandardMode) {
  Fixture f;
  EXPECT_TRUE(f.bench->MenuState().TraceEnabled);
  EXPECT_EQ(f.bench->Popup().TraceCaption, "Trace curve");
  EXPECT_EQ(f.bench->Popup().MarkersCaption, "Find markers");
  EXPECT_EQ(TBench::TraceCaption(TTraceKind::Curve, true), "曲線トレース");
  EXPECT_EQ(TBench::TraceCaption(TTraceKind::Markers, true), "マーカー検出");
  f.bench->SetStandardMode(true);
  EXPECT_FALSE(f.bench->MenuState().TraceEnabled);
  EXPECT_FALSE(Fixture(false).bench->MenuState().TraceEnabled);
}
