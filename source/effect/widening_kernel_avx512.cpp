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
    using Int = __m512i;

    static Float load(const float* source) { return _mm512_loadu_ps(source); }
    static void store(float* destination, Float value) { _mm512_storeu_ps(destination, value); }
    static Float set1(float value) { return _mm512_set1_ps(value); }
    static Float add(Float a, Float b) { return _mm512_add_ps(a, b); }
    static Float sub(Float a, Float b) { return _mm512_sub_ps(a, b); }
    static Float mul(Float a, Float b) { return _mm512_mul_ps(a, b); }
    static Float multiplyAdd(Float a, Float b, Float c) { return _mm512_fmadd_ps(a, b, c); }
    static Float multiplySubtract(Float a, Float b, Float c) { return _mm512_fnmadd_ps(a, b, c); }
    static Int roundToInt(Float value) { return _mm512_cvtps_epi32(value); }
    static Float toFloat(Int value) { return _mm512_cvtepi32_ps(value); }
    static Float negateWhereOdd(Float value, Int integers)
    {
        return _mm512_castsi512_ps(_mm512_xor_si512(_mm512_castps_si512(value), _mm512_slli_epi32(integers, 31)));
    }
};
}  // namespace

void velmora::processWideningChunkAvx512(const WideningChunk& chunk)
{
    kernel::processChunk<Avx512>(chunk);
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
