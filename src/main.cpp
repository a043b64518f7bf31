// shapecalc: asks for a shape, a quantity and the shape's dimensions, and
// prints the quantity. Arguments are ignored.
#include "console_io.h"
#include "dialogue.h"
#include "platform.h"

int main() {
  platform::use_binary_standard_streams();
  // Static rather than on the stack: the buffers take zero pages only where
  // they are used, and the run's stack stays on pages already touched.
  static console_io::console_buffers buffers;
  console_io::console io({platform::kStandardInput, platform::kStandardOutput,
                          platform::kStandardError},
                         buffers);
  return dialogue::run(io);
}
