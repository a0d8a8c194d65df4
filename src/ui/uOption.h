#pragma once
// The bench options dialog: font, standard and measured markers, line,
// magnifier, comments, status bar and right-button commands of one bench. It
// is loaded from the bench's settings text and hands back a new one; only its
// page and placement go into the settings store.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "bench/uOptionText.h"
#include "ui/uOptionDialog.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace tracemill {

class TFontSample;
class TMarkerPage;

// A check box of the bench options: the control's name (its key in the
// settings text), its caption and the value it stands for.
struct TOptionCheck {
  std::string_view Key;
  TCaption Caption;
  bool TBenchSettings::*Value;
};

class TOptionForm : public TOptionDialog {
  Q_OBJECT
 public:
  static constexpr std::string_view kName = "OptionForm";
  enum TPage { FontPage, StandardPage, MeasuredPage, LinePage, MagnifierPage, CommentPage, StatusPage, RightPage };

  // Shows the dialog for the settings text. On OK returns the dialog's text
  // (ending with OtherWindow= and Default=), on Cancel nullopt. A malformed
  // number in the text throws ConvertError before anything is shown.
  static std::optional<std::string> Edit(QWidget* parent, TIniFile& store, TMessageService& messages,
                                         TShellService& shell, const std::string& settingsText);

  TOptionForm(QWidget* parent, TIniFile& store, TMessageService& messages, TShellService& shell);

  // Sets the controls from a settings text (ConvertError at a malformed number:
  // the controls then stay as they were).
  void LoadText(std::string_view text);
  // The settings text of the controls.
  std::string ProducedText() const;

  TOptionValues Values() const;
  void SetValues(const TOptionValues& values);

  TMarkerPage& Marker(TPage page) const { return page == StandardPage ? *standard_ : *measured_; }
  const QImage& LineSampleImage() const { return lineSample_; }
  const QImage& GridSampleImage() const { return gridSample_; }

 private:
  struct TBox {
    QCheckBox* Box;
    bool TBenchSettings::*Value;
  };

  void BuildLinePage();
  void BuildMagnifierPage();
  void BuildCheckPage(const TCaption& page, std::span<const TOptionCheck> checks);
  int SelectedWidth() const;
  void RedrawLineSample();
  void RedrawGridSample();
  void RedrawPageSample(int page);

  TFontSample* fontSample_ = nullptr;
  TMarkerPage* standard_ = nullptr;
  TMarkerPage* measured_ = nullptr;
  TColorPanel* lineColor_ = nullptr;
  QComboBox* width_ = nullptr;
  QLabel* linePicture_ = nullptr;
  TColorPanel* gridColor_ = nullptr;
  QComboBox* magnitude_ = nullptr;
  QLabel* gridPicture_ = nullptr;
  QCheckBox* otherWindow_ = nullptr;
  QCheckBox* default_ = nullptr;
  std::vector<TBox> boxes_;
  // A loaded width that is none of the list's items, written back while no item is chosen.
  std::int32_t keptWidth_ = 1;
  QImage lineSample_;
  QImage gridSample_;
};

}  // namespace tracemill
