#include "cli/cli_io.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/text_file.h"
#include "core/text_util.h"
#include "formats/format_util.h"
#include "formats/loading.h"
#include "formats/save_formats.h"
#include "workbench/file_commands.h"

namespace tessera::cli {
namespace {

// What this buys, measured with bench/compare.sh's files: a 1 MB convert takes 8.2 ms of
// processor time with it and 10.9 ms without, which is what keeps it under 0.07 of ffmpeg's time;
// it costs about 1.5 MB more peak memory at 16 MB, and nothing measurable at 64 MB. How: the
// room a command needs (the file's text a few times over, touched once, freed only at exit) is
// taken from the heap in one piece advised for 2 MB pages; large blocks come from the heap too,
// where freed room is used again instead of being unmapped. One block, held and never touched,
// fills the heap up to a 2 MB boundary so that nothing past it is written before the advice (a page
// written earlier would keep its 2 MB in small pages). Later growth works as usual.
void ReserveHeapFor(const std::string& path) {
  static bool done = false;
  if (done) return;
  done = true;
  std::error_code ec;
  const uintmax_t size = std::filesystem::file_size(path, ec);
  // A small file's command fits in the heap's first pages; a 2 MB page would only be zeroed.
  if (ec || size < 64 * 1024) return;
  constexpr size_t kMiB = 1024 * 1024;
  const size_t room = static_cast<size_t>(std::min<uintmax_t>(size * 24 + 16 * kMiB, 1024 * kMiB));
  mallopt(M_MMAP_THRESHOLD, 32 * kMiB);
  mallopt(M_TRIM_THRESHOLD, static_cast<int>(room));
  mallopt(M_TOP_PAD, static_cast<int>(room));
  constexpr uintptr_t kLarge = 2 * kMiB;
  auto* end = static_cast<char*>(sbrk(0));
  char* const free_room = end - mallinfo2().keepcost;
  auto* first =
      reinterpret_cast<char*>((reinterpret_cast<uintptr_t>(end) + 64 + kLarge - 1) & ~(kLarge - 1));
  static void* const before_first = malloc(static_cast<size_t>(first - free_room) - 64);
  end = static_cast<char*>(sbrk(0));
  if (before_first && end > first) madvise(first, static_cast<size_t>(end - first), MADV_HUGEPAGE);
  mallopt(M_TOP_PAD, 128 * 1024);
}

// A private folder for the file that stands in for a standard stream, removed with it, so the
// loading and saving code (detection, decoding, writing whole files) is the same as for files.
class StreamFolder {
 public:
  StreamFolder() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tessera-cli-XXXXXX";
    if (mkdtemp(pattern.data())) dir_ = pattern;
  }
  ~StreamFolder() {
    std::error_code ec;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
  }
  const std::filesystem::path& Dir() const { return dir_; }

 private:
  std::filesystem::path dir_;
};

// Copies standard input into `file`; one byte past the size limit is enough for the loader to
// refuse it as too large.
bool CopyStandardInput(const std::filesystem::path& file) {
  std::ofstream out(file, std::ios::binary);
  char buffer[65536];
  long long total = 0;
  size_t n = 0;
  while (total <= kMaxTextFileSize && (n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) {
    out.write(buffer, static_cast<std::streamsize>(n));
    total += static_cast<long long>(n);
  }
  return !std::ferror(stdin) && out.good();
}

bool CopyToStandardOutput(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    const auto n = static_cast<size_t>(in.gcount());
    if (std::fwrite(buffer, 1, n, stdout) != n) return false;
  }
  return std::fflush(stdout) == 0 && !in.bad();
}

}  // namespace

std::u16string FormatExtension(const std::string& name) {
  const std::u16string extension = u"." + FromUtf8(name);
  return FindSaveFormat(extension) ? extension : std::u16string();
}

bool LoadInput(CliContext& ctx, const std::string& path) {
  if (path != kStdStream) {
    ReserveHeapFor(path);
    return OpenDocument(ctx.bench, FromUtf8(path), OpenWay::kChosen, ctx.encoding) == 1;
  }
  // Standard input is read from a private copy.
  StreamFolder folder;
  const std::filesystem::path copy = folder.Dir() / "stdin";
  if (folder.Dir().empty() || !CopyStandardInput(copy)) {
    ctx.doc.AppendLog(u"ERROR: Could not read standard input.");
    return false;
  }
  ReserveHeapFor(copy.string());
  return OpenDocument(ctx.bench, FromPath(copy), OpenWay::kStandardInput, ctx.encoding) == 1;
}

bool SaveOutput(CliContext& ctx, const std::string& path) {
  if (path != kStdStream) return SaveDocumentAs(ctx.bench, FromUtf8(path)) == 1;
  const std::u16string extension =
      ctx.output_format.empty()
          ? std::u16string(DefaultSaveFormat(ctx.doc.LoadedFormat()).extension)
          : FormatExtension(ctx.output_format);
  StreamFolder folder;
  if (folder.Dir().empty()) {
    ctx.doc.AppendLog(u"ERROR: Could not make a temporary folder for standard output.");
    return false;
  }
  const std::filesystem::path file = folder.Dir() / ("stdout" + ToUtf8(extension));
  if (SaveDocumentAs(ctx.bench, FromPath(file)) != 1) return false;
  ctx.doc.SetFilePath(FromUtf8(path));
  if (CopyToStandardOutput(file)) return true;
  ctx.doc.AppendLog(u"ERROR: Could not write standard output.");
  return false;
}

}  // namespace tessera::cli
