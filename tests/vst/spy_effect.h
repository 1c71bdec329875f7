#pragma once
// A bare effect and editor that log the calls the dispatcher turns opcodes into.

#include "vst/effect_editor.h"
#include "vst/plugin_effect_x.h"

#include <string>
#include <vector>

class SpyEffect : public PluginEffectX
{
public:
    static constexpr VstInt32 kPrograms = 4;

    explicit SpyEffect(audioMasterCallback host = nullptr) : PluginEffectX(host, kPrograms, 2) {}

    void processReplacing(float**, float**, VstInt32) override {}
    void suspend() override { log.push_back("suspend"); }
    void resume() override { log.push_back("resume"); }
    void setProgram(VstInt32 program) override { log.push_back("setProgram " + std::to_string(program)); }
    void setParameter(VstInt32 index, float value) override
    {
        log.push_back("setParameter " + std::to_string(index) + " " + std::to_string(value));
    }
    float getVu() override { return vu; }
    bool keysRequired() override { return wantsKeys; }
    VstInt32 getPlugCategory() override { return category; }

    std::vector<std::string> log;
    float vu = 0.0f;
    bool wantsKeys = false;
    VstInt32 category = 0;
};

class SpyEditor : public EffectEditor
{
public:
    explicit SpyEditor(PluginEffect* owner) : EffectEditor(owner) {}

    bool getRect(ERect** rect) override
    {
        *rect = &size;
        return true;
    }
    bool onKeyDown(VstKeyCode& keyCode) override
    {
        lastKey = keyCode;
        return true;
    }

    ERect size{0, 0, 200, 300};
    VstKeyCode lastKey{};
};
