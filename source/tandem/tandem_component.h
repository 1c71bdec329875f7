#pragma once
// The Audio Unit face of the bundle: one TandemComponent per component
// instance hosts the bundle's VST effect through a VSTPlugIn and is the unit
// the entry point dispatches to. It owns the effect and three parts, and
// hands each selector to the one it concerns: TandemRenderPath (buses,
// formats, rendering, MIDI), TandemPresetStore (presets) and
// TandemPropertyTable (properties), with the PropertyListeners they all
// notify. It keeps to itself what belongs to the hosted effect: its opening,
// its host callbacks, its view and idle time, and the parameter selectors.
//
// Failures are thrown as the Tandem exception classes and become status codes
// only in TandemEntry. The render path is the exception: it answers a status
// itself, so that a host fault there neither throws (which allocates) nor
// stops the process.
//
// Threads: the host's main thread drives construction, properties and
// selectors; render, MIDI and ScheduleParameters run on its audio thread. Each
// part states in its type the thread that owns it, and in its header the
// calls that come from the other. The component takes no lock of its own.

#include <AudioToolbox/AudioToolbox.h>
#include <AudioUnit/AudioUnit.h>
#include <Carbon/Carbon.h>

#include "tandem/tandem_preset_store.h"
#include "tandem/tandem_property_listeners.h"
#include "tandem/tandem_property_table.h"
#include "tandem/tandem_render_path.h"
#include "tandem/tandem_setup.h"
#include "tandem/vst_host.h"
#include "tandem/vst_plugin.h"

#include <atomic>
#include <memory>

class NSView;
class comQuarnTandem_CocoaView;

class TandemComponent : public VSTHost
{
public:
    explicit TandemComponent(ComponentInstance auComponentInstance);
    virtual ~TandemComponent();

    TandemComponent(const TandemComponent&) = delete;
    TandemComponent& operator=(const TandemComponent&) = delete;

    // VSTHost: what the hosted effect learns from its host.
    void getVendor(VSTPlugIn& plugIn, char* vendor) override;
    void getProduct(VSTPlugIn& plugIn, char* product) override;
    int getVersion(VSTPlugIn& plugIn) override;
    bool canDo(VSTPlugIn& plugIn, const char* what) override;
    VstTimeInfo* getTimeInfo(VSTPlugIn& plugIn, int flags) override;
    void beginEdit(VSTPlugIn& plugIn, int parameterIndex) override;
    void automate(VSTPlugIn& plugIn, int parameterIndex, float value) override;
    void endEdit(VSTPlugIn& plugIn, int parameterIndex) override;
    bool isIOPinConnected(VSTPlugIn& plugIn, bool checkOutputPin, int pinIndex) override;
    void idle(VSTPlugIn& plugIn) override;
    void updateDisplay(VSTPlugIn& plugIn) override;
    void resizeWindow(VSTPlugIn& plugIn, int width, int height) override;

    // Views: the factory and the view reach the component only through these.
    // createView answers the autoreleased view holding the open editor;
    // dropView closes the editor when the view goes.
    virtual NSView* createView();
    virtual void dropView();

    // The Audio Unit selectors; answers the status of Render and
    // ScheduleParameters, which run on the audio thread, else 0 (other
    // failures are thrown).
    ComponentResult dispatch(ComponentParameters* params);
    // Render's own selector: its arguments read and the call made.
    ComponentResult renderSelector(const ComponentParameters* params) noexcept;

    // The buses as the render path lays them out.
    int getMaxInputChannels(int busNumber) const { return renderPath.getMaxInputChannels(busNumber); }
    int getMaxOutputChannels(int busNumber) const { return renderPath.getMaxOutputChannels(busNumber); }
    int getActiveInputChannels(int busNumber) const { return renderPath.getActiveInputChannels(busNumber); }
    int getActiveOutputChannels(int busNumber) const { return renderPath.getActiveOutputChannels(busNumber); }

    void getComponentName(char* name) const;
    OSType getComponentType() const;

private:
    struct SelectorHandlers;

    // Construction and teardown.
    void construct();
    void openEffect();
    void layOutForEffect();
    void uninit();
    void locateOwnBundle();
    void loadConfiguration();
    void locateResourcesFolder();
    CFBundleRef createVSTBundle() const;
    void checkAndProbeEffect();
    void tryToIdentifyHostApplication();
    void installIdleTimer();
    static void idleTimerAction(EventLoopTimerRef timer, void* userData);

    // Selector helpers.
    void initialize();
    void uninitialize();
    void reset(AudioUnitScope scope);
    AudioUnitParameterValue getParameterValue(AudioUnitParameterID id, AudioUnitScope scope) const;
    void setParameterValue(AudioUnitParameterID id, AudioUnitScope scope, AudioUnitParameterValue value);
    OSStatus scheduleParameters(const AudioUnitParameterEvent* events, UInt32 count) noexcept;
    OSStatus parameterStatus(AudioUnitParameterID id, AudioUnitScope scope) const noexcept;
    OSStatus applyParameterValue(AudioUnitParameterID id, AudioUnitScope scope, AudioUnitParameterValue value) noexcept;

    ComponentInstance auComponentInstance;
    CFBundleRef auBundleRef = nullptr;
    TandemSetup setup;
    HostedEffect vst;
    PropertyListeners listeners;
    TandemRenderPath renderPath;
    TandemPresetStore presets;
    TandemPropertyTable properties;
    EventLoopTimerRef idleTimerRef = nullptr;
    // Set by the effect's audioMasterUpdateDisplay, from whichever thread it
    // calls; the idle timer brings the current preset up to date.
    std::atomic<bool> displayChanged{false};
    comQuarnTandem_CocoaView* cocoaView = nullptr;  // not retained
};
