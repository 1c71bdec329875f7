// Carbon core services: the File Manager, folders, aliases, Launch Services
// item information, the Memory Manager's handles and the Component Manager.
#pragma once

#include <CoreFoundation/CoreFoundation.h>
#include <CoreServices/Aliases.h>
#include <CoreServices/Components.h>
#include <CoreServices/Files.h>
#include <CoreServices/Folders.h>
#include <CoreServices/LSInfo.h>
#include <CoreServices/MacMemory.h>
