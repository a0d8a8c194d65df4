// PDF pages as pictures: rendering, refusals and the split into BMP files.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "MakePdf.h"
#include "TestImages.h"
#include "common/uError.h"
#include "common/uFileIO.h"
#include "image/uBitmap.h"
#include "image/uBmp.h"
#include "image/uPdf.h"

namespace fs = std::filesystem;
using namespace tracemill;
using namespace tracemill::testing;

namespace {

const std::string& PlotPdf() {
  static const std::string bytes = MakePlotPdf();
  return bytes;
}

// The plot with a few bytes in the middle of page 2's compressed drawing
// instructions changed.
std::string WithDamagedPage2() {
  std::string pdf = PlotPdf();
  const std::size_t page2 =
      pdf.find("/Contents ", pdf.find("/Type /Page\n", pdf.find("/Type /Page\n") + 1));
  const std::string object = "\n" + std::to_string(std::atoi(pdf.c_str() + page2 + 10)) + " 0 obj";
  const std::size_t data = pdf.find("stream", pdf.find(object)) + 7,
                    end = pdf.find("endstream", data);
  for (std::size_t i = 0; i < 4; ++i) pdf[(data + end) / 2 + i] ^= 0x5A;
  return pdf;
}

// A page whose pattern of ever so small tiles keeps the library drawing for
// minutes (no cross-reference table: the library rebuilds it).
const char kEndlessPdf[] =
    "%PDF-1.4\n1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\n"
    "2 0 obj << /Type /Pages /Kids [3 0 R] /Count 1 >> endobj\n"
    "3 0 obj << /Type /Page /Parent 2 0 R /MediaBox [0 0 100 60] /Resources << /Pattern << /P1 4 0 "
    "R >> >> "
    "/Contents 5 0 R >> endobj\n"
    "4 0 obj << /PatternType 1 /PaintType 1 /TilingType 1 /BBox [0 0 1 1] /XStep 0.001 /YStep "
    "0.001 "
    "/Resources << >> /Length 12 >> stream\n0 0 1 1 re f\nendstream endobj\n"
    "5 0 obj << /Length 35 >> stream\n/Pattern cs /P1 scn 0 0 100 60 re f\nendstream endobj\n"
    "trailer << /Root 1 0 R >>\n%%EOF\n";

// The plot passed through qpdf with the given arguments ("" when it fails).
std::string Qpdf(const TempFolder& temp, const std::string& arguments) {
  const std::string in = temp.File("qpdf-in.pdf", PlotPdf()), out = temp / "qpdf-out.pdf";
  if (std::system(("qpdf " + arguments + " " + in + " " + out).c_str()) != 0) return "";
  return ReadFileBytes(out);
}

int Px(double points, int dpi) { return int(points * dpi / 72); }

}  // namespace

TEST(PdfPages, RenderAtTheirSizeWithTheKnownLinesInPlace) {
  TempFolder temp;
  const TPdfDocument pdf(temp.File("plot.pdf", PlotPdf()), false);
  const TPdfDocument turned(temp.File("turned.pdf", Qpdf(temp, "--rotate=+90:1")), false);
  // Protected against changes only: no password is needed to view it.
  const TPdfDocument locked(temp.File("owner.pdf", Qpdf(temp, "--encrypt '' owner 256 --")), false);
  ASSERT_EQ(pdf.PageCount(), 2);
  const struct {
    const TPdfDocument* doc;
    int page, dpi, width, height;
  } sizes[] = {// Documents alternate: each page comes from its own document.
               {&pdf, 0, 72, 288, 216},    {&turned, 0, 72, 216, 288},
               {&locked, 1, 72, 432, 576}, {&pdf, 1, 72, 432, 576},    {&pdf, 1, 300, 1800, 2400}};
  const struct {
    int page;
    double x, y;
    std::uint32_t argb;
  } pixels[] = {{0, kPage1Line.x0, 108, 0xFF000000},
                {0, kPage1Line.x0 + 10, 108, 0xFFFFFFFF},
                {0, 1, 1, 0xFFFFFFFF},
                {1, 86.4, kPage2Line.y0, 0xFFFF0000},
                {1, 86.4, 300, 0xFFFFFFFF}};
  for (const auto& s : sizes) {
    SCOPED_TRACE(s.doc->FileName() + " page " + std::to_string(s.page) + " at " +
                 std::to_string(s.dpi));
    const TPdfPageSize size = s.doc->PageSize(s.page);
    EXPECT_EQ(size.width * s.dpi / 72, s.width);
    EXPECT_EQ(size.PixelHeight(s.dpi), s.height);
    const TBitmap page = s.doc->RenderPage(s.page, s.dpi);
    ASSERT_EQ(page.Width(), s.width);
    ASSERT_EQ(page.Height(), s.height);
    for (const auto& p : pixels)
      if (s.doc == &pdf && p.page == s.page) {
        EXPECT_EQ(Hex(page.Pixel(Px(p.x, s.dpi), Px(p.y, s.dpi))), Hex(p.argb))
            << p.x << "," << p.y;
      }
    int grey = 0;  // anti-aliased edges of the lines and the text
    for (int y = 0; y < page.Height(); ++y)
      for (int x = 0; x < page.Width(); ++x) grey += (page.Pixel(x, y) & 0xFF) % 255 != 0;
    EXPECT_GT(grey, 50);
  }
}

TEST(PdfPages, UnusableDocumentsAndPagesAreRefused) {
  TempFolder temp;
  const std::string& plot = PlotPdf();
  const struct {
    const char* name;
    std::string bytes;
    int page, dpi;  // page -1: refused when opened
    std::vector<std::string> parts;
  } cases[] = {
      // Only the end marker missing: the library alone would open it.
      {"end cut", plot.substr(0, plot.size() - 6), -1, 72, {"incomplete"}},
      {"no pdf", "BM not a document", -1, 72, {"not a PDF"}},
      {"password", Qpdf(temp, "--encrypt user owner 256 --"), -1, 72, {"password"}},
      // Drawing stopped; the pages after it are drawn by a fresh process.
      {"endless", kEndlessPdf, 0, 72, {"page 1 of", "stopped", "longer than 2 s"}},
      {"flipped", WithDamagedPage2(), 1, 72, {"Page 2 of", "damaged"}},
      {"too large",
       plot,
       0,
       1200,
       {"Page 1 of", "4800 x 3600 pixels at 1200 dpi", "limit of 1.0 MiB"}},
  };
  for (const auto& c : cases)
    for (const bool memory : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (memory ? " from memory" : ""));
      const std::string name = std::string(c.name) + ".pdf", path = temp.File(name, c.bytes);
      std::string message;
      try {
        TPdfDocument pdf =
            memory ? TPdfDocument::FromMemory(c.bytes, false, name) : TPdfDocument(path, false);
        pdf.SetPageTimeLimit(std::chrono::seconds(2));
        if (c.page >= 0) pdf.RenderPage(c.page, c.dpi, {1 << 20});
      } catch (const FileError& e) {
        message = e.what();
      }
      for (const std::string& part : c.parts) EXPECT_THAT(message, ::testing::HasSubstr(part));
    }
  EXPECT_TRUE(Refused([&] { TPdfDocument(temp / "password.pdf", true); }, {"「", "パスワード"}));
  EXPECT_TRUE(
      Refused([&] { TPdfDocument(temp / "missing.pdf", false); }, {"missing.pdf", "not found"}));
  const TPdfDocument pdf = TPdfDocument::FromMemory(plot, false, "plot.pdf");
  for (const auto& [page, dpi] :
       std::vector<std::pair<int, int>>{{0, 71}, {0, 1201}, {2, 72}, {-1, 72}})
    EXPECT_THROW(pdf.RenderPage(page, dpi), InvalidOperation) << page << " " << dpi;
}

namespace {

struct TSplitRun {
  std::vector<std::string> paths, opened;
  std::vector<std::pair<int, int>> progress;
};

// Splits file, cancelling when progress reaches cancelAt pages done.
TSplitRun Split(const std::string& file, const std::string& work, int dpi,
                std::vector<int> pages = {}, int cancelAt = -1) {
  TSplitRun run;
  TPdfSplitOptions options{dpi,
                           std::move(pages),
                           {TBitmap::kMaxBytes},
                           false,
                           [&](int done, int total) {
                             run.progress.emplace_back(done, total);
                             return done != cancelAt;
                           },
                           kPdfPageTimeLimit};
  run.paths =
      SplitPdfFile(file, work, options, [&](const std::string& p) { run.opened.push_back(p); });
  return run;
}

}  // namespace

TEST(PdfSplit, PagesAreWrittenOnceIntoAFolderOfTheirDocument) {
  TempFolder temp;
  const std::string work = temp.Sub("work"), file = temp.File("plot.pdf", PlotPdf());
  const TSplitRun first = Split(file, work, 72);
  const std::string folder = PdfPageFolder(file, work, 72);
  EXPECT_TRUE(std::regex_match(folder, std::regex(work + "plot-72dpi-[0-9a-f]{8}/")));
  const std::vector<std::string> expected{folder + "PDF00001.bmp", folder + "PDF00002.bmp"};
  EXPECT_EQ(first.paths, expected);
  EXPECT_EQ(first.opened, expected);
  EXPECT_EQ(first.progress, (std::vector<std::pair<int, int>>{{0, 2}, {1, 2}, {2, 2}}));
  TBitmap written;
  LoadBmpFile(expected[1], written, TImageLimits{});
  EXPECT_TRUE(Near(written, TPdfDocument(file, false).RenderPage(1, 72)));

  // A page already there is kept; a missing one is written again.
  WriteFileAtomic(expected[0], "kept");
  fs::remove(expected[1]);
  EXPECT_EQ(Split(file, work, 72, {1}).opened, std::vector<std::string>{expected[1]});
  EXPECT_EQ(ReadFileBytes(expected[0]), "kept");
  EXPECT_TRUE(fs::exists(expected[1]));

  // Another resolution, a document of the same name elsewhere and the same
  // document changed each get their own folder.
  const std::string other = temp.Sub("other") + "plot.pdf";
  WriteFileAtomic(other, PlotPdf());
  EXPECT_NE(PdfPageFolder(file, work, 100), folder);
  EXPECT_NE(PdfPageFolder(other, work, 72), folder);
  WriteFileAtomic(file, MakePlotPdf(300));
  EXPECT_NE(PdfPageFolder(file, work, 72), folder);
}

TEST(PdfSplit, CancelledOrFailedSplitsLeaveOnlyWhatWasThereBefore) {
  TempFolder temp;
  const std::string work = temp.Sub("work"), file = temp.File("plot.pdf", PlotPdf());
  const std::string damaged = temp.File("damaged.pdf", WithDamagedPage2());
  EXPECT_TRUE(Refused([&] { Split(damaged, work, 72); }, {"Page 2"}));
  EXPECT_FALSE(fs::exists(PdfPageFolder(damaged, work, 72)));

  // A page written by an earlier split stays when a later one is cancelled.
  const std::string page1 = Split(file, work, 72, {0}).paths.at(0);
  EXPECT_TRUE(Split(file, work, 72, {}, 2).paths.empty());
  EXPECT_TRUE(fs::exists(page1));
  EXPECT_FALSE(fs::exists(PdfPageFolder(file, work, 72) + "PDF00002.bmp"));
}
