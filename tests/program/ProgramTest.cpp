// The built program, started and closed as a user would, on a virtual
// display with a real window manager.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QList>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

#include "assets/Texts.h"
#include "tests/program/RealProgram.h"
#include "tests/support/Blocks.h"
#include "tests/support/TempFolder.h"

using namespace std::chrono_literals;

namespace {

// The first run: a red fish swims in the window centred by its frame, which
// has one size, minimised or not; the keyboard alone sets three fish, and
// Alt+F4 saves them.
TEST_F(RealProgram, ARedFishSwimsInTheCentredWindowOfOneSizeAndTheKeyboardsChoiceIsSavedAtClose) {
  const QString window = Launch();
  ASSERT_FALSE(window.isEmpty()) << "no window titled Velmaro appeared";
  EXPECT_EQ(ReadSet(folder_).size(), 0u) << "an empty SET appears at start-up";
  std::optional<WindowGeometry> main;
  EXPECT_TRUE(WaitCentred(window, main)) << "not centred by its frame";
  EXPECT_GT(FrameExtents(desktop_, window).value_or(std::array<int, 4>{})[2], 0) << "a real frame with a title bar";
  EXPECT_TRUE(WaitForFish(window, {1, 0})) << "not one red fish under the menu bar";
  EXPECT_TRUE(WaitForMotion(window)) << "the frames do not change over time";

  // The window manager offers neither to resize it nor to maximise it.
  const QRegularExpression sizes("program specified minimum size: (\\d+ by \\d+)\\s+program specified maximum size: \\1");
  const auto oneSize = [&] {
    const QString hints = desktop_.Run("xprop", {"-id", window, "WM_NORMAL_HINTS"}).value_or("");
    const QString actions = desktop_.Run("xprop", {"-id", window, "_NET_WM_ALLOWED_ACTIONS"}).value_or("");
    return main && sizes.match(hints).captured(1) == QStringLiteral("500 by %1").arg(main->height) &&
           actions.contains("_NET_WM_ACTION_CLOSE") && !actions.contains("RESIZE") && !actions.contains("MAXIMIZE");
  };
  EXPECT_TRUE(WaitUntil(oneSize, 10s)) << "resizable or maximisable after start-up";
  desktop_.Run("xdotool", {"windowminimize", "--sync", window});
  ASSERT_TRUE(WaitUntil([&] { return desktop_.Run("xprop", {"-id", window, "WM_STATE"}).value_or("").contains("Iconic"); }, 10s))
      << "the window did not minimise, or is gone";
  desktop_.Run("xdotool", {"windowactivate", "--sync", window});
  EXPECT_TRUE(WaitForMotion(window)) << "the aquarium did not come back";
  EXPECT_TRUE(oneSize()) << "resizable or maximisable after a minimise";

  const QString dialog = OpenSettingsDialogByKeys(window);
  ASSERT_FALSE(dialog.isEmpty()) << "F10 and Return did not open the dialog";
  std::optional<WindowGeometry> box;
  ASSERT_TRUE(WaitCentred(dialog, box));
  // O K, Cancel, the red bar, the total's box, the total bar; then Space on O K.
  PressKeys(dialog, {"Tab", "Tab", "Tab", "Tab", "Right", "Right", "Tab", "space"});
  ASSERT_TRUE(WaitUntil([&] { return !WindowsOf(velmaro_).contains(dialog); }, 10s)) << "Space did not press O K";
  EXPECT_TRUE(WaitForFish(window, {1, 2})) << "not three fish, the first red";

  ASSERT_TRUE(CloseAsAUserWould(window)) << "the program did not end when its window closed";
  EXPECT_EQ(velmaro_.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(velmaro_.exitCode(), 0);
  EXPECT_EQ(ReadSet(folder_), SetBytes({2, {0, 1, 1}}));
  EXPECT_EQ(velmaro_.readAllStandardError().toStdString(), "") << "normal operation prints nothing";
}

class RealProgramInAWaylandSession : public RealProgram {
 protected:
  VirtualDesktop::Kind DesktopKind() const override { return VirtualDesktop::Kind::wayland; }
};

// A Wayland compositor places windows as it likes; through XWayland the
// program still centres its own. This compositor draws a frame round X
// windows without telling its size, so the window is centred by its client
// area, within that frame.
TEST_F(RealProgramInAWaylandSession, RunsThroughXWaylandAndCentresItsWindow) {
  const QString window = Launch();
  ASSERT_FALSE(window.isEmpty()) << "no X window titled Velmaro: the program did not use XWayland";
  const auto screen = Geometry(desktop_, "root");
  std::optional<WindowGeometry> client;
  const bool centred = WaitUntil([&] {
    client = Geometry(desktop_, window);
    return screen && client && std::abs(client->x + client->width / 2 - screen->width / 2) <= 16 &&
           std::abs(client->y + client->height / 2 - screen->height / 2) <= 40;
  }, 10s);
  ASSERT_TRUE(client);
  EXPECT_TRUE(centred) << "client area at " << client->x << "," << client->y;
  EXPECT_EQ(client->width, 500);
  EXPECT_GT(client->height - 300, 10) << "a menu bar over the picture";

  velmaro_.terminate();
  ASSERT_TRUE(velmaro_.WaitForEnd(5s));
  EXPECT_EQ(velmaro_.readAllStandardError().toStdString(), "") << "normal operation prints nothing";
}

class RealProgramOnTwoMonitors : public RealProgram {
 protected:
  VirtualDesktop::Kind DesktopKind() const override { return VirtualDesktop::Kind::x11TwoMonitors; }
};

// A laptop with a monitor of twice its density beside it, asked for at 1.5,
// which the program rounds. Moved across, the window keeps its size in
// picture pixels, the picture whole in 2 x 2 blocks under its menu, and the
// dialog opens on the monitor the aquarium is on; moved back, the window is
// 500 pixels wide again.
TEST_F(RealProgramOnTwoMonitors, TheAquariumKeepsItsWholePictureAndItsDialogOnEitherMonitor) {
  const WindowGeometry left{0, 0, 1280, 1024}, right{1280, 0, 1280, 1024};
  const QString window = Launch({{"QT_SCREEN_SCALE_FACTORS", "1;1.5"}});
  ASSERT_FALSE(window.isEmpty()) << "no main window appeared";
  std::optional<WindowGeometry> main;
  ASSERT_TRUE(WaitCentred(window, main, left)) << "not centred on the primary monitor";

  desktop_.Run("xdotool", {"windowmove", window, "1500", "100"});
  EXPECT_TRUE(WaitForFish(window, {1, 0}, 2)) << "no whole picture in 2 x 2 blocks on the denser monitor";
  const QString dialog = OpenSettingsDialogByKeys(window);
  ASSERT_FALSE(dialog.isEmpty()) << "F10 and Return did not open the dialog";
  std::optional<WindowGeometry> box;
  // A frame of odd width cannot be centred to the device pixel at ratio 2.
  EXPECT_TRUE(WaitCentred(dialog, box, right, 2)) << "the dialog is not centred on the aquarium's monitor";
  // Two red fish of one: the message comes up on that monitor too.
  PressKeys(dialog, {"Tab", "Tab", "Right", "Right"});
  QString message;
  ASSERT_TRUE(WaitUntil([&] {
    for (const QString& id : WindowsOf(velmaro_, kLimitMessageTitle))
      message = id;
    return !message.isEmpty();
  }, 10s)) << "no message";
  const auto place = Geometry(desktop_, message);
  ASSERT_TRUE(place);
  EXPECT_GE(place->x, right.x) << "the message is on the other monitor";
  PressKeys(message, {"Return"});
  EXPECT_TRUE(WaitUntil([&] { return !WindowsOf(velmaro_, kLimitMessageTitle).contains(message); }, 10s));
  ASSERT_TRUE(ClickCloseButton(dialog));
  EXPECT_TRUE(WaitUntil([&] { return !WindowsOf(velmaro_).contains(dialog); }, 10s)) << "the dialog did not close";

  desktop_.Run("xdotool", {"windowmove", window, "100", "100"});
  EXPECT_TRUE(WaitForFish(window, {1, 0})) << "not 500 x 300 again on the first monitor";
}

// Its standard output when it succeeded; otherwise nothing, and a failure.
std::optional<QString> RunCommand(const QString& program, const QStringList& arguments,
                                  const QString& folder = {}) {
  const auto finished = RunToEnd(program, arguments, QProcessEnvironment::systemEnvironment(), folder);
  if (!finished || finished->exitCode != 0) {
    ADD_FAILURE() << program.toStdString() << ": " << (finished ? finished->errors.toStdString() : "did not end");
    return std::nullopt;
  }
  return finished->output;
}

// The Debian package that cpack makes of this build, unpacked under root().
class DebianPackage {
 public:
  DebianPackage() {
    if (!staging_.isValid() ||
        !RunCommand(CPACK_EXECUTABLE, {"-G", "DEB", "--config", CPACK_CONFIG, "-B", staging_.path()},
                    staging_.path()))
      return;
    const QStringList found = QDir(staging_.path()).entryList({"velmaro_*.deb"}, QDir::Files);
    if (found.size() == 1 && RunCommand("dpkg-deb", {"-x", staging_.filePath(found[0]), root()}))
      file_ = staging_.filePath(found[0]);
  }
  // The .deb, or "" when it could not be made and unpacked.
  const QString& file() const { return file_; }
  QString root() const { return staging_.filePath("root"); }

 private:
  QTemporaryDir staging_;
  QString file_;
};

// As XScreenSaver runs it: inside a window it is given, the aquarium twice its
// size in the middle, since three times would not fit, on black; SIGTERM
// ends it at once, and SET in the settings folder is only read.
TEST_F(RealProgram, AsAScreenSaverItFillsTheWindowItIsGivenAndEndsAtOnceOnSigterm) {
  const std::filesystem::path set = folder_.path().toStdString() + "/velmaro/SET";
  std::filesystem::create_directory(set.parent_path());
  const Bytes stored = SetBytes({1, {1, 0}});
  WriteBytes(set, stored);
  Child host;
  Start(host, {QCoreApplication::applicationFilePath(), "--host-window", "1280x1024"});
  QString window;
  ASSERT_TRUE(WaitUntil([&] { return !(window = host.readAllStandardOutput().trimmed()).isEmpty(); }, 10s));
  Start(velmaro_, {VELMARO_EXECUTABLE, "--window-id", window}, {{"XDG_CONFIG_HOME", folder_.path()}});
  const QRect middle(140, 212, 1000, 600);
  ASSERT_TRUE(WaitForEnlarged(window, middle, 2)) << "the aquarium is not at twice its size in the middle, on black";
  EXPECT_TRUE(WaitUntil([&] { return FishIn(Unblocked(Shoot(window), middle, 2)) == FishInView{1, 1}; }, 20s))
      << "not one red and one black fish";
  velmaro_.terminate();
  EXPECT_TRUE(velmaro_.WaitForEnd(1s)) << "SIGTERM did not end it within a second";
  EXPECT_EQ(ReadBytes(set), stored);
  EXPECT_FALSE(QFile::exists(folder_.filePath("SET"))) << "SET made in the working folder";
}

// The menu entry run as a desktop runs it: in the home folder, with the
// package's programs first on PATH. Its settings folder, and the home
// folder, have spaces in their names.
TEST_F(RealProgram, TheDebianPackagesMenuEntryKeepsSetInTheSettingsFolder) {
  const DebianPackage package;
  ASSERT_FALSE(package.file().isEmpty());
  const QString root = package.root();

  const auto depends = RunCommand("dpkg-deb", {"-f", package.file(), "Depends"});
  ASSERT_TRUE(depends);
  for (const char* needed : {"libqt6widgets6", "libqt6gui6", "qt6-qpa-plugins", "fonts-ipafont-gothic"})
    EXPECT_TRUE(depends->contains(needed)) << needed << " missing from: " << depends->toStdString();
  EXPECT_EQ(QImage(root + "/usr/share/icons/hicolor/32x32/apps/velmaro.png").size(), QSize(32, 32));
  EXPECT_EQ(QImage(root + "/usr/share/icons/hicolor/128x128/apps/velmaro.png").size(), QSize(128, 128));

  const QString entryFile = root + "/usr/share/applications/velmaro.desktop";
  QFile entry(entryFile);
  ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
  const QStringList lines = QString::fromUtf8(entry.readAll()).split('\n');
  EXPECT_EQ(lines.value(0), "[Desktop Entry]");
  for (const char* line : {"Type=Application", "Name=Velmaro", "Icon=velmaro", "Categories=Game;Amusement;"})
    EXPECT_TRUE(lines.contains(line)) << line;
  const QString screenSaver = root + "/usr/share/applications/screensavers/velmaro.desktop";
  EXPECT_TRUE(QFileInfo::exists(root + "/usr/share/xscreensaver/config/velmaro.xml"));
  if (!QStandardPaths::findExecutable("desktop-file-validate").isEmpty()) {
    for (const QString& file : {entryFile, screenSaver})
      EXPECT_EQ(RunCommand("desktop-file-validate", {file}).value_or("failed").toStdString(), "");
  }

  const QStringList exec = lines.filter(QRegularExpression("^Exec="));
  ASSERT_EQ(exec.size(), 1);
  const QStringList command = QProcess::splitCommand(exec[0].mid(5));
  ASSERT_FALSE(command.isEmpty());
  const QString path = root + "/usr/games:" + qEnvironmentVariable("PATH");
  const QString launcher = QStandardPaths::findExecutable(command[0], path.split(':'));
  ASSERT_FALSE(launcher.isEmpty()) << exec[0].toStdString() << ": not in the package";

  const QString home = folder_.path() + "/a home";
  ASSERT_TRUE(QDir().mkpath(home));
  const QString configHome = folder_.path() + "/my settings";
  for (const auto& [xdgConfigHome, settings] :
       {std::pair{configHome, configHome + "/velmaro"}, std::pair{QString(), home + "/.config/velmaro"},
        std::pair{QStringLiteral("my settings"), home + "/.config/velmaro"}}) {
    SCOPED_TRACE("XDG_CONFIG_HOME " + (xdgConfigHome.isNull() ? "unset" : xdgConfigHome.toStdString()));
    std::filesystem::remove_all((settings + "/SET").toStdString());
    Start(velmaro_, QStringList{launcher} + command.mid(1),
          {{"HOME", home}, {"XDG_CONFIG_HOME", xdgConfigHome}, {"PATH", path}}, home);
    const QString window = MainWindowOf(velmaro_);
    ASSERT_FALSE(window.isEmpty()) << "the menu entry showed no window";
    ASSERT_TRUE(CloseAsAUserWould(window));
    EXPECT_EQ(velmaro_.exitCode(), 0);
    EXPECT_EQ(ReadBytes((settings + "/SET").toStdString()), SetBytes({}));
    EXPECT_FALSE(QFileInfo::exists(home + "/SET")) << "SET in the home folder";
  }

  // No settings folder to be had (a file in the way stops even root): the
  // program itself says so on screen, where a user of the menu looks.
  const QString inTheWay = folder_.path() + "/a file";
  ASSERT_TRUE(QFile(inTheWay).open(QIODevice::WriteOnly));
  Start(velmaro_, QStringList{launcher} + command.mid(1), {{"HOME", home}, {"XDG_CONFIG_HOME", inTheWay}, {"PATH", path}},
        home);
  QStringList boxes;
  EXPECT_TRUE(WaitUntil([&] {
    boxes = WindowsOf(velmaro_);
    return boxes.size() == 1 && IsDialog(boxes[0]);
  }, 20s)) << "no message on screen";
  velmaro_.Stop();
  const QString errors = QString::fromUtf8(velmaro_.readAllStandardError());
  EXPECT_TRUE(errors.contains(kCreateFailedText)) << errors.toStdString();
}

// Debian's checker finds no error in it; the launcher's manual page is the
// program's and shows without warnings in any locale; software centres take
// the metainfo, on its own and against the desktop entry it names.
TEST(DebianPackage, LintianManAndSoftwareCentresFindNothingAmiss) {
  const DebianPackage package;
  ASSERT_FALSE(package.file().isEmpty());
  const QString pages = package.root() + "/usr/share/man/man6/";
  EXPECT_EQ(QFileInfo(pages + "velmaro-launcher.6.gz").canonicalFilePath(), QFileInfo(pages + "velmaro.6.gz").canonicalFilePath());
  for (const char* locale : {"C", "C.UTF-8"}) {
    SCOPED_TRACE(locale);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("MANWIDTH", "80");
    environment.insert("LC_ALL", locale);
    const auto man = RunToEnd("man", {"--warnings", "-l", pages + "velmaro-launcher.6.gz"}, environment);
    ASSERT_TRUE(man);
    EXPECT_EQ(man->exitCode, 0);
    EXPECT_EQ(man->errors.toStdString(), "");
    for (const char* text : {"velmaro-launcher", "SET", "~/.config/velmaro", "EXIT STATUS"})
      EXPECT_TRUE(man->output.contains(text)) << text;
  }

  const QString metainfo = package.root() + "/usr/share/metainfo/org.example.Velmaro.metainfo.xml";
  ASSERT_TRUE(QFileInfo::exists(metainfo));
  const std::pair<QStringList, QString> checks[] = {
      {{"lintian", package.file()}, "^E: "},
      {{"appstreamcli", "validate", "--no-net", metainfo}, "^\\s*[EW]: "},
      {{"appstreamcli", "validate-tree", "--no-net", package.root()}, "^\\s*[EW]: "}};
  QStringList missing;
  for (const auto& [check, faults] : checks) {
    if (QStandardPaths::findExecutable(check[0]).isEmpty()) {
      missing << check[0];
      continue;
    }
    const auto checked = RunToEnd(check[0], check.mid(1));
    ASSERT_TRUE(checked) << check.join(' ').toStdString();
    EXPECT_EQ(checked->output.split('\n').filter(QRegularExpression(faults)).join('\n').toStdString(), "");
    EXPECT_EQ(checked->exitCode, 0) << checked->output.toStdString() << checked->errors.toStdString();
  }
  if (!missing.isEmpty()) GTEST_SKIP() << missing.join(", ").toUpper().toStdString() << " NOT INSTALLED, package not checked by it";
}

}  // namespace
