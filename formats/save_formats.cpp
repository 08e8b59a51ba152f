#include "formats/save_formats.h"

#include "core/text_util.h"
#include "formats/format_util.h"
#include "formats/loading.h"
#include "formats/microdvd.h"
#include "formats/simple_formats.h"
#include "formats/subrip.h"
#include "formats/substation.h"
#include "formats/webvtt.h"

namespace tessera {
namespace {

const SaveFormat kFormats[] = {
    {u".ssa", "Sub Station Alpha", u"SubStation Alpha files (*.ssa)",
     [](const SubtitleDocument& doc, int first, int last, const AppSettings& settings,
        TextSink& sink) { PutSubStationAlpha(doc, first, last, settings, sink); }},
    {u".sub", "MicroDVD", u"MicroDVD files (*.sub)",
     [](const SubtitleDocument& doc, int first, int last, const AppSettings& settings,
        TextSink& sink) { PutMicroDvd(doc, first, last, false, settings, sink); }},
    {u".srt", "SubRip", u"SubRip files (*.srt)",
     [](const SubtitleDocument& doc, int first, int last, const AppSettings&, TextSink& sink) {
       PutSubRip(doc, first, last, sink);
     }},
    {u".txt", "Flat ASCII", u"Flat ASCII files (*.txt)",
     [](const SubtitleDocument& doc, int, int, const AppSettings&, TextSink& sink) {
       PutFlatText(doc, sink);
     }},
    {u".ass", "Advanced Sub Station Alpha", u"Advanced SubStation Alpha files (*.ass)",
     [](const SubtitleDocument& doc, int first, int last, const AppSettings& settings,
        TextSink& sink) { PutAdvancedSubStationAlpha(doc, first, last, settings, sink); }},
    {u".vtt", "WebVTT", u"WebVTT files (*.vtt)",
     [](const SubtitleDocument& doc, int first, int last, const AppSettings&, TextSink& sink) {
       PutWebVtt(doc, first, last, sink);
     }},
};

const SaveFormat& ByExtension(std::u16string_view ext) {
  for (const SaveFormat& f : kFormats)
    if (f.extension == ext) return f;
  return ByExtension(u".srt");
}

}  // namespace

std::u16string SaveFormat::text(const SubtitleDocument& doc, int first, int last,
                                const AppSettings& settings) const {
  return WholeTextOf([&](TextSink& sink) { put(doc, first, last, settings, sink); });
}

FileFilter SaveFormat::Filter() const {
  return {std::u16string(description), u"*" + std::u16string(extension)};
}

std::span<const SaveFormat> SaveFormats() {
  return kFormats;
}

const SaveFormat* FindSaveFormat(const std::u16string& path) {
  const std::u16string ext = PathExtension(path);
  for (const SaveFormat& f : kFormats)
    if (f.extension == ext) return &f;
  return nullptr;
}

const SaveFormat& DefaultSaveFormat(SubtitleFormat loaded) {
  switch (loaded) {
    case SubtitleFormat::SubStationAlpha:
      return ByExtension(u".ssa");
    case SubtitleFormat::AdvancedSubStationAlpha:
      return ByExtension(u".ass");
    case SubtitleFormat::MicroDvd:
      return ByExtension(u".sub");
    case SubtitleFormat::WebVtt:
      return ByExtension(u".vtt");
    default:
      return ByExtension(u".srt");
  }
}

std::vector<FileFilter> SaveFilters() {
  std::vector<FileFilter> out;
  for (const SaveFormat& f : kFormats) out.push_back(f.Filter());
  return out;
}

std::u16string SavingLine(const SaveFormat& format, const std::u16string& path) {
  return Format("Saving %s file '%s'...", format.log_name, ToUtf8(path).c_str());
}

std::string SaveExtensionList() {
  std::string out;
  const size_t n = std::size(kFormats);
  for (size_t i = 0; i < n; ++i) {
    if (i > 0) out += i + 1 == n ? " or " : ", ";
    out += ToUtf8(std::u16string(kFormats[i].extension));
  }
  return out;
}

const SaveFormat* FindSelectionSaveFormat(const std::u16string& path) {
  const SaveFormat* f = FindSaveFormat(path);
  return f && (f->extension == u".ssa" || IsSubRip(*f)) ? f : nullptr;
}

bool IsSubRip(const SaveFormat& format) {
  return format.extension == u".srt";
}

}  // namespace tessera
