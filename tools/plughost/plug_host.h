#pragma once
// The host side a VSTPlugIn reports to in our tools and tests: fixed
// identity strings, a transport that runs at 120 bpm in 4/4 and advances by
// each processed block, and a record of the effect's parameter gestures.
//
// Callbacks may arrive on the audio thread: nothing here allocates or locks.

#include "tandem/vst_host.h"

#include <array>
#include <span>

inline constexpr char kPlugHostVendor[] = "Quarn Records";
inline constexpr char kPlugHostProduct[] = "velmora-plughost";
inline constexpr int kPlugHostVersion = 1000;

struct HostEdit
{
    enum class Kind
    {
        beginEdit,
        automate,
        endEdit,
    };
    Kind kind;
    int parameterIndex;
    float value;  // automate only
};

class PlugHost : public VSTHost
{
public:
    explicit PlugHost(double sampleRate);

    // Moves the transport on by a processed block.
    void advanceTime(int frames);
    const VstTimeInfo& timeInfo() const { return vstTimeInfo; }
    int getTimeInfoRequests() const { return timeInfoRequests; }
    // Gestures in arrival order; the first kMaxEdits are kept.
    std::span<const HostEdit> edits() const { return {recordedEdits.data(), editCount}; }

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

    static constexpr std::size_t kMaxEdits = 1024;

private:
    void record(HostEdit::Kind kind, int parameterIndex, float value);

    VstTimeInfo vstTimeInfo{};
    int timeInfoRequests = 0;
    std::array<HostEdit, kMaxEdits> recordedEdits{};
    std::size_t editCount = 0;
};
