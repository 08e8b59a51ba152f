#include <gtest/gtest.h>

#include <cstdlib>

#include "movie/avi_info.h"
#include "movie/avi_reader.h"
#include "tests/support/test_util.h"

namespace tessera {
namespace {

using testing::ScratchDir;
using testing::WriteBytes;

// ---- Hand-built files

std::string U32(uint32_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
          static_cast<char>(v >> 24)};
}
std::string U16(uint16_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8)};
}
std::string Chunk(const std::string& id, const std::string& body) {
  std::string c = id + U32(static_cast<uint32_t>(body.size())) + body;
  if (body.size() % 2) c += '\0';
  return c;
}
std::string List(const std::string& type, const std::string& content) {
  return Chunk("LIST", type + content);
}

struct Stream {
  std::string type = "vids";
  std::string handler = "xvid";
  uint32_t scale = 1, rate = 25, length = 250;
  int16_t right = 720, bottom = 576;
  std::string strf;  // empty: no strf chunk
};

std::string Strh(const Stream& s) {
  return s.type + s.handler + U32(0) + U32(0) + U32(0) + U32(s.scale) + U32(s.rate) + U32(0) +
         U32(s.length) + U32(0) + U32(0) + U32(0) + U16(0) + U16(0) +
         U16(static_cast<uint16_t>(s.right)) + U16(static_cast<uint16_t>(s.bottom));
}
std::string Bitmap(int32_t width, int32_t height) {
  return U32(40) + U32(static_cast<uint32_t>(width)) + U32(static_cast<uint32_t>(height)) + U16(1) +
         U16(24) + "XVID" + std::string(20, '\0');
}
std::string Wave(uint16_t tag, uint16_t channels, uint32_t rate, uint32_t avg) {
  return U16(tag) + U16(channels) + U32(rate) + U32(avg) + U16(4) + U16(16);
}

std::string Avi(const std::vector<Stream>& streams) {
  std::string strls;
  for (const Stream& s : streams)
    strls += List("strl", Chunk("strh", Strh(s)) + (s.strf.empty() ? "" : Chunk("strf", s.strf)));
  std::string body = "AVI " + List("hdrl", Chunk("avih", std::string(56, '\0')) + strls) +
                     List("movi", Chunk("00dc", "frame"));
  return "RIFF" + U32(static_cast<uint32_t>(body.size())) + body;
}

AviInfoTexts Describe(const std::string& bytes) {
  AviHeaders h;
  EXPECT_TRUE(ParseAviHeaders(bytes, h));
  return DescribeAvi(u"m.avi", h);
}

Stream Audio(uint16_t tag = 1) {
  Stream a;
  a.type = "auds";
  a.handler = std::string(4, '\0');
  a.scale = 4;
  a.rate = 4 * 8000;
  a.length = 16000;
  a.right = a.bottom = 0;
  a.strf = Wave(tag, 2, 8000, 32000);
  return a;
}

TEST(AviInfo, VideoTexts) {
  struct Case {
    Stream video;
    const char* fourcc;
    const char* codec;
    const char* vendor;
    const char* aspect;
    const char* framerate;
    const char* length;
  };
  auto with = [](auto change) {
    Stream s;
    change(s);
    return s;
  };
  const Case cases[] = {
      {Stream{}, "xvid", "XviD", "open source", "1.250 : 1  (720 x 576)", "25.000", "0:00:10"},
      {with([](Stream& s) { s.handler = "XVID"; }), "XVID", "", "", "1.250 : 1  (720 x 576)",
       "25.000", "0:00:10"},
      {with([](Stream& s) { s.handler = std::string("div\0", 4); }), "div", "", "",
       "1.250 : 1  (720 x 576)", "25.000", "0:00:10"},
      {with([](Stream& s) { s.handler = std::string(4, '\0'); }), "UNKNOWN", "", "",
       "1.250 : 1  (720 x 576)", "25.000", "0:00:10"},
      {with([](Stream& s) { s.handler = "div5"; }), "div5", "DivX 5.0", "www.divx.com",
       "1.250 : 1  (720 x 576)", "25.000", "0:00:10"},
      {with([](Stream& s) { s.length = 137500; }), "xvid", "XviD", "open source",
       "1.250 : 1  (720 x 576)", "25.000", "1:31:40"},
      {with([](Stream& s) { s.scale = 1001, s.rate = 24000, s.length = 86400; }), "xvid", "XviD",
       "open source", "1.250 : 1  (720 x 576)", "23.976", "1:00:03"},
      {with([](Stream& s) { s.rate = 5; }), "xvid", "XviD", "open source", "1.250 : 1  (720 x 576)",
       " 5.000", "0:00:50"},
      {with([](Stream& s) { s.scale = 0; }), "xvid", "XviD", "open source",
       "1.250 : 1  (720 x 576)", "---", "---"},
      {with([](Stream& s) { s.rate = 0; }), "xvid", "XviD", "open source", "1.250 : 1  (720 x 576)",
       "---", "---"},
      // A frame rectangle of height 0: the bitmap's size instead (top-down is negative).
      {with([](Stream& s) { s.bottom = 0, s.strf = Bitmap(640, -480); }), "xvid", "XviD",
       "open source", "1.333 : 1  (640 x 480)", "25.000", "0:00:10"},
      {with([](Stream& s) { s.bottom = 0; }), "xvid", "XviD", "open source", "---", "25.000",
       "0:00:10"},
  };
  for (const Case& c : cases) {
    AviInfoTexts t = Describe(Avi({c.video}));
    SCOPED_TRACE(c.fourcc + std::string(" ") + c.length);
    EXPECT_EQ(ToUtf8(t.fourcc), c.fourcc);
    EXPECT_EQ(ToUtf8(t.codec), c.codec);
    EXPECT_EQ(ToUtf8(t.vendor), c.vendor);
    EXPECT_EQ(ToUtf8(t.aspect_ratio), c.aspect);
    EXPECT_EQ(ToUtf8(t.framerate), c.framerate);
    EXPECT_EQ(ToUtf8(t.length), c.length);
  }
}

TEST(AviInfo, AudioTexts) {
  struct Case {
    std::vector<Stream> streams;
    const char* codec;
    const char* bitrate;
    const char* sampling;
  };
  Stream no_format = Audio();
  no_format.strf.clear();
  const Case cases[] = {
      {{Stream{}, Audio(1)}, "PCM", "256 kbps", "8000 Hz (2 ch)"},
      {{Stream{}, Audio(0x55)}, "MPEG-1 Layer 3", "256 kbps", "8000 Hz (2 ch)"},
      {{Stream{}, Audio(0x2000)}, "ac3 - Dolby Laboratories, Inc", "256 kbps", "8000 Hz (2 ch)"},
      {{Stream{}, Audio(0x161)}, "Unknown", "256 kbps", "8000 Hz (2 ch)"},
      {{Stream{}, no_format}, "Unknown", "", ""},
      {{Stream{}}, "NONE OR UNKNOWN", "", ""},
  };
  for (const Case& c : cases) {
    AviInfoTexts t = Describe(Avi(c.streams));
    EXPECT_EQ(ToUtf8(t.audio_codec), c.codec);
    EXPECT_EQ(ToUtf8(t.audio_bitrate), c.bitrate);
    EXPECT_EQ(ToUtf8(t.sampling_frequency), c.sampling);
  }
}

TEST(AviInfo, WithoutVideoTheLengthComesFromTheAudio) {
  AviInfoTexts t = Describe(Avi({Audio()}));
  EXPECT_EQ(ToUtf8(t.length), "0:00:02");
  for (const std::u16string* box :
       {&t.fourcc, &t.codec, &t.vendor, &t.avg_bitrate, &t.aspect_ratio, &t.framerate})
    EXPECT_TRUE(box->empty());
  Stream a = Audio();
  a.rate = 0;
  EXPECT_EQ(ToUtf8(Describe(Avi({a})).length), "---");
}

TEST(AviInfo, FirstStreamOfEachKindCounts) {
  Stream second;
  second.handler = "div3";
  Stream other_audio = Audio(0x55);
  AviInfoTexts t = Describe(Avi({Audio(1), Stream{}, other_audio, second}));
  EXPECT_EQ(ToUtf8(t.fourcc), "xvid");
  EXPECT_EQ(ToUtf8(t.audio_codec), "PCM");
}

TEST(AviInfo, SizeAndAverageVideoBitrate) {
  AviHeaders h;
  ASSERT_TRUE(ParseAviHeaders(Avi({Stream{}, Audio()}), h));
  // 10 s of video, audio at 32,000 bytes a second: 320,000 of the bytes are audio.
  h.file_size = 1320000;
  AviInfoTexts t = DescribeAvi(u"m.avi", h);
  EXPECT_EQ(ToUtf8(t.avg_bitrate), "800 kbps");
  EXPECT_EQ(ToUtf8(t.size), "1.3 MB   (1,320 KB)");
  h.file_size = 734003200;
  EXPECT_EQ(ToUtf8(DescribeAvi(u"m.avi", h).size), "700.0 MB   (734,003 KB)");
  h.file_size = 4000000000ULL;
  EXPECT_EQ(ToUtf8(DescribeAvi(u"m.avi", h).size), "3814.7 MB   (4000,000 KB)");
  h.file_size = 1000;  // less than the audio claims
  EXPECT_EQ(ToUtf8(DescribeAvi(u"m.avi", h).avg_bitrate), "0 kbps");
  h.video.rate = 0;
  EXPECT_TRUE(DescribeAvi(u"m.avi", h).avg_bitrate.empty());
}

TEST(AviReader, SurvivesDamagedFiles) {
  const std::string good = Avi({Stream{}, Audio()});
  AviHeaders h;
  // Every cut of a good file: either refused or read with what is there.
  for (size_t n = 0; n <= good.size(); ++n) ParseAviHeaders(good.substr(0, n), h);
  EXPECT_FALSE(ParseAviHeaders(good.substr(0, 20), h));
  EXPECT_TRUE(ParseAviHeaders(good.substr(0, good.size() - 30), h));

  EXPECT_FALSE(ParseAviHeaders("RIFF" + U32(0) + "WAVEfmt ", h));
  EXPECT_FALSE(ParseAviHeaders("RIFF" + U32(4) + "AVI " + List("movi", ""), h));

  // Lying sizes: the RIFF size, the header list's size and a stream header's size.
  std::string lying = good;
  lying.replace(4, 4, U32(0));
  ASSERT_TRUE(ParseAviHeaders(lying, h));
  EXPECT_EQ(h.video.rate, 25u);
  lying.replace(16, 4, U32(0xFFFFFFF0));
  ASSERT_TRUE(ParseAviHeaders(lying, h));
  EXPECT_TRUE(h.has_video);
  size_t strl = lying.find("strl");
  lying.replace(strl - 4, 4, U32(0xFFFFFFFF));
  ASSERT_TRUE(ParseAviHeaders(lying, h));
  EXPECT_TRUE(h.has_video);
  EXPECT_FALSE(h.has_audio);  // swallowed by the stream list that claims everything
  size_t strh = lying.find("strh");
  lying.replace(strh + 4, 4, U32(0xFFFFFFFF));
  ASSERT_TRUE(ParseAviHeaders(lying, h));
  EXPECT_EQ(h.video.rate, 25u);

  // A junk chunk before the header list is skipped; one claiming 4 GB ends the walk.
  std::string junk = "RIFF" + U32(0) + "AVI " + Chunk("JUNK", "xyz") + good.substr(12);
  EXPECT_TRUE(ParseAviHeaders(junk, h));
  junk.replace(16, 4, U32(0xFFFFFFFF));
  EXPECT_FALSE(ParseAviHeaders(junk, h));

  // A stream header too short to hold its rectangle reads the rest as zero.
  std::string body =
      "AVI " + List("hdrl", List("strl", Chunk("strh", std::string("vidsdiv3") + U32(0) + U32(0))));
  ASSERT_TRUE(ParseAviHeaders("RIFF" + U32(0) + body, h));
  EXPECT_EQ(ToUtf8(DescribeAvi(u"x", h).framerate), "---");
}

TEST(AviReader, FilesThatCannotBeRead) {
  ScratchDir dir;
  AviInfoTexts kept;
  kept.filename = u"before";
  EXPECT_FALSE(DescribeAviFile(dir.Path16("missing.avi"), kept));
  EXPECT_FALSE(DescribeAviFile(FromUtf8(dir.Dir().string()), kept));
  WriteBytes(dir.Path("text.avi"), "1\r\n00:00:01,000 --> 00:00:02,000\r\nHi\r\n");
  EXPECT_FALSE(DescribeAviFile(dir.Path16("text.avi"), kept));
  EXPECT_EQ(ToUtf8(kept.filename), "before");

  WriteBytes(dir.Path("hand.avi"), Avi({Stream{}}));
  ASSERT_TRUE(DescribeAviFile(dir.Path16("hand.avi"), kept));
  EXPECT_EQ(kept.filename, dir.Path16("hand.avi"));
  EXPECT_EQ(ToUtf8(kept.fourcc), "xvid");
}

// ---- Movies made by ffmpeg

class FfmpegMovies : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0) return;
    dir_ = new ScratchDir;
    auto make = [](const std::string& args, const std::string& name) {
      std::string cmd = "ffmpeg -nostdin -loglevel error -y " + args + " '" +
                        dir_->Path(name).string() + "' 2>/dev/null";
      return std::system(cmd.c_str()) == 0;
    };
    ok_ = make(
              "-f lavfi -i testsrc=duration=2:size=320x240:rate=25 -f lavfi -i "
              "sine=duration=2 -c:v mpeg4 -c:a pcm_s16le",
              "pcm.avi") &&
          make(
              "-f lavfi -i testsrc=duration=1:size=720x576:rate=24000/1001 -f lavfi -i "
              "sine=duration=1 -c:v mpeg4 -vtag xvid -c:a ac3 -ac 2",
              "xvid.avi") &&
          make("-f lavfi -i sine=duration=3:sample_rate=22050 -c:a pcm_s16le", "sound.avi");
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  void SetUp() override {
    if (!dir_) GTEST_SKIP() << "ffmpeg is not installed";
    ASSERT_TRUE(ok_) << "ffmpeg could not make the test movies";
  }
  static AviInfoTexts Info(const std::string& name) {
    AviInfoTexts t;
    EXPECT_TRUE(DescribeAviFile(dir_->Path16(name), t));
    return t;
  }
  static ScratchDir* dir_;
  static bool ok_;
};
ScratchDir* FfmpegMovies::dir_ = nullptr;
bool FfmpegMovies::ok_ = false;

TEST_F(FfmpegMovies, Mpeg4WithPcm) {
  AviInfoTexts t = Info("pcm.avi");
  EXPECT_EQ(ToUtf8(t.aspect_ratio), "1.333 : 1  (320 x 240)");
  EXPECT_EQ(ToUtf8(t.framerate), "25.000");
  EXPECT_EQ(ToUtf8(t.length), "0:00:02");
  EXPECT_EQ(ToUtf8(t.fourcc), "FMP4");
  EXPECT_TRUE(t.codec.empty());
  EXPECT_EQ(ToUtf8(t.audio_codec), "PCM");
  EXPECT_EQ(ToUtf8(t.audio_bitrate), "705 kbps");  // 44,100 x 2 bytes x 8
  EXPECT_EQ(ToUtf8(t.sampling_frequency), "44100 Hz (1 ch)");
  uint64_t size = std::filesystem::file_size(dir_->Path("pcm.avi"));
  EXPECT_EQ(ToUtf8(t.size), ToUtf8(Format("%0.1f MB   (%d,%03d KB)", size / 1048576.0,
                                          static_cast<int>(size / 1000000),
                                          static_cast<int>(size % 1000000 / 1000))));
  EXPECT_EQ(ToUtf8(t.avg_bitrate),
            ToUtf8(Format("%d kbps", static_cast<int>((size - 88200.0 * 2) * 8 / 1000 / 2))));
}

TEST_F(FfmpegMovies, XvidWithAc3) {
  AviInfoTexts t = Info("xvid.avi");
  EXPECT_EQ(ToUtf8(t.aspect_ratio), "1.250 : 1  (720 x 576)");
  EXPECT_EQ(ToUtf8(t.framerate), "23.976");
  EXPECT_EQ(ToUtf8(t.codec), "XviD");
  EXPECT_EQ(ToUtf8(t.vendor), "open source");
  EXPECT_EQ(ToUtf8(t.audio_codec), "ac3 - Dolby Laboratories, Inc");
  EXPECT_EQ(ToUtf8(t.sampling_frequency), "44100 Hz (2 ch)");
}

TEST_F(FfmpegMovies, SoundOnly) {
  AviInfoTexts t = Info("sound.avi");
  EXPECT_EQ(ToUtf8(t.length), "0:00:03");
  EXPECT_TRUE(t.fourcc.empty());
  EXPECT_TRUE(t.framerate.empty());
  EXPECT_EQ(ToUtf8(t.sampling_frequency), "22050 Hz (1 ch)");
}

TEST_F(FfmpegMovies, InfoCommand) {
  const std::string path = dir_->Path("xvid.avi").string();
  auto info = [&](const std::string& file) {
    return testing::RunCli("info " + testing::Quote(file), dir_->Path("none.cfg"));
  };
  const testing::CliRun run = info(path);
  ASSERT_EQ(run.code, 0);
  AviInfoTexts t = Info("xvid.avi");
  EXPECT_EQ(run.out, "Filename " + path + "\nSize " + ToUtf8(t.size) +
                         "\nAspect Ratio: 1.250 : 1  (720 x 576)\nFramerate: 23.976\nLength: "
                         "0:00:01\nFourCC xvid\nCodec XviD\nVendor open source\nAvg Bitrate " +
                         ToUtf8(t.avg_bitrate) +
                         "\nCodec: ac3 - Dolby Laboratories, Inc\nBitrate: 192 kbps\nSampling "
                         "frequency: 44100 Hz (2 ch)\n");
  const testing::CliRun missing = info(dir_->Path("missing.avi").string());
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.out, "");
}

}  // namespace
}  // namespace tessera
