// The prompt's resources in the built vrpph.dll: dialog template 201 read
// back field by field, bitmap 202 and manifest 2.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "vrpph_dll.h"

namespace vrpph::wine_tests {
namespace {

// A DLGTEMPLATEEX walked as the dialog manager walks it: WORD-aligned
// strings or 0xFFFF ordinals, each item DWORD-aligned.
class TemplateReader {
 public:
  TemplateReader(const void* data, std::size_t size)
      : bytes_(static_cast<const unsigned char*>(data)), size_(size) {}

  WORD Word() { return Read<WORD>(); }
  DWORD Dword() { return Read<DWORD>(); }
  short Short() { return Read<short>(); }
  // A name or an ordinal written as "#n".
  std::string NameOrOrdinal() {
    if (Peek() == 0xFFFF) {
      Word();
      return "#" + std::to_string(Word());
    }
    return String();
  }
  std::string String() {
    std::string text;
    for (WORD c = Word(); c != 0; c = Word()) text += static_cast<char>(c);
    return text;
  }
  void AlignDword() { offset_ = (offset_ + 3) & ~std::size_t{3}; }
  [[nodiscard]] bool overrun() const { return overrun_; }

 private:
  WORD Peek() {
    std::size_t saved = offset_;
    WORD value = Word();
    offset_ = saved;
    return value;
  }
  template <typename T>
  T Read() {
    T value{};
    if (offset_ + sizeof value > size_) {
      overrun_ = true;
      return value;
    }
    std::memcpy(&value, bytes_ + offset_, sizeof value);
    offset_ += sizeof value;
    return value;
  }

  const unsigned char* bytes_;
  std::size_t size_;
  std::size_t offset_ = 0;
  bool overrun_ = false;
};

struct Control {
  DWORD id;
  std::string windowClass;
  std::string text;
  short x, y, cx, cy;
  DWORD style;
  DWORD exStyle;
};

class PromptResourcesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(dll_.get(), nullptr) << "cannot load " << VrpphDllPath(); }

  // The bytes of resource `name` of `type` in `language`; empty when missing.
  std::vector<unsigned char> Resource(LPCSTR type, int name, WORD language) {
    HRSRC found = FindResourceExA(dll_.get(), type, MAKEINTRESOURCEA(name), language);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(dll_.get(), found);
    const auto* data = static_cast<const unsigned char*>(LockResource(loaded));
    return std::vector<unsigned char>(data, data + SizeofResource(dll_.get(), found));
  }

  LoadedDll dll_;
};

constexpr WORD kEnglishUs = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

TEST_F(PromptResourcesTest, DialogTemplateMatchesTheTableInEveryField) {
  const std::vector<unsigned char> bytes = Resource(RT_DIALOG, 201, kEnglishUs);
  ASSERT_FALSE(bytes.empty()) << "no English (United States) dialog 201";
  TemplateReader read(bytes.data(), bytes.size());
  EXPECT_EQ(read.Word(), 1) << "dlgVer";
  EXPECT_EQ(read.Word(), 0xFFFF) << "a DIALOGEX signature";
  EXPECT_EQ(read.Dword(), 0u) << "help id";
  EXPECT_EQ(read.Dword(), static_cast<DWORD>(WS_EX_CONTROLPARENT | WS_EX_NOPARENTNOTIFY));
  EXPECT_EQ(read.Dword(), static_cast<DWORD>(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME |
                                             DS_CENTER | DS_SETFONT));
  const WORD count = read.Word();
  EXPECT_EQ(read.Short(), 0);
  EXPECT_EQ(read.Short(), 0);
  EXPECT_EQ(read.Short(), 330);
  EXPECT_EQ(read.Short(), 199);
  EXPECT_EQ(read.NameOrOrdinal(), "") << "no menu";
  EXPECT_EQ(read.NameOrOrdinal(), "") << "the standard dialog class";
  EXPECT_EQ(read.String(), "File download");
  EXPECT_EQ(read.Word(), 8) << "point size";
  EXPECT_EQ(read.Word(), 0) << "weight";
  const WORD italicAndCharset = read.Word();
  EXPECT_EQ(italicAndCharset & 0xFF, 0) << "not italic";
  EXPECT_EQ(italicAndCharset >> 8, DEFAULT_CHARSET);
  EXPECT_EQ(read.String(), "MS Sans Serif");

  std::vector<Control> controls;
  for (WORD i = 0; i < count && !read.overrun(); ++i) {
    read.AlignDword();
    Control c{};
    read.Dword();  // help id
    c.exStyle = read.Dword();
    c.style = read.Dword();
    c.x = read.Short();
    c.y = read.Short();
    c.cx = read.Short();
    c.cy = read.Short();
    c.id = read.Dword();
    c.windowClass = read.NameOrOrdinal();
    c.text = read.NameOrOrdinal();
    const WORD extra = read.Word();
    for (WORD k = 0; k < extra; ++k) read.Word();  // never odd here
    controls.push_back(c);
  }
  ASSERT_FALSE(read.overrun());

  const DWORD child = WS_CHILD | WS_VISIBLE;
  const std::string button = "#128";
  const std::string statik = "#130";
  const std::vector<Control> expected = {
      {1, button, "OK", 105, 176, 50, 14, child | BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
      {2, button, "Cancel", 161, 176, 50, 14, child | BS_PUSHBUTTON | WS_TABSTOP, 0},
      {203, button, "&Advanced", 217, 176, 50, 14, child | BS_PUSHBUTTON | WS_TABSTOP, 0},
      {1007, button, "A&bout", 273, 176, 50, 14, child | BS_PUSHBUTTON | WS_TABSTOP, 0},
      {1002, button, "Run this program from its current location", 109, 74, 212, 10,
       child | BS_AUTORADIOBUTTON | WS_TABSTOP, 0},
      {1003, button, "Save this program to disk", 109, 90, 211, 10, child | BS_AUTORADIOBUTTON | WS_TABSTOP, 0},
      {1001, "msctls_trackbar32", "Slider1", 141, 106, 100, 28,
       child | TBS_HORZ | TBS_AUTOTICKS | TBS_BOTH | WS_TABSTOP, 0},
      {0, statik, "#202", 7, 7, 80, 154, child | SS_BITMAP | SS_REALSIZEIMAGE | SS_NOTIFY, WS_EX_TRANSPARENT},
      {212, button, "Al&ways ask before opening this type of file", 109, 142, 211, 10,
       child | BS_AUTOCHECKBOX | WS_TABSTOP, 0},
      {210, statik, "You have chosen to download a file from this location:", 109, 18, 215, 12,
       child | SS_LEFT | WS_GROUP, 0},
      {202, statik, "file from host", 109, 37, 215, 21, child | SS_LEFT | WS_GROUP, 0},
      {211, statik, "What would you like to do with this file?", 109, 58, 207, 11, child | SS_LEFT | WS_GROUP, 0},
      {1021, statik, "Speed:", 109, 114, 35, 12, child | SS_LEFT | WS_GROUP, 0},
      {201, statik, "Static", 245, 114, 77, 12, child | SS_LEFT | WS_GROUP, 0},
      {1019, statik, "", 7, 168, 314, 1, child | SS_ETCHEDHORZ, 0},
  };
  ASSERT_EQ(controls.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE("control #" + std::to_string(i) + " id " + std::to_string(expected[i].id));
    EXPECT_EQ(controls[i].id, expected[i].id);
    // Class names are looked up without regard to case, and windres stores
    // a named class upper-cased.
    EXPECT_EQ(lstrcmpiA(controls[i].windowClass.c_str(), expected[i].windowClass.c_str()), 0)
        << controls[i].windowClass;
    EXPECT_EQ(controls[i].text, expected[i].text);
    EXPECT_EQ(controls[i].x, expected[i].x);
    EXPECT_EQ(controls[i].y, expected[i].y);
    EXPECT_EQ(controls[i].cx, expected[i].cx);
    EXPECT_EQ(controls[i].cy, expected[i].cy);
    EXPECT_EQ(controls[i].style, expected[i].style);
    EXPECT_EQ(controls[i].exStyle, expected[i].exStyle);
  }
}

TEST_F(PromptResourcesTest, BitmapIsAnRle8PictureOf120By250WithAFullPalette) {
  const std::vector<unsigned char> bytes = Resource(RT_BITMAP, 202, kEnglishUs);
  ASSERT_GE(bytes.size(), sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
  BITMAPINFOHEADER header;
  std::memcpy(&header, bytes.data(), sizeof header);
  EXPECT_EQ(header.biSize, sizeof header);
  EXPECT_EQ(header.biWidth, 120);
  EXPECT_EQ(header.biHeight, 250) << "bottom-up, as RLE8 requires";
  EXPECT_EQ(header.biBitCount, 8);
  EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RLE8));
  EXPECT_EQ(header.biClrUsed, 256u);
  EXPECT_EQ(header.biSizeImage, bytes.size() - sizeof header - 256 * sizeof(RGBQUAD));
  EXPECT_LT(header.biSizeImage, 120u * 250u) << "compressed";

  // The platform decodes it, as the picture control will.
  HBITMAP picture = static_cast<HBITMAP>(
      LoadImageA(dll_.get(), MAKEINTRESOURCEA(202), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  ASSERT_NE(picture, nullptr);
  BITMAP info = {};
  ASSERT_EQ(GetObjectA(picture, sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmWidth, 120);
  EXPECT_EQ(info.bmHeight, 250);
  // Not a blank: the top corner is the gradient's dark blue, the middle is not.
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, picture);
  const COLORREF corner = GetPixel(dc, 0, 0);
  const COLORREF arrow = GetPixel(dc, 60, 160);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(picture);
  EXPECT_LT(GetRValue(corner), 40);
  EXPECT_GT(GetBValue(corner), 90);
  EXPECT_GT(GetGValue(arrow), GetRValue(arrow) + 60) << "a green arrow";
}

TEST_F(PromptResourcesTest, ManifestAsksForCommonControlsSixInLanguage1049) {
  EXPECT_TRUE(Resource(RT_MANIFEST, 2, kEnglishUs).empty()) << "only the one language";
  const std::vector<unsigned char> bytes = Resource(RT_MANIFEST, 2, 1049);
  ASSERT_FALSE(bytes.empty());
  const std::string manifest(bytes.begin(), bytes.end());
  EXPECT_EQ(manifest.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"", 0), 0u);
  for (const char* piece : {"xmlns=\"urn:schemas-microsoft-com:asm.v1\"", "manifestVersion=\"1.0\"",
                            "<assemblyIdentity type=\"win32\" name=\"Vrpph.DownloadPrompt\" version=\"1.0.0.0\" "
                            "processorArchitecture=\"*\"/>",
                            "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\" "
                            "publicKeyToken=\"6595b64144ccf1df\" language=\"*\" processorArchitecture=\"*\""}) {
    EXPECT_NE(manifest.find(piece), std::string::npos) << piece;
  }
  EXPECT_EQ(manifest.find('\0'), std::string::npos) << "its size is its content's";
}

}  // namespace
}  // namespace vrpph::wine_tests
