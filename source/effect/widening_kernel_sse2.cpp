// The widening chunk on the x86-64 baseline: four frames a step, no fused
// multiply-add.
#include "effect/widening_kernel_body.h"

#include <emmintrin.h>

namespace
{
struct Sse2
{
    static constexpr int kWidth = 4;
    using Float = __m128;

    static Float load(const float* source) { return _mm_loadu_ps(source); }
    static void store(float* destination, Float value) { _mm_storeu_ps(destination, value); }
    static Float set1(float value) { return _mm_set1_ps(value); }
    static Float add(Float a, Float b) { return _mm_add_ps(a, b); }
    static Float sub(Float a, Float b) { return _mm_sub_ps(a, b); }
    static Float mul(Float a, Float b) { return _mm_mul_ps(a, b); }
    static Float multiplyAdd(Float a, Float b, Float c) { return _mm_add_ps(_mm_mul_ps(a, b), c); }
};
}  // namespace

void velmora::processWideningChunkSse2(const WideningChunk& chunk) { kernel::processChunk<Sse2>(chunk); }
