#include "tools/sync_fields.h"

#include "core/number_field.h"

namespace tessera {
namespace {

int At(const SyncFieldValues& v, SyncField f) {
  return v[static_cast<int>(f)];
}

SyncFieldValues Readable(const SyncFieldTexts& texts) {
  SyncFieldValues v{};
  for (int i = 0; i < kSyncFieldCount; ++i) v[i] = ParseWholeNumber(texts[i]).value_or(0);
  return v;
}

}  // namespace

std::optional<SyncFieldValues> ReadSyncFields(const SyncFieldTexts& texts) {
  SyncFieldValues v{};
  for (int i = 0; i < kSyncFieldCount; ++i) {
    std::optional<int> n = ParseWholeNumber(texts[i]);
    if (!n) return std::nullopt;
    v[i] = *n;
  }
  return v;
}

MoveAmount MovementOf(const SyncFieldValues& v, bool later) {
  return {At(v, SyncField::kMinutes), At(v, SyncField::kSeconds), At(v, SyncField::kMilliseconds),
          later};
}

StretchAmount StretchOf(const SyncFieldValues& v, bool negative) {
  return {At(v, SyncField::kStretchSeconds), At(v, SyncField::kStretchMilliseconds), negative};
}

bool HasMovement(const SyncFieldTexts& texts) {
  return MovementOf(Readable(texts), true).Seconds() != 0;
}

bool HasStretch(const SyncFieldTexts& texts) {
  return StretchOf(Readable(texts), false).Seconds() != 0;
}

}  // namespace tessera
