// The real program as a screen reader finds it: over AT-SPI, on a session
// bus of the test's own with the accessibility bus beside it, started as a
// desktop with accessibility turned on starts them.
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include "tests/program/RealProgram.h"

using namespace std::chrono_literals;

namespace {

// A session bus that starts nothing on demand, and the accessibility bus's
// launcher on it. The daemons they start join their process groups, and end
// with them.
class AccessibilityBuses {
 public:
  ~AccessibilityBuses() {
    QDBusConnection::disconnectFromBus(kConnection + "-a11y");
    QDBusConnection::disconnectFromBus(kConnection);
  }

  // False, with why(), when the buses cannot be had.
  bool Start(const QString& launcher, QProcessEnvironment environment) {
    if (!folder_.isValid() || !QDir(folder_.path()).mkdir("run")) return Fail("no folder for the buses");
    QFile config(folder_.filePath("session.conf"));
    if (!config.open(QIODevice::WriteOnly)) return Fail("cannot write the bus configuration");
    config.write(QStringLiteral(R"(<busconfig>
  <type>session</type>
  <listen>unix:dir=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
    <allow own="*"/>
  </policy>
</busconfig>
)").arg(folder_.path()).toUtf8());
    config.close();

    sessionBus_.Start({"dbus-daemon", "--config-file=" + config.fileName(), "--nofork", "--print-address=1"},
                      environment);
    QByteArray printed;
    WaitUntil([&] {
      sessionBus_.waitForReadyRead(50);
      printed += sessionBus_.readAllStandardOutput();
      return printed.contains('\n') || sessionBus_.state() == QProcess::NotRunning;
    }, 10s);
    if (!printed.contains('\n'))
      return Fail("dbus-daemon did not start: " + QString::fromLocal8Bit(sessionBus_.readAllStandardError()));
    address_ = QString::fromLocal8Bit(printed).section('\n', 0, 0).trimmed();

    // --a11y=1 tells programs that accessibility is on, as a desktop's
    // setting does; the bus's socket goes into the runtime folder.
    environment.insert("DBUS_SESSION_BUS_ADDRESS", address_);
    environment.insert("XDG_RUNTIME_DIR", folder_.filePath("run"));
    environment.insert("GSETTINGS_BACKEND", "memory");
    launcher_.Start({launcher, "--a11y=1"}, environment);
    QDBusConnection session = QDBusConnection::connectToBus(address_, kConnection);
    if (!session.isConnected()) return Fail("cannot connect to the session bus: " + session.lastError().message());
    if (!WaitUntil([&] { return session.interface()->isServiceRegistered("org.a11y.Bus").value(); }, 10s))
      return Fail("the launcher did not take its name: " + QString::fromLocal8Bit(launcher_.readAllStandardError()));
    return true;
  }

  const QString& address() const { return address_; }
  const QString& why() const { return why_; }

  // The accessibility bus, as programs find it: by asking the launcher.
  QDBusConnection Accessibility() const {
    const QDBusMessage reply = QDBusConnection(kConnection).call(
        QDBusMessage::createMethodCall("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress"));
    return QDBusConnection::connectToBus(reply.arguments().value(0).toString(), kConnection + "-a11y");
  }

 private:
  static inline const QString kConnection = QStringLiteral("velmaro-test-session");

  bool Fail(const QString& why) {
    why_ = why;
    return false;
  }

  QTemporaryDir folder_;
  Child sessionBus_, launcher_;  // the launcher ends first
  QString address_, why_;
};

// An object in a program's accessibility tree: its connection and path.
struct Accessible {
  QString service, path;
};

class AtSpi {
 public:
  explicit AtSpi(QDBusConnection bus) : bus_(std::move(bus)) {}

  QList<Accessible> Children(const Accessible& at) const {
    return References(Call(at, kAccessible, "GetChildren").value<QDBusArgument>());
  }
  QString Name(const Accessible& at) const { return Property(at, kAccessible, "Name").toString(); }
  QString Role(const Accessible& at) const { return Call(at, kAccessible, "GetRoleName").toString(); }
  bool Showing(const Accessible& at) const {
    constexpr int kShowing = 25;
    const auto states = qdbus_cast<QList<uint>>(Call(at, kAccessible, "GetState"));
    return states.size() == 2 && (states[kShowing / 32] >> (kShowing % 32) & 1);
  }
  // The names of the objects that label this one.
  QStringList Labels(const Accessible& at) const {
    constexpr uint kLabelledBy = 2;
    QStringList labels;
    const QDBusArgument relations = Call(at, kAccessible, "GetRelationSet").value<QDBusArgument>();
    relations.beginArray();
    while (!relations.atEnd()) {
      uint type = 0;
      relations.beginStructure();
      relations >> type;
      for (const Accessible& other : References(relations))
        if (type == kLabelledBy) labels << Name(other);
      relations.endStructure();
    }
    relations.endArray();
    return labels;
  }
  QVariant Value(const Accessible& at) const { return Property(at, "org.a11y.atspi.Value", "CurrentValue"); }

 private:
  static inline const QString kAccessible = QStringLiteral("org.a11y.atspi.Accessible");

  // The first value of the reply; nothing for an error, such as an
  // interface the object does not have.
  QVariant Call(const Accessible& at, const QString& interface, const QString& method,
                const QVariantList& arguments = {}) const {
    QDBusMessage call = QDBusMessage::createMethodCall(at.service, at.path, interface, method);
    call.setArguments(arguments);
    return bus_.call(call, QDBus::Block, 5000).arguments().value(0);
  }
  QVariant Property(const Accessible& at, const QString& interface, const QString& name) const {
    const QVariant value = Call(at, "org.freedesktop.DBus.Properties", "Get", {interface, name});
    return value.value<QDBusVariant>().variant();
  }
  static QList<Accessible> References(const QDBusArgument& array) {
    QList<Accessible> found;
    array.beginArray();
    while (!array.atEnd()) {
      QString service;
      QDBusObjectPath path;
      array.beginStructure();
      array >> service >> path;
      array.endStructure();
      found.push_back({service, path.path()});
    }
    array.endArray();
    return found;
  }

  QDBusConnection bus_;
};

class ScreenReader : public RealProgram {
 protected:
  AccessibilityBuses buses_;
};

// Opened from the keyboard, the dialog's bars and the total's box each have
// the name of the label beside them and are tied to it; the bars' values
// can still be read.
TEST_F(ScreenReader, HearsTheDialogsControlsByTheirLabels) {
  const QString launcher = QStandardPaths::findExecutable("at-spi-bus-launcher",
                                                          {"/usr/libexec", "/usr/lib/at-spi2-core"});
  if (launcher.isEmpty()) GTEST_SKIP() << "AT-SPI NOT INSTALLED, screen readers not tested: no at-spi-bus-launcher";
  ASSERT_TRUE(buses_.Start(launcher, desktop_.Environment())) << buses_.why().toStdString();
  const QString window = Launch({{"DBUS_SESSION_BUS_ADDRESS", buses_.address()}});
  ASSERT_FALSE(window.isEmpty()) << "no main window appeared";
  std::optional<WindowGeometry> main;
  ASSERT_TRUE(WaitCentred(window, main));
  ASSERT_FALSE(OpenSettingsDialogByKeys(window).isEmpty()) << "F10 and Return did not open the dialog";

  const AtSpi atspi(buses_.Accessibility());
  const Accessible registry{"org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root"};
  Accessible dialog;
  ASSERT_TRUE(WaitUntil([&] {
    for (const Accessible& program : atspi.Children(registry))
      if (atspi.Name(program) == "velmaro")
        for (const Accessible& top : atspi.Children(program))
          if (atspi.Role(top) == "dialog") dialog = top;
    return !dialog.path.isEmpty();
  }, 20s)) << "no dialog in the accessibility tree";

  // Every control shown, as a screen reader would speak it.
  QStringList heard;
  for (const Accessible& child : atspi.Children(dialog)) {
    const QString role = atspi.Role(child);
    if ((role != "scroll bar" && role != "text") || !atspi.Showing(child)) continue;
    heard << QStringLiteral("%1 %2 %3, labelled by %4")
                 .arg(role, atspi.Name(child), atspi.Value(child).toString(), atspi.Labels(child).join(" & "));
  }
  EXPECT_EQ(heard.join('\n').toStdString(),
            "text 金魚の数 , labelled by 金魚の数\n"
            "scroll bar 金魚の数 1, labelled by 金魚の数\n"
            "scroll bar 赤 1, labelled by 赤");
}

}  // namespace
