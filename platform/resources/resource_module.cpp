#include "resources/resource_module.h"

#include "base/debug_output.h"

#include <fstream>
#include <system_error>

namespace handset {

namespace {

// Far more than any resource file of the handset; a bigger file is not one.
constexpr std::uintmax_t kLargestFile = 64 * 1024 * 1024;

} // namespace

std::unique_ptr<ResourceModule> ResourceModule::from_file(const std::filesystem::path& path) {
    std::error_code error;
    std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        debug_printf("Resource file %s cannot be read: %s", path.c_str(), error.message().c_str());
        return nullptr;
    }
    if (size > kLargestFile) {
        debug_printf("Resource file %s is %ju bytes, too large to be a resource file", path.c_str(),
                     size);
        return nullptr;
    }
    auto module = std::make_unique<ResourceModule>();
    module->m_image.resize(size);
    std::ifstream file(path, std::ios::binary);
    if (!file.read(reinterpret_cast<char*>(module->m_image.data()), std::streamsize(size))) {
        debug_printf("Resource file %s cannot be read", path.c_str());
        return nullptr;
    }
    auto entries = parse_res_file(module->m_image, path.string());
    if (!entries) {
        return nullptr;
    }
    module->m_entries = std::move(*entries);
    return module;
}

std::unique_ptr<ResourceModule> ResourceModule::over_image(std::span<const BYTE> image,
                                                           const std::string& origin) {
    auto module = std::make_unique<ResourceModule>();
    if (auto entries = parse_res_file(image, origin)) {
        module->m_entries = std::move(*entries);
    }
    return module;
}

const ResEntry* ResourceModule::find(const WCHAR* name, const WCHAR* type) const {
    for (const ResEntry& entry : m_entries) {
        if (resource_name_matches(entry.type, type) && resource_name_matches(entry.name, name)) {
            return &entry;
        }
    }
    return nullptr;
}

bool ResourceModule::has_type(const WCHAR* type) const {
    for (const ResEntry& entry : m_entries) {
        if (resource_name_matches(entry.type, type)) {
            return true;
        }
    }
    return false;
}

} // namespace handset
