// Moving the open dialog's controls to the rectangles of another template of the same dialog,
// when the screen turns: the template is read record by record, each bounded by the resource's
// size.
#include "menuext/copy_dialog.h"

#include <string>
#include <vector>

namespace {

const WORD kOrdinalMark = 0xFFFF;
const WORD kButtonClass = 0x0080;
const WORD kStaticClass = 0x0082;
const WORD kNoId = 0xFFFF;

// The words of a template, read front to back; a read past the end marks the reader bad.
class TemplateReader {
  public:
    TemplateReader(const BYTE* pData, DWORD cbData) : m_pData(pData), m_cbData(cbData) {}

    bool Bad() const { return m_bBad; }

    WORD Word() {
        if (m_offset + 2 > m_cbData) {
            m_bBad = true;
            return 0;
        }
        WORD w = static_cast<WORD>(m_pData[m_offset] | m_pData[m_offset + 1] << 8);
        m_offset += 2;
        return w;
    }

    DWORD Dword() {
        WORD wLow = Word();
        return wLow | static_cast<DWORD>(Word()) << 16;
    }

    void AlignToDword() { m_offset = (m_offset + 3) & ~static_cast<DWORD>(3); }

    void Skip(DWORD cb) {
        m_offset += cb;
        m_bBad |= m_offset > m_cbData;
    }

    // A name or an ordinal: 0 for none, 0xFFFF and a number, or a terminated UTF-16 text.
    struct NameOrOrdinal {
        bool bOrdinal = false;
        WORD wOrdinal = 0;
        std::u16string text;
    };

    NameOrOrdinal Name() {
        NameOrOrdinal name;
        WORD w = Word();
        if (w == kOrdinalMark) {
            name.bOrdinal = true;
            name.wOrdinal = Word();
            return name;
        }
        for (; w != 0 && !m_bBad; w = Word()) {
            name.text.push_back(static_cast<char16_t>(w));
        }
        return name;
    }

  private:
    const BYTE* m_pData;
    DWORD m_cbData;
    DWORD m_offset = 0;
    bool m_bBad = false;
};

struct ControlMove {
    HWND hControl;
    RECT rcPixels;
};

// Predefined buttons and statics get their template text again; a static that shows an icon or a
// bitmap of the resource module gets its image anew.
void RefreshContent(HINSTANCE hModule, HWND hControl, DWORD dwStyle,
                    const TemplateReader::NameOrOrdinal& controlClass,
                    const TemplateReader::NameOrOrdinal& title) {
    if (!controlClass.bOrdinal ||
        (controlClass.wOrdinal != kButtonClass && controlClass.wOrdinal != kStaticClass)) {
        return;
    }
    if (!title.bOrdinal) {
        SetWindowTextW(hControl, title.text.c_str());
        return;
    }
    DWORD dwKind = dwStyle & 0x1F;
    if (controlClass.wOrdinal != kStaticClass || (dwKind != SS_ICON && dwKind != SS_BITMAP)) {
        return;
    }
    UINT uType = dwKind == SS_ICON ? IMAGE_ICON : IMAGE_BITMAP;
    HANDLE hImage = LoadImageW(hModule, MAKEINTRESOURCEW(title.wOrdinal), uType, 0, 0, 0);
    HANDLE hOld = HANDLE(static_cast<DWORD>(SendMessageW(
        hControl, STM_SETIMAGE, uType, static_cast<LPARAM>(static_cast<DWORD>(hImage)))));
    if (hOld) {
        DeleteObject(HGDIOBJ(static_cast<DWORD>(hOld)));
    }
}

// The header: style, extended style, item count, place and size, menu, class, caption and, with
// DS_SETFONT, the font. Answers the item count.
int ReadHeader(TemplateReader& reader) {
    DWORD dwStyle = reader.Dword();
    reader.Dword();
    int iCount = reader.Word();
    reader.Skip(8);
    reader.Name();
    reader.Name();
    reader.Name();
    if (dwStyle & DS_SETFONT) {
        reader.Word();
        reader.Name();
    }
    return iCount;
}

} // namespace

BOOL ApplyOrientationLayout(HINSTANCE hModule, HWND hDlg, int iTemplate) {
    HRSRC hResource = FindResourceW(hModule, MAKEINTRESOURCEW(iTemplate), RT_DIALOG);
    HGLOBAL hTemplate = hResource ? LoadResource(hModule, hResource) : nullptr;
    const void* pTemplate = hTemplate ? LockResource(hTemplate) : nullptr;
    if (!pTemplate) {
        return FALSE;
    }
    TemplateReader reader(static_cast<const BYTE*>(pTemplate), SizeofResource(hModule, hResource));
    int iCount = ReadHeader(reader);
    std::vector<ControlMove> moves;
    bool bAllFound = true;
    int iUnnamed = 0;
    for (int i = 0; i < iCount && !reader.Bad(); ++i) {
        reader.AlignToDword();
        DWORD dwStyle = reader.Dword();
        reader.Dword();
        RECT rc;
        rc.left = static_cast<short>(reader.Word());
        rc.top = static_cast<short>(reader.Word());
        rc.right = rc.left + static_cast<short>(reader.Word());
        rc.bottom = rc.top + static_cast<short>(reader.Word());
        WORD wId = reader.Word();
        TemplateReader::NameOrOrdinal controlClass = reader.Name();
        TemplateReader::NameOrOrdinal title = reader.Name();
        reader.Skip(reader.Word());
        iUnnamed += wId == kNoId ? 1 : 0;
        HWND hControl = GetDlgItem(hDlg, static_cast<int>(static_cast<short>(wId)));
        if (!hControl) {
            bAllFound = false;
            continue;
        }
        MapDialogRect(hDlg, &rc);
        moves.push_back({hControl, rc});
        RefreshContent(hModule, hControl, dwStyle, controlClass, title);
    }
    if (reader.Bad() || iUnnamed >= 2) {
        return FALSE;
    }
    for (const ControlMove& move : moves) {
        SetWindowPos(move.hControl, nullptr, move.rcPixels.left, move.rcPixels.top,
                     move.rcPixels.right - move.rcPixels.left,
                     move.rcPixels.bottom - move.rcPixels.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return bAllFound;
}
