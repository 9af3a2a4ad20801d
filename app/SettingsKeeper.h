// Velmaro — the settings over a run: loaded at start-up, with whatever must be
// said about SET, and saved at each way the run ends or is asked to save.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>

class QWidget;

class SettingsKeeper {
 public:
  SettingsKeeper() = default;
  SettingsKeeper(const SettingsKeeper&) = delete;
  SettingsKeeper& operator=(const SettingsKeeper&) = delete;
  ~SettingsKeeper();

  // The first step of start-up: SET into Conf. What keeps the settings from
  // being kept is said in a box (and on standard error), and the aquarium
  // goes on with the defaults; a read-only or damaged SET only warns on
  // standard error, and a damaged record is repaired.
  void Load();

  // The main window's unload: saves. A failure is said in a box over the
  // window and makes the exit status 1; the unload goes on regardless, as it
  // does for a SET that was no ordinary file, which is left alone.
  void Form_Unload(QWidget& form, std::int16_t& Cancel);

  // A desktop's request to save before logging out: saves, and leaves the
  // window open. A failure is said in a box only when mayShowBox, asked only
  // then, says a box may be shown; otherwise on standard error alone, so
  // that the logout never waits for a click.
  void SaveOnRequest(QWidget& form, const std::function<bool()>& mayShowBox);

  // From now on, a process that ends with the main window never unloaded
  // (its display gone, Qt ends the program itself) saves on its way out and
  // says so on standard error, the only place left. Once per process.
  void SaveIfEndedWithTheWindowOpen();

  // 0 unless something that must not fail did: a save failed, or SET was no
  // ordinary file and nothing could be saved.
  int exitStatus() const { return exitStatus_; }

 private:
  // False when nothing was saved. mayShowBox is asked only on a failure.
  bool SaveAndTell(QWidget* over, const std::function<bool()>& mayShowBox);

  bool leftAlone_ = false;  // SET is no ordinary file: never written
  bool unloaded_ = false;
  int exitStatus_ = 0;
};

// A problem that needs the user's attention: on standard error, and in a box
// titled Velmaro over parent (or the screen) that waits for OK.
void ReportProblem(QWidget* parent, const QString& text);
