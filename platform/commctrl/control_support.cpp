#include "commctrl/control_support.h"

#include "gdi/screen.h"

namespace handset {

namespace {

int system_background_of(UINT message) {
    switch (message) {
    case WM_CTLCOLORSTATIC:
        return COLOR_STATIC;
    case WM_CTLCOLORBTN:
        return COLOR_BTNFACE;
    case WM_CTLCOLORSCROLLBAR:
        return COLOR_SCROLLBAR;
    default:
        return COLOR_WINDOW;
    }
}

} // namespace

LRESULT notify_parent(HWND control, UINT code) {
    NMHDR header{};
    header.hwndFrom = control;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
    header.code = code;
    return SendMessageW(GetParent(control), WM_NOTIFY, header.idFrom,
                        reinterpret_cast<LPARAM>(&header));
}

void command_parent(HWND control, WORD code) {
    const WORD id = static_cast<WORD>(GetDlgCtrlID(control));
    SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(id, code),
                 static_cast<LPARAM>(control.value()));
}

HBRUSH ask_parent_colors(HWND control, UINT message, HDC dc) {
    const HWND parent = GetParent(control);
    const LRESULT answer = parent ? SendMessageW(parent, message, static_cast<WPARAM>(dc.value()),
                                                 static_cast<LPARAM>(control.value()))
                                  : 0;
    if (answer != 0) {
        return HBRUSH(static_cast<uint32_t>(answer));
    }
    return GetSysColorBrush(system_background_of(message));
}

int pixel_scale() {
    return Screen::instance().profile().dpi >= 192 ? 2 : 1;
}

MeasuringDc::MeasuringDc(HFONT font)
    : m_dc(CreateCompatibleDC(HDC())), m_previous_font(SelectObject(m_dc, font)) {}

MeasuringDc::~MeasuringDc() {
    SelectObject(m_dc, m_previous_font);
    DeleteDC(m_dc);
}

int MeasuringDc::text_width(std::u16string_view text) const {
    SIZE size{0, 0};
    GetTextExtentPoint32W(m_dc, text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
}

int MeasuringDc::line_height() const {
    TEXTMETRICW metrics{};
    GetTextMetricsW(m_dc, &metrics);
    return metrics.tmHeight;
}

} // namespace handset
