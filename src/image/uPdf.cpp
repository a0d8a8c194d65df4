#include "image/uPdf.h"

#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-image.h>
#include <poppler-page-renderer.h>
#include <poppler-page.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>

#include "common/uError.h"
#include "common/uFileIO.h"
#include "common/uFilename.h"
#include "common/uStrC.h"
#include "image/uBmp.h"
#include "image/uSPI.h"

namespace tracemill {

namespace {

// --- Messages ---------------------------------------------------------------
// %1, %2, ... stand for the arguments of Fill. "%F" is the file's name,
// quoted as the language quotes it.

struct TText {
  const char* en;
  const char* ja;
};

const TText kNotPdf{"%F is not a PDF file or is damaged.", "%Fは PDF ファイルではないか、壊れています。"};
const TText kIncomplete{"%F is incomplete or damaged: the end of the PDF file is missing.",
                        "%Fは途中で切れているか壊れています（PDF ファイルの終わりがありません）。"};
const TText kPassword{"%F is protected by a password and cannot be opened.",
                      "%Fはパスワードで保護されているため開けません。"};
const TText kNoPages{"%F has no pages.", "%Fにはページがありません。"};
const TText kNoSuchPage{"%F has no page %1 (it has %2 pages).", "%Fに %1 ページはありません（%2 ページまでです）。"};
const TText kPageDamaged{"Page %1 of %F is damaged and cannot be drawn faithfully.",
                         "%Fの %1 ページは壊れているため、正しく描画できません。"};
const TText kPageTooLarge{"Page %1 of %F would be %2 x %3 pixels at %4 dpi, more than the limit of %5 for a picture.",
                          "%Fの %1 ページは %4 dpi で %2 × %3 ピクセルとなり、画像の上限 %5 を超えます。"};
const TText kNoRenderer{"Pages of %F cannot be drawn: the PDF library has no renderer.",
                        "%Fのページを描画できません（PDF ライブラリに描画機能がありません）。"};
const TText kBadDpi{"The resolution %1 dpi is outside the allowed %2 to %3 dpi.",
                    "解像度 %1 dpi は使えません（%2～%3 dpi）。"};
const TText kNoFolder{"Cannot create the folder %F.", "フォルダ%Fを作成できません。"};

std::string Quoted(bool japanese, const std::string& name) {
  return japanese ? "「" + name + "」" : "\"" + name + "\"";
}

std::string Fill(const TText& text, bool japanese, const std::string& file,
                 std::initializer_list<std::string> args = {}) {
  const std::string_view pattern = japanese ? text.ja : text.en;
  std::string out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    if (pattern[i] == '%' && next == 'F') {
      out += Quoted(japanese, file);
      ++i;
    } else if (pattern[i] == '%' && next >= '1' && next < char('1' + args.size())) {
      out += *(args.begin() + (next - '1'));
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

// A byte count as MiB with one decimal ("512.0 MiB"), without the locale.
std::string MiBText(std::uint64_t bytes) {
  const std::uint64_t tenths = (bytes * 10 + (1u << 19)) >> 20;
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " MiB";
}

// --- The PDF library's complaints ---------------------------------------------
// The library reports what it finds wrong through one process-wide function;
// it is installed before the first document is opened and never prints.
// While a TComplaints is alive it also notes whether a complaint means that
// what is drawn may differ from what the file describes. Complaints about
// fonts, character maps, annotations, hint tables and the optional-content
// configuration are common in sound files and change no line of a plot;
// every other complaint (broken drawing instructions, objects or streams)
// counts as damage.

class TComplaints {
 public:
  TComplaints() : outer_(current_) { current_ = this; }
  ~TComplaints() { current_ = outer_; }
  TComplaints(const TComplaints&) = delete;
  TComplaints& operator=(const TComplaints&) = delete;

  bool Damage() const { return damage_; }

  static void Install() {
    static const bool installed = [] {
      poppler::set_debug_error_function(&Receive, nullptr);
      return true;
    }();
    (void)installed;
  }

 private:
  static void Receive(const std::string& message, void*) {
    if (current_ && !Harmless(message)) current_->damage_ = true;
  }
  static bool Harmless(const std::string& message) {
    const std::string lower = LowerCaseAscii(message);
    for (const char* word : {"font", "cmap", "annot", "hint", "default config"})
      if (lower.find(word) != std::string::npos) return true;
    return false;
  }

  static inline TComplaints* current_ = nullptr;
  TComplaints* outer_;
  bool damage_ = false;
};

// A PDF file ends with "%%EOF"; readers allow it within the last 1024 bytes.
// A file cut off during a download or copy lacks it.
constexpr std::size_t kEndWindow = 1024;

bool HasEndMarker(std::string_view tail) {
  if (tail.size() > kEndWindow) tail = tail.substr(tail.size() - kEndWindow);
  return tail.find("%%EOF") != std::string_view::npos;
}

std::string FileTail(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return {};
  const std::streamoff size = in.tellg();
  const std::streamoff start = std::max<std::streamoff>(0, size - std::streamoff(kEndWindow));
  std::string tail(static_cast<std::size_t>(size - start), '\0');
  in.seekg(start);
  in.read(tail.data(), std::streamsize(tail.size()));
  tail.resize(static_cast<std::size_t>(std::max<std::streamsize>(0, in.gcount())));
  return tail;
}

bool StartsAsPdf(std::string_view head) { return head.substr(0, 5) == "%PDF-"; }

std::int64_t Pixels(double points, int dpi) {
  return std::max<std::int64_t>(1, static_cast<std::int64_t>(std::floor(points * dpi / 72.0 + 0.5)));
}

}  // namespace

// --- TPdfPageSize ---------------------------------------------------------------

std::int64_t TPdfPageSize::PixelWidth(int dpi) const { return Pixels(width, dpi); }
std::int64_t TPdfPageSize::PixelHeight(int dpi) const { return Pixels(height, dpi); }

// --- TPdfDocument -------------------------------------------------------------

struct TPdfDocument::Impl {
  std::unique_ptr<poppler::document> document;

  // Opens with load (the library's loader) and checks what the library
  // accepted: no password needed, the end of the file there, some pages.
  template <typename Load>
  static std::unique_ptr<Impl> Open(Load&& load, std::string_view head, std::string_view tail,
                                    const std::string& name, bool japanese) {
    TComplaints::Install();
    auto impl = std::make_unique<Impl>();
    impl->document.reset(load());
    const bool endThere = HasEndMarker(tail);
    if (!impl->document) throw FileError(Fill(StartsAsPdf(head) && !endThere ? kIncomplete : kNotPdf, japanese, name));
    if (impl->document->is_locked()) throw FileError(Fill(kPassword, japanese, name));
    if (!endThere) throw FileError(Fill(kIncomplete, japanese, name));
    if (impl->document->pages() <= 0) throw FileError(Fill(kNoPages, japanese, name));
    return impl;
  }
};

TPdfDocument::TPdfDocument(std::unique_ptr<Impl> impl, std::string fileName, bool japanese)
    : impl_(std::move(impl)), fileName_(std::move(fileName)), japanese_(japanese) {}

TPdfDocument::TPdfDocument(const std::string& fileName, bool japanese) : fileName_(fileName), japanese_(japanese) {
  if (!FileExists(fileName)) throw FileError(PictureNotFoundMessage(japanese, fileName));
  std::string head(8, '\0');
  {
    std::ifstream in(fileName, std::ios::binary);
    in.read(head.data(), std::streamsize(head.size()));
    head.resize(static_cast<std::size_t>(std::max<std::streamsize>(0, in.gcount())));
  }
  impl_ = Impl::Open([&] { return poppler::document::load_from_file(fileName); }, head, FileTail(fileName),
                     fileName, japanese);
}

TPdfDocument TPdfDocument::FromMemory(std::string_view bytes, bool japanese, const std::string& name) {
  if (bytes.size() > std::size_t(INT_MAX)) throw FileError(Fill(kNotPdf, japanese, name));
  poppler::byte_array data(bytes.begin(), bytes.end());
  // The document takes the bytes over.
  auto impl = Impl::Open([&] { return poppler::document::load_from_data(&data); }, bytes, bytes, name, japanese);
  return TPdfDocument(std::move(impl), name, japanese);
}

TPdfDocument::TPdfDocument(TPdfDocument&&) noexcept = default;
TPdfDocument& TPdfDocument::operator=(TPdfDocument&&) noexcept = default;
TPdfDocument::~TPdfDocument() = default;

int TPdfDocument::PageCount() const { return impl_->document->pages(); }

void TPdfDocument::CheckIndex(int index) const {
  if (index < 0 || index >= PageCount())
    throw InvalidOperation(
        Fill(kNoSuchPage, japanese_, fileName_, {std::to_string(std::int64_t(index) + 1), std::to_string(PageCount())}));
}

namespace {

std::unique_ptr<poppler::page> OpenPage(const poppler::document& document, int index, const TText& damaged,
                                        bool japanese, const std::string& name) {
  std::unique_ptr<poppler::page> page(document.create_page(index));
  if (!page) throw FileError(Fill(damaged, japanese, name, {std::to_string(index + 1)}));
  return page;
}

}  // namespace

TPdfPageSize TPdfDocument::PageSize(int index) const {
  CheckIndex(index);
  const auto page = OpenPage(*impl_->document, index, kPageDamaged, japanese_, fileName_);
  const poppler::rectf box = page->page_rect(poppler::crop_box);
  const double w = box.width(), h = box.height();
  if (!(std::isfinite(w) && std::isfinite(h) && w > 0 && h > 0))
    throw FileError(Fill(kPageDamaged, japanese_, fileName_, {std::to_string(index + 1)}));
  const auto o = page->orientation();
  const bool turned = o == poppler::page::landscape || o == poppler::page::seascape;
  return turned ? TPdfPageSize{h, w} : TPdfPageSize{w, h};
}

void TPdfDocument::CheckPageFits(int index, int dpi, const TImageLimits& limits) const {
  if (!PdfDpiAllowed(dpi))
    throw InvalidOperation(Fill(kBadDpi, japanese_, fileName_,
                                {std::to_string(dpi), std::to_string(kPdfMinDpi), std::to_string(kPdfMaxDpi)}));
  const TPdfPageSize size = PageSize(index);
  const std::int64_t w = size.PixelWidth(dpi), h = size.PixelHeight(dpi);
  if (!TBitmap::SizeFits(w, h, limits.maxBytes))
    throw FileError(Fill(kPageTooLarge, japanese_, fileName_,
                         {std::to_string(index + 1), std::to_string(w), std::to_string(h), std::to_string(dpi),
                          MiBText(limits.maxBytes)}));
}

TBitmap TPdfDocument::RenderPage(int index, int dpi, const TImageLimits& limits) const {
  TComplaints complaints;
  CheckPageFits(index, dpi, limits);
  if (!poppler::page_renderer::can_render()) throw FileError(Fill(kNoRenderer, japanese_, fileName_));
  const std::string number = std::to_string(index + 1);
  const auto page = OpenPage(*impl_->document, index, kPageDamaged, japanese_, fileName_);
  poppler::page_renderer renderer;
  renderer.set_render_hints(poppler::page_renderer::antialiasing | poppler::page_renderer::text_antialiasing);
  renderer.set_image_format(poppler::image::format_argb32);
  renderer.set_paper_color(0xFFFFFFFFu);
  const poppler::image image = renderer.render_page(page.get(), dpi, dpi);
  if (!image.is_valid() || image.format() != poppler::image::format_argb32 || complaints.Damage())
    throw FileError(Fill(kPageDamaged, japanese_, fileName_, {number}));
  const int w = image.width(), h = image.height();
  if (!TBitmap::SizeFits(w, h, limits.maxBytes))
    throw FileError(Fill(kPageTooLarge, japanese_, fileName_,
                         {number, std::to_string(w), std::to_string(h), std::to_string(dpi), MiBText(limits.maxBytes)}));
  // Rows of native 32-bit 0xAARRGGBB pixels, as a bitmap holds them; the
  // paper is opaque, so alpha is set rather than trusted.
  TBitmap bitmap = TBitmap::Uninitialized(w, h);
  const char* data = image.const_data();
  for (int y = 0; y < h; ++y) {
    const char* row = data + std::size_t(y) * std::size_t(image.bytes_per_row());
    std::uint32_t* out = bitmap.Row(y);
    std::memcpy(out, row, bitmap.BytesPerLine());
    for (int x = 0; x < w; ++x) out[x] |= 0xFF000000u;
  }
  return bitmap;
}

// --- Splitting into page files ------------------------------------------------

std::string PdfPageFileName(int index) {
  char name[32];
  std::snprintf(name, sizeof name, "PDF%05lld.bmp", static_cast<long long>(index) + 1);
  return name;
}

namespace {

// 64-bit FNV-1a, folded to 32 bits: stable across runs and builds, unlike
// std::hash.
std::uint32_t ShortHash(std::string_view text) {
  std::uint64_t h = 0xcbf29ce484222325u;
  for (const unsigned char c : text) {
    h ^= c;
    h *= 0x100000001b3u;
  }
  return static_cast<std::uint32_t>(h ^ (h >> 32));
}

// Long document names are cut (at a character boundary) so the folder name
// stays well inside the file system's limit.
constexpr std::size_t kMaxNameBytes = 64;

std::string FolderBaseName(const std::string& pdfFile) {
  std::string name = ExtractFileBaseName(pdfFile);
  if (name.size() > kMaxNameBytes) {
    std::size_t cut = kMaxNameBytes;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    name.resize(cut);
  }
  return name;
}

// The files one split wrote; unless kept, they are removed again (and the
// folder, when the split made it and it is left empty).
class TWrittenPages {
 public:
  TWrittenPages(std::string folder, bool madeFolder) : folder_(std::move(folder)), madeFolder_(madeFolder) {}
  ~TWrittenPages() {
    if (kept_) return;
    std::error_code ec;
    for (const std::string& file : files_) std::filesystem::remove(file, ec);
    if (madeFolder_) std::filesystem::remove(folder_, ec);  // only when empty
  }
  TWrittenPages(const TWrittenPages&) = delete;
  TWrittenPages& operator=(const TWrittenPages&) = delete;

  void Add(const std::string& file) { files_.push_back(file); }
  void Keep() { kept_ = true; }

 private:
  std::string folder_;
  bool madeFolder_;
  std::vector<std::string> files_;
  bool kept_ = false;
};

void WritePage(const TPdfDocument& document, int index, const TPdfSplitOptions& options, const std::string& path) {
  std::string dib;
  {
    const TBitmap page = document.RenderPage(index, options.dpi, options.limits);
    dib = DibFromBitmap(page);
  }
  const std::string bmp = BmpFromDib(dib);
  dib = std::string();
  WriteFileAtomic(path, bmp, WriteDurability::kReplaceOnly);
}

}  // namespace

std::string PdfPageFolder(const std::string& pdfFile, const std::string& workFolder, int dpi) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path full = fs::absolute(pdfFile, ec);
  if (ec) full = pdfFile;
  full = full.lexically_normal();
  const std::uintmax_t size = fs::file_size(full, ec);
  const auto stamp = fs::last_write_time(full, ec);
  const std::string identity = full.string() + '\0' + std::to_string(ec ? 0 : size) + '\0' +
                               std::to_string(ec ? 0 : stamp.time_since_epoch().count());
  char hash[16];
  std::snprintf(hash, sizeof hash, "%08x", static_cast<unsigned>(ShortHash(identity)));
  return IncludeTrailingSlash(workFolder) + FolderBaseName(pdfFile) + "-" + std::to_string(dpi) + "dpi-" + hash + "/";
}

std::vector<std::string> SplitPdfFile(const std::string& pdfFile, const std::string& workFolder,
                                      const TPdfSplitOptions& options,
                                      const std::function<void(const std::string&)>& openPage) {
  const TPdfDocument document(pdfFile, options.japanese);
  std::vector<int> pages = options.pages;
  if (pages.empty())
    for (int i = 0; i < document.PageCount(); ++i) pages.push_back(i);
  for (const int index : pages) document.CheckPageFits(index, options.dpi, options.limits);

  const std::string folder = PdfPageFolder(pdfFile, workFolder, options.dpi);
  const bool madeFolder = !DirectoryExists(folder);
  if (!ForceDirectories(folder)) throw FileError(Fill(kNoFolder, options.japanese, folder));
  TWrittenPages written(folder, madeFolder);
  const int total = static_cast<int>(pages.size());
  std::vector<std::string> paths;
  for (int done = 0; done < total; ++done) {
    if (options.progress && !options.progress(done, total)) return {};
    const std::string path = folder + PdfPageFileName(pages[std::size_t(done)]);
    if (!FileExists(path)) {
      WritePage(document, pages[std::size_t(done)], options, path);
      written.Add(path);
    }
    paths.push_back(path);
  }
  if (options.progress && !options.progress(total, total)) return {};
  written.Keep();
  if (openPage)
    for (const std::string& path : paths) openPage(path);
  return paths;
}

}  // namespace tracemill
