#include "tests/program/RealProgram.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWindow>
#include <QHash>

#include <algorithm>

#include "tests/support/Blocks.h"
#include "tests/support/TempFolder.h"

using namespace std::chrono_literals;

Bytes ReadSet(const QTemporaryDir& folder) { return ReadBytes((folder.path() + "/SET").toStdString()); }

Bytes SetBytes(const SetRec& record, const Bytes& tail) {
  Bytes set(kSetRecBytes + tail.size());
  std::ranges::copy(tail, std::ranges::copy(EncodeSetRec(record), set.begin()).out);
  return set;
}

namespace {

// Every image of a fish the program can draw, each pixel with its colour,
// and an index of the pixels whose colour is rare within their image.
class FishSprites {
 public:
  FishSprites() {
    const auto load = [](const QString& name) {
      return QImage(QStringLiteral(ASSETS_FOLDER "/%1.png").arg(name)).convertToFormat(QImage::Format_RGB32);
    };
    background_ = load("suisou");
    // pat0 and pat1 hold the red fish, pat2 and pat3 the black, each sheet
    // three 75 x 75 images over their masks, black where the fish is.
    for (int sheetIndex = 0; sheetIndex < 4; ++sheetIndex) {
      const QImage sheet = load(QStringLiteral("pat%1").arg(sheetIndex));
      for (int cell = 0; cell < 3; ++cell) {
        Sprite sprite{sheetIndex >= 2, {}};
        QHash<QRgb, int> uses;
        for (int y = 0; y < kCell; ++y)
          for (int x = 0; x < kCell; ++x)
            if (qRed(sheet.pixel(cell * kCell + x, kCell + y)) < 128) {
              sprite.pixels.push_back({x, y, sheet.pixel(cell * kCell + x, y)});
              ++uses[sprite.pixels.back().colour];
            }
        for (const Pixel& pixel : sprite.pixels)
          if (uses[pixel.colour] <= 30) rare_[pixel.colour].push_back({int(sprites_.size()), pixel});
        sprites_.push_back(std::move(sprite));
      }
    }
  }

  // Finds fish by matching whole images: each rare pixel on the screen
  // votes for the places its image could lie; the best places are then
  // scored by every pixel of the image, and the pixels a fish accounts for
  // are taken from those behind it.
  std::optional<FishInView> Find(const QImage& picture) const {
    if (picture.size() != background_.size()) return std::nullopt;
    const int width = picture.width(), height = picture.height();
    const auto shown = [&](int x, int y) {
      return x >= 0 && y >= 0 && x < width && y < height && picture.pixel(x, y) != background_.pixel(x, y);
    };
    QHash<Place, int> votes;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const auto rare = rare_.constFind(picture.pixel(x, y));
        if (rare == rare_.cend() || !shown(x, y)) continue;
        for (const auto& [sprite, pixel] : *rare) ++votes[{sprite, x - pixel.x, y - pixel.y}];
      }
    }

    std::vector<bool> explained(width * height);
    const auto score = [&](const Place& place, bool take) {
      int matching = 0;
      for (const Pixel& pixel : sprites_[place.sprite].pixels) {
        const int x = place.x + pixel.x, y = place.y + pixel.y;
        if (!shown(x, y) || explained[y * width + x] || picture.pixel(x, y) != pixel.colour) continue;
        ++matching;
        if (take) explained[y * width + x] = true;
      }
      return matching;
    };
    // A place few rare pixels agree on is chance, not a fish.
    std::vector<std::pair<int, Place>> candidates;
    for (auto vote = votes.begin(); vote != votes.end(); ++vote)
      if (vote.value() >= 10) candidates.push_back({score(vote.key(), false), vote.key()});

    FishInView fish;
    while (true) {
      // Scores only fall as pixels are explained: a stale one is a bound.
      std::sort(candidates.begin(), candidates.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
      int best = -1;
      Place bestPlace;
      for (auto& [bound, place] : candidates) {
        if (bound <= best) break;
        bound = score(place, false);
        if (bound > best) best = bound, bestPlace = place;
      }
      // A fish showing less than about a seventh of itself waits for a
      // clearer frame.
      if (best < 350) return fish;
      score(bestPlace, true);
      ++(sprites_[bestPlace.sprite].black ? fish.black : fish.red);
    }
  }

 private:
  static constexpr int kCell = 75;
  struct Pixel {
    int x, y;
    QRgb colour;
  };
  struct Sprite {
    bool black;
    std::vector<Pixel> pixels;
  };
  struct Place {
    int sprite = 0, x = 0, y = 0;
    bool operator==(const Place&) const = default;
    friend size_t qHash(const Place& place, size_t seed = 0) {
      return qHashMulti(seed, place.sprite, place.x, place.y);
    }
  };

  QImage background_;
  std::vector<Sprite> sprites_;
  QHash<QRgb, std::vector<std::pair<int, Pixel>>> rare_;
};

}  // namespace

std::optional<FishInView> FishIn(const QImage& picture) {
  static const FishSprites sprites;
  return sprites.Find(picture);
}

// The shared display holds the windows the tests before left, if any: the
// next test meets none.
bool RealProgram::NoWindowsLeft() {
  return WaitUntil([&] { return desktop_.Run("xdotool", {"search", "--class", "velmaro"}).value_or("").isEmpty(); }, 10s);
}

void RealProgram::SetUp() {
  if (!desktop_.Start(DesktopKind()))
    GTEST_SKIP() << "NO VIRTUAL DISPLAY, real program not tested: " << desktop_.why().toStdString();
  ASSERT_TRUE(folder_.isValid());
  ASSERT_TRUE(!desktop_.shared() || NoWindowsLeft()) << "windows of another test on the shared display";
}

void RealProgram::TearDown() {
  velmaro_.Stop();
  EXPECT_TRUE(!desktop_.shared() || NoWindowsLeft()) << "the program's windows outlived the test";
}

void RealProgram::Start(Child& process, const QStringList& command,
                        const QList<std::pair<QString, QString>>& extraEnvironment,
                        const QString& workingFolder) {
  QProcessEnvironment environment = desktop_.Environment();
  // A runtime folder of its own: whatever the program, or a service started
  // for it, puts there stays out of the folders the tests look into.
  runtimeFolders_.push_back(std::make_unique<QTemporaryDir>());
  environment.insert("XDG_RUNTIME_DIR", runtimeFolders_.back()->path());
  for (const auto& [name, value] : extraEnvironment) {
    if (value.isNull())
      environment.remove(name);
    else
      environment.insert(name, value);
  }
  process.Start(command, environment, workingFolder.isEmpty() ? folder_.path() : workingFolder);
}

QStringList RealProgram::WindowsOf(const QProcess& process, const QString& title) {
  const QString pid = QString::number(process.processId());
  const auto found =
      desktop_.Run("xdotool", {"search", "--all", "--onlyvisible", "--pid", pid, "--name", "^" + title + "$"});
  return found ? found->split('\n', Qt::SkipEmptyParts) : QStringList();
}

bool RealProgram::IsDialog(const QString& window) {
  return desktop_.Run("xprop", {"-id", window, "_NET_WM_WINDOW_TYPE"}).value_or("").contains("_DIALOG");
}

// A message box that no test waits for fails the test at once.
QString RealProgram::MainWindowOf(const QProcess& process) {
  QString window, box;
  WaitUntil([&] {
    for (const QString& id : WindowsOf(process)) {
      const QString type = desktop_.Run("xprop", {"-id", id, "_NET_WM_WINDOW_TYPE"}).value_or("");
      if (type.contains("_DIALOG"))
        box = id;
      else if (type.contains("_NORMAL"))
        window = id;
    }
    return !window.isEmpty() || !box.isEmpty();
  }, 15s);
  EXPECT_TRUE(box.isEmpty()) << "a message box: " << desktop_.Run("xdotool", {"getwindowname", box}).value_or("").toStdString();
  return box.isEmpty() ? window : QString();
}

QString RealProgram::Launch(const QList<std::pair<QString, QString>>& extraEnvironment, const QString& program) {
  Start(velmaro_, {program}, extraEnvironment);
  return MainWindowOf(velmaro_);
}

// Alt+F4 goes to the window manager, which asks the window to close. A key
// sent while the focus is still on its way is lost, so press it again, as a
// user would, until the program has ended.
bool RealProgram::CloseAsAUserWould(const QString& window, QProcess& process) {
  return WaitUntil([&] {
    PressKeys(window, {"--clearmodifiers", "alt+F4"});
    return process.waitForFinished(1000);
  }, 15s);
}

void RealProgram::Click(int x, int y) {
  // Without --sync: xdotool waits in vain for a pointer already in place.
  desktop_.Run("xdotool", {"mousemove", QString::number(x), QString::number(y), "click", "1"});
}

void RealProgram::PressKeys(const QString& window, const QStringList& keys) {
  desktop_.Run("xdotool", QStringList{"windowactivate", "--sync", window, "key"} + keys);
}

QStringList RealProgram::WindowsNamed(const QString& name) {
  const auto found = desktop_.Run("xdotool", {"search", "--onlyvisible", "--name", name});
  return found ? found->split('\n', Qt::SkipEmptyParts) : QStringList();
}

// The menu that drops down: the program's one other visible window not
// titled Velmaro.
std::optional<WindowGeometry> RealProgram::DropDown(const QString& window) {
  const auto found = desktop_.Run("xdotool", {"search", "--onlyvisible", "--class", "velmaro"});
  for (const QString& id : found.value_or("").split('\n', Qt::SkipEmptyParts))
    if (id != window && desktop_.Run("xdotool", {"getwindowname", id}).value_or("Velmaro").trimmed() != "Velmaro")
      return Geometry(desktop_, id);
  return std::nullopt;
}

QString RealProgram::OpenSettingsDialog(const QString& window) {
  std::optional<WindowGeometry> main;
  if (!WaitUntil([&] { return (main = Geometry(desktop_, window)) && main->width == 500; }, 10s)) return {};
  const int menuBar = main->height - 300;
  QString dialog;
  WaitUntil([&] {
    if (const auto menu = DropDown(window))
      Click(menu->x + menu->width / 2, menu->y + menu->height / 2);
    else if (WindowsNamed("^Velmaro$").size() < 2)
      Click(main->x + 18, main->y + menuBar / 2);
    WaitUntil([&] { return DropDown(window) || WindowsNamed("^Velmaro$").size() >= 2; }, 2s);
    for (const QString& found : WindowsNamed("^Velmaro$"))
      if (found != window) dialog = found;
    return !dialog.isEmpty();
  }, 20s);
  return dialog;
}

QString RealProgram::OpenSettingsDialogByKeys(const QString& window, const QProcess& process) {
  PressKeys(window, {"F10"});
  if (!WaitUntil([&] { return DropDown(window).has_value(); }, 10s)) return {};
  desktop_.Run("xdotool", {"key", "Return"});
  QString dialog;
  WaitUntil([&] {
    for (const QString& id : WindowsOf(process))
      if (id != window) dialog = id;
    return !dialog.isEmpty();
  }, 10s);
  return dialog;
}

bool RealProgram::WaitCentred(const QString& window, std::optional<WindowGeometry>& client,
                              std::optional<WindowGeometry> area, int slack) {
  const auto screen = area ? area : Geometry(desktop_, "root");
  if (!screen) return false;
  return WaitUntil([&] {
    client = Geometry(desktop_, window);
    const auto frame = FrameExtents(desktop_, window);
    if (!client || !frame) return false;
    const auto [left, right, top, bottom] = *frame;
    const int x = client->x - screen->x, y = client->y - screen->y;
    return std::abs((x - left) - (screen->width - x - client->width - right)) <= slack &&
           std::abs((y - top) - (screen->height - y - client->height - bottom)) <= slack;
  }, 10s);
}

bool RealProgram::ClickCloseButton(const QString& window) {
  const auto client = Geometry(desktop_, window);
  const auto frame = FrameExtents(desktop_, window);
  if (!client || !frame || (*frame)[2] < 10) return false;
  const auto [left, right, top, bottom] = *frame;
  Click(client->x + client->width + right - top / 2 - 1, client->y - top / 2);
  return true;
}

QImage RealProgram::Shoot(const QString& window) {
  const QString file = folder_.path() + "/shot.png";
  if (!desktop_.Run(SNAPSHOT_EXECUTABLE, {window, file})) return {};
  return QImage(file).convertToFormat(QImage::Format_RGB32);
}

QImage RealProgram::PictureArea(const QString& window, int ratio) {
  const QImage shot = Shoot(window);
  if (shot.width() != 500 * ratio || shot.height() <= 300 * ratio) return {};
  return Unblocked(shot, QRect(0, shot.height() - 300 * ratio, 500 * ratio, 300 * ratio), ratio);
}

::testing::AssertionResult RealProgram::WaitForFish(const QString& window, FishInView expected, int ratio) {
  std::optional<FishInView> seen;
  if (WaitUntil([&] { return (seen = FishIn(PictureArea(window, ratio))) == expected; }, 20s))
    return ::testing::AssertionSuccess();
  if (!seen) return ::testing::AssertionFailure() << "no picture of the aquarium";
  return ::testing::AssertionFailure() << "last seen " << seen->red << " red and " << seen->black << " black fish";
}

bool RealProgram::WaitForEnlarged(const QString& window, const QRect& area, int ratio) {
  return WaitUntil([&] {
    const QImage shot = Shoot(window);
    const QImage picture = BlackAround(shot, area) ? Unblocked(shot, area, ratio) : QImage();
    return !picture.isNull() && picture.pixel(0, 0) != qRgb(0, 0, 0);  // black until the first frame
  }, 20s);
}

bool RealProgram::WaitForMotion(const QString& window) {
  const QImage first = PictureArea(window);
  return !first.isNull() && WaitUntil([&] {
    const QImage later = PictureArea(window);
    return !later.isNull() && later != first;
  }, 10s);
}

namespace {

// A plain window of the given size ("1280x1024") at the screen's corner,
// whose number goes to standard output: what a screen saver is given to
// draw inside. Until ended.
int HostWindow(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "xcb");
  QGuiApplication application(argc, argv);
  QWindow host;
  host.setFlags(Qt::FramelessWindowHint);
  host.setGeometry(QRect(QPoint(), QSize(QString(argv[2]).section('x', 0, 0).toInt(), QString(argv[2]).section('x', 1).toInt())));
  host.show();
  std::printf("%llu\n", static_cast<unsigned long long>(host.winId()));
  std::fflush(stdout);
  return QGuiApplication::exec();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && QByteArray(argv[1]) == "--host-window") return HostWindow(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  QCoreApplication application(argc, argv);  // for QProcess
  if (argc == 4 && QByteArray(argv[1]) == "--shared-display") return VirtualDesktop::Shared(argv[2], argv[3]);
  return RUN_ALL_TESTS();
}
