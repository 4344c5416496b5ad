#include "scenario_line.h"

#include <cctype>

namespace {
int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

std::optional<std::vector<std::string>> splitScenarioLine(const std::string& line,
                                                          std::string& error) {
  std::vector<std::string> words;
  std::size_t i = 0;
  const auto blank = [&](std::size_t at) {
    return at < line.size() && std::isspace(static_cast<unsigned char>(line[at])) != 0;
  };
  while (true) {
    while (blank(i)) ++i;
    if (i >= line.size() || (words.empty() && line[i] == '#')) break;
    std::string word;
    if (line[i] != '"') {
      while (i < line.size() && !blank(i)) word += line[i++];
      words.push_back(word);
      continue;
    }
    for (++i;; ++i) {
      if (i >= line.size()) {
        error = "unterminated quote";
        return std::nullopt;
      }
      if (line[i] == '"') break;
      if (line[i] != '\\') {
        word += line[i];
        continue;
      }
      if (++i >= line.size()) {
        error = "escape at end of line";
        return std::nullopt;
      }
      switch (line[i]) {
        case 'n': word += '\n'; break;
        case 't': word += '\t'; break;
        case 'r': word += '\r'; break;
        case '\\': word += '\\'; break;
        case '"': word += '"'; break;
        case 'x': {
          const int high = i + 1 < line.size() ? hexDigit(line[i + 1]) : -1;
          const int low = i + 2 < line.size() ? hexDigit(line[i + 2]) : -1;
          if (high < 0 || low < 0) {
            error = "\\x needs two hex digits";
            return std::nullopt;
          }
          word += static_cast<char>(high * 16 + low);
          i += 2;
          break;
        }
        default: error = std::string("unknown escape \\") + line[i]; return std::nullopt;
      }
    }
    ++i;
    words.push_back(word);
  }
  return words;
}
