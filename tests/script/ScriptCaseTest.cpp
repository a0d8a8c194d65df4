// Runs every report program under tests/script/cases (and under the folder
// named by TRACEMILL_SCRIPT_CASES) and checks the expectations written in its
// comments:
//   ' expect: TEXT                    one per printed line, in order
//   ' expect error: MESSAGE           the run-time error (several lines are
//                                     joined with CR LF)
//   ' expect line: N                  the next-line number after the error
//   ' expect structure error: MESSAGE the compile error
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "ScriptTestSupport.h"
#include "common/uFileIO.h"

namespace tracemill {
namespace {

namespace fs = std::filesystem;

[[maybe_unused]] const char* const kCaseSet = TRACEMILL_SCRIPT_CASE_SET;

struct TCaseFile {
  std::string Name;  // the test name
  std::string Path;
};

// Adds the .bas files under root, named by their relative paths.
void Collect(const fs::path& root, const std::string& prefix, std::vector<TCaseFile>& out) {
  std::error_code ec;  // a missing folder adds nothing
  for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    if (!it->is_regular_file() || it->path().extension() != ".bas") continue;
    std::string name = prefix + fs::relative(it->path(), root).replace_extension().string();
    for (char& c : name)
      if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    out.push_back({name, it->path().string()});
  }
}

std::vector<TCaseFile> CaseFiles() {
  std::vector<TCaseFile> files;
  Collect(fs::path(TRACEMILL_SOURCE_DIR) / "tests/script/cases", "", files);
  if (const char* extra = std::getenv("TRACEMILL_SCRIPT_CASES"); extra && *extra)
    Collect(fs::path(extra), "extra_", files);
  std::sort(files.begin(), files.end(), [](const TCaseFile& a, const TCaseFile& b) { return a.Name < b.Name; });
  // Names must be unique for GoogleTest; a clash gets a number.
  for (std::size_t i = 1; i < files.size(); ++i)
    if (files[i].Name == files[i - 1].Name) files[i].Name += "_" + std::to_string(i);
  if (files.empty()) files.push_back({"none", ""});
  return files;
}

struct TExpectations {
  std::vector<std::string> Printed;
  std::string Error;  // "" when the run must end without error
  bool HasError = false;
  int Line = -1;
  std::string StructureError;
};

bool After(const std::string& line, const std::string& key, std::string& value) {
  const std::string t = TrimLeft(line);
  if (t.rfind(key, 0) != 0) return false;
  value = t.substr(key.size());
  if (!value.empty() && value[0] == ' ') value.erase(0, 1);
  while (!value.empty() && value.back() == '\r') value.pop_back();
  return true;
}

TExpectations ReadExpectations(const std::string& text) {
  TExpectations e;
  std::istringstream lines(text);
  std::string line, v;
  while (std::getline(lines, line)) {
    if (After(line, "' expect:", v)) {
      e.Printed.push_back(v);
    } else if (After(line, "' expect error:", v)) {
      e.Error += (e.HasError ? "\r\n" : "") + v;
      e.HasError = true;
    } else if (After(line, "' expect line:", v)) {
      e.Line = std::atoi(v.c_str());
    } else if (After(line, "' expect structure error:", v)) {
      e.StructureError = "structure: " + v;
    }
  }
  return e;
}

void PrintTo(const TCaseFile& file, std::ostream* os) { *os << file.Path; }

class ScriptCase : public ::testing::TestWithParam<TCaseFile> {};

TEST_P(ScriptCase, RunsAsExpected) {
  const TCaseFile& file = GetParam();
  if (file.Path.empty()) GTEST_SKIP() << "no case files";
  const std::string text = ReadFileBytes(file.Path);
  const TExpectations expect = ReadExpectations(text);

  testing::TRunner r;
  const std::string message = r.Run(text);
  if (!expect.StructureError.empty()) {
    EXPECT_EQ(message, expect.StructureError) << file.Path;
    return;
  }
  EXPECT_EQ(r.Printed, expect.Printed) << file.Path;
  EXPECT_EQ(r.Calc.HasError(), expect.HasError) << file.Path;
  EXPECT_EQ(message, expect.Error) << file.Path << " (next line " << r.Calc.NextLine() << ")";
  if (expect.Line >= 0) {
    EXPECT_EQ(r.Calc.NextLine(), expect.Line) << file.Path;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ScriptCase, ::testing::ValuesIn(CaseFiles()),
                         [](const ::testing::TestParamInfo<TCaseFile>& info) { return info.param.Name; });

}  // namespace
}  // namespace tracemill
