// Writes the example chart and its data:
//   make_example_chart CHART.bmp DATA.csv
#include <exception>
#include <iostream>

#include "ExampleChart.h"
#include "common/uFileIO.h"
#include "image/uBmp.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "Usage: make_example_chart CHART.bmp DATA.csv\n";
    return 2;
  }
  try {
    tracemill::WriteFileAtomic(argv[1], tracemill::EncodeBmp(tracemill::example::DrawChart()));
    tracemill::WriteFileAtomic(argv[2], tracemill::example::ChartDataCsv());
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  return 0;
}
