// The run of shapecalc from its first prompt to its exit status, over any
// console, so that it can also be driven in-process (by the fuzzer).
#pragma once

#include "console_io.h"

namespace dialogue {

// Asks, reads, computes and writes; returns the exit status.
int run(console_io::console& io);

}  // namespace dialogue
