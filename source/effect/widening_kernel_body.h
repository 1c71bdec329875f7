#pragma once
// The chunk loop shared by the instruction-set kernels. Included only by the
// kernel files, each of which passes its own vector type V:
//
//   V::kWidth, V::Float, V::Int, load, store, set1, add, sub, mul,
//   multiplyAdd(a, b, c) = a b + c and multiplySubtract(a, b, c) = c - a b
//   (fused where the set has them), roundToInt, toFloat,
//   negateWhereOdd(value, integers).
//
// Each V lives in its kernel file's unnamed namespace, so every instantiation
// here stays inside the file that made it, compiled for that file's set.

#include "effect/widening_kernels.h"

namespace velmora::kernel
{
// sin(x) / 2 for |x| <= pi/2: odd polynomial of degree 9, within 7e-9 of the
// true value in double precision, halved (exactly) in its coefficients. The
// kernels scale the coefficients by the wet gain once per chunk, so that the
// gains come out already scaled.
inline constexpr int kSineTerms = 5;
inline constexpr float kHalfSine[kSineTerms] = {0.4999999978494045f, -0.083333289739230475f,
                                                0.0041665250853365625f, -0.000099045087043745825f,
                                                1.3025538177264723e-06f};
// pi in two parts: the high part times the few multiples used here is exact,
// so only the small low part rounds.
inline constexpr float kPiHigh = 3.140625f;
inline constexpr float kPiLow = 9.676535897932e-4f;
inline constexpr float kTwoPi = 6.2831855f;  // as the single-precision path rounds it
inline constexpr float kQuarterCycle = 0.25f;
alignas(64) inline constexpr float kFrameOffsets[16] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

// Small helpers are always inlined: called, they would pass their vectors
// through memory.
#define VELMORA_KERNEL_INLINE inline __attribute__((always_inline))

// W sin(x) / 2 for x = 2 pi phase, phase in [0, 2): x - k pi lies within
// about pi/2 for k = round(2 phase), and sin(x) = (-1)^k sin(x - k pi).
template <class V>
VELMORA_KERNEL_INLINE typename V::Float scaledHalfSine(typename V::Float x, typename V::Float phase,
                                                       const typename V::Float (&coefficients)[kSineTerms])
{
    const typename V::Int turns = V::roundToInt(V::add(phase, phase));
    const typename V::Float k = V::toFloat(turns);
    typename V::Float r = V::multiplySubtract(k, V::set1(kPiHigh), x);
    r = V::multiplySubtract(k, V::set1(kPiLow), r);
    const typename V::Float z = V::mul(r, r);
    typename V::Float p = coefficients[4];
    p = V::multiplyAdd(p, z, coefficients[3]);
    p = V::multiplyAdd(p, z, coefficients[2]);
    p = V::multiplyAdd(p, z, coefficients[1]);
    p = V::multiplyAdd(p, z, coefficients[0]);
    return V::negateWhereOdd(V::mul(p, r), turns);
}

template <class V>
struct ChunkConstants
{
    const float* taps[4];
    typename V::Float weights[4][kTapsPerLine];
    typename V::Float sineTerms[kSineTerms];  // kHalfSine times the wet gain
    typename V::Float firstPhase;
    typename V::Float phaseStep;
    typename V::Float frameOffsets;
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

// One vector of frames starting at frame t; the channel pointers already point at t.
template <class V>
VELMORA_KERNEL_INLINE void processVector(const ChunkConstants<V>& constants, int t, const float* inLeft,
                                         const float* inRight, float* outLeft, float* outRight)
{
    const typename V::Float frame = V::add(V::set1(static_cast<float>(t)), constants.frameOffsets);
    const typename V::Float phase = V::add(constants.firstPhase, V::mul(frame, constants.phaseStep));
    const typename V::Float twoPi = V::set1(kTwoPi);
    const typename V::Float shifted = V::add(phase, V::set1(kQuarterCycle));
    const typename V::Float sineGain = scaledHalfSine<V>(V::mul(phase, twoPi), phase, constants.sineTerms);
    const typename V::Float cosineGain = scaledHalfSine<V>(V::mul(shifted, twoPi), shifted, constants.sineTerms);

    // Lines 0 and 2 under the sine gain, 3 and 1 under the cosine gain.
    typename V::Float sinePair = V::mul(constants.weights[0][0], V::load(constants.taps[0] + t));
    sinePair = addTaps<V>(sinePair, constants.weights[0], constants.taps[0] + t, 1);
    sinePair = addTaps<V>(sinePair, constants.weights[2], constants.taps[2] + t, 0);
    typename V::Float cosinePair = V::mul(constants.weights[3][0], V::load(constants.taps[3] + t));
    cosinePair = addTaps<V>(cosinePair, constants.weights[3], constants.taps[3] + t, 1);
    cosinePair = addTaps<V>(cosinePair, constants.weights[1], constants.taps[1] + t, 0);
    // W S, added to one side and taken from the other alike, so that the
    // mono sum only sees the rounding of the two outputs.
    const typename V::Float width = V::multiplyAdd(cosineGain, cosinePair, V::mul(sineGain, sinePair));
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
    for (int term = 0; term < kSineTerms; ++term)
        constants.sineTerms[term] = V::set1(kHalfSine[term] * chunk.wetGain);
    constants.firstPhase = V::set1(chunk.firstPhase);
    constants.phaseStep = V::set1(chunk.phaseStep);
    constants.frameOffsets = V::load(kFrameOffsets);

    int t = 0;
    for (; t + V::kWidth <= chunk.frames; t += V::kWidth)
        processVector<V>(constants, t, chunk.inLeft + t, chunk.inRight + t, chunk.outLeft + t, chunk.outRight + t);
    const int rest = chunk.frames - t;
    if (rest == 0)
        return;
    float left[V::kWidth] = {};
    float right[V::kWidth] = {};
    for (int n = 0; n < rest; ++n)
    {
        left[n] = chunk.inLeft[t + n];
        right[n] = chunk.inRight[t + n];
    }
    processVector<V>(constants, t, left, right, left, right);
    for (int n = 0; n < rest; ++n)
    {
        chunk.outLeft[t + n] = left[n];
        chunk.outRight[t + n] = right[n];
    }
}
}  // namespace velmora::kernel

#undef VELMORA_KERNEL_INLINE
