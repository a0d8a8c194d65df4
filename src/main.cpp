// The tracemill program. How it starts is decided from the command line
// before any window toolkit is touched: --batch, --help and --version run on
// the core alone and need no display.

#include <iostream>
#include <string>
#include <vector>

#include "app/uBatch.h"
#include "app/uCommandLine.h"
#include "settings/uAppliInfo.h"
#include "settings/uEnvironment.h"

#ifdef TRACEMILL_WITH_WINDOWS
#include "ui/uRunGui.h"
#endif

int main(int argc, char** argv) {
  using namespace tracemill;
  SetCommandLine(argc, argv);
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);

  TCommandLine commandLine;
  try {
    commandLine = ParseCommandLine(arguments);
  } catch (const TCommandLineError& e) {
    std::cerr << e.what() << "\n\n" << UsageText(IsJapanese());
    return kExitUsage;
  }

  switch (commandLine.Mode) {
    case TStartMode::Help:
      std::cout << UsageText(IsJapanese());
      return kExitSuccess;
    case TStartMode::Version:
      std::cout << Appli().VersionText();
      return kExitSuccess;
    case TStartMode::Batch:
      return RunBatch(commandLine, std::cout, std::cerr);
    case TStartMode::Windows:
      break;
  }

#ifdef TRACEMILL_WITH_WINDOWS
  // The one place where the windows start.
  return RunGui(argc, argv);
#else
  // A build without the windows runs only in batch mode.
  std::cerr << UsageText(IsJapanese());
  return kExitUsage;
#endif
}
