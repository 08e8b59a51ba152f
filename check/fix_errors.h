// The Fix Errors run over a whole document, with the services and lists it needs (its options:
// fix_errors_options.h, its working table: fix_work_table.h).
#pragma once

#include "check/fix_errors_options.h"
#include "check/fix_work_table.h"
#include "core/app_settings.h"
#include "core/services.h"
#include "core/subtitle_document.h"

namespace tessera {

class LanguageTable;
struct CheckLists;

// The services and lists one run needs. `lists` and `language` may be null (no lists; the
// built-in English texts).
struct FixRunServices {
  const AppSettings* app = nullptr;
  const CheckLists* lists = nullptr;
  const LanguageTable* language = nullptr;
  TextMeasurer* measurer = nullptr;  // required for the dynamic measuring method
  Prompter* prompter = nullptr;
  ProgressSink* progress = nullptr;
};

// The check box of every duration warning of a run; ticked, the run shows no more of them.
inline constexpr char16_t kDontWarnAgain[] = u"Don't warn again during this run";

// What the run ended with.
enum FixRunResult : int { kFixRunDone = 1, kFixRunStopped = 0, kFixRunCancelled = -1 };

// Runs every selected repair over the document, logs the counts and replaces the document's
// rows with the result (changed flag set, selection cleared). Cancelled through the progress
// window, it leaves the document's rows and changed flag as they were. `table` is the page's
// working table: filled from the document when `fill_table` is set, and left holding the result.
int RunFixErrors(SubtitleDocument& doc, const FixErrorsOptions& options,
                 const FixRunServices& services, FixWorkTable& table, bool fill_table = true);
// The same with a table of its own.
int RunFixErrors(SubtitleDocument& doc, const FixErrorsOptions& options,
                 const FixRunServices& services);

}  // namespace tessera
