#pragma once
// Helpers of the platform tests: temporary folders, files and Python runs.

#include <CoreFoundation/CoreFoundation.h>

#include "support/temporary_folder.h"
#include "test_component.h"

#include <filesystem>
#include <string>

namespace platformtest
{

using testsupport::TemporaryFolder;

void writeFile(const std::filesystem::path& path, const std::string& content);

// UTF-8 text of a CF string ("<null>" for null), for assertions.
std::string text(CFStringRef string);

CFURLRef fileURL(const std::filesystem::path& path, bool isDirectory);
// Registers the bundle at `path` as a host does, through a file reference.
OSErr registerBundle(const std::filesystem::path& path);

// The test component bundle's component of the given type, registered on
// first use, and the log its entries keep.
Component testComponent(OSType type);
TestComponentLog& testComponentLog();

}  // namespace platformtest
