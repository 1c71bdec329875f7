// Big-endian field access for FXP/FXB data.

#include "tandem/fx_fields.h"
#include "tandem/tandem_exceptions.h"
#include "tandem/tandem_trace.h"
#include "tandem/vst_plugin.h"

#include <bit>
#include <cstdint>

const unsigned char* VSTPlugIn::readBigInt32(const unsigned char* p, const unsigned char* e, int* x)
{
    TANDEM_REQUIRE(p != 0);
    TANDEM_REQUIRE(e != 0);
    TANDEM_REQUIRE(x != 0);
    if (e < p || e - p < 4)
    {
        throw EOFException(fx::kEndOfFile);
    }
    const std::uint32_t bits = (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
                               std::uint32_t{p[3]};
    *x = static_cast<int>(bits);
    return p + 4;
}

const unsigned char* VSTPlugIn::readBigFloat32(const unsigned char* p, const unsigned char* e, float* x)
{
    TANDEM_REQUIRE(p != 0);
    TANDEM_REQUIRE(e != 0);
    TANDEM_REQUIRE(x != 0);
    int bits = 0;
    p = readBigInt32(p, e, &bits);
    *x = std::bit_cast<float>(bits);
    return p;
}

unsigned char* VSTPlugIn::writeBigInt32(unsigned char* p, int x)
{
    TANDEM_REQUIRE(p != 0);
    const auto bits = static_cast<std::uint32_t>(x);
    p[0] = static_cast<unsigned char>(bits >> 24);
    p[1] = static_cast<unsigned char>(bits >> 16);
    p[2] = static_cast<unsigned char>(bits >> 8);
    p[3] = static_cast<unsigned char>(bits);
    return p + 4;
}
