// Velmaro — a desktop goldfish aquarium.
#include <QApplication>
#include <QFileInfo>

#include "app/ScreenSaverLaunch.h"
#include "app/Startup.h"
#include "dialog/frm_Set.h"

int main(int argc, char** argv) {
  PrepareApplication();
  // Qt sees the name alone: the arguments are the program's own.
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication application(qtArgc, qtArgv);

  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  const bool asScreenSaver =
      QFileInfo(QCoreApplication::applicationFilePath()).suffix().compare(QLatin1String("scr"), Qt::CaseInsensitive) == 0;
  const Launch launch = ParseLaunch(arguments, asScreenSaver, qEnvironmentVariable("XSCREENSAVER_WINDOW"));
  if (launch.mode == Launch::Mode::settings) return ConfigureScreenSaver(mnuSetSyu_Click);
  if (launch.mode != Launch::Mode::aquarium) return RunScreenSaver(launch);

  Program program;
  ConnectSettingsMenu(program.form());
  return program.Run();
}
