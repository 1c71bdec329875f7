#include "effect/widening_engine.h"

#include "effect/free_lfo.h"
#include "effect/widening_gains.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <utility>

namespace velmora
{
namespace
{
// The longest line at Size 1, in seconds: 0.115 s times 1.18 cubed.
constexpr float kLongestSeconds = 0.18895f;
constexpr std::int32_t kSmallestRing = 1024;
// Taps reach two samples ahead of a read position: longer lines than this
// never see the chunk being written, which goes into the ring first.
constexpr double kShortestLength = 3.0;

// Hermite (Catmull-Rom) weights of x[-1], x[0], x[1], x[2] at fraction f:
// f = 0 gives x[0] alone, f = 1 gives x[1] alone, exactly.
void hermiteWeights(float fraction, float sign, float (&weights)[kTapsPerLine])
{
    const double f = fraction;
    const double f2 = f * f;
    const double f3 = f2 * f;
    weights[0] = sign * static_cast<float>(-0.5 * f + f2 - 0.5 * f3);
    weights[1] = sign * static_cast<float>(1.0 - 2.5 * f2 + 1.5 * f3);
    weights[2] = sign * static_cast<float>(0.5 * f + 2.0 * f2 - 1.5 * f3);
    weights[3] = sign * static_cast<float>(-0.5 * f2 + 0.5 * f3);
}

// The smallest power of two above a positive, finite value.
double nextPowerOfTwo(double value)
{
    const std::uint64_t exponentField = std::bit_cast<std::uint64_t>(value) >> 52;
    return std::bit_cast<double>((exponentField + 1) << 52);
}

// ceil for values from 0 to a few thousand.
int roundUp(double value)
{
    const auto whole = static_cast<int>(value);
    return whole + (static_cast<double>(whole) < value ? 1 : 0);
}

std::int32_t ringSizeFor(float sampleRate)
{
    const double longest = sampleRate > 0.0f ? static_cast<double>(sampleRate) * kLongestSeconds : 0.0;
    std::int32_t size = kSmallestRing;
    while (size < WideningEngine::kPositionRing && size < longest + WideningEngine::kChunkFrames + 8.0)
        size *= 2;
    return size;
}

// Line lengths stay between kShortestLength and what a ring of ringSize samples holds.
double heldLength(double length, std::int32_t ringSize)
{
    const double longest = static_cast<double>(ringSize - WideningEngine::kRingMargin);
    if (!(length >= kShortestLength))
        return kShortestLength;
    return std::min(length, longest);
}
}  // namespace

WideningEngine::WideningEngine(const WideningKernel& kernel) : chosenKernel(kernel) {}

// No block runs any more: what is on its way is freed here.
WideningEngine::~WideningEngine()
{
    delete pending.exchange(nullptr, std::memory_order_acquire);
    freeReturned();
}

void WideningEngine::prepare(float sampleRate)
{
    freeReturned();
    if (preparedRingSize != 0 && std::bit_cast<std::uint32_t>(sampleRate) == std::bit_cast<std::uint32_t>(preparedRate))
        return;
    // Everything that may fail is made before anything changes.
    auto handover = std::make_unique<RateHandover>();
    handover->rate = sampleRate;
    const std::int32_t needed = ringSizeFor(sampleRate);
    if (needed > preparedRingSize)
    {
        handover->ring.reset(new float[static_cast<std::size_t>(needed + kRingMargin)]());
        handover->ringSize = needed;
    }
    // A handover the audio thread has not taken gives way to this one; the
    // ring it carries, if this one brings none, is still the largest made.
    const std::unique_ptr<RateHandover> unclaimed(pending.exchange(nullptr, std::memory_order_acquire));
    if (unclaimed && !handover->ring)
    {
        handover->ring = std::move(unclaimed->ring);
        handover->ringSize = unclaimed->ringSize;
    }
    preparedRate = sampleRate;
    preparedRingSize = std::max(preparedRingSize, handover->ringSize);
    pending.store(handover.release(), std::memory_order_release);
}

void WideningEngine::freeReturned() noexcept
{
    RateHandover* handover = returned.exchange(nullptr, std::memory_order_acquire);
    while (handover)
        delete std::exchange(handover, handover->nextReturned);
}

// At a block boundary, so no chunk sees a half-changed ring or rate. Copies
// at most the old ring and frees nothing.
void WideningEngine::takeHandover() noexcept
{
    if (!pending.load(std::memory_order_relaxed))
        return;
    RateHandover* handover = pending.exchange(nullptr, std::memory_order_acquire);
    if (!handover)
        return;
    if (handover->ring)
    {
        // The samples the old ring holds stay where a read expects them.
        float* const larger = handover->ring.get();
        const std::int32_t mask = handover->ringSize - 1;
        if (ring)
            for (std::int32_t back = ringMask + 1; back > 0; --back)
            {
                const std::int32_t slot = position - back;
                larger[static_cast<std::size_t>(slot & mask)] = ring[static_cast<std::size_t>(slot & ringMask)];
            }
        std::copy_n(larger, kRingMargin, larger + handover->ringSize);
        ring.swap(handover->ring);
        ringMask = mask;
    }
    rate = handover->rate;
    increment = freeLfoIncrement(rate);
    makeLengths();
    handover->nextReturned = returned.load(std::memory_order_relaxed);
    while (!returned.compare_exchange_weak(handover->nextReturned, handover, std::memory_order_release,
                                           std::memory_order_relaxed))
    {}
}

void WideningEngine::makeLengths() noexcept
{
    const std::array<double, kNumLines> made = lineLengths(size, rate);
    for (std::size_t line = 0; line < made.size(); ++line)
        lengths[line] = heldLength(made[line], ringMask + 1);
    forgetReads();
}

void WideningEngine::setValues(bool on, float newSize, float dryWet) noexcept
{
    wetGain = on ? dryWet * kWetScale : 0.0f;
    if (std::bit_cast<std::uint32_t>(newSize) == std::bit_cast<std::uint32_t>(size))
        return;
    size = newSize;
    makeLengths();
}

// Where a line reads for the frame at the write position, and for how many
// frames from there its fraction stays put: the position is rounded to single
// precision for the fraction, so the fraction holds while the position stays
// between two powers of two.
WideningEngine::LineRead WideningEngine::readAt(int line) const noexcept
{
    double readPosition = static_cast<double>(position) - lengths[static_cast<std::size_t>(line)];
    if (readPosition < 0.0)
        readPosition += static_cast<double>(kPositionRing);
    const auto index = static_cast<std::int32_t>(readPosition);  // floor: the position is not negative
    const float fraction = static_cast<float>(readPosition) - static_cast<float>(index);

    LineRead read;
    read.tapSlot = (index - 1) & ringMask;
    hermiteWeights(fraction, line == 0 || line == 3 ? 1.0f : -1.0f, read.weights);
    const double edge = readPosition < 1.0 ? 1.0 : nextPowerOfTwo(readPosition);
    read.steadyFrames = roundUp(std::min(edge - readPosition, double{kPositionRing}));
    return read;
}

void WideningEngine::forgetReads() noexcept
{
    for (LineRead& read : reads)
        read.steadyFrames = 0;
    phaseRun = 0;
}

// Within one binade of the phase every step adds the same rounded increment,
// so a run of steps has the closed form phase + j step. The run stops short of
// the binade's edge (or of 1, where the phase wraps), where single steps take
// over. A step that falls exactly halfway between two floats rounds by parity,
// so there too only single steps are taken.
int WideningEngine::steadyLfoRun() const noexcept
{
    // Binade [2^e, 2^(e+1)) of the phase, from its exponent field.
    const auto exponentField = static_cast<std::int32_t>(std::bit_cast<std::uint32_t>(phase) >> 23);
    if (!(phase > 0.0f) || exponentField <= 24)
        return 0;
    const float edge = std::bit_cast<float>(static_cast<std::uint32_t>(exponentField + 1) << 23);
    const float spacing = std::bit_cast<float>(static_cast<std::uint32_t>(exponentField - 23) << 23);
    const float step = (increment + phase) - phase;
    if (!(step >= spacing) || std::fabs(increment - step) * 2.0f == spacing)
        return 0;
    const double room = (static_cast<double>(edge) - step - phase) / step;
    return room > 1.0 ? roundUp(std::min(room, double{kPositionRing})) - 1 : 0;
}

void WideningEngine::process(const float* inLeft, const float* inRight, float* outLeft, float* outRight,
                             int frames) noexcept
{
    takeHandover();
    for (int done = 0; done < frames;)
    {
        WideningChunk chunk;
        chunk.frames = frames - done;
        planReads(chunk);
        planLfo(chunk);
        chunk.inLeft = inLeft + done;
        chunk.inRight = inRight + done;
        chunk.outLeft = outLeft + done;
        chunk.outRight = outRight + done;
        placeMono(chunk);
        chosenKernel.process(chunk);
        advance(chunk);
        done += chunk.frames;
    }
}

// The chunk ends at the stretch's end and where any line's fraction changes.
void WideningEngine::planReads(WideningChunk& chunk) noexcept
{
    const int intoStretch = position & (kChunkFrames - 1);
    chunk.frames = std::min(chunk.frames, kChunkFrames - intoStretch);
    for (std::size_t line = 0; line < reads.size(); ++line)
    {
        if (reads[line].steadyFrames == 0)
            reads[line] = readAt(static_cast<int>(line));
        chunk.taps[line] = ring.get() + reads[line].tapSlot;
        std::memcpy(chunk.weights[line], reads[line].weights, sizeof chunk.weights[line]);
        chunk.frames = std::min(chunk.frames, reads[line].steadyFrames);
    }
}

// The chunk's phases, a steady run or one plain step, and the gains expanded
// about the stretch's anchor.
void WideningEngine::planLfo(WideningChunk& chunk) noexcept
{
    if (phaseRun == 0)
    {
        phaseRun = steadyLfoRun();
        phaseStep = (increment + phase) - phase;
    }
    if (phaseRun == 0)
    {
        // One plain step, across a binade edge or the wrap.
        chunk.frames = 1;
        chunk.firstPhase = ProcessFreeLFO(phase, increment);
        chunk.phaseStep = 0.0f;
    }
    else
    {
        chunk.frames = std::min(chunk.frames, phaseRun);
        chunk.firstPhase = phase + phaseStep;
        chunk.phaseStep = phaseStep;
        phaseRun -= chunk.frames;
    }
    if ((position & (kChunkFrames - 1)) == 0)
        stretchPhase = chunk.firstPhase;
    // Past the wrap the anchor goes a cycle back with the phase, staying near it.
    anchor.expand(chunk.firstPhase < stretchPhase ? stretchPhase - 1.0f : stretchPhase, wetGain, chunk.gains);
    chunk.wetGain = wetGain;
}

// Where the chunk's mono sum goes: from the write slot to the ring's end, the
// rest at its start.
void WideningEngine::placeMono(WideningChunk& chunk) noexcept
{
    const std::int32_t writeSlot = position & ringMask;
    chunk.mono = ring.get() + writeSlot;
    chunk.monoFrames = std::min(chunk.frames, ringMask + 1 - writeSlot);
    chunk.monoWrapped = ring.get();
}

void WideningEngine::advance(const WideningChunk& chunk) noexcept
{
    // Keep the copy of the ring's start that reads running off its end see.
    const std::int32_t writeSlot = position & ringMask;
    if (writeSlot < kRingMargin || chunk.monoFrames < chunk.frames)
        std::copy_n(ring.get(), kRingMargin, ring.get() + ringMask + 1);
    phase = chunk.firstPhase + static_cast<float>(chunk.frames - 1) * chunk.phaseStep;
    for (LineRead& read : reads)
    {
        read.tapSlot = (read.tapSlot + chunk.frames) & ringMask;
        read.steadyFrames -= chunk.frames;
    }
    position = (position + chunk.frames) & (kPositionRing - 1);
}
}  // namespace velmora
