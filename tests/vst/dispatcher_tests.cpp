// Opcode decoding of the effect base, in process.
#include "spy_effect.h"

#include <gtest/gtest.h>

#include <climits>

using Log = std::vector<std::string>;

TEST(Dispatcher, UnknownOpcodesAndProgramsBeyondTheBankCallNothing)
{
    SpyEffect effect;
    for (VstInt32 opcode : {-1, 80, 1000, INT_MIN, INT_MAX})
        EXPECT_EQ(effect.dispatcher(opcode, 1, 1, nullptr, 1.0f), 0) << "opcode " << opcode;
    effect.dispatcher(effSetProgram, 0, SpyEffect::kPrograms, nullptr, 0.0f);
    effect.dispatcher(effSetProgram, 0, -2, nullptr, 0.0f);
    EXPECT_EQ(effect.log, (Log{"setProgram -2"})) << "negative numbers are the effect's to refuse";
}

TEST(Dispatcher, SuspendVuKeysAndCategoryAnswersKeepTheirSenseSignAndScale)
{
    SpyEffect effect;
    effect.dispatcher(effMainsChanged, 0, 0, nullptr, 0.0f);
    effect.dispatcher(effMainsChanged, 0, 5, nullptr, 0.0f);
    EXPECT_EQ(effect.log, (Log{"suspend", "resume"})) << "only 0 suspends";

    effect.vu = -0.5f;
    EXPECT_EQ(effect.dispatcher(effGetVu, 0, 0, nullptr, 0.0f), -16383) << "-0.5 x 32767, truncated toward zero";
    effect.wantsKeys = true;
    EXPECT_EQ(effect.dispatcher(effKeysRequired, 0, 0, nullptr, 0.0f), 0) << "keys required answers 0";
    effect.category = -1;
    EXPECT_EQ(effect.dispatcher(effGetPlugCategory, 0, 0, nullptr, 0.0f), 0xFFFFFFFF) << "category is unsigned";
}

TEST(Dispatcher, EditorOpcodesNeedAnEditorAndAPlaceForTheirAnswer)
{
    SpyEffect effect;
    ERect* rect = nullptr;
    EXPECT_EQ(effect.dispatcher(effEditGetRect, 0, 0, &rect, 0.0f), 0);
    EXPECT_EQ(effect.dispatcher(effEditKeyDown, 'a', 0, nullptr, 0.0f), 0);
    EXPECT_EQ(effect.getAeffect()->flags & effFlagsHasEditor, 0);

    auto* editor = new SpyEditor(&effect);
    effect.setEditor(editor);
    EXPECT_EQ(effect.getAeffect()->flags & effFlagsHasEditor, effFlagsHasEditor);
    EXPECT_EQ(effect.dispatcher(effEditGetRect, 0, 0, &rect, 0.0f), 1);
    EXPECT_EQ(rect, &editor->size);
    EXPECT_EQ(effect.dispatcher(effEditGetRect, 0, 0, nullptr, 0.0f), 0) << "no place to store the rectangle";

    // Character from index, virtual key from value's low byte, modifiers from opt.
    EXPECT_EQ(effect.dispatcher(effEditKeyDown, 'a', 0x10B, nullptr, 5.7f), 1);
    EXPECT_TRUE(editor->lastKey.character == 'a' && editor->lastKey.virt == 0x0B && editor->lastKey.modifier == 5);
    EXPECT_EQ(effect.dispatcher(effEditKeyDown, 'b', 0, nullptr, 1e20f), 1);
    EXPECT_EQ(editor->lastKey.modifier, 0) << "an absurd modifier value is dropped";
}

TEST(Dispatcher, CloseThroughTheRecordDeletesTheEffectAndAnswersOne)
{
    bool destroyed = false;
    auto* effect = new SpyEffect(nullptr, &destroyed);
    effect->setEditor(new SpyEditor(effect));  // freed with the effect (checked by the sanitizer build)
    EXPECT_EQ(effect->dispatcher(effClose, 0, 0, nullptr, 0.0f), 0);
    EXPECT_FALSE(destroyed) << "the dispatcher itself never deletes";

    AEffect* record = effect->getAeffect();
    EXPECT_EQ(record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_TRUE(destroyed);
}
