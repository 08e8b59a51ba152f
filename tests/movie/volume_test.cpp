// The master volume against a PulseAudio server the test starts itself (a null sink, a private
// runtime folder), and without any server. Also the slider's mapping.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>

#include <cstdlib>

#include "movie/pulse_volume_qt.h"
#include "movie/volume.h"
#include "tests/support/movie_files.h"

extern char** environ;

namespace tessera {
namespace {

using testing::WaitUntil;

bool CanConnect(const std::string& socket_path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) return false;
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", socket_path.c_str());
  const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  close(fd);
  return ok;
}

// A PulseAudio server with one null sink, for this test only; stopped when the test ends.
class PulseServer {
 public:
  PulseServer() : socket_(dir_.Path("native").string()) {
    const std::string home = dir_.Dir().string();
    std::vector<std::string> env_text = {
        "HOME=" + home, "XDG_RUNTIME_DIR=" + home, "PULSE_RUNTIME_PATH=" + home + "/runtime",
        "XDG_CONFIG_HOME=" + home + "/config", "PATH=/usr/bin:/bin"};
    std::vector<std::string> args_text = {
        "pulseaudio",
        "-n",
        "--daemonize=no",
        "--system=false",
        "--exit-idle-time=-1",
        "--use-pid-file=no",
        "--disable-shm=yes",
        "--log-target=stderr",
        "--log-level=error",
        "-L",
        "module-null-sink sink_name=tessera_test",
        "-L",
        "module-native-protocol-unix auth-anonymous=1 socket=" + socket_};
    std::vector<char*> env, args;
    for (auto& s : env_text) env.push_back(s.data());
    env.push_back(nullptr);
    for (auto& s : args_text) args.push_back(s.data());
    args.push_back(nullptr);
    if (posix_spawnp(&pid_, "pulseaudio", nullptr, nullptr, args.data(), env.data()) != 0) {
      pid_ = -1;
      return;
    }
    if (!WaitUntil([&] { return CanConnect(socket_); }, 10000)) Stop();
  }
  ~PulseServer() { Stop(); }
  bool Running() const { return pid_ > 0; }
  std::string Address() const { return "unix:" + socket_; }
  // pactl against this server.
  int Control(const std::string& arguments) const {
    return std::system(
        ("PULSE_SERVER=" + Address() + " pactl " + arguments + " >/dev/null 2>&1").c_str());
  }

 private:
  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    int status = 0;
    for (int i = 0; i < 300 && waitpid(pid_, &status, WNOHANG) == 0; ++i) usleep(10000);
    if (waitpid(pid_, &status, WNOHANG) == 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
    }
    pid_ = -1;
  }

  testing::ScratchDir dir_{"tessera-pulse"};
  std::string socket_;
  pid_t pid_ = -1;
};

// PULSE_SERVER for the length of a test.
class ServerAddress {
 public:
  explicit ServerAddress(const std::string& address) {
    if (const char* old = std::getenv("PULSE_SERVER")) old_ = old;
    setenv("PULSE_SERVER", address.c_str(), 1);
  }
  ~ServerAddress() {
    if (old_.empty())
      unsetenv("PULSE_SERVER");
    else
      setenv("PULSE_SERVER", old_.c_str(), 1);
  }

 private:
  std::string old_;
};

TEST(MasterVolume, ReadsSetsAndHearsOfChangesMadeElsewhere) {
  if (!testing::HaveProgram("pulseaudio")) GTEST_SKIP() << "pulseaudio is needed";
  PulseServer server;
  ASSERT_TRUE(server.Running()) << "the test's PulseAudio server did not start";
  ServerAddress address(server.Address());

  CVolumeOutMaster volume;
  ASSERT_TRUE(volume.IsVolumeAvailable());
  EXPECT_EQ(0, volume.LowestVolume());
  EXPECT_EQ(65536, volume.HighestVolume());
  EXPECT_GT(volume.VolumeSteps(), 1);
  EXPECT_EQ(65536, volume.CurrentVolume());

  std::vector<int64_t> heard;
  volume.SetVolumeListener(
      [](int64_t value, void* context) {
        static_cast<std::vector<int64_t>*>(context)->push_back(value);
      },
      &heard);

  // Setting: every channel, and no notification of our own change.
  volume.SetVolume(49152);
  EXPECT_EQ(49152, volume.CurrentVolume());
  volume.SetVolume(70000);  // above the highest: ignored
  EXPECT_EQ(49152, volume.CurrentVolume());

  // A change made in the desktop's mixer reaches the listener.
  ASSERT_EQ(0, server.Control("set-sink-volume tessera_test 20000"));
  ASSERT_TRUE(WaitUntil([&] { return !heard.empty(); }, 5000));
  EXPECT_EQ(std::vector<int64_t>{20000}, heard);
  EXPECT_EQ(20000, volume.CurrentVolume());

  EXPECT_TRUE(volume.SwitchLineOff());
  EXPECT_TRUE(volume.SwitchLineOn());
  WaitUntil([] { return false; }, 200);
  EXPECT_EQ(std::vector<int64_t>{20000}, heard);  // muting changes no volume
}

TEST(MasterVolume, UnavailableWithoutAServer) {
  testing::ScratchDir dir("tessera-nopulse");
  ServerAddress address("unix:" + dir.Path("nobody-listens").string());
  CVolumeOutMaster volume;
  EXPECT_FALSE(volume.IsVolumeAvailable());
  EXPECT_EQ(-1, volume.LowestVolume());
  EXPECT_EQ(-1, volume.HighestVolume());
  EXPECT_EQ(-1, volume.CurrentVolume());
  EXPECT_EQ(-1, volume.VolumeSteps());
  EXPECT_FALSE(volume.SwitchLineOn());
  volume.SetVolume(100);  // nothing happens, nothing breaks
  // The slider then starts at 100, as both -1 read as the same unsigned number.
  EXPECT_EQ(100, VolumeSliderPosition(volume.HighestVolume(), volume.CurrentVolume()));
}

TEST(MasterVolume, SliderMapping) {
  struct Case {
    int64_t highest, current;
    int position;
  };
  for (const Case& c : {Case{65535, 32767, 49}, Case{65536, 65536, 100}, Case{65536, 0, 0},
                        Case{-1, -1, 100}, Case{0, 0, 0}})
    EXPECT_EQ(c.position, VolumeSliderPosition(c.highest, c.current))
        << c.highest << "/" << c.current;
  EXPECT_EQ(49151u, VolumeForSliderPosition(75, 65535));
  EXPECT_EQ(65536u, VolumeForSliderPosition(100, 65536));
  EXPECT_EQ(u"Volume  75", VolumeText(75));
  EXPECT_EQ(u"Volume 100", VolumeText(100));
}

}  // namespace
}  // namespace tessera
