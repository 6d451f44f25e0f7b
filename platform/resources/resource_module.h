// The resources of one module: the entries of a .res image, either read from a file (and owned
// here) or embedded in a loaded program or library (and only viewed). Entry data stays where it
// was parsed for the life of the object.
#pragma once

#include "resources/res_file.h"

#include <windef.h>

#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace handset {

class ResourceModule {
  public:
    // No resources at all.
    ResourceModule() = default;
    ResourceModule(const ResourceModule&) = delete;
    ResourceModule& operator=(const ResourceModule&) = delete;

    // Reads a resource file. An unreadable, oversized or damaged file writes a debug line and
    // gives nullptr.
    static std::unique_ptr<ResourceModule> from_file(const std::filesystem::path& path);

    // Serves an image that outlives this object, such as one embedded in a loaded binary. A
    // damaged image writes a debug line and serves no resources.
    static std::unique_ptr<ResourceModule> over_image(std::span<const BYTE> image,
                                                      const std::string& origin);

    // The first entry whose name and type match, as FindResource names them (see
    // resource_name_matches); nullptr if there is none.
    const ResEntry* find(const WCHAR* name, const WCHAR* type) const;
    bool has_type(const WCHAR* type) const;

    const std::vector<ResEntry>& entries() const { return m_entries; }

  private:
    std::vector<BYTE> m_image; // empty when the image is not owned
    std::vector<ResEntry> m_entries;
};

} // namespace handset
