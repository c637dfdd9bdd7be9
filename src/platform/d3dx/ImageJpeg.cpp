#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "platform/d3dx/ImageReaders.h"

namespace platform::d3dx {
namespace {

struct ErrorManager {
  jpeg_error_mgr manager;
  std::jmp_buf failed;
};

[[noreturn]] void Fail(j_common_ptr info) { std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->failed, 1); }

// Warnings are corrupt or missing data, which libjpeg would otherwise fill in.
void OnMessage(j_common_ptr info, int level) {
  if (level < 0) Fail(info);
}

// A complete file ends its scans with an end-of-image marker: 0xFF never
// stands alone inside entropy-coded data, so FF D9 after the first scan header
// is that marker.
bool HasEndAfterScan(const std::string& bytes) {
  const size_t scan = bytes.find("\xFF\xDA", 2);
  return scan != std::string::npos && bytes.find("\xFF\xD9", scan + 2) != std::string::npos;
}

// Warnings are fatal here, but a progressive file whose last scans are
// missing is no warning to libjpeg: it shows the coarser picture it has. Every
// coefficient of every component must have reached its last bit.
bool ProgressionComplete(const jpeg_decompress_struct& info) {
  if (!info.progressive_mode) return true;
  for (int component = 0; component < info.num_components; ++component) {
    for (int k = 0; k < DCTSIZE2; ++k) {
      if (info.coef_bits[component][k] != 0) return false;
    }
  }
  return true;
}

}  // namespace

bool ReadJpeg(const std::string& bytes, Image& image) {
  if (!HasEndAfterScan(bytes)) return false;
  jpeg_decompress_struct info{};
  ErrorManager errors{};
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = Fail;
  errors.manager.emit_message = OnMessage;
  // Nothing with a destructor lives in this frame: a failure jumps back here.
  if (setjmp(errors.failed)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  if (info.image_width == 0 || info.image_height == 0 || info.image_width > Image::kMaxSide ||
      info.image_height > Image::kMaxSide) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.out_color_space = JCS_EXT_BGRA;
  // A progressive file is read to its end here, before any output.
  jpeg_start_decompress(&info);
  if (!ProgressionComplete(info)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  image = Image(info.output_width, info.output_height);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = image.Texel(0, info.output_scanline);
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace platform::d3dx
