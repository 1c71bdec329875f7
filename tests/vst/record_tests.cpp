// The built bundle as a host meets it: the record, the dispatcher's answers
// and the orders in which real hosts call.
#include "effect/velmora_identity.h"
#include "support/signals.h"
#include "support/velmora_bundle.h"

#include <gtest/gtest.h>

#include <string>

TEST(Record, KeysAnswerStaysInvertedCanDoStaysStrictAndNoChunkIsHandedOut)
{
    auto effect = testsupport::openVelmora();
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->dispatch(effKeysRequired), 1) << "keys are not required";
    char insert[] = "plugAsChannelInsert ";
    char insertWithoutBlank[] = "plugAsChannelInsert";
    EXPECT_EQ(effect->dispatch(effCanDo, 0, 0, insert), 1);
    EXPECT_EQ(effect->dispatch(effCanDo, 0, 0, insertWithoutBlank), -1) << "the effect never answers 'unknown'";

    int sentinel = 0;
    void* chunk = &sentinel;
    EXPECT_EQ(effect->dispatch(effGetChunk, 0, 0, &chunk), 0);
    EXPECT_EQ(chunk, &sentinel) << "effGetChunk leaves the host's pointer alone";
}

TEST(Record, LongProgramNameDoesNotOverflow)
{
    auto effect = testsupport::openVelmora();
    ASSERT_NE(effect, nullptr);
    effect->dispatch(effSetProgram, 0, 6);
    char longName[] = "Wide Strings For The Long Evening Session";
    effect->dispatch(effSetProgramName, 0, 0, longName);
    EXPECT_EQ(effect->dispatchForText(effGetProgramName), std::string(longName, 23)) << "names keep 23 characters";
    EXPECT_EQ(effect->dispatchForText(effGetProgramNameIndexed, 7), "Init") << "the next record is untouched";
}

TEST(Record, NullTextPointersFromTheHostDoNothing)
{
    auto effect = testsupport::openVelmora();
    ASSERT_NE(effect, nullptr);
    const VstInt32 textOpcodes[] = {effSetProgramName,         effGetProgramName,       effGetParamLabel,
                                    effGetParamDisplay,        effGetParamName,         effString2Parameter,
                                    effGetProgramNameIndexed,  effGetEffectName,        effGetErrorText,
                                    effGetVendorString,        effGetProductString,     effCanDo,
                                    effShellGetNextPlugin,     effEditGetRect,          effGetInputProperties,
                                    effGetParameterProperties, effGetSpeakerArrangement};
    for (VstInt32 opcode : textOpcodes)
        EXPECT_EQ(effect->dispatch(opcode, 0, 0, nullptr), 0) << "opcode " << opcode;
    EXPECT_EQ(effect->dispatchForText(effGetProgramName), "Init 1") << "the effect is unharmed";
}

// Hosts ask for the category and names before effOpen, suspend an effect that
// never resumed, and try a bank chunk before falling back to parameters.
TEST(Record, CallsBeforeOpenAndASuspendBeforeAnyResumeLeaveTheEffectSound)
{
    std::string error;
    auto effect = vsthost::LoadedEffect::load(testsupport::velmoraBundlePath(), error);
    ASSERT_NE(effect, nullptr) << error;
    EXPECT_EQ(effect->dispatch(effGetPlugCategory), 1);
    EXPECT_EQ(effect->dispatchForText(effGetEffectName), "Velmora");
    effect->dispatch(effMainsChanged, 0, 0);
    effect->dispatch(effOpen);
    effect->dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    effect->dispatch(effMainsChanged, 0, 1);

    testsupport::StereoBuffer buffer(testsupport::noise(256, 1), testsupport::noise(256, 2));
    effect->processReplacing(buffer.channels(), buffer.channels(), 256);

    void* chunk = nullptr;
    ASSERT_EQ(effect->dispatch(effGetChunk, 0, 0, &chunk), 0) << "no bank chunk: the host reads parameters";
    for (VstInt32 program = 0; program < velmora::kNumPrograms; ++program)
    {
        effect->dispatch(effSetProgram, 0, program);
        EXPECT_EQ(effect->getParameter(velmora::kSize), 0.5f) << "program " << program;
    }
    effect->dispatch(effMainsChanged, 0, 0);
    effect->close();
}
