// BMP decoding. Every size, offset and count in the file is checked against the bytes actually
// present before anything is read or allocated.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <bit>
#include <cerrno>
#include <cstring>

#include "platform/gfx/bmp.h"

namespace platform {

namespace {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;
constexpr size_t kFileHeaderSize = 14;

struct Bytes {
  std::span<const uint8_t> d;
  uint16_t u16(size_t at) const { return uint16_t(d[at] | (d[at + 1] << 8)); }
  uint32_t u32(size_t at) const {
    return uint32_t(d[at]) | (uint32_t(d[at + 1]) << 8) | (uint32_t(d[at + 2]) << 16) |
           (uint32_t(d[at + 3]) << 24);
  }
  int32_t i32(size_t at) const { return static_cast<int32_t>(u32(at)); }
};

// One colour channel of a bit-field pixel.
struct Channel {
  uint32_t mask = 0;
  int shift = 0;
  uint32_t max = 0;
  uint8_t value(uint32_t px) const {
    if (max == 0) return 0;
    const uint32_t v = (px & mask) >> shift;
    if (max > 255) return uint8_t(v >> (std::bit_width(max) - 8));
    return uint8_t((v * 255 + max / 2) / max);
  }
};

struct Header {
  int width = 0;
  int height = 0;
  bool top_down = false;
  int bits = 0;
  uint32_t compression = kRgb;
  size_t palette_at = 0;
  int palette_entry = 4;
  uint32_t colours = 0;  // palette entries
  size_t pixels_at = 0;
  std::array<Channel, 3> channels;  // red, green, blue
};

struct Decoder {
  Bytes in;
  std::string* error;
  Header h;
  std::array<Color, 256> palette{};

  std::nullopt_t fail(const std::string& why) {
    if (error) *error = why;
    return std::nullopt;
  }
};

bool make_channel(uint32_t mask, int bits, Channel& c) {
  if (bits < 32 && (mask >> bits) != 0) return false;
  c.mask = mask;
  if (mask == 0) return true;
  c.shift = std::countr_zero(mask);
  const uint32_t v = mask >> c.shift;
  if ((v & (v + 1)) != 0) return false;  // not one run of ones
  c.max = v;
  return true;
}

std::optional<std::string> read_masks(Decoder& dec, uint32_t r, uint32_t g, uint32_t b) {
  Header& h = dec.h;
  if (!make_channel(r, h.bits, h.channels[0]) || !make_channel(g, h.bits, h.channels[1]) ||
      !make_channel(b, h.bits, h.channels[2])) {
    return "bit-field masks are not runs of bits within the pixel";
  }
  return std::nullopt;
}

// The core header, the info header and its V2 to V5 extensions.
bool supported_info_size(uint32_t size) {
  return size == 12 || size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

// Reads the size, depth and compression fields of the 12-byte core header or the 40-byte
// info header (which the V2 to V5 headers begin with); returns the reason for a refusal.
std::optional<std::string> read_dimensions(Decoder& dec, uint32_t info_size, uint32_t& used) {
  const Bytes& in = dec.in;
  Header& h = dec.h;
  int64_t width, height;
  if (info_size == 12) {
    width = in.u16(18);
    height = in.u16(20);
    h.bits = in.u16(24);
    h.palette_entry = 3;
  } else {
    width = in.i32(18);
    height = in.i32(22);
    h.bits = in.u16(28);
    h.compression = in.u32(30);
    used = in.u32(46);
  }
  if (width <= 0) return "width " + std::to_string(width) + " is not positive";
  if (height == 0) return "height is zero";
  h.top_down = height < 0;
  if (height < 0) height = -height;
  if (width > kMaxBmpWidth || height > kMaxBmpHeight) {
    return "image of " + std::to_string(width) + " x " + std::to_string(height) + " is too large";
  }
  h.width = int(width);
  h.height = int(height);
  const int b = h.bits;
  if (b != 1 && b != 2 && b != 4 && b != 8 && b != 16 && b != 24 && b != 32) {
    return "unsupported bit depth " + std::to_string(b);
  }
  return std::nullopt;
}

// Checks the compression against the depth and reads the bit-field masks; returns the reason
// for a refusal.
std::optional<std::string> read_compression(Decoder& dec, uint32_t info_size) {
  const Bytes& in = dec.in;
  Header& h = dec.h;
  const int b = h.bits;
  switch (h.compression) {
    case kRgb:
      if (b == 16) read_masks(dec, 0x7C00, 0x03E0, 0x001F);
      if (b == 32) read_masks(dec, 0xFF0000, 0xFF00, 0xFF);
      return std::nullopt;
    case kRle8:
    case kRle4:
      if (b != (h.compression == kRle8 ? 8 : 4)) {
        return std::string(h.compression == kRle8 ? "RLE8" : "RLE4") + " with " +
               std::to_string(b) + " bits per pixel";
      }
      if (h.top_down) return "run-length encoded bitmap stored top-down";
      return std::nullopt;
    case kBitFields:
    case kAlphaBitFields:
      if (b != 16 && b != 32) return "bit fields with " + std::to_string(b) + " bits per pixel";
      // A plain info header is followed by the masks; the later headers hold them.
      if (info_size == 40) h.palette_at += h.compression == kBitFields ? 12 : 16;
      if (h.palette_at > in.d.size()) return "bit-field masks truncated";
      return read_masks(dec, in.u32(54), in.u32(58), in.u32(62));
    default:
      return "unsupported compression " + std::to_string(h.compression);
  }
}

// Reads the colour table of a depth of 8 bits or less; returns the reason for a refusal.
std::optional<std::string> read_palette(Decoder& dec, uint32_t info_size, uint32_t used) {
  Header& h = dec.h;
  const uint32_t most = 1u << h.bits;
  if (used > most) {
    return "palette of " + std::to_string(used) + " colours is larger than 2^" +
           std::to_string(h.bits);
  }
  h.colours = used ? used : most;
  if (info_size == 12 && h.pixels_at > h.palette_at) {
    // Core files carry no count; their palette is what fits before the pixels.
    h.colours = uint32_t(std::min<size_t>(most, (h.pixels_at - h.palette_at) / 3));
  }
  if (h.palette_at + size_t(h.colours) * h.palette_entry > dec.in.d.size()) {
    return "palette runs past the end of the file";
  }
  for (uint32_t i = 0; i < h.colours; ++i) {
    const uint8_t* entry = dec.in.d.data() + h.palette_at + size_t(i) * h.palette_entry;
    dec.palette[i] = rgb(entry[2], entry[1], entry[0]);
  }
  return std::nullopt;
}

// Reads the file and info headers into dec.h; returns the reason when they are refused.
std::optional<std::string> read_header(Decoder& dec) {
  const Bytes& in = dec.in;
  Header& h = dec.h;
  const size_t size = in.d.size();
  if (size < kFileHeaderSize + 4) return "file too short for a BMP header";
  if (in.d[0] != 'B' || in.d[1] != 'M') return "not a BMP file (no \"BM\" at the start)";
  h.pixels_at = in.u32(10);
  const uint32_t info_size = in.u32(14);
  if (!supported_info_size(info_size)) {
    return "unsupported info header size " + std::to_string(info_size);
  }
  if (kFileHeaderSize + info_size > size) return "info header truncated";
  uint32_t used = 0;
  if (auto why = read_dimensions(dec, info_size, used)) return why;
  h.palette_at = kFileHeaderSize + info_size;
  if (auto why = read_compression(dec, info_size)) return why;
  if (h.bits <= 8) {
    if (auto why = read_palette(dec, info_size, used)) return why;
  }
  const std::string offset = "pixel data offset " + std::to_string(h.pixels_at);
  if (h.pixels_at >= size) return offset + " is past the end of the file";
  if (h.pixels_at < h.palette_at) return offset + " lies inside the headers";
  return std::nullopt;
}

std::string index_error(uint32_t index, uint32_t colours) {
  return "palette index " + std::to_string(index) + " past the " + std::to_string(colours) +
         " colours";
}

uint64_t row_stride(const Header& h) { return ((uint64_t(h.width) * h.bits + 31) / 32) * 4; }

// Checks that every row of an uncompressed bitmap is in the file.
std::optional<std::string> check_rows_present(const Decoder& dec) {
  const uint64_t need = row_stride(dec.h) * uint64_t(dec.h.height);
  const uint64_t present = dec.in.d.size() - dec.h.pixels_at;
  if (need > present) {
    return "pixel data truncated: " + std::to_string(need) + " bytes needed, " +
           std::to_string(present) + " present";
  }
  return std::nullopt;
}

// Decodes the rows of an uncompressed bitmap whose data check_rows_present has accepted.
std::optional<std::string> decode_rows(Decoder& dec, Bitmap& out) {
  const Header& h = dec.h;
  const uint64_t stride = row_stride(h);
  for (int r = 0; r < h.height; ++r) {
    const uint8_t* src = dec.in.d.data() + h.pixels_at + stride * r;
    uint32_t* dst = out.row(h.top_down ? r : h.height - 1 - r);
    for (int x = 0; x < h.width; ++x) {
      if (h.bits <= 8) {
        const int bit = x * h.bits;
        const uint32_t index = (src[bit >> 3] >> (8 - h.bits - (bit & 7))) & ((1u << h.bits) - 1);
        if (index >= h.colours) return index_error(index, h.colours);
        dst[x] = dec.palette[index];
      } else if (h.bits == 24) {
        dst[x] = rgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
      } else {
        const uint32_t px = h.bits == 16 ? uint32_t(src[2 * x] | (src[2 * x + 1] << 8))
                                         : dec.in.u32(h.pixels_at + stride * r + 4 * size_t(x));
        dst[x] = rgb(h.channels[0].value(px), h.channels[1].value(px), h.channels[2].value(px));
      }
    }
  }
  return std::nullopt;
}

// Run-length decoding of RLE8 and RLE4: runs, absolute runs (padded to 16-bit words), line
// ends, deltas and the bitmap end. Rows are counted from the bottom. Without an output bitmap
// the commands are only checked, so that a file is refused before its bitmap is allocated.
class RleDecoder {
 public:
  RleDecoder(const Decoder& dec, Bitmap* out)
      : h_(dec.h), palette_(dec.palette), d_(dec.in.d), out_(out), pos_(h_.pixels_at),
        four_(h_.compression == kRle4),
        // Some encoders run on over the row's padding to a 32-bit boundary, as if encoding
        // the bytes of an uncompressed row; those pixels are dropped. Runs past it are refused.
        padded_(((int64_t(h_.width) * h_.bits + 31) / 32) * 32 / h_.bits) {}

  // Decodes every command; returns the reason when the data is refused.
  std::optional<std::string> decode() {
    while (true) {
      if (pos_ + 2 > d_.size()) {
        if (y_ >= h_.height) return std::nullopt;
        return "run-length data ends before the end of the bitmap";
      }
      const uint8_t count = d_[pos_], value = d_[pos_ + 1];
      pos_ += 2;
      std::optional<std::string> why;
      if (count > 0) {
        why = run(count, value);
      } else if (value >= 3) {
        why = absolute(value);
      } else if (value == 1) {
        return std::nullopt;  // end of bitmap
      } else {
        why = value == 0 ? line_end() : delta();
      }
      if (why) return why;
    }
  }

 private:
  std::optional<std::string> fits(int n) const {
    if (y_ >= h_.height) return "run-length data past the last row";
    if (x_ + n > padded_) return "run of " + std::to_string(n) + " pixels past the end of row";
    return std::nullopt;
  }

  std::optional<std::string> put(uint32_t index) {
    if (x_ >= h_.width) {
      ++x_;
      return std::nullopt;
    }
    if (index >= h_.colours) return index_error(index, h_.colours);
    if (out_) out_->row(int(h_.height - 1 - y_))[x_] = palette_[index];
    ++x_;
    return std::nullopt;
  }

  std::optional<std::string> run(int n, uint8_t value) {
    if (auto why = fits(n)) return why;
    for (int k = 0; k < n; ++k) {
      if (auto why = put(four_ ? (k & 1 ? value & 15 : value >> 4) : value)) return why;
    }
    return std::nullopt;
  }

  std::optional<std::string> absolute(int n) {
    if (auto why = fits(n)) return why;
    const size_t bytes = four_ ? (size_t(n) + 1) / 2 : size_t(n);
    if (pos_ + bytes > d_.size()) return "absolute run cut off by the end of the file";
    for (int k = 0; k < n; ++k) {
      const uint8_t byte = d_[pos_ + (four_ ? k / 2 : k)];
      if (auto why = put(four_ ? (k & 1 ? byte & 15 : byte >> 4) : byte)) return why;
    }
    pos_ += bytes + (bytes & 1);
    return std::nullopt;
  }

  std::optional<std::string> line_end() {
    x_ = 0;
    if (++y_ > h_.height) return "line end past the last row";
    return std::nullopt;
  }

  std::optional<std::string> delta() {
    if (pos_ + 2 > d_.size()) return "delta cut off by the end of the file";
    x_ += d_[pos_];
    y_ += d_[pos_ + 1];
    pos_ += 2;
    if (x_ > h_.width || y_ > h_.height) return "delta moves past the image";
    return std::nullopt;
  }

  const Header& h_;
  const std::array<Color, 256>& palette_;
  std::span<const uint8_t> d_;
  Bitmap* out_;
  size_t pos_;
  bool four_;
  int64_t padded_;
  int64_t x_ = 0;
  int64_t y_ = 0;
};

// The headers, bit-field masks and a 256-colour palette take 1178 bytes at most; a writer may
// put a colour profile between them and the pixels, but nothing near this far.
constexpr uint64_t kMaxPixelOffset = uint64_t(1) << 20;
// A file's first bytes, read before the rest: the file header and the longest info header.
constexpr size_t kHeadBytes = kFileHeaderSize + 124;
// Bytes a file may carry past what its header describes (some writers pad or append).
constexpr uint64_t kTrailingSlack = 64 * 1024;

// Returns the most bytes a BMP file with this header can sensibly hold: the pixel data offset
// plus the pixel data, an RLE file counted as if every pixel were a run of its own and every
// row had its line end. Nullopt with the reason in `why` for a header refused outright.
std::optional<uint64_t> largest_file_size(std::span<const uint8_t> head, std::string& why) {
  Decoder dec{{head}, nullptr, {}};
  const Bytes& in = dec.in;
  if (head.size() < kFileHeaderSize + 4) why = "file too short for a BMP header";
  else if (head[0] != 'B' || head[1] != 'M') why = "not a BMP file (no \"BM\" at the start)";
  if (!why.empty()) return std::nullopt;
  const uint32_t info_size = in.u32(14);
  uint32_t used = 0;
  if (!supported_info_size(info_size)) {
    why = "unsupported info header size " + std::to_string(info_size);
  } else if (kFileHeaderSize + info_size > head.size()) {
    why = "info header truncated";
  } else if (auto refused = read_dimensions(dec, info_size, used)) {
    why = *refused;
  } else if (in.u32(10) > kMaxPixelOffset) {
    why = "pixel data offset " + std::to_string(in.u32(10)) + " lies implausibly far in";
  }
  if (!why.empty()) return std::nullopt;
  const Header& h = dec.h;
  const bool rle = h.compression == kRle8 || h.compression == kRle4;
  const uint64_t pixels = uint64_t(h.width) * uint64_t(h.height);
  const uint64_t data = rle ? 2 * pixels + 2 * uint64_t(h.height) + 2 : row_stride(h) * h.height;
  return in.u32(10) + data;
}

// Reads up to n bytes at the file position; the count read, or -1 on a read error.
ssize_t read_up_to(int fd, uint8_t* to, size_t n) {
  size_t done = 0;
  while (done < n) {
    const ssize_t got = ::read(fd, to + done, n - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;  // the file shrank while being read
    done += size_t(got);
  }
  return ssize_t(done);
}

// Reads a BMP file whose size its header accounts for; false with the reason otherwise.
bool read_plausible_file(const std::string& path, std::vector<uint8_t>& out, std::string* error) {
  const auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  // Non-blocking, so that a FIFO in place of a picture cannot hold the caller in open().
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return fail("cannot open " + path + ": " + std::strerror(errno));
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return fail("not a regular file: " + path);
  const uint64_t size = uint64_t(st.st_size);
  out.resize(size_t(std::min<uint64_t>(size, kHeadBytes)));
  const ssize_t head = read_up_to(fd, out.data(), out.size());
  if (head < 0) return fail("cannot read " + path + ": " + std::strerror(errno));
  out.resize(size_t(head));
  std::string why;
  const std::optional<uint64_t> largest = largest_file_size(out, why);
  if (!largest) return fail(path + ": " + why);
  if (size > 2 * *largest + kTrailingSlack) {
    return fail(path + ": file of " + std::to_string(size) + " bytes is much larger than the " +
                std::to_string(*largest) + " its header describes");
  }
  out.resize(size_t(size));
  const ssize_t rest = read_up_to(fd, out.data() + head, out.size() - size_t(head));
  if (rest < 0) return fail("cannot read " + path + ": " + std::strerror(errno));
  out.resize(size_t(head) + size_t(rest));
  return true;
}

}  // namespace

std::optional<Bitmap> decode_bmp(std::span<const uint8_t> data, std::string* error) {
  Decoder dec{{data}, error, {}};
  if (auto why = read_header(dec)) return dec.fail(*why);
  const bool rle = dec.h.compression == kRle8 || dec.h.compression == kRle4;
  if (auto why = rle ? RleDecoder(dec, nullptr).decode() : check_rows_present(dec)) {
    return dec.fail(*why);
  }
  Bitmap out(dec.h.width, dec.h.height, colors::kBlack);
  if (auto why = rle ? RleDecoder(dec, &out).decode() : decode_rows(dec, out)) return dec.fail(*why);
  return out;
}

std::optional<Bitmap> read_bmp_file(const std::string& path, std::string* error) {
  std::vector<uint8_t> bytes;
  if (!read_plausible_file(path, bytes, error)) return std::nullopt;
  std::string why;
  auto bitmap = decode_bmp(bytes, &why);
  if (!bitmap && error) *error = path + ": " + why;
  return bitmap;
}

}  // namespace platform
