// PDF documents opened by the main window's core object: one bench per page
// at the resolution setting, chosen pages, cancel and refusals.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "MakePdf.h"
#include "WorkspaceSupport.h"
#include "app/uBaseOptions.h"
#include "common/uError.h"
#include "common/uFileIO.h"
#include "common/uFilename.h"
#include "image/uPdf.h"

using namespace tracemill;
using namespace tracemill::testing;

namespace {

// A workspace with the plot written as paper.pdf, opened at 72 dpi.
struct PdfFixture : WorkspaceFixture {
  std::string plot = MakePlotPdf(), paper = folder / "paper.pdf";
  int added = 0;
  PdfFixture() {
    WriteFile(paper, plot);
    SetDpi(72);
    w.OnBenchAdded = [this](int) { ++added; };
  }
  void SetDpi(std::int32_t dpi) { store.WriteValue(basekeys::kPdfSection, basekeys::kPdfDpi, dpi); }
  std::vector<std::string> WorkFiles() const {
    std::vector<std::string> files;
    if (std::filesystem::exists(folder / "work"))
      for (const auto& e : std::filesystem::recursive_directory_iterator(folder / "work")) files.push_back(e.path());
    return files;
  }
};

}  // namespace

TEST(WorkspacePdf, OpensEveryPageOrTheChosenOnesAtTheResolutionSetting) {
  PdfFixture f;
  EXPECT_TRUE(TWorkspace::CanOpenFile("A/Paper.PDF"));
  EXPECT_EQ(f.w.PdfPageCount(f.paper), 2);
  TBench* last = f.w.OpenImageFile(f.paper, true);
  ASSERT_EQ(f.w.BenchCount(), 2);
  EXPECT_EQ(last, f.w.Bench(1));
  EXPECT_EQ(f.w.Entry(0)->FileName, "PDF00001.bmp");
  EXPECT_EQ(last->FileName(), PdfPageFolder(f.paper, f.folder / "work/", 72) + "PDF00002.bmp");
  EXPECT_EQ(f.w.Bench(0)->Picture().Width(), 288);
  EXPECT_EQ(last->Picture().Height(), 576);
  EXPECT_TRUE(f.messages.shown.empty());
  // Opened again: the same benches, the page files not written again.
  const auto written = std::filesystem::last_write_time(last->FileName());
  EXPECT_EQ(f.w.OpenImageFile(f.paper, true), last);
  EXPECT_EQ(f.w.BenchCount(), 2);
  EXPECT_EQ(std::filesystem::last_write_time(last->FileName()), written);

  // Another resolution makes pages of its own; only page 2 is asked for.
  f.SetDpi(144);
  TBench* page2 = f.w.OpenPdfFile(f.paper, true, {{1}, {}});
  ASSERT_EQ(f.w.BenchCount(), 3);
  EXPECT_EQ(page2->Picture().Width(), 864);
  EXPECT_FALSE(FileExists(ExtractFilePath(page2->FileName()) + "PDF00001.bmp"));

  // A stored resolution outside 72..1200 reads as 200; the run's own wins.
  for (const std::int32_t wrong : {71, 1201}) {
    f.SetDpi(wrong);
    EXPECT_EQ(f.w.PdfDpi(), 200) << wrong;
  }
  f.w.SetPdfDpi(1200);
  EXPECT_EQ(f.w.PdfDpi(), 1200);
  EXPECT_THROW(f.w.SetPdfDpi(71), InvalidOperation);
  TBaseOptions options = ReadBaseOptions(f.store);
  options.PdfDpi = 1201;
  EXPECT_THROW(WriteBaseOptions(f.store, options), InvalidOperation);
}

TEST(WorkspacePdf, CancelAndRefusalsLeaveEverythingAsItWas) {
  PdfFixture f;
  std::vector<std::pair<int, int>> calls;
  for (const int cancelAt : {0, 2}) {
    const auto progress = [&](int done, int total) {
      calls.emplace_back(done, total);
      return done != cancelAt;
    };
    EXPECT_EQ(f.w.OpenPdfFile(f.paper, true, {{}, progress}), nullptr);
    EXPECT_THAT(f.WorkFiles(), ::testing::IsEmpty()) << cancelAt;
  }
  EXPECT_EQ(calls.front(), std::make_pair(0, 2));
  EXPECT_EQ(calls.back(), std::make_pair(2, 2));

  WriteFile(f.folder / "garbage.pdf", "%PDF-1.4 nothing else");
  try {
    f.w.OpenImageFile(f.folder / "garbage.pdf", true);
    ADD_FAILURE() << "garbage.pdf was opened";
  } catch (const FileError& e) {
    EXPECT_THAT(e.what(), ::testing::HasSubstr("garbage.pdf"));
  }
  // Page 1 fits the limit, page 2 does not: neither opens.
  f.w.SetLimits({288 * 216 * 4});
  EXPECT_THROW(f.w.OpenImageFile(f.paper, true), FileError);
  f.w.SetLimits(DefaultImageLimits());
  EXPECT_THROW(f.w.OpenPdfFile(f.paper, true, {{2}, {}}), InvalidOperation);
  EXPECT_EQ(f.w.OpenImageFile(f.folder / "missing.pdf", true), nullptr);
  EXPECT_EQ(f.added, 0);
  EXPECT_THAT(f.WorkFiles(), ::testing::IsEmpty());
}
