// A window started the way the program starts it, with scripted prompts and dialogs.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "app/app_window.h"
#include "core/text_util.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/scripted_prompter.h"
#include "tests/support/test_util.h"

namespace tessera::testing {

namespace fs = std::filesystem;

inline constexpr char16_t kChangedQuestion[] =
    u"The current file is changed.\n\r\n\rDo you want to save the changes?";

class MainWindowTest : public ::testing::Test {
 protected:
  void TearDown() override { app_.reset(); }

  void WriteSettings(const std::function<void(SettingsStore&)>& fill) {
    SettingsStore s(config_);
    fill(s);
    ASSERT_TRUE(s.SaveSettings());
  }
  fs::path WriteSample(const std::string& name, int entries) {
    std::string text;
    for (int i = 0; i < entries; ++i) {
      char buf[128];
      std::snprintf(buf, sizeof buf, "%d\r\n00:00:%02d,000 --> 00:00:%02d,500\r\nLine %d\r\n\r\n",
                    i + 1, i * 2, i * 2 + 1, i + 1);
      text += buf;
    }
    fs::path p = dir_ / name;
    std::ofstream(p, std::ios::binary) << text;
    return p;
  }
  CTesseraApp& Start(std::vector<std::string> args = {}) {
    args.insert(args.begin(), {"--config", config_.string()});
    std::string error;
    auto options = ParseCommandLine(args, error);
    EXPECT_TRUE(options) << error;
    options->languages_dir = fs::path(TESSERA_BINARY_DIR) / "languages";
    options->identity = with_identity_;
    options->version_url = version_url_;
    ServiceOverrides services;
    services.prompter = &prompter_;
    services.dialogs = &dialogs_;
    app_ = std::make_unique<CTesseraApp>(std::move(*options), services);
    app_->InitInstance();
    return *app_;
  }
  std::string Settings() {
    SettingsStore s(config_);
    return ToUtf8(s.Text());
  }
  int StoredInt(const char16_t* key) {
    SettingsStore s(config_);
    return s.GetInt(u"Settings", key, -12345);
  }

  ScratchDir scratch_{"tessera-gui"};
  const fs::path& dir_ = scratch_.Dir();
  const fs::path config_ = dir_ / "tessera.cfg";
  ScriptedPrompter prompter_;
  ScriptedDialogs dialogs_;
  bool with_identity_ = false;
  std::string version_url_;  // no update check unless a test asks for one
  std::unique_ptr<CTesseraApp> app_;
};

}  // namespace tessera::testing
