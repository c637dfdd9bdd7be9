// Reading a save file into a header and a record, and applying it to the scene.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "waterscene/SaveFileText.h"
#include "waterscene/cWaterScene.h"

namespace {

template <class T>
void StoreField(cEngineSettings* settings, size_t offset, T value) {
  std::memcpy(reinterpret_cast<char*>(settings) + offset, &value, sizeof value);
}

// The header field a component type key also sets, or null.
int* HeaderField(cWaterScene::Header* header, SettingKind kind) {
  if (kind == SettingKind::HeightmapType) return &header->currentHeightmapType;
  if (kind == SettingKind::NormalmapType) return &header->currentNormalmapType;
  if (kind == SettingKind::GeometryType) return &header->currentGeometryType;
  return nullptr;
}

}  // namespace

bool cWaterScene::Load(const char* path) {
  Header header = GetHeader();
  if (!ReadSettings(path, &header, &settings)) return false;
  SetHeader(header);
  return true;
}

void cWaterScene::ApplyLine(std::string_view key, std::string_view value) {
  Header header = GetHeader();
  ApplySettingLine(&header, &settings, key, value);
  SetHeader(header);
}

bool cWaterScene::ReadSettings(const char* path, Header* header, cEngineSettings* settings) {
  if (!path) return false;
  // Non-blocking, so a FIFO planted under a save name cannot hang the editor
  // before it is refused as not a regular file.
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  std::FILE* file = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) ? fdopen(fd, "rb") : nullptr;
  if (!file) {
    close(fd);
    return false;
  }
  const bool read = ReadSettings(file, header, settings);
  std::fclose(file);
  return read;
}

bool cWaterScene::ReadSettings(std::FILE* file, Header* header, cEngineSettings* settings) {
  if (!file || !header || !settings) return false;
  Header readHeader = *header;
  cEngineSettings readSettings;
  std::memset(&readSettings, 0, sizeof readSettings);
  const bool read = ReadSaveLines(file, [&](std::string_view line) {
    std::string_view key, value;
    if (ScanSaveLine(line, &key, &value)) ApplySettingLine(&readHeader, &readSettings, key, value);
  });
  if (!read) return false;
  *header = readHeader;
  *settings = readSettings;
  return true;
}

void cWaterScene::ApplySettingLine(Header* header, cEngineSettings* settings, std::string_view key,
                                   std::string_view value) {
  if (EqualsIgnoringCase(key, "working environment")) {
    const int id = TypeIdFromWord(SettingKind::EngineType, value);
    if (id != 0) header->workingEnvironment = id;
    return;
  }
  const SettingKey* entry = FindSettingKey(key);
  if (!entry) return;
  switch (entry->kind) {
    case SettingKind::Int:
      StoreField(settings, entry->offset, ParseSaveInt(value));
      return;
    case SettingKind::Bool:
      StoreField(settings, entry->offset, ParseSaveInt(value) != 0);
      return;
    case SettingKind::Float:
      StoreField(settings, entry->offset, ParseSaveFloat(value));
      return;
    default:
      break;
  }
  const int id = TypeIdFromWord(entry->kind, value);
  if (id == 0) return;
  StoreField(settings, entry->offset, id);
  if (int* field = HeaderField(header, entry->kind)) *field = id;
}
