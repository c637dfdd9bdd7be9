// Reading save files: the text functions, the loader, and mutated files.
#include <sys/stat.h>

#include <cfloat>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "../../fuzz/SaveFileChecks.h"
#include "SaveFileTesting.h"
#include "settings/TypeIds.h"
#include "waterscene/SaveFileText.h"

namespace {

using namespace savefile::testing;
using namespace std::string_literals;

using StringList = std::vector<std::string>;

StringList Lines(const std::string& bytes) {
  StringList lines;
  std::FILE* file = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
  if (!file) return {"fmemopen failed"};
  EXPECT_TRUE(ReadSaveLines(file, [&](std::string_view line) { lines.emplace_back(line); }));
  std::fclose(file);
  return lines;
}

TEST(SaveFileText, LinesEndAtLineFeedsWithOneCarriageReturnDropped) {
  const std::string longest(kMaxSaveLineLength, 'a'), head(kMaxSaveLineLength, 'x');
  const std::string injected = "[heightmap type]=fft";
  const struct { std::string bytes; StringList lines; } cases[] = {
      {"", {}}, {"a\r\nb\r\n", {"a", "b"}}, {"a\nb\n", {"a", "b"}}, {"a\r\r\n", {"a\r"}}, {"a\rb\n", {"a\rb"}},
      {"\n\r\n", {"", ""}}, {"last", {"last"}}, {"x\nlast\r", {"x", "last"}},
      {std::string("a\0b\nc", 5), {std::string("a\0b", 3), "c"}}, {longest + "\r\nnext\n", {longest, "next"}},
      // The rest of an over-long line is never read as a line; a million characters still cost one line.
      {head + injected + "\r\nnext\r\n", {head, "next"}}, {head + "\r" + injected, {head}},
      {std::string(1 << 20, 'y') + "\n", {std::string(kMaxSaveLineLength, 'y')}},
  };
  for (const auto& c : cases) EXPECT_EQ(Lines(c.bytes), c.lines) << c.bytes.substr(0, 40);
}

// The cases of tests/data/waterscene/save-text.txt, by kind.
std::vector<std::vector<std::string>> Cases(const char* kind) { return TableRows("waterscene/save-text.txt", kind); }

TEST(SaveFileText, ScanFindsKeyAndValueOnlyInWellFormedLines) {
  for (const auto& c : Cases("scan")) {
    std::string_view key = "unset", value = "unset";
    EXPECT_EQ(ScanSaveLine(c[0], &key, &value), c.size() == 3) << c[0];
    if (c.size() != 3) continue;
    EXPECT_EQ(std::tuple(key, value), std::tuple(c[1], c[2])) << c[0];
  }
}

TEST(SaveFileText, IntegersTakeTheLeadingNumberAndSaturate) {
  for (const auto& c : Cases("int")) EXPECT_EQ(ParseSaveInt(c[0]), std::stoi(c[1])) << c[0];
}

TEST(SaveFileText, FloatsTakeDecimalSyntaxOnlyAndClamp) {
  for (const auto& c : Cases("float")) EXPECT_EQ(ParseSaveFloat(c[0]), std::stof(c[1])) << c[0];
}

TEST(SaveFileText, NumbersAreWrittenWithThreeDecimalsAndAPoint) {
  for (const auto& c : Cases("write")) {
    std::string text;
    AppendSaveFloat(&text, std::strtof(c[0].c_str(), nullptr));
    EXPECT_EQ(text, c[1]);
  }
  std::string ints;
  AppendSaveInt(&ints, INT_MIN);
  ints += ' ';
  AppendSaveInt(&ints, 42);
  EXPECT_EQ(ints, "-2147483648 42");
}

// Numbers keep their point under a locale with a decimal comma (whichever is installed).
TEST(SaveFileText, NumbersIgnoreADecimalCommaLocale) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  const char* locale = nullptr;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "it_IT.UTF-8", "ru_RU.UTF-8"})
    if (!locale && std::setlocale(LC_ALL, name)) locale = name;
  if (!locale) GTEST_SKIP() << "no locale with a decimal comma is installed";
  char formatted[16];
  std::snprintf(formatted, sizeof formatted, "%.1f", 1.5);
  std::string text;
  AppendSaveFloat(&text, -0.5f);
  const float parsed[] = {ParseSaveFloat("2.25"), ParseSaveFloat(" .5e1")};
  std::setlocale(LC_ALL, previous.c_str());
  EXPECT_STREQ(formatted, "1,5") << locale;
  EXPECT_EQ(std::tuple(text, parsed[0], parsed[1]), std::tuple(std::string("-0.500"), 2.25f, 5.0f));
}

// A scene whose header and record hold values no file below sets.
cWaterScene::Header SomeHeader() { return {HEIGHTMAP_PERLIN, NORMALMAP_FD_TEX, GEOMETRY_RADIAL, ENGINE_SM2}; }

template <class T>
bool SameBytes(const T& a, const T& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class WaterSceneLoad : public ::testing::Test {
 protected:
  void SetUp() override {
    scene.SetHeader(SomeHeader());
    scene.settings.windX = 9.0f;
    scene.settings.heightmapResolution = 99;
  }
  // Loads `bytes` from a file; the scene keeps what it had when that fails.
  bool LoadText(const std::string& bytes) {
    const std::string path = folder.File("load.txt");
    WriteBytes(path, bytes);
    return scene.Load(path.c_str());
  }
  cWaterScene scene;
  ScratchFolder folder;
};

// Each file loads into a record started from zero; the header keeps what the file lacks.
TEST_F(WaterSceneLoad, LinesFollowTheScanCaseAndTrimRules) {
  using Record = cEngineSettings;
  using Header = cWaterScene::Header;
  const auto none = [](auto&) {};
  // Each case sets the record's fields the file sets, and the header fields it changes.
  const struct { const char* name; std::string text; void (*record)(Record&); void (*header)(Header&); } cases[] = {
      {"an empty file is a valid, empty save", "", none, none},
      {"letter case of keys and words", "[Heightmap Type]=FFT\r\n",
       [](Record& s) { s.heightmapType = HEIGHTMAP_FFT; }, [](Header& h) { h.currentHeightmapType = HEIGHTMAP_FFT; }},
      {"no trimming of words", "[heightmap type]=fft \r\n[normalmap type]= fft\r\n", none, none},
      {"no trimming of keys", "[wind .x ]=2\r\n[ wind .x]=3\r\n", none, none},
      {"empty and non-numeric values", "[wind .x]=\r\n[heightmap resolution]=many\r\n[extrude geometry]=\r\n", none,
       none},
      {"any order, later lines win", "[wind .z]=1\r\n[wind .x]=2\r\n[wind .z]=3\r\n",
       [](Record& s) { s.windX = 2.0f, s.windZ = 3.0f; }, none},
      {"unknown keys and words", "[wind .y]=1\r\n[geometry type]=hexagonal\r\n[engine type]=sm4\r\n", none, none},
      {"a type goes to the record and the header", "[geometry type]=geomipmap\r\n",
       [](Record& s) { s.geometryType = GEOMETRY_GEOMIPMAP; },
       [](Header& h) { h.currentGeometryType = GEOMETRY_GEOMIPMAP; }},
      {"engine type goes to the record only", "[engine type]=sm3\r\n", [](Record& s) { s.engineType = ENGINE_SM3; },
       none},
      {"working environment goes to the header only", "[working environment]=FFP\r\n", none,
       [](Header& h) { h.workingEnvironment = ENGINE_FFP; }},
      {"bools", "[extrude geometry]=7\r\n[perlin squared height]=-1\r\n[enable foam rendering]=0\r\n",
       [](Record& s) { s.extrudeGeometry = s.perlinSquaredHeight = true; }, none},
      {"NUL bytes", "[heightmap type]=fft\0x\r\n[wind .x\0]=1\r\n\0\0[wind .z]=2\0\r\n[geometry type]=simple"s,
       [](Record& s) { s.windZ = 2.0f, s.geometryType = GEOMETRY_SIMPLE; },
       [](Header& h) { h.currentGeometryType = GEOMETRY_SIMPLE; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    ASSERT_TRUE(LoadText(c.text));
    Record record;
    std::memset(&record, 0, sizeof record);
    Header header = SomeHeader();
    c.record(record);
    c.header(header);
    EXPECT_TRUE(SameBytes(scene.settings, record));
    EXPECT_TRUE(SameBytes(scene.GetHeader(), header));
  }
}

TEST_F(WaterSceneLoad, AFileThatCannotBeReadChangesNothing) {
  mkdir(folder.File("folder.txt").c_str(), 0755);
  mkfifo(folder.File("pipe.txt").c_str(), 0644);
  const std::string unreadable = folder.File("unreadable.txt");
  WriteBytes(unreadable, "[wind .x]=1\r\n");
  chmod(unreadable.c_str(), 0);
  const bool runsAsRoot = geteuid() == 0;  // root reads anything
  const std::string paths[] = {folder.File("missing.txt"), folder.File("folder.txt"), folder.File("pipe.txt"),
                               runsAsRoot ? folder.File("missing.txt") : unreadable};
  const cEngineSettings before = scene.settings;
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(scene.Load(path.c_str()));
    EXPECT_TRUE(SameBytes(scene.settings, before));
    EXPECT_TRUE(SameBytes(scene.GetHeader(), SomeHeader()));
  }
  EXPECT_FALSE(scene.Load(nullptr));
}

struct ReadResult { bool read = false; cWaterScene::Header header; cEngineSettings settings; };

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
  return a.read == b.read && SameBytes(a.header, b.header) && SameBytes(a.settings, b.settings);
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
        bytes->insert(at, "[" + std::string(EngineSettingKeys()[Below(EngineSettingKeys().size())].key) +
                              "]=" + kNumbers[Below(std::size(kNumbers))] + "\r\n");
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
  static constexpr const char* kNumbers[] = {
      "99999999999999999999", "-2147483649", "1e39", "-1e999", "1e-50", "0x1p4", "nan", "inf", " 7", "", "3.5.5e+e"};
  std::mt19937 random_;
};

// The saved files, mutated with fixed seeds, read back: whatever the bytes, the
// reader succeeds, stays within its buffers (the sanitizer build checks) and
// leaves only valid values. The fuzz target explores further; this runs in every build.
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
