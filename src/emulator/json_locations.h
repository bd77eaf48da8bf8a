// Line numbers of the members and elements of a JSON text, by JSON pointer
// ("/drives/1/disc/content"), so that a configuration error found after
// parsing can still name its line. The text must already be valid JSON (the
// JSON library checks it first); this only follows strings and brackets.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace tmx::emu {

// Every pointer's first line.
std::map<std::string, int> jsonLines(std::string_view text);

// Calls `visit` with each pointer and its line, in text order, until it
// returns false. Memory grows with the depth only.
void walkJsonLines(std::string_view text, const std::function<bool(const std::string&, int)>& visit);

// Line of `pointer` in `text`, or of its nearest parent; 1 when none. One
// pass over the text, kept for the one error a configuration reports.
int lineOf(std::string_view text, const std::string& pointer);

// Line where the brackets of `text` (outside strings) first nest deeper than
// `maxDepth`, or 0 when they never do. Cheap enough to run before parsing.
int lineTooDeep(std::string_view text, int maxDepth);

}  // namespace tmx::emu
