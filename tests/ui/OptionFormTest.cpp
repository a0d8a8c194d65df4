// The bench options dialog: loading and producing the settings text through
// its controls, the shape grids and preset buttons, the samples, the page and
// placement memory, and its captions in both languages.
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QtTest>

#include "../settings/TestSupport.h"
#include "../support/UnusualSettings.h"
#include "OptionTestSupport.h"
#include "bench/uBenchKeys.h"
#include "common/uError.h"
#include "settings/uEnvironment.h"
#include "ui/uOption.h"
#include "ui/uOptionPages.h"

using namespace tracemill;
using namespace tracemill::testing;

namespace {

// Every value away from the dialog's starting values, each one on its list.
TBenchSettings Listed() {
  TBenchSettings s = testing::Unusual();
  s.LineWidth = 0;
  s.Magnitude = 3;
  return s;
}

QColor Background(const QWidget& w) { return w.palette().color(QPalette::Window); }

}  // namespace

class OptionFormTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TScratchFolder> folder_;
  std::unique_ptr<TIniFile> store_;
  TRecordingMessages messages_;
  TRecordingShell shell_;

  std::unique_ptr<TOptionForm> Form() { return std::make_unique<TOptionForm>(nullptr, *store_, messages_, shell_); }

 private slots:
  void init() {
    SetJapanese(true);
    folder_ = std::make_unique<TScratchFolder>("option_form");
    store_ = std::make_unique<TIniFile>(*folder_ / "t.ini");
    messages_.shown.clear();
    shell_.opened.clear();
  }

  void TheTextComesBackThroughTheControls() {
    const std::string text = SettingsText(Listed());
    TOptionValues expected;
    LoadOptionText(text, expected);
    auto form = Form();
    form->LoadText(text);
    QCOMPARE(form->ProducedText(), OptionText(expected));
    QVERIFY(form->findChild<QCheckBox*>("CommentArea")->isChecked());
    // The two check boxes reach the end of the text.
    form->findChild<QCheckBox*>("OtherWindow")->setChecked(true);
    QVERIFY(QByteArray::fromStdString(form->ProducedText()).endsWith("OtherWindow=True\r\nDefault=False\r\n"));
  }

  void ListsSelectTheirItems() {
    const struct {
      const char* text;
      const char* magnitude;
      const char* width;
      const char* written;
    } cases[] = {
        {"Magnitude=7\r\nLineWidth=4", "7", "4", "LineWidth=4\r\nMagnitude=7\r\n"},
        {"LineWidth=7", "5", "", "LineWidth=7\r\n"},  // kept while no width is chosen
    };
    for (const auto& c : cases) {
      auto form = Form();
      form->LoadText(c.text);
      QCOMPARE(form->findChild<QComboBox*>("Magnitude")->currentText(), QString(c.magnitude));
      QCOMPARE(form->findChild<QComboBox*>("LineWidth")->currentText(), QString(c.width));
      QVERIFY2(form->ProducedText().find(c.written) != std::string::npos, c.text);
    }
    auto form = Form();  // a width chosen by the user replaces the kept one
    form->LoadText("LineWidth=7");
    form->findChild<QComboBox*>("LineWidth")->setCurrentText("2");
    QVERIFY(form->ProducedText().find("LineWidth=2\r\n") != std::string::npos);
  }

  void PresetButtonsSetTheGrid() {
    auto form = Form();
    for (const auto page : {TOptionForm::StandardPage, TOptionForm::MeasuredPage}) {
      TMarkerPage& marker = form->Marker(page);
      marker.ColorPanel().SetColor(0x0000FF);
      for (int preset = 0; preset < kPresetShapeCount; ++preset) {
        marker.Grid().SetShape(TMarkerShape(~0u));
        marker.Preset(preset).click();
        QCOMPARE(marker.Grid().Shape().Text(), PresetShape(preset).Text());
        QCOMPARE(marker.Sample(), MarkerSample(PresetShape(preset), Qt::red, Background(marker)));
        // The button shows its preset: a dark square for every pixel of the shape.
        const QImage picture = marker.Preset(preset).icon().pixmap(marker.Preset(preset).iconSize()).toImage();
        QCOMPARE(picture.isNull(), preset == 0);
        for (int i = 0; preset > 0 && i < 25; ++i) {
          const bool dark = picture.pixelColor((i % 5) * 3 + 1, (i / 5) * 3 + 1).alpha() > 0;
          QCOMPARE(dark, PresetShape(preset).Pixel(i % 5, i / 5));
        }
      }
      // A cell toggles by itself and redraws the sample.
      marker.Preset(0).click();
      marker.Grid().Cell(7).click();
      QCOMPARE(marker.Grid().Shape().Text(), std::string("       o                 "));
      QCOMPARE(marker.Sample().pixelColor(12, 7), QColor(Qt::red));
    }
  }

  void SamplesFollowTheirControls() {
    auto form = Form();
    const QColor bg = Background(*form);
    form->findChild<TColorPanel*>("LineColor")->SetColor(0x0000FF);
    form->findChild<TColorPanel*>("GridColor")->SetColor(0x00FF00);
    auto* width = form->findChild<QComboBox*>("LineWidth");
    auto* magnitude = form->findChild<QComboBox*>("Magnitude");
    const struct {
      const char* width;
      const char* magnitude;
    } cases[] = {{"3", "4"}, {"0", "10"}, {"", "3"}};
    for (const auto& c : cases) {
      width->setCurrentText(c.width);
      if (!*c.width) width->setCurrentIndex(-1);
      magnitude->setCurrentText(c.magnitude);
      const int w = *c.width ? QString(c.width).toInt() : 1;  // no width chosen: drawn 1 wide
      QCOMPARE(form->LineSampleImage(), LineSample(bg, Qt::red, w));
      QCOMPARE(form->GridSampleImage(), GridSample(bg, Qt::green, QString(c.magnitude).toInt()));
    }
    // The pictures themselves: a diagonal from the lower left, grid lines from 2 on.
    const QImage line = LineSample(Qt::white, Qt::red, 3);
    QCOMPARE(line.pixelColor(0, kSampleSize - 1), QColor(Qt::red));
    QCOMPARE(line.pixelColor(kSampleSize / 2, kSampleSize / 2 - 1), QColor(Qt::red));
    QCOMPARE(line.pixelColor(10, 10), QColor(Qt::white));
    QCOMPARE(LineSample(Qt::white, Qt::red, 0), LineSample(Qt::white, Qt::blue, 0));
    const QImage grid = GridSample(Qt::white, Qt::green, 4);
    for (int x = 0; x < 12; ++x) QCOMPARE(grid.pixelColor(x, 51) == QColor(Qt::green), x >= 2 && (x - 2) % 4 == 0);
    QCOMPARE(grid.pixelColor(51, 98), QColor(Qt::green));
  }

  void PageAndPlacementAreRemembered() {
    const struct {
      int stored;  // -100: nothing stored
      int shown;
    } cases[] = {{-100, TOptionForm::FontPage}, {7, 7}, {8, TOptionForm::MeasuredPage}};
    for (const auto& c : cases) {
      store_->Clear();
      if (c.stored != -100) store_->WriteValue("OptionForm", "Page", std::int32_t(c.stored));
      QCOMPARE(Form()->Pages().currentIndex(), c.shown);
    }
    // A placement far off the screen, too small and too large, comes back within it.
    store_->WriteValue("OptionForm", "Left", std::int32_t(100000));
    store_->WriteValue("OptionForm", "Width", std::int32_t(1));
    store_->WriteValue("OptionForm", "Height", std::int32_t(1 << 30));
    store_->WriteValue("OptionForm", "State", "Minimized");  // a modal window out of sight would block all
    auto form = Form();
    const QRect screen = QGuiApplication::primaryScreen()->availableVirtualGeometry();
    QVERIFY(screen.contains(form->geometry()));
    QVERIFY(form->width() >= form->minimumSizeHint().width());
    QVERIFY(!(form->windowState() & Qt::WindowMinimized));
  }

  void CancelKeepsNothingButPageAndPlacement() {
    const std::string text = SettingsText(Listed());
    WhenModal([](QWidget& dialog) {
      dialog.findChild<QCheckBox*>("CommentArea")->setChecked(false);
      dialog.findChild<QCheckBox*>("Default")->setChecked(true);
      dialog.findChild<QTabWidget*>()->setCurrentIndex(TOptionForm::StatusPage);
      dialog.setGeometry(40, 30, 640, 480);
      dialog.findChild<QPushButton*>("CancelButton")->click();
    });
    QCOMPARE(TOptionForm::Edit(nullptr, *store_, messages_, shell_, text), std::nullopt);
    TIniFile saved(store_->FileName());
    saved.Load();
    QStringList keys;
    for (int i = 0; i < saved.Count(); ++i) keys << QString::fromStdString(saved.Entry(i).KeyPath);
    QCOMPARE(keys, QStringList({"OptionForm\\Height", "OptionForm\\Left", "OptionForm\\Page", "OptionForm\\State",
                                "OptionForm\\Top", "OptionForm\\Width"}));
    QCOMPARE(saved.ReadValue("OptionForm", "Page", 0), std::int32_t(TOptionForm::StatusPage));
    QCOMPARE(saved.ReadValue("OptionForm", "Width", 0), 640);
    // Opened again: the same page, the same place.
    auto again = Form();
    QCOMPARE(again->Pages().currentIndex(), int(TOptionForm::StatusPage));
    QCOMPARE(again->geometry(), QRect(40, 30, 640, 480));

    // OK hands back the changed text; Help opens the manual or says it is missing.
    WhenModal([](QWidget& dialog) {
      dialog.findChild<QPushButton*>("HelpButton")->click();
      dialog.findChild<QCheckBox*>("Default")->setChecked(true);
      dialog.findChild<QCheckBox*>("RightLine")->setChecked(true);
      dialog.findChild<QPushButton*>("OkButton")->click();
    });
    const auto produced = TOptionForm::Edit(nullptr, *store_, messages_, shell_, text);
    QVERIFY(produced.has_value());
    QVERIFY(produced->find("RightLine=True\r\nRightDelete=False\r\nOtherWindow=False\r\nDefault=True\r\n") !=
            std::string::npos);
    QCOMPARE(int(shell_.opened.size() + messages_.shown.size()), 1);
  }

  void MalformedTextIsRefusedBeforeShowing() {
    bool shown = false;
    WhenModal([](QWidget& dialog) { dialog.close(); }, &shown);
    QVERIFY_THROWS_EXCEPTION(ConvertError,
                             TOptionForm::Edit(nullptr, *store_, messages_, shell_, "LineColor=$FF\r\nFontSize=big"));
    QCoreApplication::processEvents();
    QVERIFY(!shown);
    QCOMPARE(store_->Count(), 0);
  }

  void CaptionsInEachLanguage() {
    for (const bool japanese : {true, false}) {
      SetJapanese(japanese);
      auto form = Form();
      QCOMPARE(CaptionFault(*form, japanese, japanese ? QStringLiteral("変換前の座標　ｘ") : QStringLiteral("Original X")),
               QString());
      QCOMPARE(form->font().family(), japanese ? QStringLiteral("ＭＳ Ｐゴシック") : QStringLiteral("Arial"));
    }
  }
};

QTEST_MAIN(OptionFormTest)
#include "OptionFormTest.moc"
