// The speed graph as a list of shapes in main-window client pixels. The
// engine's drawing calls (through the controller) and the repaint both land
// here; the widget paints the list, the CLI writes it as SVG, tests read it.
// Colours are words 0x00BBGGRR, as stored in the settings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "program/graph_scale.h"
#include "results/app_settings.h"
#include "results/test_results.h"

namespace tmx {

// The colour of the window's button face; the painter substitutes the
// platform's own button-face colour for it.
inline constexpr uint32_t kButtonFaceColour = 0xFF000000u;
// The default text colour on the button face (the axis labels); the painter
// substitutes the platform's own.
inline constexpr uint32_t kButtonTextColour = 0xFE000000u;

struct GraphShape {
  enum class Kind {
    Line,        // (x1, y1) to (x2, y2), the end pixel excluded, 1 pixel wide
    FilledRect,  // (x1, y1) to (x2, y2) exclusive of x2/y2, filled with fill, outlined with colour
    Text,        // text centred horizontally on x1, top at y1
    Banner,      // the banner artwork, top-left at (x1, y1)
  };
  Kind kind = Kind::Line;
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  uint32_t colour = 0;  // pen (line, outline, text)
  uint32_t fill = 0;    // FilledRect only
  std::string text;     // Text only
  bool leftAligned = false;  // Text only: starts at x1 instead of being centred on it

  bool operator==(const GraphShape&) const = default;
};

// Plot geometry (fixed).
inline constexpr int kGraphLeft = 40;
inline constexpr int kGraphTop = 58;
inline constexpr int kGraphRight = 440;
inline constexpr int kGraphBottom = 308;
// The picture a copy or a file of the graph holds: from the client origin to
// the far corner of the erased graph region, banner included.
inline constexpr int kGraphImageWidth = kGraphRight + 22;
inline constexpr int kGraphImageHeight = kGraphBottom + 22;

class SpeedGraphModel {
 public:
  // Reads the settings and the record it is given at every call; holds only
  // the last plotted point and the shapes drawn since the last redraw.
  SpeedGraphModel(const AppSettings& settings, const TestResults& record) : settings_(settings), record_(record) {}

  // Quality mode: set when a CD quality check starts, cleared at Start, a drive
  // change or a DAT load. qualityLength is the disc length the check reads.
  void setQualityMode(bool active, int32_t qualityLength = 0);
  bool qualityMode() const { return qualityMode_; }

  // The whole picture: clears the list, then banner, separators, frame and the
  // replay of the record's content.
  void redrawGraph();
  // Erases the graph region and draws the frame, grid and labels of the mode.
  void drawGraphFrame();
  // Vertical red line at the block of `lba`; nothing when that column lies
  // outside the plot.
  void drawEndMarker(int lba);
  // Draws the segments ending at zone `zone` (its sample is the worker's to
  // store). A segment with an end outside the plot, or not a number, is left
  // out whole.
  void plotZoneSample(int zone, double sample);
  // The error bar of a 900-sector block, `value` pixels high (cut at the
  // plot's top); block 0 and blocks right of the plot draw nothing.
  void markQualityBlock(int block, double value);

  // A DVD or BD: the x axis in GB up to the medium's nominal size, the y
  // axis in its X. The segment ending at a zone; one cell of a read scan's
  // map (its slowest latency bucket, kLatencyBucketCount for unreadable).
  void plotMediumZone(const ZoneSpeed& zone);
  void markScanCell(int cell, int bucket);

  const std::vector<GraphShape>& shapes() const { return shapes_; }
  double lastPlottedSample() const { return lastPlottedSample_; }
  double lastPlottedRpm() const { return lastPlottedRpm_; }

 private:
  // The vertical scale of the record's medium and drive.
  GraphScale scale() const;
  void drawMediumFrame();
  void replayMedium();
  void drawMediumMarker(int64_t lba, uint32_t colour);
  int mediumColumn(int64_t lba) const;

  const AppSettings& settings_;
  const TestResults& record_;
  std::optional<ZoneSpeed> lastMediumZone_;
  bool qualityMode_ = false;
  int32_t qualityLength_ = 0;
  double lastPlottedSample_ = 0.0;
  double lastPlottedRpm_ = 0.0;
  std::vector<GraphShape> shapes_;
};

}  // namespace tmx
