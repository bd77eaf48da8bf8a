// The runs of files to import into the results library, for the window and
// the CLI: a bundle (a file whose first character is '{') or a DAT file,
// which becomes a CD run kept with the time the file was last written.
//
//   ImportRead read = readRunsToImport(files, app.clock());
//   if (read.error.empty()) library.recordAll(read.runs);
#pragma once

#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "library/stored_run.h"
#include "platform/clock.h"

namespace tmx {

struct ImportRead {
  std::vector<StoredRun> runs;  // of every file, in order; empty on error
  std::string error;            // "FILE is refused, nothing of it is imported: runs[2]...: ..." or the open error
};

// All files or none: the first that cannot be read or is refused ends it.
ImportRead readRunsToImport(std::span<const std::filesystem::path> files, Clock& clock);

// The drive name a DAT file's run is listed under: the file names no drive.
inline constexpr const char* kDatFileDriveName = "unknown drive (DAT file)";

}  // namespace tmx
