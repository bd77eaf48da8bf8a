#include "program/graph_svg.h"

#include <gtest/gtest.h>

#include "program/banner_png.h"

namespace tmx {
namespace {

using Kind = GraphShape::Kind;

bool has(const std::string& svg, const std::string& part) { return svg.find(part) != std::string::npos; }

TEST(GraphSvg, ShapesBecomePixelExactElements) {
  const std::vector<GraphShape> shapes = {
      {Kind::Line, 37, 268, 440, 268, 0x00FF4040, 0, {}},        // along x: the end excluded
      {Kind::Line, 41, 308, 41, 288, 0x0000FFFF, 0, {}},         // upwards: ends at 289
      {Kind::Line, 40, 248, 50, 251, 0x0000FFFF, 0, {}},         // slanted
      {Kind::Line, 60, 70, 60, 70, 0x00000000, 0, {}},           // empty
      {Kind::FilledRect, 40, 58, 441, 309, 0x00FF4040, 0, {}},   // black plot, outlined
      {Kind::FilledRect, 3, 50, 462, 330, kButtonFaceColour, kButtonFaceColour, {}},
      {Kind::Text, 17, 260, 0, 0, kButtonTextColour, 0, " 8X<&"},
  };
  GraphSvgLook look;
  look.buttonFace = 0x00C8D0D4;
  look.buttonText = 0x00102030;
  const std::string svg = graphSvg(shapes, {}, look);
  EXPECT_TRUE(svg.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg "));
  EXPECT_TRUE(has(svg, "width=\"462\" height=\"330\" viewBox=\"0 0 462 330\""));
  EXPECT_TRUE(svg.ends_with("</g>\n</svg>\n"));
  EXPECT_TRUE(has(svg, "<rect x=\"37\" y=\"268\" width=\"403\" height=\"1\" fill=\"#4040FF\"/>\n"));
  EXPECT_TRUE(has(svg, "<rect x=\"41\" y=\"289\" width=\"1\" height=\"20\" fill=\"#FFFF00\"/>\n"));
  EXPECT_TRUE(has(svg, "<line x1=\"40.5\" y1=\"248.5\" x2=\"50.5\" y2=\"251.5\" stroke=\"#FFFF00\""));
  EXPECT_FALSE(has(svg, "fill=\"#000000\"/>\n<rect x=\"60\""));
  // The plot: black fill, then its four outline edges.
  EXPECT_TRUE(has(svg, "<rect x=\"40\" y=\"58\" width=\"401\" height=\"251\" fill=\"#000000\"/>\n"
                       "<rect x=\"40\" y=\"58\" width=\"401\" height=\"1\" fill=\"#4040FF\"/>\n"
                       "<rect x=\"40\" y=\"308\" width=\"401\" height=\"1\" fill=\"#4040FF\"/>\n"
                       "<rect x=\"40\" y=\"58\" width=\"1\" height=\"251\" fill=\"#4040FF\"/>\n"
                       "<rect x=\"440\" y=\"58\" width=\"1\" height=\"251\" fill=\"#4040FF\"/>\n"));
  // The platform colours come from the look; a text keeps its blanks, escaped.
  EXPECT_TRUE(has(svg, "<rect x=\"3\" y=\"50\" width=\"459\" height=\"280\" fill=\"#D4D0C8\"/>\n<text"));
  EXPECT_TRUE(has(svg, "<text x=\"17\" y=\"270\" fill=\"#302010\"> 8X&lt;&amp;</text>\n"));
  EXPECT_TRUE(has(svg, "xml:space=\"preserve\""));
}

TEST(GraphSvg, BannerIsEmbeddedAsPng) {
  EXPECT_EQ(base64(""), "");
  EXPECT_EQ(base64("M"), "TQ==");
  EXPECT_EQ(base64("Ma"), "TWE=");
  EXPECT_EQ(base64("Man\xff"), "TWFu/w==");

  const std::vector<GraphShape> shapes = {{Kind::Banner, 10, 3, 191, 41, 0, 0, {}}};
  EXPECT_FALSE(has(graphSvg(shapes), "<image"));
  EXPECT_TRUE(has(graphSvg(shapes, "Man"), "<image x=\"10\" y=\"3\" width=\"181\" height=\"38\" "
                                           "xlink:href=\"data:image/png;base64,TWFu\"/>\n"));

  // The compiled-in artwork is a PNG of 181 x 38 (width and height in its header).
  const std::string_view png = bannerPng();
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(0, 8), std::string_view("\x89PNG\r\n\x1a\n", 8));
  EXPECT_EQ(png.substr(16, 8), std::string_view("\0\0\0\xb5\0\0\0\x26", 8));
}

}  // namespace
}  // namespace tmx
