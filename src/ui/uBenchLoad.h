#pragma once
// Loading a bench's picture with a progress dialog: a large picture decodes
// in a worker thread while a modal dialog with Cancel shows over the
// hourglass; Cancel leaves the bench as it was.

#include <QSize>
#include <cstdint>
#include <optional>
#include <string>

#include "bench/uBench.h"

class QWidget;

namespace tracemill {

// Pictures of more pixels than this load with the progress dialog.
inline constexpr std::int64_t kProgressPixels = 50'000'000;

// The picture size its file's header gives; nullopt when the header is not
// one the desktop's image readers know.
std::optional<QSize> PictureSizeOf(const std::string& path);

// The loader wrapped: a picture of more than kProgressPixels decodes in a
// worker thread into a bitmap of its own while a modal progress dialog
// (owned by parent) shows. When the decode ends the dialog closes and the
// bitmap goes to the target without a copy; Cancel throws TLoadCancelled at
// once, leaving the target untouched, and the decode's result is dropped
// when it ends. Errors of the decode are thrown as the inner loader threw
// them. Other pictures load directly.
TPictureLoader WithLoadProgress(TPictureLoader inner, QWidget* parent);

// Waits until every cancelled decode has ended (their loaders may use what
// the caller is about to release).
void WaitForCancelledLoads();

}  // namespace tracemill
