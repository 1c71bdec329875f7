#pragma once
// The inner loop of the widening path, built once per instruction set. A chunk
// is a stretch of frames over which every line reads the ring at a fixed
// fraction, so each line is a four-tap filter with constant weights, and over
// which the LFO phase grows by a constant, exactly representable step:
//
//   S = A (y0 - y2) + B (y3 - y1),  out L = W S + L,  out R = -W S + R
//
// with y_k the line's taps under its weights and A, B = sin(2 pi phase) / 2,
// sin(2 pi (phase + 1/4)) / 2, each expanded about an anchor angle near the
// chunk's own. The chunk's mono sums go into the ring first; no line is short
// enough to read them back in the same chunk.
//
// Kept free of the standard library: each kernel file is compiled for its own
// instruction set, and an inline library function instantiated there could be
// picked by the linker for code that runs on any processor.

namespace velmora
{
inline constexpr int kTapsPerLine = 4;
// Frames of one chunk at most: a whole number of vectors of every set.
inline constexpr int kMaxChunkFrames = 256;

// W sin(x) / 2 near the anchor angle a, for d = x - a:
//
//   sine + d (cosine + d^2 cubicTerm) + d^2 squareTerm
//
// with sine, cosine = W sin(a) / 2, W cos(a) / 2, squareTerm = -sine / 2 and
// cubicTerm = -cosine / 6. What it leaves out, the terms in d^4 and beyond,
// stays below 1e-8 W for |d| < 0.02.
struct GainExpansion
{
    float angle;
    float sine;
    float cosine;
    float squareTerm;
    float cubicTerm;
};

// A value that glides over a chunk: frame t has
// from + x (slope + x (square + x cube)) at x = (first + t) perFrame, first + t
// counting whole frames from the glide's start.
struct ChunkGlide
{
    float from;
    float first;
    float perFrame;
    float slope;
    float square;
    float cube;
};

struct WideningChunk
{
    // Per line, the ring slot of the first frame's oldest tap (x[-1]); the
    // taps of frame t start t slots later. The ring is readable a whole
    // vector past the last frame.
    const float* taps[4];
    // Per line, the Hermite weights of x[-1], x[0], x[1], x[2] with the sign of
    // the line's term folded in: lines 0 and 3 positive, 1 and 2 negative.
    float weights[4][kTapsPerLine];
    // LFO phase of frame t: firstPhase + t * phaseStep, exact in single precision.
    float firstPhase;
    float phaseStep;
    // A, then B, with the wet gain W folded in unless the chunk is moving;
    // every frame's angle lies within 0.02 of its anchor.
    GainExpansion gains[2];
    // Moving: W glides (wetGlide gives each frame's) or the lines crossfade.
    bool moving;
    ChunkGlide wetGlide;
    // While crossfading, incoming lines as taps and weights are, faded in by
    // the share fadeGlide gives each frame.
    bool crossfading;
    const float* incomingTaps[4];
    float incomingWeights[4][kTapsPerLine];
    ChunkGlide fadeGlide;
    // Where the mono sums go: monoFrames to mono, the rest to monoWrapped.
    float* mono;
    int monoFrames;
    float* monoWrapped;
    // W while the chunk is not moving; 0 (off, or Dry/Wet 0) passes the
    // input on unchanged.
    float wetGain;
    const float* inLeft;
    const float* inRight;
    float* outLeft;   // may be inLeft
    float* outRight;  // may be inRight
    int frames;
};

using WideningKernelFunction = void (*)(const WideningChunk& chunk);

struct WideningKernel
{
    const char* name;
    bool (*isSupported)();  // whether this processor runs it
    WideningKernelFunction process;
};

// Every kernel built in, fastest first; the last one runs on any x86-64.
inline constexpr int kNumWideningKernels = 3;
const WideningKernel* wideningKernels();
// The fastest kernel this processor runs, chosen on the first call.
const WideningKernel& fastestWideningKernel();

void processWideningChunkAvx512(const WideningChunk& chunk);
void processWideningChunkAvx2(const WideningChunk& chunk);
void processWideningChunkSse2(const WideningChunk& chunk);
}  // namespace velmora
