#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>

#include "app/Settings.h"
#include "assets/Texts.h"
#include "tests/support/ProgramState.h"
#include "tests/support/TempFolder.h"

// Shows a record in failure messages as {MaxIndex; kinds}.
void PrintTo(const SetRec& r, std::ostream* os) {
  *os << "{" << r.MaxIndex << ";";
  for (auto k : r.Kind) *os << " " << k;
  *os << "}";
}

namespace {

using Bytes = std::vector<unsigned char>;

class SettingsFile : public FreshState {
 protected:

  std::filesystem::path set() const { return folder.path() / "SET"; }

  TempFolder folder;
};

SetRec Record(std::int16_t maxIndex, std::array<std::int16_t, 6> kinds) {
  SetRec r;
  r.MaxIndex = maxIndex;
  r.Kind = kinds;
  return r;
}

TEST_F(SettingsFile, LoadingReadsTheFieldsThatAreWhollyPresent) {
  struct Case {
    const char* what;
    Bytes bytes;
    SetRec expected;
  } cases[] = {
      {"empty", {}, Record(0, {})},
      {"two bytes", {4, 0}, Record(4, {})},
      {"byte order", {0, 4}, Record(1024, {})},
      {"odd length cuts Kind(0) in two", {2, 0, 1}, Record(2, {})},
      {"thirteen bytes cut Kind(5)", {1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1}, Record(1, {1, 1, 1, 1, 1, 0})},
      {"four fish", {3, 0, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0}, Record(3, {0, 0, 1, 1, 0, 0})},
      {"two's complement", {0xff, 0xff, 0x00, 0x80, 0xff, 0x7f, 7, 0, 0, 0, 0, 0, 0, 0},
       Record(-1, {-32768, 32767, 7, 0, 0, 0})},
      {"longer than the record", {4, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 9, 9, 9},
       Record(4, {1, 0, 1, 0, 1, 0})},
  };
  for (const Case& c : cases) {
    WriteBytes(set(), c.bytes);
    Conf = Record(9, {9, 9, 9, 9, 9, 9});
    ASSERT_TRUE(LoadSettings(set()).ok) << c.what;
    EXPECT_EQ(Conf, c.expected) << c.what;
    EXPECT_EQ(ReadBytes(set()), c.bytes) << c.what << ": loading must not change the file";
  }
}

TEST_F(SettingsFile, SavingWritesFourteenLittleEndianBytesAndKeepsAnyTail) {
  Conf = Record(3, {0, 0, 1, 1, 0, 0});
  ASSERT_TRUE(SaveSettings(set()).ok);
  EXPECT_EQ(ReadBytes(set()), (Bytes{3, 0, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0}));

  WriteBytes(set(), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0xaa, 0xbb, 0xcc});
  Conf = Record(-2, {258, -1, 0, 0, 0, 1});
  ASSERT_TRUE(SaveSettings(set()).ok);
  EXPECT_EQ(ReadBytes(set()),
            (Bytes{0xfe, 0xff, 2, 1, 0xff, 0xff, 0, 0, 0, 0, 0, 0, 1, 0, 0xaa, 0xbb, 0xcc}));

  WriteBytes(set(), {7, 7, 7});
  Conf = Record(4, {1, 1, 1, 1, 1, 1});
  ASSERT_TRUE(SaveSettings(set()).ok);
  EXPECT_EQ(ReadBytes(set()), (Bytes{4, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0}));
}

std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  return names;
}

// A link to a socket or a block device (the real program's tests take
// folders, pipes and character devices) is named as what it is; neither
// loading nor saving opens it, and nothing is put beside it.
TEST_F(SettingsFile, SomethingOtherThanAnOrdinaryFileIsNamedAndNeverOpened) {
#ifdef _WIN32
  GTEST_SKIP() << "sockets in folders are a POSIX matter";
#else
  const auto socketName = folder.path() / "socket";
  const int server = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  socketName.string().copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  std::filesystem::create_symlink(socketName, set());
  const auto before = FilesIn(folder.path());
  Conf = Record(2, {1, 1, 1, 0, 0, 0});
  const auto loaded = LoadSettings(set());
  EXPECT_FALSE(loaded.ok);
  EXPECT_EQ(loaded.notOrdinary, "ソケット");
  EXPECT_EQ(Conf, Record(2, {1, 1, 1, 0, 0, 0}));
  const auto saved = SaveSettings(set());
  EXPECT_FALSE(saved.ok);
  EXPECT_EQ(saved.reason, kNotOrdinaryReasonText.arg("ソケット").toStdString());
  EXPECT_EQ(FilesIn(folder.path()), before);
  close(server);

  // The device node is a private one, of a number no driver holds.
  const auto device = folder.path() / "device";
  if (mknod(device.c_str(), S_IFBLK | 0600, makedev(240, 0)) != 0)
    GTEST_SKIP() << "BLOCK DEVICE NOT TESTED: " << std::strerror(errno);
  std::filesystem::remove(set());
  std::filesystem::create_symlink(device, set());
  EXPECT_EQ(LoadSettings(set()).notOrdinary, "ブロックデバイス");
  EXPECT_EQ(SaveSettings(set()).reason, kNotOrdinaryReasonText.arg("ブロックデバイス").toStdString());
#endif
}

TEST_F(SettingsFile, ALinkNamedSetStaysALinkAndItsTargetGetsTheRecordAndKeepsItsMode) {
#ifdef _WIN32
  GTEST_SKIP() << "links need privileges on Windows";
#else
  const auto target = folder.path() / "elsewhere";
  WriteBytes(target, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9});
  std::filesystem::create_symlink(target, set());
  const auto mode = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                    std::filesystem::perms::group_read;
  std::filesystem::permissions(target, mode);
  Conf = Record(2, {1, 1, 0, 0, 0, 0});
  ASSERT_TRUE(SaveSettings(set()).ok);
  EXPECT_TRUE(std::filesystem::is_symlink(set()));
  EXPECT_EQ(std::filesystem::status(target).permissions(), mode);
  EXPECT_EQ(ReadBytes(target), (Bytes{2, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9}));

  // A link to nothing yet: loading creates its target, empty.
  std::filesystem::remove(target);
  ASSERT_TRUE(LoadSettings(set()).ok);
  EXPECT_TRUE(std::filesystem::is_symlink(set()));
  EXPECT_EQ(ReadBytes(target), Bytes{});
#endif
}

#ifdef _WIN32
// Windows' read-only attribute stops every writer, administrators too: the
// record is read, the save refused with the system's reason, the file kept.
TEST_F(SettingsFile, AReadOnlySetIsReadButNeitherReplacedNorWritten) {
  WriteBytes(set(), {2, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  std::filesystem::permissions(set(), std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
  const auto loaded = LoadSettings(set());
  ASSERT_TRUE(loaded.ok);
  EXPECT_TRUE(loaded.readOnly);
  EXPECT_EQ(Conf, Record(2, {1, 0, 0, 0, 0, 0}));
  Conf.MaxIndex = 4;
  const auto saved = SaveSettings(set());
  EXPECT_FALSE(saved.ok);
  EXPECT_FALSE(saved.reason.empty());
  EXPECT_EQ(ReadBytes(set()), (Bytes{2, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(FilesIn(folder.path()), std::vector<std::filesystem::path>{"SET"});
  std::filesystem::permissions(set(), std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
}
#endif

TEST(DamagedCount, OnlyACountThisProgramCouldNotHaveWrittenIsReplaced) {
  for (std::int16_t sound : {-1, 0, 4, 5}) {
    SetRec record = Record(sound, {7, 1, 0, 1, 0, 1});
    EXPECT_EQ(RepairDamagedCount(record), "") << sound;
    EXPECT_EQ(record, Record(sound, {7, 1, 0, 1, 0, 1}));
  }
  for (std::int16_t damaged : {6, 32767, -2, -5, -32768}) {
    SetRec record = Record(damaged, {7, 1, 0, 1, 0, 1});
    const std::string warning = RepairDamagedCount(record);
    EXPECT_NE(warning.find("MaxIndex " + std::to_string(damaged)), std::string::npos) << warning;
    EXPECT_EQ(warning.find('\n'), std::string::npos) << "one line";
    EXPECT_EQ(record, Record(0, {7, 1, 0, 1, 0, 1})) << "one fish; kinds as read";
  }
}

TEST(DamagedKinds, EveryKindOtherThanRedOrBlackBecomesRedAndIsNamed) {
  SetRec sound = Record(32767, {0, 1, 0, 1, 1, 0});
  EXPECT_EQ(RepairDamagedKinds(sound), "");
  EXPECT_EQ(sound, Record(32767, {0, 1, 0, 1, 1, 0}));

  SetRec damaged = Record(2, {7, 1, -1, 0, 1, -32768});
  EXPECT_EQ(RepairDamagedKinds(damaged),
            kDamagedKindsText.arg("Kind(0) 7、Kind(2) -1、Kind(5) -32768").toStdString());
  EXPECT_EQ(damaged, Record(2, {0, 1, 0, 0, 1, 0}));
}

}  // namespace
