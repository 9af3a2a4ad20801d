// Velmaro — the embedded pictures.
#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

namespace pictures {

// Resource names, one per picture file in assets/.
inline const QString kBackground = QStringLiteral(":/pictures/suisou.png");  // 500 x 300
inline const QString kBubbleSheet = QStringLiteral(":/pictures/awa.png");    // 60 x 60
inline const QString kIcon = QStringLiteral(":/pictures/icon.png");          // 32 x 32
QString FishSheet(int index);  // pat0.png .. pat3.png, 225 x 150 each

// Loads a picture as a 32-bit RGB image (0xffRRGGBB), the format every
// picture surface keeps. A missing resource is a build fault, so it aborts.
QImage LoadPicture(const QString& resource);

// The program's icon, for every window and message box.
QIcon ProgramIcon();

}  // namespace pictures
