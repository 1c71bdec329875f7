// Carbon core services: the Memory Manager's handles and the Component Manager.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <CoreServices/Components.h>
#include <CoreServices/MacMemory.h>
