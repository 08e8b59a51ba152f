// The workbench: the open document and what works on it (the settings, the language table, the
// undo history and the services). The window hands one to every page, tessera-cli builds one,
// and the document's file commands take one.
#pragma once

#include "core/app_settings.h"
#include "core/language_table.h"
#include "core/services.h"
#include "core/settings_store.h"
#include "core/subtitle_document.h"
#include "core/undo_history.h"

namespace tessera {

struct Workbench : Services {
  SubtitleDocument& doc;
  SettingsStore& store;
  AppSettings& app;
  LanguageTable& lang;
  UndoHistory& history;
};

}  // namespace tessera
