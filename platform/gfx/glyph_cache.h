#pragma once
// The glyph cache behind text drawing (internal to platform/gfx). Glyphs are rendered once per
// (face style, pixel height, code point) and kept as coverage bitmaps with their advance, so a
// warm line of text costs no FreeType call and no allocation.
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/gfx/font.h"

namespace platform::gfx_detail {

struct Glyph {
  int left = 0;     // from the pen position to the first coverage column
  int top = 0;      // from the baseline up to the first coverage row
  int width = 0;
  int height = 0;
  int advance = 0;  // pen movement in whole pixels
  std::vector<uint8_t> coverage;  // width * height bytes, 0 = untouched .. 255 = solid
};

struct FaceSet;

// One face style (regular or bold) at one pixel height.
class SizedFont {
 public:
  SizedFont(FaceSet& faces, int pixel_height);

  int ascent() const { return ascent_; }
  int descent() const { return descent_; }
  int line_height() const { return ascent_ + descent_; }
  // The glyph of cp, rendered on first use; a character no face has gets the primary face's
  // missing-glyph box.
  const Glyph& glyph(char32_t cp) {
    if (cp < ascii_.size() && ascii_[cp]) return *ascii_[cp];
    const auto found = glyphs_.find(cp);
    if (found != glyphs_.end()) return found->second;
    return render(cp);
  }
  size_t cached_bytes() const { return cached_bytes_; }

  enum class Thicken { AsTheFaceNeeds, Never };
  // Renders cp into g, uncached; Thicken::Never gives the face's own outline, which a
  // thickened glyph must cover. False when FreeType could not render it.
  bool render_into(char32_t cp, Glyph& g, Thicken thicken);
  GlyphSource source_of(char32_t cp) const;

 private:
  const Glyph& render(char32_t cp);

  FaceSet& faces_;
  int pixel_height_;
  int ascent_ = 0;
  int descent_ = 0;
  size_t cached_bytes_ = 0;
  std::array<const Glyph*, 128> ascii_{};
  std::unordered_map<char32_t, Glyph> glyphs_;  // nodes never move, so ascii_ stays valid
};

// Holds the font lock while it lives. Every FreeType call and every cache look-up happens
// under it, so text may be drawn from a second thread; keep one per drawing call. Glyph
// references stay valid only while the access that produced them lives.
class FontAccess {
 public:
  FontAccess();
  FontAccess(const FontAccess&) = delete;
  FontAccess& operator=(const FontAccess&) = delete;

  // The font of that height and weight, or null when no face file was found or the height
  // is not drawable.
  SizedFont* find(const FontSpec& font_spec);

 private:
  std::unique_lock<std::mutex> lock_;
};

}  // namespace platform::gfx_detail
