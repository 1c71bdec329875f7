#pragma once
// The chunk loops shared by the instruction-set kernels: one for a chunk at a
// fixed W and lines, one for a chunk in which W glides or the lines
// crossfade. Included only by the kernel files, each of which passes its own
// vector type V:
//
//   V::kWidth, V::Float, load, store, set1, add, sub, mul and
//   multiplyAdd(a, b, c) = a b + c (fused where the set has it).
//
// Each V lives in its kernel file's unnamed namespace, so every instantiation
// here stays inside the file that made it, compiled for that file's set.

#include "effect/widening_gains.h"
#include "effect/widening_kernels.h"

namespace velmora::kernel
{
alignas(64) inline constexpr float kFrameOffsets[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

// Small helpers are always inlined: called, they would pass their vectors
// through memory.
#define VELMORA_KERNEL_INLINE inline __attribute__((always_inline))

template <class V>
struct GainConstants
{
    typename V::Float angle;
    typename V::Float sine;
    typename V::Float cosine;
    typename V::Float squareTerm;
    typename V::Float cubicTerm;
};

// The gain at angle x, rounded to single precision as the plain path rounds it.
template <class V>
VELMORA_KERNEL_INLINE typename V::Float expandedGain(typename V::Float x, const GainConstants<V>& gain)
{
    const typename V::Float d = V::sub(x, gain.angle);
    const typename V::Float d2 = V::mul(d, d);
    const typename V::Float slope = V::multiplyAdd(d2, gain.cubicTerm, gain.cosine);
    return V::multiplyAdd(d2, gain.squareTerm, V::multiplyAdd(d, slope, gain.sine));
}

template <class V>
struct LineConstants
{
    const float* taps[4];
    typename V::Float weights[4][kTapsPerLine];
};

template <class V>
LineConstants<V> lineConstants(const float* const (&taps)[4], const float (&weights)[4][kTapsPerLine])
{
    LineConstants<V> lines;
    for (int line = 0; line < 4; ++line)
    {
        lines.taps[line] = taps[line];
        for (int tap = 0; tap < kTapsPerLine; ++tap)
            lines.weights[line][tap] = V::set1(weights[line][tap]);
    }
    return lines;
}

// sum + the line's taps from tap `from` on under their weights.
template <class V>
VELMORA_KERNEL_INLINE typename V::Float addTaps(typename V::Float sum, const typename V::Float (&weights)[kTapsPerLine],
                                                const float* taps, int from)
{
    if (from == 0)
        sum = V::multiplyAdd(weights[0], V::load(taps), sum);
    sum = V::multiplyAdd(weights[1], V::load(taps + 1), sum);
    sum = V::multiplyAdd(weights[2], V::load(taps + 2), sum);
    return V::multiplyAdd(weights[3], V::load(taps + 3), sum);
}

// The sum of two lines over one vector of frames starting at frame t:
// lines 0 and 2, which go under the sine gain, or 3 and 1, under the cosine gain.
template <class V>
VELMORA_KERNEL_INLINE typename V::Float pairAt(const LineConstants<V>& lines, int first, int second, int t)
{
    typename V::Float pair = V::mul(lines.weights[first][0], V::load(lines.taps[first] + t));
    pair = addTaps<V>(pair, lines.weights[first], lines.taps[first] + t, 1);
    return addTaps<V>(pair, lines.weights[second], lines.taps[second] + t, 0);
}

// Every vector's pair sums of the chunk, a pair at a time: each loop alone
// keeps its constants in registers.
template <class V>
VELMORA_KERNEL_INLINE void storePairs(const LineConstants<V>& lines, int frames, float* sinePairs, float* cosinePairs)
{
    for (int t = 0; t < frames; t += V::kWidth)
        V::store(sinePairs + t, pairAt<V>(lines, 0, 2, t));
    for (int t = 0; t < frames; t += V::kWidth)
        V::store(cosinePairs + t, pairAt<V>(lines, 3, 1, t));
}

// A glide's value at the frames of one vector, from t on.
template <class V>
struct VectorGlide
{
    VectorGlide(const ChunkGlide& glide, int t)
        : from(V::set1(glide.from)), perFrame(V::set1(glide.perFrame)), slope(V::set1(glide.slope)),
          square(V::set1(glide.square)), cube(V::set1(glide.cube)),
          count(V::add(V::set1(glide.first + static_cast<float>(t)), V::load(kFrameOffsets)))
    {}
    typename V::Float value() const
    {
        const typename V::Float x = V::mul(count, perFrame);
        return V::multiplyAdd(x, V::multiplyAdd(x, V::multiplyAdd(x, cube, square), slope), from);
    }
    void next() { count = V::add(count, V::set1(static_cast<float>(V::kWidth))); }

    typename V::Float from, perFrame, slope, square, cube;
    typename V::Float count;  // whole frames from the glide's start, exact
};

// The sounding lines' pair sums move toward the incoming lines' by each
// frame's share of the crossfade.
template <class V>
VELMORA_KERNEL_INLINE void blendPairs(const LineConstants<V>& incoming, const ChunkGlide& fade, int first, int second,
                                      int frames, float* pairs)
{
    VectorGlide<V> share(fade, 0);
    for (int t = 0; t < frames; t += V::kWidth)
    {
        const typename V::Float sounding = V::load(pairs + t);
        const typename V::Float faded = V::sub(pairAt<V>(incoming, first, second, t), sounding);
        V::store(pairs + t, V::multiplyAdd(share.value(), faded, sounding));
        share.next();
    }
}

// Scales the width of each vector: by nothing when W is folded into the gains,
// by each frame's W while it glides.
template <class V>
struct FoldedWet
{
    typename V::Float scale(typename V::Float width) const { return width; }
    void next() {}
};

template <class V>
struct GlidingWet
{
    typename V::Float scale(typename V::Float width) const { return V::mul(width, wet.value()); }
    void next() { wet.next(); }
    VectorGlide<V> wet;
};

// One vector of frames starting at frame t, at these LFO phases, whose sums
// are ready; the channel pointers already point at t.
template <class V, class Wet>
VELMORA_KERNEL_INLINE void processVector(const GainConstants<V> (&gains)[2], const Wet& wet, int t,
                                         typename V::Float phase, const float* sinePairs, const float* cosinePairs,
                                         const float* inLeft, const float* inRight, float* outLeft, float* outRight)
{
    const typename V::Float twoPi = V::set1(kTwoPi);
    const typename V::Float shifted = V::add(phase, V::set1(kQuarterCycle));
    const typename V::Float sineGain = expandedGain<V>(V::mul(phase, twoPi), gains[0]);
    const typename V::Float cosineGain = expandedGain<V>(V::mul(shifted, twoPi), gains[1]);
    // W S, added to one side and taken from the other alike, so that the
    // mono sum only sees the rounding of the two outputs.
    const typename V::Float width = wet.scale(
        V::multiplyAdd(cosineGain, V::load(cosinePairs + t), V::mul(sineGain, V::load(sinePairs + t))));
    // Both inputs are read before either output is written: a host may hand
    // one buffer as the input of one side and the output of the other.
    const typename V::Float left = V::load(inLeft);
    const typename V::Float right = V::load(inRight);
    V::store(outLeft, V::add(left, width));
    V::store(outRight, V::sub(right, width));
}

// Whole vectors in place, then the last few frames through a vector-sized
// scratch copy, so that every frame gets the same arithmetic wherever a block
// boundary falls.
template <class V, class Wet>
void writeOutputs(const WideningChunk& chunk, const float* sinePairs, const float* cosinePairs, Wet wet)
{
    GainConstants<V> gains[2];
    for (int gain = 0; gain < 2; ++gain)
    {
        const GainExpansion& expansion = chunk.gains[gain];
        gains[gain] = {V::set1(expansion.angle), V::set1(expansion.sine), V::set1(expansion.cosine),
                       V::set1(expansion.squareTerm), V::set1(expansion.cubicTerm)};
    }
    const typename V::Float step = V::set1(chunk.phaseStep);
    const typename V::Float vectorStep = V::mul(V::set1(static_cast<float>(V::kWidth)), step);

    // Taken out of the chunk, which the stores could alias as far as the
    // compiler knows: it would load them again for every vector.
    const float* const inLeft = chunk.inLeft;
    const float* const inRight = chunk.inRight;
    float* const outLeft = chunk.outLeft;
    float* const outRight = chunk.outRight;
    const int frames = chunk.frames;

    // Phases go up a vector at a time: within a run every sum is exact, as
    // firstPhase + t phaseStep is.
    typename V::Float phase = V::add(V::set1(chunk.firstPhase), V::mul(V::load(kFrameOffsets), step));
    int t = 0;
    for (; t + V::kWidth <= frames; t += V::kWidth)
    {
        processVector<V>(gains, wet, t, phase, sinePairs, cosinePairs, inLeft + t, inRight + t, outLeft + t,
                         outRight + t);
        phase = V::add(phase, vectorStep);
        wet.next();
    }
    const int rest = frames - t;
    if (rest == 0)
        return;
    float left[V::kWidth] = {};
    float right[V::kWidth] = {};
    for (int n = 0; n < rest; ++n)
    {
        left[n] = inLeft[t + n];
        right[n] = inRight[t + n];
    }
    processVector<V>(gains, wet, t, phase, sinePairs, cosinePairs, left, right, left, right);
    for (int n = 0; n < rest; ++n)
    {
        outLeft[t + n] = left[n];
        outRight[t + n] = right[n];
    }
}

template <class V>
VELMORA_KERNEL_INLINE void addChannels(const float* left, const float* right, float* sum, int frames)
{
    int t = 0;
    for (; t + V::kWidth <= frames; t += V::kWidth)
        V::store(sum + t, V::add(V::load(left + t), V::load(right + t)));
    for (; t < frames; ++t)
        sum[t] = left[t] + right[t];
}

template <class V>
void writeMono(const WideningChunk& chunk)
{
    addChannels<V>(chunk.inLeft, chunk.inRight, chunk.mono, chunk.monoFrames);
    const int wrapped = chunk.frames - chunk.monoFrames;
    addChannels<V>(chunk.inLeft + chunk.monoFrames, chunk.inRight + chunk.monoFrames, chunk.monoWrapped, wrapped);
}

// Frame by frame, both sides read before either is written, as above.
inline void passInput(const WideningChunk& chunk)
{
    for (int t = 0; t < chunk.frames; ++t)
    {
        const float left = chunk.inLeft[t];
        const float right = chunk.inRight[t];
        chunk.outLeft[t] = left;
        chunk.outRight[t] = right;
    }
}

// The sums of every vector first, then the gains and the outputs: the sums do
// not wait for the gains' constants.
template <class V>
void processChunk(const WideningChunk& chunk)
{
    writeMono<V>(chunk);
    if (!chunk.moving && chunk.wetGain == 0.0f)
    {
        passInput(chunk);
        return;
    }
    alignas(64) float sinePairs[kMaxChunkFrames];
    alignas(64) float cosinePairs[kMaxChunkFrames];
    storePairs<V>(lineConstants<V>(chunk.taps, chunk.weights), chunk.frames, sinePairs, cosinePairs);
    if (!chunk.moving)
    {
        writeOutputs<V>(chunk, sinePairs, cosinePairs, FoldedWet<V>{});
        return;
    }
    if (chunk.crossfading)
    {
        const LineConstants<V> incoming = lineConstants<V>(chunk.incomingTaps, chunk.incomingWeights);
        blendPairs<V>(incoming, chunk.fadeGlide, 0, 2, chunk.frames, sinePairs);
        blendPairs<V>(incoming, chunk.fadeGlide, 3, 1, chunk.frames, cosinePairs);
    }
    writeOutputs<V>(chunk, sinePairs, cosinePairs, GlidingWet<V>{VectorGlide<V>(chunk.wetGlide, 0)});
}
}  // namespace velmora::kernel

#undef VELMORA_KERNEL_INLINE
