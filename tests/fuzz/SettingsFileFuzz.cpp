// Any bytes as the settings file "SET": the real start-up, the aquarium, the
// settings dialog and the shutdown must cope, and must leave every byte of the
// file that is not the record as it was.
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <span>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "app/Settings.h"
#include "app/Startup.h"
#include "assets/Texts.h"
#include "dialog/Conversions.h"
#include "dialog/frm_Set.h"
#include "sim/Aquarium.h"
#include "sim/Behaviour.h"
#include "sim/Random.h"
#include "sim/State.h"
#include "sim/Tick.h"
#include "window/Form1.h"

namespace {

// Longer files say nothing new: everything after the 14th byte is one tail.
constexpr std::size_t kLongestInput = 64;
constexpr int kTicksBeforeDialog = 200;
constexpr int kTicksAfterDialog = 100;
constexpr int kTicksPerBehaviour = 25;

using Bytes = std::vector<std::uint8_t>;

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "SettingsFileFuzz: %s\n", what);
  std::fflush(stderr);
  __builtin_trap();
}

// What start-up makes of it: a damaged count is one fish, a damaged kind red.
SetRec RepairedRecordIn(std::span<const std::uint8_t> bytes) {
  SetRec record = DecodeSetRec(bytes.first(std::min(bytes.size(), kSetRecBytes)));
  if (record.MaxIndex < -1 || record.MaxIndex > 5) record.MaxIndex = 0;
  for (std::int16_t& kind : record.Kind)
    if (kind != 0 && kind != 1) kind = 0;
  return record;
}

Bytes ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::filesystem::path& file, std::span<const std::uint8_t> bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  Require(out.good(), "could not write SET");
}

// The count stays inside the six slots, and every active fish shows the
// sheet of the direction it swims in.
void CheckAquarium() {
  Require(Conf.MaxIndex >= -1 && Conf.MaxIndex <= 5, "MaxIndex left -1..5");
  const int last = LastActiveFish();
  Require(last >= -1 && last < kFishSlots, "an active fish outside the six slots");
  for (int i = 0; i <= last; ++i) {
    const FishRec& f = Fish[static_cast<std::size_t>(i)];
    Require(f.Mode >= 0 && f.Mode <= 5, "a fish mode outside 0..5");
    Require(f.Pat >= 0 && f.Pat <= 3, "a fish sheet outside 0..3");
    Require(FacesRight(f.Mode) == (f.Pat % 2 == 0), "a fish facing against its direction");
  }
}

void RunTicks(Form1& form, int count) {
  for (int tick = 1; tick <= count; ++tick) {
    StepAquarium(form, form.canvas(), form.random());
    if (tick % kTicksPerBehaviour == 0) StepBehaviour(form.random());
    CheckAquarium();
  }
}

// Presses OK on the dialog's limit message whenever one is up. Any other box
// is a failure: a regular file in a writable folder loads and saves.
class LimitMessageDismisser {
 public:
  LimitMessageDismisser() {
    QObject::connect(&poll_, &QTimer::timeout, [this] { Dismiss(); });
    poll_.start(0);
  }
  int shown() const { return shown_; }

 private:
  void Dismiss() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    Require(box->windowTitle() == kLimitMessageTitle && box->text() == kLimitMessageText,
            "a message box other than the limit message");
    ++shown_;
    box->button(QMessageBox::Ok)->click();
  }

  QTimer poll_;
  int shown_ = 0;
};

// Moves one of the dialog's bars as a person would and checks the red count
// against the total in force at that moment.
void MoveRedBar(SettingsWindow& w, const LimitMessageDismisser& boxes, int red) {
  const int limit = Conf.MaxIndex + 1;
  const int before = w.Scr[0]->value();
  const int boxesBefore = boxes.shown();
  w.Scr[0]->setValue(red);
  if (red == before) return;  // no change, so no handler
  Require((boxes.shown() > boxesBefore) == (red > limit), "limit message shown wrongly");
  Require(w.Scr[0]->value() == std::min(red, limit), "red count not held at the total");
}

void DriveDialog(Form1& form, const LimitMessageDismisser& boxes, std::uint8_t choice, bool redFirst) {
  const int total = 1 + choice % 5;
  const int red = (choice / 5) % 6;
  bool driven = false;
  QTimer::singleShot(0, [&] {
    frm_Set* dialog = SettingsDialog(form);
    Require(dialog && dialog->window() && dialog->window()->isVisible(), "the dialog is not up");
    SettingsWindow& w = *dialog->window();
    if (redFirst) MoveRedBar(w, boxes, red);
    w.HScroll1->setValue(total);
    Require(Conf.MaxIndex == total - 1, "the total bar did not set the count");
    if (!redFirst) MoveRedBar(w, boxes, red);
    CheckAquarium();
    driven = true;
    w.com_OK->click();
  });
  mnuSetSyu_Click(form);
  Require(driven, "the dialog closed before it was used");
  Require(SettingsDialog(form)->window() == nullptr, "OK left the dialog loaded");

  // OK: the chosen number of fish red, the rest black, in that order.
  Require(Conf.MaxIndex == total - 1, "OK changed the count");
  const auto& chosen = SettingsDialog(form)->chosenFirstKind();
  const int reds = std::min(chosen ? static_cast<int>(Val(*chosen)) : 0, total);
  for (int i = 0; i < total; ++i)
    Require(Conf.Kind[static_cast<std::size_t>(i)] == (i < reds ? 0 : 1), "OK set the wrong kinds");
  CheckAquarium();
}

std::uint64_t FixedClock() { return 0x0123'4567'89ab'cdefULL; }


std::filesystem::path working_folder;
QApplication* application = nullptr;

void RemoveWorkingFolder() {
  std::error_code ignored;
  std::filesystem::current_path(std::filesystem::temp_directory_path(), ignored);
  std::filesystem::remove_all(working_folder, ignored);
}

// Corpus folders and artifact paths given relative to where the fuzzer was
// started must still mean the same place once it works in its own folder;
// crashes are written there too unless a prefix is given.
void MakePathsAbsolute(int& argc, char**& argv) {
  static std::vector<std::string> arguments;
  static std::vector<char*> pointers;
  bool prefixGiven = false;
  for (int i = 0; i < argc; ++i) {
    std::string argument = argv[i];
    if (i > 0 && argument.rfind('-', 0) != 0) {
      argument = std::filesystem::absolute(argument).string();
    } else {
      for (const std::string flag : {"-artifact_prefix=", "-exact_artifact_path="}) {
        if (argument.rfind(flag, 0) != 0) continue;
        prefixGiven = prefixGiven || flag == "-artifact_prefix=";
        argument = flag + std::filesystem::absolute(argument.substr(flag.size())).string();
      }
    }
    arguments.push_back(argument);
  }
  if (!prefixGiven)
    arguments.push_back("-artifact_prefix=" + (std::filesystem::current_path() / "").string());
  for (std::string& argument : arguments) pointers.push_back(argument.data());
  pointers.push_back(nullptr);
  argc = static_cast<int>(arguments.size());
  argv = pointers.data();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  MakePathsAbsolute(*argc, *argv);
  std::string folder = (std::filesystem::temp_directory_path() / "velmaro-fuzz-XXXXXX").string();
  Require(mkdtemp(folder.data()) != nullptr, "no working folder");
  working_folder = folder;
  std::filesystem::current_path(working_folder);
  std::atexit(RemoveWorkingFolder);

  qputenv("QT_QPA_PLATFORM", "offscreen");
  PrepareApplication();
  static int qtArgc = 1;
  static char name[] = "velmaro_settings_fuzz";
  static char* qtArgv[] = {name, nullptr};
  application = new QApplication(qtArgc, qtArgv);
  // libFuzzer ends with exit(); the application goes first, as in the program.
  std::atexit([] { delete std::exchange(application, nullptr); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kLongestInput) return -1;
  const std::span<const std::uint8_t> input(data, size);
  ResetState();
  WriteFile(kSettingsFile, input);

  std::uint8_t sum = 0;
  std::uint8_t parity = 0;
  for (std::uint8_t byte : input) {
    sum = static_cast<std::uint8_t>(sum + byte);
    parity ^= byte;
  }

  {
    LimitMessageDismisser boxes;
    // Randomize mixes in the clock; a fixed one makes every run repeatable.
    ClockRandom random(FixedClock);
    SettingsKeeper settings;
    std::unique_ptr<Form1> form = Main(settings, random);
    // The ticks are driven here, never by the clock.
    form->Timer1.stop();
    form->Timer2.stop();
    Require(Conf == RepairedRecordIn(input), "start-up read a different record");
    CheckAquarium();

    RunTicks(*form, kTicksBeforeDialog);
    DriveDialog(*form, boxes, sum, (parity & 1) != 0);
    RunTicks(*form, kTicksAfterDialog);

    Require(form->close(), "the main window stayed open");
    Require(settings.exitStatus() == 0, "closing failed");
  }
  // Objects handed to deleteLater would otherwise pile up across inputs.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

  // A save through a file beside SET leaves nothing else behind.
  const auto entries = std::distance(std::filesystem::directory_iterator("."),
                                     std::filesystem::directory_iterator());
  Require(entries == 1, "a file besides SET was left in the folder");
  const Bytes saved = ReadFile(kSettingsFile);
  Require(saved.size() == std::max(kSetRecBytes, size), "SET changed length");
  const auto record = EncodeSetRec(Conf);
  Require(std::equal(record.begin(), record.end(), saved.begin()), "SET does not hold the record");
  if (size > kSetRecBytes)
    Require(std::equal(input.begin() + kSetRecBytes, input.end(), saved.begin() + kSetRecBytes),
            "the bytes after the record changed");
  return 0;
}
