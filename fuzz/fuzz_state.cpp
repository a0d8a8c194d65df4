// Arbitrary bytes as a state file, read from memory: reading ends normally,
// refuses the text as no state file, or stops with a conversion error; the
// list then answers for every row, what was read comes back whole when
// written and read again, and the text settles after that (up to the order
// of lines whose sort keys are equal).

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/uWorkspace.h"
#include "common/uError.h"
#include "settings/uEnvironment.h"

using namespace tracemill;

namespace {

void Check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "state file: %s\n", what);
    std::abort();
  }
}

struct Workspace {
  TQuietMessageService messages;
  TIniFile store{"unused.ini"};
  TWorkspace w{messages, store};
  Workspace() {
    // Pictures come from memory: every path is a small picture, no file is touched.
    w.CreateBench = [this] {
      TPictureLoader loader{[](const std::string&) { return true; }, [](const std::string&) { return true; },
                            [](const std::string&, TBitmap& target) { target = TBitmap(32, 24); }};
      return std::make_unique<TBench>(messages, store, loader);
    };
  }
  std::string Saved() {
    std::ostringstream out;
    w.SaveState(out);
    return out.str();
  }
};

// The lines of a state text with the data indexes left out, in sorted order:
// lines of equal sort keys change places on every sort, and their indexes with them.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("Data[", 0) == 0) line.erase(0, line.find(']'));
    lines.push_back(line);
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SetJapanese(false);
  Workspace first;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  bool complete = true;
  try {
    first.w.LoadState(in, "fuzz.trm");
  } catch (const FileError&) {
    Check(first.w.BenchCount() == 0 && first.w.RowCount() == 0, "a refused file changed the work");
    return 0;
  } catch (const ConvertError&) {
    complete = false;
  }
  for (int i = 0; i < first.w.RowCount(); ++i) (void)first.w.Row(i);
  (void)first.w.WindowMenu();
  first.w.ColumnClick(3, {0});
  first.w.SetSortOrder(first.w.SortItem(), first.w.SortReverse());

  const std::string written = first.Saved();
  Workspace second;
  std::istringstream again(written);
  try {
    second.w.LoadState(again, "again.trm");
  } catch (const ConvertError&) {
    // A bench text that stopped the first reading stops the second one too.
    Check(!complete, "a written state file did not read back");
    return 0;
  }
  Check(second.w.RowCount() == first.w.RowCount(), "lines lost on the way back");
  Check(second.w.BenchCount() == first.w.BenchCount(), "bench entries lost on the way back");
  // A bench may write a marker it read as a preset as its own shape once;
  // from the second writing on the text stays the same.
  const std::string rewritten = second.Saved();
  Workspace third;
  std::istringstream last(rewritten);
  third.w.LoadState(last, "last.trm");
  Check(Lines(third.Saved()) == Lines(rewritten), "the state file changed on the third reading");
  return 0;
}
