#include "texts/localized_bitmaps.h"

#include <array>
#include <cstdio>

#include "platform/gfx/bmp.h"
#include "platform/io/paths.h"
#include "texts/languages.h"
#include "texts/texts.h"

namespace corvex::texts {

namespace {

struct BitmapEntry {
  std::string_view name;
  platform::Size size;
};

// Sizes are those of the places the images are copied into: the button bar (105 x 40), the
// timer panels, the temperature setpoint panels, the setup menus (175 x 50), the view
// selection (200 x 50, its exit button 158 x 41), the auto-start screen, the graph view's
// trace buttons (110 x 33), the warning help button (200 x 50) and the help picture (500 x 400).
constexpr platform::Size kBar{105, 40};
constexpr platform::Size kTimer{120, 40};
constexpr platform::Size kSetpoint{150, 50};
constexpr platform::Size kMenu{175, 50};
constexpr platform::Size kExit{158, 41};
constexpr platform::Size kView{200, 50};
constexpr platform::Size kAutoStartMenu{140, 50};
constexpr platform::Size kGrain{110, 44};
constexpr platform::Size kTrace{110, 33};
constexpr platform::Size kPicture{500, 400};

constexpr std::array<BitmapEntry, kLocalizedBitmapCount> kBitmaps = {{
    {"PLACE HOLDER", {0, 0}},
    {"GRAPHIC_001_MAIN_TIMERS_BUTTON.BMP", kBar},
    {"GRAPHIC_002_MAIN_TEMP_BUTTON.BMP", kBar},
    {"GRAPHIC_003_MAIN_SETUP_BUTTON.BMP", kBar},
    {"GRAPHIC_004_MAIN_VIEW_BUTTON.BMP", kBar},
    {"GRAPHIC_005_MAIN_MC_BUTTON.BMP", kBar},
    {"GRAPHIC_006_MAIN_AUTO_START_BUTTON.BMP", kMenu},
    {"GRAPHIC_007_LOAD_DELAY_BUTTON.BMP", kTimer},
    {"GRAPHIC_008_FAN_DELAY_BUTTON.BMP", kTimer},
    {"GRAPHIC_009_COOL_DOWN_TIMER_BUTTON.BMP", kTimer},
    {"GRAPHIC_010_OOG_TIMER_BUTTON.BMP", kTimer},
    {"GRAPHIC_011_UNLOAD_DELAY_BUTTON.BMP", kTimer},
    {"GRAPHIC_012_PLENUM_6_SP_BUTTON.BMP", kSetpoint},
    {"GRAPHIC_013_PLENUM_5_SP_BUTTON.BMP", kSetpoint},
    {"GRAPHIC_014_PLENUM_4_SP_BUTTON.BMP", kSetpoint},
    {"GRAPHIC_015_PLENUM_3_SP_BUTTON.BMP", kSetpoint},
    {"GRAPHIC_016_PLENUM_2_SP_BUTTON.BMP", kSetpoint},
    {"GRAPHIC_017_PLENUM_1_SP_BUTTON.BMP", kSetpoint},
    {"GRAPHIC_018_GRAIN_SP_BUTTON.BMP", kSetpoint},
    {"GRAPHIC_019_PLENUM_HI_TEMP_SP_BUTTON.BMP", kSetpoint},
    {"GRAPHIC_020_PLENUM_LO_TEMP_SP_BUTTON.BMP", kSetpoint},
    {"GRAPHIC_021_GRAIN_HI_TEMP_SP_BUTTON.BMP", kSetpoint},
    {"GRAPHIC_022_GRAIN_LO_TEMP_SP_BUTTON.BMP", kSetpoint},
    {"GRAPHIC_023_DRYING_MODE_BUTTON.BMP", kMenu},
    {"GRAPHIC_024_MC_SETUP_BUTTON.BMP", kMenu},
    {"GRAPHIC_025_UNLOAD_PARAMS_BUTTON.BMP", kMenu},
    {"GRAPHIC_026_TEMP_MANAGER_BUTTON.BMP", kMenu},
    {"GRAPHIC_027_BURNER_MODE_BUTTON.BMP", kMenu},
    {"GRAPHIC_028_CALIB_MOIST_SENSOR_BUTTON.BMP", kMenu},
    {"GRAPHIC_029_EXTENDED_SETUP_BUTTON.BMP", kMenu},
    {"GRAPHIC_030_DIAGNOSTICS_BUTTON.BMP", kMenu},
    {"GRAPHIC_031_BURNER_DIFF_BUTTON.BMP", kMenu},
    {"GRAPHIC_032_PRINTER_SETUP_BUTTON.BMP", kMenu},
    {"GRAPHIC_033_MRR_BUTTON.BMP", kMenu},
    {"GRAPHIC_034_SAMPLER_SETUP_BUTTON.BMP", kMenu},
    {"GRAPHIC_035_BPH_CALIB_BUTTON.BMP", kMenu},
    {"GRAPHIC_036_SET_DATE_TIME_BUTTON.BMP", kMenu},
    {"GRAPHIC_037_TEMP_SCALE_BUTTON.BMP", kMenu},
    {"GRAPHIC_038_DRYER_MODEL_BUTTON.BMP", kMenu},
    {"GRAPHIC_039_DATA_LOGGER_BUTTON.BMP", kMenu},
    {"GRAPHIC_040_USER_DEFAULTS_BUTTON.BMP", kMenu},
    {"GRAPHIC_041_SCREEN_EXIT_BUTTON.BMP", kExit},
    {"GRAPHIC_042_TABLE_VIEW_BUTTON.BMP", kView},
    {"GRAPHIC_043_GRAPH_VIEW_BUTTON.BMP", kView},
    {"GRAPHIC_044_OWNERS_MANUAL_BUTTON.BMP", kView},
    {"GRAPHIC_045_HISTORY_BUTTON.BMP", kView},
    {"GRAPHIC_046_SYSTEM_INFO_BUTTON.BMP", kView},
    {"GRAPHIC_047_SOFTWARE_VERSION_BUTTON.BMP", kView},
    {"GRAPHIC_048_AS_GRAIN_SELECT_MENU_BUTTON.BMP", kAutoStartMenu},
    {"GRAPHIC_049_AS_MOISTURE_SETTINGS_MENU_BUTTON.BMP", kAutoStartMenu},
    {"GRAPHIC_050_AS_CORN_BUTTON.BMP", kGrain},
    {"GRAPHIC_051_AS_SOYBEAN_BUTTON.BMP", kGrain},
    {"GRAPHIC_052_AS_WHEAT_BUTTON.BMP", kGrain},
    {"GRAPHIC_053_AS_BARLEY_BUTTON.BMP", kGrain},
    {"GRAPHIC_054_AS_RICE_BUTTON.BMP", kGrain},
    {"GRAPHIC_055_AS_CANOLA_BUTTON.BMP", kGrain},
    {"GRAPHIC_056_AS_FLAX_BUTTON.BMP", kGrain},
    {"GRAPHIC_057_AS_HEMP_BUTTON.BMP", kGrain},
    {"GRAPHIC_058_AS_MILO_BUTTON.BMP", kGrain},
    {"GRAPHIC_059_AS_PISTACHIO_BUTTON.BMP", kGrain},
    {"GRAPHIC_060_AS_RYE_BUTTON.BMP", kGrain},
    {"GRAPHIC_061_AS_OATS_BUTTON.BMP", kGrain},
    {"GRAPHIC_062_AS_BEGIN_BUTTON.BMP", kAutoStartMenu},
    {"GRAPHIC_063_CLEAR_BATCH_COUNT_BUTTON.BMP", kMenu},
    {"GRAPHIC_064_GRAPH_MOIST_IN_BUTTON.BMP", kTrace},
    {"GRAPHIC_065_GRAPH_GRAIN_TEMP_IN_BUTTON.BMP", kTrace},
    {"GRAPHIC_066_GRAPH_MOIST_OUT_BUTTON.BMP", kTrace},
    {"GRAPHIC_067_GRAPH_TEMP_OUT_BUTTON.BMP", kTrace},
    {"GRAPHIC_068_GRAPH_DRYER_TEMP_BUTTON.BMP", kTrace},
    {"GRAPHIC_069_GRAPH_METER_ROLLS_BUTTON.BMP", kTrace},
    {"GRAPHIC_070_PLENUM_2_LO_TEMP_SP_BUTTON.BMP", kSetpoint},
    {"GRAPHIC_071_PLENUM_2_HI_TEMP_SP_BUTTON.BMP", kSetpoint},
    {"GRAPHIC_072_WARNING_HELP_BUTTON.BMP", kView},
    {"GRAPHIC_073_AUTO_START_SETUP_BUTTON.BMP", kMenu},
    {"GRAPHIC_074_REAR_DISCHARGE_IMAGE_1.BMP", kPicture},
    {"GRAPHIC_075_REAR_DISCHARGE_IMAGE_2.BMP", kPicture},
    {"GRAPHIC_076_REAR_DISCHARGE_IMAGE_3.BMP", kPicture},
    {"GRAPHIC_077_REAR_DISCHARGE_IMAGE_4.BMP", kPicture},
}};

struct CachedImage {
  std::optional<platform::Bitmap> bitmap;
  bool tried = false;
  int language = -1;
};
std::array<CachedImage, kLocalizedBitmapCount> g_images;

struct CachedPicture {
  std::string path;
  std::optional<platform::Bitmap> bitmap;
};
// The four rear-discharge images and the warning picture.
std::array<CachedPicture, 5> g_pictures;

constexpr std::string_view kPrefix = "GRAPHIC_000_";
constexpr std::string_view kSuffix = ".BMP";

std::string warning_file_path(int node_id, int warning_number, const char* extension) {
  char name[64];
  std::snprintf(name, sizeof name, "NID_%02d_WARNING_ID_%02d.%s", node_id, warning_number,
                extension);
  std::string path = "Languages\\";
  path.append(folder_code(language_index())).append("\\WarningBitmaps\\").append(name);
  return platform::disk_rooted(path);
}

}  // namespace

std::string_view localized_bitmap_name(int index) {
  if (index < 0 || index >= kLocalizedBitmapCount) return {};
  return kBitmaps[index].name;
}

std::string_view localized_bitmap_control_name(int index) {
  if (index < 1 || index >= kLocalizedBitmapCount) return {};
  std::string_view name = kBitmaps[index].name;
  name.remove_prefix(kPrefix.size());
  name.remove_suffix(kSuffix.size());
  return name;
}

platform::Size localized_bitmap_size(int index) {
  if (index < 1 || index >= kLocalizedBitmapCount) return {};
  return kBitmaps[index].size;
}

std::string localized_bitmap_path(int index) {
  std::string path = "Languages\\";
  path.append(folder_code(language_index())).append("\\Bitmaps\\").append(
      localized_bitmap_name(index));
  return platform::disk_rooted(path);
}

std::optional<platform::Bitmap> load_localized_bitmap(int index) {
  ensure_texts_loaded();
  if (index < 1 || index >= kLocalizedBitmapCount) return std::nullopt;
  const std::string host = platform::translate_path(localized_bitmap_path(index));
  if (host.empty()) return std::nullopt;
  return platform::read_bmp_file(host);
}

const platform::Bitmap* localized_image(int index) {
  if (index < 1 || index >= kLocalizedBitmapCount) return nullptr;
  CachedImage& c = g_images[size_t(index)];
  // The language is read after the load, which performs the lazy text load that settles it.
  if (!c.tried || c.language != language_index()) {
    c.bitmap = load_localized_bitmap(index);
    c.tried = true;
    c.language = language_index();
  }
  return c.bitmap ? &*c.bitmap : nullptr;
}

void release_localized_images(std::span<const int> indexes) {
  for (const int index : indexes) {
    if (index >= 1 && index < kLocalizedBitmapCount) g_images[size_t(index)] = {};
  }
}

const platform::Bitmap* localized_picture(const std::string& panel_path) {
  for (CachedPicture& c : g_pictures) {
    if (c.bitmap && c.path == panel_path) return &*c.bitmap;
  }
  const std::string host = platform::translate_path(panel_path);
  std::optional<platform::Bitmap> b;
  if (!host.empty()) b = platform::read_bmp_file(host);
  if (!b) return nullptr;
  CachedPicture* slot = &g_pictures[0];
  for (CachedPicture& c : g_pictures) {
    if (!c.bitmap) {
      slot = &c;
      break;
    }
  }
  slot->path = panel_path;
  slot->bitmap = std::move(b);
  return &*slot->bitmap;
}

void release_localized_pictures() {
  for (CachedPicture& c : g_pictures) c = {};
}

std::string warning_bitmap_path(int node_id, int warning_number) {
  return warning_file_path(node_id, warning_number, "bmp");
}

std::string warning_text_path(int node_id, int warning_number) {
  return warning_file_path(node_id, warning_number, "txt");
}

}  // namespace corvex::texts
