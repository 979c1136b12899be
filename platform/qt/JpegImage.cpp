#include "platform/qt/JpegImage.h"

#include <QFile>
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

struct TJpegError {
  jpeg_error_mgr Manager;
  std::jmp_buf Escape;
};

// libjpeg's own exit ends the process; we leave the decoder instead.
[[noreturn]] void LeaveDecoder(j_common_ptr Info) {
  std::longjmp(reinterpret_cast<TJpegError*>(Info->err)->Escape, 1);
}

void Quiet(j_common_ptr) {}

// Only plain C objects live in this function, so jumping out of it skips no destructor.
bool Decode(const uint8_t* Data, std::size_t Size, QImage* Image) {
  jpeg_decompress_struct Info;
  TJpegError Error;
  Info.err = jpeg_std_error(&Error.Manager);
  Error.Manager.error_exit = LeaveDecoder;
  Error.Manager.output_message = Quiet;
  if (setjmp(Error.Escape)) {
    jpeg_destroy_decompress(&Info);
    return false;
  }
  jpeg_create_decompress(&Info);
  jpeg_mem_src(&Info, Data, static_cast<unsigned long>(Size));
  jpeg_read_header(&Info, TRUE);
  Info.out_color_space = JCS_EXT_RGBX;
  jpeg_start_decompress(&Info);
  *Image = QImage(static_cast<int>(Info.output_width), static_cast<int>(Info.output_height),
                  QImage::Format_RGBX8888);
  if (Image->isNull()) {
    jpeg_destroy_decompress(&Info);
    return false;
  }
  while (Info.output_scanline < Info.output_height) {
    JSAMPROW Row = Image->scanLine(static_cast<int>(Info.output_scanline));
    jpeg_read_scanlines(&Info, &Row, 1);
  }
  jpeg_finish_decompress(&Info);
  // Truncated or damaged data only raises warnings; such a picture is shown as nothing too.
  const bool Clean = Error.Manager.num_warnings == 0;
  jpeg_destroy_decompress(&Info);
  return Clean;
}

}  // namespace

QImage DecodeJpeg(const uint8_t* Data, std::size_t Size) {
  if (!Data || Size == 0) return {};
  QImage Image;
  if (!Decode(Data, Size, &Image)) return {};
  return Image;
}

QImage DecodeJpeg(const QByteArray& Bytes) {
  return DecodeJpeg(reinterpret_cast<const uint8_t*>(Bytes.constData()),
                    static_cast<std::size_t>(Bytes.size()));
}

QImage LoadJpegFile(const QString& FileName) {
  QFile File(FileName);
  if (!File.open(QIODevice::ReadOnly)) return {};
  return DecodeJpeg(File.readAll());
}
