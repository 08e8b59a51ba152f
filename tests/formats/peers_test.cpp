// What Tessera writes opens in the programs its users have: ffmpeg (and so mpv) and Gaupol's
// library aeidon read each writable subtitle format back with the same subtitles.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <regex>
#include <sstream>

#include "core/text_file.h"
#include "formats/save_formats.h"
#include "formats/subrip.h"
#include "tests/support/test_util.h"

namespace tessera {
namespace {

struct Sub {
  double start, end;
  std::string text;  // lines joined by "|"
};

std::string RunCommand(const std::string& cmd) {
  std::string out;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  pclose(p);
  return out;
}

// ffmpeg converts the file to SubRip, which Tessera's reader takes apart; styling tags that
// ffmpeg adds from the script's style are dropped.
std::vector<Sub> ReadWithFfmpeg(const std::filesystem::path& file) {
  std::string srt =
      RunCommand("ffmpeg -nostdin -v error -i " + testing::Quote(file.string()) + " -f srt - 2>&1");
  srt = std::regex_replace(srt, std::regex("<[^>]*>"), "");
  SubtitleDocument doc;
  std::u16string text;
  DecodeTextBytes(srt, text);
  ReadSubRip(doc, text, 0);
  std::vector<Sub> subs;
  for (int i = 0; i < doc.Count(); ++i) {
    std::string joined = ToUtf8(doc.Line(i, 0));
    for (int k = 1; k < 3; ++k)
      if (!doc.Line(i, k).empty()) joined += "|" + ToUtf8(doc.Line(i, k));
    subs.push_back({ParseTimeText(doc.Start(i)), ParseTimeText(doc.End(i)), joined});
  }
  if (subs.empty()) ADD_FAILURE() << "ffmpeg said: " << srt;
  return subs;
}

std::vector<Sub> ReadWithAeidon(const std::filesystem::path& file) {
  static const char kScript[] =
      "import sys, aeidon\n"
      "p = aeidon.Project(framerate=aeidon.framerates.FPS_25_000)\n"
      "p.open_main(sys.argv[1], 'utf_8')\n"
      "for s in p.subtitles:\n"
      "    print('%.3f\\t%.3f\\t%s' % (s.start_seconds, s.end_seconds,"
      " s.main_text.replace('\\n', '|')))\n";
  std::string out = RunCommand("/usr/bin/python3 -c " + testing::Quote(kScript) + " " +
                               testing::Quote(file.string()) + " 2>&1");
  std::vector<Sub> subs;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    Sub s{};
    size_t a = line.find('\t'), b = line.find('\t', a + 1);
    if (a == std::string::npos || b == std::string::npos) {
      ADD_FAILURE() << "aeidon said: " << out;
      break;
    }
    s.start = std::stod(line.substr(0, a));
    s.end = std::stod(line.substr(a + 1, b - a - 1));
    s.text = line.substr(b + 1);
    subs.push_back(s);
  }
  return subs;
}

TEST(Peers, ReadWhatTesseraWrites) {
  ASSERT_EQ(std::system("ffmpeg -version >/dev/null 2>&1"), 0) << "scripts/setup-deps installs it";
  ASSERT_EQ(std::system("/usr/bin/python3 -c 'import aeidon' 2>/dev/null"), 0)
      << "scripts/setup-deps installs python3-aeidon";
  SubtitleDocument doc;
  doc.AppendLog(u"Trying to open the file '/home/someone/Film: the sequel.srt'...");
  doc.AppendLog(u"[Events]");  // a log line that looks like a section stays a comment
  doc.AppendLog(u"Detected SubRip format.");
  const std::vector<Sub> want = {
      {1.0, 2.5, "Caf\xc3\xa9 cr\xc3\xa8me, s'il vous pla\xc3\xaet"},
      {3.04, 5.0, "Zwei|Zeilen: \xc3\xbc\xc3\xb6\xc3\xa4\xc3\x9f"},
      {6.2, 7.96, "\xd0\x96\xd1\x83\xd0\xba|\xe4\xb8\xad\xe6\x96\x87|three"},
      {3723.4, 3725.0, "An hour later"},
  };
  for (const Sub& s : want) {
    std::u16string lines[3];
    std::u16string t = FromUtf8(s.text);
    for (int k = 0, from = 0; k < 3 && from <= static_cast<int>(t.size()); ++k) {
      size_t bar = t.find(u'|', from);
      lines[k] = t.substr(from, bar == std::u16string::npos ? std::u16string::npos : bar - from);
      if (bar == std::u16string::npos) break;
      from = static_cast<int>(bar) + 1;
    }
    doc.AddRow(FormatTimeText(s.start), FormatTimeText(s.end), lines[0], lines[1], lines[2]);
  }
  AppSettings settings;  // defaults: "Encoding" 0, "SsaVersion" 1, 25 frames per second
  testing::ScratchDir dir;
  for (const SaveFormat& f : SaveFormats()) {
    if (f.extension == u".txt") continue;  // flat text has no times
    const std::string ext = ToUtf8(std::u16string(f.extension));
    const std::filesystem::path file = dir.Path("film" + ext);
    ASSERT_EQ(WriteTextFile(file, f.text(doc, -1, -1, settings), settings.encoding), 1);
    // MicroDVD counts frames: one frame is the tolerance; the others keep hundredths.
    const double tolerance = ext == ".sub" ? 1 / 25.0 + 1e-6 : 0.01 + 1e-6;
    for (const char* reader : {"ffmpeg", "aeidon"}) {
      std::vector<Sub> got =
          std::string(reader) == "ffmpeg" ? ReadWithFfmpeg(file) : ReadWithAeidon(file);
      // aeidon does not know the frame-rate line that ffmpeg, mpv and VLC take the rate from: it
      // shows it as a subtitle of one frame holding the rate.
      if (ext == ".sub" && !got.empty() && got[0].text == "25" && got[0].end < 0.05)
        got.erase(got.begin());
      ASSERT_EQ(got.size(), want.size()) << reader << " on " << ext;
      for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_NEAR(got[i].start, want[i].start, tolerance) << reader << " on " << ext << " #" << i;
        EXPECT_NEAR(got[i].end, want[i].end, tolerance) << reader << " on " << ext << " #" << i;
        EXPECT_EQ(got[i].text, want[i].text) << reader << " on " << ext << " #" << i;
      }
    }
  }
}

}  // namespace
}  // namespace tessera
