#include "pages/files/dvd_export.h"

#include <chrono>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "core/text_file.h"
#include "core/text_util.h"
#include "formats/loading.h"
#include "formats/microdvd.h"

namespace tessera {
namespace {

double SteadyMilliseconds() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code ec;
  if (std::filesystem::equivalent(a, b, ec)) return true;
  auto ca = std::filesystem::weakly_canonical(a, ec);
  if (ec) return a.lexically_normal() == b.lexically_normal();
  auto cb = std::filesystem::weakly_canonical(b, ec);
  if (ec) return a.lexically_normal() == b.lexically_normal();
  return ca == cb;
}

}  // namespace

DvdExportPaths DvdExportPathsFor(const AppSettings& settings) {
  const std::u16string& work = settings.my_subtitle_folder;
  return {settings.dvd_sup_encode_folder + u"/DVDSupEncode", work + u"/dvd2svcd.sub",
          work + u"/dvd2svcd.sup", work + u"/dvd2svcd.log"};
}

std::u16string ExportCopyTarget(const std::u16string& source) {
  if (source.empty()) return {};
  size_t slash = source.rfind(u'/');
  size_t name_start = slash == std::u16string::npos ? 0 : slash + 1;
  size_t dot = source.rfind(u'.');
  size_t base_end = dot == std::u16string::npos || dot < name_start ? source.size() : dot;
  return source.substr(0, base_end) + u".sub";
}

DvdExport::DvdExport(SubtitleDocument& doc, AppSettings& settings, ProcessRunner& runner,
                     ProgressSink& progress, Prompter& prompter, Clock clock)
    : doc_(doc),
      settings_(settings),
      runner_(runner),
      progress_(progress),
      prompter_(prompter),
      clock_(clock ? std::move(clock) : Clock(&SteadyMilliseconds)) {}

bool DvdExport::Begin() {
  if (running_) return false;
  paths_ = DvdExportPathsFor(settings_);
  source_ = doc_.FilePath();
  const int count = doc_.Count();
  line1_.assign(doc_.ColumnCells(kLine1).begin(), doc_.ColumnCells(kLine1).end());
  line2_.assign(doc_.ColumnCells(kLine2).begin(), doc_.ColumnCells(kLine2).end());
  if (count == 0) return false;

  // An input file that could not be written must not be encoded from a previous run's copy.
  if (!WriteSubtitleText(doc_, paths_.input, MicroDvdText(doc_, -1, -1, true, settings_),
                         settings_.encoding))
    return false;
  std::error_code ec;
  std::filesystem::remove(ToPath(paths_.output), ec);

  if (!(settings_.export_factor >= 1e-6) || !std::isfinite(settings_.export_factor))
    settings_.export_factor = kDefaultExportFactor;

  if (!runner_.Start(paths_.program, {paths_.input})) {
    doc_.AppendLog(Format("ERROR: Unable to start %s \"%s\"", ToUtf8(paths_.program).c_str(),
                          ToUtf8(paths_.input).c_str()));
    return false;
  }
  progress_.Open(kExportCaption);
  t0_ = clock_();
  passes_ = 0;
  running_ = true;
  if (runner_.IsRunning()) Pass();
  return true;
}

void DvdExport::Pass() {
  const int count = static_cast<int>(line1_.size());
  double p = (clock_() - t0_) / 1000.0 / (count * settings_.export_factor) * 100.0;
  if (!(p >= 0)) p = 0;
  if (p > 1e6) p = 1e6;
  progress_.SetPercent(static_cast<int>(p));
  double row = count * p / 100.0;
  int i = row > count - 1 ? count - 1 : static_cast<int>(row);
  progress_.SetLines(line1_[i], line2_[i]);
  t1_ = clock_();
  ++passes_;
}

bool DvdExport::Poll() {
  if (!running_) return false;
  if (runner_.IsRunning()) {
    Pass();
    return true;
  }
  Finish();
  return false;
}

void DvdExport::FinishOrStop(int wait_ms) {
  if (!running_) return;
  if (runner_.WaitForEnd(wait_ms)) {
    Finish();
    return;
  }
  runner_.Stop();
  progress_.Close();
  running_ = false;
  doc_.AppendLog(u"WARNING: The encoder was stopped before it had finished.");
}

void DvdExport::Finish() {
  // An encoder that ended before the first pass leaves no pass time: use the time it ran.
  double end = passes_ > 0 ? t1_ : clock_();
  progress_.Close();
  running_ = false;

  std::u16string text;
  if (ReadTextFile(ToPath(paths_.log), text) >= 0) {
    for (std::u16string_view line : SplitLines(text)) doc_.AppendLog(std::u16string(line));
  }
  if (text.find(u"detected errors") != std::u16string::npos) {
    prompter_.MessageBox(kExportFailedText, {}, PromptIcon::Error);
    return;
  }
  settings_.export_factor = (end - t0_) / 1000.0 / static_cast<double>(line1_.size());
  if (settings_.create_copy_when_exporting) CopyBesideSource();
}

void DvdExport::CopyBesideSource() {
  std::u16string target = ExportCopyTarget(source_);
  if (target.empty()) {
    doc_.AppendLog(u"WARNING: The subtitles have no file name; no copy of the export file made.");
    return;
  }
  std::filesystem::path to = ToPath(target), from = ToPath(paths_.input);
  if (SameFile(to, from)) return;
  if (SameFile(to, ToPath(source_))) {
    doc_.AppendLog(Format("WARNING: No copy of the export file made: it would overwrite '%s'.",
                          ToUtf8(source_).c_str()));
    return;
  }
  std::error_code ec;
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, ec);
  if (ec) prompter_.MessageBox(kExportCopyFailedText, {}, PromptIcon::Warning);
}

}  // namespace tessera
