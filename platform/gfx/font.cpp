// Font files, FreeType faces and the glyph cache.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
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

// One font file of a style. A thickened face is drawn with its strokes widened: a bold file
// that keeps the regular face's thin stems, or a regular face standing in for bold.
struct StyleFace {
  FT_Face face = nullptr;
  std::string path;
  bool thicken = false;
};

// The faces of one style in order of preference; each character is drawn from the first face
// that has it. Regular: the Tahoma-compatible face, then DejaVu Sans. Bold: the
// Tahoma-compatible bold, then DejaVu Sans Bold, and only then the regular faces thickened, so
// that no bold letter is made from a face that lacks it while a real bold face has it.
struct FaceSet {
  std::vector<StyleFace> faces;
  std::vector<std::unique_ptr<SizedFont>> sizes;  // indexed by pixel height

  FT_Face primary() const { return faces.empty() ? nullptr : faces.front().face; }
  const std::string& primary_path() const {
    static const std::string none;
    return faces.empty() ? none : faces.front().path;
  }
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

void add_face(FontSystem& fs, FaceSet& set, const std::vector<std::string>& dirs,
              const char* name, bool thicken) {
  const std::string path = find_font_file(dirs, name);
  if (FT_Face face = open_face(fs.library, path)) set.faces.push_back({face, path, thicken});
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
  FaceSet& regular = fs.styles[0];
  FaceSet& bold = fs.styles[1];
  add_face(fs, regular, dirs, "tahoma.ttf", false);
  add_face(fs, regular, dirs, "DejaVuSans.ttf", false);
  add_face(fs, bold, dirs, "tahomabd.ttf", false);
  add_face(fs, bold, dirs, "DejaVuSans-Bold.ttf", false);
  // Some Tahoma-compatible bold files keep the regular face's thin stems and only its wider
  // spacing; such a face is thickened so that bold text reads as bold.
  const double regular_stem = stem_of(regular.primary());
  for (StyleFace& f : bold.faces) {
    const double stem = stem_of(f.face);
    f.thicken = regular_stem > 0 && stem > 0 && stem < regular_stem * 1.25;
  }
  add_face(fs, bold, dirs, "tahoma.ttf", true);
  add_face(fs, bold, dirs, "DejaVuSans.ttf", true);
}

void unload_fonts(FontSystem& fs) {
  for (FaceSet& set : fs.styles) {
    set.sizes.clear();
    for (StyleFace& f : set.faces) FT_Done_Face(f.face);
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

// Widens the strokes of a rendered glyph by about the difference between Tahoma's regular and
// bold stems. The coverage is dilated rather than the outline moved, so that every contour
// grows whatever its direction: the faces draw some contours (the bar of "Ы", the accents of
// "Ő") turned the other way, and an outline emboldening shrinks those to nothing. Returns the
// pixels added to the left of the glyph's ink, so that it stays centred in its advance.
int thicken(FT_Library library, FT_Bitmap& bitmap, int pixel_height) {
  const int before = static_cast<int>(bitmap.width);
  const FT_Pos x_strength = FT_Pos(pixel_height * 64 * 0.065);
  const FT_Pos y_strength = FT_Pos(pixel_height * 64 * 0.015);
  if (FT_Bitmap_Embolden(library, &bitmap, x_strength, y_strength) != 0) return 0;
  return (static_cast<int>(bitmap.width) - before) / 2;
}

// The face of the set that has cp, or the first face (whose missing-glyph box is drawn).
const StyleFace& face_for(const FaceSet& set, char32_t cp, FT_UInt& index) {
  for (const StyleFace& f : set.faces) {
    index = FT_Get_Char_Index(f.face, cp);
    if (index != 0) return f;
  }
  index = 0;
  return set.faces.front();
}

}  // namespace

SizedFont::SizedFont(FaceSet& faces, int pixel_height)
    : faces_(faces), pixel_height_(pixel_height) {
  FT_Face face = faces_.primary();
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
  Glyph& g = glyphs_[cp];
  render_into(cp, g, Thicken::AsTheFaceNeeds);
  cached_bytes_ += g.coverage.size() + sizeof(Glyph) + 32;
  if (cp < ascii_.size()) ascii_[cp] = &g;
  return g;
}

bool SizedFont::render_into(char32_t cp, Glyph& g, Thicken thicken_as) {
  FT_UInt index = 0;
  const StyleFace& source = face_for(faces_, cp, index);
  FT_Face face = source.face;
  if (FT_Set_Pixel_Sizes(face, 0, pixel_height_) != 0 ||
      FT_Load_Glyph(face, index, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_LIGHT) != 0 ||
      FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) {
    return false;
  }
  const FT_GlyphSlot slot = face->glyph;
  FT_Bitmap bitmap;
  FT_Bitmap_Init(&bitmap);
  FT_Library library = fonts().library;
  int shift = 0;
  const bool thickened = source.thicken && thicken_as == Thicken::AsTheFaceNeeds;
  if (thickened && FT_Bitmap_Copy(library, &slot->bitmap, &bitmap) == 0) {
    const unsigned rows = bitmap.rows;
    shift = thicken(library, bitmap, pixel_height_);
    g.top = slot->bitmap_top + static_cast<int>(bitmap.rows - rows);
    copy_coverage(bitmap, g);
  } else {
    g.top = slot->bitmap_top;
    copy_coverage(slot->bitmap, g);
  }
  FT_Bitmap_Done(library, &bitmap);
  g.left = slot->bitmap_left - shift;
  g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
  return true;
}

GlyphSource SizedFont::source_of(char32_t cp) const {
  FT_UInt index = 0;
  const StyleFace& f = face_for(faces_, cp, index);
  if (index == 0) return {};
  return {f.path, f.thicken};
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
  if (!set.primary()) return nullptr;
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
  return gfx_detail::fonts().styles[bold ? 1 : 0].primary_path();
}

// The face that draws cp in that font.
GlyphSource glyph_source(char32_t cp, const FontSpec& font_spec) {
  gfx_detail::FontAccess access;
  gfx_detail::SizedFont* font = access.find(font_spec);
  return font ? font->source_of(cp) : GlyphSource{};
}

// Replaces the font folders and starts the cache over.
void set_font_directories(const std::vector<std::string>& dirs) {
  gfx_detail::FontAccess access;
  gfx_detail::FontSystem& fs = gfx_detail::fonts();
  gfx_detail::unload_fonts(fs);
  fs.directories = dirs;
}

}  // namespace platform
