#pragma once
#include <cstdint>

namespace tolvane::content {

// Small, fully specified generator (SplitMix64). The standard library's
// distributions differ between implementations, so every random number the
// generator uses comes from here and content stays byte-identical everywhere.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}

    std::uint64_t nextU64()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [0, 1).
    double unit() { return static_cast<double>(nextU64() >> 11) * (1.0 / 9007199254740992.0); }

    double range(double lo, double hi) { return lo + (hi - lo) * unit(); }

    int below(int n) { return static_cast<int>(unit() * n); }

private:
    std::uint64_t state_;
};

}  // namespace tolvane::content
