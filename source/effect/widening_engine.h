#pragma once
// The widening path as a plain engine: prepare it for a sample rate, hand it
// on/off, Size and Dry/Wet, and process blocks. No plug-in standard in sight;
// the VST effect, the benchmark and the tests drive it alike.
//
// All four lines are written with the same mono sum at the same position, so
// one ring serves them, read at four distances. Read positions and the
// interpolation fraction are those of a 2^20-sample ring (the fraction is taken
// from the position rounded to single precision, which coarsens far into that
// ring); the ring actually held is the smallest power of two that covers the
// longest line at Size 1 plus one chunk at the highest rate prepared, and a
// position maps onto it by its low bits.
//
// Each step against the plain path in scalar_widener.cpp, which it follows
// to within single-precision rounding of the gains:
//  - Four cwaveguide rings, each read by readHermite every sample: here one
//    ring and, per line, a LineRead whose Hermite weights hold while the read
//    position stays within one power of two (the fraction is taken from the
//    position rounded to single precision). readAt finds that edge from the
//    position's exponent, so weights are made once per run, not per sample.
//  - ProcessFreeLFO every sample: within one binade of the phase every step
//    adds the same rounded increment, so a run of steps is phase + j step,
//    exactly. steadyLfoRun reads the binade's edge from the phase's exponent
//    field; across an edge or the wrap the engine takes plain steps.
//  - Two library sines per sample: the kernels expand sin about one anchor
//    angle per stretch of kChunkFrames (LfoGainAnchor, whose anchor sine and
//    cosine come from a short series in double precision) and evaluate the
//    expansion at each frame's own rounded angle.
//  - The width signal and the outputs, left + W S and right - W S: the same,
//    with lines 1 and 2 weighted negative so that each gain multiplies one sum.
//
// Threads: prepare belongs to the host's interface thread (one thread at a
// time) and may run at any moment, also while process runs: what a rate needs
// is made there and handed to the audio thread whole, which takes it at the
// start of its next block. setValues and process belong to the audio thread,
// where nothing allocates, frees, locks or logs.

#include "effect/lfo_gain_anchor.h"
#include "effect/line_lengths.h"
#include "effect/widening_kernels.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

namespace velmora
{
class WideningEngine
{
public:
    // Frames processed per kernel call at most, and the ring's readable margin.
    // A chunk never runs past a multiple of kChunkFrames in the sample count:
    // each such stretch has one LFO anchor, whatever the blocks.
    static constexpr int kChunkFrames = kMaxChunkFrames;
    static constexpr int kRingMargin = kChunkFrames + 32;
    // Read positions wrap as in a ring of this many samples.
    static constexpr std::int32_t kPositionRing = 1 << 20;

    explicit WideningEngine(const WideningKernel& kernel = fastestWideningKernel());
    ~WideningEngine();

    WideningEngine(const WideningEngine&) = delete;
    WideningEngine& operator=(const WideningEngine&) = delete;

    // The rate for the blocks from the next one on: the LFO step, the rate the
    // lengths are computed at and, when the rate needs more, a larger ring that
    // keeps what the ring holds. The rate already given changes nothing. May
    // allocate; needed once before the first process.
    void prepare(float sampleRate);

    // Taken once per block, like a host's parameter values.
    void setValues(bool on, float size, float dryWet) noexcept;
    void process(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int frames) noexcept;

    // On the preparing thread: the ring the next block uses, in samples.
    std::int32_t ringSize() const noexcept { return preparedRingSize; }

private:
    // A rate on its way to the audio thread, with the larger ring it needs
    // (null: the ring held is large enough). The audio thread takes it at a
    // block boundary and hands it back with the ring it replaced, which only
    // the preparing thread frees.
    struct RateHandover
    {
        float rate = 0.0f;
        std::unique_ptr<float[]> ring;  // ringSize samples, then kRingMargin more
        std::int32_t ringSize = 0;
        RateHandover* nextReturned = nullptr;
    };

    // How a line reads from the write position on, valid for steadyFrames.
    struct LineRead
    {
        std::int32_t tapSlot = 0;  // ring slot of x[-1]
        float weights[kTapsPerLine] = {};
        int steadyFrames = 0;
    };

    void takeHandover() noexcept;
    void freeReturned() noexcept;
    LineRead readAt(int line) const noexcept;
    int steadyLfoRun() const noexcept;
    // One chunk of a block: sized and given its reads, its phases and gains,
    // its place in the ring; then the state moved on past it.
    void planReads(WideningChunk& chunk) noexcept;
    void planLfo(WideningChunk& chunk) noexcept;
    void placeMono(WideningChunk& chunk) noexcept;
    void advance(const WideningChunk& chunk) noexcept;
    void makeLengths() noexcept;
    void forgetReads() noexcept;

    const WideningKernel& chosenKernel;

    // The preparing thread's: what the audio thread runs at once it has taken
    // every handover (the ring only grows, so its size is the largest made).
    float preparedRate = 0.0f;
    std::int32_t preparedRingSize = 0;  // 0 until the first prepare

    // Release and acquire, so that a handover arrives with what was written into it.
    std::atomic<RateHandover*> pending{nullptr};   // owned by whoever takes it out
    std::atomic<RateHandover*> returned{nullptr};  // a list, linked through nextReturned

    // The audio thread's.
    std::unique_ptr<float[]> ring;  // ringMask + 1 samples, then the first kRingMargin again
    std::int32_t ringMask = 0;
    std::int32_t position = 0;  // the next write, in the 2^20 ring
    float rate = 0.0f;
    float increment = 0.0f;
    float phase = 0.0f;
    float phaseStep = 0.0f;     // of the steady LFO run under way
    int phaseRun = 0;           // frames left in it
    float stretchPhase = 0.0f;  // of the first frame of the stretch under way
    LfoGainAnchor anchor;
    float wetGain = 0.0f;
    float size = 0.5f;  // the Size the lengths were made for
    std::array<double, kNumLines> lengths{};
    std::array<LineRead, kNumLines> reads{};
};
}  // namespace velmora
