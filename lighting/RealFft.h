// Forward real FFT of 512 floats, used by the music analysis.
//
// Computes the discrete Fourier transform of 512 real values divided by 512, in
// place, with a 256-point complex FFT (radix 4) followed by the usual split step.
// The result is packed: x[0] = the zero-frequency term, x[1] = the term of
// frequency 256, x[2k] and x[2k+1] = real and imaginary part of bin k for
// k = 1..255 (sign convention e^(-2*pi*i*n*k/512)). The tables are built once
// on first use and only read afterwards, so any thread may call it.
#pragma once

namespace keyloft {

constexpr int kRealFftSize = 512;

void RealFft512(float* x);

}  // namespace keyloft
