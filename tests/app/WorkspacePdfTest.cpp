// PDF documents opened by the main window's core object: one bench per page
// at the resolution setting, chosen pages, cancel and refusals.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
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
using ::testing::HasSubstr;

namespace {

const std::string& PlotPdf() {
  static const std::string bytes = MakePlotPdf();
  return bytes;
}

// A workspace with the plot written as paper.pdf and the resolution stored.
struct PdfFixture : WorkspaceFixture {
  std::string paper = folder / "paper.pdf";
  int added = 0;
  explicit PdfFixture(int dpi = 72) {
    WriteFile(paper, PlotPdf());
    store.WriteValue(basekeys::kPdfSection, basekeys::kPdfDpi, std::int32_t{dpi});
    w.OnBenchAdded = [this](int) { ++added; };
  }
};

std::vector<std::string> FilesBelow(const std::string& folder) {
  std::vector<std::string> files;
  if (!std::filesystem::exists(folder)) return files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) files.push_back(entry.path());
  return files;
}

}  // namespace

TEST(WorkspacePdf, OpensEveryPageOrTheChosenOnesAsBenchesAtTheSetting) {
  PdfFixture f;
  EXPECT_TRUE(TWorkspace::IsPdfFile("A/Paper.PDF"));
  EXPECT_TRUE(TWorkspace::CanOpenFile("paper.pdf"));
  EXPECT_FALSE(TWorkspace::IsPdfFile("paper.pdf.bmp"));
  EXPECT_EQ(f.w.PdfPageCount(f.paper), 2);

  TBench* last = f.w.OpenImageFile(f.paper, true);
  ASSERT_EQ(f.w.BenchCount(), 2);
  EXPECT_EQ(last, f.w.Bench(1));
  EXPECT_EQ(f.added, 2);
  EXPECT_EQ(f.w.Entry(0)->FileName, "PDF00001.bmp");
  EXPECT_EQ(f.w.Entry(1)->FileName, "PDF00002.bmp");
  const std::string pages = PdfPageFolder(f.paper, f.folder / "work/", 72);
  EXPECT_EQ(last->FileName(), pages + "PDF00002.bmp");
  EXPECT_EQ(f.w.Bench(0)->Picture().Width(), 288);
  EXPECT_EQ(f.w.Bench(1)->Picture().Height(), 576);
  EXPECT_TRUE(f.messages.shown.empty());

  // Opened again: the same benches, the page files as they were.
  const auto written = std::filesystem::last_write_time(last->FileName());
  EXPECT_EQ(f.w.OpenImageFile(f.paper, true), last);
  EXPECT_EQ(f.w.BenchCount(), 2);
  EXPECT_EQ(std::filesystem::last_write_time(last->FileName()), written);

  // Another resolution makes other page files; only page 2 is asked for.
  f.store.WriteValue(basekeys::kPdfSection, basekeys::kPdfDpi, std::int32_t{144});
  TBench* page2 = f.w.OpenPdfFile(f.paper, true, {{1}, {}});
  ASSERT_NE(page2, nullptr);
  EXPECT_EQ(f.w.BenchCount(), 3);
  EXPECT_EQ(page2->Picture().Width(), 864);
  EXPECT_EQ(page2->Picture().Height(), 1152);
  EXPECT_EQ(ExtractFilePath(page2->FileName()), PdfPageFolder(f.paper, f.folder / "work/", 144));
  EXPECT_EQ(FileExists(PdfPageFolder(f.paper, f.folder / "work/", 144) + "PDF00001.bmp"), false);
  // The red line at 288 points from the top lies within half a pixel of row 576.
  double sum = 0, weight = 0;
  for (int y = 0; y < page2->Picture().Height(); ++y) {
    const std::uint32_t argb = page2->Picture().Pixel(400, y);
    const double redness = ((argb >> 16) & 0xFF) - ((argb >> 8) & 0xFF);
    if (redness > 0) sum += (y + 0.5) * redness, weight += redness;
  }
  ASSERT_GT(weight, 0);
  EXPECT_NEAR(sum / weight, 576.0, 0.5);
}

TEST(WorkspacePdf, ResolutionComesFromTheSettingOrTheRun) {
  PdfFixture f(300);
  EXPECT_EQ(f.w.PdfDpi(), 300);
  for (const std::int32_t wrong : {71, 1201, 0, -5}) {
    f.store.WriteValue(basekeys::kPdfSection, basekeys::kPdfDpi, wrong);
    EXPECT_EQ(f.w.PdfDpi(), kPdfDefaultDpi) << wrong;
  }
  f.store.WriteValue(basekeys::kPdfSection, basekeys::kPdfDpi, std::string_view("many"));
  EXPECT_EQ(f.w.PdfDpi(), kPdfDefaultDpi);
  f.w.SetPdfDpi(1200);
  f.store.WriteValue(basekeys::kPdfSection, basekeys::kPdfDpi, std::int32_t{72});
  EXPECT_EQ(f.w.PdfDpi(), 1200);  // the run's resolution wins over the setting
  EXPECT_THROW(f.w.SetPdfDpi(71), InvalidOperation);
  EXPECT_THROW(f.w.SetPdfDpi(1201), InvalidOperation);
  EXPECT_EQ(f.w.PdfDpi(), 1200);
}

TEST(WorkspacePdf, CancelLeavesEverythingAsItWas) {
  PdfFixture f;
  std::vector<std::pair<int, int>> calls;
  for (const int cancelAt : {0, 1, 2}) {
    TWorkspace::TPdfOpenRequest request;
    request.Progress = [&](int done, int total) {
      calls.emplace_back(done, total);
      return done != cancelAt;
    };
    EXPECT_EQ(f.w.OpenPdfFile(f.paper, true, request), nullptr) << cancelAt;
    EXPECT_EQ(f.w.BenchCount(), 0);
    EXPECT_EQ(f.added, 0);
    EXPECT_THAT(FilesBelow(f.folder / "work"), ::testing::IsEmpty()) << cancelAt;
  }
  EXPECT_EQ(calls.front(), std::make_pair(0, 2));
  EXPECT_EQ(calls.back(), std::make_pair(2, 2));
  // Pages written before stay when a later open is cancelled.
  f.w.OpenPdfFile(f.paper, true, {{0}, {}});
  ASSERT_EQ(f.w.BenchCount(), 1);
  const std::vector<std::string> before = FilesBelow(f.folder / "work");
  EXPECT_EQ(f.w.OpenPdfFile(f.paper, true, {{}, [](int done, int) { return done < 2; }}), nullptr);
  EXPECT_EQ(f.w.BenchCount(), 1);
  EXPECT_EQ(FilesBelow(f.folder / "work"), before);
}

TEST(WorkspacePdf, UnusableDocumentsOpenNothing) {
  PdfFixture f;
  const std::string& plot = PlotPdf();
  const std::string encrypted = f.folder / "locked.pdf";
  ASSERT_EQ(std::system(("qpdf --encrypt user owner 256 -- " + f.paper + " " + encrypted).c_str()), 0);
  const struct {
    const char* name;
    std::string bytes;
    std::vector<std::string> parts;
  } cases[] = {
      {"half.pdf", plot.substr(0, plot.size() / 2), {"half.pdf", "incomplete"}},
      {"garbage.pdf", "%PDF-1.4 nothing else", {"garbage.pdf"}},
      {"locked.pdf", ReadFileBytes(encrypted), {"password"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = f.folder / c.name;
    WriteFile(path, c.bytes);
    std::string message;
    try {
      f.w.OpenImageFile(path, true);
    } catch (const FileError& e) {
      message = e.what();
    }
    for (const std::string& part : c.parts) EXPECT_THAT(message, HasSubstr(part));
    EXPECT_THROW(f.w.PdfPageCount(path), FileError);
  }
  // Page 1 fits the limit, page 2 (432 x 576 points) does not: neither opens.
  f.w.SetLimits({288 * 216 * 4});
  try {
    f.w.OpenImageFile(f.paper, true);
    ADD_FAILURE() << "a page past the limit was opened";
  } catch (const FileError& e) {
    EXPECT_THAT(e.what(), HasSubstr("Page 2 of"));
  }
  f.w.SetLimits(DefaultImageLimits());
  EXPECT_THROW(f.w.OpenPdfFile(f.paper, true, {{2}, {}}), InvalidOperation);
  EXPECT_EQ(f.w.OpenImageFile(f.folder / "missing.pdf", true), nullptr);
  EXPECT_EQ(f.w.BenchCount(), 0);
  EXPECT_EQ(f.added, 0);
  EXPECT_THAT(FilesBelow(f.folder / "work"), ::testing::IsEmpty());
}
