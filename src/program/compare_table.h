// The comparison's table: the figures of 2 to 8 runs side by side, each
// later run with its difference to the first, and as text for the CLI.
//
//   const CompareTable table = compareTable(runs);
//   fputs(compareTableText(table, runs).c_str(), stdout);
#pragma once

#include <string>
#include <vector>

#include "program/compared_run.h"

namespace tmx {

struct CompareCell {
  std::string text;        // "38.00 X", "not measured"
  std::string difference;  // "-2.12 X", "+0 ms"; empty for the first run, a word, or one not measured
};

struct CompareRow {
  std::string label;  // "Average speed"
  std::vector<CompareCell> cells;  // one per run
};

struct CompareTable {
  std::vector<CompareRow> rows;
  bool mixedMedia = false;  // CDs beside DVDs or BDs: the X are not the same unit
};

CompareTable compareTable(const std::vector<ComparedRun>& runs);

// The runs' labels, a line on different media, then the table in aligned
// columns headed by the runs' headings, a difference in brackets after its
// value. Lines end with '\n'.
std::string compareTableText(const CompareTable& table, const std::vector<ComparedRun>& runs);

}  // namespace tmx
