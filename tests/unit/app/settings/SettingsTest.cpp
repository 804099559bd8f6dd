#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/settings/Settings.h"
#include "tests/unit/TempDir.h"

TEST(Settings, FileGivesValidValuesAndIgnoresTheRestWithOneShortNote) {
  const struct {
    const char* file;  // null: no file
    int32_t lock, clipboard;
    const char* note;
  } cases[] = {
      {nullptr, 5, 30, ""},
      {"lock-after-minutes=1440\nclipboard-seconds=07\n", 1440, 7, ""},
      {" lock-after-minutes = 0 \r\nclipboard-seconds=\t1", 0, 1, ""},
      {"# lock-after-minutes=3\nlock-after-minutes\nLock-After-Minutes=2\nother=x\n\n", 5, 30, ""},
      {"clipboard-seconds=0\n", 5, 30, "quorvel.conf: clipboard-seconds is not valid; its default is used."},
      {"clipboard-seconds=31\nlock-after-minutes=4\n", 4, 30, "clipboard-seconds is not valid"},
      {"lock-after-minutes=1441\nclipboard-seconds=abc\nclipboard-seconds=\n", 5, 30,
       "lock-after-minutes, clipboard-seconds are not valid; their defaults are used."},
      {"lock-after-minutes=-1\n", 5, 30, "lock-after-minutes is not valid"},
      {"lock-after-minutes=4294967301\n", 5, 30, "lock-after-minutes is not valid"},
      {"lock-after-minutes=9\nlock-after-minutes=9 min\n", 9, 30, "lock-after-minutes is not valid"},
  };
  for (const auto& c : cases) {
    TempDir dir;
    if (c.file) TempDir::Write("quorvel.conf", c.file);
    const std::string note = NarrowString(SettingsLoad());
    SCOPED_TRACE(c.file ? c.file : "(no file)");
    EXPECT_EQ(LockAfterMinutes(), c.lock);
    EXPECT_EQ(ClipboardSeconds(), c.clipboard);
    EXPECT_TRUE(note.find(c.note) != std::string::npos && note.empty() == !c.note[0]) << note;
    EXPECT_LE(note.size(), kSettingsNoteFits);
  }
}

TEST(Settings, SaveChangesOnlyTheValuesSetAndKeepsEveryOtherLineByteForByte) {
  TempDir dir;
  TempDir::Write("quorvel.conf", "# mine\r\n\nwords=yes\r\nclipboard-seconds=x\r\n  odd line \nlock-after-minutes=2");
  SettingsLoad();
  for (const String& bad : {S(""), S("31"), S("3.5"), S("seconds"), String(u"\u0661")})
    EXPECT_FALSE(SettingSet(kClipboardSecondsSetting, bad)) << NarrowString(bad);
  EXPECT_FALSE(SettingSet(S("no-such-setting"), S("1")));
  EXPECT_EQ(NarrowString(SettingText(kClipboardSecondsSetting)), "30");
  ASSERT_TRUE(SettingSet(kClipboardSecondsSetting, S(" 12")));
  ASSERT_TRUE(SettingSet(kLockAfterMinutesSetting, S("0")));
  EXPECT_EQ(ClipboardSeconds(), 12);
  String why;
  ASSERT_TRUE(SettingsSave(&why)) << NarrowString(why);
  // The invalid line takes the value set (its CR stays); the last line, without LF, keeps having none.
  EXPECT_EQ(TempDir::Read("quorvel.conf"),
            "# mine\r\n\nwords=yes\r\nclipboard-seconds=12\r\n  odd line \nlock-after-minutes=0");
  struct stat st;
  ASSERT_EQ(::stat("quorvel.conf", &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  // Lines written by hand since the load stay; a setting the file lacks is added.
  TempDir::Write("quorvel.conf", "later=1\n");
  ASSERT_TRUE(SettingsSave(&why));
  EXPECT_EQ(TempDir::Read("quorvel.conf"), "later=1\nlock-after-minutes=0\nclipboard-seconds=12\n");
}

TEST(Settings, AFileThatCannotBeReadGivesTheDefaultsAndIsNeverReplaced) {
  for (const std::string what : {"fifo", "folder", "huge"}) {
    TempDir dir;
    if (what == "fifo") {
      ASSERT_EQ(::mkfifo("quorvel.conf", 0600), 0);
    } else if (what == "folder") {
      ASSERT_EQ(::mkdir("quorvel.conf", 0700), 0);
    } else {
      TempDir::Write("quorvel.conf", "clipboard-seconds=5\n" + std::string(kSettingsFileCap, '#'));
    }
    EXPECT_EQ(NarrowString(SettingsLoad()), what == "huge" ? "quorvel.conf is larger than 64 KiB; defaults are used."
                                                           : "quorvel.conf is not a regular file; defaults are used.");
    EXPECT_EQ(ClipboardSeconds(), 30) << what;
    ASSERT_TRUE(SettingSet(kClipboardSecondsSetting, S("9")));
    String why;
    EXPECT_FALSE(SettingsSave(&why)) << what;
    EXPECT_NE(NarrowString(why).find("nothing was saved"), std::string::npos) << NarrowString(why);
    struct stat st;
    ASSERT_EQ(::stat("quorvel.conf", &st), 0);
    EXPECT_TRUE(what == "huge" ? static_cast<uint64_t>(st.st_size) == kSettingsFileCap + 20 : !S_ISREG(st.st_mode));
  }
}

TEST(Settings, GeneratorChoicesKeepTheirRangesAndASpaceSeparatorOnlyByName) {
  TempDir dir;
  SettingsLoad();
  const struct {
    const char16_t* name;
    const char* value;
    bool taken;
  } cases[] = {
      {kGeneratorLengthSetting, "0", true},
      {kGeneratorLengthSetting, "1000", false},
      {kGeneratorSymbolsSetting, "1", true},
      {kGeneratorSymbolsSetting, "2", false},
      {kGeneratorWordCountSetting, "99", true},
      {kGeneratorWordCountSetting, "0", false},
      {kGeneratorSeparatorSetting, "~", true},
      {kGeneratorSeparatorSetting, "ab", false},
      {kGeneratorSeparatorSetting, "\x7f", false},
      // Spaces around a value are dropped: a bare space would come back as nothing.
      {kGeneratorSeparatorSetting, " ", false},
      {kGeneratorSeparatorSetting, "space", true},
  };
  for (const auto& c : cases) EXPECT_EQ(SettingSet(c.name, S(c.value)), c.taken) << NarrowString(c.name) << c.value;
  ASSERT_TRUE(SettingsSave());
  SettingsLoad();
  EXPECT_EQ(NarrowString(SettingText(kGeneratorSeparatorSetting)), "space");
  EXPECT_EQ(SettingNumber(kGeneratorLengthSetting), 0);
  EXPECT_EQ(SettingNumber(kGeneratorWordCountSetting), 99);
}
