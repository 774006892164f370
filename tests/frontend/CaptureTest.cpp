#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Capture.h"

namespace {

constexpr std::array<uint8_t, 8> Identity{0, 1, 2, 3, 4, 5, 6, 7};

std::vector<uint8_t> AllCodes() {
  std::vector<uint8_t> pb(640 * 200);
  for (size_t i = 0; i < pb.size(); ++i) pb[i] = static_cast<uint8_t>((i / 3 + i / 640) & 7);
  return pb;
}

uint32_t Le32(const std::vector<uint8_t>& v, size_t at) {
  return v[at] | v[at + 1] << 8 | v[at + 2] << 16 | static_cast<uint32_t>(v[at + 3]) << 24;
}

TEST(CapturePicture, EachMachineLineOnTwoRows) {
  const auto pb = AllCodes();
  const TCapturePicture pic = BuildCapturePicture(pb, 7, Identity);
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 640; ++x) {
      ASSERT_EQ(pic.At(x, 2 * y), pb[y * 640 + x]);
      ASSERT_EQ(pic.At(x, 2 * y + 1), pb[y * 640 + x]);
    }
}

TEST(CapturePicture, FollowsPlaneMaskAndPalette) {
  const auto pb = AllCodes();
  std::set<uint8_t> seen;
  for (uint8_t c : BuildCapturePicture(pb, 1, Identity).Pixels) seen.insert(c);
  EXPECT_EQ(seen, (std::set<uint8_t>{0, 1}));  // black and blue only

  const std::array<uint8_t, 8> reversed{7, 6, 5, 4, 3, 2, 1, 0};
  const TCapturePicture pic = BuildCapturePicture(pb, 6, reversed);
  for (size_t i = 0; i < pb.size(); i += 97) {
    const int x = static_cast<int>(i % 640), y = static_cast<int>(i / 640);
    ASSERT_EQ(pic.At(x, 2 * y), reversed[pb[i] & 6]);
  }
}

TEST(CapturePicture, ShortBufferAndBadPaletteEntriesStayInRange) {
  std::vector<uint8_t> pb(100, 0xFF);
  const std::array<uint8_t, 8> wild{9, 10, 11, 12, 13, 14, 15, 0xFF};
  const TCapturePicture pic = BuildCapturePicture(pb, 7, wild);
  for (uint8_t c : pic.Pixels) ASSERT_LT(c, 8);
}

TEST(CaptureBmp, HeaderFieldsAndPureColours) {
  const auto pb = AllCodes();
  const TCapturePicture pic = BuildCapturePicture(pb, 7, Identity);
  const std::vector<uint8_t> bmp = EncodeBmp(pic);
  ASSERT_EQ(bmp.size(), 14u + 40 + 32 + 640 * 400);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  EXPECT_EQ(Le32(bmp, 2), bmp.size());
  EXPECT_EQ(Le32(bmp, 10), 86u);     // pixel data offset
  EXPECT_EQ(Le32(bmp, 14), 40u);     // info header size
  EXPECT_EQ(Le32(bmp, 18), 640u);    // width
  EXPECT_EQ(Le32(bmp, 22), 400u);    // height, bottom-up
  EXPECT_EQ(bmp[26] | bmp[27] << 8, 1);
  EXPECT_EQ(bmp[28] | bmp[29] << 8, 8);  // bits per pixel
  EXPECT_EQ(Le32(bmp, 30), 0u);          // uncompressed
  EXPECT_EQ(Le32(bmp, 46), 8u);          // colours used
  // Colour table (B, G, R, 0): the eight pure colours.
  const uint8_t expected[8][3] = {{0, 0, 0},     {255, 0, 0},   {0, 0, 255},     {255, 0, 255},
                                  {0, 255, 0},   {255, 255, 0}, {0, 255, 255},   {255, 255, 255}};
  for (int c = 0; c < 8; ++c)
    for (int k = 0; k < 3; ++k) EXPECT_EQ(bmp[54 + 4 * c + k], expected[c][k]) << c;
  // Last file row is the picture's top row.
  const size_t lastRow = 86 + 399 * 640;
  for (int x = 0; x < 640; ++x) ASSERT_EQ(bmp[lastRow + x], pic.At(x, 0));
  for (size_t i = 86; i < bmp.size(); ++i) ASSERT_LT(bmp[i], 8);
}

TEST(CaptureBmp, SaveReplacesAFileAndReportsFailures) {
  const auto dir = std::filesystem::temp_directory_path() / ("quillon_bmp_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const auto file = dir / "screen.bmp";
  std::ofstream(file) << "old";
  const TCapturePicture pic = BuildCapturePicture(AllCodes(), 7, Identity);
  EXPECT_EQ(SavePicture(pic, file), "");
  std::ifstream in(file, std::ios::binary);
  std::vector<uint8_t> got((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(got, EncodeBmp(pic));
  EXPECT_NE(SavePicture(pic, dir / "missing" / "x.bmp"), "");
  std::filesystem::remove_all(dir);
}

// Both files, decoded, give the same RGB pixels; the name picks the format.
TEST(CapturePng, DecodesToTheBitmapsPixelsAndTheNamePicksTheFormat) {
  const TCapturePicture pic = BuildCapturePicture(AllCodes(), 7, Identity);
  const std::vector<uint8_t> png = EncodePng(pic), bmp = EncodeBmp(pic);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_memory(&image, png.data(), png.size())) << image.message;
  EXPECT_EQ(image.width, 640u);
  EXPECT_EQ(image.height, 400u);
  EXPECT_EQ(image.colormap_entries, 8u) << "a palette picture";
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> rgb(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) << image.message;
  for (int y = 0; y < 400; ++y)
    for (int x = 0; x < 640; ++x) {
      const uint8_t index = bmp[86 + (399 - y) * 640 + x];  // bottom-up rows
      const uint8_t* table = &bmp[54 + 4 * index];       // B, G, R
      const uint8_t* p = &rgb[(y * 640 + x) * 3];
      ASSERT_EQ((std::array<uint8_t, 3>{p[0], p[1], p[2]}), (std::array<uint8_t, 3>{table[2], table[1], table[0]}))
          << x << "," << y;
    }

  const auto dir = std::filesystem::temp_directory_path() / ("quillon_png_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  for (auto [name, isPng] : {std::pair{"a.png", true}, {"b.PNG", true}, {"c.bmp", false}, {"png", false},
                             {"e.png.bmp", false}}) {
    EXPECT_EQ(IsPngName(name), isPng) << name;
    ASSERT_EQ(SavePicture(pic, dir / name), "") << name;
    std::ifstream in(dir / name, std::ios::binary);
    std::vector<uint8_t> got((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(got, isPng ? png : bmp) << name;
  }
  std::filesystem::remove_all(dir);
}

// What a saved picture does to what is already there: a link is written
// through (and stays a link, also when its target does not exist yet), a
// file keeps its mode, a read-only file or a FIFO is refused and left as it
// was, and a name as long as the file system allows is fine.
TEST(CaptureBmp, SaveKeepsLinksModesAndReadOnlyFiles) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("quillon_bmp_rules_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const TCapturePicture pic = BuildCapturePicture(AllCodes(), 7, Identity);
  const std::vector<uint8_t> bmp = EncodeBmp(pic);
  auto contents = [](const fs::path& f) {
    std::ifstream in(f, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), {});
  };
  std::ofstream(dir / "mine.bmp") << "old";
  fs::permissions(dir / "mine.bmp", fs::perms(0600));
  std::ofstream(dir / "ro.bmp") << "old";
  fs::permissions(dir / "ro.bmp", fs::perms(0444));
  fs::create_symlink("target.bmp", dir / "link.bmp");  // dangling
  ASSERT_EQ(::mkfifo((dir / "fifo.bmp").c_str(), 0644), 0);
  const std::string longName(254, 'n');
  struct Case { fs::path path, written; bool ok; unsigned mode; };
  const Case cases[] = {
      {dir / "mine.bmp", dir / "mine.bmp", true, 0600},
      {dir / "link.bmp", dir / "target.bmp", true, 0644},
      {dir / "link.bmp", dir / "target.bmp", true, 0644},  // now a live link
      {dir / longName, dir / longName, true, 0644},
      {dir / "ro.bmp", dir / "ro.bmp", false, 0444},
      {dir / "fifo.bmp", dir / "fifo.bmp", false, 0644},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path.filename().string().substr(0, 20));
    const std::string error = SavePicture(pic, c.path);
    EXPECT_EQ(error.empty(), c.ok) << error;
    if (c.ok) {
      EXPECT_EQ(contents(c.written), bmp);
    }
    EXPECT_EQ(static_cast<unsigned>(fs::status(c.written).permissions()), c.mode);
  }
  EXPECT_TRUE(fs::is_symlink(dir / "link.bmp"));
  EXPECT_EQ(contents(dir / "ro.bmp"), std::vector<uint8_t>({'o', 'l', 'd'}));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 6) << "no temporary file left";
  fs::remove_all(dir);
}

struct TSubRam {
  uint8_t Mem[0x10000] = {};
  std::function<uint8_t(uint16_t)> Reader() {
    return [this](uint16_t a) { return Mem[a]; };
  }
};

TEST(TextCopy, FortyColumnScreen) {
  TSubRam ram;
  ram.Mem[0xD036] = 40;
  ram.Mem[0xD037] = 2;
  const char* line0 = "HELLO";
  for (int i = 0; i < 5; ++i) ram.Mem[0xC000 + i] = static_cast<uint8_t>(line0[i]);
  ram.Mem[0xC000 + 40] = 0xB1;  // second row starts at C028
  const std::string text = CopyTextScreen(ram.Reader());
  ASSERT_EQ(text.size(), 2u * 42);
  EXPECT_EQ(text.substr(0, 42), "HELLO" + std::string(35, ' ') + "\r\n");
  EXPECT_EQ(text.substr(42, 2), "\xB1 ");
  EXPECT_EQ(TextScreenToUtf8(text), "HELLO\n\xEF\xBD\xB1\n");
}

TEST(TextCopy, LimitsAndEmptyScreens) {
  TSubRam ram;
  ram.Mem[0xD036] = 200;
  ram.Mem[0xD037] = 200;
  EXPECT_EQ(CopyTextScreen(ram.Reader()).size(), 25u * 82);
  ram.Mem[0xD037] = 0;
  EXPECT_EQ(CopyTextScreen(ram.Reader()), "");
  ram.Mem[0xD036] = 0;
  ram.Mem[0xD037] = 3;
  EXPECT_EQ(CopyTextScreen(ram.Reader()), "\r\n\r\n\r\n");
}

}  // namespace
