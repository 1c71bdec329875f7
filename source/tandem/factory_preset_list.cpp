#include "tandem/factory_preset_list.h"

#include "tandem/file_reading.h"

std::vector<std::string> readFactoryPresetList(std::string_view text, int most)
{
    std::vector<std::string> names;
    const char* position = text.data();
    const char* const end = position + text.size();
    while (position < end && names.size() < static_cast<std::size_t>(most))
    {
        char line[kLineBufferSize];
        position = readLine(position, end, line);
        const char* fileName = line;
        while (*fileName == ' ')
        {
            ++fileName;
        }
        if (*fileName != '\0' && *fileName != ';')
        {
            names.emplace_back(fileName);
        }
    }
    return names;
}
