#include "ui/uRunGui.h"

#include <QApplication>
#include <string>
#include <vector>

#include "app/uWorkspace.h"
#include "common/uFormatSettings.h"
#include "image/uSPI.h"
#include "settings/uAppliInfo.h"
#include "settings/uEnvironment.h"
#include "settings/uIniFile.h"
#include "ui/uBase.h"
#include "ui/uOptionDialog.h"
#include "ui/uQtConvert.h"
#include "ui/uQtServices.h"

namespace tracemill {

int RunGui(int argc, char** argv) {
  SetCommandLine(argc, argv);
  QApplication app(argc, argv);
  FormatSettings() = TFormatSettings::FromSystemLocale();
  app.setApplicationName(ToQt(Appli().Name));
  app.setApplicationDisplayName(ToQt(Appli().Name));
  LoadPlugins(DefaultPluginFolders(Appli().Folder, Appli().WorkFolder));
  BuildFilterTable();

  TQtMessageService messages;
  TIniFile& store = Settings();
  store.SetMessageService(&messages);
  try {
    store.Load();
  } catch (const std::exception& e) {
    ShowError(messages, e);
  }

  // Qt has taken its own options out of argv; the rest are the program's.
  std::vector<std::string> arguments;
  const QStringList all = QCoreApplication::arguments();
  for (qsizetype i = 1; i < all.size(); ++i) {
    std::string argument = FromQt(all[i]);
    if (!IsLanguageSwitch(argument)) arguments.push_back(std::move(argument));
  }

  int status = 0;
  {
    TWorkspace workspace(messages, store);
    TBaseForm form(workspace, store, messages);
    form.HandleCommandLine(arguments);
    form.show();
    status = QApplication::exec();
  }
  store.SetMessageService(nullptr);
  UnloadPlugins();
  return status;
}

}  // namespace tracemill
