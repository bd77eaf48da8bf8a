#include "results/dat_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string_view>

#include "platform/atomic_file.h"
#include "platform/regular_file.h"
#include "results/crc_checksum.h"
#include "results/format_string.h"
#include "results/persisted_block.h"
#include "results/plausible_values.h"
#include "results/result_texts.h"

namespace tmx {
namespace {

// Reads up to buffer.size() bytes; returns the count or -1 with errno set.
ssize_t readUpTo(int fd, std::span<uint8_t> buffer) {
  size_t total = 0;
  while (total < buffer.size()) {
    const ssize_t n = ::read(fd, buffer.data() + total, buffer.size() - total);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    total += static_cast<size_t>(n);
  }
  return static_cast<ssize_t>(total);
}

}  // namespace

DatImage encodeDatFile(const TestResults& results) {
  DatImage image{};  // the reserved area stays zero
  const PersistedBlock block = encodePersistedBlock(results);
  std::copy(block.begin(), block.end(), image.begin());
  const uint32_t crc = crcChecksum(block);
  for (int i = 0; i < 4; ++i) image[kDatChecksumOffset + i] = static_cast<uint8_t>(crc >> (8 * i));
  return image;
}

DatLoadInfo applyDatBytes(std::span<const uint8_t> file, TestResults& results) {
  DatLoadInfo info;
  PersistedBlock block = encodePersistedBlock(results);
  info.blockBytes = std::min(file.size(), block.size());
  std::copy_n(file.begin(), info.blockBytes, block.begin());
  decodePersistedBlock(block, results);

  info.computedChecksum = crcChecksum(block);
  info.checksumPresent = file.size() >= kDatFileSize;
  if (info.checksumPresent) {
    for (int i = 0; i < 4; ++i) info.storedChecksum |= static_cast<uint32_t>(file[kDatChecksumOffset + i]) << (8 * i);
  }
  return info;
}

FileStatus saveDatFile(const std::filesystem::path& path, TestResults& results, const DriveFacts& drive,
                       const WriteControl& control) {
  // Its layout has room for a CD's zones only: a DVD's would load back wrong.
  if (results.media.medium.kind != MediumKind::CD) return {kDatHoldsCdOnlyText, 0};
  results.readSpeed = storedReadSpeed(drive);
  const DatImage image = encodeDatFile(results);
  const int error = writeFileAtomically(
      path, std::string_view(reinterpret_cast<const char*>(image.data()), image.size()), control);
  if (error != 0) return {saveErrorMessage(path, error), error};
  return {};
}

FileStatus loadDatFile(const std::filesystem::path& path, ResultsModel& model, StatusSink& status) {
  // A FIFO or a device would block the open or the read for ever.
  const int fd = openRegularFile(path);
  if (fd < 0) return {openErrorMessage(path, errno == EISDIR ? 0 : errno)};
  DatImage image{};
  const ssize_t length = readUpTo(fd, image);
  const int readError = errno;
  ::close(fd);
  // A folder opens but cannot be read.
  if (length < 0) return {openErrorMessage(path, readError == EISDIR ? 0 : readError)};

  const DatLoadInfo info = applyDatBytes(std::span(image).first(static_cast<size_t>(length)), model.record);
  const int impossible = clearImpossibleValues(model.record);
  fillTextsFromRecord(model.record, model.texts);

  const std::string version(formatVersionText(model.record));
  status.addStatusLine(formatString("DAT file (V%s) loaded", version.c_str()));
  if (version.empty()) {
    status.addStatusLine("Warning: the DAT file names no format version");
  } else if (!knownFormatVersion(model.record)) {
    status.addStatusLine(formatString("Warning: unknown DAT file version V%s", version.c_str()));
  }
  if (impossible > 0) {
    status.addStatusLine(formatString("Warning: the DAT file holds %d impossible values, shown as not measured",
                                      impossible));
  }
  if (!info.checksumPresent) {
    status.addStatusLine(formatString("Warning: the DAT file is incomplete (%zd of %zu bytes) and may be damaged",
                                      length, kDatFileSize));
  } else if (info.damaged()) {
    status.addStatusLine("Warning: DAT file checksum mismatch, the file may be damaged");
  }
  model.notifyChanged();
  return {};
}

}  // namespace tmx
