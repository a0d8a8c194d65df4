#pragma once
// PDF documents as pictures: the pages of a PDF file rendered into bitmaps
// (white paper, anti-aliased text and graphics), and the split of a document
// into one BMP file per page, which benches then open like any picture.
//
// A document that cannot be used is refused with a FileError whose message,
// in the interface language the caller gives, names the file and the reason:
// not a PDF file or damaged, incomplete (cut off before its end), protected by
// a password, without pages, a page that cannot be drawn faithfully, or a page
// whose bitmap would exceed the caller's TImageLimits. The PDF library's own
// complaints never reach the terminal.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "image/uBitmap.h"

namespace tracemill {

inline constexpr int kPdfDefaultDpi = 200;
inline constexpr int kPdfMinDpi = 72;
inline constexpr int kPdfMaxDpi = 1200;

// How long drawing one page may take before it is given up.
inline constexpr std::chrono::milliseconds kPdfPageTimeLimit{60000};

inline bool PdfDpiAllowed(int dpi) { return dpi >= kPdfMinDpi && dpi <= kPdfMaxDpi; }

// The size of a page as it is shown (its rotation applied), in points of
// 1/72 inch.
struct TPdfPageSize {
  double width = 0;
  double height = 0;
  // The size in pixels at dpi dots per inch, rounded to the nearest pixel
  // (at least 1), as the page is rendered.
  std::int64_t PixelWidth(int dpi) const;
  std::int64_t PixelHeight(int dpi) const;
};

class TPdfDocument {
 public:
  // Opens the PDF file. Throws FileError when it is missing, cannot be read,
  // is no PDF file, is damaged or incomplete, needs a password, or has no
  // pages. A document that is only protected against changes (it opens
  // without a password) is opened.
  TPdfDocument(const std::string& fileName, bool japanese);
  // The same for a document held in memory; name stands for the file in
  // messages.
  static TPdfDocument FromMemory(std::string_view bytes, bool japanese, const std::string& name);

  TPdfDocument(TPdfDocument&&) noexcept;
  TPdfDocument& operator=(TPdfDocument&&) noexcept;
  ~TPdfDocument();

  const std::string& FileName() const { return fileName_; }
  int PageCount() const;

  // The size of page index (0-based). Throws InvalidOperation for an index
  // outside the document, FileError for a page that cannot be read.
  TPdfPageSize PageSize(int index) const;

  // Throws FileError, naming the page, its size in pixels and the limit, when
  // the bitmap of page index at dpi would not fit limits; InvalidOperation
  // for a resolution outside kPdfMinDpi..kPdfMaxDpi or an index outside the
  // document.
  void CheckPageFits(int index, int dpi, const TImageLimits& limits) const;

  // Page index rendered at dpi on white paper. Checks the page with
  // CheckPageFits before anything is drawn. Pages are drawn one at a time by
  // a drawing process of the program's own (forked at the first page and
  // kept), so a page that would crash the PDF library, exhaust memory or keep
  // it busy only fails: FileError when the page is damaged (it cannot be
  // drawn faithfully), when drawing it fails, or when it takes longer than
  // the page time limit.
  TBitmap RenderPage(int index, int dpi = kPdfDefaultDpi, const TImageLimits& limits = {}) const;

  std::chrono::milliseconds PageTimeLimit() const { return pageTimeLimit_; }
  void SetPageTimeLimit(std::chrono::milliseconds limit);

 private:
  struct Impl;
  TPdfDocument(std::unique_ptr<Impl> impl, std::string fileName, bool japanese);
  void CheckIndex(int index) const;
  TPdfPageSize FittingSize(int index, int dpi, const TImageLimits& limits) const;

  std::unique_ptr<Impl> impl_;
  std::string fileName_;
  bool japanese_ = false;
  std::chrono::milliseconds pageTimeLimit_ = kPdfPageTimeLimit;
};

// The name of the file page index (0-based) is written to: "PDF" + the page
// number index + 1 in five figures (more from 100000 on) + ".bmp".
std::string PdfPageFileName(int index);

// The folder under workFolder (ending in "/") that the pages of pdfFile at
// dpi are written to: named after the document, the resolution and a short
// hash of the document's full path, size and modification time, so two
// documents of the same name never share pages and a document changed since
// its pages were written gets fresh ones.
std::string PdfPageFolder(const std::string& pdfFile, const std::string& workFolder, int dpi);

struct TPdfSplitOptions {
  int dpi = kPdfDefaultDpi;
  // The pages to write (0-based, in this order); empty: every page.
  std::vector<int> pages;
  TImageLimits limits;
  bool japanese = false;
  // Called with the number of pages done and the number to do before each
  // page and once more at the end; returning false cancels the split.
  std::function<bool(int done, int total)> progress;
  std::chrono::milliseconds pageTimeLimit = kPdfPageTimeLimit;
};

// Writes the chosen pages of pdfFile as BMP files into PdfPageFolder (created
// when missing); a page whose file is already there is not written again.
// After every page is in place, calls openPage with each file's path, in the
// order of the pages, and returns those paths. A cancelled split returns
// nothing and opens nothing. Throws FileError for a document or page that
// cannot be used, InvalidOperation for a resolution outside the allowed range
// or a page outside the document, before any page is written; every chosen
// page is checked against the limits first. A cancelled or failed split
// removes the files it wrote (and the folder when it made it); files are
// written whole or not at all.
std::vector<std::string> SplitPdfFile(const std::string& pdfFile, const std::string& workFolder,
                                      const TPdfSplitOptions& options = {},
                                      const std::function<void(const std::string&)>& openPage = {});

}  // namespace tracemill
