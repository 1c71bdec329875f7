// File Manager, Folder Manager, alias and item-information calls on real
// temporary folders.
#include "platform_test_support.h"
#include "support/file_contents.h"
#include "support/scoped_variable.h"

#include <CoreServices/CoreServices.h>

#include <gtest/gtest.h>

#include <cstring>

namespace
{

namespace fs = std::filesystem;
using platformtest::writeFile;
using testsupport::fileContents;

// A name as the calls take it: UTF-16 units and their count.
struct Name
{
    explicit Name(const std::string& ascii) : units(ascii.begin(), ascii.end()) {}
    UniCharCount length() const { return units.size(); }
    const UniChar* data() const { return reinterpret_cast<const UniChar*>(units.data()); }
    std::u16string units;
};

OSStatus refOf(const fs::path& path, FSRef& ref)
{
    return FSPathMakeRef(reinterpret_cast<const UInt8*>(path.c_str()), &ref, nullptr);
}

std::string pathOf(const FSRef& ref)
{
    UInt8 buffer[4096];
    return FSRefMakePath(&ref, buffer, sizeof buffer) == noErr ? reinterpret_cast<char*>(buffer) : "<error>";
}

OSErr childOf(const FSRef& parent, const std::string& name, FSRef& child)
{
    const Name units(name);
    return FSMakeFSRefUnicode(&parent, units.length(), units.data(), kTextEncodingUnknown, &child);
}

OSErr createFile(const FSRef& parent, const std::string& name, FSRef* file = nullptr)
{
    const Name units(name);
    return FSCreateFileUnicode(&parent, units.length(), units.data(), kFSCatInfoNone, nullptr, file, nullptr);
}

OSErr createFolder(const FSRef& parent, const std::string& name, FSRef* folder)
{
    const Name units(name);
    return FSCreateDirectoryUnicode(&parent, units.length(), units.data(), kFSCatInfoNone, nullptr, folder, nullptr,
                                    nullptr);
}

class FileManagerTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(refOf(root, rootRef), noErr); }

    platformtest::TemporaryFolder folder;
    const fs::path root = fs::canonical(folder.path());
    FSRef rootRef;
};

TEST_F(FileManagerTest, ReferencesRoundTripThroughPathsAndURLsWhateverTheirLength)
{
    // Far longer than the 80 bytes a reference holds.
    const fs::path deep = root / std::string(120, 'a') / std::string(120, 'b') / "Caf\xC3\xA9.txt";
    writeFile(deep, "x");
    FSRef ref, again;
    ASSERT_EQ(refOf(deep, ref), noErr);
    EXPECT_EQ(pathOf(ref), deep.string());
    const fs::path roundabout = root / std::string(120, 'a') / ".." / deep.lexically_relative(root).parent_path() / ".";
    ASSERT_EQ(refOf(roundabout / deep.filename(), again), noErr);
    EXPECT_EQ(std::memcmp(&ref, &again, sizeof ref), 0) << "one item, one reference";

    CFURLRef url = CFURLCreateFromFSRef(nullptr, &rootRef);
    CFURLRef fileURL = CFURLCreateCopyAppendingPathComponent(nullptr, url, CFSTR("aaa"), false);
    EXPECT_FALSE(CFURLGetFSRef(fileURL, &ref)) << "nothing is there";
    writeFile(root / "aaa", "");
    ASSERT_TRUE(CFURLGetFSRef(fileURL, &ref));
    EXPECT_EQ(pathOf(ref), (root / "aaa").string());
    CFRelease(fileURL);
    CFRelease(url);
}

TEST_F(FileManagerTest, BadReferencesAndNamesGiveErrorCodes)
{
    FSRef ref, zeroed{};
    EXPECT_EQ(refOf(root / "missing", ref), fnfErr);
    EXPECT_EQ(FSDeleteObject(&zeroed), errFSBadFSRef);
    EXPECT_EQ(childOf(rootRef, "missing", ref), fnfErr);
    EXPECT_EQ(childOf(rootRef, "a/b", ref), bdNamErr) << "a name cannot reach into another folder";
    EXPECT_EQ(childOf(rootRef, "", ref), errFSMissingName);
    const UniChar lonelySurrogate[] = {'a', 0xD800};
    EXPECT_EQ(FSCreateFileUnicode(&rootRef, 2, lonelySurrogate, kFSCatInfoNone, nullptr, &ref, nullptr), bdNamErr);

    FSRef file, sub;
    ASSERT_EQ(createFile(rootRef, "plain", &file), noErr);
    EXPECT_EQ(createFile(rootRef, "plain"), dupFNErr);
    EXPECT_EQ(createFile(file, "inside"), errFSNotAFolder) << "a file where a folder is expected";
    ASSERT_EQ(createFolder(rootRef, "sub", &sub), noErr);
    ASSERT_EQ(createFile(sub, "kept"), noErr);
    EXPECT_EQ(FSDeleteObject(&sub), fBsyErr) << "a folder that is not empty stays";
    ASSERT_EQ(FSDeleteObject(&file), noErr);
    EXPECT_FALSE(fs::exists(root / "plain"));
    EXPECT_EQ(FSDeleteObject(&file), fnfErr) << "a stale reference";
}

TEST_F(FileManagerTest, RenamingNeverReplacesAnItemAndMovesAFolderWithWhatItHolds)
{
    writeFile(root / "Lead.aupreset", "old content");
    writeFile(root / ".partial", "new content");
    FSRef existing, fresh, renamed, building;
    ASSERT_EQ(childOf(rootRef, "Lead.aupreset", existing), noErr);
    ASSERT_EQ(childOf(rootRef, ".partial", fresh), noErr);
    const Name taken("Lead.aupreset");
    EXPECT_EQ(FSRenameUnicode(&fresh, taken.length(), taken.data(), kTextEncodingUnknown, nullptr), dupFNErr);
    EXPECT_EQ(fileContents(root / "Lead.aupreset"), "old content") << "a taken name is never replaced";
    ASSERT_EQ(FSDeleteObject(&existing), noErr);
    ASSERT_EQ(FSRenameUnicode(&fresh, taken.length(), taken.data(), kTextEncodingUnknown, &renamed), noErr);
    EXPECT_EQ(pathOf(renamed), (root / "Lead.aupreset").string());
    EXPECT_EQ(fileContents(root / "Lead.aupreset"), "new content");
    EXPECT_FALSE(fs::exists(root / ".partial"));

    ASSERT_EQ(createFolder(rootRef, ".building", &building), noErr);
    ASSERT_EQ(createFile(building, "inside"), noErr);
    const Name bank("Bank1");
    ASSERT_EQ(FSRenameUnicode(&building, bank.length(), bank.data(), kTextEncodingUnknown, nullptr), noErr);
    EXPECT_TRUE(fs::exists(root / "Bank1/inside")) << "a folder moves with what it holds";
}

TEST_F(FileManagerTest, IteratingAFolderYieldsEveryItemOnceAndThenNoMoreItems)
{
    for (const char* name : {"b.fxb", "a.FXP", ".hidden", "notes"})
        writeFile(root / name, "");
    fs::create_directory(root / "folder.d");
    FSIterator iterator;
    ASSERT_EQ(FSOpenIterator(&rootRef, kFSIterateFlat, &iterator), noErr);
    FSRef refs[3];
    std::vector<std::string> seen;
    OSErr result = noErr;
    for (int calls = 0; result == noErr; ++calls)
    {
        ASSERT_LT(calls, 2) << "the second call returns the last two items with errFSNoMoreItems";
        ItemCount count = 0;
        result = FSGetCatalogInfoBulk(iterator, 3, &count, nullptr, kFSCatInfoNone, nullptr, refs, nullptr, nullptr);
        for (ItemCount index = 0; index < count; ++index)
            seen.push_back(fs::path(pathOf(refs[index])).filename());
    }
    EXPECT_EQ(result, errFSNoMoreItems);
    EXPECT_EQ(seen, (std::vector<std::string>{".hidden", "a.FXP", "b.fxb", "folder.d", "notes"}));
    ItemCount count = 7;
    EXPECT_EQ(FSGetCatalogInfoBulk(iterator, 3, &count, nullptr, kFSCatInfoNone, nullptr, refs, nullptr, nullptr),
              errFSNoMoreItems);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(FSCloseIterator(iterator), noErr);
    ASSERT_EQ(childOf(rootRef, "notes", refs[0]), noErr);
    EXPECT_EQ(FSOpenIterator(&refs[0], kFSIterateFlat, &iterator), errFSNotAFolder);
}

TEST_F(FileManagerTest, SymbolicLinksResolveAsAliasesThroughWholeChains)
{
    fs::create_directory(root / "target");
    fs::create_symlink("target", root / "near");  // relative to the link's folder
    fs::create_symlink(root / "near", root / "far");
    fs::create_symlink(root / "gone", root / "dangling");
    fs::create_symlink(root / "loop", root / "loop");
    FSRef ref;
    Boolean isFolder = false, aliased = false;
    CFURLRef far = platformtest::fileURL(root / "far", false);
    ASSERT_TRUE(CFURLGetFSRef(far, &ref));
    CFRelease(far);
    EXPECT_EQ(pathOf(ref), (root / "far").string()) << "a reference names the link itself";
    ASSERT_EQ(FSResolveAliasFile(&ref, true, &isFolder, &aliased), noErr);
    EXPECT_TRUE(aliased && isFolder);
    EXPECT_EQ(pathOf(ref), (root / "target").string());
    for (const char* broken : {"dangling", "loop"})
    {
        ASSERT_EQ(childOf(rootRef, broken, ref), noErr);
        EXPECT_EQ(FSResolveAliasFile(&ref, true, &isFolder, &aliased), fnfErr) << broken;
    }
    ASSERT_EQ(refOf(root / "far", ref), noErr);
    EXPECT_EQ(pathOf(ref), (root / "target").string()) << "a path's last link is followed";
}

// The preset tests find both domains' folders where they exist.
TEST_F(FileManagerTest, AudioSupportFoldersAreNotMadeByLookingAndARelativeDataHomeIsIgnored)
{
    const testsupport::ScopedVariable user("XDG_DATA_HOME", "relative/share");
    const testsupport::ScopedVariable home("HOME", (root / "home").string());
    FSRef found;
    EXPECT_EQ(FSFindFolder(kUserDomain, kAudioSupportFolderType, kDontCreateFolder, &found), fnfErr);
    EXPECT_FALSE(fs::exists(root / "home/.local/share/audio")) << "looking does not make it";
    fs::create_directories(root / "home/.local/share/audio");
    ASSERT_EQ(FSFindFolder(kUserDomain, kAudioSupportFolderType, kDontCreateFolder, &found), noErr);
    EXPECT_EQ(pathOf(found), (root / "home/.local/share/audio").string());
}

}  // namespace
