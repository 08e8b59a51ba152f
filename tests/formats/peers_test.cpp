// What Tessera writes opens in the programs its users have: ffmpeg (and so mpv) and Gaupol's
// library aeidon read each writable subtitle format back with the same subtitles.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <regex>
#include <sstream>

#include "core/language_table.h"
#include "core/text_file.h"
#include "formats/loading.h"
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

// ffmpeg converts the file to SubRip, which Tessera's reader takes apart; styling tags and
// positions that ffmpeg writes in SubRip's way are dropped.
std::vector<Sub> ReadWithFfmpeg(const std::filesystem::path& file) {
  std::string srt =
      RunCommand("ffmpeg -nostdin -v error -i " + testing::Quote(file.string()) + " -f srt - 2>&1");
  srt = std::regex_replace(srt, std::regex("<[^>]*>"), "");
  srt = std::regex_replace(srt, std::regex(R"(\{\\an?[0-9]+\})"), "");  // SubRip's position mark
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

// aeidon gives a subtitle's text in its file's own markup, which a player does not show.
std::string WithoutOwnMarkup(const std::string& text, const std::string& ext) {
  const char* markup = ext == ".ssa" || ext == ".ass" ? R"(\{\\[^}]*\})"
                       : ext == ".sub"                ? R"(\{[yY]:[^}]*\})"
                                                      : "<[^>]*>";
  return std::regex_replace(text, std::regex(markup), "");
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
    s.text = WithoutOwnMarkup(line.substr(b + 1), file.extension().string());
    subs.push_back(s);
  }
  return subs;
}

// Writes `doc` in every writable format with times (or those of `only`) and reads it back with
// both peers.
void ExpectPeersRead(const SubtitleDocument& doc, const std::vector<Sub>& want,
                     const std::vector<std::string>& only = {}) {
  AppSettings settings;  // defaults: "Encoding" 0, "SsaVersion" 1, 25 frames per second
  testing::ScratchDir dir;
  for (const SaveFormat& f : SaveFormats()) {
    if (f.extension == u".txt") continue;  // flat text has no times
    const std::string ext = ToUtf8(std::u16string(f.extension));
    if (!only.empty() && std::find(only.begin(), only.end(), ext) == only.end()) continue;
    const std::filesystem::path file = dir.Path("film" + ext);
    ASSERT_EQ(WriteTextFile(file, f.text(doc, -1, -1, settings), settings.encoding), 1);
    // MicroDVD counts frames: one frame is the tolerance; the others keep hundredths.
    const double tolerance = ext == ".sub" ? 1 / 25.0 + 1e-6 : 0.01 + 1e-6;
    for (const std::string reader : {"ffmpeg", "aeidon"}) {
      // ffmpeg knows MicroDVD by three frame lines at the top: the rate line and two subtitles.
      if (reader == "ffmpeg" && ext == ".sub" && want.size() < 2) continue;
      std::vector<Sub> got = reader == "ffmpeg" ? ReadWithFfmpeg(file) : ReadWithAeidon(file);
      // aeidon does not know the frame-rate line that ffmpeg, mpv and VLC take the rate from: it
      // shows it as a subtitle of no length holding the rate, at its first frame.
      if (ext == ".sub")
        std::erase_if(got, [](const Sub& s) { return s.text == "25" && s.end < 0.05; });
      ASSERT_EQ(got.size(), want.size()) << reader << " on " << ext;
      for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_NEAR(got[i].start, want[i].start, tolerance) << reader << " on " << ext << " #" << i;
        EXPECT_NEAR(got[i].end, want[i].end, tolerance) << reader << " on " << ext << " #" << i;
        EXPECT_EQ(got[i].text, want[i].text) << reader << " on " << ext << " #" << i;
      }
    }
  }
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
  ExpectPeersRead(doc, want);
}

// A small file for each shape that real files have and peers read: what Tessera makes of it,
// written in each format, is what ffmpeg and aeidon read back.
TEST(Peers, ReadWhatTesseraMakesOfOddFiles) {
  testing::ScratchDir dir;
  LanguageTable lang;
  lang.Build(dir.Dir());
  const std::vector<std::string> all;
  const struct Case {
    const char* what;
    const char* name;
    std::string bytes;
    std::vector<Sub> want;
    std::vector<std::string> only;
  } cases[] = {
      {"SAMI at Start=0",
       "start0.smi",
       "<SAMI><BODY>\r\n<SYNC Start=0><P>Hello\r\n<SYNC Start=1000><P>World\r\n"
       "<SYNC Start=2000><P>&nbsp;\r\n</BODY></SAMI>\r\n",
       {{0, 1, "Hello"}, {1, 2, "World"}},
       all},
      {"SAMI paragraph without a class",
       "classless.smi",
       "<sami><body>\r\n<sync start=1000><p class=encc>Hello\r\n<sync start=2000><p "
       "class=encc>&nbsp;\r\n<sync start=4000><p>Bye\r\n<sync start=5000><p>&nbsp;\r\n"
       "</body></sami>\r\n",
       {{1, 2, "Hello"}, {4, 5, "Bye"}},
       all},
      {"SAMI last subtitle without an end",
       "last.smi",
       "<SAMI><BODY><SYNC Start=1000><P>A<SYNC Start=2000><P>B</BODY></SAMI>\r\n",
       {{1, 2, "A"}, {2, 4, "B"}},
       all},
      {"SAMI of five lines, one of blanks",
       "lines.smi",
       "<SAMI><BODY><SYNC Start=1000><P>A<br>&nbsp;<br>B<br>C<br>D<SYNC Start=2000><P>&nbsp;"
       "</BODY></SAMI>\r\n",
       {{1, 2, "A|B|C D"}},
       all},
      {"SubRip with CR line ends and a final CR LF",
       "cr.srt",
       "1\r00:00:01,000 --> 00:00:02,000\rHello\r\r2\r00:00:03,000 --> 00:00:04,000\rWorld\r\n",
       {{1, 2, "Hello"}, {3, 4, "World"}},
       all},
      {"SubRip negative times",
       "negative.srt",
       "1\r\n-00:00:01,000 --> 00:00:02,000\r\nA\r\n\r\n2\r\n-00:00:01,500 --> "
       "00:00:03,000\r\nB\r\n\r\n3\r\n00:00:04,000 --> 00:00:05,000\r\nC\r\n",
       {{0, 2, "A"}, {0, 3, "B"}, {4, 5, "C"}},
       all},
      {"SubRip lines of blanks",
       "blanks.srt",
       "1\r\n00:00:01,000 --> 00:00:02,000\r\nOne\r\n \r\nTwo\r\n\r\n"
       "2\r\n00:00:03,000 --> 00:00:04,000\r\nThree\r\n",
       {{1, 2, "One|Two"}, {3, 4, "Three"}},
       all},
      {"SubStation negative time",
       "negative.ssa",
       "[Script Info]\r\n\r\n[Events]\r\nFormat: Layer, Start, End, Style, Text\r\n"
       "Dialogue: 0,-0:00:06.84,0:00:08.00,Default,A\r\n"
       "Dialogue: 0,0:00:09.00,0:00:10.00,Default,B\r\n",
       {{0, 8, "A"}, {9, 10, "B"}},
       all},
      {"two subtitles as MicroDVD",
       "two.srt",
       "1\r\n00:00:01,000 --> 00:00:02,000\r\nA\r\n\r\n2\r\n00:00:03,000 --> "
       "00:00:04,000\r\nB\r\n",
       {{1, 2, "A"}, {3, 4, "B"}},
       {".sub"}},
      {"SubStation override blocks as WebVTT",
       "marks.ass",
       "[Script Info]\r\nScriptType: v4.00+\r\n\r\n[Events]\r\n"
       "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\r\n"
       "Dialogue: 0,0:00:01.00,0:00:02.00,Default,,0,0,0,,{\\i1}Hello{\\i0} you\r\n"
       "Dialogue: 0,0:00:03.00,0:00:04.00,Default,,0,0,0,,{\\an8}Top\\Nline\r\n",
       {{1, 2, "Hello you"}, {3, 4, "Top|line"}},
       {".vtt", ".ssa", ".ass"}},
      {"MicroDVD codes as WebVTT",
       "codes.sub",
       "{1}{1}25\r\n{25}{50}{y:i}Slanted|plain\r\n{75}{100}{Y:b}Bold\r\n",
       {{1, 2, "Slanted|plain"}, {3, 4, "Bold"}},
       {".vtt", ".sub"}},
      {"WebVTT tags as SubStation and MicroDVD",
       "tags.vtt",
       "WEBVTT\r\n\r\n00:01.000 --> 00:02.000\r\n<i>Hello</i> <b>you</b>\r\n\r\n"
       "00:03.000 --> 00:04.000\r\n<v Bob><i>Whole</i>\r\n",
       {{1, 2, "Hello you"}, {3, 4, "Whole"}},
       {".ssa", ".ass", ".sub", ".vtt"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing::WriteBytes(dir.Path(c.name), c.bytes);
    SubtitleDocument doc;
    SubtitleFormat format{};
    ASSERT_EQ(LoadSubtitleFile(doc, dir.Path16(c.name), format, lang, nullptr), 1);
    ExpectPeersRead(doc, c.want, c.only);
  }
}

}  // namespace
}  // namespace tessera
