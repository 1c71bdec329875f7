#pragma once
// The widening path as a plain engine: prepare it for a sample rate, hand it
// on/off, Size and Dry/Wet, and process blocks. No plug-in standard in sight;
// the VST effect, the benchmark and the tests drive it alike.
//
// All four lines are written with the same mono sum at the same position, so
// one ring serves them, read at four distances. Read positions are those of a
// 2^20-sample ring; the ring actually held is the smallest power of two that
// covers the longest line at Size 1 plus one chunk at the highest rate
// prepared, and a position maps onto it by its low bits. Changes of on/off,
// Size and Dry/Wet glide and crossfade as WidthMotion says.
//
// Each step against the plain path in scalar_widener.cpp, which it follows
// to within single-precision rounding of the gains:
//  - Four cwaveguide rings, each read by readHermite every sample: here one
//    ring and, per line, a LineRead: a length's whole samples and the Hermite
//    weights of its fraction, which hold for as long as the length does.
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
//  - Glides and crossfades frame by frame: here chunks that end where one
//    does, whose W and incoming share are ramps the kernels evaluate per frame.
//
// Threads: prepare belongs to the host's interface thread (one thread at a
// time) and may run at any moment, also while process runs: what a rate needs
// is made there and handed to the audio thread whole, which takes it at the
// start of its next block. setValues and process belong to the audio thread,
// where nothing allocates, frees, locks or logs.

#include "effect/lfo_gain_anchor.h"
#include "effect/line_lengths.h"
#include "effect/widening_kernels.h"
#include "effect/width_motion.h"

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
    // keeps what the ring holds. The next block takes its values at once, at
    // the rate already given too. May allocate; needed once before the first
    // process.
    void prepare(float sampleRate);

    // Taken at the start of the next block, like a host's parameter values;
    // the first block after a prepare takes them at once, later ones glide.
    void setValues(bool on, float size, float dryWet) noexcept { motion.setTargets(on, size, dryWet); }
    void process(const float* inLeft, const float* inRight, float* outLeft, float* outRight, int frames) noexcept;

    // On the preparing thread: the ring the next block uses, in samples.
    std::int32_t ringSize() const noexcept { return preparedRingSize; }

private:
    // A rate on its way to the audio thread, with the larger ring it needs
    // (null: the ring held is large enough), and the word that the next block
    // starts afresh. The audio thread takes it at a
    // block boundary and hands it back with the ring it replaced, which only
    // the preparing thread frees.
    struct RateHandover
    {
        float rate = 0.0f;
        std::unique_ptr<float[]> ring;  // ringSize samples, then kRingMargin more
        std::int32_t ringSize = 0;
        RateHandover* nextReturned = nullptr;
    };

    // How a line of some length reads: x[0] lies `whole` samples behind the
    // write position, the fraction beyond it in the weights.
    struct LineRead
    {
        std::int32_t whole = 0;
        float weights[kTapsPerLine] = {};
    };
    // The four lines at one Size.
    struct LineSet
    {
        float size = 0.0f;
        std::array<LineRead, kNumLines> reads{};
    };

    void takeHandover() noexcept;
    void freeReturned() noexcept;
    LineSet linesAt(float size) const noexcept;
    // Line sets for the Sizes that WidthMotion sounds, remade only when one changed.
    void followSizes() noexcept;
    int steadyLfoRun() const noexcept;
    // One chunk of a block: sized and given its reads, its phases and gains,
    // its glide and crossfade, its place in the ring; then the state moved on
    // past it.
    void planReads(WideningChunk& chunk) const noexcept;
    void planLfo(WideningChunk& chunk) noexcept;
    void planMotion(WideningChunk& chunk) noexcept;
    void placeMono(WideningChunk& chunk) noexcept;
    void advance(const WideningChunk& chunk) noexcept;

    const WideningKernel& chosenKernel;

    // The preparing thread's: the ring the audio thread runs on once it has
    // taken every handover (the ring only grows, so its size is the largest made).
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
    WidthMotion motion;
    LineSet sounding;
    LineSet incoming;        // while crossfading
    bool linesMade = false;  // for the rate and ring in use
};
}  // namespace velmora
