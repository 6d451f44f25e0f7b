// The clipboard formats registered by name in this process. A host and the extensions it loads
// agree on a format by its name; the number is only valid inside the process that registered it.
#pragma once

#include <windef.h>

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace handset {

class ClipboardFormats {
  public:
    static ClipboardFormats& instance();

    // The format of the name, registered on its first use; 0 for an empty name or when every
    // number is taken.
    UINT register_format(std::u16string_view name);

  private:
    // Registered formats are numbered from here, as on the device, above the predefined ones.
    static constexpr UINT first_registered = 0xC000;
    static constexpr UINT last_registered = 0xFFFF;

    std::mutex m_mutex;
    // Folded names; a format's number is first_registered plus its index.
    std::vector<std::u16string> m_names;
};

} // namespace handset
