#include "cli/cli_io.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>

#include "core/text_util.h"
#include "workbench/file_commands.h"

namespace tessera::cli {
namespace {

// A command holds a file's text a few times over (bytes, characters, rows, the output), all of it
// touched once and freed only at exit. Taking that room from the heap in one piece, in large
// pages, saves the processor thousands of page faults: a 1 MB file otherwise spends as much time
// faulting pages in as it does on its own work. Later growth still works as usual.
void ReserveHeapFor(const std::string& path) {
  static bool done = false;
  if (done) return;
  done = true;
  std::error_code ec;
  const uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) return;
  constexpr size_t kMiB = 1024 * 1024;
  const size_t room = static_cast<size_t>(std::min<uintmax_t>(size * 24 + 16 * kMiB, 1024 * kMiB));
  // Large blocks from the heap too, where freed room is used again instead of being unmapped.
  mallopt(M_MMAP_THRESHOLD, 32 * kMiB);
  mallopt(M_TRIM_THRESHOLD, static_cast<int>(room));
  mallopt(M_TOP_PAD, static_cast<int>(room));
  // One block that fills the heap up to just before a large-page boundary: the heap has no room
  // for it, so it grows by the padding, and nothing past the boundary is written before the room
  // is advised (a page written earlier would keep its 2 MB in small pages). The block is held,
  // never touched, so that the blocks to come start on the boundary.
  constexpr uintptr_t kLarge = 2 * kMiB;
  auto* end = static_cast<char*>(sbrk(0));
  char* const free_room = end - mallinfo2().keepcost;
  auto* first =
      reinterpret_cast<char*>((reinterpret_cast<uintptr_t>(end) + 64 + kLarge - 1) & ~(kLarge - 1));
  static void* const before_first = malloc(static_cast<size_t>(first - free_room) - 64);
  end = static_cast<char*>(sbrk(0));
  if (before_first && end > first) madvise(first, static_cast<size_t>(end - first), MADV_HUGEPAGE);
  mallopt(M_TOP_PAD, 128 * 1024);  // the usual padding again
}

}  // namespace

bool LoadInput(CliContext& ctx, const std::string& path) {
  ReserveHeapFor(path);
  return OpenDocument(ctx.bench, FromUtf8(path), OpenWay::kChosen, ctx.encoding) == 1;
}

bool SaveOutput(CliContext& ctx, const std::string& path) {
  return SaveDocumentAs(ctx.bench, FromUtf8(path)) == 1;
}

}  // namespace tessera::cli
