#include "core/atomic_write.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>

#include "tests/support/test_util.h"

namespace tessera {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::ScratchDir;
using testing::WriteBytes;

int Entries(const fs::path& dir) {
  int n = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) ++n;
  return n;
}

std::string Write(const fs::path& p, std::string_view bytes) {
  std::string reason;
  return WriteFileAtomically(p, bytes, &reason) ? "written" : reason;
}

TEST(AtomicWrite, OnlyRegularFilesAreReplaced) {
  ScratchDir dir;
  const fs::path fifo = dir.Path("fifo.srt");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(Write(fifo, "x"), "Not a regular file");
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_EQ(Write(dir.Dir(), "x"), "Is a directory");

  // A dangling link is followed when its folder exists, and the link stays a link.
  fs::create_symlink("new.srt", dir.Path("dangling.srt"));
  EXPECT_EQ(Write(dir.Path("dangling.srt"), "new"), "written");
  EXPECT_TRUE(fs::is_symlink(dir.Path("dangling.srt")));
  EXPECT_EQ(ReadBytes(dir.Path("new.srt")), "new");
  fs::create_symlink(dir.Path("gone/x.srt"), dir.Path("nowhere.srt"));
  EXPECT_EQ(Write(dir.Path("nowhere.srt"), "x"), "No such file or directory");
  EXPECT_TRUE(fs::is_symlink(dir.Path("nowhere.srt")));
  fs::create_symlink("loop.srt", dir.Path("loop.srt"));
  EXPECT_EQ(Write(dir.Path("loop.srt"), "x"), "Too many levels of symbolic links");
  EXPECT_EQ(Entries(dir.Dir()), 5) << "a temporary was left behind";

  // A link to a character device: a node of our own, never a real system device.
  const fs::path node = dir.Path("node");
  const dev_t device = makedev(1, 3);
  if (::mknod(node.c_str(), S_IFCHR | 0600, device) != 0)
    GTEST_SKIP() << "making a device node is not permitted here";
  fs::create_symlink(node, dir.Path("device.srt"));
  EXPECT_EQ(Write(dir.Path("device.srt"), "x"), "Not a regular file");
  EXPECT_TRUE(fs::is_symlink(dir.Path("device.srt")));
  struct stat st;
  ASSERT_EQ(::lstat(node.c_str(), &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
  EXPECT_EQ(st.st_rdev, device);
}

TEST(AtomicWrite, ASetIsWrittenWholeOrNotAtAll) {
  ScratchDir dir;
  WriteBytes(dir.Path("a.srt"), "old a");
  fs::create_directory(dir.Path("b.srt"));
  const FileBytes files[] = {
      {dir.Path("a.srt"), "new a"}, {dir.Path("b.srt"), "new b"}, {dir.Path("c.srt"), "new c"}};
  std::string reason;
  EXPECT_EQ(WriteFilesAtomically(files, &reason), 1);
  EXPECT_EQ(reason, "Is a directory");
  EXPECT_EQ(ReadBytes(dir.Path("a.srt")), "old a");
  EXPECT_EQ(Entries(dir.Dir()), 2);

  fs::remove(dir.Path("b.srt"));
  EXPECT_EQ(WriteFilesAtomically(files, &reason), -1);
  EXPECT_EQ(ReadBytes(dir.Path("a.srt")) + ReadBytes(dir.Path("b.srt")), "new anew b");
}

// Saves killed at random moments leave temporaries; the next save of that target removes the
// stale ones and leaves a younger one (a save under way) and other files alone.
TEST(AtomicWrite, KilledSavesLeaveNoTemporaryAfterTheNextSave) {
  ScratchDir dir;
  const fs::path target = dir.Path("film.srt");
  const std::string big(4 << 20, 'x');
  int left = 0;
  for (int round = 0; round < 20; ++round) {
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (;;) WriteFileAtomically(target, big);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5 + round * 3));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    // Never a partial target.
    if (fs::exists(target)) {
      EXPECT_EQ(fs::file_size(target), big.size());
    }
  }
  const auto old = fs::file_time_type::clock::now() - kStaleTemporaryAge - std::chrono::minutes(1);
  for (const auto& e : fs::directory_iterator(dir.Dir())) {
    if (e.path() == target) continue;
    EXPECT_TRUE(IsTemporaryOf(e.path().filename().string(), "film.srt")) << e.path();
    fs::last_write_time(e.path(), old);
    ++left;
  }
  std::cout << left << " of 20 killed saves left a temporary\n";

  const fs::path young = dir.Path(".film.srt.tessera-young1");
  const fs::path foreign = dir.Path(".film.srt.abcdef");
  const fs::path other = dir.Path(".other.srt.tessera-abcdef");
  for (const fs::path& p : {young, foreign, other}) WriteBytes(p, "?");
  fs::last_write_time(foreign, old);
  fs::last_write_time(other, old);
  ASSERT_EQ(Write(target, "done"), "written");
  EXPECT_EQ(ReadBytes(target), "done");
  EXPECT_EQ(Entries(dir.Dir()), 4);
  for (const fs::path& p : {young, foreign, other}) EXPECT_TRUE(fs::exists(p)) << p;
}

TEST(AtomicWrite, TemporaryNames) {
  EXPECT_TRUE(IsTemporaryOf(".a.srt.tessera-Ab12Cd", "a.srt"));
  EXPECT_FALSE(IsTemporaryOf(".a.srt.tessera-Ab12C", "a.srt"));
  EXPECT_FALSE(IsTemporaryOf(".b.a.srt.tessera-Ab12Cd", "a.srt"));
  EXPECT_FALSE(IsTemporaryOf(".a.srt.Ab12Cd", "a.srt"));
  const std::string longest(251, 'n');
  EXPECT_TRUE(IsTemporaryOf("." + longest.substr(0, 200) + ".tessera-Ab12Cd", longest));
}

}  // namespace
}  // namespace tessera
