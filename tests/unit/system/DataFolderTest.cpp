#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "system/DataFolder.h"
#include "tests/unit/TempDir.h"

namespace {
const std::vector<std::string> kFiles = {"app.key", "app.dat"};

int ModeOf(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 07777) : -1;
}
}  // namespace

TEST(DataFolderTest, OnlyUsrAndOptAndWhatLiesUnderThemAreSystemFolders) {
  const std::pair<const char*, bool> cases[] = {
      {"/usr", true},       {"/usr/bin", true},      {"/usr/local/bin", true}, {"/opt", true}, {"/opt/app/bin", true},
      {"/usrlocal", false}, {"/optical/bin", false}, {"/home/u/opt", false},   {"/", false},   {"/tmp/usr", false},
  };
  for (const auto& [dir, system] : cases) EXPECT_EQ(DataFolderIsSystem(dir), system) << dir;
}

TEST(DataFolderTest, AnInstalledCopyUsesTheXdgDataFolderAndAPortableOneItsOwn) {
  TempDir dir;
  struct Case {
    std::string exe, xdg, home, path;
    bool beside;
  };
  const Case cases[] = {
      {dir.path(), "/x/data", "/home/u", dir.path(), true},
      {"/usr/bin", "/x/data", "/home/u", "/x/data/app", false},
      {"/opt/app/bin", "/x/data/", "/home/u", "/x/data/app", false},
      {"/usr/bin", "", "/home/u", "/home/u/.local/share/app", false},
      {"/usr/bin", "relative/data", "/home/u/", "/home/u/.local/share/app", false},
      {"/usr/bin", "", "", "", false},
      {"/usr/bin", "", "relative", "", false},
      {"", "/x/data", "/home/u", "", false},
  };
  for (const Case& c : cases) {
    const TDataFolder folder = DataFolderChoose({c.exe, c.xdg, c.home}, "app", kFiles);
    EXPECT_EQ(folder.path, c.path) << c.exe << " " << c.xdg << " " << c.home;
    EXPECT_EQ(folder.besideExecutable, c.beside) << c.exe;
    EXPECT_EQ(folder.problem.empty(), !c.path.empty()) << c.exe;
  }
}

TEST(DataFolderTest, TheXdgFolderIsMadeOwnerOnlyWithItsParentsAndAnExistingOneIsLeftAlone) {
  TempDir dir;
  const std::string made = dir.path() + "/data/deeper/app";
  const mode_t previous = umask(0277);
  const std::string problem = DataFolderEnter({made, false, ""});
  umask(previous);
  ASSERT_EQ(problem, "");
  EXPECT_EQ(std::filesystem::current_path().string(), made);
  EXPECT_EQ(ModeOf(made), 0700);

  ASSERT_EQ(mkdir((dir.path() + "/shared").c_str(), 0750), 0);
  ASSERT_EQ(chmod((dir.path() + "/shared").c_str(), 0750), 0);
  EXPECT_EQ(DataFolderEnter({dir.path() + "/shared", false, ""}), "");
  EXPECT_EQ(ModeOf(dir.path() + "/shared"), 0750);

  // A folder beside the executable is never created; a file in the way and an
  // unknown folder are failures that say why.
  TempDir::Write(dir.path() + "/file", "x");
  EXPECT_NE(DataFolderEnter({dir.path() + "/file/app", false, ""}).find(dir.path() + "/file/app"), std::string::npos);
  EXPECT_NE(DataFolderEnter({dir.path() + "/gone", true, ""}), "");
  EXPECT_FALSE(std::filesystem::exists(dir.path() + "/gone"));
  EXPECT_EQ(DataFolderEnter({"", false, "no home"}), "no home");
}
