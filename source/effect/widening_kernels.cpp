#include "effect/widening_kernels.h"

namespace velmora
{
namespace
{
bool hasAvx512() { return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("fma"); }
bool hasAvx2() { return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"); }
bool hasSse2() { return true; }

const WideningKernel kKernels[kNumWideningKernels] = {
    {"AVX-512", hasAvx512, processWideningChunkAvx512},
    {"AVX2+FMA", hasAvx2, processWideningChunkAvx2},
    {"SSE2", hasSse2, processWideningChunkSse2},
};
}  // namespace

const WideningKernel* wideningKernels() { return kKernels; }

const WideningKernel& fastestWideningKernel()
{
    static const WideningKernel& chosen = []() -> const WideningKernel& {
        for (const WideningKernel& kernel : kKernels)
            if (kernel.isSupported())
                return kernel;
        return kKernels[kNumWideningKernels - 1];
    }();
    return chosen;
}
}  // namespace velmora
