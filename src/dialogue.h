// The run of shapecalc from its first prompt to its exit status, over any
// console, so that it can be driven in-process as well as by main.
#pragma once

#include "console_io.h"

namespace dialogue {

// Asks, reads, computes and writes; returns the exit status: 0 after a
// result, 1 after a refused word, 2 when standard output failed.
int run(console_io::console& io);

}  // namespace dialogue
