// One pass, no retries: both words, the shape, its dimensions, the
// quantity, and the result or one refusal.
#include "dialogue.h"

#include "shapes.h"

int dialogue::run(console_io::console& io) {
  // Both words are read before either is looked at.
  io.write_text("Enter what shape you want to calc: \n");
  console_io::word shape_word;
  io.read_word(shape_word);
  io.write_text("Enter what attribute you want to calc: \n");
  console_io::word attribute_word;
  io.read_word(attribute_word);

  const shapes::shape* shape = shapes::find_shape(shape_word.view());
  if (shape == nullptr) {
    io.write_message("Shape `%s` does not exist!\n", shape_word);
    return io.finish(1);
  }

  // Every dimension is asked for, even when the attribute will be refused.
  shapes::dimensions dims{};
  for (std::size_t i = 0; i < shape->prompts.size(); ++i) {
    io.write_text(shape->prompts[i]);
    dims[i] = io.read_dimension();
  }

  const shapes::attribute* attribute =
      shapes::find_attribute(*shape, attribute_word.view());
  if (attribute == nullptr) {
    io.write_message("Attribute `%s` does not exist!\n", attribute_word);
    return io.finish(1);
  }

  io.write_result(attribute->compute(dims));
  return io.finish(0);
}
