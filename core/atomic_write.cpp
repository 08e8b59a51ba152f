#include "core/atomic_write.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <system_error>
#include <vector>

namespace tessera {
namespace {

namespace fs = std::filesystem;

constexpr char kTemporaryTag[] = ".tessera-";
constexpr size_t kTemporaryRandom = 6;  // the XXXXXX of mkostemp
// Keeps the temporary's name within the file system's limit of 255 bytes.
constexpr size_t kNameKept = 200;

std::string SystemReason(int error) {
  return std::generic_category().message(error);
}

std::string TemporaryPrefix(std::string_view target_name) {
  return "." + std::string(target_name.substr(0, kNameKept)) + kTemporaryTag;
}

bool HasTemporaryForm(std::string_view entry_name, std::string_view prefix) {
  return entry_name.size() == prefix.size() + kTemporaryRandom && entry_name.starts_with(prefix);
}

// Follows symbolic links to the path they finally name, which need not exist yet.
bool ResolveTarget(fs::path path, fs::path& target, int& error) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      target = path;
      return true;
    }
    std::error_code ec;
    fs::path next = fs::read_symlink(path, ec);
    if (ec) {
      error = ec.value();
      return false;
    }
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  error = ELOOP;
  return false;
}

void RemoveStaleTemporaries(const fs::path& folder, std::string_view target_name) {
  // Every save lists the folder: the names are compared as the system gives them, and only a
  // temporary of this file is looked at further.
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  const std::string prefix = TemporaryPrefix(target_name);
  const auto now = fs::file_time_type::clock::now();
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (!HasTemporaryForm(name, prefix)) continue;
    const fs::path path = folder / name;
    std::error_code e;
    if (fs::symlink_status(path, e).type() != fs::file_type::regular) continue;
    const auto written = fs::last_write_time(path, e);
    if (e || now - written < kStaleTemporaryAge) continue;
    fs::remove(path, e);
  }
  ::closedir(dir);
}

bool WriteAll(int fd, std::string_view bytes, int& error) {
  const char* p = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    ssize_t w = ::write(fd, p, left);
    if (w < 0) {
      if (errno == EINTR) continue;
      error = errno;
      return false;
    }
    p += w;
    left -= static_cast<size_t>(w);
  }
  return true;
}

}  // namespace

bool IsTemporaryOf(std::string_view entry_name, std::string_view target_name) {
  return HasTemporaryForm(entry_name, TemporaryPrefix(target_name));
}

AtomicFile::AtomicFile(const fs::path& path) {
  int error = 0;
  if (!ResolveTarget(path, target_, error)) {
    Fail(SystemReason(error));
    return;
  }
  struct stat st;
  existed_ = ::stat(target_.c_str(), &st) == 0;
  if (existed_) {
    if (S_ISDIR(st.st_mode)) {
      Fail(SystemReason(EISDIR));
      return;
    }
    // A FIFO or a device must never be replaced by a regular file.
    if (!S_ISREG(st.st_mode)) {
      Fail("Not a regular file");
      return;
    }
    // Renaming would replace a write-protected file that opening for writing would refuse.
    if (::access(target_.c_str(), W_OK) != 0) {
      Fail(SystemReason(errno));
      return;
    }
  }
  fs::path folder = target_.parent_path();
  if (folder.empty()) folder = ".";
  const std::string name = target_.filename().string();
  RemoveStaleTemporaries(folder, name);

  std::string temporary =
      (folder / (TemporaryPrefix(name) + std::string(kTemporaryRandom, 'X'))).string();
  fd_ = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd_ < 0) {
    Fail(SystemReason(errno));
    return;
  }
  temporary_ = std::move(temporary);
  mode_t mode;
  if (existed_) {
    mode = st.st_mode & 07777;
    (void)::fchown(fd_, st.st_uid, st.st_gid);  // keeps the owner when we may (as root)
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  (void)::fchmod(fd_, mode);  // a failed chmod is not worth losing the save
}

AtomicFile::~AtomicFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

bool AtomicFile::Fail(std::string reason) {
  if (reason_.empty()) reason_ = std::move(reason);
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
  return false;
}

bool AtomicFile::Write(std::string_view bytes) {
  if (fd_ < 0) return false;
  int error = 0;
  return WriteAll(fd_, bytes, error) || Fail(SystemReason(error));
}

bool AtomicFile::Restart() {
  if (fd_ < 0) return false;
  if (::ftruncate(fd_, 0) != 0 || ::lseek(fd_, 0, SEEK_SET) != 0) return Fail(SystemReason(errno));
  return true;
}

bool AtomicFile::Close() {
  if (fd_ < 0) return false;
  // On disk before the rename, so that a power cut leaves the old file or the whole new one.
  if (::fsync(fd_) != 0) return Fail(SystemReason(errno));
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) return Fail(SystemReason(errno));
  return true;
}

bool AtomicFile::Place() {
  if (!Ok() || fd_ >= 0 || temporary_.empty()) return false;
  if (std::rename(temporary_.c_str(), target_.c_str()) != 0) return Fail(SystemReason(errno));
  // The folder is not flushed after the rename: a power cut may bring back the old file, but
  // always a whole one, and a save costs one flush instead of two.
  temporary_.clear();
  placed_ = true;
  return true;
}

void AtomicFile::RemoveIfCreated() {
  if (placed_ && !existed_) ::unlink(target_.c_str());
}

int WriteFilesAtomically(std::span<const FileBytes> files, std::string* reason) {
  std::vector<std::unique_ptr<AtomicFile>> staged;
  staged.reserve(files.size());
  auto fail = [&](size_t index) {
    if (reason) *reason = staged[index]->Reason();
    // Files this save created go again, so that no half of a set is left.
    for (size_t k = 0; k < index; ++k) staged[k]->RemoveIfCreated();
    return static_cast<int>(index);
  };
  for (size_t i = 0; i < files.size(); ++i) {
    staged.push_back(std::make_unique<AtomicFile>(files[i].path));
    if (!staged[i]->Write(files[i].bytes) || !staged[i]->Close()) return fail(i);
  }
  for (size_t i = 0; i < staged.size(); ++i)
    if (!staged[i]->Place()) return fail(i);
  return -1;
}

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* reason) {
  const FileBytes file{path, bytes};
  return WriteFilesAtomically(std::span(&file, 1), reason) < 0;
}

}  // namespace tessera
