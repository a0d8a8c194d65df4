#include "bench/uBench.h"

#include <algorithm>

#include "bench/uColorArea.h"
#include "common/uFilename.h"
#include "common/uFormatSettings.h"
#include "common/uNumber.h"
#include "common/uStrC.h"
#include "image/uSPI.h"
#include "settings/uAppliInfo.h"
#include "settings/uEnvironment.h"

namespace tracemill {

namespace {

constexpr std::string_view kUnloadedCaption = "Work Bench";
constexpr std::string_view kCaptionSeparator = " / ";
constexpr std::string_view kEmptyPictureJa = "を読み込めませんでした。";
constexpr std::string_view kEmptyPictureEn = "can not be loaded.";
constexpr std::string_view kScaleSuffixJa = "倍";
constexpr std::string_view kScalePrefixEn = "x";
constexpr int kStatusMargin = 10;  // pixels of the status bar no panel takes

void ShowWarning(TMessageService& messages, std::string caption, std::string text) {
  TMessage m;
  m.Caption = std::move(caption);
  m.Text = std::move(text);
  m.Buttons = TMessageButtons::Ok;
  m.Icon = TMessageIcon::Exclamation;
  messages.ShowMessage(m);
}

// A bar's text stays one line.
std::string OneLine(std::string_view text) {
  std::string s(text);
  std::replace_if(s.begin(), s.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return s;
}

}  // namespace

TPictureLoader DefaultPictureLoader(const TImageLimits& limits) {
  return {[](const std::string& path) { return FileExists(path); },
          [](const std::string& path) { return CanOpenPicture(path); },
          [limits](const std::string& path, TBitmap& target) { LoadPictureFile(path, target, limits); }};
}

TBench::TBench(TMessageService& messages, TIniFile& store, TPictureLoader loader)
    : messages_(messages), store_(store), loader_(std::move(loader)) {
  LoadDefaults();
}

void TBench::Repaint(unsigned layers) {
  if (OnRepaint) OnRepaint(*this, layers);
}

std::string TBench::Caption() const {
  const std::string first = HasPicture() ? ExtractFileName(fileName_) : std::string(kUnloadedCaption);
  return first + std::string(kCaptionSeparator) + Appli().Name;
}

std::int32_t TBench::Scale() const {
  std::int32_t s = 1;
  for (int i = 0; i < scaleIndex_; ++i) s *= 3;
  return s;
}

std::int32_t TBench::ExtentX() const { return picture_.Width() * Scale(); }
std::int32_t TBench::ExtentY() const { return picture_.Height() * Scale(); }

// --- Picture -------------------------------------------------------------------

bool TBench::LoadImage(const std::string& path) {
  const bool japanese = IsJapanese();
  if (!loader_.Exists(path)) {
    ShowWarning(messages_, "", PictureNotFoundMessage(japanese, path));
    return true;
  }
  if (!loader_.CanOpen(path)) {
    ShowWarning(messages_, "", NoPluginMessage(japanese, path));
    return true;
  }
  TBitmap fresh;
  try {
    loader_.Load(path, fresh);
  } catch (const TLoadCancelled&) {
    return false;
  } catch (const std::exception& e) {
    ShowWarning(messages_, "", e.what());
    return false;
  }
  if (fresh.Empty()) {
    ShowWarning(messages_, "", path + "\n" + std::string(japanese ? kEmptyPictureJa : kEmptyPictureEn));
    return false;
  }
  picture_.Swap(fresh);
  fileName_ = path;
  history_.Clear();
  scaleIndex_ = std::min(scaleIndex_, MaxScaleIndexFor(picture_.Width(), picture_.Height()));
  SetTitleText(ExtractFileName(path));
  Calibrate();
  UpdateScrollBars();
  Repaint(benchlayer::View | benchlayer::ScrollBars | benchlayer::Caption | benchlayer::StandardPanel);
  if (OnImageLoaded) OnImageLoaded(*this);
  return true;
}

// --- View ----------------------------------------------------------------------

TScrollBarState TBench::HorizontalScroll() const {
  return MakeScrollBar(ExtentX(), clientWidth_, Magnification(), scrollX_);
}

TScrollBarState TBench::VerticalScroll() const {
  return MakeScrollBar(ExtentY(), clientHeight_, Magnification(), scrollY_);
}

void TBench::UpdateScrollBars() {
  if (!HasPicture()) return;
  scrollX_ = HorizontalScroll().Position;
  scrollY_ = VerticalScroll().Position;
}

void TBench::SetClientSize(int width, int height) {
  clientWidth_ = std::max(width, 0);
  clientHeight_ = std::max(height, 0);
  UpdateScrollBars();
  Repaint(benchlayer::View | benchlayer::ScrollBars);
}

void TBench::SetScrollPosition(std::int32_t x, std::int32_t y) {
  if (!HasPicture()) return;
  scrollX_ = HorizontalScroll().Clamp(x);
  scrollY_ = VerticalScroll().Clamp(y);
  Repaint(benchlayer::View | benchlayer::ScrollBars);
}

TViewParams TBench::ViewParams() const {
  TViewParams v;
  v.PictureWidth = picture_.Width();
  v.PictureHeight = picture_.Height();
  v.Scale = Scale();
  v.Magnification = Magnification();
  v.ScrollX = scrollX_;
  v.ScrollY = scrollY_;
  v.ClientWidth = clientWidth_;
  v.ClientHeight = clientHeight_;
  return v;
}

TViewGeometry TBench::ViewGeometry() const {
  if (!HasPicture()) return ComputeViewGeometry(TViewParams{}, settings_, data_, standardMode_);
  return ComputeViewGeometry(ViewParams(), settings_, data_, standardMode_, preview_.get());
}

std::optional<std::pair<std::int32_t, std::int32_t>> TBench::ScreenToPosition(int x, int y) const {
  return tracemill::ScreenToPosition(ViewParams(), x, y);
}

void TBench::SetScaleIndex(int index) {
  const int largest = HasPicture() ? MaxScaleIndexFor(picture_.Width(), picture_.Height()) : 3;
  if (index >= 0 && index <= largest) scaleIndex_ = index;
  UpdateScrollBars();
  Repaint(benchlayer::View | benchlayer::ScrollBars);
}

void TBench::SetScaleIndexAt(int index, int x, int y) {
  const std::int64_t before = Scale();
  const std::int64_t m = Magnification();
  const std::int64_t px = std::max(x, 0) / m + scrollX_;
  const std::int64_t py = std::max(y, 0) / m + scrollY_;
  SetScaleIndex(index);
  if (!HasPicture()) return;
  // Zooming in lands on the middle unit of the pixel.
  const std::int64_t after = Scale();
  const std::int64_t middle = after > before ? after / before / 2 : 0;
  scrollX_ = HorizontalScroll().Clamp(px * after / before + middle - std::max(x, 0) / m);
  scrollY_ = VerticalScroll().Clamp(py * after / before + middle - std::max(y, 0) / m);
  Repaint(benchlayer::View | benchlayer::ScrollBars);
}

void TBench::SetMagnified(bool on) {
  magnified_ = on;
  UpdateScrollBars();
  Repaint(benchlayer::View | benchlayer::ScrollBars);
}

void TBench::SetMagnitude(std::int32_t m) {
  settings_.SetMagnitude(m);
  UpdateScrollBars();
  Repaint(benchlayer::View | benchlayer::ScrollBars);
}

// --- Bars and title -------------------------------------------------------------

void TBench::SetCommentVisible(bool on) {
  commentVisible_ = on;
  Repaint(benchlayer::Bars);
}

void TBench::SetTitleVisible(bool on) {
  titleVisible_ = on;
  Repaint(benchlayer::Bars);
}

void TBench::SetTitleText(std::string_view text) {
  std::string line = OneLine(text);
  if (line == title_) return;
  title_ = std::move(line);
  Repaint(benchlayer::TitleText);
  if (OnTitleChanged) OnTitleChanged(*this);
}

void TBench::SetCommentText(std::string_view text) {
  std::string line = OneLine(text);
  if (line == comment_) return;
  comment_ = std::move(line);
  Repaint(benchlayer::CommentText);
}

// --- Standard points and values -------------------------------------------------

void TBench::SetStandardMode(bool on) {
  if (on == standardMode_) return;
  standardMode_ = on;
  Repaint(benchlayer::StandardPanel | benchlayer::Markers | benchlayer::Grid);
  if (!on) Calibrate();
}

void TBench::DeleteStandardPoint(int row) {
  const TStandardPoint* p = data_.Standards.Item(row);
  if (!p) return;
  history_.Record(TStandardDeleted{row, *p});
  data_.Standards.Delete(row);
  Repaint(benchlayer::View | benchlayer::StandardPanel);
}

bool TBench::EnterStandardValue(int row, TStandardColumn column, std::string_view text) {
  const TStandardPoint* p = data_.Standards.Item(row);
  if (!p) return false;
  const bool isX = column == TStandardColumn::X;
  TStandardEdited change{row, column, isX ? p->TextX : p->TextY, {}, isX ? p->ValueX : p->ValueY, 0};
  if (!tracemill::EnterStandardValue(data_.Standards, row, column, text, FormatSettings().DecimalSeparator))
    return false;
  change.NewText = isX ? p->TextX : p->TextY;
  change.NewValue = isX ? p->ValueX : p->ValueY;
  if (change.NewText != change.OldText || change.NewValue != change.OldValue) history_.Record(std::move(change));
  return true;
}

void TBench::SetLogX(bool on) {
  const TStandardList& s = data_.Standards;
  if (on == s.LogX) return;
  history_.Record(TLogAxesChanged{s.LogX, s.LogY, on, s.LogY});
  data_.Standards.LogX = on;
  Repaint(benchlayer::StandardPanel);
}

void TBench::SetLogY(bool on) {
  const TStandardList& s = data_.Standards;
  if (on == s.LogY) return;
  history_.Record(TLogAxesChanged{s.LogX, s.LogY, s.LogX, on});
  data_.Standards.LogY = on;
  Repaint(benchlayer::StandardPanel);
}

void TBench::Calibrate() {
  const TCalibrationResult result =
      tracemill::Calibrate(data_.Standards, picture_.Width(), picture_.Height(), coefficients_);
  if (result != TCalibrationResult::Ok)
    ShowWarning(messages_, kCalibrationErrorCaption, CalibrationMessage(result, IsJapanese()));
}

std::int32_t TBench::SendLine(TMeasuredPoints& line, std::string_view kind) {
  std::int32_t id = line.Id;
  if (OnPoint) OnPoint(*this, line, kind, id);
  return id;
}

void TBench::Recalculate() {
  TValuesRecalculated change;
  TMeasuredList& lines = data_.Measured;
  for (int i = 0; i < lines.Count(); ++i) {
    TMeasuredPoints* line = lines.Item(i);
    if (!line) continue;
    for (int j = 0; j < line->Count(); ++j) {
      TMeasuredPoint* p = line->Item(j);
      if (!p) continue;
      change.OldValues.emplace_back(p->ValueX, p->ValueY);
      ComputeValues(coefficients_, data_.Standards.LogX, data_.Standards.LogY, *p);
      change.NewValues.emplace_back(p->ValueX, p->ValueY);
    }
  }
  // Every line goes to the main window, which may hand back another Id.
  for (int i = 0; i < lines.Count(); ++i) {
    TMeasuredPoints* line = lines.Item(i);
    if (!line) continue;
    change.OldIds.push_back(line->Id);
    const std::int32_t id = SendLine(*line, kPointKind);
    if (lines.Item(i) == line) line->Id = id;
    change.NewIds.push_back(id);
  }
  history_.Record(std::move(change));
}

// --- Queries --------------------------------------------------------------------

TBenchMenuState TBench::MenuState() const {
  TBenchMenuState m;
  m.CommentBarChecked = commentVisible_;
  m.TitleBarChecked = titleVisible_;
  m.MagnifyChecked = magnified_;
  m.CheckedScaleIndex = scaleIndex_;
  m.StandardPointsChecked = standardMode_;
  m.RecalculateEnabled = !standardMode_;
  m.TraceEnabled = HasPicture() && !standardMode_;
  m.UndoEnabled = CanUndo();
  m.RedoEnabled = CanRedo();
  return m;
}

std::string TBench::ScaleCaption(int index, bool japanese) {
  std::int64_t factor = 1;
  for (int i = 0; i < index; ++i) factor *= 3;
  if (japanese) return FullWidthNumerals(IntToStr(factor)) + std::string(kScaleSuffixJa);
  return std::string(kScalePrefixEn) + IntToStr(factor);
}

TStandardPanel TBench::StandardPanel() const {
  TStandardPanel panel;
  const TStandardList& s = data_.Standards;
  panel.Visible = standardMode_;
  panel.LogX = s.LogX;
  panel.LogY = s.LogY;
  panel.LogEnabled = s.Count() >= 2;
  panel.GridVisible = s.Count() > 0;
  for (int i = 0; i < s.Count(); ++i) {
    const TStandardPoint* p = s.Item(i);
    if (!p) continue;
    panel.Rows.push_back({IntToStr(i + 1), IntToStr(p->Width), IntToStr(p->Height), IntToStr(p->PosX),
                          IntToStr(p->PosY), p->TextX, p->TextY});
  }
  return panel;
}

std::array<std::string, kStatusPanelCount> TBench::StatusTexts(int x, int y) const {
  std::array<std::string, kStatusPanelCount> texts;
  const auto pos = ScreenToPosition(x, y);
  if (!pos) return texts;
  const auto [px, py] = *pos;
  TMeasuredPoint p(px, py, ExtentX(), ExtentY());
  ComputeValues(coefficients_, data_.Standards.LogX, data_.Standards.LogY, p);
  const char separator = FormatSettings().DecimalSeparator;
  texts[0] = IntToStr(px);
  texts[1] = IntToStr(py);
  texts[2] = FloatToStr(p.ValueX, separator);
  texts[3] = FloatToStr(p.ValueY, separator);
  texts[4] = ColorCode(picture_, px / Scale(), py / Scale());
  return texts;
}

std::array<int, kStatusPanelCount> TBench::StatusPanelWidths(int barWidth) const {
  const TBenchSettings& s = settings_;
  const bool shown[kStatusPanelCount] = {s.StatusXo, s.StatusYo, s.StatusXv, s.StatusYv, s.StatusColor};
  const int count = s.VisibleStatusCount();
  const int each = count > 0 ? std::max(barWidth - kStatusMargin, 0) / count : 0;
  std::array<int, kStatusPanelCount> widths{};
  for (int i = 0; i < kStatusPanelCount; ++i) widths[static_cast<std::size_t>(i)] = shown[i] ? each : 0;
  return widths;
}

// --- Settings -------------------------------------------------------------------

namespace {
constexpr std::uint32_t kColorBits = 0xFFFFFFu;
}

void TBench::SetStandardColor(std::uint32_t color) {
  settings_.Standard.Color = color & kColorBits;
  Repaint(benchlayer::View);
}

void TBench::SetStandardPattern(int index) {
  settings_.Standard.SetPattern(index);
  Repaint(benchlayer::View);
}

void TBench::SetStandardShape(TMarkerShape shape) {
  settings_.Standard.SetShape(shape);
  Repaint(benchlayer::View);
}

void TBench::SetMeasuredColor(std::uint32_t color) {
  settings_.Measured.Color = color & kColorBits;
  Repaint(benchlayer::View);
}

void TBench::SetMeasuredPattern(int index) {
  settings_.Measured.SetPattern(index);
  Repaint(benchlayer::View);
}

void TBench::SetMeasuredShape(TMarkerShape shape) {
  settings_.Measured.SetShape(shape);
  Repaint(benchlayer::View);
}

void TBench::SetStandardVisible(bool on) {
  settings_.StandardVisible = on;
  Repaint(benchlayer::View);
}

void TBench::SetMeasuredVisible(bool on) {
  settings_.MeasuredVisible = on;
  Repaint(benchlayer::View);
}

void TBench::SetGridColor(std::uint32_t color) {
  settings_.GridColor = color & kColorBits;
  Repaint(benchlayer::Grid);
}

// Line colour and width take effect at the next repaint.
void TBench::SetLineColor(std::uint32_t color) { settings_.LineColor = color & kColorBits; }
void TBench::SetLineWidth(std::int32_t width) { settings_.LineWidth = width; }

}  // namespace tracemill
