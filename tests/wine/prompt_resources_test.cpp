// The prompt's resources in the built vrpph.dll, found by the ids the
// resource script and the code share: the dialog template, the bitmap and
// the manifest.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "wine/support/vrpph_dll.h"

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
  DWORD style;
  DWORD exStyle;
};

class PromptResourcesWineTest : public ::testing::Test {
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

// What the prompt's code and its users rely on: the dialog's frame, caption
// and font, and each control it drives by its id, of the right class and
// kind. Where the controls sit is the template's own business.
TEST_F(PromptResourcesWineTest, DialogTemplateHoldsEveryControlThePromptDrives) {
  const std::vector<unsigned char> bytes = Resource(RT_DIALOG, VRPPH_PROMPT_DIALOG, kEnglishUs);
  ASSERT_FALSE(bytes.empty()) << "no English (United States) dialog";
  TemplateReader read(bytes.data(), bytes.size());
  EXPECT_EQ(read.Word(), 1) << "dlgVer";
  EXPECT_EQ(read.Word(), 0xFFFF) << "a DIALOGEX signature";
  read.Dword();  // help id
  read.Dword();  // extended style
  const DWORD style = read.Dword();
  EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT),
            static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
  const WORD count = read.Word();
  for (int i = 0; i < 4; ++i) read.Short();  // where and how large
  EXPECT_EQ(read.NameOrOrdinal(), "") << "no menu";
  EXPECT_EQ(read.NameOrOrdinal(), "") << "the standard dialog class";
  EXPECT_EQ(read.String(), "File download");
  EXPECT_EQ(read.Word(), 8) << "point size";
  read.Word();  // weight
  EXPECT_EQ(read.Word() >> 8, DEFAULT_CHARSET);
  EXPECT_EQ(read.String(), "MS Sans Serif");

  std::vector<Control> controls;
  for (WORD i = 0; i < count && !read.overrun(); ++i) {
    read.AlignDword();
    Control c{};
    read.Dword();  // help id
    c.exStyle = read.Dword();
    c.style = read.Dword();
    for (int k = 0; k < 4; ++k) read.Short();
    c.id = read.Dword();
    c.windowClass = read.NameOrOrdinal();
    c.text = read.NameOrOrdinal();
    const WORD extra = read.Word();
    for (WORD k = 0; k < extra; ++k) read.Word();  // never odd here
    controls.push_back(c);
  }
  ASSERT_FALSE(read.overrun());

  const std::string button = "#128";
  const std::string statik = "#130";
  struct Expected {
    DWORD id;
    std::string windowClass;
    DWORD kindMask;
    DWORD kind;
  };
  const Expected expected[] = {
      {VRPPH_PROMPT_OK, button, BS_TYPEMASK, BS_DEFPUSHBUTTON},
      {VRPPH_PROMPT_CANCEL, button, BS_TYPEMASK, BS_PUSHBUTTON},
      {VRPPH_PROMPT_ADVANCED, button, BS_TYPEMASK, BS_PUSHBUTTON},
      {VRPPH_PROMPT_ABOUT, button, BS_TYPEMASK, BS_PUSHBUTTON},
      {VRPPH_PROMPT_RUN_CHOICE, button, BS_TYPEMASK, BS_AUTORADIOBUTTON},
      {VRPPH_PROMPT_SAVE_CHOICE, button, BS_TYPEMASK, BS_AUTORADIOBUTTON},
      {VRPPH_PROMPT_ALWAYS_ASK, button, BS_TYPEMASK, BS_AUTOCHECKBOX},
      {VRPPH_PROMPT_SPEED, TRACKBAR_CLASSA, TBS_AUTOTICKS, TBS_AUTOTICKS},
      {VRPPH_PROMPT_HEADING, statik, SS_TYPEMASK, SS_LEFT},
      {VRPPH_PROMPT_FILE_LINE, statik, SS_TYPEMASK, SS_LEFT},
      {VRPPH_PROMPT_QUESTION, statik, SS_TYPEMASK, SS_LEFT},
      {VRPPH_PROMPT_SPEED_CAPTION, statik, SS_TYPEMASK, SS_LEFT},
      {VRPPH_PROMPT_SPEED_LABEL, statik, SS_TYPEMASK, SS_LEFT},
      {VRPPH_PROMPT_SEPARATOR, statik, SS_TYPEMASK, SS_ETCHEDHORZ},
      {VRPPH_PROMPT_PICTURE_CONTROL, statik, SS_TYPEMASK, SS_BITMAP},
  };
  ASSERT_EQ(controls.size(), std::size(expected));
  for (const Expected& want : expected) {
    SCOPED_TRACE("control " + std::to_string(want.id));
    const auto found = std::find_if(controls.begin(), controls.end(), [&](const Control& c) {
      return c.id == want.id && (c.style & want.kindMask) == want.kind;
    });
    ASSERT_NE(found, controls.end());
    // Class names are looked up without regard to case, and windres stores
    // a named class upper-cased.
    EXPECT_EQ(lstrcmpiA(found->windowClass.c_str(), want.windowClass.c_str()), 0) << found->windowClass;
    EXPECT_TRUE(found->style & WS_VISIBLE);
    if (want.windowClass == button) {
      EXPECT_TRUE(found->style & WS_TABSTOP) << "reachable by the keyboard";
    }
    if (want.kind == SS_BITMAP) {
      EXPECT_EQ(found->text, "#" + std::to_string(VRPPH_PROMPT_PICTURE)) << "the picture resource";
    }
  }
}

TEST_F(PromptResourcesWineTest, BitmapIsAnRle8PictureOf120By250WithAFullPalette) {
  const std::vector<unsigned char> bytes = Resource(RT_BITMAP, VRPPH_PROMPT_PICTURE, kEnglishUs);
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
      LoadImageA(dll_.get(), MAKEINTRESOURCEA(VRPPH_PROMPT_PICTURE), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
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

TEST_F(PromptResourcesWineTest, ManifestAsksForCommonControlsSixInLanguage1049) {
  EXPECT_TRUE(Resource(RT_MANIFEST, VRPPH_PROMPT_MANIFEST, kEnglishUs).empty()) << "only the one language";
  const std::vector<unsigned char> bytes = Resource(RT_MANIFEST, VRPPH_PROMPT_MANIFEST, 1049);
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
