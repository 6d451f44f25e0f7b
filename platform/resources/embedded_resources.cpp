#include "resources/embedded_resources.h"

#include <dlfcn.h>
#include <elf.h>
#include <link.h>

#include <cstring>
#include <string_view>

namespace handset {

namespace {

constexpr std::string_view kNoteName{"Handset", 8}; // with its terminator
constexpr ElfW(Word) kResourceFileNote = 1;

size_t padded(size_t size, size_t alignment) {
    return (size + alignment - 1) / alignment * alignment;
}

// Walks the notes of one PT_NOTE segment; every step stays inside the segment.
std::span<const BYTE> find_in_notes(const BYTE* notes, size_t size, size_t alignment) {
    size_t offset = 0;
    while (size - offset >= sizeof(ElfW(Nhdr))) {
        ElfW(Nhdr) header;
        std::memcpy(&header, notes + offset, sizeof header);
        size_t name_at = offset + sizeof header;
        size_t descriptor_at = name_at + padded(header.n_namesz, alignment);
        if (descriptor_at > size || header.n_descsz > size - descriptor_at) {
            break;
        }
        std::string_view name(reinterpret_cast<const char*>(notes + name_at), header.n_namesz);
        if (header.n_type == kResourceFileNote && name == kNoteName) {
            return {notes + descriptor_at, header.n_descsz};
        }
        offset = descriptor_at + padded(header.n_descsz, alignment);
    }
    return {};
}

std::span<const BYTE> find_in_object(const dl_phdr_info& object) {
    for (ElfW(Half) i = 0; i < object.dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = object.dlpi_phdr[i];
        if (segment.p_type != PT_NOTE) {
            continue;
        }
        const BYTE* notes = reinterpret_cast<const BYTE*>(object.dlpi_addr + segment.p_vaddr);
        size_t alignment = segment.p_align == 8 ? 8 : 4;
        std::span<const BYTE> image = find_in_notes(notes, segment.p_memsz, alignment);
        if (!image.empty()) {
            return image;
        }
    }
    return {};
}

struct Search {
    const link_map* library = nullptr; // nullptr: the program, which dl_iterate_phdr visits first
    std::span<const BYTE> image;
};

int visit_object(dl_phdr_info* object, size_t, void* data) {
    Search& search = *static_cast<Search*>(data);
    if (search.library != nullptr &&
        (object->dlpi_addr != search.library->l_addr ||
         std::strcmp(object->dlpi_name, search.library->l_name) != 0)) {
        return 0;
    }
    search.image = find_in_object(*object);
    return 1;
}

} // namespace

std::span<const BYTE> program_embedded_image() {
    Search search;
    dl_iterate_phdr(visit_object, &search);
    return search.image;
}

std::span<const BYTE> library_embedded_image(void* dl_handle) {
    Search search;
    if (dlinfo(dl_handle, RTLD_DI_LINKMAP, &search.library) != 0 || search.library == nullptr) {
        return {};
    }
    dl_iterate_phdr(visit_object, &search);
    return search.image;
}

} // namespace handset
