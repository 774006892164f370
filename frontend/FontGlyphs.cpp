// Kanji patterns from a host font through fontconfig and FreeType.
#include "FontGlyphs.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <unicode/uchar.h>
#include <unicode/ucnv.h>

#include <array>
#include <string>
#include <map>
#include <utility>

namespace {

// The faces the window asks for, in its order of preference.
constexpr std::array<const char*, 4> Families = {"MS Gothic", "ＭＳ ゴシック", "IPAGothic",
                                                 "Noto Sans Mono CJK JP"};
constexpr int PixelSize = 16;
constexpr int Baseline = 14;

// A face fontconfig chose, with the FreeType load flags that follow its
// rendering choices for it: hint style "none" loads outlines unhinted, any
// other style hints them for a one-bit target; the autohinter and embedded
// bitmaps as configured.
struct TFaceChoice {
  std::string File;
  int Index = 0;
  FT_Int32 LoadFlags = FT_LOAD_DEFAULT | FT_LOAD_TARGET_MONO;
};

TFaceChoice ChoiceOf(FcPattern* font) {
  TFaceChoice c;
  FcChar8* path = nullptr;
  if (FcPatternGetString(font, FC_FILE, 0, &path) == FcResultMatch) c.File = reinterpret_cast<const char*>(path);
  FcPatternGetInteger(font, FC_INDEX, 0, &c.Index);
  int style = FC_HINT_FULL;
  FcPatternGetInteger(font, FC_HINT_STYLE, 0, &style);
  FcBool autoHint = FcFalse, bitmaps = FcTrue;
  FcPatternGetBool(font, FC_AUTOHINT, 0, &autoHint);
  FcPatternGetBool(font, FC_EMBEDDED_BITMAP, 0, &bitmaps);
  c.LoadFlags = FT_LOAD_DEFAULT | (style == FC_HINT_NONE ? FT_LOAD_NO_HINTING : FT_LOAD_TARGET_MONO);
  if (autoHint) c.LoadFlags |= FT_LOAD_FORCE_AUTOHINT;
  if (!bitmaps) c.LoadFlags |= FT_LOAD_NO_BITMAP;
  return c;
}

// A pattern asking for the family at the glyph size, with fontconfig's
// configuration applied.
FcPattern* Request(FcConfig* config, const char* family) {
  FcPattern* want = FcPatternCreate();
  FcPatternAddString(want, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcPatternAddDouble(want, FC_PIXEL_SIZE, PixelSize);
  FcConfigSubstitute(config, want, FcMatchPattern);
  FcDefaultSubstitute(want);
  return want;
}

// The first family of the list that is really installed (a match that is
// only a fallback face is skipped).
bool FindFont(FcConfig* config, std::string& family, TFaceChoice& choice) {
  for (const char* name : Families) {
    FcPattern* want = Request(config, name);
    FcResult result = FcResultNoMatch;
    FcPattern* got = FcFontMatch(config, want, &result);
    FcPatternDestroy(want);
    if (got == nullptr) continue;
    bool named = false;
    FcChar8* s = nullptr;
    for (int i = 0; !named && FcPatternGetString(got, FC_FAMILY, i, &s) == FcResultMatch; ++i)
      named = FcStrCmpIgnoreCase(s, reinterpret_cast<const FcChar8*>(name)) == 0;
    if (named) choice = ChoiceOf(got);
    FcPatternDestroy(got);
    if (named && !choice.File.empty()) {
      family = name;
      return true;
    }
  }
  return false;
}

// The face that draws a character the chosen font lacks: the first of
// fontconfig's fallback list for the family that has it.
bool FindFallback(FcConfig* config, const std::string& family, FcChar32 c, TFaceChoice& choice) {
  // The family, then any monospaced face (the window asks for monospace).
  FcPattern* want = FcPatternCreate();
  FcPatternAddString(want, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcValue mono;
  mono.type = FcTypeString;
  mono.u.s = reinterpret_cast<const FcChar8*>("monospace");
  FcPatternAddWeak(want, FC_FAMILY, mono, FcTrue);
  FcPatternAddDouble(want, FC_PIXEL_SIZE, PixelSize);
  FcConfigSubstitute(config, want, FcMatchPattern);
  FcDefaultSubstitute(want);
  FcResult result = FcResultNoMatch;
  FcFontSet* fonts = FcFontSort(config, want, FcTrue, nullptr, &result);
  bool found = false;
  for (int i = 0; fonts != nullptr && !found && i < fonts->nfont; ++i) {
    FcCharSet* cs = nullptr;
    if (FcPatternGetCharSet(fonts->fonts[i], FC_CHARSET, 0, &cs) != FcResultMatch || !FcCharSetHasChar(cs, c))
      continue;
    FcPattern* font = FcFontRenderPrepare(config, want, fonts->fonts[i]);
    if (font == nullptr) continue;
    choice = ChoiceOf(font);
    FcPatternDestroy(font);
    found = !choice.File.empty();
  }
  if (fonts) FcFontSetDestroy(fonts);
  FcPatternDestroy(want);
  return found;
}

// Copies a one-bit FreeType bitmap into the 16 x 16 cell with its top-left
// dot at (x, y), dropping what falls outside.
void Blit(const FT_Bitmap& src, int x, int y, uint8_t bitmap[32]) {
  for (unsigned r = 0; r < src.rows; ++r) {
    const int row = y + static_cast<int>(r);
    if (row < 0 || row >= PixelSize) continue;
    const unsigned char* line = src.buffer + static_cast<long>(r) * src.pitch;
    for (unsigned c = 0; c < src.width; ++c) {
      const int col = x + static_cast<int>(c);
      if (col < 0 || col >= PixelSize || !(line[c >> 3] & (0x80 >> (c & 7)))) continue;
      bitmap[2 * row + (col >> 3)] |= static_cast<uint8_t>(0x80 >> (col & 7));
    }
  }
}

}  // namespace

struct TFontGlyphs::TImpl {
  struct TFace {
    FT_Face Face = nullptr;
    FT_Int32 LoadFlags = 0;
  };

  bool LookedUp = false;
  // Our own fontconfig configuration (the same files as everyone's), so it
  // can be freed whole without disturbing others in the process.
  FcConfig* Config = nullptr;
  std::string Family;
  FT_Library Library = nullptr;
  UConverter* Decoder = nullptr;
  TFace Main;
  // Faces opened for characters the main face lacks, by file and index.
  std::map<std::pair<std::string, int>, TFace> Fallbacks;
  // Characters the main face lacks: where they are drawn from.
  std::map<FcChar32, std::pair<TFace, FT_UInt>> Elsewhere;

  ~TImpl() {
    if (Decoder) ucnv_close(Decoder);
    for (auto& f : Fallbacks)
      if (f.second.Face) FT_Done_Face(f.second.Face);
    if (Main.Face) FT_Done_Face(Main.Face);
    if (Library) FT_Done_FreeType(Library);
    if (Config) FcConfigDestroy(Config);
  }

  TFace Open(const TFaceChoice& c) {
    TFace f;
    if (FT_New_Face(Library, c.File.c_str(), c.Index, &f.Face) != 0) return {};
    if (FT_Set_Char_Size(f.Face, PixelSize * 64, PixelSize * 64, 72, 72) != 0) {
      FT_Done_Face(f.Face);
      return {};
    }
    f.LoadFlags = c.LoadFlags;
    return f;
  }

  void LookUp() {
    if (LookedUp) return;
    LookedUp = true;
    Config = FcInitLoadConfigAndFonts();
    TFaceChoice choice;
    if (Config == nullptr || !FindFont(Config, Family, choice)) return;
    UErrorCode status = U_ZERO_ERROR;
    Decoder = ucnv_open("Shift_JIS", &status);
    if (U_FAILURE(status)) {
      Decoder = nullptr;
      return;
    }
    // A byte sequence that is not a character stops the conversion.
    ucnv_setToUCallBack(Decoder, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
    if (FT_Init_FreeType(&Library) != 0) return;
    Main = Open(choice);
  }

  // The face and glyph that draw c: the main face, else a fallback face,
  // else the main face's missing-glyph box. The search is done once a
  // character.
  std::pair<TFace, FT_UInt> GlyphOf(FcChar32 c) {
    if (const FT_UInt g = FT_Get_Char_Index(Main.Face, c); g != 0) return {Main, g};
    if (auto known = Elsewhere.find(c); known != Elsewhere.end()) return known->second;
    std::pair<TFace, FT_UInt> found{Main, 0};
    TFaceChoice choice;
    if (FindFallback(Config, Family, c, choice)) {
      auto key = std::make_pair(choice.File, choice.Index);
      auto it = Fallbacks.find(key);
      if (it == Fallbacks.end()) it = Fallbacks.emplace(key, Open(choice)).first;
      if (it->second.Face != nullptr)
        if (const FT_UInt g = FT_Get_Char_Index(it->second.Face, c); g != 0) found = {it->second, g};
    }
    Elsewhere.emplace(c, found);
    return found;
  }

  void Draw(uint16_t sjis, uint8_t bitmap[32]) {
    LookUp();
    if (Main.Face == nullptr) return;
    char bytes[2];
    int n = 0;
    if (sjis >= 0x100) bytes[n++] = static_cast<char>(sjis >> 8);
    bytes[n++] = static_cast<char>(sjis & 0xFF);
    // Decoded as the start of a longer text: a lead byte at the end waits
    // for its trail byte and is not an error (the window's decoder does so).
    UChar text[4];
    UChar* out = text;
    const char* in = bytes;
    UErrorCode status = U_ZERO_ERROR;
    ucnv_reset(Decoder);
    ucnv_toUnicode(Decoder, &out, text + 4, &in, bytes + n, nullptr, false, &status);
    const auto length = out - text;
    if (U_FAILURE(status) || length <= 0 || !Printable(text[0])) return;
    // Characters side by side from the left edge, as a line of text: a tab,
    // form feed or line end after the first character draws nothing, other
    // codes no font has draw the font's missing-glyph box.
    long pen = 0;
    for (long i = 0; i < length; ++i) {
      if (text[i] == u'\t' || text[i] == u'\n' || text[i] == u'\f' || text[i] == u'\r') continue;
      const auto [face, glyph] = GlyphOf(text[i]);
      if (FT_Load_Glyph(face.Face, glyph, face.LoadFlags) != 0) return;
      FT_GlyphSlot slot = face.Face->glyph;
      if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return;
      if (slot->bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
        Blit(slot->bitmap, static_cast<int>(pen >> 6) + slot->bitmap_left, Baseline - slot->bitmap_top, bitmap);
      pen += slot->advance.x;
    }
  }

  // A character that has a picture: not a control, format, surrogate,
  // private-use or unassigned code.
  static bool Printable(UChar c) {
    switch (u_charType(c)) {
      case U_CONTROL_CHAR:
      case U_FORMAT_CHAR:
      case U_SURROGATE:
      case U_PRIVATE_USE_CHAR:
      case U_UNASSIGNED:
        return false;
      default:
        return true;
    }
  }
};

TFontGlyphs::TFontGlyphs() : Impl(std::make_unique<TImpl>()) {}
TFontGlyphs::~TFontGlyphs() = default;

void TFontGlyphs::Draw(uint16_t sjis, uint8_t bitmap[32]) { Impl->Draw(sjis, bitmap); }

bool TFontGlyphs::HasFont() {
  Impl->LookUp();
  return Impl->Main.Face != nullptr;
}
