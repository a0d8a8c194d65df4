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
