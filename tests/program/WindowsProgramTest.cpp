// The Windows program, velmaro.exe, under Wine on the virtual display, driven
// as on Linux. Run by scripts/windows.sh, which names the program in
// VELMARO_WINDOWS_EXECUTABLE, a Wine prefix in WINEPREFIX, and in
// VELMARO_WINE the command that runs Wine's commands as the prefix's owner.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <map>

#include "tests/program/RealProgram.h"
#include "tests/support/Blocks.h"
#include "tests/support/TempFolder.h"

using namespace std::chrono_literals;

namespace {

const Bytes kThreeFishFirstRed = SetBytes({2, {0, 1, 1}});
const Bytes kTwoFishFirstRed = SetBytes({1, {0, 1}});
const Bytes kOneRedFish = SetBytes({});

class ProgramUnderWine : public RealProgram {
 protected:
  void SetUp() override {
    ASSERT_FALSE(exe_.isEmpty()) << "VELMARO_WINDOWS_EXECUTABLE names no program";
    RealProgram::SetUp();
    // Wine's user may be another than the test's.
    QFile::setPermissions(folder_.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                              QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther);
  }
  // Wine's server and services outlive the program for a while.
  void TearDown() override {
    RealProgram::TearDown();
    Child server;
    Start(server, {wine_, "wineserver", "--kill"});
    server.WaitForEnd(10s);
  }

  // The first start in a new prefix sets Wine's desktop up first.
  QString LaunchUnderWine(Child& process) {
    Start(process, {wine_, "wine", exe_});
    QString window;
    WaitUntil([&] {
      window = WindowsOf(process).value(0);
      return !window.isEmpty();
    }, 60s);
    return window;
  }

  // Centred as Windows centres: by the Windows frame, which Wine draws
  // round the client as openbox does not. Left and right are the same, and
  // the caption, above, makes the top the wider margin. At ratio 2 the
  // caption is twice as tall, and an odd frame cannot be centred exactly.
  bool WaitCentredByWindowsFrame(const QString& window, std::optional<WindowGeometry>& client, int ratio = 1) {
    const auto screen = Geometry(desktop_, "root");
    return screen && WaitUntil([&] {
      client = Geometry(desktop_, window);
      if (!client) return false;
      const int above = client->y, below = screen->height - client->y - client->height;
      return std::abs(client->x - (screen->width - client->x - client->width)) <= ratio && above > below &&
             above - below <= 40 * ratio;
    }, 10s);
  }

  // Keys pressed before Wine has given a window the focus are lost.
  bool Focus(const QString& window) {
    return WaitUntil([&] {
      desktop_.Run("xdotool", {"windowactivate", "--sync", window});
      return desktop_.Run("xdotool", {"getwindowfocus"}).value_or("").trimmed() == window;
    }, 10s);
  }

  // Whether the window manager stacks upper above lower.
  bool StackedAbove(const QString& upper, const QString& lower) {
    const QString list = desktop_.Run("xprop", {"-root", "_NET_CLIENT_LIST_STACKING"}).value_or("");
    QList<qulonglong> bottomToTop;
    for (const QString& id : list.section('#', 1).split(',', Qt::SkipEmptyParts)) bottomToTop << id.trimmed().toULongLong(nullptr, 16);
    const qsizetype above = bottomToTop.indexOf(upper.toULongLong()), below = bottomToTop.indexOf(lower.toULongLong());
    return above >= 0 && below >= 0 && above > below;
  }

  // F10 and Return open the dialog; the keys are pressed in it, and the
  // dialog must then be gone. A click on the aquarium meanwhile, which the
  // dialog blocks, must leave the dialog above it.
  ::testing::AssertionResult ChooseWithKeys(const QString& window, QProcess& process, const QStringList& keys,
                                            bool clickAquarium = false) {
    if (!Focus(window)) return ::testing::AssertionFailure() << "the main window never had the focus";
    const QString dialog = OpenSettingsDialogByKeys(window, process);
    if (dialog.isEmpty()) return ::testing::AssertionFailure() << "F10 and Return did not open the dialog";
    std::optional<WindowGeometry> box;
    if (!WaitCentredByWindowsFrame(dialog, box)) return ::testing::AssertionFailure() << "the dialog is not centred";
    if (clickAquarium) {
      const auto main = Geometry(desktop_, window);
      if (!main) return ::testing::AssertionFailure() << "the main window is gone";
      Click(main->x + 30, main->y + main->height - 30);  // clear of the dialog, which is centred
      if (WaitUntil([&] { return !StackedAbove(dialog, window); }, 3s))
        return ::testing::AssertionFailure() << "a click on the aquarium put it over the dialog";
    }
    if (!Focus(dialog)) return ::testing::AssertionFailure() << "the dialog never had the focus";
    PressKeys(dialog, keys);
    if (!WaitUntil([&] { return !WindowsOf(process).contains(dialog); }, 10s))
      return ::testing::AssertionFailure() << "Space did not press O K";
    return ::testing::AssertionSuccess();
  }

  // A command of Wine's, run to its end on the test's display.
  std::optional<Finished> RunWine(const QStringList& command) {
    return RunToEnd(wine_, command, desktop_.Environment(), {}, 60s);
  }

  // The user's screen saver, as Windows keeps it.
  QString ScreenSaver() {
    const QString values = RunWine({"wine", "reg", "query", kDesktop, "/v", "SCRNSAVE.EXE"}).value_or(Finished{}).output;
    return values.section("REG_SZ", 1).trimmed();
  }

  // The Wine user's own folder, C:\users\<name>.
  QString UserProfile() const {
    QDir users(qEnvironmentVariable("WINEPREFIX") + "/drive_c/users");
    QStringList names = users.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    names.removeAll("Public");
    return names.size() == 1 ? users.filePath(names[0]) : QString();
  }

  const QString exe_ = qEnvironmentVariable("VELMARO_WINDOWS_EXECUTABLE");
  const QString setup_ = qEnvironmentVariable("VELMARO_WINDOWS_SETUP");
  const QString signingAuthority_ = qEnvironmentVariable("VELMARO_SIGNING_CA");
  const QString wine_ = qEnvironmentVariable("VELMARO_WINE", "env");
  const QString messages_ = QFileInfo(exe_).dir().filePath("window_messages.exe");
  const QString screenSaver_ = QFileInfo(exe_).dir().filePath("velmaro.scr");
  static constexpr char kDesktop[] = R"(HKCU\Control Panel\Desktop)";
  const QStringList threeFish_{"Tab", "Tab", "Tab", "Tab", "Right", "Right", "Tab", "space"};
};

TEST_F(ProgramUnderWine, ShowsTheAquariumCentredAndSavesAKeyboardChoiceAtAltF4) {
  const QString window = LaunchUnderWine(velmaro_);
  ASSERT_FALSE(window.isEmpty()) << "no main window titled Velmaro appeared";
  std::optional<WindowGeometry> main;
  ASSERT_TRUE(WaitCentredByWindowsFrame(window, main));
  EXPECT_EQ(main->width, 500);
  EXPECT_GT(main->height, 300) << "no menu bar above the aquarium";
  EXPECT_TRUE(WaitForMotion(window)) << "the picture does not change";
  EXPECT_TRUE(WaitForFish(window, {1, 0}));

  ASSERT_TRUE(ChooseWithKeys(window, velmaro_, threeFish_, true));
  EXPECT_TRUE(WaitForFish(window, {1, 2})) << "not three fish, the first red";
  ASSERT_TRUE(CloseAsAUserWould(window));
  EXPECT_EQ(velmaro_.exitCode(), 0);
  EXPECT_EQ(ReadSet(folder_), kThreeFishFirstRed);
}

// Windows' display scales of 100, 125, 150 and 200 %, which the program
// rounds to whole ratios: the picture whole in blocks below the menu, and
// the dialog its design size at the ratio, drawn as at the other scale of
// that ratio. Where its message goes, the dialog's own tests show.
TEST_F(ProgramUnderWine, EveryCommonDisplayScaleShowsTheAquariumAndItsDialogAtAWholeRatio) {
  const auto setScale = [&](int dpi) {
    RunWine({"wine", "reg", "add", R"(HKCU\Control Panel\Desktop)", "/v", "LogPixels", "/t", "REG_DWORD",
             "/d", QString::number(dpi), "/f"});
    RunWine({"wineserver", "--kill"});
  };
  const auto back = qScopeGuard([&] { setScale(96); });  // for the tests after this one
  std::map<int, QImage> dialogAtRatio;
  for (const auto& [dpi, ratio] : {std::pair{96, 1}, {120, 1}, {144, 2}, {192, 2}}) {
    SCOPED_TRACE(dpi);
    setScale(dpi);
    const QString window = LaunchUnderWine(velmaro_);
    ASSERT_FALSE(window.isEmpty()) << "no main window titled Velmaro appeared";
    std::optional<WindowGeometry> main, box;
    EXPECT_TRUE(WaitCentredByWindowsFrame(window, main, ratio));
    EXPECT_TRUE(WaitForFish(window, {1, 0}, ratio));

    ASSERT_TRUE(Focus(window));
    const QString dialog = OpenSettingsDialogByKeys(window, velmaro_);
    ASSERT_FALSE(dialog.isEmpty()) << "F10 and Return did not open the dialog";
    ASSERT_TRUE(WaitCentredByWindowsFrame(dialog, box, ratio));
    EXPECT_EQ(QSize(box->width, box->height), QSize(255, 183) * ratio);
    const QImage shot = Shoot(dialog);
    EXPECT_EQ(shot, dialogAtRatio.try_emplace(ratio, shot).first->second) << "drawn otherwise at ratio " << ratio;
    velmaro_.Stop();
  }
}

// The installer's round trip, silent, as an ordinary user: the program in
// the user's own programs folder and in Apps & features, started from the
// Start menu in the user's settings folder, where SET is kept; then the
// uninstaller leaves no program file, shortcut or key, and keeps SET.
TEST_F(ProgramUnderWine, TheInstallerAndUninstallerTakeTheWholeRoundTripAndKeepSet) {
  ASSERT_FALSE(setup_.isEmpty()) << "VELMARO_WINDOWS_SETUP names no installer";
  const QString before = R"(C:\windows\system32\before.scr)";
  RunWine({"wine", "reg", "add", kDesktop, "/v", "SCRNSAVE.EXE", "/d", before, "/f"});
  const auto installed = RunWine({"wine", setup_, "/S", "/SCREENSAVER"});
  ASSERT_TRUE(installed && installed->exitCode == 0);
  const QString user = UserProfile();
  ASSERT_FALSE(user.isEmpty()) << "no one Wine user";
  const QString program = user + "/AppData/Local/Programs/Velmaro";
  const QString shortcut = user + "/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Velmaro.lnk";
  const std::filesystem::path set = (user + "/AppData/Roaming/Velmaro/SET").toStdString();
  const QString key = R"(HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmaro)";
  EXPECT_TRUE(QFile::exists(program + "/velmaro.exe") && QFile::exists(program + "/velmaro.scr") &&
              QFile::exists(shortcut));
  EXPECT_TRUE(ScreenSaver().contains("velmaro.scr", Qt::CaseInsensitive)) << "not the screen saver: " << ScreenSaver().toStdString();
  const QString entry = RunWine({"wine", "reg", "query", key}).value_or(Finished{}).output;
  for (const QString value : {"DisplayName", "DisplayIcon", "DisplayVersion", "Publisher", "EstimatedSize"})
    EXPECT_TRUE(entry.contains(value)) << value.toStdString() << " missing from Apps & features: " << entry.toStdString();
  for (const QString& file : signingAuthority_.isEmpty() ? QStringList() : QStringList{"velmaro.exe", "uninstall.exe"})
    EXPECT_EQ(RunToEnd("osslsigncode", {"verify", "-CAfile", signingAuthority_, "-in", program + "/" + file})
                  .value_or(Finished{}).exitCode, 0) << file.toStdString() << " is not signed";

  // Started by the shell, the program is no child of the test's.
  Child shell;
  Start(shell, {wine_, "wine", "start", "/unix", shortcut});
  QString window;
  ASSERT_TRUE(WaitUntil([&] { return !(window = WindowsNamed("^Velmaro$").value(0)).isEmpty(); }, 60s))
      << "the Start menu's shortcut showed no aquarium";
  EXPECT_TRUE(WaitForFish(window, {1, 0}));
  EXPECT_TRUE(WaitUntil([&] {
    PressKeys(window, {"--clearmodifiers", "alt+F4"});
    return WaitUntil([&] { return ReadBytes(set) == kOneRedFish && WindowsNamed("^Velmaro$").isEmpty(); }, 1s);
  }, 15s)) << "SET not kept in the user's settings folder at closing";

  ASSERT_TRUE(RunWine({"wine", program + "/uninstall.exe", "/S"}));
  EXPECT_TRUE(WaitUntil([&] {
    return !QFileInfo::exists(program) && !QFileInfo::exists(shortcut) &&
           RunWine({"wine", "reg", "query", key}).value_or(Finished{}).exitCode == 1;
  }, 30s)) << "the uninstaller left the program, its shortcut or its key";
  EXPECT_EQ(ScreenSaver(), before) << "the screen saver before Velmaro is not back";
  EXPECT_EQ(ReadBytes(set), kOneRedFish) << "the uninstaller took the user's SET";
}

// Logging off: Windows asks every program whether the session may end, says
// that it ends, and may then end the process at once. Wine's own end of
// session waits for the program to quit; window_messages.exe does not.
TEST_F(ProgramUnderWine, AnEndOfSessionSavesTheChoiceMade) {
  for (const QStringList& command :
       {QStringList{"wineboot", "--end-session"}, QStringList{"wine", messages_, "end-session"}}) {
    SCOPED_TRACE(command.join(' ').toStdString());
    QFile::remove(folder_.filePath("SET"));
    const QString window = LaunchUnderWine(velmaro_);
    ASSERT_FALSE(window.isEmpty()) << "no main window titled Velmaro appeared";
    ASSERT_TRUE(ChooseWithKeys(window, velmaro_, {"Tab", "Tab", "Tab", "Tab", "Right", "Tab", "space"}));
    ASSERT_TRUE(WaitForFish(window, {1, 1}));
    Child ender;
    Start(ender, QStringList{wine_} + command);
    EXPECT_TRUE(velmaro_.WaitForEnd(20s)) << "the end of the session did not end the program";
    EXPECT_TRUE(ender.WaitForEnd(20s));
    EXPECT_EQ(ender.exitCode(), 0);
    EXPECT_EQ(ReadSet(folder_), kTwoFishFirstRed);
  }
}

// Two copies in one folder: each saves over the other's SET as it closes,
// by the close box or by the system menu's Close, and the last to close wins.
TEST_F(ProgramUnderWine, TwoCopiesSaveInTurnAndTheLastToCloseWins) {
  const QString first = LaunchUnderWine(velmaro_);
  ASSERT_FALSE(first.isEmpty()) << "no main window titled Velmaro appeared";
  Child second;
  const QString secondWindow = LaunchUnderWine(second);
  ASSERT_FALSE(secondWindow.isEmpty()) << "the second copy showed no window";

  ASSERT_TRUE(ChooseWithKeys(first, velmaro_, threeFish_));
  std::optional<WindowGeometry> main;
  ASSERT_TRUE(WaitCentredByWindowsFrame(first, main));
  ASSERT_TRUE(WaitUntil([&] {
    ClickCloseButton(first);
    return velmaro_.waitForFinished(1000);
  }, 15s)) << "the close box did not close the program";
  EXPECT_EQ(velmaro_.exitCode(), 0);
  EXPECT_EQ(ReadSet(folder_), kThreeFishFirstRed);

  Child systemMenu;
  Start(systemMenu, {wine_, "wine", messages_, "system-menu-close"});
  EXPECT_TRUE(systemMenu.WaitForEnd(20s));
  EXPECT_EQ(systemMenu.exitCode(), 0);
  ASSERT_TRUE(second.WaitForEnd(20s)) << "the system menu's Close did not close the program";
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_EQ(ReadSet(folder_), kOneRedFish);
}

// Windows' read-only attribute: the record is read, and the save at close is
// refused with a message titled Velmaro; the file is kept.
TEST_F(ProgramUnderWine, AReadOnlySetIsShownAndReportedAtClose) {
  const std::filesystem::path set = (folder_.path() + "/SET").toStdString();
  WriteBytes(set, kTwoFishFirstRed);
  using std::filesystem::perms;
  std::filesystem::permissions(set, perms::owner_read | perms::group_read | perms::others_read);
  const QString window = LaunchUnderWine(velmaro_);
  ASSERT_FALSE(window.isEmpty()) << "no main window titled Velmaro appeared";
  EXPECT_TRUE(WaitForFish(window, {1, 1}));

  std::optional<WindowGeometry> main;
  ASSERT_TRUE(WaitCentredByWindowsFrame(window, main));
  QString box;
  ASSERT_TRUE(WaitUntil([&] {
    ClickCloseButton(window);
    return WaitUntil([&] {
      for (const QString& id : WindowsOf(velmaro_))
        if (id != window && IsDialog(id)) box = id;
      return !box.isEmpty();
    }, 2s);
  }, 15s)) << "no message box at close";
  ASSERT_TRUE(WaitUntil([&] {
    PressKeys(box, {"Return"});
    return velmaro_.waitForFinished(1000);
  }, 15s)) << "Return did not end the program";
  EXPECT_EQ(velmaro_.exitCode(), 1);
  EXPECT_EQ(ReadSet(folder_), kTwoFishFirstRed);
  std::filesystem::permissions(set, std::filesystem::perms::owner_all);
}

// Windows' screen saver, started as the system starts it, in a folder not
// its own: the whole screen at twice the size, in the middle, on black,
// with SET only read from the user's settings folder; a key ends it.
TEST_F(ProgramUnderWine, AsTheScreenSaverItCoversTheScreenAndEndsAtAKey) {
  const QString settings = UserProfile() + "/AppData/Roaming/Velmaro";
  const bool existed = QFileInfo::exists(settings);
  QDir().mkpath(settings);
  const auto cleanUp = qScopeGuard([&] {
    QFile::remove(settings + "/SET");
    if (!existed) QDir().rmdir(settings);
  });
  const std::filesystem::path set = (settings + "/SET").toStdString();
  WriteBytes(set, kTwoFishFirstRed);
  Start(velmaro_, {wine_, "wine", screenSaver_, "/s"});
  QString window;
  ASSERT_TRUE(WaitUntil([&] { return !(window = WindowsOf(velmaro_).value(0)).isEmpty(); }, 60s)) << "nothing shown";
  const QRect middle(140, 212, 1000, 600);
  ASSERT_TRUE(WaitForEnlarged(window, middle, 2)) << "the aquarium is not at twice its size in the middle, on black";
  EXPECT_TRUE(WaitUntil([&] { return FishIn(Unblocked(Shoot(window), middle, 2)) == FishInView{1, 1}; }, 20s));
  ASSERT_TRUE(Focus(window));
  PressKeys(window, {"a"});
  EXPECT_TRUE(velmaro_.WaitForEnd(10s)) << "a key did not end it";
  EXPECT_EQ(ReadBytes(set), kTwoFishFirstRed);
  EXPECT_FALSE(QFile::exists(folder_.filePath("SET"))) << "SET made where it was started";
}

// The screen-saver settings' small screen: the aquarium made to fit inside
// the window it is given, on black above and below, until that window goes.
TEST_F(ProgramUnderWine, AsTheScreenSaversPreviewItDrawsInsideTheWindowItIsGivenUntilThatGoes) {
  Child preview;
  Start(preview, {wine_, "wine", messages_, "preview"});
  QString number;
  ASSERT_TRUE(WaitUntil([&] { return !(number = preview.readAllStandardOutput().trimmed()).isEmpty(); }, 60s));
  QString host;
  ASSERT_TRUE(WaitUntil([&] { return !(host = WindowsNamed("^Velmaro preview$").value(0)).isEmpty(); }, 20s));
  Start(velmaro_, {wine_, "wine", screenSaver_, "/p", number});
  // The helper's window is white: black above the picture and the water's
  // pale green in it can only be the aquarium's, made to fit 152 x 112.
  const auto drawnInside = [&] {
    const QImage shot = Shoot(host);
    if (shot.size() != QSize(152, 112)) return false;
    const QRgb above = shot.pixel(76, 4), water = shot.pixel(76, 20);
    return above == qRgb(0, 0, 0) && qGreen(water) > qRed(water) + 20;
  };
  EXPECT_TRUE(WaitUntil(drawnInside, 30s)) << "no aquarium inside the preview window";
  preview.Stop();
  EXPECT_TRUE(velmaro_.WaitForEnd(10s)) << "it outlived the preview window";
}

}  // namespace
