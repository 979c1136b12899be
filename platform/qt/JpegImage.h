// JPEG pictures through libjpeg's decompression interface. A corrupt or truncated picture gives
// a null image: libjpeg's fatal-error exit is replaced so that it cannot end the program.
#pragma once

#include <QImage>
#include <cstddef>
#include <cstdint>

QImage DecodeJpeg(const uint8_t* Data, std::size_t Size);
QImage DecodeJpeg(const QByteArray& Bytes);
QImage LoadJpegFile(const QString& FileName);
