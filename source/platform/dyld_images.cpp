// The dynamic loader's image list over dl_iterate_phdr.
#include <mach-o/dyld.h>

#include <climits>
#include <cstdlib>
#include <link.h>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace
{

struct Image
{
    std::string name;
    const void* header;
    intptr_t slide;
};

std::string mainProgramPath()
{
    char path[PATH_MAX];
    return realpath("/proc/self/exe", path) ? std::string(path) : std::string();
}

int collect(dl_phdr_info* info, size_t, void* data)
{
    auto& images = *static_cast<std::vector<Image>*>(data);
    const bool mainProgram = images.empty();
    std::string name = mainProgram ? mainProgramPath() : std::string(info->dlpi_name ? info->dlpi_name : "");
    if (name.find('/') == std::string::npos)
        return 0;  // the vDSO has no file
    const void* header = nullptr;
    for (int index = 0; index < info->dlpi_phnum; ++index)
    {
        const auto& segment = info->dlpi_phdr[index];
        if (segment.p_type == PT_LOAD && segment.p_offset == 0)
        {
            header = reinterpret_cast<const void*>(info->dlpi_addr + segment.p_vaddr);
            break;
        }
    }
    images.push_back({std::move(name), header, static_cast<intptr_t>(info->dlpi_addr)});
    return 0;
}

std::vector<Image> loadedImages()
{
    std::vector<Image> images;
    dl_iterate_phdr(collect, &images);
    return images;
}

// Names handed out stay valid for the life of the process, like the loader's own.
const char* keptName(const std::string& name)
{
    static std::mutex mutex;
    static auto* names = new std::set<std::string>;
    std::lock_guard lock(mutex);
    return names->insert(name).first->c_str();
}

}  // namespace

extern "C" {

uint32_t _dyld_image_count(void) { return static_cast<uint32_t>(loadedImages().size()); }

const char* _dyld_get_image_name(uint32_t image_index)
{
    const auto images = loadedImages();
    return image_index < images.size() ? keptName(images[image_index].name) : nullptr;
}

const struct mach_header* _dyld_get_image_header(uint32_t image_index)
{
    const auto images = loadedImages();
    return image_index < images.size() ? static_cast<const mach_header*>(images[image_index].header) : nullptr;
}

intptr_t _dyld_get_image_vmaddr_slide(uint32_t image_index)
{
    const auto images = loadedImages();
    return image_index < images.size() ? images[image_index].slide : 0;
}

}  // extern "C"
