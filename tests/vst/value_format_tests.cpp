// Value-to-text operations and speaker-arrangement records of the effect base.
#include "spy_effect.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <limits>
#include <string>

namespace
{
constexpr char kGuard = '#';

// Formats into a buffer of maxLen + 1 bytes followed by guard bytes.
template <typename Format>
std::string formatted(Format format, VstInt32 maxLen = 16)
{
    char text[64];
    std::memset(text, kGuard, sizeof(text));
    format(text, maxLen);
    EXPECT_EQ(text[maxLen + 1], kGuard) << "wrote past text[maxLen]";
    return text;
}
}  // namespace

TEST(ValueFormat, FloatTextsKeepEightCharactersWithTheirIntegerDigits)
{
    SpyEffect effect;
    const std::pair<float, const char*> cases[] = {
        {1.5f, "1.500000"},         {-0.25f, "-0.25000"},   {12345678.0f, "12345678."},
        {-9999999.0f, "-9999999."}, {99999999.5f, "Huge!"}, {std::numeric_limits<float>::quiet_NaN(), "Huge!"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(formatted([&, value = value](char* t, VstInt32 n) { effect.float2string(value, t, n); }), text)
            << "value " << value;
    EXPECT_EQ(formatted([&](char* t, VstInt32 n) { effect.float2string(1.5f, t, n); }, 3), "1.5")
        << "maxLen cuts the text";
}

TEST(ValueFormat, IntTextsCoverZeroAndTheMostNegativeValue)
{
    SpyEffect effect;
    const std::pair<VstInt32, const char*> cases[] = {
        {-42, "-42"}, {0, "0"}, {INT_MIN, "-2147483648"}, {99999999, "99999999"}, {123456789, "Huge!"}};
    for (const auto& [value, text] : cases)
        EXPECT_EQ(formatted([&, value = value](char* t, VstInt32 n) { effect.int2string(value, t, n); }), text)
            << "value " << value;
    EXPECT_EQ(formatted([&](char* t, VstInt32 n) { effect.int2string(12345, t, n); }, 2), "12");
}

TEST(ValueFormat, UnitTextsConvertBeforeFormatting)
{
    SpyEffect effect;
    EXPECT_EQ(formatted([&](char* t, VstInt32 n) { effect.dB2string(0.0f, t, n); }), "-oo") << "no log of zero";
    EXPECT_EQ(formatted([&](char* t, VstInt32 n) { effect.Hz2string(0.0f, t, n); }), "0.000000")
        << "no division by zero";
    EXPECT_EQ(formatted([&](char* t, VstInt32 n) { effect.Hz2string(100.0f, t, n); }), "441.0000")
        << "a 100-sample period at 44100 Hz";
}

TEST(SpeakerArrangement, AllocationGivesAZeroedRecordAndMatchingCopiesIt)
{
    SpyEffect effect;
    VstSpeakerArrangement* source = nullptr;
    ASSERT_TRUE(effect.allocateArrangement(&source, 2));
    EXPECT_EQ(source->numChannels, 2);
    const auto* bytes = reinterpret_cast<const unsigned char*>(source);
    for (std::size_t offset = 8; offset < 232; ++offset)
        ASSERT_EQ(bytes[offset], 0) << "byte " << offset << " of the 232-byte record";

    source->type = 7;
    source->speakers[1].azimuth = 0.5f;
    std::memset(source->speakers[1].name, 'x', sizeof(source->speakers[1].name));  // unterminated

    VstSpeakerArrangement* copy = nullptr;
    ASSERT_TRUE(effect.allocateArrangement(&copy, 5));  // replaced by the match below
    ASSERT_TRUE(effect.matchArrangement(&copy, source));
    EXPECT_TRUE(copy->numChannels == 2 && copy->type == 7 && copy->speakers[1].azimuth == 0.5f);
    EXPECT_EQ(std::string(copy->speakers[1].name), std::string(63, 'x')) << "names keep 63 characters";

    ASSERT_TRUE(effect.matchArrangement(&copy, copy)) << "matching a record onto itself must not free it first";
    EXPECT_EQ(copy->speakers[1].azimuth, 0.5f);
    EXPECT_FALSE(effect.matchArrangement(&copy, nullptr));
    EXPECT_FALSE(effect.copySpeaker(nullptr, &source->speakers[0]));
    EXPECT_TRUE(effect.deallocateArrangement(&copy));
    EXPECT_EQ(copy, nullptr);
    EXPECT_TRUE(effect.deallocateArrangement(&source));
}
