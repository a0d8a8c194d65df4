#pragma once
// Window placements in the settings store, for any top-level window: the
// position and size of its normal (restored) rectangle and its state, under a
// section named after the window.

#include <string_view>

#include "settings/uIniFile.h"

class QWidget;

namespace tracemill {

// Places the window as stored under section. A value that is not stored keeps
// the window's current one. The size stays between the window's minimum size
// and the screen's size, and the window on the screen. A stored maximised
// state is taken; a minimised one only by a window that is not modal (a
// minimised modal window would block the program out of sight).
void RestoreWindowPlacement(QWidget& window, const TIniFile& store, std::string_view section);

// Stores the window's normal rectangle and state under section.
void StoreWindowPlacement(const QWidget& window, TIniFile& store, std::string_view section);

}  // namespace tracemill
