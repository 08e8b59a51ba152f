#include "core/ui_texts.h"

#include <algorithm>
#include <iterator>

namespace tessera {
namespace {

struct Caption {
  int id;
  const char16_t* text;
};

// Sorted by id.
constexpr Caption kCaptions[] = {
    // File Operations
    {1101, u"File Operations"},
    {1102, u"Open, save, append, split or convert subs in several formats..."},
    {1103, u"Open"},
    {1104, u"Save"},
    {1105, u"Split"},
    {1106, u"Append"},
    {1107, u"DVDSupEnc."},
    {1108, u"Exit"},
    // Fix Errors
    {1301, u"Fix Errors"},
    {1302, u"Check and fix all kinds of errors and possible problems..."},
    {1303, u"Fix Now"},
    {1304, u"Select All"},
    {1305, u"Select None"},
    {1306, u"Preset 1"},
    {1307, u"Fix overlapping subtitles."},
    {1308, u"Remove trailing dashes on first line"},
    {1309, u"Fix trailing dash format."},
    {1310, u"number of spaces after dash:"},
    {1311, u"Separate 3-line subtitles."},
    {1312, u"Remove credits."},
    {1313, u"Correct OCR errors."},
    {1314, u"Remove Line separators ( ' | ' )"},
    {1315, u"split lines."},
    {1316, u"Remove empty subtitles."},
    {1317, u"Remove format Tags (eg. <i> </i>)"},
    {1318, u"Change ending commas to periods."},
    {1319, u"Add missing periods."},
    {1320, u"Change exclamation marks into periods."},
    {1321, u"Remove duplicates."},
    {1322, u"Fix Invalid times."},
    {1323, u"Fix incorrect notation of numbers. (e.g. 1 997)"},
    // Synchronize
    {1501, u"Synchronize"},
    {1502, u"Move, shift or stretch subtitles..."},
    {1503, u"Move"},
    {1504, u"Stretch"},
    {1505, u"All subtitles"},
    {1506, u"Selection"},
    {1507, u"Sooner"},
    {1508, u"Later"},
    {1509, u"minutes"},
    {1510, u"seconds"},
    {1511, u"ms"},
    {1512, u"Negative."},
    {1513, u"Movement"},
    {1514, u"Stretch"},
    {1515, u"Auto sync..."},
    {1516, u"Auto sync"},
    {1517, u"Apply"},
    {1518, u"Decoding the sound..."},
    {1519, u"Fitting the subtitles..."},
    {1520, u"Cancelling..."},
    {1521,
     u"Synchronize with the sound of the movie '%s'?\r\n\r\nNo chooses another movie or a "
     u"subtitle file."},
    {1522, u"Synchronize with a movie or subtitle file"},
    {1523, u"Movies, sound and subtitle files"},
    // Play Movie
    {1601, u"Play Movie"},
    {1602, u"Play movie with subtitles. Edit, sync, load or save subtitles..."},
    {1603, u"Open AVI"},
    {1604, u"Del. Line"},
    {1605, u"Insert Line"},
    {1606, u"Split Line"},
    {1607, u"Shift"},
    {1608, u"Stretch"},
    {1609, u"Open Sub"},
    {1610, u"Save Sub"},
    {1611, u"&Play"},
    {1612, u"P&ause"},
    {1613, u"&Stop"},
    {1614, u"Auto"},
    {1615, u"Volume:"},
    {1616, u"Duration:"},
    {1617, u"Start:"},
    {1618, u"Play line"},
    {1619, u"No movie loaded"},
    {1620, u"No sound"},
    {1621, u"Reading the sound"},
    // AVI Info
    {1701, u"AVI Info"},
    {1702, u"Show all info regarding audio and video codecs and properties..."},
    {1703, u"Open AVI"},
    {1704, u"File Information:"},
    {1705, u"Filename"},
    {1706, u"Size"},
    {1707, u"Aspect Ratio:"},
    {1708, u"Framerate:"},
    {1709, u"Length:"},
    {1710, u"Video:"},
    {1711, u"FourCC"},
    {1712, u"Codec"},
    {1713, u"Vendor"},
    {1714, u"Avg Bitrate"},
    {1715, u"Audio:"},
    {1716, u"Bitrate:"},
    {1717, u"Sampling frequency:"},
    // FrameRate
    {1801, u"Framerate"},
    {1802, u"Convert from or to NTSC, PAL or custom framerates..."},
    {1803, u"Convert"},
    {1804, u"NTSC2PAL"},
    {1805, u"PAL2NTSC"},
    {1806, u"Standard Framerate conversion"},
    {1807, u"Original FrameRate:"},
    {1808, u"New FrameRate:"},
    {1809, u"Custom Framerate conversion"},
    {1810, u"Use custom"},
    // Options
    {1901, u"Font"},
    {1902, u"Current font :"},
    {1903, u"File format options:"},
    {1904, u"SubStation Alpha (*.ssa) format:"},
    {1906, u"DVDSupEncode"},
    {1907, u"DVDSupEncode location:"},
    {1908, u"My Subtitles folder:"},
    {1911, u"Color Scheme"},
    {1912, u"Even rows"},
    {1913, u"Odd rows"},
    {1914, u"Selection"},
    {1915, u"Default"},
    {1916, u"Spelling and reading speed"},
    {1917, u"Spelling language:"},
    {1918, u"Most characters per second:"},
    {1919, u"Show the CPS column"},
    // Spelling: the Edit page's button and dialog, the line fields' menu
    {2100, u"Spelling"},
    {2101, u"Add to dictionary"},
    {2102, u"Ignore"},
    {2103, u"(no suggestions)"},
    {2104, u"Replace"},
    {2105, u"Replace all"},
    {2106, u"Ignore all"},
    {2107, u"Close"},
    {2108, u"Not in the dictionary:"},
    {2109, u"Replace with:"},
    {2110, u"Suggestions:"},
    {2111, u"The spelling check is complete."},
};

static_assert(std::is_sorted(std::begin(kCaptions), std::end(kCaptions),
                             [](const Caption& a, const Caption& b) { return a.id < b.id; }));

}  // namespace

const char16_t* EnglishCaption(int id) {
  auto it = std::lower_bound(std::begin(kCaptions), std::end(kCaptions), id,
                             [](const Caption& c, int v) { return c.id < v; });
  return it != std::end(kCaptions) && it->id == id ? it->text : nullptr;
}

}  // namespace tessera
