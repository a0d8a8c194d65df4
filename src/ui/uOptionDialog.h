#pragma once
// What both options dialogs share: a page control with one page per topic
// above an OK, a Cancel and a Help button; the active page and the window
// placement remembered under the dialog's name; captions in the interface
// language; the font sample panel and the colour panels; and the conversions
// between the core's fonts, colours and file filters and Qt's.

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <cstdint>
#include <exception>
#include <string_view>

#include "common/uServices.h"
#include "settings/uIniFile.h"

class QPushButton;
class QTabWidget;
class QVBoxLayout;

namespace tracemill {

// A text shown to the user in both interface languages.
struct TCaption {
  std::string_view Japanese;
  std::string_view English;
};
// The caption's text in the interface language (IsJapanese).
QString CaptionText(const TCaption& caption);
// The buttons that close a dialog.
inline constexpr TCaption kDialogOk{"ＯＫ", "OK"};
inline constexpr TCaption kDialogCancel{"キャンセル", "Cancel"};

// The font a record stands for (faces that are missing are substituted by the
// toolkit; the size shown is bounded to what a label can hold).
QFont ToQFont(const TFontRecord& font);
// The record with the face, size and styles of a font chosen in the font
// dialog; its character set and colour stay (a new face resets the pitch).
TFontRecord WithChosenFont(TFontRecord record, const QFont& chosen);
// Colours of the core are 0x00BBGGRR.
QColor ToQColor(std::uint32_t color);
std::uint32_t FromQColor(const QColor& color);
// A filter "Text (*.a;*.b)|*.a;*.b|All (*.*)|*.*" in the file dialog's form
// "Text (*.a *.b);;All (*)" ("*.*" means every file).
QString QtFileFilter(std::string_view filter);

// Tells the user about an error that ended an operation.
void ShowError(TMessageService& messages, const std::exception& error);

// The font sample panel: a fixed sample text in the font it holds, in the
// font's colour. The record is kept as given (face names stay as stored).
class TFontSample : public QLabel {
  Q_OBJECT
 public:
  explicit TFontSample(QWidget* parent = nullptr);
  const TFontRecord& FontRecord() const { return font_; }
  void SetFontRecord(const TFontRecord& font);
  // The font dialog, starting from the panel's font; on OK the panel takes the chosen one.
  void ChooseFont();

 private:
  TFontRecord font_;
};

// A panel showing a colour, beside the button that changes it.
class TColorPanel : public QFrame {
  Q_OBJECT
 public:
  explicit TColorPanel(QWidget* parent = nullptr);
  std::uint32_t Color() const { return color_; }
  void SetColor(std::uint32_t color);
  // The colour dialog, starting from the panel's colour; on OK the panel takes
  // the chosen one and tells ColorChanged.
  void ChooseColor();

 signals:
  void ColorChanged();

 private:
  std::uint32_t color_ = 0;
};

// The frame of both options dialogs. A derived dialog adds its pages, then
// calls RestoreMemory. Closing in any way (OK, Cancel, the close box) stores
// the active page and the placement and saves the store.
class TOptionDialog : public QDialog {
  Q_OBJECT
 public:
  static constexpr std::string_view kPageKey = "Page";

  QTabWidget& Pages() const { return *pages_; }

 protected:
  // name: the window's name, also the section of its memory in the store.
  TOptionDialog(QWidget* parent, TIniFile& store, TMessageService& messages, TShellService& shell,
                std::string_view name);

  // A new page with the caption; the caller lays out its controls.
  QWidget& AddPage(const TCaption& caption);
  // The font page both dialogs open with: a sample and the button that
  // chooses the font. Returns the sample.
  TFontSample* AddFontPage();
  // A widget between the pages and the buttons.
  void AddAboveButtons(QWidget& widget);
  // Restores the placement (the first opening: at least designSize, centred
  // over the owner), then the stored page when it is one of the pages and
  // visible, else openingPage.
  void RestoreMemory(int openingPage, QSize designSize = QSize());
  void done(int result) override;

  TIniFile& store_;
  TMessageService& messages_;
  TShellService& shell_;

 private:
  std::string name_;
  QTabWidget* pages_;
  QVBoxLayout* layout_;
};

}  // namespace tracemill
