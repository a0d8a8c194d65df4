#include "ui/uMenuText.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "settings/uAppliInfo.h"
#include "settings/uEnglishMenu.h"
#include "ui/uQtConvert.h"

namespace tracemill {

namespace {

constexpr std::string_view kHelpMenu = "ヘルプ(&H)";
constexpr std::string_view kHelpItem = "ヘルプを開く (&Windows Help)";
constexpr std::string_view kDocumentItem = "ドキュメントを開く (&Document File)";
constexpr std::string_view kVersionItem = "バージョン情報 (&Version)";

void TranslateActions(const QList<QAction*>& actions) {
  for (QAction* action : actions) {
    if (action->isSeparator()) continue;
    const QByteArray caption = action->text().toUtf8();
    action->setText(QString::fromStdString(EnglishMenuCaption(caption.toStdString())));
    if (QMenu* sub = action->menu()) TranslateMenu(*sub);
  }
}

}  // namespace

void TranslateMenuBar(QMenuBar& bar) { TranslateActions(bar.actions()); }

void TranslateMenu(QMenu& menu) {
  TranslateActions(menu.actions());
  menu.setTitle(menu.menuAction()->text());
}

void AddHelpMenu(QMenuBar& bar, TShellService& shell, TMessageService& messages) {
  QMenu* help = bar.addMenu(ToQt(kHelpMenu));
  help->addAction(ToQt(kHelpItem), help, [&shell, &messages] { Appli().ShowHelp(shell, messages); });
  QAction* document =
      help->addAction(ToQt(kDocumentItem), help, [&shell, &messages] { Appli().ShowDocument(shell, messages); });
  help->addSeparator();
  help->addAction(ToQt(kVersionItem), help, [&messages] { Appli().ShowVersion(messages); });
  QObject::connect(help, &QMenu::aboutToShow, help, [document] { document->setVisible(Appli().DocumentExists()); });
}

}  // namespace tracemill
