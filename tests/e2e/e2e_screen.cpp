// The eyes of the end-to-end run on an X display:
//   e2e_screen shot WINDOW FILE.png     saves what the window shows;
//   e2e_screen find WINDOW PICTURE      prints "x y", where the picture's
//                                       pixel (0, 0) lies in the window
//                                       (drawn 1:1), or fails.
// WINDOW is an X window id in decimal, as xdotool prints it.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <cstdio>
#include <optional>

namespace {

constexpr int kPatch = 24;

bool Matches(const QImage& shot, int sx, int sy, const QImage& picture, int px, int py) {
  for (int y = 0; y < kPatch; ++y)
    for (int x = 0; x < kPatch; ++x)
      if ((shot.pixel(sx + x, sy + y) & 0xFFFFFFu) != (picture.pixel(px + x, py + y) & 0xFFFFFFu)) return false;
  return true;
}

// The patch of the picture's upper left part with the most pixels that are
// not white: something the window's own parts do not show.
QPoint DistinctPatch(const QImage& picture) {
  QPoint best(0, 0);
  int bestCount = -1;
  const int right = std::min(picture.width(), 320) - kPatch;
  const int bottom = std::min(picture.height(), 240) - kPatch;
  for (int py = 0; py <= bottom; py += 4)
    for (int px = 0; px <= right; px += 4) {
      int count = 0;
      for (int y = 0; y < kPatch; y += 2)
        for (int x = 0; x < kPatch; x += 2) count += (picture.pixel(px + x, py + y) & 0xFFFFFFu) != 0xFFFFFFu;
      if (count > bestCount) {
        bestCount = count;
        best = QPoint(px, py);
      }
    }
  return best;
}

std::optional<QPoint> Find(const QImage& shot, const QImage& picture) {
  if (picture.width() < kPatch || picture.height() < kPatch) return std::nullopt;
  const QPoint patch = DistinctPatch(picture);
  for (int sy = 0; sy + kPatch <= shot.height(); ++sy)
    for (int sx = 0; sx + kPatch <= shot.width(); ++sx)
      if (Matches(shot, sx, sy, picture, patch.x(), patch.y())) return QPoint(sx - patch.x(), sy - patch.y());
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QStringList args = QGuiApplication::arguments();
  if (args.size() != 4 || (args[1] != QLatin1String("shot") && args[1] != QLatin1String("find"))) {
    std::fprintf(stderr, "usage: e2e_screen shot|find WINDOW FILE\n");
    return 2;
  }
  const QImage shot =
      QGuiApplication::primaryScreen()->grabWindow(static_cast<WId>(args[2].toULongLong())).toImage();
  if (shot.isNull()) {
    std::fprintf(stderr, "window %s could not be grabbed\n", qPrintable(args[2]));
    return 1;
  }
  if (args[1] == QLatin1String("shot")) return shot.save(args[3]) ? 0 : 1;
  const QImage picture(args[3]);
  if (picture.isNull()) {
    std::fprintf(stderr, "%s is no picture\n", qPrintable(args[3]));
    return 1;
  }
  const std::optional<QPoint> at = Find(shot.convertToFormat(QImage::Format_RGB32), picture.convertToFormat(QImage::Format_RGB32));
  if (!at) {
    std::fprintf(stderr, "the picture is not in the window\n");
    return 1;
  }
  std::printf("%d %d\n", at->x(), at->y());
  return 0;
}
