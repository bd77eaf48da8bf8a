#include "emulator/json_locations.h"

#include <functional>
#include <vector>

namespace tmx::emu {
namespace {

struct Frame {
  bool array = false;
  int index = 0;
  std::string path;
  std::string key;
};

std::string pointerToken(std::string_view raw) {
  std::string out;
  for (char c : raw) {
    if (c == '~') {
      out += "~0";
    } else if (c == '/') {
      out += "~1";
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

void walkJsonLines(std::string_view text, const std::function<bool(const std::string&, int)>& visit) {
  std::vector<Frame> stack;
  int line = 1;
  bool expectKey = false;
  bool inValue = false;  // inside a number or literal
  auto valuePath = [&]() -> std::string {
    if (stack.empty()) return "";
    const Frame& f = stack.back();
    return f.path + "/" + (f.array ? std::to_string(f.index) : f.key);
  };
  bool done = false;
  auto beginValue = [&]() {
    if (!stack.empty() && stack.back().array) done = !visit(valuePath(), line);
  };
  for (size_t i = 0; i < text.size() && !done; ++i) {
    const char c = text[i];
    if (c == '\n') ++line;
    if (c == '"') {
      const size_t start = i + 1;
      for (++i; i < text.size() && text[i] != '"'; ++i) {
        if (text[i] == '\\') ++i;
      }
      const std::string_view raw = text.substr(start, i - start);
      if (expectKey && !stack.empty()) {
        stack.back().key = pointerToken(raw);
        done = !visit(valuePath(), line);
        expectKey = false;
      } else {
        beginValue();
      }
      continue;
    }
    const bool structural = c == '{' || c == '[' || c == '}' || c == ']' || c == ',' || c == ':' || c == ' ' ||
                            c == '\t' || c == '\r' || c == '\n';
    if (!structural) {
      if (!inValue) beginValue();
      inValue = true;
      continue;
    }
    inValue = false;
    if (c == '{' || c == '[') {
      beginValue();
      const std::string path = valuePath();
      stack.push_back(Frame{c == '[', 0, path, {}});
      expectKey = c == '{';
    } else if (c == '}' || c == ']') {
      if (!stack.empty()) stack.pop_back();
      expectKey = false;
    } else if (c == ',' && !stack.empty()) {
      if (stack.back().array) {
        ++stack.back().index;
      } else {
        expectKey = true;
      }
    }
  }
}

std::map<std::string, int> jsonLines(std::string_view text) {
  std::map<std::string, int> lines;
  walkJsonLines(text, [&](const std::string& path, int line) {
    lines.emplace(path, line);
    return true;
  });
  return lines;
}

int lineOf(std::string_view text, const std::string& pointer) {
  // The first line of the pointer itself, else of its nearest recorded parent.
  int best = 1;
  size_t bestLength = 0;
  walkJsonLines(text, [&](const std::string& path, int line) {
    const bool parent = pointer.starts_with(path) && (path.size() == pointer.size() || pointer[path.size()] == '/');
    if (parent && path.size() > bestLength) {
      best = line;
      bestLength = path.size();
    }
    return bestLength != pointer.size();
  });
  return best;
}

int lineTooDeep(std::string_view text, int maxDepth) {
  int line = 1;
  int depth = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\n') {
      ++line;
    } else if (c == '"') {
      for (++i; i < text.size() && text[i] != '"'; ++i) {
        if (text[i] == '\\') {
          ++i;
        } else if (text[i] == '\n') {
          ++line;
        }
      }
    } else if (c == '{' || c == '[') {
      if (++depth > maxDepth) return line;
    } else if (c == '}' || c == ']') {
      --depth;
    }
  }
  return 0;
}

}  // namespace tmx::emu
