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
    phaseRun = 0;  // its step was the old increment's
    motion.prepare(rate);
    linesMade = false;
    handover->nextReturned = returned.load(std::memory_order_relaxed);
    while (!returned.compare_exchange_weak(handover->nextReturned, handover, std::memory_order_release,
                                           std::memory_order_relaxed))
    {}
}

WideningEngine::LineSet WideningEngine::linesAt(float size) const noexcept
{
    LineSet set;
    set.size = size;
    const std::array<double, kNumLines> lengths = lineLengths(size, rate);
    for (std::size_t line = 0; line < lengths.size(); ++line)
    {
        // The read position is the write position less the length: x[0] lies
        // ceil(length) behind it, at the fraction ceil(length) - length, exact
        // in double precision and the same wherever the position is.
        const double length = heldLength(lengths[line], ringMask + 1);
        const double whole = std::ceil(length);
        LineRead& read = set.reads[line];
        read.whole = static_cast<std::int32_t>(whole);
        hermiteWeights(static_cast<float>(whole - length), line == 0 || line == 3 ? 1.0f : -1.0f, read.weights);
    }
    return set;
}

void WideningEngine::followSizes() noexcept
{
    const auto differs = [](float a, float b) {
        return std::bit_cast<std::uint32_t>(a) != std::bit_cast<std::uint32_t>(b);
    };
    if (!linesMade)
    {
        sounding = linesAt(motion.soundingSize());
        incoming = linesAt(motion.incomingSize());
        linesMade = true;
        return;
    }
    // A crossfade that ended has made the incoming lines the sounding ones.
    if (differs(sounding.size, motion.soundingSize()))
        sounding = differs(incoming.size, motion.soundingSize()) ? linesAt(motion.soundingSize()) : incoming;
    if (motion.crossfading() && differs(incoming.size, motion.incomingSize()))
        incoming = linesAt(motion.incomingSize());
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
    motion.startBlock();
    for (int done = 0; done < frames;)
    {
        followSizes();
        WideningChunk chunk;
        chunk.frames = motion.framesBeforeChange(frames - done);
        planReads(chunk);
        planLfo(chunk);
        planMotion(chunk);
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

// The chunk ends at the stretch's end. Each line's taps for its first frame
// start at x[-1], one before x[0].
void WideningEngine::planReads(WideningChunk& chunk) const noexcept
{
    const int intoStretch = position & (kChunkFrames - 1);
    chunk.frames = std::min(chunk.frames, kChunkFrames - intoStretch);
    const auto place = [&](const LineSet& set, const float*(&taps)[kNumLines],
                           float(&weights)[kNumLines][kTapsPerLine]) {
        for (std::size_t line = 0; line < set.reads.size(); ++line)
        {
            const LineRead& read = set.reads[line];
            taps[line] = ring.get() + ((position - read.whole - 1) & ringMask);
            std::memcpy(weights[line], read.weights, sizeof weights[line]);
        }
    };
    place(sounding, chunk.taps, chunk.weights);
    chunk.crossfading = motion.crossfading();
    if (chunk.crossfading)
        place(incoming, chunk.incomingTaps, chunk.incomingWeights);
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
}

namespace
{
// The glide from the chunk's first frame on; a glide that has ended holds its target.
ChunkGlide chunkGlide(const Glide& glide)
{
    if (!glide.moving())
        return {glide.to, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    return {glide.from, static_cast<float>(glide.elapsed + 1), glide.perFrame, glide.slope, glide.square, glide.cube};
}
}  // namespace

// A chunk at one W has it folded into its gains. While W glides, or the lines
// crossfade within earshot, each frame has its own W and incoming share.
void WideningEngine::planMotion(WideningChunk& chunk) noexcept
{
    chunk.wetGain = motion.wet().to;
    chunk.moving = motion.wet().moving() || (chunk.crossfading && chunk.wetGain != 0.0f);
    chunk.wetGlide = chunkGlide(motion.wet());
    chunk.fadeGlide = chunkGlide(motion.fade());
    // Past the wrap the anchor goes a cycle back with the phase, staying near it.
    const float anchorPhase = chunk.firstPhase < stretchPhase ? stretchPhase - 1.0f : stretchPhase;
    anchor.expand(anchorPhase, chunk.moving ? 1.0f : chunk.wetGain, chunk.gains);
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
    motion.advance(chunk.frames);
    position = (position + chunk.frames) & (kPositionRing - 1);
}
}  // namespace velmora
