// Real discrete Fourier transforms on FFTW, shared by the band-limited and ultrasound-only
// synthesis, the spectrum analysis and the audible level. Any size from 2 works; powers of two
// and sizes of small factors (a tone's whole frames: 96 or 44.1 per millisecond) are fast.
#pragma once

#include <complex>
#include <cstddef>
#include <vector>

// Sets Out to the Size real samples whose transform holds Bins (the Size / 2 + 1 bins of the
// Hermitian half): x[p] = sum over k of Bins[k] * e^(2 pi i k p / Size), the upper half
// mirrored; unnormalised. Works in this thread's scratch memory, so a stream of transforms (one
// per sweep tick) allocates nothing once the largest size has been seen.
void InverseRealFft(const std::vector<std::complex<double>>& Bins, std::size_t Size,
                    std::vector<double>& Out);
// The Size / 2 + 1 bins of the Size samples:
// X[k] = sum over p of x[p] * e^(-2 pi i k p / Size).
std::vector<std::complex<double>> RealFft(const std::vector<double>& Samples);

// The smallest power of two not below N (at least 1).
std::size_t PowerOfTwoAtLeast(std::size_t N);
