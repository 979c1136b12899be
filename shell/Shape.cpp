#include "shell/Shape.h"

#include <vector>

#include "platform/core/ByteOrder.h"

namespace {

constexpr std::uint32_t HeaderSize = 32;
constexpr std::uint32_t RectangleType = 1;
// Window coordinates are 28-bit signed; beyond that a rectangle's width no longer fits an int
// and QRegion's arithmetic overflows, so such a block is damaged, not a shape.
constexpr int CoordinateLimit = 1 << 27;

}  // namespace

TColor PixelColor(const QImage& Image, int X, int Y) {
  const QRgb P = Image.pixel(X, Y);
  return static_cast<TColor>(qRed(P) | (qGreen(P) << 8) | (qBlue(P) << 16));
}

QRegion ShapeFromImage(const QImage& Image, TColor Transparent) {
  QRegion Region;
  if (Image.isNull() || Image.width() <= 0 || Image.height() <= 0) return Region;
  const QImage Pixels = Image.convertToFormat(QImage::Format_RGB32);
  const int W = Pixels.width();
  // Runs of one row; a row whose runs repeat the previous row's makes that band taller, so the
  // rectangles come out in the banded form the stored shape keeps.
  std::vector<QRect> Rects;
  std::size_t BandStart = 0;
  for (int Y = 0; Y < Pixels.height(); ++Y) {
    const auto* Row = reinterpret_cast<const QRgb*>(Pixels.constScanLine(Y));
    auto Clear = [&](int X) {
      const QRgb P = Row[X];
      return static_cast<TColor>(qRed(P) | (qGreen(P) << 8) | (qBlue(P) << 16)) == Transparent;
    };
    std::vector<QRect> Runs;
    for (int X = 0; X < W;) {
      while (X < W && Clear(X)) ++X;
      if (X >= W) break;
      int E = X;
      while (E < W && !Clear(E)) ++E;
      Runs.emplace_back(X, Y, E - X, 1);
      X = E;
    }
    const std::size_t BandSize = Rects.size() - BandStart;
    bool Same = BandSize == Runs.size() && BandSize > 0 && Rects.back().bottom() == Y - 1;
    for (std::size_t I = 0; Same && I < Runs.size(); ++I)
      Same = Rects[BandStart + I].left() == Runs[I].left() &&
             Rects[BandStart + I].right() == Runs[I].right();
    if (Same) {
      for (std::size_t I = BandStart; I < Rects.size(); ++I) Rects[I].setBottom(Y);
    } else if (!Runs.empty()) {
      BandStart = Rects.size();
      Rects.insert(Rects.end(), Runs.begin(), Runs.end());
    }
  }
  Region.setRects(Rects.data(), static_cast<int>(Rects.size()));
  return Region;
}

TBytes EncodeRegion(const QRegion& Region) {
  TBytes Out;
  if (Region.isEmpty()) {
    AppendLE32(Out, 0);
    return Out;
  }
  const std::int64_t Count = Region.rectCount();
  AppendLE32(Out, HeaderSize + 16 * Count);
  AppendLE32(Out, HeaderSize);
  AppendLE32(Out, RectangleType);
  AppendLE32(Out, Count);
  AppendLE32(Out, 16 * Count);
  const QRect B = Region.boundingRect();
  for (int V : {B.left(), B.top(), B.right() + 1, B.bottom() + 1}) AppendLE32(Out, V);
  for (const QRect& R : Region)
    for (int V : {R.left(), R.top(), R.right() + 1, R.bottom() + 1}) AppendLE32(Out, V);
  return Out;
}

QRegion DecodeRegion(const TBytes& Block) {
  if (Block.empty()) return {};
  if (Block.size() < 4) throw EInvalidRegionData("Region data is cut short");
  auto Signed32 = [&Block](std::size_t Offset) {
    return static_cast<std::int32_t>(GetLE32(Block.data() + Offset));
  };
  const std::int64_t N = Signed32(0);
  if (N == 0) return {};
  if (N < HeaderSize || static_cast<std::uint64_t>(N) != Block.size() - 4)
    throw EInvalidRegionData("Region data size does not match its block");
  const std::int64_t Count = Signed32(12);
  if (Signed32(4) != static_cast<std::int32_t>(HeaderSize) || Signed32(8) != 1 || Count < 0 ||
      N != HeaderSize + 16 * Count)
    throw EInvalidRegionData("Region data header is damaged");
  // A stored block may come in any order: unite rather than trust its banding.
  QRegion Region;
  for (std::int64_t I = 0; I < Count; ++I) {
    const std::size_t At = 4 + HeaderSize + 16 * I;
    const int L = Signed32(At), T = Signed32(At + 4);
    const int R = Signed32(At + 8), B = Signed32(At + 12);
    if (R <= L || B <= T) throw EInvalidRegionData("Region data holds an empty rectangle");
    if (L < -CoordinateLimit || T < -CoordinateLimit || R > CoordinateLimit || B > CoordinateLimit)
      throw EInvalidRegionData("Region data holds a rectangle beyond any window");
    Region += QRect(QPoint(L, T), QPoint(R - 1, B - 1));
  }
  return Region;
}
