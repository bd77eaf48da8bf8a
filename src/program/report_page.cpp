#include "program/report_page.h"

#include "drive/disc_probe.h"
#include "program/markup_text.h"
#include "results/report_figures.h"

namespace tmx {
namespace {

constexpr const char* kStyle = R"(<style>
body{font-family:"DejaVu Sans",Verdana,sans-serif;font-size:14px;color:#111;background:#fff;margin:24px auto;max-width:900px;padding:0 16px}
h1{font-size:22px;margin:0 0 4px}
h2{font-size:16px;border-bottom:1px solid #999;padding-bottom:2px;margin:22px 0 8px}
.sub{color:#444;margin:0 0 12px}
.cols{display:flex;flex-wrap:wrap;gap:0 32px}
.cols>section{flex:1 1 300px}
.cols>section.graph{flex:0 1 auto}
.cols>section.figures{flex:1 1 240px}
table{border-collapse:collapse}
th,td{text-align:left;padding:2px 12px 2px 0;vertical-align:top}
th{font-weight:normal;color:#444;white-space:nowrap}
td.val{text-align:right;font-variant-numeric:tabular-nums;white-space:nowrap;padding-left:16px}
td.none{color:#888;font-style:italic}
figure{margin:0}
figure svg{max-width:100%;height:auto;border:1px solid #ccc}
pre{font-family:"DejaVu Sans Mono",monospace;font-size:12px;background:#f4f4f4;padding:8px;white-space:pre-wrap;overflow-wrap:anywhere;margin:0}
@media print{
body{margin:0;max-width:none;font-size:10pt}
h2{break-after:avoid}
table,figure{break-inside:avoid}
.cols{flex-wrap:nowrap;gap:0 20px}
.cols>section.graph{flex:0 1 62%}
figure svg{width:100%}
pre{background:none;border:1px solid #bbb;font-size:8pt}
}
</style>
)";

void row(std::string& out, const std::string& label, const std::string& value, const char* cls = nullptr) {
  out += "<tr><th>" + markupText(label) + "</th><td";
  if (cls) out += std::string(" class=\"") + cls + "\"";
  out += ">" + markupText(value) + "</td></tr>\n";
}

// A row only for what is known.
void knownRow(std::string& out, const std::string& label, const std::string& value) {
  if (!value.empty()) row(out, label, value);
}

std::string driveLine(const StoredDrive& d) {
  std::string line = d.vendor;
  for (const std::string* part : {&d.product, &d.revision}) {
    if (part->empty()) continue;
    if (!line.empty()) line += ' ';
    line += *part;
  }
  return line;
}

std::string driveSection(const StoredDrive& d) {
  std::string out = "<section><h2>Drive</h2>\n<table>\n";
  if (driveLine(d).empty()) {
    out += "<tr><td class=\"none\">no drive: the results were loaded from a file</td></tr>\n";
  } else {
    knownRow(out, "Vendor", d.vendor);
    knownRow(out, "Product", d.product);
    knownRow(out, "Revision", d.revision);
    knownRow(out, "Serial number", d.serial);
    knownRow(out, "Controller", d.controller);
    knownRow(out, "Driver", d.driver);
    if (d.emulated) row(out, "Emulated", "yes: the drive is the program's own emulation");
  }
  return out + "</table></section>\n";
}

std::string discTypeWord(int32_t type) {
  switch (type) {
    case 0: return "data";
    case 1: return "audio";
    case 2: return "mixed";
    default: return {};
  }
}

std::string lengthText(const StoredDisc& disc) {
  if (disc.lengthSectors <= 0) return {};
  if (disc.medium.empty() || disc.medium == "CD") {
    return FormatDiscTime(static_cast<long>(disc.lengthSectors)) + " (" + std::to_string(disc.lengthSectors) +
           " sectors)";
  }
  Medium m;
  m.capacitySectors = disc.lengthSectors;
  return mediumLengthText(m) + " (" + std::to_string(disc.lengthSectors) + " sectors)";
}

std::string discSection(const StoredDisc& disc) {
  std::string out = "<section><h2>Disc</h2>\n<table>\n";
  row(out, "Medium", disc.medium.empty() ? "CD" : disc.medium);
  knownRow(out, "Profile", disc.profile);
  // A DVD's or BD's profile says what a CD's TOC type says.
  const bool cd = disc.medium.empty() || disc.medium == "CD";
  const std::string type = discTypeWord(disc.type);
  if (cd) row(out, "Type", type.empty() ? kNotMeasured : type, type.empty() ? "none" : nullptr);
  const std::string length = lengthText(disc);
  row(out, "Length", length.empty() ? kNotMeasured : length, length.empty() ? "none" : nullptr);
  knownRow(out, "Manufacturer", disc.manufacturer);
  knownRow(out, "TOC digest", disc.tocDigest);
  return out + "</table></section>\n";
}

std::string figuresSection(const RunReport& report) {
  std::string out = "<section class=\"figures\"><h2>Figures</h2>\n<table>\n";
  // A check measures only its own figures: the run's would all read "not measured".
  const bool check = report.qualityCheck || report.readScan;
  for (const ReportFigure& f : reportFigures(report)) {
    if (check && !f.ofCheck) continue;
    const bool none = f.text == kNotMeasured;
    row(out, f.label, f.text, none ? "val none" : "val");
  }
  return out + "</table></section>\n";
}

std::string linesSection(const char* title, const std::vector<std::string>& lines) {
  std::string out = std::string("<section><h2>") + title + "</h2>\n<pre>";
  for (const std::string& line : lines) out += markupText(line) + "\n";
  return out + "</pre></section>\n";
}

// The SVG document without its XML declaration, as an element of the page.
std::string inlineSvg(const std::string& svg) {
  const size_t start = svg.find("<svg");
  return start == std::string::npos ? std::string() : svg.substr(start);
}

// "2026-12-09T06:14:26Z" reads "2026-12-09 06:14:26 UTC".
std::string readableTime(std::string time) {
  if (time.size() == 20 && time[10] == 'T' && time[19] == 'Z') {
    return time.substr(0, 10) + " " + time.substr(11, 8) + " UTC";
  }
  return time;
}

std::string header(const ReportPageInput& page) {
  const std::string drive = driveLine(page.drive);
  std::string title = drive.empty() ? "Saved results" : drive;
  std::string out =
      "<header><h1>" + markupText(title) + "</h1>\n<p class=\"sub\">" + markupText(discDescription(page.disc));
  out += " &middot; " + markupText(std::string(outcomeName(page.report.outcome)));
  if (!page.utcTime.empty()) out += " &middot; " + markupText(readableTime(page.utcTime));
  out += " &middot; Tachometrix " + markupText(page.programVersion) + "</p></header>\n";
  return out;
}

}  // namespace

std::string reportPageHtml(const ReportPageInput& page) {
  const std::string drive = driveLine(page.drive);
  std::string out = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
  out += "<title>Tachometrix report: " + markupText(drive.empty() ? "saved results" : drive) + "</title>\n";
  out += kStyle;
  out += "</head>\n<body>\n" + header(page);
  out += "<div class=\"cols\">\n" + driveSection(page.drive) + discSection(page.disc) + "</div>\n";
  // The graph beside the figures where the page is wide enough, above them where not.
  const std::string svg = inlineSvg(page.graphSvg);
  out += "<div class=\"cols\">\n";
  if (!svg.empty()) out += "<section class=\"graph\"><h2>Graph</h2>\n<figure>" + svg + "</figure></section>\n";
  out += figuresSection(page.report) + "</div>\n";
  out += linesSection("Status", page.statusLines);
  if (!page.driveCheck.empty()) out += linesSection("Drive check", page.driveCheck);
  out += "</body>\n</html>\n";
  return out;
}

}  // namespace tmx
