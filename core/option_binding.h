// One table per option set binds every option to its settings key, its default, its field and the
// control that shows it. The option set's load and save functions walk the table, and its page
// creates and fills its controls from the same rows, so a key, a default or a caption is written
// down once.
#pragma once

#include <algorithm>
#include <climits>
#include <string_view>
#include <type_traits>
#include <vector>

#include "core/app_settings.h"
#include "core/settings_store.h"
#include "core/text_util.h"

namespace tessera {

struct OptionKey {
  std::u16string_view section;
  std::u16string_view key;
};

// How a value is kept, in the store and in its field.
enum class OptionKind {
  kFlag,          // check box: whole number 0/1; any other number reads as 1
  kWhole,         // whole number, clamped into [min, max] when read
  kMilliseconds,  // whole number of milliseconds, shown in seconds by its control
  kChoice,        // option buttons: whole number in [min, max]; any other reads as the default
  kReal,          // real number, stored as "%0.3f" text and read from the number it begins with
};

// Where the value lives besides its field.
enum class OptionSource {
  kStore,      // its key in the settings store: Load reads it, Save writes it
  kWriteOnly,  // Save writes it, Load leaves the field at the option set's default
  kGlobal,     // a global setting: Load copies it from AppSettings, Save copies it back
};

template <typename Options>
struct OptionBinding {
  OptionKey key;
  OptionKind kind = OptionKind::kWhole;
  double default_value = 0;         // a whole number for the whole-number kinds
  int Options::*whole = nullptr;    // the field of every kind but kReal
  double Options::*real = nullptr;  // the field of kReal
  int caption_id = 0;               // LanguageTable id of the control's label; 0: none
  std::string_view control;         // object name of its control; empty: none of its own
  OptionSource source = OptionSource::kStore;
  int min = INT_MIN, max = INT_MAX;  // kWhole, kMilliseconds and kChoice
  // Several check boxes over one whole-number field: the bit of this row's box. The rows of
  // such a field follow each other; the first of them reads and writes the whole value.
  int mask = 0;
  int AppSettings::*global_whole = nullptr;  // kGlobal
  double AppSettings::*global_real = nullptr;
};

template <typename Options>
using OptionTable = std::vector<OptionBinding<Options>>;

namespace option_detail {
template <typename O>
OptionBinding<O> Make(OptionKey key, OptionKind kind, double default_value, int caption_id,
                      std::string_view control) {
  OptionBinding<O> b;
  b.key = key;
  b.kind = kind;
  b.default_value = default_value;
  b.caption_id = caption_id;
  b.control = control;
  return b;
}
}  // namespace option_detail

// Row makers, so that a table reads one option a line.
template <typename O>
OptionBinding<O> WholeOption(OptionKey key, int O::*field, int default_value, int caption_id,
                             std::string_view control, int min = INT_MIN, int max = INT_MAX,
                             OptionKind kind = OptionKind::kWhole) {
  OptionBinding<O> b = option_detail::Make<O>(key, kind, default_value, caption_id, control);
  b.whole = field;
  b.min = min;
  b.max = max;
  return b;
}
template <typename O>
OptionBinding<O> FlagOption(OptionKey key, int O::*field, int default_value, int caption_id,
                            std::string_view control) {
  return WholeOption(key, field, default_value, caption_id, control, 0, 1, OptionKind::kFlag);
}
template <typename O>
OptionBinding<O> ChoiceOption(OptionKey key, int O::*field, int default_value, int last,
                              int caption_id, std::string_view control) {
  return WholeOption(key, field, default_value, caption_id, control, 0, last, OptionKind::kChoice);
}
template <typename O>
OptionBinding<O> MillisecondsOption(OptionKey key, int O::*field, int default_value, int caption_id,
                                    std::string_view control) {
  return WholeOption(key, field, default_value, caption_id, control, INT_MIN, INT_MAX,
                     OptionKind::kMilliseconds);
}
template <typename O>
OptionBinding<O> RealOption(OptionKey key, double O::*field, double default_value, int caption_id,
                            std::string_view control) {
  OptionBinding<O> b =
      option_detail::Make<O>(key, OptionKind::kReal, default_value, caption_id, control);
  b.real = field;
  return b;
}
template <typename O>
OptionBinding<O> BitOption(OptionKey key, int O::*field, int default_value, int mask,
                           int caption_id, std::string_view control) {
  OptionBinding<O> b = WholeOption(key, field, default_value, caption_id, control);
  b.mask = mask;
  return b;
}
// A whole-number (int) or real (double) global setting shown on the page.
template <typename O, typename T>
OptionBinding<O> GlobalOption(OptionKey key, T O::*field, T AppSettings::*global, T default_value,
                              int caption_id, std::string_view control) {
  OptionBinding<O> b;
  if constexpr (std::is_same_v<T, double>) {
    b = RealOption(key, field, default_value, caption_id, control);
    b.global_real = global;
  } else {
    b = WholeOption(key, field, default_value, caption_id, control);
    b.global_whole = global;
  }
  b.source = OptionSource::kGlobal;
  return b;
}
template <typename O>
OptionBinding<O> WriteOnly(OptionBinding<O> b) {
  b.source = OptionSource::kWriteOnly;
  return b;
}

// Reads one option into `options`: a global one from `app`, any other from the store, with its
// default when the key is missing. A write-only option is read too: the caller asks for it.
template <typename O>
void ReadOption(const SettingsStore& store, const AppSettings& app, const OptionBinding<O>& b,
                O& options) {
  if (b.source == OptionSource::kGlobal) {
    if (b.global_whole) options.*b.whole = app.*b.global_whole;
    if (b.global_real) options.*b.real = app.*b.global_real;
    return;
  }
  if (b.kind == OptionKind::kReal) {
    options.*b.real =
        ToReal(store.GetString(b.key.section, b.key.key, Format("%0.3f", b.default_value)));
    return;
  }
  const int fallback = static_cast<int>(b.default_value);
  const int v = store.GetInt(b.key.section, b.key.key, fallback);
  switch (b.kind) {
    case OptionKind::kFlag:
      options.*b.whole = v != 0 ? 1 : 0;
      break;
    case OptionKind::kChoice:
      options.*b.whole = v >= b.min && v <= b.max ? v : fallback;
      break;
    default:
      options.*b.whole = std::clamp(v, b.min, b.max);
      break;
  }
}

// Writes one option: a global one into `app`, any other into the store.
template <typename O>
void WriteOption(SettingsStore& store, AppSettings& app, const OptionBinding<O>& b,
                 const O& options) {
  if (b.source == OptionSource::kGlobal) {
    if (b.global_whole) app.*b.global_whole = options.*b.whole;
    if (b.global_real) app.*b.global_real = options.*b.real;
  } else if (b.kind == OptionKind::kReal) {
    store.WriteString(b.key.section, b.key.key, Format("%0.3f", options.*b.real));
  } else {
    store.WriteInt(b.key.section, b.key.key, options.*b.whole);
  }
}

namespace option_detail {
// A later row of the check boxes over one field: its first row reads and writes the value.
template <typename O>
bool SharesField(const OptionTable<O>& table, size_t i) {
  return i > 0 && table[i].mask != 0 && table[i - 1].mask != 0 &&
         table[i].whole == table[i - 1].whole;
}
}  // namespace option_detail

// Every option of the table but the write-only ones, over the option set's defaults.
template <typename O>
O LoadOptions(const OptionTable<O>& table, const SettingsStore& store, const AppSettings& app) {
  O options{};
  for (size_t i = 0; i < table.size(); ++i) {
    if (table[i].source == OptionSource::kWriteOnly || option_detail::SharesField(table, i))
      continue;
    ReadOption(store, app, table[i], options);
  }
  return options;
}

// Every option of the table, in the table's order.
template <typename O>
void SaveOptions(const OptionTable<O>& table, SettingsStore& store, AppSettings& app,
                 const O& options) {
  for (size_t i = 0; i < table.size(); ++i) {
    if (!option_detail::SharesField(table, i)) WriteOption(store, app, table[i], options);
  }
}

// The row whose control has this object name, or nullptr.
template <typename O>
const OptionBinding<O>* FindOption(const OptionTable<O>& table, std::string_view control) {
  for (const OptionBinding<O>& b : table)
    if (!control.empty() && b.control == control) return &b;
  return nullptr;
}

}  // namespace tessera
