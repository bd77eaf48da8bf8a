#include "cli/library_verbs.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/run_output.h"
#include "cli/save_phase.h"
#include "library/run_bundle.h"
#include "library/run_csv.h"
#include "program/compare_table.h"
#include "program/graph_svg.h"
#include "program/run_import.h"
#include "results/result_texts.h"
#include "results/safe_text.h"

namespace tmx::cli {
namespace {

using Json = nlohmann::ordered_json;

// The library to record in, or nullptr with the reason printed.
ResultsLibrary* writableLibrary(Application& app) {
  ResultsLibrary* lib = app.recorder().library();
  if (!lib) {
    printError("no results library: set HOME or give --library FILE");
    return nullptr;
  }
  if (lib->state() != LibraryState::Ready) {
    printError(lib->reason());
    return nullptr;
  }
  return lib;
}

// The library to read: reading never makes one (an older one is updated).
// Empty when there is none yet (`missing` set) or it cannot be read (printed).
std::optional<ResultsLibrary> readableLibrary(Application& app, bool& missing) {
  const auto& path = app.recorder().path();
  missing = !path || !std::filesystem::exists(*path);
  if (missing) return std::nullopt;
  ResultsLibrary lib = ResultsLibrary::open(*path, app.options().libraryOptions);
  if (lib.state() == LibraryState::Failed) {
    printError(lib.reason());
    return std::nullopt;
  }
  return lib;
}

std::string libraryName(Application& app) {
  const auto& path = app.recorder().path();
  return path ? path->string() : std::string("(none)");
}

// The library to read; nullptr with the reason printed.
ResultsLibrary* openForReading(Application& app, std::optional<ResultsLibrary>& holder) {
  bool missing = false;
  holder = readableLibrary(app, missing);
  if (missing) printError("there is no results library " + libraryName(app) + " yet");
  return holder ? &*holder : nullptr;
}

int importRuns(const CliOptions& options, Application& app) {
  const std::vector<std::filesystem::path> files(options.importRuns.begin(), options.importRuns.end());
  const ImportRead read = readRunsToImport(files, app.clock());
  if (!read.error.empty()) {
    printError(read.error);
    return 1;
  }
  const std::vector<StoredRun>& runs = read.runs;
  ResultsLibrary* lib = writableLibrary(app);
  if (!lib) return 1;
  const auto ids = lib->recordAll(runs);
  if (!ids) {
    printError("nothing imported into the results library " + lib->path().string() + ": " + ids.error);
    return 1;
  }
  std::printf("Imported %zu run%s into %s\n", runs.size(), runs.size() == 1 ? "" : "s", lib->path().c_str());
  return 0;
}

// The runs an export takes: those of --runs, else all, newest first.
std::optional<std::vector<StoredRun>> exportedRuns(const CliOptions& options, ResultsLibrary& lib) {
  const auto ids = options.runIds ? LibraryResult<std::vector<int64_t>>{*options.runIds, {}} : lib.allIds();
  auto runs = ids ? lib.loadAll(*ids.value) : LibraryResult<std::vector<StoredRun>>{std::nullopt, ids.error};
  if (!runs) {
    printError("the runs cannot be read from " + lib.path().string() + ": " + runs.error);
    return std::nullopt;
  }
  return std::move(*runs.value);
}

int exportFile(const CliOptions& options, Application& app, InterruptPoll& interrupt, const std::string& path,
               bool csv) {
  std::optional<ResultsLibrary> holder;
  ResultsLibrary* lib = openForReading(app, holder);
  if (!lib) return 1;
  const auto runs = exportedRuns(options, *lib);
  if (!runs) return 1;
  SavePhase saves(interrupt);
  if (!saves.writeText(path, csv ? runsCsv(*runs) : bundleText(*runs))) return 1;
  std::printf("Exported %zu run%s to %s\n", runs->size(), runs->size() == 1 ? "" : "s", path.c_str());
  return 0;
}

// One line per row of a list, newest first, or "No WHAT in FILE".
template <class List, class Line>
int printList(Application& app, const char* what, List list, Line line) {
  bool missing = false;
  std::optional<ResultsLibrary> lib = readableLibrary(app, missing);
  if (missing) {
    std::printf("No %s in %s\n", what, libraryName(app).c_str());
    return 0;
  }
  if (!lib) return 1;
  const auto rows = list(*lib);
  if (!rows) {
    printError(std::string("the ") + what + " cannot be read from " + lib->path().string() + ": " + rows.error);
    return 1;
  }
  if (rows.value->empty()) std::printf("No %s in %s\n", what, lib->path().c_str());
  for (const auto& row : *rows.value) std::printf("%s\n", safeText(line(row)).c_str());
  return 0;
}

int history(Application& app) {
  return printList(app, "runs", [](const ResultsLibrary& lib) { return lib.list(); }, historyLine);
}

int rippingHistory(Application& app) {
  return printList(app, "ripping checks", [](const ResultsLibrary& lib) { return lib.listRipping(); },
                   rippingHistoryLine);
}

DriveFacts factsOf(const StoredDrive& drive) {
  DriveFacts facts;
  facts.vendor = drive.vendor;
  facts.product = drive.product;
  facts.revision = drive.revision;
  return facts;
}

int showRun(const CliOptions& options, Application& app, InterruptPoll& interrupt) {
  std::optional<ResultsLibrary> holder;
  ResultsLibrary* lib = openForReading(app, holder);
  if (!lib) return 1;
  const auto run = lib->load(*options.showRun);
  if (!run) {
    printError("run " + std::to_string(*options.showRun) + " cannot be shown from " + lib->path().string() + ": " +
               run.error);
    return 1;
  }
  const StoredRun& stored = *run.value;
  const bool check = stored.summary.kind == StoredRunKind::QualityCheck;
  ResultsModel model;
  model.record = stored.record;
  const RunReport report = makeRunReport(model.record, stored.summary.outcome, check);
  fillTextsFromReport(report, model.texts);
  std::printf("%s\n", safeText(historyLine(stored.summary)).c_str());
  printSummary(report);
  if (check) printQualityMap(model.record);
  SettingsWordArray words{};
  for (size_t i = 0; i < words.size(); ++i) words[i] = static_cast<uint32_t>(stored.optionWords[i]);
  RunFiles files{model, stored.statusLines, factsOf(stored.drive), stored.summary.outcome, check,
                 static_cast<int>(std::max<int64_t>(stored.disc.lengthSectors, 0)), &stored};
  SavePhase saves(interrupt);
  return saveRunFiles(options, files, false, unpackSettings(words), app.clock(), saves) ? 0 : 1;
}

// The check's lines as they were printed; with --json its "ripping" object.
int showRipping(const CliOptions& options, Application& app, InterruptPoll& interrupt) {
  std::optional<ResultsLibrary> holder;
  ResultsLibrary* lib = openForReading(app, holder);
  if (!lib) return 1;
  const std::string which = "ripping check " + std::to_string(*options.showRipping);
  const auto check = lib->loadRipping(*options.showRipping);
  if (!check) {
    printError(which + " cannot be shown from " + lib->path().string() + ": " + check.error);
    return 1;
  }
  const StoredRippingCheck& stored = *check.value;
  std::printf("%s\n", safeText(rippingHistoryLine(stored.summary)).c_str());
  for (const std::string& line : stored.lines) std::printf("%s\n", safeText(line).c_str());
  std::fflush(stdout);
  if (!options.json) return 0;
  Json answers = Json::parse(stored.answersJson, nullptr, false);
  if (answers.is_discarded()) {
    printError(which + " in " + lib->path().string() + ": its answers are damaged");
    return 1;
  }
  const RippingCheckSummary& s = stored.summary;
  Json document{{"id", s.id},     {"utcTime", s.utcTime}, {"drive", s.drive},
                {"disc", s.disc}, {"outcome", s.stopped ? "stopped" : "completed"}};
  document["ripping"] = std::move(answers);
  SavePhase saves(interrupt);
  return saves.writeText(*options.json, document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n") ? 0 : 1;
}

// The runs side by side as text; their curves overlaid as SVG when asked.
int compareRuns(const CliOptions& options, Application& app, InterruptPoll& interrupt) {
  std::optional<ResultsLibrary> holder;
  ResultsLibrary* lib = openForReading(app, holder);
  if (!lib) return 1;
  const auto stored = lib->loadAll(*options.compareRuns);
  if (!stored) {
    printError("the runs cannot be compared from " + lib->path().string() + ": " + stored.error);
    return 1;
  }
  std::vector<ComparedRun> runs;
  for (const StoredRun& run : *stored.value) runs.push_back(comparedRunOf(run));
  const std::string text = compareTableText(compareTable(runs), runs);
  for (size_t start = 0, end; start < text.size(); start = end + 1) {
    end = std::min(text.find('\n', start), text.size());
    std::printf("%s\n", safeText(std::string_view(text).substr(start, end - start)).c_str());
  }
  if (!options.graphSvg) return 0;
  constexpr int kWidth = 800, kHeight = 500;
  const CompareGraph graph = compareGraph(compareCurvesOf(runs), kWidth, kHeight);
  SavePhase saves(interrupt);
  return saves.writeText(*options.graphSvg, shapesSvg(graph.shapes, kWidth, kHeight)) ? 0 : 1;
}

// "   12  2026-12-09 06:14  DRIVE  DISC".
std::string listedAs(int64_t id, const std::string& utcTime, const std::string& drive, const std::string& disc) {
  std::string time = utcTime;
  if (time.size() == 20) time = time.substr(0, 10) + " " + time.substr(11, 5);
  char number[24];
  std::snprintf(number, sizeof number, "%5lld", static_cast<long long>(id));
  return std::string(number) + "  " + time + "  " + drive + "  " + disc;
}

std::string figure(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

}  // namespace

std::string historyLine(const RunSummary& run) {
  std::string line = listedAs(run.id, run.utcTime, run.drive, run.disc);
  if (run.kind == StoredRunKind::QualityCheck) line += "  quality check";
  std::vector<std::string> figures;
  if (run.averageX) figures.push_back(figure("%.2fX average", *run.averageX));
  if (run.randomSeekMs || run.oneThirdSeekMs || run.fullSeekMs) {
    auto ms = [](const std::optional<int32_t>& v) { return v ? std::to_string(*v) : std::string("N/A"); };
    figures.push_back("seeks " + ms(run.randomSeekMs) + "/" + ms(run.oneThirdSeekMs) + "/" + ms(run.fullSeekMs) +
                      " ms");
  }
  if (run.daeScore) figures.push_back("DAE " + std::to_string(*run.daeScore));
  if (run.burstMBps) figures.push_back("burst " + std::to_string(*run.burstMBps) + " MB/s");
  figures.push_back(std::string(outcomeName(run.outcome)));
  for (size_t i = 0; i < figures.size(); ++i) line += (i ? ", " : "  ") + figures[i];
  return line;
}

std::string rippingHistoryLine(const RippingCheckSummary& check) {
  std::string line = listedAs(check.id, check.utcTime, check.drive, check.disc) + "  ";
  line += check.verdict.empty() ? "no verdict" : check.verdict;
  if (check.stopped) line += " (stopped)";
  return line;
}

int runLibraryCommands(const CliOptions& options, Application& app, InterruptPoll& interrupt) {
  if (!options.importRuns.empty() && importRuns(options, app) != 0) return 1;
  if (options.exportRuns && exportFile(options, app, interrupt, *options.exportRuns, false) != 0) return 1;
  if (options.exportCsv && exportFile(options, app, interrupt, *options.exportCsv, true) != 0) return 1;
  if (options.history && history(app) != 0) return 1;
  if (options.rippingHistory && rippingHistory(app) != 0) return 1;
  if (options.showRipping && showRipping(options, app, interrupt) != 0) return 1;
  if (options.showRun) return showRun(options, app, interrupt);
  if (options.compareRuns) return compareRuns(options, app, interrupt);
  return 0;
}

}  // namespace tmx::cli
