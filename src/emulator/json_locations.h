// Line numbers of the members and elements of a JSON text, by JSON pointer
// ("/drives/1/disc/content"), so that a configuration error found after
// parsing can still name its line. The text must already be valid JSON (the
// JSON library checks it first); this only follows strings and brackets.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace tmx::emu {

std::map<std::string, int> jsonLines(std::string_view text);

// Line where the brackets of `text` (outside strings) first nest deeper than
// `maxDepth`, or 0 when they never do. Cheap enough to run before parsing.
int lineTooDeep(std::string_view text, int maxDepth);

// Line of `pointer`, or of its nearest recorded parent; 1 when none.
int lineOf(const std::map<std::string, int>& lines, std::string pointer);

}  // namespace tmx::emu
