// The main window's options dialog: what it shows on a first start, what OK
// and Cancel store, the program page's files, and its captions.
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>
#include <fstream>

#include "../settings/TestSupport.h"
#include "OptionTestSupport.h"
#include "app/uReportProgram.h"
#include "common/uFileIO.h"
#include "settings/uEnvironment.h"
#include "ui/uBaseOption.h"

using namespace tracemill;
using namespace tracemill::testing;

class BaseOptionFormTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TScratchFolder> folder_;
  std::unique_ptr<TIniFile> store_;
  TRecordingMessages messages_;
  TRecordingShell shell_;

  std::unique_ptr<TBaseOptionForm> Form() {
    return std::make_unique<TBaseOptionForm>(nullptr, *store_, messages_, shell_);
  }
  QStringList SavedKeys() const {
    TIniFile saved(store_->FileName());
    saved.Load();
    QStringList keys;
    for (int i = 0; i < saved.Count(); ++i) keys << QString::fromStdString(saved.Entry(i).KeyPath);
    return keys;
  }

 private slots:
  void init() {
    SetJapanese(true);
    folder_ = std::make_unique<TScratchFolder>("base_option_form");
    store_ = std::make_unique<TIniFile>(*folder_ / "t.ini");
    messages_.shown.clear();
  }

  void FirstStartShowsTheDefaults() {
    for (const bool japanese : {true, false}) {
      SetJapanese(japanese);
      auto form = Form();
      QCOMPARE(form->Pages().currentIndex(), int(TBaseOptionForm::FontPage));
      QCOMPARE(form->findChild<QLineEdit*>("FormatX")->text(), QString());
      QCOMPARE(form->findChild<QLineEdit*>("SimpleReportFormat")->text(), QStringLiteral("{x}, {y}, {filename}, {comment}"));
      QCOMPARE(form->findChild<QPlainTextEdit*>("Program")->toPlainText(),
               QString(kDefaultReportProgram).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
      QCOMPARE(form->Values().Font.Name, std::string(japanese ? "ＭＳ Ｐゴシック" : "Arial"));
      QCOMPARE(form->findChild<QSpinBox*>("PdfDpi")->value(), 200);
    }
  }

  void OkStoresEveryValue() {
    TBaseOptions chosen;
    chosen.Font = {"DejaVu Serif", 0, 11, 0x00FF00, TFontPitch::Default, false, true, false, false};
    chosen.FormatX = "0.000";
    chosen.FormatY = "#,##0";
    chosen.SimpleReportFormat = "{title}: {x}";
    chosen.SimpleReportApplication = "/usr/bin/mousepad";
    chosen.Program = "Print(\"a\")\r\nPrint(\"b\")\r\n";
    chosen.ReportApplication = "/usr/bin/kate";
    chosen.PdfDpi = 600;
    WhenModal([&chosen](QWidget& dialog) {
      auto& form = static_cast<TBaseOptionForm&>(dialog);
      form.SetValues(chosen);
      auto* dpi = dialog.findChild<QSpinBox*>("PdfDpi");
      dpi->setValue(5000);  // kept to the allowed range
      QCOMPARE(dpi->value(), 1200);
      form.Pages().setCurrentIndex(TBaseOptionForm::ProgramPage);
      dialog.findChild<QPushButton*>("OkButton")->click();
    });
    QVERIFY(TBaseOptionForm::Edit(nullptr, *store_, messages_, shell_));
    TIniFile saved(store_->FileName());
    saved.Load();
    const TBaseOptions back = ReadBaseOptions(saved);
    QVERIFY(back.Font == chosen.Font);
    QCOMPARE(back.FormatX, chosen.FormatX);
    QCOMPARE(back.FormatY, chosen.FormatY);
    QCOMPARE(back.SimpleReportFormat, chosen.SimpleReportFormat);
    QCOMPARE(back.SimpleReportApplication, chosen.SimpleReportApplication);
    QCOMPARE(back.Program, chosen.Program);
    QCOMPARE(back.ReportApplication, chosen.ReportApplication);
    QCOMPARE(back.PdfDpi, 1200);
    QCOMPARE(saved.ReadValue("BaseOptionForm", "Page", 0), std::int32_t(TBaseOptionForm::ProgramPage));
  }

  void CancelKeepsNothingButPageAndPlacement() {
    WhenModal([](QWidget& dialog) {
      dialog.findChild<QLineEdit*>("FormatX")->setText("0.0");
      dialog.findChild<QPlainTextEdit*>("Program")->setPlainText("Print(1)");
      dialog.findChild<QTabWidget*>()->setCurrentIndex(TBaseOptionForm::FormatPage);
      dialog.findChild<QPushButton*>("HelpButton")->click();
      dialog.close();  // the close box
    });
    QVERIFY(!TBaseOptionForm::Edit(nullptr, *store_, messages_, shell_));
    QCOMPARE(SavedKeys(), QStringList({"BaseOptionForm\\Height", "BaseOptionForm\\Left", "BaseOptionForm\\Page",
                                       "BaseOptionForm\\State", "BaseOptionForm\\Top", "BaseOptionForm\\Width"}));
    QCOMPARE(Form()->Pages().currentIndex(), int(TBaseOptionForm::FormatPage));
    QCOMPARE(int(shell_.opened.size() + messages_.shown.size()), 1);  // Help answered once
    // A stored page that is none of the pages opens the font page.
    store_->WriteValue("BaseOptionForm", "Page", std::int32_t(4));
    QCOMPARE(Form()->Pages().currentIndex(), int(TBaseOptionForm::FontPage));

    // A settings file that cannot be written is reported, and the dialog still closes.
    std::ofstream(*folder_ / "blocker") << "a file where a folder should be";
    store_ = std::make_unique<TIniFile>(*folder_ / "blocker/t.ini");
    messages_.shown.clear();
    WhenModal([](QWidget& dialog) { dialog.findChild<QPushButton*>("OkButton")->click(); });
    QVERIFY(TBaseOptionForm::Edit(nullptr, *store_, messages_, shell_));
    QCOMPARE(int(messages_.shown.size()), 2);  // the values on OK, then page and placement
  }

  void ProgramFilesOpenAndSave() {
    auto form = Form();
    auto* memo = form->findChild<QPlainTextEdit*>("Program");
    const std::string saved = *folder_ / "new folder/report.bas";
    memo->setPlainText("Print(\"saved\")\nPrint(2)");
    form->SaveProgram(saved);
    QCOMPARE(ReadFileBytes(saved), std::string("Print(\"saved\")\r\nPrint(2)"));
    QCOMPARE(store_->ReadValue("Path", "Program", std::string_view()), saved);
    QVERIFY(SavedKeys().contains("Path\\Program"));  // stored and saved at once

    // A file that cannot be read or written is reported; the memo keeps its text.
    const std::string missing = *folder_ / "missing.bas";
    form->OpenProgram(missing);
    form->SaveProgram(folder_->Path());  // a folder, not a file
    QCOMPARE(int(messages_.shown.size()), 2);
    QCOMPARE(memo->toPlainText(), QStringLiteral("Print(\"saved\")\nPrint(2)"));

    // The Open button: the dialog starts at the last program file, with the program filters.
    store_->WriteValue("Path", "Program", saved);
    QStringList filters;
    WhenModal([&](QWidget& dialog) {
      WhenModal([&](QWidget& files) {
        auto& fileDialog = static_cast<QFileDialog&>(files);
        filters = fileDialog.nameFilters();
        fileDialog.selectFile(QString::fromStdString(saved));
        QMetaObject::invokeMethod(&fileDialog, "accept");
      });
      memo->setPlainText("changed");
      dialog.findChild<QPushButton*>("OpenProgram")->click();
      dialog.findChild<QPushButton*>("CancelButton")->click();
    });
    form->exec();
    QCOMPARE(filters, QStringList({"Basic Files (*.bas)", "Text Files (*.txt)", "All Files (*)"}));
    QCOMPARE(memo->toPlainText(), QStringLiteral("Print(\"saved\")\nPrint(2)"));
  }

  void CaptionsInEachLanguage() {
    for (const bool japanese : {true, false}) {
      SetJapanese(japanese);
      auto form = Form();
      QCOMPARE(CaptionFault(*form, japanese, japanese ? QStringLiteral(" Ｘの書式") : QStringLiteral("Format for X")),
               QString());
      QVERIFY(ShownTexts(*form).contains(QStringLiteral("0123456789ABCXYZabcxyz")));
    }
  }
};

QTEST_MAIN(BaseOptionFormTest)
#include "BaseOptionFormTest.moc"
