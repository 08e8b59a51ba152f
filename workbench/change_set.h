// What an operation on the workbench changed: core commands report it, and the page skeleton
// refreshes just that. Buttons are recomputed after every action whatever it reports.
#pragma once

namespace tessera {

enum ChangeSet : unsigned {
  kRefreshNothing = 0,
  kRefreshRows = 1u << 0,        // cells of existing rows changed
  kRefreshRowCount = 1u << 1,    // rows were added or removed
  kRefreshCurrentRow = 1u << 2,  // the document's current row moved
  kRefreshLog = 1u << 3,         // the log panel shows the whole log again
  // A file was loaded: everything above, and the undo history starts afresh.
  kRefreshLoaded = 1u << 4,
  kRefreshCaption = 1u << 5,  // the document's file path changed
  kRefreshAll = kRefreshRows | kRefreshRowCount | kRefreshCurrentRow | kRefreshLog,
};

}  // namespace tessera
