// Bundles over dlopen/dlsym. A bundle is a folder laid out as
//   X.vst/Contents/Info.plist
//   X.vst/Contents/x86_64-linux/<CFBundleExecutable>.so
//   X.vst/Contents/Resources/...
// Linux extension: a URL naming a regular file that ends in ".so" (a plain
// Linux plug-in outside any bundle) gives a bundle whose executable is that
// file, with an empty info dictionary and no resources.
//
// Bundles are unique per folder: creating one for a folder (or file) that
// already has a live bundle object returns that object, retained. The
// executable stays loaded until CFBundleUnloadExecutable, even when the
// bundle object is released and made again meanwhile.
#pragma once

#include <CoreFoundation/CFArray.h>
#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFDictionary.h>
#include <CoreFoundation/CFURL.h>

CF_EXTERN_C_BEGIN

typedef struct __CFBundle* CFBundleRef;

CF_EXPORT CFTypeID CFBundleGetTypeID(void);
// The bundle holding the main program: X when the program is
// X/Contents/x86_64-linux/<name>, else the program's folder. Not retained for
// the caller; NULL when the program's path cannot be found.
CF_EXPORT CFBundleRef CFBundleGetMainBundle(void);
// NULL when the URL names neither a folder nor a ".so" file.
CF_EXPORT CFBundleRef CFBundleCreate(CFAllocatorRef allocator, CFURLRef bundleURL);

// Contents/Info.plist as read at creation; an empty dictionary when it is
// missing or unreadable. Not retained for the caller.
CF_EXPORT CFDictionaryRef CFBundleGetInfoDictionary(CFBundleRef bundle);
CF_EXPORT CFTypeRef CFBundleGetValueForInfoDictionaryKey(CFBundleRef bundle, CFStringRef key);
CF_EXPORT CFStringRef CFBundleGetIdentifier(CFBundleRef bundle);

CF_EXPORT CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle);
// NULL when the executable file does not exist.
CF_EXPORT CFURLRef CFBundleCopyExecutableURL(CFBundleRef bundle);
// Contents/Resources (whether or not it exists); NULL for a plain ".so".
CF_EXPORT CFURLRef CFBundleCopyResourcesDirectoryURL(CFBundleRef bundle);
// Resources/[subDirName/]resourceName[.resourceType]; the type may be given
// with or without its dot, or NULL when the name carries it. A NULL name
// finds the first resource of the type by name. NULL when nothing exists or
// the name holds a "/".
CF_EXPORT CFURLRef CFBundleCopyResourceURL(CFBundleRef bundle, CFStringRef resourceName, CFStringRef resourceType,
                                           CFStringRef subDirName);
// Every resource (file or folder, hidden ones excepted) of the type, sorted by
// name; all resources for a NULL type. An empty array when there are none.
CF_EXPORT CFArrayRef CFBundleCopyResourceURLsOfType(CFBundleRef bundle, CFStringRef resourceType,
                                                    CFStringRef subDirName);

// dlopen with RTLD_NOW | RTLD_LOCAL; false (and a line on standard error)
// when the executable is missing or cannot be loaded.
CF_EXPORT Boolean CFBundleLoadExecutable(CFBundleRef bundle);
CF_EXPORT Boolean CFBundleIsExecutableLoaded(CFBundleRef bundle);
// dlclose; the bundle's code must no longer be in use.
CF_EXPORT void CFBundleUnloadExecutable(CFBundleRef bundle);
// Loads the executable first when needed; NULL when the symbol is absent.
CF_EXPORT void* CFBundleGetFunctionPointerForName(CFBundleRef bundle, CFStringRef functionName);

CF_EXTERN_C_END
