#include "sound/Fft.h"

#include <fftw3.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <stdexcept>
#include <utility>

namespace {

// FFTW's own aligned memory, so every plan can run on any buffer of the same kind.
template <class T>
struct TFftwDelete {
  void operator()(T* P) const { fftw_free(P); }
};
template <class T>
using TFftwBuffer = std::unique_ptr<T[], TFftwDelete<T>>;

template <class T>
TFftwBuffer<T> Allocate(std::size_t Count) {
  TFftwBuffer<T> Buffer(static_cast<T*>(fftw_malloc(sizeof(T) * std::max<std::size_t>(Count, 1))));
  if (!Buffer) throw std::bad_alloc();
  return Buffer;
}

enum class TKind { Forward, Inverse };

// Plans are made once per kind and size: planning is slow and FFTW's planner is not
// thread-safe, while running a finished plan on fresh buffers is. Sizes are powers of two or a
// tone's whole frames, few in a run, so the cache stays small.
class TPlanCache {
 public:
  ~TPlanCache() {
    for (auto& [Key, Plan] : FPlans) fftw_destroy_plan(Plan);
  }

  fftw_plan Get(TKind Kind, std::size_t Size) {
    std::lock_guard Guard(FLock);
    const auto Key = std::make_pair(Kind, Size);
    if (auto Found = FPlans.find(Key); Found != FPlans.end()) return Found->second;
    auto Real = Allocate<double>(Size);
    auto Complex = Allocate<fftw_complex>(Size / 2 + 1);
    const int N = int(Size);
    const fftw_plan Plan = Kind == TKind::Forward
                               ? fftw_plan_dft_r2c_1d(N, Real.get(), Complex.get(), FFTW_ESTIMATE)
                               : fftw_plan_dft_c2r_1d(N, Complex.get(), Real.get(), FFTW_ESTIMATE);
    if (!Plan) throw std::runtime_error("FFTW could not plan a transform of this size");
    FPlans.emplace(Key, Plan);
    return Plan;
  }

 private:
  std::mutex FLock;
  std::map<std::pair<TKind, std::size_t>, fftw_plan> FPlans;
};

TPlanCache& Plans() {
  static TPlanCache Cache;
  return Cache;
}

// Allocating and freeing the buffers of a large transform at every tick makes the C library
// hand the memory back to the system and fault it in again, which costs more than the
// transform; each thread keeps the largest it has needed.
struct TScratch {
  std::size_t Capacity = 0;
  TFftwBuffer<fftw_complex> Complex;
  TFftwBuffer<double> Real;

  void Reserve(std::size_t Size) {
    if (Size <= Capacity) return;
    Complex = Allocate<fftw_complex>(Size / 2 + 1);
    Real = Allocate<double>(Size);
    Capacity = Size;
  }
};

void RequireSize(std::size_t Size) {
  if (Size < 2 || Size > std::size_t(INT32_MAX))
    throw std::invalid_argument("transform size must be from 2 to 2^31 - 1");
}

}  // namespace

std::size_t PowerOfTwoAtLeast(std::size_t N) {
  std::size_t Size = 1;
  while (Size < N) Size *= 2;
  return Size;
}

void InverseRealFft(const std::vector<std::complex<double>>& Bins, std::size_t Size,
                    std::vector<double>& Out) {
  RequireSize(Size);
  thread_local TScratch Scratch;
  Scratch.Reserve(Size);
  fftw_complex* In = Scratch.Complex.get();
  for (std::size_t K = 0; K <= Size / 2; ++K) {
    In[K][0] = K < Bins.size() ? Bins[K].real() : 0.0;
    In[K][1] = K < Bins.size() ? Bins[K].imag() : 0.0;
  }
  fftw_execute_dft_c2r(Plans().Get(TKind::Inverse, Size), In, Scratch.Real.get());
  Out.assign(Scratch.Real.get(), Scratch.Real.get() + Size);
}

std::vector<std::complex<double>> RealFft(const std::vector<double>& Samples) {
  const std::size_t Size = Samples.size();
  RequireSize(Size);
  auto In = Allocate<double>(Size);
  std::copy(Samples.begin(), Samples.end(), In.get());
  auto Out = Allocate<fftw_complex>(Size / 2 + 1);
  fftw_execute_dft_r2c(Plans().Get(TKind::Forward, Size), In.get(), Out.get());
  std::vector<std::complex<double>> Bins;
  Bins.reserve(Size / 2 + 1);
  for (std::size_t K = 0; K <= Size / 2; ++K) Bins.emplace_back(Out[K][0], Out[K][1]);
  return Bins;
}
