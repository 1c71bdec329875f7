#pragma once
// "TDFactoryPresets.txt": the names of the factory preset files in the
// resources folder, one a line. Leading spaces are dropped; empty lines and
// lines starting with ';' are left out.

#include <string>
#include <string_view>
#include <vector>

// The first `most` file names the list's text holds, in order.
std::vector<std::string> readFactoryPresetList(std::string_view text, int most);
