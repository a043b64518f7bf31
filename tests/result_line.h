// The result line the program prints for a value, as a string.
#pragma once

#include <string>

#include "console_io.h"

inline std::string result_line(double value) {
  char line[console_io::kResultLineMax];
  return {line, console_io::format_result(value, line)};
}
