#pragma once
// The program with its windows: the Qt application, the main window over a
// workspace on the program's settings store, the command line, and the
// message loop until the main window closes.

namespace tracemill {

// Runs the windowed program; returns the exit status. "/JAPANESE" and
// "/ENGLISH" (any letter case) choose the interface language and are not
// taken as file names.
int RunGui(int argc, char** argv);

}  // namespace tracemill
