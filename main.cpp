// Velmaro — a desktop goldfish aquarium.
#include <QApplication>

#include "app/Startup.h"
#include "dialog/frm_Set.h"

int main(int, char** argv) {
  PrepareApplication();
  // The command line is not the program's business: Qt sees the name alone.
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication application(qtArgc, qtArgv);

  Program program;
  ConnectSettingsMenu(program.form());
  return program.Run();
}
