#pragma once
// One line of a scenario: words separated by blanks; "double quoted" words may hold blanks
// and the escapes \n \t \r \\ \" \xHH.

#include <optional>
#include <string>
#include <vector>

// The words of a line, or nothing with `error` set when a quote or an escape is broken.
// A line that is empty or starts with '#' has no words.
std::optional<std::vector<std::string>> splitScenarioLine(const std::string& line,
                                                          std::string& error);
