#pragma once
// The groups of checks of a conformance run, each on its own instances of
// the component, in the order the run makes them: opening first, so that the
// first open is a cold one.

#include "auval/check_table.h"

#include <AudioUnit/AudioUnit.h>

namespace auval
{
void checkOpening(CheckTable& table, Component component);
void checkFormats(CheckTable& table, Component component);
void checkProperties(CheckTable& table, Component component);
void checkParameters(CheckTable& table, Component component);
void checkPresets(CheckTable& table, Component component);
void checkRendering(CheckTable& table, Component component);
void checkLifecycle(CheckTable& table, Component component);
void checkOpenCloseCycles(CheckTable& table, Component component);
}  // namespace auval
