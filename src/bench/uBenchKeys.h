#pragma once
// The key names of the bench's two texts (the settings text and the state
// text) and of the bench defaults in the settings store. Writer and readers
// take them from here, so they cannot drift apart. Keys are compared
// case-insensitively.

#include <string_view>

namespace tracemill::benchkeys {

// --- Settings text, in the order the writer emits them ----------------------
inline constexpr std::string_view kFontName = "FontName";
inline constexpr std::string_view kFontCharset = "FontCharset";
inline constexpr std::string_view kFontSize = "FontSize";
inline constexpr std::string_view kFontColor = "FontColor";
inline constexpr std::string_view kFontBold = "FontBold";
inline constexpr std::string_view kFontItalic = "FontItalic";
inline constexpr std::string_view kFontUnderline = "FontUnderline";
inline constexpr std::string_view kFontStrikeout = "FontStrikeout";
inline constexpr std::string_view kStandardColor = "StandardColor";
inline constexpr std::string_view kStandardPattern = "StandardPattern";
inline constexpr std::string_view kStandardBitmap = "StandardBitmap";
inline constexpr std::string_view kStandardVisible = "StandardVisible";
inline constexpr std::string_view kMeasuredColor = "MeasuredColor";
inline constexpr std::string_view kMeasuredPattern = "MeasuredPattern";
inline constexpr std::string_view kMeasuredBitmap = "MeasuredBitmap";
inline constexpr std::string_view kMeasuredVisible = "MeasuredVisible";
inline constexpr std::string_view kLineColor = "LineColor";
inline constexpr std::string_view kLineWidth = "LineWidth";
inline constexpr std::string_view kMagnitude = "Magnitude";
inline constexpr std::string_view kGridColor = "GridColor";
inline constexpr std::string_view kCommentArea = "CommentArea";
inline constexpr std::string_view kCommentColor = "CommentColor";
inline constexpr std::string_view kStatusXo = "StatusXo";
inline constexpr std::string_view kStatusYo = "StatusYo";
inline constexpr std::string_view kStatusXv = "StatusXv";
inline constexpr std::string_view kStatusYv = "StatusYv";
inline constexpr std::string_view kStatusColor = "StatusColor";
inline constexpr std::string_view kRightMagnifier = "RightMagnifier";
inline constexpr std::string_view kRightLine = "RightLine";
inline constexpr std::string_view kRightDelete = "RightDelete";
// Written by the options dialog after the keys above; the bench ignores them,
// the main window acts on them.
inline constexpr std::string_view kOtherWindow = "OtherWindow";
inline constexpr std::string_view kDefault = "Default";

// --- State text, in the order the writer emits them --------------------------
inline constexpr std::string_view kFilename = "Filename";
inline constexpr std::string_view kLeft = "Left";
inline constexpr std::string_view kTop = "Top";
inline constexpr std::string_view kWidth = "Width";
inline constexpr std::string_view kHeight = "Height";
inline constexpr std::string_view kWindowState = "WindowState";
inline constexpr std::string_view kTitle = "Title";
inline constexpr std::string_view kScaleIndex = "ScaleIndex";
inline constexpr std::string_view kCommentVisible = "CommentVisible";
inline constexpr std::string_view kTitleVisible = "TitleVisible";
inline constexpr std::string_view kMagnified = "Magnified";
inline constexpr std::string_view kLogX = "LogX";
inline constexpr std::string_view kLogY = "LogY";
// Indexed keys: the prefix, the index in decimal and kIndexEnd ("Standard[0]").
inline constexpr std::string_view kStandardPrefix = "Standard[";
inline constexpr std::string_view kMeasuredPrefix = "Measured[";
inline constexpr std::string_view kIndexEnd = "]";

inline constexpr std::string_view kWindowMinimized = "Minimized";
inline constexpr std::string_view kWindowMaximized = "Maximized";
inline constexpr std::string_view kWindowNormal = "Normal";

// --- Common value forms ------------------------------------------------------
inline constexpr std::string_view kTrue = "True";
inline constexpr std::string_view kFalse = "False";
inline constexpr std::string_view kLineBreak = "\r\n";
inline constexpr char kHexPrefix = '$';

// --- Bench defaults in the settings store -------------------------------------
// The font lies below kDefaultsSection (the store's font layout); every other
// default is one value under a section, matched to the settings-text key it
// stands for.
inline constexpr std::string_view kDefaultsSection = "Bench\\Default";

enum class TDefaultKind { Color, Integer, Boolean, Bitmap, Magnitude };

struct TDefaultEntry {
  std::string_view Key;      // the settings-text key
  std::string_view Section;  // section in the settings store
  std::string_view Name;     // value name in the section
  TDefaultKind Kind;
  int Default;               // for Color, Integer, Magnitude and Boolean (0 / 1)
};

// In the order the defaults are read and applied. A pattern key
// (StandardPattern, MeasuredPattern) is stored under the Bitmap entry of its
// marker, as the preset's shape text.
inline constexpr TDefaultEntry kDefaults[] = {
    {kStandardColor, "Bench\\Default\\Standard", "Color", TDefaultKind::Color, 0x0000FF},
    {kStandardBitmap, "Bench\\Default\\Standard", "Bitmap", TDefaultKind::Bitmap, 0},
    {kStandardVisible, "Bench\\Default\\Standard", "Visible", TDefaultKind::Boolean, 1},
    {kMeasuredColor, "Bench\\Default\\Measured", "Color", TDefaultKind::Color, 0xFF0000},
    {kMeasuredBitmap, "Bench\\Default\\Measured", "Bitmap", TDefaultKind::Bitmap, 0},
    {kMeasuredVisible, "Bench\\Default\\Measured", "Visible", TDefaultKind::Boolean, 1},
    {kLineColor, "Bench\\Default\\Line", "Color", TDefaultKind::Color, 0xFF0000},
    {kLineWidth, "Bench\\Default\\Line", "Width", TDefaultKind::Integer, 1},
    {kMagnitude, "Bench\\Default", "Magnitude", TDefaultKind::Magnitude, 0},
    {kGridColor, "Bench\\Default\\Grid", "Color", TDefaultKind::Color, 0x00FF00},
    {kCommentArea, "Bench\\Default\\Comment", "Area", TDefaultKind::Boolean, 0},
    {kCommentColor, "Bench\\Default\\Comment", "Color", TDefaultKind::Boolean, 0},
    {kStatusXo, "Bench\\Default\\Status", "Xo", TDefaultKind::Boolean, 1},
    {kStatusYo, "Bench\\Default\\Status", "Yo", TDefaultKind::Boolean, 1},
    {kStatusXv, "Bench\\Default\\Status", "Xv", TDefaultKind::Boolean, 1},
    {kStatusYv, "Bench\\Default\\Status", "Yv", TDefaultKind::Boolean, 1},
    {kStatusColor, "Bench\\Default\\Status", "Color", TDefaultKind::Boolean, 1},
    {kRightMagnifier, "Bench\\Default\\Right", "Magnifier", TDefaultKind::Boolean, 1},
    {kRightLine, "Bench\\Default\\Right", "Line", TDefaultKind::Boolean, 1},
    {kRightDelete, "Bench\\Default\\Right", "Delete", TDefaultKind::Boolean, 1},
};

// --- Tracing settings in the settings store -----------------------------------
// The tolerance, X step and largest gap last confirmed, shared by every bench.
inline constexpr std::string_view kTraceSection = "Bench\\Trace";
inline constexpr std::string_view kTraceTolerance = "Tolerance";
inline constexpr std::string_view kTraceStep = "Step";
inline constexpr std::string_view kTraceGap = "Gap";

}  // namespace tracemill::benchkeys
