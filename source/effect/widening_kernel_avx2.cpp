// The widening chunk with AVX2 and FMA: eight frames a step.
#include "effect/widening_kernel_body.h"

#include <immintrin.h>

namespace
{
struct Avx2
{
    static constexpr int kWidth = 8;
    using Float = __m256;

    static Float load(const float* source) { return _mm256_loadu_ps(source); }
    static void store(float* destination, Float value) { _mm256_storeu_ps(destination, value); }
    static Float set1(float value) { return _mm256_set1_ps(value); }
    static Float add(Float a, Float b) { return _mm256_add_ps(a, b); }
    static Float sub(Float a, Float b) { return _mm256_sub_ps(a, b); }
    static Float mul(Float a, Float b) { return _mm256_mul_ps(a, b); }
    static Float multiplyAdd(Float a, Float b, Float c) { return _mm256_fmadd_ps(a, b, c); }
};
}  // namespace

void velmora::processWideningChunkAvx2(const WideningChunk& chunk) { kernel::processChunk<Avx2>(chunk); }
