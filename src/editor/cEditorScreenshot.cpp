// F12: the current frame saved as a PNG named with the date and time.
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "base/AppPaths.h"
#include "base/PngFile.h"
#include "editor/cEditor.h"
#include "platform/Platform.h"
#include "platform/Utf8.h"

namespace {

// The back buffer's B, G, R, A rows as R, G, B: a screenshot is opaque.
std::vector<uint8_t> RgbOf(const std::vector<uint8_t>& bgra) {
  std::vector<uint8_t> rgb(bgra.size() / 4 * 3);
  for (size_t i = 0, o = 0; o < rgb.size(); i += 4, o += 3) {
    rgb[o] = bgra[i + 2];
    rgb[o + 1] = bgra[i + 1];
    rgb[o + 2] = bgra[i];
  }
  return rgb;
}

std::wstring Wide(const std::filesystem::path& path) {
  std::wstring text;
  return platform::WideFromUtf8(path.c_str(), &text) ? text : L"?";
}

}  // namespace

void cEditor::SaveScreenshot() {
  screenshotRequested = false;
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const std::filesystem::path path = NewScreenshotPath(local);
  if (path.empty()) {
    ShowNotice(L"Screenshot not saved: no folder for screenshots");
    return;
  }
  std::vector<uint8_t> bgra;
  UINT width = 0, height = 0;
  if (!platform::ReadBackBuffer(device, bgra, width, height)) {
    ShowNotice(L"Screenshot not saved: the frame cannot be read back");
    return;
  }
  std::error_code error;
  std::filesystem::create_directories(path.parent_path(), error);
  const bool saved = !error && WriteRgb8Png(path.string(), RgbOf(bgra), static_cast<int>(width),
                                            static_cast<int>(height));
  const std::wstring text = (saved ? L"Screenshot saved: " : L"Screenshot could not be written: ") + Wide(path);
  ShowNotice(text.c_str());
}
