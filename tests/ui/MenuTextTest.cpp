// Menus built with bilingual captions turn English item by item.
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

#include "ui/uMenuText.h"

using namespace tracemill;

class MenuTextTest : public QObject {
  Q_OBJECT
 private slots:
  void EveryItemOfEveryLevelIsTranslated() {
    QMenuBar bar;
    QMenu* file = bar.addMenu(QStringLiteral("ファイル(&F)"));
    file->addAction(QStringLiteral("画像を開く (&Open Image) ..."));
    file->addSeparator();
    QMenu* view = file->addMenu(QStringLiteral("表示(&V)"));
    view->addAction(QStringLiteral("拡大 (&Magnify)"));
    view->addAction(QStringLiteral("削除"));
    TranslateMenuBar(bar);

    QCOMPARE(file->title(), QStringLiteral("&File"));
    QCOMPARE(file->actions().at(0)->text(), QStringLiteral("&Open Image ..."));
    QVERIFY(file->actions().at(1)->isSeparator());
    QCOMPARE(view->title(), QStringLiteral("&View"));
    QCOMPARE(view->actions().at(0)->text(), QStringLiteral("&Magnify"));
    QCOMPARE(view->actions().at(1)->text(), QStringLiteral("削除"));  // no parentheses: kept
  }
};

QTEST_MAIN(MenuTextTest)
#include "MenuTextTest.moc"
