// Velmaro — the embedded pictures.
#include "assets/Pictures.h"

#include <QPixmap>

#include <cstdio>
#include <cstdlib>

namespace pictures {

QString FishSheet(int index) {
  return QStringLiteral(":/pictures/pat%1.png").arg(index);
}

QImage LoadPicture(const QString& resource) {
  QImage image(resource);
  if (image.isNull()) {
    std::fprintf(stderr, "Velmaro: picture %s is missing from the build\n",
                 qPrintable(resource));
    std::abort();
  }
  return image.convertToFormat(QImage::Format_RGB32);
}

QIcon ProgramIcon() { return QIcon(QPixmap::fromImage(LoadPicture(kIcon))); }

}  // namespace pictures
