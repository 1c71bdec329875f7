// The module as hosts meet it: what its factory says, what each half
// answers, and loading it twice. Every test's LoadedVst3 also checks, on
// unloading, that each object of the plug-in reached a count of zero.
#include "effect/velmora_version.h"
#include "support/file_contents.h"
#include "vst3/vst3_test_support.h"
#include "vst3host/text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace vst3test;
using vst3host::fieldText;
using vst3host::utf8;

namespace
{
std::string hexOf(const vst3::TUID id)
{
    std::string hex;
    char digits[3];
    for (int index = 0; index < 16; ++index)
    {
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(id[index]));
        hex += digits;
    }
    return hex;
}

template <typename Interface>
bool answers(vst3::FUnknown* object)
{
    return static_cast<bool>(vst3host::queryInterface<Interface>(object));
}
}  // namespace

TEST(Vst3Module, FactoryNamesTheVendorTheEffectAndItsControllerWithTheBuildsVersion)
{
    std::string error;
    const auto module = vst3host::Module::load(VELMORA_VST3_BUNDLE, error);
    ASSERT_NE(module, nullptr) << error;

    const vst3::PFactoryInfo factory = module->factoryInfo();
    EXPECT_EQ(fieldText(factory.vendor), "Quarn Records");
    EXPECT_EQ(factory.flags, vst3::PFactoryInfo::kUnicode);

    const std::vector<vst3host::ClassEntry> classes = module->classes();
    ASSERT_EQ(classes.size(), 2u);
    const vst3host::ClassEntry& processor = classes[0];
    const vst3host::ClassEntry& controller = classes[1];
    ASSERT_TRUE(processor.info2 && processor.infoW && controller.info2 && controller.infoW);
    const std::string moduleInfo = testsupport::fileContents(std::string(VELMORA_VST3_BUNDLE) +
                                                             "/Contents/Resources/moduleinfo.json");
    for (const auto& [entry, category, flags] : {std::tuple{&processor, "Audio Module Class", vst3::kDistributable},
                                                 std::tuple{&controller, "Component Controller Class", 0u}})
    {
        SCOPED_TRACE(category);
        EXPECT_EQ(fieldText(entry->info.category), category);
        EXPECT_EQ(fieldText(entry->info.name), "Velmora");
        EXPECT_EQ(entry->info.cardinality, vst3::kManyInstances);
        EXPECT_EQ(fieldText(entry->info2->name), "Velmora");
        EXPECT_EQ(entry->info2->classFlags, flags);
        EXPECT_EQ(fieldText(entry->info2->vendor), "Quarn Records");
        EXPECT_EQ(fieldText(entry->info2->version), velmora::kVersionString);
        EXPECT_EQ(fieldText(entry->info2->sdkVersion), "VST 3.7.14");
        // The Unicode infos tell the same, in UTF-16.
        EXPECT_EQ(hexOf(entry->infoW->cid), hexOf(entry->info.cid));
        EXPECT_EQ(fieldText(entry->infoW->category), category);
        EXPECT_EQ(utf8(entry->infoW->name), "Velmora");
        EXPECT_EQ(utf8(entry->infoW->vendor), "Quarn Records");
        EXPECT_EQ(utf8(entry->infoW->version), velmora::kVersionString);
        EXPECT_EQ(fieldText(entry->infoW->subCategories), fieldText(entry->info2->subCategories));
        // Hosts that scan moduleinfo.json instead of the module must find the same class.
        EXPECT_NE(moduleInfo.find("\"CID\": \"" + hexOf(entry->info.cid) + "\""), std::string::npos);
    }
    EXPECT_EQ(fieldText(processor.info2->subCategories), "Fx|Spatial");
    EXPECT_NE(hexOf(processor.info.cid), hexOf(controller.info.cid));

    void* object = &error;
    EXPECT_NE(module->factory().createInstance(controller.info.cid, vst3::IComponent::iid.data(), &object),
              vst3::kResultOk);
    EXPECT_EQ(object, nullptr) << "a refused createInstance must leave null";
    EXPECT_EQ(module->unload().factoryReferences, 0u);
}

TEST(Vst3Module, EachHalfAnswersTheInterfacesHostsAskForAndNoOthers)
{
    LoadedVst3 loaded;
    ASSERT_TRUE(loaded.loaded());
    vst3::FUnknown* processor = &loaded.instance().component();
    vst3::FUnknown* controller = &loaded.instance().controller();

    EXPECT_TRUE(answers<vst3::FUnknown>(processor));
    EXPECT_TRUE(answers<vst3::IPluginBase>(processor));
    EXPECT_TRUE(answers<vst3::IAudioProcessor>(processor));
    EXPECT_TRUE(answers<vst3::IConnectionPoint>(processor));
    const auto requirements = vst3host::queryInterface<vst3::IProcessContextRequirements>(processor);
    ASSERT_TRUE(requirements);
    EXPECT_EQ(requirements->getProcessContextRequirements(), 0u);
    EXPECT_FALSE(answers<vst3::IEditController>(processor)) << "the processor claims to be its own controller";

    EXPECT_TRUE(answers<vst3::FUnknown>(controller));
    EXPECT_TRUE(answers<vst3::IPluginBase>(controller));
    EXPECT_TRUE(answers<vst3::IUnitInfo>(controller));
    EXPECT_TRUE(answers<vst3::IConnectionPoint>(controller));
    EXPECT_FALSE(answers<vst3::IComponent>(controller));

    for (vst3::FUnknown* half : {processor, controller})
    {
        void* object = half;
        EXPECT_EQ(half->queryInterface(vst3::IPlugFrame::iid.data(), &object), vst3::kNoInterface);
        EXPECT_EQ(object, nullptr);
    }
    EXPECT_TRUE(loaded.instance().connected());
    EXPECT_EQ(loaded.instance().component().getBusCount(vst3::kEvent, vst3::kInput), 0);
    vst3::TUID controllerClass{};
    ASSERT_EQ(loaded.instance().component().getControllerClassId(controllerClass), vst3::kResultOk);
    EXPECT_EQ(hexOf(controllerClass), hexOf(loaded.loadedModule().classes().at(1).info.cid));

    // A view made and dropped without a window is destroyed too.
    vst3host::Ref<vst3::IPlugView> view = loaded.instance().createView();
    ASSERT_TRUE(view);
    EXPECT_EQ(view->isPlatformTypeSupported(vst3::kPlatformTypeX11EmbedWindowID), vst3::kResultTrue);
    EXPECT_EQ(view.reset(), 0u);
    EXPECT_FALSE(loaded.instance().createView("no such view"));
}

// A host may load the module again while it holds it (a scanner, then a
// session): both loads work, and unloading one leaves the other playing.
TEST(Vst3Module, LoadedTwiceEachLoadWorksAndUnloadingOneLeavesTheOther)
{
    const StereoBuffer input = noiseInput(3000);
    const StereoBuffer expected = renderVst2(input, {256});
    auto first = std::make_unique<LoadedVst3>();
    LoadedVst3 second;
    ASSERT_TRUE(first->loaded() && second.loaded());
    ASSERT_TRUE(first->start() && second.start());
    EXPECT_EQ(largestDifference(first->render(input, {256}), expected), 0.0);
    std::string error;
    const auto scanner = vst3host::Module::load(VELMORA_VST3_BUNDLE, error);
    ASSERT_NE(scanner, nullptr) << error;
    EXPECT_EQ(scanner->classes().size(), 2u);
    EXPECT_TRUE(scanner->unload().exitAccepted);
    first.reset();
    EXPECT_EQ(largestDifference(second.render(input, {256}), expected), 0.0);
}
