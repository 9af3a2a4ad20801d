// velmaro_snapshot WINDOW_ID FILE.png — saves what an X11 window shows.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: velmaro_snapshot WINDOW_ID FILE.png\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "xcb");
  int qtArgc = 1;
  QGuiApplication application(qtArgc, argv);

  bool parsed = false;
  const WId window = QString::fromLocal8Bit(argv[1]).toULongLong(&parsed, 0);
  if (!parsed) {
    std::fprintf(stderr, "velmaro_snapshot: not a window id: %s\n", argv[1]);
    return 2;
  }
  const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(window);
  if (shot.isNull() || !shot.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
    std::fprintf(stderr, "velmaro_snapshot: could not save window %s to %s\n", argv[1], argv[2]);
    return 1;
  }
  return 0;
}
