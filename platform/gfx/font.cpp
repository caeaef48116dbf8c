// Font files, FreeType faces and the glyph cache.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/gfx/canvas.h"
#include "platform/gfx/glyph_cache.h"
#include "platform/gfx/text_layout.h"

namespace platform {

namespace gfx_detail {

// The faces of one style: the Tahoma-compatible face, and DejaVu Sans for the characters it
// lacks. When Tahoma is missing, DejaVu becomes the primary face.
struct FaceSet {
  FT_Face primary = nullptr;
  FT_Face fallback = nullptr;
  std::string primary_path;
  // Some Tahoma-compatible bold files keep the regular face's thin stems and only its wider
  // spacing; their outlines are thickened into that spacing so bold text reads as bold.
  bool thicken_primary = false;
  std::vector<std::unique_ptr<SizedFont>> sizes;  // indexed by pixel height
};

namespace {

constexpr int kMaxPixelHeight = 1024;
// Past this much cached coverage (a generator that renders many sizes), the cache starts over.
constexpr size_t kMaxCachedBytes = size_t(32) << 20;

struct FontSystem {
  std::mutex mutex;
  bool loaded = false;
  FT_Library library = nullptr;
  FaceSet styles[2];                     // regular, bold
  std::vector<std::string> directories;  // empty: the standard places
};

// Never destroyed, so that text drawn while the process exits finds its fonts still there.
FontSystem& fonts() {
  static FontSystem* system = new FontSystem;
  return *system;
}

std::vector<std::string> standard_directories() {
  std::vector<std::string> dirs;
  if (const char* env = std::getenv("CORVEX_FONT_DIR"); env && *env) dirs.emplace_back(env);
  for (const char* d :
       {"/usr/share/wine/fonts", "/usr/share/fonts/truetype/wine", "/usr/share/fonts/wine",
        "/usr/share/fonts/truetype/dejavu", "/usr/share/fonts/dejavu", "/usr/share/fonts/TTF",
        "/usr/share/fonts/truetype", "/usr/local/share/fonts"}) {
    dirs.emplace_back(d);
  }
  return dirs;
}

bool same_name(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// The first file called `name` (in any letter case) in the folders, or "".
std::string find_font_file(const std::vector<std::string>& dirs, const char* name) {
  namespace fs = std::filesystem;
  for (const std::string& dir : dirs) {
    std::error_code ec;
    const fs::path exact = fs::path(dir) / name;
    if (fs::is_regular_file(exact, ec)) return exact.string();
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
      if (same_name(it->path().filename().string(), name) && it->is_regular_file(ec)) {
        return it->path().string();
      }
    }
  }
  return {};
}

FT_Face open_face(FT_Library library, const std::string& path) {
  FT_Face face = nullptr;
  if (path.empty() || FT_New_Face(library, path.c_str(), 0, &face) != 0) return nullptr;
  if (!(face->face_flags & FT_FACE_FLAG_SCALABLE)) {
    FT_Done_Face(face);
    return nullptr;
  }
  FT_Select_Charmap(face, FT_ENCODING_UNICODE);
  return face;
}

void load_style(FontSystem& fs, FaceSet& set, const std::vector<std::string>& dirs,
                const char* tahoma, const char* dejavu) {
  const std::string primary = find_font_file(dirs, tahoma);
  const std::string fallback = find_font_file(dirs, dejavu);
  set.primary = open_face(fs.library, primary);
  if (set.primary) {
    set.primary_path = primary;
    set.fallback = open_face(fs.library, fallback);
  } else if ((set.primary = open_face(fs.library, fallback))) {
    set.primary_path = fallback;
  }
}

// Stem width of "l" as a share of the em, 0 when the face has no such glyph.
double stem_of(FT_Face face) {
  if (!face || face->units_per_EM == 0) return 0;
  const FT_UInt index = FT_Get_Char_Index(face, 'l');
  if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) != 0 ||
      face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
    return 0;
  }
  FT_BBox box;
  FT_Outline_Get_CBox(&face->glyph->outline, &box);
  return double(box.xMax - box.xMin) / face->units_per_EM;
}

void load_fonts(FontSystem& fs) {
  fs.loaded = true;
  if (!fs.library && FT_Init_FreeType(&fs.library) != 0) {
    fs.library = nullptr;
    return;
  }
  const std::vector<std::string> dirs =
      fs.directories.empty() ? standard_directories() : fs.directories;
  load_style(fs, fs.styles[0], dirs, "tahoma.ttf", "DejaVuSans.ttf");
  load_style(fs, fs.styles[1], dirs, "tahomabd.ttf", "DejaVuSans-Bold.ttf");
  if (!fs.styles[1].primary && fs.styles[0].primary) {
    // No bold file at all: bold text is drawn in the regular face rather than not at all.
    fs.styles[1].primary = open_face(fs.library, fs.styles[0].primary_path);
    fs.styles[1].primary_path = fs.styles[0].primary_path;
  }
  const double regular_stem = stem_of(fs.styles[0].primary);
  const double bold_stem = stem_of(fs.styles[1].primary);
  fs.styles[1].thicken_primary = regular_stem > 0 && bold_stem < regular_stem * 1.25;
}

void unload_fonts(FontSystem& fs) {
  for (FaceSet& set : fs.styles) {
    set.sizes.clear();
    if (set.primary) FT_Done_Face(set.primary);
    if (set.fallback) FT_Done_Face(set.fallback);
    set = FaceSet{};
  }
  fs.loaded = false;
}

size_t cached_bytes(const FontSystem& fs) {
  size_t total = 0;
  for (const FaceSet& set : fs.styles) {
    for (const auto& size : set.sizes) total += size ? size->cached_bytes() : 0;
  }
  return total;
}

// Copies FreeType's rendered bitmap (grey or one-bit) into the glyph as 8-bit coverage.
void copy_coverage(const FT_Bitmap& bm, Glyph& g) {
  g.width = static_cast<int>(bm.width);
  g.height = static_cast<int>(bm.rows);
  g.coverage.assign(size_t(g.width) * g.height, 0);
  for (int y = 0; y < g.height; ++y) {
    const uint8_t* src = bm.buffer + (bm.pitch >= 0 ? y : y - (g.height - 1)) * bm.pitch;
    uint8_t* dst = g.coverage.data() + size_t(y) * g.width;
    for (int x = 0; x < g.width; ++x) {
      if (bm.pixel_mode == FT_PIXEL_MODE_MONO) {
        dst[x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
      } else {
        dst[x] = src[x];
      }
    }
  }
}

// Widens the outline's stems by about the difference between Tahoma's regular and bold
// stems, keeping the glyph centred in its advance. Always true, so it chains in a condition.
bool thicken(FT_GlyphSlot slot, int pixel_height) {
  if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return true;
  const FT_Pos x_strength = FT_Pos(pixel_height * 64 * 0.065);
  const FT_Pos y_strength = FT_Pos(pixel_height * 64 * 0.015);
  FT_Outline_EmboldenXY(&slot->outline, x_strength, y_strength);
  FT_Outline_Translate(&slot->outline, -x_strength / 2, 0);
  return true;
}

}  // namespace

SizedFont::SizedFont(FaceSet& faces, int pixel_height)
    : faces_(faces), pixel_height_(pixel_height) {
  FT_Face face = faces_.primary;
  FT_Set_Pixel_Sizes(face, 0, pixel_height_);
  // The panel's platform lays text out by the face's Windows ascent and descent; faces
  // without them fall back to FreeType's scaled metrics.
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF && face->units_per_EM > 0 &&
      os2->usWinAscent + os2->usWinDescent > 0) {
    const double scale = double(pixel_height_) / face->units_per_EM;
    ascent_ = static_cast<int>(std::lround(os2->usWinAscent * scale));
    descent_ = static_cast<int>(std::lround(os2->usWinDescent * scale));
  } else {
    ascent_ = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
    descent_ = static_cast<int>((-face->size->metrics.descender + 63) >> 6);
  }
}

const Glyph& SizedFont::render(char32_t cp) {
  FT_Face face = faces_.primary;
  FT_UInt index = FT_Get_Char_Index(face, cp);
  if (index == 0 && faces_.fallback) {
    if (const FT_UInt other = FT_Get_Char_Index(faces_.fallback, cp)) {
      face = faces_.fallback;
      index = other;
    }
  }
  Glyph& g = glyphs_[cp];
  if (FT_Set_Pixel_Sizes(face, 0, pixel_height_) == 0 &&
      FT_Load_Glyph(face, index, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_LIGHT) == 0 &&
      (face != faces_.primary || !faces_.thicken_primary || thicken(face->glyph, pixel_height_)) &&
      FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) == 0) {
    const FT_GlyphSlot slot = face->glyph;
    copy_coverage(slot->bitmap, g);
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
  }
  cached_bytes_ += g.coverage.size() + sizeof(Glyph) + 32;
  if (cp < ascii_.size()) ascii_[cp] = &g;
  return g;
}

FontAccess::FontAccess() : lock_(fonts().mutex) {
  FontSystem& fs = fonts();
  if (fs.loaded && cached_bytes(fs) > kMaxCachedBytes) {
    for (FaceSet& set : fs.styles) set.sizes.clear();
  }
}

SizedFont* FontAccess::find(const FontSpec& font_spec) {
  FontSystem& fs = fonts();
  if (!fs.loaded) load_fonts(fs);
  if (font_spec.pixel_height <= 0) return nullptr;
  const int height = std::min(font_spec.pixel_height, kMaxPixelHeight);
  FaceSet& set = fs.styles[font_spec.weight >= 600 ? 1 : 0];
  if (!set.primary) return nullptr;
  if (set.sizes.size() <= size_t(height)) set.sizes.resize(height + 1);
  std::unique_ptr<SizedFont>& sized = set.sizes[height];
  if (!sized) sized = std::make_unique<SizedFont>(set, height);
  return sized.get();
}

}  // namespace gfx_detail

// Width of one line (tabs as single spaces, controls as nothing) and the font's line height.
Size measure_text_line(std::string_view utf8, const FontSpec& font_spec) {
  gfx_detail::FontAccess access;
  gfx_detail::SizedFont* font = access.find(font_spec);
  if (!font) return {};
  gfx_detail::TextLayout layout(*font, text_format::kSingleLine);
  return {layout.line_width(utf8), font->line_height()};
}

// Ascent plus descent of the font, 0 when no face is available.
int font_line_height(const FontSpec& font_spec) {
  gfx_detail::FontAccess access;
  gfx_detail::SizedFont* font = access.find(font_spec);
  return font ? font->line_height() : 0;
}

// The file of the regular or bold face in use, "" when none was found.
std::string font_file_in_use(bool bold) {
  gfx_detail::FontAccess access;
  access.find(font(16, bold ? 700 : 400));
  return gfx_detail::fonts().styles[bold ? 1 : 0].primary_path;
}

// Replaces the font folders and starts the cache over.
void set_font_directories(const std::vector<std::string>& dirs) {
  gfx_detail::FontAccess access;
  gfx_detail::FontSystem& fs = gfx_detail::fonts();
  gfx_detail::unload_fonts(fs);
  fs.directories = dirs;
}

}  // namespace platform
