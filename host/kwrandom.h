// Portable seeded pseudo-random numbers: the same sequence on every platform
// and compiler, unlike the C library's rand.
#ifndef KWRANDOM_H
#define KWRANDOM_H

#include <cstdint>

/// The largest value KWRandom::next answers.
long maxRandomNumber();

/// A PCG-XSH-RR 32-bit generator. Each layout run owns one; there is no shared
/// generator state anywhere in the framework.
class KWRandom {
 public:
  explicit KWRandom(std::uint64_t seed = 1) { seed_(seed); }
  void seed(std::uint64_t s) { seed_(s); }
  /// A number from 0 to maxRandomNumber(), both included.
  long next();
  /// A fraction in [0, 1].
  double nextFraction() { return static_cast<double>(next()) / static_cast<double>(maxRandomNumber()); }

 private:
  void seed_(std::uint64_t s);
  std::uint64_t state_ = 0;
};

#endif
