// Platform fonts through FreeType, with faces chosen by fontconfig (so that
// "Arial" finds an Arial-metric face). The size asked for is the cell height
// (ascent plus descent), as the Windows system font takes it.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H
#include <fontconfig/fontconfig.h>

#include <cmath>
#include <cstring>

#include "raster/raster_platform_font.h"

namespace selvarin {

namespace {

// One FreeType library shared by every live font (user-interface thread only).
FT_Library g_library = nullptr;
int g_libraryUsers = 0;

bool AcquireLibrary() {
  if (!g_library && FT_Init_FreeType(&g_library) != 0) {
    g_library = nullptr;
    return false;
  }
  ++g_libraryUsers;
  return true;
}

void ReleaseLibrary() {
  if (g_libraryUsers > 0 && --g_libraryUsers == 0) {
    FT_Done_FreeType(g_library);
    g_library = nullptr;
  }
}

struct FaceChoice {
  char path[4096] = {};
  char family[128] = {};
  int index = 0;
  int weight = FC_WEIGHT_REGULAR;
  int slant = FC_SLANT_ROMAN;
};

// Fontconfig is never finalised: the host process may be using it too.
bool ChooseFace(const RasterFontRequest& request, FaceChoice& choice) {
  if (!FcInit()) return false;
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return false;
  const char* face = request.face ? request.face : "";
  if (*face) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face));
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(request.weight > 0 ? request.weight : 400));
  FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (!match) return false;
  FcChar8* file = nullptr;
  bool ok = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file &&
            std::strlen(reinterpret_cast<const char*>(file)) < sizeof(choice.path);
  if (ok) {
    std::strcpy(choice.path, reinterpret_cast<const char*>(file));
    FcChar8* family = nullptr;
    if (FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch && family) {
      std::strncpy(choice.family, reinterpret_cast<const char*>(family), sizeof(choice.family) - 1);
    }
    FcPatternGetInteger(match, FC_INDEX, 0, &choice.index);
    FcPatternGetInteger(match, FC_WEIGHT, 0, &choice.weight);
    FcPatternGetInteger(match, FC_SLANT, 0, &choice.slant);
  }
  FcPatternDestroy(match);
  return ok;
}

class FreeTypeFont : public RasterPlatformFont {
 public:
  ~FreeTypeFont() override {
    if (face_) FT_Done_Face(face_);
    if (haveLibrary_) ReleaseLibrary();
  }

  bool Open(const RasterFontRequest& request) {
    FaceChoice choice;
    if (!ChooseFace(request, choice)) return false;
    if (!AcquireLibrary()) return false;
    haveLibrary_ = true;
    if (FT_New_Face(g_library, choice.path, choice.index, &face_) != 0) {
      face_ = nullptr;
      return false;
    }
    std::memcpy(family_, choice.family, sizeof(family_));
    mono_ = request.quality == kRasterQualityNonAntialiased;
    embolden_ = request.weight >= 600 && choice.weight < FC_WEIGHT_DEMIBOLD;
    oblique_ = request.italic && choice.slant == FC_SLANT_ROMAN;
    return SetSize(request.cellHeight);
  }

  int Advance(std::uint32_t codepoint) override {
    if (!Load(codepoint, false)) return 0;
    return static_cast<int>((face_->glyph->advance.x + 32) >> 6);
  }

  bool DrawGlyph(RasterBitmap* scratch, int x, int y, std::uint32_t codepoint) override {
    if (!scratch || !scratch->Bits() || !Load(codepoint, true)) return false;
    const FT_GlyphSlot slot = face_->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    RasterPixel* bits = scratch->Bits();
    const int span = scratch->RowSpan();
    const int left = x + slot->bitmap_left;
    const int top = y + ascent_ - slot->bitmap_top;
    const int pitch = bm.pitch < 0 ? -bm.pitch : bm.pitch;
    for (unsigned row = 0; row < bm.rows; ++row) {
      const int py = top + static_cast<int>(row);
      if (py < 0 || py >= scratch->Height()) continue;
      const unsigned memRow = bm.pitch < 0 ? bm.rows - 1 - row : row;
      const unsigned char* src = bm.buffer + static_cast<long>(memRow) * pitch;
      for (unsigned col = 0; col < bm.width; ++col) {
        const int px = left + static_cast<int>(col);
        if (px < 0 || px >= scratch->Width()) continue;
        int c = 0;
        if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
          c = (src[col >> 3] & (0x80 >> (col & 7))) ? 255 : 0;
        } else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY) {
          c = src[col];
        }
        bits[static_cast<long>(py) * span + px] = 0xFF000000u | static_cast<RasterPixel>(c) * 0x010101u;
      }
    }
    return true;
  }

 private:
  bool SetSize(int cellHeight) {
    if (cellHeight == 0) cellHeight = 16;
    const bool emSize = cellHeight < 0;  // negative: character (em) height, as Windows takes it
    const int size = emSize ? -cellHeight : cellHeight;
    if (!FT_IS_SCALABLE(face_)) {
      if (FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(size)) != 0) return false;
      ascent_ = static_cast<int>((face_->size->metrics.ascender + 32) >> 6);
      lineHeight_ = static_cast<int>((face_->size->metrics.height + 32) >> 6);
      return lineHeight_ > 0;
    }
    double ascentUnits = face_->ascender, descentUnits = -face_->descender;
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
    if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
      ascentUnits = os2->usWinAscent;
      descentUnits = os2->usWinDescent;
    }
    const double cellUnits = ascentUnits + descentUnits;
    if (cellUnits <= 0.0 || face_->units_per_EM == 0) return false;
    const double ppem = emSize ? size : size * static_cast<double>(face_->units_per_EM) / cellUnits;
    const double cell = emSize ? size * cellUnits / face_->units_per_EM : size;
    if (FT_Set_Char_Size(face_, 0, static_cast<FT_F26Dot6>(std::lround(ppem * 64.0)), 72, 72) != 0) return false;
    lineHeight_ = static_cast<int>(std::lround(cell));
    ascent_ = static_cast<int>(std::lround(cell * ascentUnits / cellUnits));
    return lineHeight_ > 0;
  }

  bool Load(std::uint32_t codepoint, bool render) {
    FT_Int32 flags = FT_LOAD_DEFAULT | (mono_ ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
    if (FT_Load_Char(face_, codepoint, flags) != 0) return false;
    FT_GlyphSlot slot = face_->glyph;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
      if (oblique_) FT_GlyphSlot_Oblique(slot);
      if (embolden_) FT_GlyphSlot_Embolden(slot);
    }
    if (!render) return true;
    return FT_Render_Glyph(slot, mono_ ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) == 0;
  }

  FT_Face face_ = nullptr;
  bool haveLibrary_ = false;
  bool mono_ = false;
  bool embolden_ = false;
  bool oblique_ = false;
};

}  // namespace

RasterSystemFont* RasterCreateSystemFont(const RasterFontRequest& request) {
  return RasterPlatformFont::Make<FreeTypeFont>(request);
}

}  // namespace selvarin
