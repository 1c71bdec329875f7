#pragma once
// What a component finds out while it opens and its parts read from then on:
// its resources folder, its configuration ("TDConfig" in the bundle's
// information dictionary), what the hosted effect answered when probed, and
// the host application. TandemComponent writes it while it is constructed,
// and hostApplication again whenever the effect asks for the host's product.

#include <CoreServices/CoreServices.h>

#include "tandem/vst_plugin.h"

#include <memory>

struct TandemSetup
{
    FSRef resourcesFolder{};
    bool presetIsFXB = false;
    bool autoConvertPresets = false;
    bool updateNameOnLoad = false;
    bool canDoMonoIO = false;
    bool vstGotTandemExtensions = false;  // the effect answered the 'sHi!' probe
    bool vstSupportsTail = false;
    bool bypassSupported = false;
    // 1: Logic before 8; 2: GarageBand before 4.2; 3: Logic 8 and later; 0: any other host.
    int hostApplication = 0;
};

// The hosted effect as the parts reach it: the component opens it after they
// are made (an effect may ask for the time info while it opens) and deletes
// it before they go.
using HostedEffect = std::unique_ptr<VSTPlugIn>;
