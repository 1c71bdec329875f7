// The widening chunk with AVX-512: sixteen frames a step.
#include "effect/widening_kernel_body.h"

// GCC 12's AVX-512 intrinsics start some results from a deliberately
// undefined vector and then warn about it.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>

namespace
{
struct Avx512
{
    static constexpr int kWidth = 16;
    using Float = __m512;

    static Float load(const float* source) { return _mm512_loadu_ps(source); }
    static void store(float* destination, Float value) { _mm512_storeu_ps(destination, value); }
    static Float set1(float value) { return _mm512_set1_ps(value); }
    static Float add(Float a, Float b) { return _mm512_add_ps(a, b); }
    static Float sub(Float a, Float b) { return _mm512_sub_ps(a, b); }
    static Float mul(Float a, Float b) { return _mm512_mul_ps(a, b); }
    static Float multiplyAdd(Float a, Float b, Float c) { return _mm512_fmadd_ps(a, b, c); }
};
}  // namespace

void velmora::processWideningChunkAvx512(const WideningChunk& chunk) { kernel::processChunk<Avx512>(chunk); }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
