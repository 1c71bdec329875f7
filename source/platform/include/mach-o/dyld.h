// The dynamic loader's image list (over dl_iterate_phdr). Image 0 is the
// main program; images without a file (the vDSO) are not listed. Names are
// absolute paths that stay valid for the life of the process.
#pragma once

#include <CoreFoundation/CFBase.h>
#include <stdint.h>

CF_EXTERN_C_BEGIN

// Opaque here: the address is that of the image's ELF header, the same as
// dladdr's dli_fbase for an address inside the image.
struct mach_header;

CF_EXPORT uint32_t _dyld_image_count(void);
// NULL for an index beyond the list.
CF_EXPORT const char* _dyld_get_image_name(uint32_t image_index);
CF_EXPORT const struct mach_header* _dyld_get_image_header(uint32_t image_index);
CF_EXPORT intptr_t _dyld_get_image_vmaddr_slide(uint32_t image_index);

CF_EXTERN_C_END
