// Umbrella header of the CoreServices stand-in.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <CoreServices/Aliases.h>
#include <CoreServices/Files.h>
#include <CoreServices/Folders.h>
#include <CoreServices/LSInfo.h>
