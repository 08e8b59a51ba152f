#include "core/update_check.h"

#include <cmath>

#include "core/text_util.h"
#include "core/version.h"

namespace tessera {
namespace {

constexpr std::u16string_view kTag = u"<meta name=\"version\"";
// After the tag come a blank, content=" and then the four characters of the version.
constexpr size_t kVersionOffset = 30;
constexpr size_t kVersionLength = 4;

// Hundredths of a version text. The small bias keeps "0.29" at 29: 0.29 x 100 is just below 29
// in binary.
int Hundredths(std::u16string_view text) {
  double v = ToReal(text) * 100 + 1e-7;
  if (!(v > 0)) return 0;
  if (v > 2e9) return 2000000000;
  return static_cast<int>(std::floor(v));
}

}  // namespace

std::optional<int> AnnouncedVersion(std::u16string_view page) {
  page = page.substr(0, kVersionPageLimit);
  size_t at = page.find(kTag);
  if (at == std::u16string_view::npos) return std::nullopt;
  std::u16string_view rest = page.substr(std::min(page.size(), at + kVersionOffset));
  return Hundredths(rest.substr(0, kVersionLength));
}

std::optional<std::u16string> UpdateQuestion(std::u16string_view page) {
  std::optional<int> remote = AnnouncedVersion(page);
  if (!remote || Hundredths(FromUtf8(VersionText())) >= *remote) return std::nullopt;
  return Format(
      "A new version (V%0.2f) of Tessera is available.\n\r\n\rWould you like to visit the "
      "Tessera web site?",
      *remote / 100.0);
}

}  // namespace tessera
