// Audio Unit utilities: event listeners and parameter notifications.
#pragma once

#include <AudioToolbox/AudioUnitUtilities.h>
#include <AudioUnit/AudioUnit.h>
