#pragma once
// The editor as a host sees it: the dispatcher's editor opcodes land here.
// Every operation has a harmless default, so a concrete editor replaces only
// what it draws or handles. All calls come on the host's user-interface thread.

#include "vst/aeffect.h"

class PluginEffect;

class EffectEditor
{
public:
    explicit EffectEditor(PluginEffect* owner) : effect(owner) {}
    virtual ~EffectEditor() = default;

    EffectEditor(const EffectEditor&) = delete;
    EffectEditor& operator=(const EffectEditor&) = delete;

    virtual PluginEffect* getEffect() { return effect; }
    // Stores the address of the editor's size into *rect; without a size, nothing.
    virtual bool getRect(ERect** /*rect*/) { return false; }
    // ptr is the host's parent window (an X11 window id on Linux).
    virtual bool open(void* ptr)
    {
        systemWindow = ptr;
        return false;
    }
    virtual void close() { systemWindow = nullptr; }
    virtual bool isOpen() { return systemWindow != nullptr; }
    virtual void idle() {}
    virtual void draw(ERect* /*rect*/) {}
    virtual VstInt32 mouse(VstInt32 /*x*/, VstInt32 /*y*/) { return 0; }
    virtual VstInt32 key(VstInt32 /*keyCode*/) { return 0; }
    virtual void top() {}
    virtual void sleep() {}
    virtual bool onKeyDown(VstKeyCode& /*keyCode*/) { return false; }
    virtual bool onKeyUp(VstKeyCode& /*keyCode*/) { return false; }
    virtual bool onWheel(float /*distance*/) { return false; }
    // Knob modes: 0 circular, 1 relative circular, 2 linear.
    virtual bool setKnobMode(VstInt32 /*mode*/) { return false; }

protected:
    PluginEffect* effect;          // owner; outlives the editor
    void* systemWindow = nullptr;  // host's parent window while open
};
