#pragma once
// The chunk loop shared by the instruction-set kernels. Included only by the
// kernel files, each of which passes its own vector type V:
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
struct ChunkConstants
{
    const float* taps[4];
    typename V::Float weights[4][kTapsPerLine];
    GainConstants<V> gains[2];
    typename V::Float vectorStep;  // the phase step of a whole vector, exact like the phases
};

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
VELMORA_KERNEL_INLINE void storePair(const ChunkConstants<V>& constants, int first, int second, int t, float* pairs)
{
    typename V::Float pair = V::mul(constants.weights[first][0], V::load(constants.taps[first] + t));
    pair = addTaps<V>(pair, constants.weights[first], constants.taps[first] + t, 1);
    pair = addTaps<V>(pair, constants.weights[second], constants.taps[second] + t, 0);
    V::store(pairs + t, pair);
}

// One vector of frames starting at frame t, at these LFO phases, whose sums
// are ready; the channel pointers already point at t.
template <class V>
VELMORA_KERNEL_INLINE void processVector(const ChunkConstants<V>& constants, int t, typename V::Float phase,
                                         const float* sinePairs, const float* cosinePairs, const float* inLeft,
                                         const float* inRight, float* outLeft, float* outRight)
{
    const typename V::Float twoPi = V::set1(kTwoPi);
    const typename V::Float shifted = V::add(phase, V::set1(kQuarterCycle));
    const typename V::Float sineGain = expandedGain<V>(V::mul(phase, twoPi), constants.gains[0]);
    const typename V::Float cosineGain = expandedGain<V>(V::mul(shifted, twoPi), constants.gains[1]);
    // W S, added to one side and taken from the other alike, so that the
    // mono sum only sees the rounding of the two outputs.
    const typename V::Float width = V::multiplyAdd(cosineGain, V::load(cosinePairs + t),
                                                   V::mul(sineGain, V::load(sinePairs + t)));
    // Both inputs are read before either output is written: a host may hand
    // one buffer as the input of one side and the output of the other.
    const typename V::Float left = V::load(inLeft);
    const typename V::Float right = V::load(inRight);
    V::store(outLeft, V::add(left, width));
    V::store(outRight, V::sub(right, width));
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

// Whole vectors in place, then the last few frames through a vector-sized
// scratch copy, so that every frame gets the same arithmetic wherever a block
// boundary falls.
template <class V>
void processChunk(const WideningChunk& chunk)
{
    writeMono<V>(chunk);
    if (chunk.wetGain == 0.0f)
    {
        passInput(chunk);
        return;
    }

    ChunkConstants<V> constants;
    for (int line = 0; line < 4; ++line)
    {
        constants.taps[line] = chunk.taps[line];
        for (int tap = 0; tap < kTapsPerLine; ++tap)
            constants.weights[line][tap] = V::set1(chunk.weights[line][tap]);
    }
    for (int gain = 0; gain < 2; ++gain)
    {
        const GainExpansion& expansion = chunk.gains[gain];
        constants.gains[gain] = {V::set1(expansion.angle), V::set1(expansion.sine), V::set1(expansion.cosine),
                                 V::set1(expansion.squareTerm), V::set1(expansion.cubicTerm)};
    }
    const typename V::Float step = V::set1(chunk.phaseStep);
    constants.vectorStep = V::mul(V::set1(static_cast<float>(V::kWidth)), step);

    // Taken out of the chunk, which the stores could alias as far as the
    // compiler knows: it would load them again for every vector.
    const float* const inLeft = chunk.inLeft;
    const float* const inRight = chunk.inRight;
    float* const outLeft = chunk.outLeft;
    float* const outRight = chunk.outRight;
    const int frames = chunk.frames;

    // The sums of every vector first, a pair of lines at a time, then the
    // gains and the outputs: each loop alone keeps its constants in
    // registers, and the sums do not wait for the gains' constants.
    alignas(64) float sinePairs[kMaxChunkFrames];
    alignas(64) float cosinePairs[kMaxChunkFrames];
    for (int t = 0; t < frames; t += V::kWidth)
        storePair<V>(constants, 0, 2, t, sinePairs);
    for (int t = 0; t < frames; t += V::kWidth)
        storePair<V>(constants, 3, 1, t, cosinePairs);

    // Phases go up a vector at a time: within a run every sum is exact, as
    // firstPhase + t phaseStep is.
    typename V::Float phase = V::add(V::set1(chunk.firstPhase), V::mul(V::load(kFrameOffsets), step));
    int t = 0;
    for (; t + V::kWidth <= frames; t += V::kWidth)
    {
        processVector<V>(constants, t, phase, sinePairs, cosinePairs, inLeft + t, inRight + t, outLeft + t,
                         outRight + t);
        phase = V::add(phase, constants.vectorStep);
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
    processVector<V>(constants, t, phase, sinePairs, cosinePairs, left, right, left, right);
    for (int n = 0; n < rest; ++n)
    {
        outLeft[t + n] = left[n];
        outRight[t + n] = right[n];
    }
}
}  // namespace velmora::kernel

#undef VELMORA_KERNEL_INLINE
