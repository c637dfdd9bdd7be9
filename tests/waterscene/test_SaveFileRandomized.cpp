// The saved files, mutated with fixed seeds, read back: whatever the bytes, the
// reader succeeds, stays within its buffers (the sanitizer build checks) and
// leaves only valid values. The fuzz target explores further; this runs in every build.
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "../../fuzz/SaveFileChecks.h"
#include "SaveFileTesting.h"

namespace {

using namespace savefile::testing;

struct ReadResult {
  bool read = false;
  cWaterScene::Header header;
  cEngineSettings settings;
};

ReadResult Read(const std::string& bytes) {
  ReadResult result;
  result.header = savefile::ValidHeader();
  std::memset(&result.settings, 0, sizeof result.settings);
  std::FILE* file = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
  if (!file) return result;
  result.read = cWaterScene::ReadSettings(file, &result.header, &result.settings);
  std::fclose(file);
  return result;
}

bool Same(const ReadResult& a, const ReadResult& b) {
  return a.read == b.read && std::memcmp(&a.header, &b.header, sizeof a.header) == 0 &&
         std::memcmp(&a.settings, &b.settings, sizeof a.settings) == 0;
}

class Mutator {
 public:
  explicit Mutator(uint32_t seed) : random_(seed) {}

  size_t Below(size_t n) { return n == 0 ? 0 : random_() % n; }

  void Mutate(std::string* bytes) {
    static const char kSpecial[] = "[]=\r\n\0 \t+-.eE0123456789xX";
    const size_t at = Below(bytes->size() + 1);
    switch (Below(7)) {
      case 0:  // one byte, any value
        if (!bytes->empty()) (*bytes)[Below(bytes->size())] = static_cast<char>(random_());
        break;
      case 1:  // a character the scanner or the number parsers care about
        bytes->insert(at, 1, kSpecial[Below(sizeof kSpecial - 1)]);
        break;
      case 2:  // a range removed
        bytes->erase(at, Below(64));
        break;
      case 3:  // a range repeated, long enough at times to pass the line limit
        if (at < bytes->size()) bytes->insert(at, bytes->substr(at, 1 + Below(32)), 0, std::string::npos);
        if (at < bytes->size() && Below(4) == 0) bytes->insert(at, std::string(200 + Below(400), (*bytes)[at]));
        break;
      case 4:  // a known key with a hostile number
        bytes->insert(at, "[" + std::string(EngineSettingKeys()[Below(EngineSettingKeys().size())].key) + "]=" +
                              kNumbers[Below(std::size(kNumbers))] + "\r\n");
        break;
      case 5:  // cut short
        bytes->resize(at);
        break;
      default:  // letter case flipped
        if (!bytes->empty()) (*bytes)[Below(bytes->size())] ^= 0x20;
        break;
    }
  }

 private:
  static constexpr const char* kNumbers[] = {"99999999999999999999", "-2147483649", "1e39", "-1e999", "1e-50",
                                              "0x1p4", "nan", "inf", " 7", "", "3.5.5e+e"};
  std::mt19937 random_;
};

TEST(SaveFileRandomized, MutatedSavedFilesReadCleanly) {
  std::vector<std::string> seeds;
  for (const char* name : {"ffp.txt", "sm1.txt", "sm2.txt", "sm3.txt"}) seeds.push_back(ReadBytes(SavedFilePath(name)));

  for (uint32_t seed : {1u, 2u, 3u, 4u, 5u}) {
    Mutator mutator(seed);
    for (int round = 0; round < 400; ++round) {
      std::string bytes = seeds[mutator.Below(seeds.size())];
      const size_t edits = 1 + mutator.Below(12);
      for (size_t e = 0; e < edits; ++e) mutator.Mutate(&bytes);
      SCOPED_TRACE(testing::Message() << "seed " << seed << ", round " << round);

      const ReadResult result = Read(bytes);
      if (bytes.empty()) continue;  // fmemopen takes no empty buffer; the load tests cover empty files
      ASSERT_TRUE(result.read);
      const char* fault = savefile::FindReadFault(result.header, result.settings);
      ASSERT_EQ(fault, nullptr) << fault;
      ASSERT_TRUE(Same(result, Read(bytes)));
      // A last line reads the same with or without its line end.
      if (bytes.back() != '\n' && bytes.back() != '\r') {
        ASSERT_TRUE(Same(result, Read(bytes + "\r\n")));
      }
    }
  }
}

}  // namespace
