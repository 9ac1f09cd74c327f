#pragma once
// Seeded choices for the generator. Only the engine's raw output is used (the standard
// distributions differ between libraries), so a seed gives the same registry everywhere.

#include <cstddef>
#include <cstdint>
#include <random>

namespace moxalo::bench {

class Dice {
public:
    explicit Dice(std::uint64_t seed) : engine_(seed) {}

    std::uint64_t bits() { return engine_(); }
    // A number in [0, n); n must not be 0.
    std::size_t below(std::size_t n) { return static_cast<std::size_t>(engine_() % n); }
    bool chance(double p) { return static_cast<double>(engine_() >> 11) * 0x1.0p-53 < p; }

private:
    std::mt19937_64 engine_;
};

} // namespace moxalo::bench
