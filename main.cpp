// Velmaro — a desktop goldfish aquarium.
#include <QApplication>
#include <QSessionManager>

#include "app/Shutdown.h"
#include "app/Startup.h"
#include "dialog/frm_Set.h"
#include "render/Form1.h"

int main(int, char** argv) {
  PrepareApplication();
  // The command line is not the program's business: Qt sees the name alone.
  int qtArgc = 1;
  char* qtArgv[] = {argv[0], nullptr};
  QApplication application(qtArgc, qtArgv);

  ShutdownRequests shutdown;
  const std::unique_ptr<Form1> form = Main();
  if (shutdown.requested()) {
    // Asked to end while start-up waited for a message box.
    form->close();
    return ExitStatus();
  }
  ConnectSettingsMenu(*form);
  shutdown.Watch(*form);
  QObject::connect(&application, &QGuiApplication::commitDataRequest, form.get(), [&form](QSessionManager& session) {
    CommitSettings(*form, [&session] { return session.allowsErrorInteraction(); });
  });
  SaveSettingsIfEndedWithTheWindowOpen();
  const int loop = application.exec();
  return loop != 0 ? loop : ExitStatus();
}
