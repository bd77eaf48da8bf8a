// The speed graph as an SVG picture, written from the same shape list the
// window paints: the graph region of kGraphImageWidth x kGraphImageHeight
// pixels, lines and rectangles on the pixel grid, texts centred on their x
// with their top at their y.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "program/speed_graph_model.h"
#include "results/app_settings.h"
#include "results/test_results.h"

namespace tmx {

// What a desktop would give the painter. Colours are words 0x00BBGGRR.
struct GraphSvgLook {
  uint32_t buttonFace = 0x00EFEFEF;
  uint32_t buttonText = 0x00000000;
  std::string fontFamily = "DejaVu Sans, Verdana, sans-serif";
  int fontPixels = 11;
};

// `bannerPng` is embedded where a Banner shape stands; empty leaves it out.
std::string graphSvg(const std::vector<GraphShape>& shapes, std::string_view bannerPng = {},
                     const GraphSvgLook& look = {});

// The same for a picture of any size (the comparison's).
std::string shapesSvg(const std::vector<GraphShape>& shapes, int width, int height, std::string_view bannerPng = {},
                      const GraphSvgLook& look = {});

// The picture the window shows for `record` when it repaints, banner
// included: the speed curves, or with `qualityMode` the error bars of a check
// over `qualityLength` sectors.
std::string recordGraphSvg(const AppSettings& settings, const TestResults& record, bool qualityMode,
                           int32_t qualityLength);

// Standard base64 with padding.
std::string base64(std::string_view bytes);

}  // namespace tmx
