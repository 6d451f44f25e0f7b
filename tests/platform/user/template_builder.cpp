#include "template_builder.h"

#include <cstring>

namespace handset::testing {

namespace {

class Writer {
  public:
    void bytes(const void* data, size_t size) {
        const auto* begin = static_cast<const uint8_t*>(data);
        m_bytes.insert(m_bytes.end(), begin, begin + size);
    }
    void word(WORD value) { bytes(&value, sizeof(value)); }
    void text(const std::u16string& value) {
        bytes(value.data(), value.size() * sizeof(char16_t));
        word(0);
    }
    void align(size_t boundary) {
        while (m_bytes.size() % boundary != 0) {
            m_bytes.push_back(0);
        }
    }
    const std::vector<uint8_t>& data() const { return m_bytes; }

  private:
    std::vector<uint8_t> m_bytes;
};

} // namespace

TemplateBuilder::TemplateBuilder(DWORD style, short x, short y, short cx, short cy) {
    m_header.style = style;
    m_header.x = x;
    m_header.y = y;
    m_header.cx = cx;
    m_header.cy = cy;
}

TemplateBuilder& TemplateBuilder::caption(std::u16string text) {
    m_caption = std::move(text);
    return *this;
}

TemplateBuilder& TemplateBuilder::font(WORD points, std::u16string face) {
    m_has_font = true;
    m_header.style |= DS_SETFONT;
    m_points = points;
    m_face = std::move(face);
    return *this;
}

TemplateBuilder& TemplateBuilder::control(std::u16string window_class, WORD id, DWORD style,
                                          short x, short y, short cx, short cy,
                                          std::u16string text) {
    Control control{std::move(window_class), std::move(text), DLGITEMTEMPLATE{}};
    control.header.style = style | WS_CHILD | WS_VISIBLE;
    control.header.x = x;
    control.header.y = y;
    control.header.cx = cx;
    control.header.cy = cy;
    control.header.id = id;
    m_controls.push_back(std::move(control));
    return *this;
}

const DLGTEMPLATE* TemplateBuilder::build() {
    Writer writer;
    m_header.cdit = static_cast<WORD>(m_controls.size());
    writer.bytes(&m_header, sizeof(m_header));
    writer.word(0); // no menu
    writer.word(0); // the system's dialog class
    writer.text(m_caption);
    if (m_has_font) {
        writer.word(m_points);
        writer.text(m_face);
    }
    for (const Control& control : m_controls) {
        writer.align(4);
        writer.bytes(&control.header, sizeof(control.header));
        writer.text(control.window_class);
        writer.text(control.text);
        writer.word(0); // no creation data
    }
    m_size = writer.data().size();
    m_storage.assign((m_size + 3) / 4, 0);
    std::memcpy(m_storage.data(), writer.data().data(), writer.data().size());
    return reinterpret_cast<const DLGTEMPLATE*>(m_storage.data());
}

} // namespace handset::testing
