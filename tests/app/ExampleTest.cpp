// The bundled example: the committed chart is what its drawing program makes
// from the known data, and the example state file, opened in a batch run,
// gives back that data to within half a pixel.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "../settings/TestSupport.h"
#include "ExampleChart.h"
#include "ProgramRun.h"
#include "common/uFileIO.h"
#include "image/uBmp.h"

using namespace tracemill;
using namespace tracemill::testing;

namespace {

const std::string kExamples = std::string(TRACEMILL_SOURCE_DIR) + "/examples/";

// The X and Y of each data row of a CSV export (columns 3 and 4).
std::vector<example::TDataPoint> CsvValues(const std::string& csv) {
  std::vector<example::TDataPoint> values;
  std::istringstream in(csv);
  std::string line;
  std::getline(in, line);  // the header
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> fields;
    std::istringstream row(line);
    for (std::string field; std::getline(row, field, ',');) fields.push_back(field);
    if (fields.size() < 5) continue;
    values.push_back({std::stod(fields[3]), std::stod(fields[4])});
  }
  return values;
}

}  // namespace

TEST(Example, CommittedChartIsWhatTheProgramDraws) {
  EXPECT_TRUE(EncodeBmp(example::DrawChart()) == ReadFileBytes(kExamples + "chart.bmp"))
      << "draw it again with make_example_chart";
  EXPECT_EQ(example::ChartDataCsv(), ReadFileBytes(kExamples + "chart-data.csv"));

  // Each data marker sits on the pixel of its values, and the plot's corners
  // are where the example state's standard points say they are.
  const TBitmap chart = DecodeBmp(ReadFileBytes(kExamples + "chart.bmp"), TImageLimits{});
  for (const auto& p : example::ChartData()) {
    const int col = static_cast<int>(std::lround(example::ColumnOf(p.X)));
    const int row = static_cast<int>(std::lround(example::RowOf(p.Y)));
    EXPECT_EQ(chart.Color(col, row), 0x2020D0u) << p.X;  // the markers' red
  }
  // The curve's ink is centred on its values in every column where only
  // the curve meets the paper (no grid line, axis or marker).
  int clean = 0;
  for (int col = example::kPlotLeft + 1; col < example::kPlotRight; ++col) {
    const double x = example::kXMin + (col - example::kPlotLeft) * (example::kXMax - example::kXMin) /
                                          (example::kPlotRight - example::kPlotLeft);
    const double row = example::RowOf(example::CurveY(x));
    double ink = 0, moment = 0;
    bool onPaper = true;
    for (int r = static_cast<int>(row) - 4; r <= static_cast<int>(row) + 5; ++r) {
      // A mix of white and the curve's blue (0xD04F1F as 0x00BBGGRR).
      const std::uint32_t c = chart.Color(col, r);
      const double share = (255.0 - (c & 0xFF)) / (255 - 0x1F);
      onPaper = onPaper && std::abs(255 - share * (255 - 0x4F) - ((c >> 8) & 0xFF)) <= 1.5 &&
                std::abs(255 - share * (255 - 0xD0) - (c >> 16)) <= 1.5;
      ink += share;
      moment += share * r;
    }
    if (!onPaper) continue;
    ++clean;
    EXPECT_NEAR(moment / ink, row, 0.1) << col;
  }
  EXPECT_GT(clean, 150);
  EXPECT_EQ(chart.Color(example::kPlotLeft, example::kPlotBottom), 0u);  // black axes
  EXPECT_EQ(chart.Color(example::kPlotRight, example::kPlotBottom), 0u);
  EXPECT_EQ(chart.Color(example::kPlotLeft, example::kPlotTop), 0u);
}

TEST(Example, StateFileGivesTheDataBackWithinHalfAPixel) {
  TScratchFolder scratch("example_state");
  const std::map<std::string, std::string> env{{"XDG_CONFIG_HOME", scratch.Path()},
                                               {"XDG_DATA_HOME", scratch.Path()}};
  const auto& data = example::ChartData();
  // As saved, and recalculated from the standard points and clicked positions.
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"--batch", "examples/example.trm", "--csv", "-"},
        std::vector<std::string>{"--batch", "examples/example.trm", "--recalculate", "--csv", "-"}}) {
    const TProgramRun run = RunProgram(arguments, env, scratch.Path());
    ASSERT_EQ(run.Status, 0) << run.Err;
    const auto values = CsvValues(run.Out);
    ASSERT_EQ(values.size(), data.size()) << run.Out;
    for (std::size_t i = 0; i < data.size(); ++i) {
      EXPECT_LE(std::abs(example::ColumnOf(values[i].X) - example::ColumnOf(data[i].X)), 0.5) << i;
      EXPECT_LE(std::abs(example::RowOf(values[i].Y) - example::RowOf(data[i].Y)), 0.5) << i;
    }
  }
}
