// What a user does with the aquarium and its settings file, beyond the
// everyday: keys and buttons the dialog ignores, the window manager's close
// buttons, odd SET files, and two copies in one folder.
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <thread>
#include <utility>
#include <vector>

#include "assets/Texts.h"
#include "tests/program/RealProgram.h"
#include "tests/program/SessionManager.h"
#include "tests/support/TempFolder.h"

using namespace std::chrono_literals;

namespace {

// Places in the dialog's client area, from its design.
struct Place {
  int x, y;
};
constexpr Place kTotalTroughLeft{167 + 18, 17 + 15};
constexpr Place kTotalTroughRight{167 + 35, 17 + 15};
constexpr Place kRedLeftArrow{57 + 7, 105 + 8};
constexpr Place kRedRightArrow{57 + 24, 105 + 8};
constexpr Place kOk{147 + 27, 104 + 10};

class UserJourney : public RealProgram {
 protected:
  void WriteSet(const Bytes& bytes) { WriteBytes(SetPath(), bytes); }
  std::filesystem::path SetPath() const { return (folder_.path() + "/SET").toStdString(); }

  // Opens the settings dialog and waits for it to settle where it opens.
  QString OpenDialog(const QString& window) {
    const QString dialog = OpenSettingsDialog(window);
    if (!dialog.isEmpty() && !WaitCentred(dialog, box_)) return {};
    return dialog;
  }
  void InDialog(Place place) { Click(box_->x + place.x, box_->y + place.y); }

  // All the program has written on its standard error so far.
  const QString& Errors() {
    errors_ += QString::fromUtf8(velmaro_.readAllStandardError());
    return errors_;
  }
  bool WaitForErrorLines(int lines) {
    return WaitUntil([&] { return Errors().count('\n') >= lines; }, 10s);
  }

  // The one message box the program shows besides its main window.
  QString MessageBox(const QString& mainWindow = {}) {
    QString box;
    WaitUntil([&] {
      for (const QString& id : WindowsOf(velmaro_))
        if (id != mainWindow && IsDialog(id)) box = id;
      return !box.isEmpty();
    }, 10s);
    return box;
  }
  // Return, again if the box still has not got the focus, until it is gone.
  bool DismissWithReturn(const QString& box) {
    return WaitUntil([&] {
      PressKeys(box, {"Return"});
      return WaitUntil([&] { return !WindowsOf(velmaro_).contains(box); }, 1s);
    }, 10s);
  }

  // The main window's close button, when SET cannot be saved: a box titled
  // Velmaro and the failure with its reason on standard error, after what
  // was there; Return then ends the program with status 1.
  void CloseFailingToSave(const QString& window) {
    const int earlierLines = Errors().count('\n');
    std::optional<WindowGeometry> main;
    ASSERT_TRUE(WaitCentred(window, main));
    ASSERT_TRUE(ClickCloseButton(window));
    const QString box = MessageBox(window);
    ASSERT_FALSE(box.isEmpty()) << "no message box titled Velmaro at close";
    ASSERT_TRUE(WaitForErrorLines(earlierLines + 2)) << Errors().toStdString();
    const QStringList atClose = Errors().split('\n').mid(earlierLines);
    EXPECT_EQ(atClose.value(0).toStdString(), kSaveFailedText.toStdString());
    EXPECT_FALSE(atClose.value(1).isEmpty()) << "no reason after the message";
    EXPECT_EQ(atClose.size(), 3) << Errors().toStdString();
    ASSERT_TRUE(DismissWithReturn(box));
    ASSERT_TRUE(velmaro_.WaitForEnd()) << "Return did not end the program";
    EXPECT_EQ(velmaro_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(velmaro_.exitCode(), 1);
  }

  // What the folder holds, hidden entries too, but the tests' own screenshot.
  QStringList Entries() const {
    QStringList entries = QDir(folder_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                                         QDir::NoDotAndDotDot);
    entries.removeAll("shot.png");
    return entries;
  }

  std::optional<WindowGeometry> box_;
  QString errors_;
};

// The settings through the menu, as a user sets them: three black fish
// become five, one of them red, after the limit message has once said no.
// Opened again, the dialog's close button leaves the kinds as they were, and
// the main window's ends the program, which saves before SET's longer tail.
TEST_F(UserJourney, TheSettingsDialogChangesTheFishAndTheCloseButtonsKeepTheKindsAndSave) {
  const Bytes tail{0xde, 0xad, 0xbe, 0xef, 0x0d, 0x0a};
  WriteSet(SetBytes({2, {1, 1, 1, 0, 0, 0}}, tail));
  const QString window = Launch();
  ASSERT_FALSE(window.isEmpty()) << "no main window appeared";
  EXPECT_TRUE(WaitForFish(window, {0, 3})) << "the first 14 bytes were not read as the record";
  const QString dialog = OpenDialog(window);
  ASSERT_FALSE(dialog.isEmpty()) << "the dialog did not open from the menu, centred by its frame";
  EXPECT_TRUE(WaitForMotion(window)) << "the fish stood still while the dialog was open";

  if (const QString picture = qEnvironmentVariable("VELMARO_WRITE_DIALOG_PICTURE"); !picture.isEmpty()) {
    const auto frame = FrameExtents(desktop_, dialog).value_or(std::array<int, 4>{});
    const auto root = desktop_.Run("xwininfo", {"-root"});
    const QString rootId = QRegularExpression("Window id: (0x[0-9a-f]+)").match(root.value_or("")).captured(1);
    const QImage screen = Shoot(rootId);
    screen.copy(box_->x - frame[0] - 40, box_->y - frame[2] - 30, box_->width + frame[0] + frame[1] + 80,
                box_->height + frame[2] + frame[3] + 60).save(picture);
  }

  InDialog(kTotalTroughLeft);  // the total goes to 1
  InDialog(kRedRightArrow);    // one red fish
  InDialog(kRedRightArrow);    // and two, one more than the total
  const QString limit = "^" + kLimitMessageTitle + "$";
  QStringList messages;
  ASSERT_TRUE(WaitUntil([&] { return !(messages = WindowsNamed(limit)).isEmpty(); }, 10s)) << "no limit message";
  EXPECT_FALSE(WaitUntil([&] { return WindowsNamed(limit).size() > 1; }, 1500ms))
      << "the arrow went on repeating behind the message";
  // The count too large, Lab(0), stays in sight, and the box carries the icon.
  EXPECT_TRUE(WaitUntil([&] {
    const auto message = Geometry(desktop_, messages[0]);
    const auto extents = FrameExtents(desktop_, messages[0]);
    if (!message || !extents) return false;
    const auto [left, right, top, bottom] = *extents;
    return !QRect(message->x - left, message->y - top, message->width + left + right, message->height + top + bottom)
                .intersects(QRect(box_->x + 56, box_->y + 79, 31, 26));
  }, 10s)) << "the message hides Lab(0)";
  EXPECT_EQ(desktop_.Run("xprop", {"-id", messages[0], "_NET_WM_ICON"}),
            desktop_.Run("xprop", {"-id", window, "_NET_WM_ICON"}));
  PressKeys(messages[0], {"Return"});
  ASSERT_TRUE(WaitUntil([&] { return WindowsNamed(limit).isEmpty(); }, 10s)) << "the message stayed, or came again";
  InDialog(kTotalTroughRight);  // five fish
  InDialog(kOk);
  ASSERT_TRUE(WaitUntil([&] { return !WindowsOf(velmaro_).contains(dialog); }, 10s)) << "O K did not close the dialog";
  EXPECT_TRUE(WaitForFish(window, {1, 4})) << "O K did not make the first of five fish red";

  const QString again = OpenDialog(window);
  ASSERT_FALSE(again.isEmpty()) << "the dialog did not open again";
  InDialog(kTotalTroughLeft);
  InDialog(kRedLeftArrow);  // O K would make the one fish black
  EXPECT_TRUE(WaitForFish(window, {1, 0})) << "the total bar did not leave the one red fish";
  // The close function in the hints every window manager reads (Motif's).
  const QStringList hints = desktop_.Run("xprop", {"-id", again, "_MOTIF_WM_HINTS"}).value_or("").section('=', 1).split(',');
  EXPECT_TRUE(hints.size() > 1 && (hints[1].trimmed().toUInt(nullptr, 16) & 0x20)) << "the dialog asks for no close button";
  ASSERT_TRUE(ClickCloseButton(again));
  EXPECT_TRUE(WaitUntil([&] { return !WindowsOf(velmaro_).contains(again); }, 10s)) << "the dialog stayed open";
  EXPECT_TRUE(WaitForMotion(window)) << "the aquarium stopped";
  EXPECT_TRUE(WaitForFish(window, {1, 0})) << "closing the dialog changed the fish";

  std::optional<WindowGeometry> main;
  ASSERT_TRUE(WaitCentred(window, main));
  ASSERT_TRUE(ClickCloseButton(window));
  ASSERT_TRUE(velmaro_.WaitForEnd()) << "the program did not end when its window closed";
  EXPECT_EQ(velmaro_.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(velmaro_.exitCode(), 0);
  EXPECT_EQ(ReadSet(folder_), SetBytes({0, {0, 1, 1, 1, 1, 0}}, tail)) << "one fish, the first red, then the same tail";
  EXPECT_EQ(Errors().toStdString(), "") << "normal operation prints nothing";
}

// A link is followed as the settings file's own tests show with a socket and
// a block device; a pipe, which would hang the opener, is tried here bare.
enum class OddSet { folder, pipe, linkToDevice };

class NotAnOrdinaryFile : public UserJourney, public ::testing::WithParamInterface<OddSet> {};

// One message before the window, the default fish, and at close nothing
// written and nothing more said, a quick end with status 1, and the thing
// SET names just as it was, a device node a device still.
TEST_P(NotAnOrdinaryFile, IsNamedOnceAndLeftUntouched) {
  const std::string set = SetPath().string(), node = folder_.path().toStdString() + "/node";
  QString kind = QStringLiteral("名前付きパイプ");
  switch (GetParam()) {
    case OddSet::folder:
      std::filesystem::create_directory(set);
      kind = QStringLiteral("フォルダ");
      break;
    case OddSet::pipe:
      ASSERT_EQ(mkfifo(set.c_str(), 0600), 0);
      break;
    case OddSet::linkToDevice:
      // A private copy of the null device: harmless even if written.
      if (mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0)
        GTEST_SKIP() << "DEVICE NODE NOT TESTED: " << std::strerror(errno);
      std::filesystem::create_symlink(node, set);
      kind = QStringLiteral("キャラクタデバイス");
      break;
  }
  struct stat before {}, after {};
  ASSERT_EQ(stat(set.c_str(), &before), 0);
  const QStringList entries = Entries();

  Start(velmaro_, {VELMARO_EXECUTABLE});
  const QString box = MessageBox();
  ASSERT_FALSE(box.isEmpty()) << "no message box titled Velmaro at start-up";
  EXPECT_EQ(WindowsOf(velmaro_).size(), 1) << "the box comes before the main window";
  ASSERT_TRUE(WaitForErrorLines(1));
  EXPECT_EQ(Errors().toStdString(), (kNotOrdinaryText.arg(kind) + "\n").toStdString());
  const auto boxIcon = desktop_.Run("xprop", {"-id", box, "_NET_WM_ICON"});
  ASSERT_TRUE(DismissWithReturn(box));

  const QString window = MainWindowOf(velmaro_);
  ASSERT_FALSE(window.isEmpty()) << "no main window after the box";
  EXPECT_EQ(boxIcon, desktop_.Run("xprop", {"-id", window, "_NET_WM_ICON"})) << "the box lacks the program's icon";
  EXPECT_TRUE(WaitForFish(window, {1, 0})) << "not the default one red fish";
  std::optional<WindowGeometry> main;
  ASSERT_TRUE(WaitCentred(window, main));
  ASSERT_TRUE(ClickCloseButton(window));
  EXPECT_TRUE(velmaro_.WaitForEnd(3s))
      << "the program did not end within 3 s of the close";
  EXPECT_EQ(velmaro_.exitCode(), 1) << "the settings were not saved";
  EXPECT_EQ(Errors().toStdString(), (kNotOrdinaryText.arg(kind) + "\n").toStdString()) << "a second message";

  ASSERT_EQ(stat(set.c_str(), &after), 0);
  EXPECT_EQ(after.st_mode, before.st_mode);
  EXPECT_EQ(after.st_rdev, before.st_rdev);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(Entries(), entries);
}

std::string OddSetName(const ::testing::TestParamInfo<OddSet>& info) {
  const char* names[] = {"Folder", "Pipe", "LinkToDevice"};
  return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(RealProgram, NotAnOrdinaryFile,
                         ::testing::Values(OddSet::folder, OddSet::pipe, OddSet::linkToDevice),
                         OddSetName);

// Mode bits bind only users other than root: as root, the program runs as
// nobody, in a folder, runtime folder and home of nobody's own.
TEST_F(UserJourney, AReadOnlySetIsReadWithAWarningAndNotSaved) {
  const Bytes stored = SetBytes({2, {0, 0, 0, 1, 1, 1}});
  WriteSet(stored);
  QStringList command{VELMARO_EXECUTABLE};
  QList<std::pair<QString, QString>> environment;
  const QTemporaryDir nobodysRuntime;
  if (geteuid() == 0) {
    const QStringList asNobody{"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    if (QStandardPaths::findExecutable("setpriv").isEmpty())
      GTEST_SKIP() << "READ-ONLY SET NOT TESTED: running as root without setpriv";
    const QString runtime = nobodysRuntime.path(), home = folder_.path() + "/home";
    std::filesystem::create_directory(home.toStdString());
    for (const QString& path : {folder_.path(), runtime, home, folder_.path() + "/SET"}) {
      if (chown(path.toLocal8Bit().constData(), 65534, 65534) != 0)
        GTEST_SKIP() << "READ-ONLY SET NOT TESTED: cannot give " << path.toStdString() << " to nobody";
    }
    const auto check = RunToEnd("setpriv", asNobody + QStringList{"test", "-x", VELMARO_EXECUTABLE});
    if (!check || check->exitCode != 0)
      GTEST_SKIP() << "READ-ONLY SET NOT TESTED: nobody cannot run the program through setpriv";
    command = asNobody + command;
    environment = {{"XDG_RUNTIME_DIR", runtime}, {"HOME", home}};
  }
  std::filesystem::permissions(SetPath(), std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                              std::filesystem::perms::others_read);
  Start(velmaro_, command, environment);

  const QString window = MainWindowOf(velmaro_);
  ASSERT_FALSE(window.isEmpty()) << "no main window appeared";
  EXPECT_TRUE(WaitForFish(window, {3, 0})) << "SET's three red fish did not appear";
  EXPECT_EQ(WindowsOf(velmaro_).size(), 1) << "a message box at start-up";
  EXPECT_EQ(Errors().toStdString(), (kReadOnlyText + "\n").toStdString());

  CloseFailingToSave(window);
  EXPECT_EQ(ReadSet(folder_), stored);
}

// Two copies in one folder each keep the record they read and save it whole
// when they close: the earlier, closing first, saves over the later's SET,
// the last to close wins, and SET is never seen half written.
TEST_F(UserJourney, TwoCopiesInOneFolderEachSaveTheirOwnWholeRecord) {
  const Bytes tail{0x55, 0xaa, 0x00, 0xff};
  const Bytes recordA = SetBytes({1, {0, 0, 1, 1, 1, 1}}, tail), recordB = SetBytes({3, {0, 0, 0, 0, 1, 1}}, tail);
  Child a, b;
  WriteSet(recordA);
  Start(a, {VELMARO_EXECUTABLE});
  const QString windowA = MainWindowOf(a);
  ASSERT_FALSE(windowA.isEmpty()) << "the first copy showed no window";
  EXPECT_TRUE(WaitForFish(windowA, {2, 0})) << "the first copy does not show its two red fish";

  WriteSet(recordB);
  Start(b, {VELMARO_EXECUTABLE});
  const QString windowB = MainWindowOf(b);
  ASSERT_FALSE(windowB.isEmpty()) << "the second copy showed no window";
  // Both open centred, one over the other: move the later aside, as a user would.
  std::optional<WindowGeometry> placeB;
  ASSERT_TRUE(WaitCentred(windowB, placeB));
  desktop_.Run("xdotool", {"windowmove", "--sync", windowB, "0", "0"});
  ASSERT_TRUE(WaitUntil([&] { return (placeB = Geometry(desktop_, windowB)) && placeB->x < 100; }, 10s));
  EXPECT_TRUE(WaitForFish(windowB, {4, 0})) << "the second copy does not show its four red fish";
  EXPECT_TRUE(WaitForMotion(windowA)) << "the first copy stopped";
  EXPECT_TRUE(WaitForMotion(windowB)) << "the second copy does not run";

  // Sampled while both save: every look at SET finds one whole record.
  std::atomic<bool> closing = true;
  int looks = 0, torn = 0;
  Bytes tornSample;
  std::thread watcher([&] {
    while (closing) {
      const Bytes now = ReadSet(folder_);
      ++looks;
      if (now != recordA && now != recordB) ++torn, tornSample = now;
    }
  });
  const bool closedA = CloseAsAUserWould(windowA, a);
  const Bytes afterA = ReadSet(folder_);
  const bool closedB = closedA && CloseAsAUserWould(windowB, b);
  closing = false;
  watcher.join();

  ASSERT_TRUE(closedA && closedB) << "a copy did not end when its window closed";
  EXPECT_EQ(a.exitCode(), 0);
  EXPECT_EQ(b.exitCode(), 0);
  EXPECT_EQ(afterA, recordA) << "the first to close saved another record";
  EXPECT_EQ(ReadSet(folder_), recordB) << "the last to close did not win";
  EXPECT_GT(looks, 0);
  EXPECT_EQ(torn, 0) << "SET seen neither record: " << tornSample.size() << " bytes";
}

// A desktop asks its programs to save before logging out: the dialog's
// change is saved then, and the aquarium swims on with the dialog open. Then
// a session ending, Ctrl+C in a terminal, a hang-up: each closes it as its
// close box does, and saves again.
TEST_F(UserJourney, ASessionManagersRequestAndTerminationSignalsSaveTheChoice) {
  for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
    SCOPED_TRACE(strsignal(number));
    SessionManager manager;
    ASSERT_TRUE(manager.Listen()) << manager.why().toStdString();
    WriteSet(SetBytes({4, {}}));
    // Qt registers before the window shows, and waits for the answer.
    Start(velmaro_, {VELMARO_EXECUTABLE}, {{"SESSION_MANAGER", manager.address()}});
    ASSERT_TRUE(manager.ServeUntil([&] { return manager.registered(); }, 10s)) << "the program never registered";
    const QString window = MainWindowOf(velmaro_);
    ASSERT_FALSE(window.isEmpty()) << "no main window appeared";
    const QString dialog = OpenDialog(window);
    ASSERT_FALSE(dialog.isEmpty()) << "the dialog did not open from the menu";
    InDialog(kTotalTroughLeft);
    ASSERT_TRUE(WaitForFish(window, {1, 0})) << "the total bar did not reach the aquarium";
    EXPECT_TRUE(manager.AskToSave(10s)) << "the program did not say it saved";
    EXPECT_EQ(ReadSet(folder_), SetBytes({0, {}}));
    EXPECT_TRUE(WaitForMotion(window)) << "the aquarium stopped";
    EXPECT_TRUE(WindowsOf(velmaro_).contains(dialog)) << "the dialog closed";

    std::filesystem::remove(SetPath());  // made anew by the save at the signal
    ::kill(static_cast<pid_t>(velmaro_.processId()), number);
    ASSERT_TRUE(velmaro_.WaitForEnd()) << "the signal did not end the program";
    EXPECT_EQ(velmaro_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(velmaro_.exitCode(), 0);
    EXPECT_EQ(ReadSet(folder_), SetBytes({0, {}}));
  }
}

// The display going away (a session ending, a crashed X server) ends the
// program from inside Qt: the dialog's change is saved all the same.
TEST_F(UserJourney, TheDisplayGoingAwaySavesTheChoiceAndSaysSo) {
  WriteSet(SetBytes({4, {}}));
  const QString window = Launch();
  ASSERT_FALSE(window.isEmpty()) << "no main window appeared";
  const QString dialog = OpenDialog(window);
  ASSERT_FALSE(dialog.isEmpty()) << "the dialog did not open from the menu";
  // O K, Cancel, the red bar, the total's box, the total bar: all the way down.
  PressKeys(dialog, {"Tab", "Tab", "Tab", "Tab", "Home"});
  ASSERT_TRUE(WaitForFish(window, {1, 0})) << "the total bar did not reach the aquarium";

  desktop_.EndServer();
  ASSERT_TRUE(velmaro_.WaitForEnd()) << "the program outlived its display";
  EXPECT_EQ(ReadSet(folder_), SetBytes({0, {}}));
  EXPECT_TRUE(Errors().contains(kDisplayLostText)) << Errors().toStdString();
}

// Told to stop while the start-up message waits for the user, the program
// ends without going on to show the aquarium.
TEST_F(UserJourney, ASignalDuringTheStartUpMessageEndsTheProgram) {
  std::filesystem::create_directory(SetPath());
  Start(velmaro_, {VELMARO_EXECUTABLE});
  ASSERT_FALSE(MessageBox().isEmpty()) << "no message box at start-up";
  ::kill(static_cast<pid_t>(velmaro_.processId()), SIGTERM);
  ASSERT_TRUE(velmaro_.WaitForEnd()) << "the signal did not end the program";
  EXPECT_EQ(velmaro_.exitCode(), 1) << "the settings were not saved";
}

// Another X client destroys the main window: the program saves and ends
// instead of living on without a window.
TEST_F(UserJourney, AMainWindowDestroyedFromOutsideEndsTheProgramAndSaves) {
  WriteSet(SetBytes({2, {0, 1, 1, 0, 0, 0}}, {0x77}));
  const QString window = Launch();
  ASSERT_FALSE(window.isEmpty()) << "no main window appeared";
  EXPECT_TRUE(WaitForFish(window, {1, 2}));
  desktop_.Run("xdotool", {"windowclose", window});
  ASSERT_TRUE(velmaro_.WaitForEnd()) << "the program lives on without its window";
  EXPECT_EQ(velmaro_.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(velmaro_.exitCode(), 0);
  EXPECT_EQ(ReadSet(folder_), SetBytes({2, {0, 1, 1, 0, 0, 0}}, {0x77}));
}

}  // namespace
