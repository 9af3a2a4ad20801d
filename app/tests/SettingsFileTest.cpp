#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "app/Settings.h"
#include "tests/support/TempFolder.h"

// Shows a record in failure messages as {MaxIndex; kinds}.
void PrintTo(const SetRec& r, std::ostream* os) {
  *os << "{" << r.MaxIndex << ";";
  for (auto k : r.Kind) *os << " " << k;
  *os << "}";
}

namespace {

using Bytes = std::vector<unsigned char>;

class SettingsFile : public ::testing::Test {
 protected:
  void SetUp() override { ResetConf(); }
  void TearDown() override { ResetConf(); }

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

TEST_F(SettingsFile, AMissingFileIsCreatedEmptyAndReadsAsAllZero) {
  ASSERT_TRUE(LoadSettings(set()).ok);
  EXPECT_EQ(Conf, Record(0, {}));
  ASSERT_TRUE(std::filesystem::exists(set()));
  EXPECT_EQ(std::filesystem::file_size(set()), 0u);
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

TEST_F(SettingsFile, WhatIsSavedLoadsBackUnchanged) {
  const SetRec extremes[] = {Record(0, {}), Record(4, {1, 0, 1, 0, 1, 0}),
                             Record(-32768, {32767, -32768, -1, 256, 255, 1})};
  for (const SetRec& record : extremes) {
    Conf = record;
    ASSERT_TRUE(SaveSettings(set()).ok);
    ResetConf();
    ASSERT_TRUE(LoadSettings(set()).ok);
    EXPECT_EQ(Conf, record);
  }
}

TEST_F(SettingsFile, ADirectoryNamedSetFailsWithTheSystemsReasonAndLeavesConfAlone) {
  std::filesystem::create_directory(set());
  Conf = Record(2, {1, 1, 1, 0, 0, 0});
  const auto loaded = LoadSettings(set());
  EXPECT_FALSE(loaded.ok);
  EXPECT_EQ(loaded.reason, "Is a directory");
  EXPECT_EQ(Conf, Record(2, {1, 1, 1, 0, 0, 0}));

  const auto saved = SaveSettings(set());
  EXPECT_FALSE(saved.ok);
  EXPECT_EQ(saved.reason, "Is a directory");
  EXPECT_TRUE(std::filesystem::is_directory(set()));
}

TEST_F(SettingsFile, AFolderThatCannotBeWrittenFailsWithPermissionDenied) {
#ifdef _WIN32
  GTEST_SKIP() << "folder mode bits are a POSIX matter";
#else
  // The super-user writes wherever the mode bits forbid it; sysfs refuses
  // new files even to it.
  std::filesystem::path locked = folder.path() / "locked";
  if (geteuid() == 0) {
    locked = "/sys";
  } else {
    std::filesystem::create_directory(locked);
    std::filesystem::permissions(locked, std::filesystem::perms::owner_read |
                                             std::filesystem::perms::owner_exec);
  }
  const auto loaded = LoadSettings(locked / "SET");
  EXPECT_FALSE(loaded.ok);
  EXPECT_EQ(loaded.reason, "Permission denied");
  EXPECT_FALSE(SaveSettings(locked / "SET").ok);
  EXPECT_FALSE(std::filesystem::exists(locked / "SET"));
#endif
}

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

}  // namespace
