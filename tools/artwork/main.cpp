// Velmaro artwork — writes the program's pictures.
//
//   velmaro_artwork OUTPUT_DIR        the pictures of assets/
//   velmaro_artwork --preview FILE    a still of the aquarium (docs/)
#include <QDir>

#include <cstdio>
#include <cstring>

#include "Cube.h"
#include "Fish.h"
#include "Scenery.h"
#include "Sheet.h"

namespace {

struct Pictures {
  QImage background, red, redLeft, black, blackLeft, bubbles, icon, largeIcon;
};

Pictures DrawAll() {
  using namespace artwork;
  Pictures p;
  p.background = Background();
  p.red = FishSheet(RedLook());
  p.redLeft = MirrorCells(p.red, kFishCell);
  p.black = FishSheet(BlackLook());
  p.blackLeft = MirrorCells(p.black, kFishCell);
  p.bubbles = BubbleSheet();
  p.icon = Icon();
  // For launchers that show big icons: whole pixels, so the drawing stays sharp.
  p.largeIcon = p.icon.scaled(p.icon.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  return p;
}

bool Save(const QImage& image, const QString& path) {
  if (artwork::SaveCubePng(image, path)) return true;
  std::fprintf(stderr, "velmaro_artwork: cannot write %s\n", qPrintable(path));
  return false;
}

int Usage() {
  std::fprintf(stderr,
               "usage: velmaro_artwork OUTPUT_DIR\n"
               "       velmaro_artwork --preview FILE\n");
  return 2;
}

}  // namespace

// Qt chooses its drawing routines by the processor's extensions; the plain
// x86-64 ones draw alike on every machine, so the pictures come out byte for
// byte wherever the tool runs.
constexpr char kProcessorExtensionsNotUsed[] =
    "sse3 ssse3 fma sse4.1 sse4.2 movbe popcnt aes avx f16c rdrand bmi avx2 bmi2 "
    "avx512f avx512dq rdseed avx512ifma avx512cd avx512bw avx512vl avx512vbmi "
    "avx512vbmi2 gfni vaes avx512vnni avx512bitalg avx512vpopcntdq sha";

// Drawing into images needs no display, so there is no application object.
int main(int argc, char** argv) {
  qputenv("QT_NO_CPU_FEATURE", kProcessorExtensionsNotUsed);
  if (argc == 3 && std::strcmp(argv[1], "--preview") == 0) {
    const Pictures p = DrawAll();
    const QImage still = artwork::Preview(p.background, p.red, p.redLeft,
                                          p.black, p.blackLeft, p.bubbles);
    return Save(still, QString::fromLocal8Bit(argv[2])) ? 0 : 1;
  }
  if (argc != 2 || argv[1][0] == '-') return Usage();

  const QDir dir(QString::fromLocal8Bit(argv[1]));
  if (!dir.exists() && !QDir().mkpath(dir.path())) {
    std::fprintf(stderr, "velmaro_artwork: cannot create %s\n", argv[1]);
    return 1;
  }
  const Pictures p = DrawAll();
  const bool ok = Save(p.background, dir.filePath("suisou.png")) &
                  Save(p.red, dir.filePath("pat0.png")) &
                  Save(p.redLeft, dir.filePath("pat1.png")) &
                  Save(p.black, dir.filePath("pat2.png")) &
                  Save(p.blackLeft, dir.filePath("pat3.png")) &
                  Save(p.bubbles, dir.filePath("awa.png")) &
                  Save(p.icon, dir.filePath("icon.png")) &
                  Save(p.largeIcon, dir.filePath("icon-128.png"));
  return ok ? 0 : 1;
}
