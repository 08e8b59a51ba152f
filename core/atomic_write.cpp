#include "core/atomic_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
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
  const auto now = fs::file_time_type::clock::now();
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!IsTemporaryOf(it->path().filename().string(), target_name)) continue;
    std::error_code e;
    if (it->symlink_status(e).type() != fs::file_type::regular) continue;
    const auto written = it->last_write_time(e);
    if (e || now - written < kStaleTemporaryAge) continue;
    fs::remove(it->path(), e);
  }
}

void SyncFolder(const fs::path& folder) {
  // Some file systems cannot flush a folder; the file is in place either way.
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
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

struct Staged {
  fs::path target;
  std::string temporary;  // empty once renamed or removed
  bool existed = false;
};

// Writes the bytes to a flushed temporary beside the target. Returns the reason of a failure, or
// the empty text.
std::string Stage(const fs::path& path, std::string_view bytes, Staged& out) {
  int error = 0;
  if (!ResolveTarget(path, out.target, error)) return SystemReason(error);
  struct stat st;
  out.existed = ::stat(out.target.c_str(), &st) == 0;
  if (out.existed) {
    if (S_ISDIR(st.st_mode)) return SystemReason(EISDIR);
    // A FIFO or a device must never be replaced by a regular file.
    if (!S_ISREG(st.st_mode)) return "Not a regular file";
    // Renaming would replace a write-protected file that opening for writing would refuse.
    if (::access(out.target.c_str(), W_OK) != 0) return SystemReason(errno);
  }
  fs::path folder = out.target.parent_path();
  if (folder.empty()) folder = ".";
  const std::string name = out.target.filename().string();
  RemoveStaleTemporaries(folder, name);

  std::string temporary =
      (folder / (TemporaryPrefix(name) + std::string(kTemporaryRandom, 'X'))).string();
  int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return SystemReason(errno);
  mode_t mode;
  if (out.existed) {
    mode = st.st_mode & 07777;
    (void)::fchown(fd, st.st_uid, st.st_gid);  // keeps the owner when we may (as root)
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  (void)::fchmod(fd, mode);  // a failed chmod is not worth losing the save
  bool ok = WriteAll(fd, bytes, error);
  // On disk before the rename, so that a power cut leaves the old file or the whole new one.
  if (ok && ::fsync(fd) != 0) ok = false, error = errno;
  if (::close(fd) != 0 && ok) ok = false, error = errno;
  if (!ok) {
    ::unlink(temporary.c_str());
    return SystemReason(error);
  }
  out.temporary = std::move(temporary);
  return {};
}

}  // namespace

bool IsTemporaryOf(std::string_view entry_name, std::string_view target_name) {
  const std::string prefix = TemporaryPrefix(target_name);
  return entry_name.size() == prefix.size() + kTemporaryRandom && entry_name.starts_with(prefix);
}

int WriteFilesAtomically(std::span<const FileBytes> files, std::string* reason) {
  std::vector<Staged> staged(files.size());
  auto fail = [&](size_t index, std::string why) {
    for (Staged& s : staged)
      if (!s.temporary.empty()) ::unlink(s.temporary.c_str());
    if (reason) *reason = std::move(why);
    return static_cast<int>(index);
  };
  for (size_t i = 0; i < files.size(); ++i) {
    std::string why = Stage(files[i].path, files[i].bytes, staged[i]);
    if (!why.empty()) return fail(i, std::move(why));
  }
  for (size_t i = 0; i < staged.size(); ++i) {
    if (std::rename(staged[i].temporary.c_str(), staged[i].target.c_str()) != 0) {
      const int error = errno;
      // Files this save created go again, so that no half of a set is left.
      for (size_t k = 0; k < i; ++k)
        if (!staged[k].existed) ::unlink(staged[k].target.c_str());
      return fail(i, SystemReason(error));
    }
    staged[i].temporary.clear();
    SyncFolder(staged[i].target.parent_path());
  }
  return -1;
}

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                         std::string* reason) {
  const FileBytes file{path, bytes};
  return WriteFilesAtomically(std::span(&file, 1), reason) < 0;
}

}  // namespace tessera
