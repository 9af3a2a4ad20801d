// Velmaro animation — writes a few seconds of swimming as an animated PNG.
//
//   velmaro_animation FILE.png
#include <QGuiApplication>
#include <QSaveFile>

#include <cstdio>
#include <exception>

#include "Apng.h"
#include "Swimming.h"

int main(int argc, char** argv) {
  if (argc != 2 || argv[1][0] == '-') {
    std::fprintf(stderr, "usage: velmaro_animation FILE.png\n");
    return 2;
  }
  // The frames are drawn into images; no window needs to be seen.
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  QGuiApplication application(qtArgc, argv);

  const QString path = QString::fromLocal8Bit(argv[1]);
  try {
    const QByteArray apng = EncodeApng(SwimmingFrames());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(apng) != apng.size() || !file.commit()) {
      std::fprintf(stderr, "velmaro_animation: cannot write %s\n", argv[1]);
      return 1;
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "velmaro_animation: %s\n", error.what());
    return 1;
  }
  return 0;
}
