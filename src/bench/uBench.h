#pragma once
// The work bench: one picture, its standard points and transform, its
// measured points and lines, the view (scale, magnifier, scrolling), the
// clicks and commands, the settings and state texts and the undo history.
// The bench window only draws what this object computes and forwards the
// user's gestures to it.

#include <array>
#include <exception>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bench/uBenchHistory.h"
#include "bench/uBenchSettings.h"
#include "bench/uBenchView.h"
#include "bench/uCalibration.h"
#include "bench/uData.h"
#include "bench/uTrace.h"
#include "common/uServices.h"
#include "image/uBitmap.h"
#include "settings/uIniFile.h"

namespace tracemill {

// Where a bench gets its pictures. Load fills the bitmap or throws (any
// exception is a failed load, which leaves the bitmap as it was).
struct TPictureLoader {
  std::function<bool(const std::string& path)> Exists;
  std::function<bool(const std::string& path)> CanOpen;  // some loader claims the file
  std::function<void(const std::string& path, TBitmap& target)> Load;
};
// The program's loaders (FileExists, CanOpenPicture, LoadPictureFile).
TPictureLoader DefaultPictureLoader(const TImageLimits& limits = DefaultImageLimits());

// Thrown by a loader when the user cancelled the loading: LoadImage returns
// false without a message, the bench as it was.
class TLoadCancelled : public std::exception {
 public:
  const char* what() const noexcept override { return "loading cancelled"; }
};

// What the window must redraw or re-read; OnRepaint carries a combination.
namespace benchlayer {
inline constexpr unsigned Image = 1u << 0;          // the picture
inline constexpr unsigned Markers = 1u << 1;        // markers and lines
inline constexpr unsigned Grid = 1u << 2;           // the magnifier grid
inline constexpr unsigned ScrollBars = 1u << 3;     // ranges, page sizes, positions
inline constexpr unsigned StandardPanel = 1u << 4;  // shown or hidden, rows, log check boxes
inline constexpr unsigned Caption = 1u << 5;        // the window caption
inline constexpr unsigned Bars = 1u << 6;           // comment and title bars shown or hidden
inline constexpr unsigned CommentText = 1u << 7;
inline constexpr unsigned TitleText = 1u << 8;
inline constexpr unsigned StatusBar = 1u << 9;  // which status panels are shown
inline constexpr unsigned Font = 1u << 10;
inline constexpr unsigned Placement = 1u << 11;  // the window placement record changed
inline constexpr unsigned View = Image | Markers | Grid;
inline constexpr unsigned All = (1u << 12) - 1;
}  // namespace benchlayer

// The kind text handed with OnPoint.
inline constexpr std::string_view kPointKind = "Point";  // a click, or Recalculate
inline constexpr std::string_view kLineKind = "Line";    // the Line command
// Undo or redo brought the line back to this state. Its Id is the line's own:
// the receiver keeps (or takes up again) the line under that Id.
inline constexpr std::string_view kRestoreKind = "Restore";

enum class TMouseButton { Left, Right, Middle };

// What a right-button mouse-down does.
enum class TRightAction { None, Magnify, Line, Delete, Popup };

enum class TArrowKey { Left, Right, Up, Down };

// The two tracing commands: follow the curve under the spot, or find every
// marker like the one under it.
enum class TTraceKind { Curve, Markers };

// The right-button popup menu as it is to be shown.
struct TBenchPopup {
  bool MagnifyVisible = false;
  bool LineVisible = false;
  bool DeleteVisible = false;
  bool LineEnabled = false;    // the bench has a measured line
  bool DeleteEnabled = false;  // a measured point lies under the last mouse-down
  bool TraceEnabled = false;   // the last mouse-down lies on the picture
  std::string MagnifyCaption;  // "Magnify", or "Cancel Magnify" while magnified
  std::string LineCaption;
  std::string DeleteCaption;
  std::string TraceCaption;    // the two tracing commands
  std::string MarkersCaption;
};

// Check marks and enabled items of the bench's menus.
struct TBenchMenuState {
  bool CommentBarChecked = false;
  bool TitleBarChecked = false;
  bool MagnifyChecked = false;
  int CheckedScaleIndex = 0;
  bool StandardPointsChecked = false;
  bool RecalculateEnabled = false;  // only outside standard-point mode
  bool TraceEnabled = false;        // a picture, outside standard-point mode
  bool UndoEnabled = false;
  bool RedoEnabled = false;
};

// The standard-point panel: log check boxes and the grid's rows (cells "#",
// "w", "h", "x", "y", "X", "Y").
struct TStandardPanel {
  bool Visible = false;  // in standard-point mode
  bool LogX = false;
  bool LogY = false;
  bool LogEnabled = false;  // from two standard points on
  bool GridVisible = false;
  std::vector<std::array<std::string, 7>> Rows;
};

inline constexpr int kStatusPanelCount = 5;

class TBench {
 public:
  TBench(TMessageService& messages, TIniFile& store, TPictureLoader loader = DefaultPictureLoader());
  TBench(const TBench&) = delete;
  TBench& operator=(const TBench&) = delete;

  // --- Events, each called only when set -----------------------------------
  std::function<void(TBench&)> OnImageLoaded;
  // A point was added to a line, a line was recalculated, or undo/redo brought
  // a line back: the receiver reads the line and returns through id the Id
  // under which it keeps the line (the bench's line takes that Id).
  std::function<void(TBench&, const TMeasuredPoints& line, std::string_view kind, std::int32_t& id)> OnPoint;
  std::function<void(TBench&, const std::string& settingsText)> OnOptionChanged;
  // The line with this Id is about to leave the bench.
  std::function<void(TBench&, std::int32_t id)> OnLineDeleted;
  std::function<void(TBench&)> OnTitleChanged;
  // Layers to redraw or re-read (benchlayer::...).
  std::function<void(TBench&, unsigned layers)> OnRepaint;
  // True before and false after long work (counting a large area): the
  // window shows the hourglass meanwhile.
  std::function<void(TBench&, bool busy)> OnBusy;

  // The window's placement: the window fills it in before StateText and reads
  // it back after ApplyStateText (which raises OnRepaint with Placement).
  TWindowPlacement Placement;

  // --- State ----------------------------------------------------------------
  const std::string& FileName() const { return fileName_; }
  bool HasPicture() const { return !fileName_.empty(); }
  const TBitmap& Picture() const { return picture_; }
  std::string Caption() const;  // the window caption
  int ScaleIndex() const { return scaleIndex_; }
  std::int32_t Scale() const;
  std::int32_t ExtentX() const;  // picture size in position units
  std::int32_t ExtentY() const;
  bool Magnified() const { return magnified_; }
  std::int32_t Magnitude() const { return settings_.Magnitude; }
  std::int32_t Magnification() const { return magnified_ ? settings_.Magnitude : 1; }
  bool StandardMode() const { return standardMode_; }
  bool LineMode() const { return lineMode_; }
  bool CommentVisible() const { return commentVisible_; }
  bool TitleVisible() const { return titleVisible_; }
  const std::string& TitleText() const { return title_; }
  const std::string& CommentText() const { return comment_; }
  const TBenchSettings& Settings() const { return settings_; }
  const TDataSet& Data() const { return data_; }
  const TCoefficients& Coefficients() const { return coefficients_; }
  std::pair<int, int> LastDown() const { return {lastDownX_, lastDownY_}; }

  // --- Picture ----------------------------------------------------------------
  // Loads the picture at path. A missing file or one no loader claims is told
  // through the message service (true is returned and nothing changes); a
  // loader that fails is told too and returns false, the bench as it was.
  // On success: file name, caption and title text are set, the extent is
  // rebuilt, the bench calibrates, the history is cleared, OnImageLoaded.
  bool LoadImage(const std::string& path);
  // The loader LoadImage uses; a window may wrap it (to load with progress).
  const TPictureLoader& PictureLoader() const { return loader_; }
  void SetPictureLoader(TPictureLoader loader) { loader_ = std::move(loader); }

  // --- View -------------------------------------------------------------------
  void SetClientSize(int width, int height);  // the image area in view pixels
  TScrollBarState HorizontalScroll() const;
  TScrollBarState VerticalScroll() const;
  // Scrolls (ignored without a picture); positions are limited to the bars.
  void SetScrollPosition(std::int32_t x, std::int32_t y);
  TViewParams ViewParams() const;
  TViewGeometry ViewGeometry() const;
  std::optional<std::pair<std::int32_t, std::int32_t>> ScreenToPosition(int x, int y) const;
  void SetScaleIndex(int index);  // 0 .. 3; other values keep the index
  // The same, scrolled so that the picture point under view pixel (x, y)
  // stays there as far as the scroll bars allow (zooming with the wheel).
  void SetScaleIndexAt(int index, int x, int y);
  void SetMagnified(bool on);
  void SetMagnitude(std::int32_t m);  // 0 (meaning 5) or 3 .. 10

  // --- Bars and title ----------------------------------------------------------
  void SetCommentVisible(bool on);
  void SetTitleVisible(bool on);
  void SetTitleText(std::string_view text);  // raises OnTitleChanged
  void SetCommentText(std::string_view text);

  // --- Standard points and values -----------------------------------------------
  void SetStandardMode(bool on);  // leaving the mode calibrates
  void ToggleStandardMode() { SetStandardMode(!standardMode_); }
  void DeleteStandardPoint(int row);
  // A typed value for the X or Y cell of a standard row: stored only when the
  // text is a number (locale decimal separator). Returns whether it was.
  bool EnterStandardValue(int row, TStandardColumn column, std::string_view text);
  void SetLogX(bool on);
  void SetLogY(bool on);
  // Recomputes the transform from the standard points; a failure is told
  // through the message service and keeps the previous transform.
  void Calibrate();
  void Recalculate();

  // --- Mouse, keyboard and commands ---------------------------------------------
  // A mouse-down at view coordinates: the left button sets a point; another
  // button runs the right-button action, which is returned (Popup: open the
  // popup menu at the click).
  TRightAction MouseDown(int x, int y, TMouseButton button);
  TRightAction RightButtonAction() const;
  TBenchPopup Popup() const;
  void Magnify();        // at the last mouse-down
  void LineCommand();    // at the last mouse-down
  void DeleteCommand();  // at the last mouse-down, after asking
  // Deletes every line with this Id (the main window's delete and remeasure).
  void DeleteLineById(std::int32_t id);
  // How far an arrow key moves the pointer, in screen pixels.
  static int KeyboardStep(bool shift, bool ctrl, bool alt);
  static std::pair<int, int> ArrowStep(TArrowKey key, bool shift, bool ctrl, bool alt);

  // --- Tracing ---------------------------------------------------------------------
  // Both commands act at the last mouse-down. The settings are those last
  // confirmed, kept in the settings store (a value missing there, or out of
  // range, reads as its default).
  TTraceSettings TraceSettings() const;
  // The points the command would give, in picture pixels; nothing changes.
  // Throws InvalidOperation with a message for the user: no picture, the spot
  // beyond it, settings out of range (for Markers only the tolerance counts),
  // more than kMaxTracePoints points.
  std::vector<TTracePoint> TracePreview(TTraceKind kind, const TTraceSettings& settings) const;
  // One new measured line of the points, at the current scale, with the
  // comment and title bars as a click takes them (the comment rewritten from
  // the spot when so configured); raised through OnPoint with kind "Point",
  // undone in one step; ends line mode; remembers the settings (Markers: the
  // tolerance). Throws as TracePreview, and then nothing has changed.
  void TraceCommand(TTraceKind kind, const TTraceSettings& settings);
  // Sets the last mouse-down on picture pixel (x, y), counted from 0 at the
  // picture's top-left whatever the scale: the view coordinates of the
  // pixel's middle position unit at the current scale, so that the commands
  // acting at the last mouse-down act on that pixel. The view scrolls to the
  // spot when it lies above or left of it, or beyond the reach of view
  // coordinates. Returns false, and changes nothing, without a picture or
  // for a pixel outside it.
  bool SetLastDownPixel(int x, int y);
  // A caption of the command: popup item and dialog title.
  static std::string TraceCaption(TTraceKind kind, bool japanese);
  // Points (picture pixels) drawn over the view like a measured line until
  // cleared: a trace's preview. SetPreview with no points clears it.
  void SetPreview(const std::vector<TTracePoint>& points);
  void ClearPreview() { SetPreview({}); }
  bool HasPreview() const { return preview_ != nullptr; }

  // --- Queries for the window -----------------------------------------------------
  TBenchMenuState MenuState() const;
  static std::string ScaleCaption(int index, bool japanese);
  TStandardPanel StandardPanel() const;
  // Texts of the five status panels for the mouse at view (x, y); all empty
  // outside the picture.
  std::array<std::string, kStatusPanelCount> StatusTexts(int x, int y) const;
  std::array<int, kStatusPanelCount> StatusPanelWidths(int barWidth) const;

  // --- Settings ---------------------------------------------------------------------
  void SetStandardColor(std::uint32_t color);
  void SetStandardPattern(int index);
  void SetStandardShape(TMarkerShape shape);
  void SetMeasuredColor(std::uint32_t color);
  void SetMeasuredPattern(int index);
  void SetMeasuredShape(TMarkerShape shape);
  void SetStandardVisible(bool on);
  void SetMeasuredVisible(bool on);
  void SetGridColor(std::uint32_t color);
  void SetLineColor(std::uint32_t color);
  void SetLineWidth(std::int32_t width);

  std::string SettingsText() const;
  // Throws ConvertError at a malformed line; the lines before it stay applied.
  void ApplySettingsText(std::string_view text);
  // The options dialog closed with OK: apply its text, then OnOptionChanged.
  void ApplyOptions(const std::string& text);
  // Reads the bench defaults (font and settings) from the settings store.
  void LoadDefaults();

  // --- State text ---------------------------------------------------------------------
  std::string StateText() const;
  // Rebuilds the bench from a state text: clears its points, loads the
  // picture, reads view, settings, standard points and lines, then calibrates
  // with the standard points read. Throws ConvertError at a malformed line
  // (what was read before stays). Clears the history.
  void ApplyStateText(std::string_view text);

  // --- Undo ----------------------------------------------------------------------------
  bool CanUndo() const { return history_.CanUndo(); }
  bool CanRedo() const { return history_.CanRedo(); }
  void Undo();
  void Redo();

 private:
  void Repaint(unsigned layers);
  void UpdateScrollBars();
  std::optional<std::pair<std::int32_t, std::int32_t>> LastDownPosition() const;
  void SetStandardPoint(std::int32_t posX, std::int32_t posY);
  void MeasureAt(std::int32_t posX, std::int32_t posY, std::string_view kind, bool lineMode);
  std::string ClickComment(std::int32_t posX, std::int32_t posY);
  std::int32_t SendLine(TMeasuredPoints& line, std::string_view kind);
  int LineUnder(std::int32_t posX, std::int32_t posY) const;
  void RemoveLines(const std::vector<int>& indices);
  std::string DeleteQuestion(const TMeasuredPoints& line) const;
  void ApplyStateLine(std::string_view key, std::string_view value, std::string& leftover);
  void ApplyPlacementLine(std::string_view key, std::int32_t value);
  void ApplyChange(const TBenchChange& change, bool forward);
  void ApplyPointAdded(const TPointAdded& change, bool forward);
  void ApplyLinesChanged(const TLinesChanged& change, bool forward);
  void ApplyLineTraced(const TLineTraced& change, bool forward);
  void ApplyRecalculated(const TValuesRecalculated& change, bool forward);
  void RestoreLine(int index);
  void DropLines(const std::vector<int>& indices);

  TMessageService& messages_;
  TIniFile& store_;
  TPictureLoader loader_;

  std::string fileName_;
  TBitmap picture_;
  int scaleIndex_ = 0;
  bool magnified_ = false;
  bool standardMode_ = false;
  bool lineMode_ = false;
  bool commentVisible_ = true;
  bool titleVisible_ = true;
  std::string title_;
  std::string comment_;
  int lastDownX_ = 0;
  int lastDownY_ = 0;
  int clientWidth_ = 0;
  int clientHeight_ = 0;
  std::int32_t scrollX_ = 0;
  std::int32_t scrollY_ = 0;
  TBenchSettings settings_;
  TCoefficients coefficients_;
  TDataSet data_;
  TBenchHistory history_;
  std::unique_ptr<TMeasuredPoints> preview_;  // at the scale of SetPreview
};

}  // namespace tracemill
