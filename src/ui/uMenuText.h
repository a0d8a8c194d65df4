#pragma once
// Menu captions in the interface language. The menus are built with their
// bilingual Japanese captions; an English run rewrites every item once.

class QMenu;
class QMenuBar;

namespace tracemill {

// Replaces the caption of every item of the menu bar, sub-menus included,
// by its English form (EnglishMenuCaption). Separators stay as they are.
void TranslateMenuBar(QMenuBar& bar);
void TranslateMenu(QMenu& menu);

}  // namespace tracemill
