#include "program/compare_table.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "results/format_string.h"
#include "results/report_figures.h"

namespace tmx {
namespace {

// The decimals a figure's text shows: what a difference is rounded to.
int decimalsOf(const std::string& text) {
  const size_t dot = text.find('.');
  if (dot == std::string::npos) return 0;
  size_t end = dot + 1;
  while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
  return static_cast<int>(end - dot - 1);
}

// No difference between speeds of different media: their X differ.
std::string differenceText(const ReportFigure& first, const ReportFigure& other, bool sameMedium) {
  if (!first.value || !other.value) return {};
  if (!sameMedium && other.unit == "X") return {};
  const int decimals = decimalsOf(other.text);
  const double difference = *other.value - *first.value;
  const double shown = std::fabs(difference) < 0.5 * std::pow(10.0, -decimals) ? 0.0 : difference;
  std::string text = formatString("%+.*f", decimals, shown);
  if (!other.unit.empty()) text += (other.unit == "%" ? "" : " ") + other.unit;
  return text;
}

std::string mediaLine(const std::vector<ComparedRun>& runs) {
  std::string names;
  for (const ComparedRun& run : runs) {
    const std::string name = mediumName(run.report.medium.kind);
    if (names.find(name) == std::string::npos) names += (names.empty() ? "" : ", ") + name;
  }
  return "Different media compared (" + names + "): speeds are in X of each run's own medium.\n";
}

}  // namespace

CompareTable compareTable(const std::vector<ComparedRun>& runs) {
  CompareTable table;
  if (runs.empty()) return table;
  std::vector<std::vector<ReportFigure>> figures;
  for (const ComparedRun& run : runs) {
    figures.push_back(reportFigures(run.report));
    if (run.report.medium.kind != runs[0].report.medium.kind) table.mixedMedia = true;
  }
  // A check's rows exist only where a run made one: the table takes every
  // label in the order the runs bring them.
  std::vector<std::string> labels;
  for (const auto& list : figures) {
    for (const ReportFigure& f : list) {
      if (std::find(labels.begin(), labels.end(), f.label) == labels.end()) labels.push_back(f.label);
    }
  }
  for (const std::string& label : labels) {
    CompareRow row{label, {}};
    const auto find = [&](const std::vector<ReportFigure>& list) {
      const auto at = std::find_if(list.begin(), list.end(), [&](const ReportFigure& f) { return f.label == label; });
      return at == list.end() ? ReportFigure{label, "", std::nullopt, kNotMeasured, false} : *at;
    };
    const ReportFigure first = find(figures[0]);
    for (size_t i = 0; i < figures.size(); ++i) {
      const ReportFigure f = find(figures[i]);
      const bool sameMedium = runs[i].report.medium.kind == runs[0].report.medium.kind;
      row.cells.push_back({f.text, i == 0 ? std::string() : differenceText(first, f, sameMedium)});
    }
    table.rows.push_back(std::move(row));
  }
  return table;
}

std::string compareTableText(const CompareTable& table, const std::vector<ComparedRun>& runs) {
  std::string out;
  for (const ComparedRun& run : runs) out += run.label + "\n";
  if (table.mixedMedia) out += mediaLine(runs);
  out += "\n";
  std::vector<std::vector<std::string>> grid{{"Figure"}};
  for (const ComparedRun& run : runs) grid[0].push_back(run.heading);
  for (const CompareRow& row : table.rows) {
    std::vector<std::string> line{row.label};
    for (const CompareCell& cell : row.cells) {
      line.push_back(cell.difference.empty() ? cell.text : cell.text + " (" + cell.difference + ")");
    }
    grid.push_back(std::move(line));
  }
  std::vector<size_t> widths(grid[0].size(), 0);
  for (const auto& line : grid) {
    for (size_t c = 0; c < line.size() && c < widths.size(); ++c) widths[c] = std::max(widths[c], line[c].size());
  }
  for (const auto& line : grid) {
    std::string text;
    for (size_t c = 0; c < line.size() && c < widths.size(); ++c) {
      text += line[c];
      if (c + 1 < line.size()) text += std::string(widths[c] - line[c].size() + 2, ' ');
    }
    out += text + "\n";
  }
  return out;
}

}  // namespace tmx
