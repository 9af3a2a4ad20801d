// Velmaro — the settings over a run.
#include "app/SettingsKeeper.h"

#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "app/Settings.h"
#include "assets/Texts.h"
#include "sim/State.h"

namespace {

void Warn(const QString& warning) {
  if (warning.isEmpty()) return;
  std::fprintf(stderr, "%s\n", warning.toUtf8().constData());
  std::fflush(stderr);
}

QString WithReason(const QString& text, const std::string& reason) {
  return text + QLatin1Char('\n') + QString::fromStdString(reason);
}

// The keeper whose settings a process ending without its window saves.
SettingsKeeper* saved_at_exit = nullptr;

}  // namespace

void ReportProblem(QWidget* parent, const QString& text) {
  Warn(text);
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Velmaro"), text, QMessageBox::Ok, parent);
  box.exec();
}

SettingsKeeper::~SettingsKeeper() {
  if (saved_at_exit == this) saved_at_exit = nullptr;
}

void SettingsKeeper::Load() {
  const LoadOutcome loaded = LoadSettings();
  if (!loaded.notOrdinary.empty()) {
    Conf = {};
    leftAlone_ = true;
    ReportProblem(nullptr, kNotOrdinaryText.arg(QString::fromStdString(loaded.notOrdinary)));
  } else if (!loaded.ok) {
    Conf = {};
    ReportProblem(nullptr, WithReason(loaded.missing ? kCreateFailedText : kLoadFailedText, loaded.reason));
  } else {
    // Warnings only: the aquarium runs as well as it can with what was read.
    if (loaded.readOnly) Warn(kReadOnlyText);
    Warn(QString::fromStdString(RepairDamagedCount(Conf)));
    Warn(QString::fromStdString(RepairDamagedKinds(Conf)));
  }
}

bool SettingsKeeper::SaveAndTell(QWidget* over, const std::function<bool()>& mayShowBox) {
  if (leftAlone_) return false;
  const FileOutcome saved = SaveSettings();
  if (saved.ok) return true;
  const QString text = WithReason(kSaveFailedText, saved.reason);
  if (mayShowBox())
    ReportProblem(over, text);
  else
    Warn(text);
  return false;
}

void SettingsKeeper::Form_Unload(QWidget& form, std::int16_t& /*Cancel*/) {
  unloaded_ = true;
  if (!SaveAndTell(&form, [] { return true; })) exitStatus_ = 1;
}

void SettingsKeeper::SaveOnRequest(QWidget& form, const std::function<bool()>& mayShowBox) {
  SaveAndTell(&form, mayShowBox);
}

void SettingsKeeper::SaveIfEndedWithTheWindowOpen() {
  static const bool registered = std::atexit([] {
    SettingsKeeper* keeper = std::exchange(saved_at_exit, nullptr);
    if (!keeper || keeper->unloaded_ || keeper->leftAlone_) return;
    keeper->unloaded_ = true;
    Warn(kDisplayLostText);
    keeper->SaveAndTell(nullptr, [] { return false; });
  }) == 0;
  if (registered) saved_at_exit = this;
}
