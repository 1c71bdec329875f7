#pragma once
// What a hosted effect learns from and tells its host. VSTPlugIn turns the
// effect's audioMaster calls into these operations; they run on whichever
// thread the effect calls from, the audio thread included.

#include "vst/aeffect.h"

class VSTPlugIn;

class VSTHost
{
public:
    virtual void getVendor(VSTPlugIn& plugIn, char* vendor) = 0;
    virtual void getProduct(VSTPlugIn& plugIn, char* product) = 0;
    virtual int getVersion(VSTPlugIn& plugIn) = 0;
    virtual bool canDo(VSTPlugIn& plugIn, const char* what) = 0;
    // `flags` is the effect's request mask (kVstTempoValid, ...).
    virtual VstTimeInfo* getTimeInfo(VSTPlugIn& plugIn, int flags) = 0;
    virtual void beginEdit(VSTPlugIn& plugIn, int parameterIndex) = 0;
    // The effect changed a parameter itself; value normalised 0..1.
    virtual void automate(VSTPlugIn& plugIn, int parameterIndex, float value) = 0;
    virtual void endEdit(VSTPlugIn& plugIn, int parameterIndex) = 0;
    virtual bool isIOPinConnected(VSTPlugIn& plugIn, bool checkOutputPin, int pinIndex) = 0;
    virtual void idle(VSTPlugIn& plugIn) = 0;
    virtual void updateDisplay(VSTPlugIn& plugIn) = 0;
    // New editor size in pixels.
    virtual void resizeWindow(VSTPlugIn& plugIn, int width, int height) = 0;

protected:
    // Never deleted through this interface; the twelve slots above stay the
    // whole vtable.
    ~VSTHost() = default;
};
