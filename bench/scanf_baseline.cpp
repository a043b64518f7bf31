// The C library's way of doing shapecalc's bulk reads, to compare against:
//   space   "%255s"       one word after any amount of white space
//   word    "%255s%*s"    a word of any length, its first 255 bytes kept
//   number  "%255s%255s%f"  two words, then a number of any length
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  char first[256];
  char second[256];
  float number = 0;
  const char* mode = argc > 1 ? argv[1] : "";
  int converted = 0;
  if (std::strcmp(mode, "space") == 0) {
    converted = std::scanf("%255s", first);
  } else if (std::strcmp(mode, "word") == 0) {
    converted = std::scanf("%255s%*s", first);
  } else if (std::strcmp(mode, "number") == 0) {
    converted = std::scanf("%255s%255s%f", first, second, &number);
  } else {
    std::fprintf(stderr, "usage: scanf_baseline space|word|number\n");
    return 2;
  }
  std::printf("%d %f\n", converted, static_cast<double>(number));
  return 0;
}
