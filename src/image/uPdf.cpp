#include "image/uPdf.h"

#include <poll.h>
#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-image.h>
#include <poppler-page-renderer.h>
#include <poppler-page.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <mutex>
#include <optional>

#include "common/uBilingual.h"
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

const TBilingualText kNotPdf{"%F is not a PDF file or is damaged.",
                    "%Fは PDF ファイルではないか、壊れています。"};
const TBilingualText kIncomplete{"%F is incomplete or damaged: the end of the PDF file is missing.",
                        "%Fは途中で切れているか壊れています（PDF ファイルの終わりがありません）。"};
const TBilingualText kPassword{"%F is protected by a password and cannot be opened.",
                      "%Fはパスワードで保護されているため開けません。"};
const TBilingualText kNoPages{"%F has no pages.", "%Fにはページがありません。"};
const TBilingualText kNoSuchPage{"%F has no page %1 (it has %2 pages).",
                        "%Fに %1 ページはありません（%2 ページまでです）。"};
const TBilingualText kPageDamaged{"Page %1 of %F is damaged and cannot be drawn faithfully.",
                         "%Fの %1 ページは壊れているため、正しく描画できません。"};
const TBilingualText kPageTooLarge{
    "Page %1 of %F would be %2 x %3 pixels at %4 dpi, more than the limit of %5 for a picture.",
    "%Fの %1 ページは %4 dpi で %2 × %3 ピクセルとなり、画像の上限 %5 を超えます。"};
const TBilingualText kPageFailed{"Page %1 of %F cannot be drawn: it is damaged or needs too much memory.",
                        "%Fの %1 ページは壊れているか、メモリが足りないため描画できません。"};
const TBilingualText kPageTimedOut{"Drawing page %1 of %F was stopped: it took longer than %2 s.",
                          "%Fの %1 ページの描画は %2 秒を超えたため中止しました。"};
const TBilingualText kNoRenderer{"Pages of %F cannot be drawn: the PDF library has no renderer.",
                        "%Fのページを描画できません（PDF ライブラリに描画機能がありません）。"};
const TBilingualText kBadDpi{"The resolution %1 dpi is outside the allowed %2 to %3 dpi.",
                    "解像度 %1 dpi は使えません（%2～%3 dpi）。"};
const TBilingualText kNoFolder{"Cannot create the folder %F.", "フォルダ%Fを作成できません。"};

std::string Quoted(bool japanese, const std::string& name) {
  return japanese ? "「" + name + "」" : "\"" + name + "\"";
}

std::string Fill(const TBilingualText& text, bool japanese, const std::string& file,
                 const std::vector<std::string>& args = {}) {
  const std::string_view pattern = japanese ? text.Japanese : text.English;
  std::string out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    if (pattern[i] == '%' && next == 'F') {
      out += Quoted(japanese, file);
      ++i;
    } else if (pattern[i] == '%' && next >= '1' && next < char('1' + args.size())) {
      out += args[std::size_t(next - '1')];
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

std::uint64_t NextSerial() {
  static std::uint64_t serials = 0;
  return ++serials;
}

std::int64_t Pixels(double points, int dpi) {
  return std::max<std::int64_t>(1,
                                static_cast<std::int64_t>(std::floor(points * dpi / 72.0 + 0.5)));
}

}  // namespace

// --- TPdfPageSize ---------------------------------------------------------------

std::int64_t TPdfPageSize::PixelWidth(int dpi) const { return Pixels(width, dpi); }
std::int64_t TPdfPageSize::PixelHeight(int dpi) const { return Pixels(height, dpi); }

// --- TPdfDocument -------------------------------------------------------------

struct TPdfDocument::Impl {
  // What the drawing process needs to open the same document: a number no
  // other document of this run has, and the file's path or the bytes.
  std::uint64_t serial = 0;
  bool fromMemory = false;
  std::string source;
  std::unique_ptr<poppler::document> document;  // after source, which it may read

  // Opens with load (the library's loader) and checks what the library
  // accepted: no password needed, the end of the file there, some pages.
  template <typename Load>
  static std::unique_ptr<Impl> Open(Load&& load, std::string_view head, std::string_view tail,
                                    const std::string& name, bool japanese) {
    TComplaints::Install();
    auto impl = std::make_unique<Impl>();
    impl->serial = NextSerial();
    impl->document.reset(load(*impl));
    const bool endThere = HasEndMarker(tail);
    if (!impl->document)
      throw FileError(Fill(StartsAsPdf(head) && !endThere ? kIncomplete : kNotPdf, japanese, name));
    if (impl->document->is_locked()) throw FileError(Fill(kPassword, japanese, name));
    if (!endThere) throw FileError(Fill(kIncomplete, japanese, name));
    if (impl->document->pages() <= 0) throw FileError(Fill(kNoPages, japanese, name));
    return impl;
  }
};

TPdfDocument::TPdfDocument(std::unique_ptr<Impl> impl, std::string fileName, bool japanese)
    : impl_(std::move(impl)), fileName_(std::move(fileName)), japanese_(japanese) {}

TPdfDocument::TPdfDocument(const std::string& fileName, bool japanese)
    : fileName_(fileName), japanese_(japanese) {
  if (!FileExists(fileName)) throw FileError(PictureNotFoundMessage(japanese, fileName));
  std::string head(8, '\0');
  {
    std::ifstream in(fileName, std::ios::binary);
    in.read(head.data(), std::streamsize(head.size()));
    head.resize(static_cast<std::size_t>(std::max<std::streamsize>(0, in.gcount())));
  }
  impl_ = Impl::Open(
      [&](Impl& impl) {
        impl.source = fileName;
        return poppler::document::load_from_file(fileName);
      },
      head, FileTail(fileName), fileName, japanese);
}

TPdfDocument TPdfDocument::FromMemory(std::string_view bytes, bool japanese,
                                      const std::string& name) {
  if (bytes.size() > std::size_t(INT_MAX)) throw FileError(Fill(kNotPdf, japanese, name));
  auto impl = Impl::Open(
      [&](Impl& impl) {
        impl.fromMemory = true;
        impl.source.assign(bytes);
        return poppler::document::load_from_raw_data(impl.source.data(), int(impl.source.size()));
      },
      bytes, bytes, name, japanese);
  return TPdfDocument(std::move(impl), name, japanese);
}

TPdfDocument::TPdfDocument(TPdfDocument&&) noexcept = default;
TPdfDocument& TPdfDocument::operator=(TPdfDocument&&) noexcept = default;
TPdfDocument::~TPdfDocument() = default;

int TPdfDocument::PageCount() const { return impl_->document->pages(); }

void TPdfDocument::CheckIndex(int index) const {
  if (index < 0 || index >= PageCount())
    throw InvalidOperation(
        Fill(kNoSuchPage, japanese_, fileName_,
             {std::to_string(std::int64_t(index) + 1), std::to_string(PageCount())}));
}

namespace {

std::unique_ptr<poppler::page> OpenPage(const poppler::document& document, int index, bool japanese,
                                        const std::string& name) {
  std::unique_ptr<poppler::page> page(document.create_page(index));
  if (!page) throw FileError(Fill(kPageDamaged, japanese, name, {std::to_string(index + 1)}));
  return page;
}

}  // namespace

TPdfPageSize TPdfDocument::PageSize(int index) const {
  CheckIndex(index);
  const auto page = OpenPage(*impl_->document, index, japanese_, fileName_);
  const poppler::rectf box = page->page_rect(poppler::crop_box);
  const double w = box.width(), h = box.height();
  if (!(std::isfinite(w) && std::isfinite(h) && w > 0 && h > 0))
    throw FileError(Fill(kPageDamaged, japanese_, fileName_, {std::to_string(index + 1)}));
  const auto o = page->orientation();
  const bool turned = o == poppler::page::landscape || o == poppler::page::seascape;
  return turned ? TPdfPageSize{h, w} : TPdfPageSize{w, h};
}

void TPdfDocument::CheckPageFits(int index, int dpi, const TImageLimits& limits) const {
  FittingSize(index, dpi, limits);
}

TPdfPageSize TPdfDocument::FittingSize(int index, int dpi, const TImageLimits& limits) const {
  if (!PdfDpiAllowed(dpi))
    throw InvalidOperation(
        Fill(kBadDpi, japanese_, fileName_,
             {std::to_string(dpi), std::to_string(kPdfMinDpi), std::to_string(kPdfMaxDpi)}));
  const TPdfPageSize size = PageSize(index);
  const std::int64_t w = size.PixelWidth(dpi), h = size.PixelHeight(dpi);
  if (!TBitmap::SizeFits(w, h, limits.maxBytes))
    throw FileError(Fill(kPageTooLarge, japanese_, fileName_,
                         {std::to_string(index + 1), std::to_string(w), std::to_string(h),
                          std::to_string(dpi), MiBText(limits.maxBytes)}));
  return size;
}

namespace {

// --- The drawing process ------------------------------------------------------
// Pages are drawn by a separate process, forked on first use and kept for
// later pages, so a page that makes the library crash, work without end or
// claim all memory costs only that process: its address space is capped for
// every page, and it is killed when a page takes longer than the time limit
// (the next page starts a fresh one). Requests and pixels go through a socket
// pair; the parent reads the pixels straight into the bitmap.

struct TDrawRequest {
  std::uint64_t document;  // TPdfDocument::Impl::serial
  std::uint64_t memory;    // what the page may take beyond what the process uses
  std::uint64_t maxBytes;  // the caller's limit for the bitmap
  std::uint64_t sourceSize;
  std::int32_t index;
  std::int32_t dpi;
  std::int32_t fromMemory;  // the source is the document's bytes, else its path
  std::int32_t unused = 0;
};

enum TDrawStatus : std::int32_t { kDrawn, kNoPicture, kDamaged, kTooLarge };

struct TDrawReply {
  std::int32_t status;
  std::int32_t width;
  std::int32_t height;
  std::int32_t unused = 0;
};

// Room for the library's own page bitmaps, fonts and images beyond three
// times the page's pixels.
constexpr std::uint64_t kDrawMemoryBase = std::uint64_t(1) << 30;

enum class TIoResult { kDone, kEnded, kTimedOut };

bool SendAll(int fd, const void* data, std::size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::send(fd, p, size, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= std::size_t(n);
  }
  return true;
}

// Reads size bytes, waiting at most until deadline (none: wait as long as
// it takes).
TIoResult ReceiveAll(int fd, void* data, std::size_t size,
                     std::optional<std::chrono::steady_clock::time_point> deadline = std::nullopt) {
  char* p = static_cast<char*>(data);
  while (size > 0) {
    if (deadline) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                            *deadline - std::chrono::steady_clock::now())
                            .count();
      if (left <= 0) return TIoResult::kTimedOut;
      pollfd poll{fd, POLLIN, 0};
      if (::poll(&poll, 1, int(std::min<std::int64_t>(left, INT_MAX))) <= 0) continue;
    }
    const ssize_t n = ::recv(fd, p, size, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return TIoResult::kEnded;
    p += n;
    size -= std::size_t(n);
  }
  return TIoResult::kDone;
}

// In the drawing process: what it uses now plus extra is all it may use.
void CapAddressSpace(std::uint64_t extra) {
  long pages = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
    std::fclose(f);
  }
  rlimit r{};
  if (pages <= 0 || ::getrlimit(RLIMIT_AS, &r) != 0) return;
  r.rlim_cur =
      std::min<rlim_t>(r.rlim_max, rlim_t(pages) * rlim_t(::sysconf(_SC_PAGESIZE)) + extra);
  ::setrlimit(RLIMIT_AS, &r);
}

// In the drawing process: draws one page and sends the reply and pixels.
// False when the socket failed.
bool DrawPage(const poppler::document* document, const TDrawRequest& request, int fd) {
  CapAddressSpace(request.memory);
  TComplaints complaints;
  std::unique_ptr<poppler::page> page(document ? document->create_page(request.index) : nullptr);
  poppler::image image;
  if (page) {
    poppler::page_renderer renderer;
    renderer.set_render_hints(poppler::page_renderer::antialiasing |
                              poppler::page_renderer::text_antialiasing);
    renderer.set_image_format(poppler::image::format_argb32);
    renderer.set_paper_color(0xFFFFFFFFu);
    image = renderer.render_page(page.get(), request.dpi, request.dpi);
  }
  TDrawReply reply{kNoPicture, 0, 0};
  if (image.is_valid() && image.format() == poppler::image::format_argb32) {
    reply = {kDrawn, image.width(), image.height()};
    if (complaints.Damage()) reply.status = kDamaged;
    if (!TBitmap::SizeFits(reply.width, reply.height, request.maxBytes)) reply.status = kTooLarge;
  }
  if (!SendAll(fd, &reply, sizeof reply)) return false;
  if (reply.status != kDrawn) return true;
  // Rows of native 32-bit 0xAARRGGBB pixels, as a bitmap holds them; the
  // paper is opaque, so alpha is set rather than trusted.
  for (int y = 0; y < reply.height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(
        image.data() + std::size_t(y) * std::size_t(image.bytes_per_row()));
    for (int x = 0; x < reply.width; ++x) row[x] |= 0xFF000000u;
    if (!SendAll(fd, row, std::size_t(reply.width) * 4)) return false;
  }
  return true;
}

// The drawing process's loop: one request after the other, the last
// document kept open. Ends when the program closes its end of the socket.
[[noreturn]] void ServeDrawing(int fd) {
  std::uint64_t serial = 0;
  std::string source;
  std::unique_ptr<poppler::document> document;
  for (;;) {
    TDrawRequest request{};
    std::string nextSource;
    if (ReceiveAll(fd, &request, sizeof request) != TIoResult::kDone) ::_exit(0);
    nextSource.resize(request.sourceSize);
    if (ReceiveAll(fd, nextSource.data(), nextSource.size()) != TIoResult::kDone) ::_exit(0);
    if (request.document != serial) {
      document.reset();
      source = std::move(nextSource);
      serial = request.document;
      document.reset(request.fromMemory
                         ? poppler::document::load_from_raw_data(source.data(), int(source.size()))
                         : poppler::document::load_from_file(source));
      if (document && document->is_locked()) document.reset();
    }
    if (!DrawPage(document.get(), request, fd)) ::_exit(0);
  }
}

// The program's side: the process and its end of the socket. Pages are drawn
// one at a time.
class TDrawServer {
 public:
  static TDrawServer& Instance() {
    static TDrawServer server;
    return server;
  }
  ~TDrawServer() { Stop(); }

  std::mutex& Lock() { return lock_; }

  // Starts the process when none runs; false when that fails.
  bool Start() {
    if (pid_ > 0) return true;
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) return false;
    const int big = 1 << 20;  // fewer round trips for the pixels; smaller buffers work too
    for (const int fd : fds) {
      ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &big, sizeof big);
      ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &big, sizeof big);
    }
    const pid_t program = ::getpid();
    pid_ = ::fork();
    if (pid_ == 0) {
      // Ends with the program, even while a page is being drawn.
      ::prctl(PR_SET_PDEATHSIG, SIGKILL);
      if (::getppid() != program) ::_exit(0);
      // Keep only the socket: a pipe of the program's held open here would
      // never report its end to the program.
      if (::dup2(fds[1], 3) < 0) ::_exit(0);
      ::close_range(4, ~0u, 0);
      ServeDrawing(3);
    }
    ::close(fds[1]);
    if (pid_ < 0) {
      ::close(fds[0]);
      return false;
    }
    fd_ = fds[0];
    return true;
  }

  // Ends the process (killed: it may be stuck) and forgets it.
  void Stop() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      int status = 0;
      while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
      }
    }
    pid_ = -1;
  }

  int Socket() const { return fd_; }

 private:
  TDrawServer() = default;
  std::mutex lock_;
  pid_t pid_ = -1;
  int fd_ = -1;
};

}  // namespace

void TPdfDocument::SetPageTimeLimit(std::chrono::milliseconds limit) { pageTimeLimit_ = limit; }

TBitmap TPdfDocument::RenderPage(int index, int dpi, const TImageLimits& limits) const {
  const TPdfPageSize size = FittingSize(index, dpi, limits);
  if (!poppler::page_renderer::can_render())
    throw FileError(Fill(kNoRenderer, japanese_, fileName_));
  const std::string number = std::to_string(index + 1);
  const auto fail = [&](const TBilingualText& text, std::initializer_list<std::string> more = {}) {
    std::vector<std::string> args{number};
    args.insert(args.end(), more);
    return FileError(Fill(text, japanese_, fileName_, args));
  };
  const std::uint64_t pageBytes =
      std::uint64_t(size.PixelWidth(dpi)) * std::uint64_t(size.PixelHeight(dpi)) * 4;
  const TDrawRequest request{
      impl_->serial, kDrawMemoryBase + 3 * pageBytes, limits.maxBytes, impl_->source.size(), index,
      dpi,           impl_->fromMemory ? 1 : 0};

  TDrawServer& server = TDrawServer::Instance();
  const std::lock_guard<std::mutex> lock(server.Lock());
  const auto deadline = std::chrono::steady_clock::now() + pageTimeLimit_;
  const auto check = [&](TIoResult result) {
    if (result == TIoResult::kDone) return;
    server.Stop();
    if (result == TIoResult::kTimedOut)
      throw fail(kPageTimedOut,
                 {std::to_string(
                     std::chrono::duration_cast<std::chrono::seconds>(pageTimeLimit_).count())});
    throw fail(kPageFailed);
  };
  if (!server.Start()) throw fail(kPageFailed);
  if (!SendAll(server.Socket(), &request, sizeof request) ||
      !SendAll(server.Socket(), impl_->source.data(), impl_->source.size()))
    check(TIoResult::kEnded);
  TDrawReply reply{};
  check(ReceiveAll(server.Socket(), &reply, sizeof reply, deadline));
  if (reply.status == kNoPicture) throw fail(kPageFailed);
  if (reply.status == kDamaged) throw fail(kPageDamaged);
  if (reply.status != kDrawn)
    throw fail(kPageTooLarge, {std::to_string(reply.width), std::to_string(reply.height),
                               std::to_string(dpi), MiBText(limits.maxBytes)});
  TBitmap bitmap = TBitmap::Uninitialized(reply.width, reply.height);
  check(ReceiveAll(server.Socket(), bitmap.Bits(), bitmap.ByteCount(), deadline));
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
  TWrittenPages(std::string folder, bool madeFolder)
      : folder_(std::move(folder)), madeFolder_(madeFolder) {}
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

void WritePage(const TPdfDocument& document, int index, const TPdfSplitOptions& options,
               const std::string& path) {
  std::string bmp;
  {
    const TBitmap page = document.RenderPage(index, options.dpi, options.limits);
    bmp = EncodeBmp(page);
  }
  WriteFileAtomic(path, bmp, WriteDurability::kReplaceOnly);
}

}  // namespace

std::string PdfPageFolder(const std::string& pdfFile, const std::string& workFolder, int dpi) {
  namespace fs = std::filesystem;
  std::error_code pathError, sizeError, timeError;
  fs::path full = fs::absolute(pdfFile, pathError);
  if (pathError) full = pdfFile;
  full = full.lexically_normal();
  const std::uintmax_t size = fs::file_size(full, sizeError);
  const auto stamp = fs::last_write_time(full, timeError);
  const std::string identity = full.string() + '\0' + std::to_string(sizeError ? 0 : size) + '\0' +
                               std::to_string(timeError ? 0 : stamp.time_since_epoch().count());
  char hash[16];
  std::snprintf(hash, sizeof hash, "%08x", static_cast<unsigned>(ShortHash(identity)));
  return IncludeTrailingSlash(workFolder) + FolderBaseName(pdfFile) + "-" + std::to_string(dpi) +
         "dpi-" + hash + "/";
}

std::vector<std::string> SplitPdfFile(const std::string& pdfFile, const std::string& workFolder,
                                      const TPdfSplitOptions& options,
                                      const std::function<void(const std::string&)>& openPage) {
  TPdfDocument document(pdfFile, options.japanese);
  document.SetPageTimeLimit(options.pageTimeLimit);
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
