// Folder Manager: the audio support folder of the user and local domains.
//
// kUserDomain:  ${XDG_DATA_HOME:-$HOME/.local/share}/audio
// kLocalDomain: ${VELMORA_LOCAL_DOMAIN_DIR:-/usr/local/share}/audio
// (relative values of either variable are ignored, as XDG prescribes).
// Other domains and folder types do not exist here and answer fnfErr.
#pragma once

#include <CoreServices/Files.h>

CF_EXTERN_C_BEGIN

enum
{
    kLocalDomain = -32765,
    kUserDomain = -32763,
};
enum
{
    kAudioSupportFolderType = 0x6164696F,  // 'adio'
};
enum
{
    kDontCreateFolder = FALSE,
    kCreateFolder = TRUE,
};

// The folder, made with any missing parents when createFolder is set;
// fnfErr when it is missing and not to be made.
CF_EXPORT OSErr FSFindFolder(FSVolumeRefNum vRefNum, OSType folderType, Boolean createFolder, FSRef* foundRef);

CF_EXTERN_C_END
