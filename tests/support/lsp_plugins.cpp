#include "support/lsp_plugins.h"

#include <dlfcn.h>

#include <filesystem>

namespace testsupport
{
void keepLspCoreMapped()
{
    const std::filesystem::path folder = std::filesystem::path(kLspCompressor).parent_path();
    std::error_code missing;
    for (const auto& entry : std::filesystem::directory_iterator(folder, missing))
    {
        if (entry.path().filename().string().starts_with("lsp-plugins-vst2-"))
            dlopen(entry.path().c_str(), RTLD_NOW | RTLD_NODELETE);
    }
}
}  // namespace testsupport
