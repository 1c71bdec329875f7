#pragma once
// One delay line of the plain widening path (ScalarWidener): a ring of 2^20
// single-precision samples read by four-point Hermite interpolation at a
// fractional distance behind the write position. The engine holds one
// smaller ring for all four lines but reads it at the positions and fractions
// these lines would use; this class is the reference it is checked against.
//
// The fraction is taken from the read position in double precision, so a
// fixed length keeps one fraction wherever in the ring the position lies: a
// position rounded to single precision would move the delay by a fraction of
// a sample where it crosses a power of two, which ticks in a steady tone.
//
// Threads: readHermite and write belong to the audio thread; setDelay may be
// called from any thread (the length is a relaxed atomic read at every sample).

#include <atomic>
#include <cstdint>
#include <memory>

class cwaveguide
{
public:
    static constexpr std::int32_t kRingSize = 1048576;
    static constexpr std::int32_t kRingMask = kRingSize - 1;
    static constexpr double kInitialDelay = 100.0;

    cwaveguide();
    virtual ~cwaveguide() = default;

    cwaveguide(const cwaveguide&) = delete;
    cwaveguide& operator=(const cwaveguide&) = delete;

    // Sample at writeIndex - delay; changes nothing.
    float readHermite() const noexcept { return readHermiteAt(getDelay()); }
    // Sample at writeIndex - samples, for a length already brought into
    // range by heldDelay.
    float readHermiteAt(double samples) const noexcept;
    // Stores one sample and advances the write position, wrapping at the ring's end.
    void write(float sample) noexcept;

    // Length in samples. Values outside 0..kRingSize (NaN included, which
    // becomes 0) are brought to the nearest end so that no read leaves the ring.
    void setDelay(double samples) noexcept { delay.store(heldDelay(samples), std::memory_order_relaxed); }
    static double heldDelay(double samples) noexcept;
    double getDelay() const noexcept { return delay.load(std::memory_order_relaxed); }
    std::int32_t getWriteIndex() const noexcept { return writeIndex; }

private:
    std::unique_ptr<float[]> buffer;
    std::int32_t writeIndex = 0;
    std::atomic<double> delay{kInitialDelay};
};
