// libFuzzer target for the save file reader: any bytes read as a file must
// give a clean result, and the same result every time.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "SaveFileChecks.h"

namespace {

bool Read(const uint8_t* data, size_t size, cWaterScene::Header* header, cEngineSettings* settings) {
  std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (!file) std::abort();
  const bool read = cWaterScene::ReadSettings(file, header, settings);
  std::fclose(file);
  return read;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;  // fmemopen refuses an empty buffer; the tests cover empty files
  cWaterScene::Header first = savefile::ValidHeader(), second = savefile::ValidHeader();
  cEngineSettings a, b;
  if (!Read(data, size, &first, &a) || !Read(data, size, &second, &b)) std::abort();
  if (const char* fault = savefile::FindReadFault(first, a)) {
    std::fprintf(stderr, "invalid after reading: %s\n", fault);
    std::abort();
  }
  if (std::memcmp(&first, &second, sizeof first) != 0 || std::memcmp(&a, &b, sizeof a) != 0) std::abort();
  return 0;
}
