// Alias resolution: a symbolic link plays the alias file.
#pragma once

#include <CoreServices/Files.h>

CF_EXTERN_C_BEGIN

enum
{
    kResolveAliasFileNoUI = 0x00000001,
};

// Replaces theRef by the item its link points at (through every link of a
// chain when resolveAliasChains is set); an item that is no link stays as it
// is with wasAliased false. fnfErr when a target is missing or the chain
// loops.
CF_EXPORT OSErr FSResolveAliasFileWithMountFlags(FSRef* theRef, Boolean resolveAliasChains, Boolean* targetIsFolder,
                                                 Boolean* wasAliased, unsigned long mountFlags);
CF_EXPORT OSErr FSResolveAliasFile(FSRef* theRef, Boolean resolveAliasChains, Boolean* targetIsFolder,
                                   Boolean* wasAliased);

CF_EXTERN_C_END
