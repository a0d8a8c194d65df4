#pragma once
// Menu captions in the interface language. The menus are built with their
// bilingual Japanese captions; an English run rewrites every item once.

class QMenu;
class QMenuBar;

namespace tracemill {

class TMessageService;
class TShellService;

// Replaces the caption of every item of the menu bar, sub-menus included,
// by its English form (EnglishMenuCaption). Separators stay as they are.
void TranslateMenuBar(QMenuBar& bar);
void TranslateMenu(QMenu& menu);

// Adds the Help menu every window has: the manual, the document file (shown
// only while it exists) and the version.
void AddHelpMenu(QMenuBar& bar, TShellService& shell, TMessageService& messages);

}  // namespace tracemill
