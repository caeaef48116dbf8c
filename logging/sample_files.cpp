// The files of the graph and short-term data logs: names, the scan and record-aligned I/O.
#include "logging/sample_files.h"

#include <algorithm>
#include <tuple>

namespace corvex::logging {

namespace {

// The moment in a file's name ("yy_MM_dd_HH_mm_ss" after the stem) as one comparable number,
// or 0 when the name does not carry one (the scan pattern lets any character through).
uint64_t name_moment(std::string_view name, std::string_view stem) {
  if (name.size() < stem.size() + 17) return 0;
  const std::string_view stamp = name.substr(stem.size(), 17);
  uint64_t moment = 0;
  for (size_t i = 0; i < stamp.size(); i += 3) {
    const char hi = stamp[i];
    const char lo = stamp[i + 1];
    if (hi < '0' || hi > '9' || lo < '0' || lo > '9') return 0;
    if (i + 2 < stamp.size() && stamp[i + 2] != '_') return 0;
    moment = moment * 100 + uint64_t((hi - '0') * 10 + (lo - '0'));
  }
  return moment;
}

}  // namespace

std::string sample_file_name(std::string_view stem, const platform::LocalTime& t) {
  return std::string(stem) + platform::format_date(t, "yy'_'MM'_'dd'_'") +
         platform::format_time(t, "HH'_'mm'_'ss") + ".DAT";
}

std::string sample_file_path(const SampleLogPlace& place, std::string_view name) {
  return place.folder + "\\" + std::string(name);
}

SampleFileTable scan_sample_files(const SampleLogPlace& place) {
  struct Found {
    SampleFile file;
    uint64_t moment;
    size_t listed;
  };
  std::vector<Found> found;
  const std::string pattern =
      place.folder + "\\" + std::string(place.stem) + "??_??_??_??_??_??.DAT";
  for (platform::FindEntry& e : platform::find_files(pattern)) {
    if (e.is_folder) continue;
    const uint64_t moment = name_moment(e.name, place.stem);
    found.push_back({{std::move(e.name), e.size, e.creation_ms}, moment, found.size()});
  }
  std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
    return std::tuple(a.moment, a.file.creation_ms, a.listed) <
           std::tuple(b.moment, b.file.creation_ms, b.listed);
  });
  SampleFileTable table;
  table.files.reserve(found.size());
  for (Found& f : found) table.files.push_back(std::move(f.file));
  // Of the log's two files, one that is not full beside a full one is the one being filled,
  // whatever its name says: the panel's clock may have been set back in between.
  const size_t n = table.files.size();
  if (n >= 2 && table.files[n - 1].size >= place.capacity &&
      table.files[n - 2].size < place.capacity) {
    std::swap(table.files[n - 1], table.files[n - 2]);
  }
  return table;
}

bool append_sample_record(const std::string& path, const DryerSampleRecord& record,
                          platform::WriteThrough write_through) {
  platform::File file;
  if (file.open(path, platform::OpenMode::OpenAlways, platform::Access::ReadWrite,
                platform::Sharing::Exclusive, write_through) != platform::FileStatus::Ok) {
    return false;
  }
  const std::optional<uint64_t> size = file.size();
  if (!size) return false;
  const uint64_t end = whole_records(*size) * kSampleRecordBytes;
  if (!file.seek(int64_t(end), platform::SeekFrom::Begin)) return false;
  return file.write(record.data(), record.size()) == record.size();
}

std::string start_sample_file(const SampleLogPlace& place) {
  std::string name = sample_file_name(place.stem, platform::clock::local_now());
  platform::File file;
  if (file.open(sample_file_path(place, name), platform::OpenMode::OpenAlways,
                platform::Access::ReadWrite) != platform::FileStatus::Ok) {
    return {};
  }
  return name;
}

ReadResult read_sample_records(const SampleLogPlace& place, const SampleFile& file,
                               uint64_t first, uint64_t count, uint8_t* out) {
  platform::File f;
  if (f.open(sample_file_path(place, file.name), platform::OpenMode::OpenExisting,
             platform::Access::Read) != platform::FileStatus::Ok) {
    return ReadResult::CannotOpen;
  }
  if (count == 0) return ReadResult::Ok;
  if (!f.seek(int64_t(first * kSampleRecordBytes), platform::SeekFrom::Begin)) {
    return ReadResult::Short;
  }
  const size_t bytes = size_t(count * kSampleRecordBytes);
  return f.read(out, bytes) == bytes ? ReadResult::Ok : ReadResult::Short;
}

}  // namespace corvex::logging
