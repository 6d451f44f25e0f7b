// Classic DLGTEMPLATE records built in memory, for dialogs whose templates tests vary.
#pragma once

#include <winuser.h>

#include <cstdint>
#include <string>
#include <vector>

namespace handset::testing {

class TemplateBuilder {
  public:
    TemplateBuilder(DWORD style, short x, short y, short cx, short cy);

    TemplateBuilder& caption(std::u16string text);
    // Sets DS_SETFONT.
    TemplateBuilder& font(WORD points, std::u16string face);
    TemplateBuilder& control(std::u16string window_class, WORD id, DWORD style, short x, short y,
                             short cx, short cy, std::u16string text = u"");

    // The template, DWORD-aligned as resources are; valid while the builder lives.
    const DLGTEMPLATE* build();
    // The size in bytes of what build gave.
    size_t size() const { return m_size; }

  private:
    struct Control {
        std::u16string window_class;
        std::u16string text;
        DLGITEMTEMPLATE header;
    };

    DLGTEMPLATE m_header{};
    std::u16string m_caption;
    bool m_has_font = false;
    WORD m_points = 0;
    std::u16string m_face;
    std::vector<Control> m_controls;
    std::vector<uint32_t> m_storage;
    size_t m_size = 0;
};

} // namespace handset::testing
