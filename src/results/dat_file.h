// The DAT result file: 1024 bytes = the 464-byte persisted block of
// TestResults, 556 reserved bytes (written as zeros, ignored on reading), and
// crcChecksum of the block as a little-endian 32-bit word at offset 1020.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>

#include "drive/status_sink.h"
#include "platform/atomic_file.h"
#include "results/drive_facts.h"
#include "results/file_messages.h"
#include "results/results_model.h"
#include "results/test_results.h"

namespace tmx {

inline constexpr size_t kDatFileSize = 1024;
inline constexpr size_t kDatChecksumOffset = 1020;
using DatImage = std::array<uint8_t, kDatFileSize>;

DatImage encodeDatFile(const TestResults& results);

struct DatLoadInfo {
  size_t blockBytes = 0;        // leading bytes of the block the file held (0..464)
  bool checksumPresent = false;  // the file reached offset 1024
  uint32_t storedChecksum = 0;
  uint32_t computedChecksum = 0;  // over the block as it stands after the load
  // A short file or a checksum that does not match.
  bool damaged() const { return !checksumPresent || storedChecksum != computedChecksum; }
};

// Puts a file's bytes into the persisted block: a file shorter than 464 bytes
// overwrites only as many leading bytes; bytes past 1024 are ignored. The
// live members are left alone.
DatLoadInfo applyDatBytes(std::span<const uint8_t> file, TestResults& results);

inline constexpr const char* kDatHoldsCdOnlyText = "DAT files hold CD results; save as JSON or as a report";

// A DVD or BD run is refused with kDatHoldsCdOnlyText. Stores the drive's
// current read speed in readSpeed (-1 when the mode sense
// failed), then writes the file atomically. On failure the error is
// saveErrorMessage's text and an existing file is left as it was.
FileStatus saveDatFile(const std::filesystem::path& path, TestResults& results, const DriveFacts& drive,
                       const WriteControl& control = {});

// Opens the file read-only (a read-only file loads), replaces the persisted
// block, shows values outside any physical range as not measured
// (clearImpossibleValues), fills the panel texts, adds "DAT file (V%s)
// loaded" and a warning line for an unknown version, for impossible values
// and for a short or corrupt file; then notifies the model's observer. On an
// open failure the error is openErrorMessage's text and nothing changes.
FileStatus loadDatFile(const std::filesystem::path& path, ResultsModel& model, StatusSink& status);

}  // namespace tmx
