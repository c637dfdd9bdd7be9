// The editor's parts on their own: the camera, the readers of menu values and
// the engine descriptions file.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <string>
#include <tuple>

#include "../ScratchFolder.h"
#include "editor/EngineDescriptions.h"
#include "editor/MenuValues.h"
#include "editor/cCamera.h"
#include "gui/cTextarea.h"
#include "platform/Platform.h"

namespace {

constexpr float kPi = 3.14159265f;
float Radians(float degrees) { return degrees * kPi / 180.0f; }

// The view direction for yaw and pitch, worked out by hand: yaw turns from -z
// towards -x, pitch lifts the view up.
D3DXVECTOR3 ExpectedDirection(float yawDegrees, float pitchDegrees) {
  const float yaw = Radians(yawDegrees), pitch = Radians(pitchDegrees);
  return {-std::sin(yaw) * std::cos(pitch), std::sin(pitch), -std::cos(yaw) * std::cos(pitch)};
}

void ExpectNear(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-4f);
  EXPECT_NEAR(actual.y, expected.y, 1e-4f);
  EXPECT_NEAR(actual.z, expected.z, 1e-4f);
}

class CameraTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::UseHeadlessBackend(); }  // a 1024 x 768 desktop
  // Puts the cursor (dx, dy) pixels from the screen centre and looks.
  void LookFrom(int dx, int dy) {
    SetCursorPos(512 + dx, 384 + dy);
    camera.MouseLook(0.1f);
  }
  cCamera camera;
};

TEST_F(CameraTest, TheDirectionFollowsTheAccumulatedYawAndPitch) {
  struct Step { int dx, dy; float yaw, pitch; };  // yaw and pitch: degrees after the step
  const Step steps[] = {
      {0, 0, 0, 0},       // the first look, at the centre, turns it from +z to -z
      {100, 0, 10, 0},    // 100 pixels right of the centre turn by +10 degrees
      {100, 0, 20, 0},
      {0, 300, 20, -30},  // below the centre looks down
      {-450, 0, -25, -30},
      {0, -500, -25, 20},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(testing::Message() << step.yaw << " " << step.pitch);
    LookFrom(step.dx, step.dy);
    EXPECT_NEAR(camera.yaw, Radians(step.yaw), 1e-5f);
    EXPECT_NEAR(camera.pitchDegrees, step.pitch, 1e-4f);
    ExpectNear(camera.direction, ExpectedDirection(step.yaw, step.pitch));
    EXPECT_NEAR(D3DXVec3Dot(&camera.direction, &camera.right), 0.0f, 1e-5f);
    EXPECT_NEAR(camera.right.y, 0.0f, 1e-6f);
  }
}

TEST_F(CameraTest, ThePitchLimitRefusesAWholeStepThatWouldReachIt) {
  camera.pitchDegrees = 88.0f;
  camera.pitch = Radians(88.0f);
  LookFrom(0, -20);  // +2 degrees would reach 90
  EXPECT_FLOAT_EQ(camera.pitchDegrees, 88.0f);
  LookFrom(0, -10);  // +1 would reach exactly 89, the limit itself
  EXPECT_FLOAT_EQ(camera.pitchDegrees, 88.0f);
  LookFrom(0, -5);
  EXPECT_NEAR(camera.pitchDegrees, 88.5f, 1e-4f);
  camera.pitchDegrees = -88.5f;
  LookFrom(0, 10);
  EXPECT_NEAR(camera.pitchDegrees, -88.5f, 1e-4f);
}

TEST_F(CameraTest, MovesAlongItsDirectionAndLooksAtItsTarget) {
  camera.direction = {0.6f, 0.0f, 0.8f};
  camera.MoveForward(10.0f);
  ExpectNear(camera.position, {6, 100, 108});
  camera.MoveForward(-5.0f);
  ExpectNear(camera.position, {3, 100, 104});
  const D3DXMATRIX view = *camera.GetView();
  ExpectNear(camera.target, {3.6f, 100, 104.8f});
  D3DXVECTOR3 eye, ahead;
  D3DXVec3TransformCoord(&eye, &camera.position, &view);
  D3DXVec3TransformCoord(&ahead, &camera.target, &view);
  ExpectNear(eye, {0, 0, 0});
  ExpectNear(ahead, {0, 0, 1});
}

// Id 7 is used by a text area, then an edit box, a checkbox and a combobox, as
// ids repeat in the editor's menus; each lookup must find the control of its kind.
class MenuValuesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    menu.Add(new cTextarea(7, D3DXVECTOR2(0, 0), 0.1f, L"label", nullptr));
    box = menu.Add(new cEditbox(7, D3DXVECTOR2(0, 0), D3DXVECTOR2(0.1f, 0.1f), D3DXVECTOR2(0, 0), L"12.9", nullptr,
                                nullptr));
    check = menu.Add(new cCheckbox(7, 0, nullptr, nullptr, D3DXVECTOR2(0, 0), 0.1f, 0.1f));
    list = menu.Add(new cCombobox(7, 0, D3DXVECTOR2(0, 0), 0.25f, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                  nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr));
    list->AddItem(L"a");
    list->AddItem(L"b");
  }
  cMenu menu{1, nullptr};
  cEditbox* box = nullptr;
  cCheckbox* check = nullptr;
  cCombobox* list = nullptr;
};

TEST_F(MenuValuesTest, LookupsFindTheirKindAndReadItsValueOrTheFallback) {
  EXPECT_EQ(std::tuple(FindEditbox(&menu, 7), FindCheckbox(&menu, 7), FindCombobox(&menu, 7)),
            std::tuple(box, check, list));
  for (const cMenu* source : {static_cast<const cMenu*>(nullptr), static_cast<const cMenu*>(&menu)}) {
    const int id = source ? 8 : 7;
    EXPECT_EQ(std::tuple(FindEditbox(source, id), FindCheckbox(source, id), FindCombobox(source, id)),
              std::tuple(nullptr, nullptr, nullptr));
    EXPECT_EQ(std::tuple(EditboxValue(source, id, -3.0f), EditboxInt(source, id, 9), EditboxByte(source, id, 4)),
              std::tuple(-3.0f, 9, BYTE{4}));
    EXPECT_FALSE(IsChecked(source, id));
    EXPECT_EQ(SelectedItem(source, id), -1);
  }
  EXPECT_EQ(std::tuple(EditboxValue(&menu, 7), EditboxInt(&menu, 7), EditboxByte(&menu, 7)),
            std::tuple(12.9f, 12, BYTE{12}));
  EXPECT_EQ(std::tuple(IsChecked(&menu, 7), SelectedItem(&menu, 7)), std::tuple(false, -1));
  check->SetChecked(1);
  list->Select(2);
  EXPECT_EQ(std::tuple(IsChecked(&menu, 7), SelectedItem(&menu, 7)), std::tuple(true, 2));
  box->SetText(L"300");
  EXPECT_EQ(EditboxByte(&menu, 7), 255);
  box->SetText(L"99999999999999999999");
  EXPECT_EQ(EditboxInt(&menu, 7), std::numeric_limits<int>::max());
}

TEST(MenuValueConversions, SaturateInsteadOfOverflowing) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case { float value; int integer; BYTE byte; };
  const Case cases[] = {
      {0.0f, 0, 0},          {12.9f, 12, 12},     {-12.9f, -12, 0},   {254.99f, 254, 254},
      {255.0f, 255, 255},    {300.0f, 300, 255},  {-10.0f, -10, 0},
      {2147483520.0f, 2147483520, 255},  // the largest float below 2^31
      {2147483648.0f, std::numeric_limits<int>::max(), 255},
      {-2147483648.0f, std::numeric_limits<int>::min(), 0},
      {-3.0e9f, std::numeric_limits<int>::min(), 0},
      {inf, std::numeric_limits<int>::max(), 255},
      {-inf, std::numeric_limits<int>::min(), 0},
      {nan, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(SaturatingInt(c.value), c.integer);
    EXPECT_EQ(ClampByte(c.value), c.byte);
  }
}

std::string Write(const ScratchFolder& folder, const std::string& bytes) {
  const std::string path = folder.File("engineDescription.txt");
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

TEST(EngineDescriptions, KeepsNineLinesWithTheirLineEndsAndTheirRolesAndNoneWithoutAFile) {
  const std::string longLine(600, 'x');
  struct Case { const char* name; std::string bytes; EngineDescriptions expected; };
  const Case cases[] = {
      {"windows line ends", "a\r\nb\r\n", {L"a\r\n", L"b\r\n"}},
      {"a long line is cut, the next keeps its role", "a\n" + longLine + "\nc\n",
       {L"a\n", std::wstring(511, L'x'), L"c\n"}},
      {"more than nine lines", "0\n1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n",
       {L"0\n", L"1\n", L"2\n", L"3\n", L"4\n", L"5\n", L"6\n", L"7\n", L"8\n"}},
      {"last line without line feed", "a\nb", {L"a\n", L"b"}},
      {"bytes become characters", "\xE9\x01\n", {L"\u00E9\u0001\n"}},
      {"empty file", "", {}},
  };
  const ScratchFolder folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadEngineDescriptions(Write(folder, c.bytes).c_str()), c.expected);
  }
  // A missing file gives empty texts.
  EXPECT_EQ(ReadEngineDescriptions("no/such/file.txt"), EngineDescriptions{});
  EXPECT_EQ(ReadEngineDescriptions(nullptr), EngineDescriptions{});
  // The shipped file has nine non-empty lines.
  for (const std::wstring& line : ReadEngineDescriptions("data/engineDescription.txt")) {
    EXPECT_GT(line.size(), 1u);
    EXPECT_EQ(line.back(), L'\n');
  }
}

}  // namespace
