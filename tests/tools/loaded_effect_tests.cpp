// The test host against real plug-ins: Debian's VST 2 packages, and the built
// bundle for the version handshake.
#include "support/lsp_plugins.h"
#include "support/signals.h"
#include "support/velmora_bundle.h"
#include "tools/tool_test_support.h"
#include "vsthost/loaded_effect.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <tuple>
#include <vector>

namespace
{
namespace fs = std::filesystem;
using vsthost::HostSettings;
using vsthost::LoadedEffect;

// DPF builds export the old "main" entry, LSP's the current "VSTPluginMain".
constexpr char kMainEntryPlugin[] = "/usr/lib/vst/PingPongPan-vst.so";
constexpr const char* kPluginMainEntryPlugin = testsupport::kLspCompressor;

using VstHostLoading = tooltest::ToolTest;

std::unique_ptr<LoadedEffect> loadOrFail(const std::string& path, HostSettings settings = {})
{
    std::string error;
    auto effect = LoadedEffect::load(path, error, settings);
    EXPECT_TRUE(effect) << "loading " << path << ": " << error;
    return effect;
}

TEST_F(VstHostLoading, FailuresExplainThemselvesAndLoadNothing)
{
    const fs::path textFile = folder / "notes.so";
    std::ofstream(textFile) << "not a shared object";
    const fs::path emptyBundle = folder / "Empty.vst";
    fs::create_directories(emptyBundle / "Contents" / "x86_64-linux");

    HostSettings versionZero;
    versionZero.versionAnswer = 0;
    const std::tuple<std::string, std::string, HostSettings> cases[] = {
        {(folder / "missing.so").string(), "No such file", {}},
        {textFile.string(), "cannot load", {}},
        {"/lib/x86_64-linux-gnu/libm.so.6", "exports neither VSTPluginMain nor main", {}},
        {emptyBundle.string(), "no plug-in module", {}},
        {testsupport::velmoraBundlePath(), "created no effect", versionZero},
    };
    for (const auto& [path, expected, settings] : cases)
    {
        std::string error;
        EXPECT_EQ(LoadedEffect::load(path, error, settings), nullptr) << path;
        EXPECT_NE(error.find(expected), std::string::npos) << "error for " << path << " was: " << error;
    }
}

TEST_F(VstHostLoading, BothEntryNamesAndBundleLayoutLoadProcessAndCloseTwiceSafely)
{
    for (const char* plugin : {kMainEntryPlugin, kPluginMainEntryPlugin})
        ASSERT_TRUE(fs::exists(plugin)) << plugin << " is not installed";
    testsupport::keepLspCoreMapped();
    const fs::path binaries = folder / "Subject.vst" / "Contents" / "x86_64-linux";
    fs::create_directories(binaries);
    fs::create_symlink(kMainEntryPlugin, binaries / "Subject.so");
    // A support library beside the module must not be taken for the plug-in.
    fs::create_symlink("/lib/x86_64-linux-gnu/libm.so.6", binaries / "libsupport.so");

    for (const fs::path& path : {fs::path(kPluginMainEntryPlugin), folder / "Subject.vst"})
    {
        auto host = loadOrFail(path.string());
        ASSERT_TRUE(host);
        EXPECT_EQ(host->effect()->magic, kEffectMagic);
        EXPECT_EQ(host->effect()->resvd1, reinterpret_cast<VstIntPtr>(host.get()));
        const auto calls = host->calls();
        ASSERT_FALSE(calls.empty()) << path << " made no host call while being created";
        EXPECT_EQ(calls.front().opcode, audioMasterVersion) << path;
    }
    // The old entry's module through its bundle, processed and closed twice.
    auto host = loadOrFail((folder / "Subject.vst").string(), {48000.0, 64});
    ASSERT_TRUE(host);
    EXPECT_EQ(host->modulePath(), fs::canonical(kMainEntryPlugin));
    host->openAndResume();
    testsupport::StereoBuffer input(std::vector<float>(64, 0.5f), std::vector<float>(64, -0.5f)), output(64);
    for (int block = 0; block < 8; ++block)
        host->processReplacing(input.channels(), output.channels(), 64);
    EXPECT_FALSE(host->dispatchForText(effGetParamName, 0).empty()) << "the subject names its first parameter";
    host->close();
    EXPECT_EQ(host->effect(), nullptr);
    EXPECT_EQ(host->dispatch(effGetVendorVersion), 0) << "a closed host must not reach the freed record";
    host->close();
}
}  // namespace
