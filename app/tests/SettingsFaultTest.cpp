// The settings file when the system fails under it. The failures come from
// outside the program: libfiu's POSIX preload makes chosen calls fail, and a
// file-size limit cuts writes short as a full disk does.
#include <fiu-control.h>
#include <fiu.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <string_view>

#include "app/Settings.h"
#include "app/Startup.h"
#include "assets/Texts.h"
#include "tests/support/MessageBoxes.h"
#include "tests/support/ProgramState.h"
#include "tests/support/TempFolder.h"
#include "window/Form1.h"

namespace {

using Bytes = std::vector<unsigned char>;

// Calls `from` to `from + count - 1` of one function fail with `error`,
// counted from the moment the fault is armed.
struct Fault {
  const char* point;  // libfiu's name for the function
  int from = 1;
  int count = 1;
  long error = EIO;
  int calls = 0;
};

std::vector<Fault> armed;

int Decide(const char* name, int*, void** failinfo, unsigned*) {
  for (Fault& fault : armed) {
    if (name != std::string_view(fault.point)) continue;
    const int call = ++fault.calls;
    if (call < fault.from || call >= fault.from + fault.count) return 0;
    *failinfo = reinterpret_cast<void*>(fault.error);
    return 1;
  }
  return 0;
}

// The faults hold while the object lives.
class Faults {
 public:
  explicit Faults(std::vector<Fault> faults) {
    armed = std::move(faults);
    for (const Fault& fault : armed) fiu_enable_external(fault.point, 1, nullptr, 0, Decide);
  }
  ~Faults() {
    for (const Fault& fault : armed) fiu_disable(fault.point);
    armed.clear();
  }
};

// Writes past `bytes` into any file fail, as on a disk that is full there.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &previous_);
    const rlimit limit{bytes, previous_.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &previous_); }

 private:
  rlimit previous_{};
};

const Fault kOpen{"posix/io/oc/open"}, kRead{"posix/io/rw/read"}, kWrite{"posix/io/rw/write"},
    kClose{"posix/io/oc/close"}, kRename{"posix/io/dir/rename"};

Fault Calls(Fault fault, int from, int count, long error) {
  fault.from = from;
  fault.count = count;
  fault.error = error;
  return fault;
}

// The second open makes the new file beside SET: refused, as by a folder
// that takes no new file.
const Fault kNoNewFile = Calls(kOpen, 2, 99, EACCES);

class SettingsFaults : public FreshState {
 protected:
  void SetUp() override {
    const char* preload = std::getenv("LD_PRELOAD");
    ASSERT_TRUE(preload && std::string_view(preload).find("fiu_posix_preload") != std::string_view::npos)
        << "run under libfiu's POSIX preload, as ctest does";
    fiu_init(0);
    Conf.MaxIndex = 4;
    Conf.Kind = {0, 0, 1, 1, 1, 0};
  }

  std::filesystem::path set() const { return folder.path() / "SET"; }
  std::vector<std::filesystem::path> Files() const {
    std::vector<std::filesystem::path> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
      names.push_back(entry.path().filename());
    return names;
  }

  TempFolder folder;
  const Bytes old{2, 0, 1, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0xaa, 0xbb, 0xcc};
  const Bytes saved{4, 0, 0, 0, 0, 0, 1, 0, 1, 0, 1, 0, 0, 0, 0xaa, 0xbb, 0xcc};
};

// Whatever fails, and wherever, SET afterwards holds the old bytes, no
// half-made file is left beside it, and the next save works.
TEST_F(SettingsFaults, AFailedSaveLeavesTheOldRecordWholeAndNothingBesideIt) {
  struct Case {
    const char* what;
    std::vector<Fault> faults;
    const char* reason;
  } cases[] = {
      {"SET refused", {Calls(kOpen, 1, 1, EACCES)}, "Permission denied"},
      {"SET unreadable", {Calls(kRead, 1, 1, EIO)}, "Input/output error"},
      {"the tail unreadable", {Calls(kRead, 2, 1, EIO)}, "Input/output error"},
      {"device error writing the record", {Calls(kWrite, 1, 1, EIO)}, "Input/output error"},
      {"disk full in the tail", {Calls(kWrite, 2, 99, ENOSPC)}, "No space left on device"},
      {"the new file cannot take the name", {Calls(kRename, 1, 1, EIO)}, "Input/output error"},
      {"no new file, device error in place", {kNoNewFile, Calls(kWrite, 1, 1, EIO)}, "Input/output error"},
  };
  for (const Case& c : cases) {
    WriteBytes(set(), old);
    FileOutcome status;
    {
      Faults faults(c.faults);
      status = SaveSettings(set());
    }
    EXPECT_FALSE(status.ok) << c.what;
    EXPECT_EQ(status.reason, c.reason) << c.what;
    EXPECT_EQ(ReadBytes(set()), old) << c.what;
    EXPECT_EQ(Files(), std::vector<std::filesystem::path>{"SET"}) << c.what;

    ASSERT_TRUE(SaveSettings(set()).ok) << c.what << ": the next save works";
    EXPECT_EQ(ReadBytes(set()), saved) << c.what;
  }
}

// A write cut short part way through the record: in a new file that is then
// thrown away, and in place the old bytes go back, shorter files included.
TEST_F(SettingsFaults, ADiskFullPartWayThroughTheRecordKeepsTheOldBytes) {
  for (const bool inPlace : {false, true}) {
    for (const Bytes& before : {old, Bytes{}, Bytes{7, 7, 7}}) {
      WriteBytes(set(), before);
      FileOutcome status;
      {
        Faults faults(inPlace ? std::vector<Fault>{kNoNewFile} : std::vector<Fault>{});
        FileSizeLimit limit(5);
        status = SaveSettings(set());
      }
      EXPECT_FALSE(status.ok) << inPlace << " " << before.size();
      EXPECT_EQ(status.reason, "File too large");
      EXPECT_EQ(ReadBytes(set()), before) << inPlace << " " << before.size();
      EXPECT_EQ(Files(), std::vector<std::filesystem::path>{"SET"});
    }
  }
}

// Another program changes SET's length just after the save has taken it:
// the copy of the tail ends at the new end of a SET cut short (instead of
// waiting for bytes that never come; after a thousand reads it fails), and
// at the old end of a SET grown longer.
TEST_F(SettingsFaults, ASetCutOrGrownWhileSavedKeepsNoMoreThanTheTailItHad) {
  static std::filesystem::path changing;
  static std::uintmax_t newSize;
  static int reads;
  for (const auto& [size, expected] : {std::pair{std::uintmax_t{14}, Bytes(saved.begin(), saved.begin() + 14)},
                                       std::pair{std::uintmax_t{40}, saved}}) {
    WriteBytes(set(), old);
    changing = set();
    newSize = size;
    reads = 0;
    fiu_enable_external(kRead.point, 1, nullptr, 0, [](const char*, int*, void** failinfo, unsigned*) {
      if (++reads == 1) std::filesystem::resize_file(changing, newSize);
      if (reads < 1000) return 0;
      *failinfo = reinterpret_cast<void*>(long{EIO});
      return 1;
    });
    const FileOutcome status = SaveSettings(set());
    fiu_disable(kRead.point);
    EXPECT_TRUE(status.ok) << status.reason;
    EXPECT_EQ(ReadBytes(set()), expected) << "SET changed to " << size << " bytes";
  }
}

TEST_F(SettingsFaults, InAFolderThatTakesNoNewFileTheRecordIsWrittenInPlace) {
  WriteBytes(set(), old);
  Faults faults({kNoNewFile});
  ASSERT_TRUE(SaveSettings(set()).ok);
  EXPECT_EQ(ReadBytes(set()), saved);
}

TEST_F(SettingsFaults, AFileThatMayOnlyBeReadIsReadAndSaysSo) {
  WriteBytes(set(), {3, 0, 0, 0, 1, 0});
  Conf = {};
  {
    Faults refused({Calls(kOpen, 1, 1, EACCES)});
    const auto loaded = LoadSettings(set());
    EXPECT_TRUE(loaded.ok);
    EXPECT_TRUE(loaded.readOnly);
  }
  EXPECT_EQ(Conf.MaxIndex, 3);
  EXPECT_EQ(Conf.Kind[1], 1);

  // Not allowed to read either: the first refusal is the one reported.
  Conf = {};
  {
    Faults refused({Calls(kOpen, 1, 2, EACCES)});
    EXPECT_EQ(LoadSettings(set()).reason, "Permission denied");
  }
  // A failing device: nothing is read, and Conf stays.
  for (const Fault& fault : {Calls(kRead, 1, 1, EIO), Calls(kClose, 1, 1, EIO)}) {
    Faults failing({fault});
    const auto loaded = LoadSettings(set());
    EXPECT_FALSE(loaded.ok) << fault.point;
    EXPECT_FALSE(loaded.readOnly) << fault.point;
    EXPECT_EQ(loaded.reason, "Input/output error") << fault.point;
  }
  EXPECT_EQ(Conf.MaxIndex, 0);
}

// No SET, and none can be made: the message says so, not that it could
// not be read.
TEST_F(SettingsFaults, ASetThatCannotBeCreatedIsToldSoAtStartUp) {
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(folder.path());
  MessageBoxCatcher boxes;
  SettingsKeeper settings;
  std::unique_ptr<Form1> form;
  {
    // Every open refused while the program starts, the making of SET too.
    Faults refused({Calls(kOpen, 1, 1000, EACCES)});
    ::testing::internal::CaptureStderr();
    form = Main(settings);
    ::testing::internal::GetCapturedStderr();
  }
  ASSERT_EQ(boxes.shown().size(), 1u);
  EXPECT_EQ(boxes.shown()[0].text,
            kCreateFailedText + "\nPermission denied");
  form.reset();
  std::filesystem::current_path(previous);
}

}  // namespace
