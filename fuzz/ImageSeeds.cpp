// Writes the small images of the tests into a folder, one of every kind the
// readers take, as the image fuzzer's seed corpus:
//   fuzz_image_seeds DIR
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "../tests/platform/ImageFiles.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_image_seeds DIR\n");
    return 2;
  }
  std::error_code error;
  std::filesystem::create_directories(argv[1], error);
  for (const test_images::NamedImage& image : test_images::EveryKind()) {
    std::ofstream file(std::filesystem::path(argv[1]) / image.name, std::ios::binary);
    if (image.bytes.empty() || !(file << image.bytes)) {
      std::fprintf(stderr, "fuzz_image_seeds: cannot write %s\n", image.name);
      return 1;
    }
  }
  return 0;
}
