#include "ui/uBenchLoad.h"

#include <QApplication>
#include <QEventLoop>
#include <QImageReader>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "settings/uEnvironment.h"
#include "ui/uProgress.h"
#include "ui/uQtConvert.h"
#include "ui/uQtServices.h"

namespace tracemill {

namespace {

constexpr TCaption kLoading{"画像を読み込んでいます...", "Loading the picture ..."};
constexpr int kPollMilliseconds = 10;

// One decode in a worker thread, into a bitmap of its own.
struct LoadJob {
  TBitmap Result;
  std::exception_ptr Error;
  std::atomic<bool> Done{false};
  std::thread Worker;

  ~LoadJob() {
    if (Worker.joinable()) Worker.join();
  }
};

// Decodes whose dialog was cancelled, until they end.
class CancelledLoads {
 public:
  static CancelledLoads& Instance() {
    static CancelledLoads loads;
    return loads;
  }
  void Add(std::unique_ptr<LoadJob> job) {
    std::lock_guard lock(mutex_);
    std::erase_if(jobs_, [](const std::unique_ptr<LoadJob>& j) { return j->Done.load(); });
    jobs_.push_back(std::move(job));
  }
  void WaitAll() {
    std::vector<std::unique_ptr<LoadJob>> jobs;
    {
      std::lock_guard lock(mutex_);
      jobs.swap(jobs_);
    }
    jobs.clear();  // each joins its worker
  }
  ~CancelledLoads() { WaitAll(); }

 private:
  std::mutex mutex_;
  std::vector<std::unique_ptr<LoadJob>> jobs_;
};

bool IsLarge(const std::string& path) {
  const std::optional<QSize> size = PictureSizeOf(path);
  return size && std::int64_t(size->width()) * size->height() > kProgressPixels;
}

void LoadWithDialog(const TPictureLoader& inner, const std::string& path, TBitmap& target, QWidget* parent) {
  auto job = std::make_unique<LoadJob>();
  LoadJob* j = job.get();
  j->Worker = std::thread([j, load = inner.Load, path] {
    try {
      load(path, j->Result);
    } catch (...) {
      j->Error = std::current_exception();
    }
    j->Done = true;
  });

  const auto progress = MakeProgressDialog(parent, path, kLoading, 0);
  QProgressDialog& dialog = *progress;
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (j->Done) loop.quit();
  });
  QObject::connect(&dialog, &QProgressDialog::canceled, &loop, &QEventLoop::quit);
  {
    TWaitCursor arrow(Qt::BusyCursor);  // the dialog stays usable over the hourglass
    dialog.show();
    poll.start(kPollMilliseconds);
    if (!j->Done) loop.exec();
    poll.stop();
  }
  if (dialog.wasCanceled()) {
    CancelledLoads::Instance().Add(std::move(job));
    throw TLoadCancelled();
  }
  dialog.hide();
  j->Worker.join();
  if (j->Error) std::rethrow_exception(j->Error);
  target.Swap(j->Result);
}

}  // namespace

std::optional<QSize> PictureSizeOf(const std::string& path) {
  QImageReader reader(ToQt(path));
  reader.setDecideFormatFromContent(true);
  const QSize size = reader.size();
  if (!size.isValid() || size.isEmpty()) return std::nullopt;
  return size;
}

TPictureLoader WithLoadProgress(TPictureLoader inner, QWidget* parent) {
  TPictureLoader wrapped = inner;
  QPointer<QWidget> owner(parent);
  wrapped.Load = [inner, owner](const std::string& path, TBitmap& target) {
    if (IsLarge(path))
      LoadWithDialog(inner, path, target, owner.data());
    else
      inner.Load(path, target);
  };
  return wrapped;
}

void WaitForCancelledLoads() { CancelledLoads::Instance().WaitAll(); }

}  // namespace tracemill
