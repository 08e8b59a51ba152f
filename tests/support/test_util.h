// Shared helpers of the tests: a scratch folder, file bytes, running the CLI (and, through
// documents.h, documents from rows).
#pragma once

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "core/services.h"
#include "core/text_util.h"
#include "tests/support/documents.h"
#include "tests/support/scripted_prompter.h"

namespace tessera::testing {

// While it lives, files may not grow past `bytes` (for root too), and a write past the limit fails
// instead of ending the process: a write that fails midway.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) : old_handler_(std::signal(SIGXFSZ, SIG_IGN)) {
    rlimit small{};
    ok_ = getrlimit(RLIMIT_FSIZE, &saved_) == 0;
    small = saved_;
    small.rlim_cur = bytes;
    ok_ = ok_ && setrlimit(RLIMIT_FSIZE, &small) == 0;
  }
  ~FileSizeLimit() {
    if (ok_) setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, old_handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  bool Ok() const { return ok_; }

 private:
  void (*old_handler_)(int);
  rlimit saved_{};
  bool ok_ = false;
};

class ScratchDir {
 public:
  explicit ScratchDir(const std::string& prefix = "tessera-test") {
    std::string tmpl = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    dir_ = mkdtemp(tmpl.data());
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(dir_, ec);
  }
  std::filesystem::path Path(const std::string& name) const { return dir_ / name; }
  std::u16string Path16(const std::string& name) const { return FromUtf8(Path(name).string()); }
  const std::filesystem::path& Dir() const { return dir_; }

 private:
  std::filesystem::path dir_;
};

inline void WriteBytes(const std::filesystem::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary) << bytes;
}

inline std::string ReadBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A single-quoted word for the shell.
inline std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

struct CliRun {
  int code = -1;
  std::string out, err;
};

// Runs the built tessera-cli as a user would: `args` are already quoted, stdout is kept, and
// stderr too when `err_file` is given.
inline CliRun RunCli(const std::string& args, const std::filesystem::path& config,
                     const std::filesystem::path& err_file = {}) {
  const std::string cmd = Quote(std::string(TESSERA_BINARY_DIR) + "/tessera-cli") + " --config " +
                          Quote(config.string()) + " " + args + " 2>" +
                          (err_file.empty() ? std::string("/dev/null") : Quote(err_file.string()));
  CliRun r;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  const int status = pclose(p);
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (!err_file.empty()) r.err = ReadBytes(err_file);
  return r;
}

// A test that runs tessera-cli over the files of its own scratch folder, without a settings file.
class CliFixture : public ::testing::Test {
 protected:
  // Standard error is kept in the result too.
  CliRun Cli(const std::string& args) {
    return RunCli(args, dir.Path("none.cfg"), dir.Path("err.txt"));
  }
  // A file of the scratch folder, quoted for the shell.
  std::string P(const std::string& name) const { return Quote(dir.Path(name).string()); }
  ScratchDir dir;
};

}  // namespace tessera::testing
