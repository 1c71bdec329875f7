#pragma once
// Finds the executable module a host should dlopen for a plug-in path.

#include <string>

namespace vsthost
{
// path may be a module file or a bundle folder. In a bundle the module lives in
// Contents/x86_64-linux/ (or directly in the folder, as some packages lay it
// out) and is named after the bundle (X.vst holds X.so); other libraries beside
// it are support libraries, not plug-ins. Symlinks are resolved. Returns the
// module's real path, or an empty text and a readable reason in error.
std::string resolveModulePath(const std::string& path, std::string& error);
}  // namespace vsthost
