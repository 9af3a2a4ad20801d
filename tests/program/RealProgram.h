// The built program on a virtual display with a real window manager, and
// what a user does with it: clicks, the menu, the window manager's buttons,
// and looking at the screen.
#pragma once

#include <QImage>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "sim/SetRec.h"
#include "tests/program/Desktop.h"

using Bytes = std::vector<unsigned char>;
Bytes ReadSet(const QTemporaryDir& folder);
// SET as the program writes the record, with what follows it in the file.
Bytes SetBytes(const SetRec& record, const Bytes& tail = {});

// The fish seen in a picture of the aquarium, told apart by their images.
struct FishInView {
  int red = 0;
  int black = 0;
  bool operator==(const FishInView&) const = default;
};
// Fish almost wholly behind others are not counted: a later frame shows
// them. Nothing for a picture of another size.
std::optional<FishInView> FishIn(const QImage& picture);

class RealProgram : public ::testing::Test {
 protected:
  virtual VirtualDesktop::Kind DesktopKind() const { return VirtualDesktop::Kind::x11; }

  void SetUp() override;
  void TearDown() override;
  bool NoWindowsLeft();

  // Starts velmaro in the test's own folder; returns its main window, or "".
  QString Launch(const QList<std::pair<QString, QString>>& extraEnvironment = {},
                 const QString& program = VELMARO_EXECUTABLE);
  // Starts another copy, or the program through a command that runs it, in
  // the test's folder unless told another. A null value takes the variable
  // out of the environment.
  void Start(Child& process, const QStringList& command,
             const QList<std::pair<QString, QString>>& extraEnvironment = {},
             const QString& workingFolder = {});
  // The visible windows titled exactly `title` that belong to process.
  QStringList WindowsOf(const QProcess& process, const QString& title = "Velmaro");
  // A dialog or message box, as the window manager is told.
  bool IsDialog(const QString& window);
  // Waits for the process's main window (not a dialog or message box).
  QString MainWindowOf(const QProcess& process);

  // Alt+F4 until the program has ended.
  bool CloseAsAUserWould(const QString& window) { return CloseAsAUserWould(window, velmaro_); }
  bool CloseAsAUserWould(const QString& window, QProcess& process);

  void Click(int x, int y);
  QStringList WindowsNamed(const QString& name);
  std::optional<WindowGeometry> DropDown(const QString& window);
  // 設定 → 数＆種類 from the main window's menu; the dialog, or "".
  QString OpenSettingsDialog(const QString& window);
  // The same from the keyboard: F10 drops 設定 down, Return opens it.
  QString OpenSettingsDialogByKeys(const QString& window) { return OpenSettingsDialogByKeys(window, velmaro_); }
  QString OpenSettingsDialogByKeys(const QString& window, const QProcess& process);
  // Waits until the window manager has framed the window and the program
  // has centred it by its frame, on the whole screen or the part of it
  // given, to within slack pixels; false if it never was.
  bool WaitCentred(const QString& window, std::optional<WindowGeometry>& client,
                   std::optional<WindowGeometry> area = std::nullopt, int slack = 1);
  // The window manager's close button in the window's title bar: openbox
  // puts it at the right end, as tall as the bar less its padding.
  bool ClickCloseButton(const QString& window);
  void PressKeys(const QString& window, const QStringList& keys);

  QImage Shoot(const QString& window);
  // The picture under the menu bar at a whole ratio, each of its pixels a
  // uniform block of ratio x ratio, taken back to 500 x 300; null otherwise.
  QImage PictureArea(const QString& window, int ratio = 1);
  // Waits for a frame showing exactly these fish.
  ::testing::AssertionResult WaitForFish(const QString& window, FishInView expected, int ratio = 1);
  // Waits for the aquarium enlarged ratio times, in blocks, at area of the
  // window, black all round it; false if it never was.
  bool WaitForEnlarged(const QString& window, const QRect& area, int ratio);
  // Waits for the picture to change: the aquarium is running.
  bool WaitForMotion(const QString& window);

  VirtualDesktop desktop_;
  QTemporaryDir folder_;
  Child velmaro_;
  std::vector<std::unique_ptr<QTemporaryDir>> runtimeFolders_;
};
