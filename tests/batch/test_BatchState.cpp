#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <future>
#include <tuple>

#include "../waterscene/SaveFileTesting.h"
#include "BatchTesting.h"
#include "batch/BatchState.h"
#include "settings/TypeIds.h"
#include "batch/cBatchScene.h"
#include "geometry/cSimpleGrid.h"
#include "heightmap/cFFTHeightmap.h"
#include "normalmap/cNormalmapFDRaw.h"

namespace {

using batch::testing::DifferingKeys;
using savefile::testing::SavedFilePath;
using savefile::testing::WriteBytes;

class BatchState : public savefile::testing::WaterSceneTest {};

// Components the editor built, saved by the editor's writer, come back in the
// batch program as the same components with the same parameters.
TEST_F(BatchState, SavedStateRoundTripsIntoTheBatchProgram) {
  auto* fft = Keep(std::make_unique<cFFTHeightmap>(), &heightmap, &scene.heightmap);
  fft->SetSmoothness(4.0f);
  const D3DXVECTOR2 wind(2.0f, -1.0f);
  ASSERT_TRUE(fft->Initialize(32, 16, &wind, 0.5f, 3u));
  fft->SetNormalization(1.5f);
  auto* normals = Keep(std::make_unique<cNormalmapFDRaw>(), &normalmap, &scene.normalmap);
  ASSERT_TRUE(normals->SetSource(fft));
  normals->SetMethod(1);
  normals->SetAmplitude(0.75f);
  auto* grid = Keep(std::make_unique<cSimpleGrid>(), &geometry, &scene.geometry);
  ASSERT_TRUE(grid->Create(100.0f, 80.0f, 16, 12, D3DXVECTOR2(2.0f, 3.0f), D3DXVECTOR3(1.0f, -2.0f, 3.0f), device));
  scene.settings.heightmapUpdateCoef = 1.25f; scene.workingEnvironment = ENGINE_SM2;
  const std::string path = folder.File("state.txt");
  ASSERT_TRUE(scene.Save(path.c_str()));
  cEngineSettings loaded{};
  std::string error;
  ASSERT_TRUE(LoadBatchState(path, &loaded, &error)) << error;
  cBatchScene batch;
  ASSERT_TRUE(batch.Build(loaded, 3u, 0.0, d3d, device, &error)) << error;
  cEngineSettings original{}, rebuilt{};
  grid->FillSettings(normals->FillSettings(fft->FillSettings(&original)));
  batch.Geometry()->FillSettings(batch.Normalmap()->FillSettings(batch.Heightmap()->FillSettings(&rebuilt)));
  EXPECT_EQ(std::tuple(DifferingKeys(original, rebuilt), loaded.heightmapUpdateCoef),
            std::tuple(std::vector<std::string>{}, 1.25f));
  // Same seed, same spectrum: the very same heights.
  ASSERT_TRUE(fft->Update(0.0f));
  ASSERT_TRUE(batch.Heightmap()->Update(0.0f));
  EXPECT_EQ(std::memcmp(fft->GetHeights(), batch.Heightmap()->GetHeights(), 32 * 32 * sizeof(float)), 0);
}

struct RefusalCase {
  const char* name; const char* text; const char* message;  // message: after "<path>"
  friend void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }
};

class BatchStateRefusals : public ::testing::TestWithParam<RefusalCase> {};

// What the editor would silently skip or refuse is refused with the line it is on.
TEST_P(BatchStateRefusals, NameTheLine) {
  ScratchFolder folder;
  const std::string path = folder.File("bad.txt");
  if (GetParam().text) WriteBytes(path, GetParam().text);
  cEngineSettings loaded{};
  loaded.heightmapResolution = 77;
  std::string error;
  EXPECT_FALSE(LoadBatchState(path, &loaded, &error));
  EXPECT_EQ(error.rfind(path, 0), 0u) << error;
  EXPECT_NE(error.find(GetParam().message), std::string::npos) << error;
  EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  EXPECT_EQ(loaded.heightmapResolution, 77);
}

constexpr const char* kGood = "[heightmap type]=fft\r\n[heightmap resolution]=16\r\n[heightmap grid size]=4\r\n"
    "[fft heightmap amplitude]=4.000\r\n[heightmap update coef]=1.000\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, BatchStateRefusals,
    ::testing::Values(
        RefusalCase{"Missing", nullptr, ": cannot read the save file"},
        RefusalCase{"NotAKeyValueLine", "[heightmap type]=fft\r\nheightmap resolution 16\r\n", ":2: not a [key]=value"},
        RefusalCase{"UnknownKey", "[heightmap type]=fft\n\n[wave height]=3\n", ":3: unknown key [wave height]"},
        RefusalCase{"UnknownTypeWord", "[heightmap type]=fft \r\n", ":1: [heightmap type] has an unknown type"},
        RefusalCase{"NotANumber", "[heightmap type]=fft\r\n[heightmap resolution]=big\r\n",
                    ":2: [heightmap resolution] has no number"},
        RefusalCase{"InvalidValue", "[heightmap type]=fft\r\n[heightmap resolution]=16\r\n[heightmap grid size]=4\r\n"
                    "[fft heightmap amplitude]=-4.000\r\n", ":4: [fft heightmap amplitude] -4 is below 0"},
        RefusalCase{"LaterLineWins", "[heightmap type]=fft\r\n[heightmap resolution]=16\r\n"
                    "[heightmap resolution]=12\r\n", ":3: [heightmap resolution] 12"},
        RefusalCase{"PerlinRule", "[heightmap type]=perlin\r\n[heightmap resolution]=16\r\n"
                    "[perlin heightmap persistence]=-1\r\n", ":3: [perlin heightmap persistence]"},
        RefusalCase{"InvalidGeometry",
                    "[heightmap type]=fft\r\n[heightmap resolution]=16\r\n[geometry type]=simple\r\n",
                    ": [simple grid size .x] 0 is not above 0 (the file does not set it)"}),
    [](const auto& info) { return info.param.name; });

// Values outside the create buttons' bounds that the editor loads are loaded too
// (a negative speed plays the water backwards).
TEST(BatchStateFiles, AcceptsWhatTheEditorLoads) {
  ScratchFolder folder;
  const std::string good = folder.File("good.txt"), live = folder.File("live.txt");
  WriteBytes(good, kGood);
  WriteBytes(live, std::string(kGood) + "[heightmap update coef]=-1.000\r\n[normalmap type]=fdraw\r\n"
                                        "[fd normalmap amplitude]=-2.000\r\n");
  for (const std::string& path : {SavedFilePath("ffp.txt"), SavedFilePath("sm1.txt"), SavedFilePath("sm2.txt"),
                                   SavedFilePath("sm3.txt"), good, live}) {
    cEngineSettings loaded{};
    std::string error;
    EXPECT_TRUE(LoadBatchState(path, &loaded, &error)) << error;
    EXPECT_NE(loaded.heightmapType, 0) << path;
    if (path != live) continue;
    EXPECT_EQ(std::tuple(loaded.heightmapResolution, loaded.fftAmplitude, loaded.heightmapUpdateCoef,
                         loaded.fdNormalmapAmplitude), std::tuple(16, 4.0f, -1.0f, -2.0f));
  }
}

// A FIFO under the state's name is refused at once. Should the loader wait on
// it for a writer, the test opens the writing end to end the wait, and fails.
TEST(BatchStateFiles, RefusesAFifoWithoutWaitingForAWriter) {
  ScratchFolder folder;
  const std::string path = folder.File("fifo.txt");
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  cEngineSettings loaded{};
  std::string error;
  auto load = std::async(std::launch::async, [&] { return LoadBatchState(path, &loaded, &error); });
  if (load.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
    ADD_FAILURE() << "the loader waits for a writer";
    const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) close(fd);
  }
  EXPECT_FALSE(load.get());
  EXPECT_NE(error.find("cannot read the save file"), std::string::npos) << error;
}

}  // namespace
