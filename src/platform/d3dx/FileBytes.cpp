#include "platform/d3dx/FileBytes.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/d3dx9.h"

namespace platform::d3dx {

HRESULT ReadFileBytes(const std::string& path, size_t limit, std::string& bytes) {
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (error || !std::filesystem::exists(status)) return D3DERR_NOTFOUND;
  if (!std::filesystem::is_regular_file(status)) return D3DXERR_INVALIDDATA;
  const auto size = std::filesystem::file_size(path, error);
  if (error || size > limit) return D3DXERR_INVALIDDATA;
  std::ifstream file(path, std::ios::binary);
  if (!file) return D3DERR_NOTFOUND;
  bytes.resize(static_cast<size_t>(size));
  file.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (file.gcount() != static_cast<std::streamsize>(bytes.size())) return D3DXERR_INVALIDDATA;
  return D3D_OK;
}

}  // namespace platform::d3dx
