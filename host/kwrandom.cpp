#include "host/kwrandom.h"

namespace {
const std::uint64_t kMultiplier = 6364136223846793005ULL;
const std::uint64_t kIncrement = 1442695040888963407ULL;
}  // namespace

long maxRandomNumber() { return 2147483647L; }

void KWRandom::seed_(std::uint64_t s) {
  state_ = 0;
  next();
  state_ += s;
  next();
}

long KWRandom::next() {
  std::uint64_t old = state_;
  state_ = old * kMultiplier + kIncrement;
  std::uint32_t xorshifted = static_cast<std::uint32_t>(((old >> 18u) ^ old) >> 27u);
  std::uint32_t rot = static_cast<std::uint32_t>(old >> 59u);
  std::uint32_t out = (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
  return static_cast<long>(out >> 1);  // 31 bits: 0 .. 2^31-1
}
