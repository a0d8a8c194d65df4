#include "ui/uMenuText.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "settings/uEnglishMenu.h"

namespace tracemill {

namespace {

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

}  // namespace tracemill
