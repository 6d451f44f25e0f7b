#include "controls_program.h"

#include <aygshell.h>
#include <winbase.h>

#include <array>

namespace handset::testing {

namespace {

constexpr int controls_dialog = 200;
constexpr int controls_menu = 201;
constexpr int check_boxes_16 = 301;
constexpr int check_boxes_32 = 302;

struct Entry {
    const char16_t* name;
    const char16_t* number;
};

constexpr std::array<Entry, 3> entries{{
    {u"Alpha", u"020 7946 0018"},
    {u"Bravo", u"0161 496 0734"},
    {u"Charlie", u"202 555 0147"},
}};

// The strip drawn for the screen's density, cut into two square images.
HIMAGELIST create_check_boxes(HINSTANCE instance, HWND dialog) {
    const HDC dc = GetDC(dialog);
    const bool dense = GetDeviceCaps(dc, LOGPIXELSX) > 96;
    ReleaseDC(dialog, dc);
    const int size = dense ? 32 : 16;
    const HBITMAP strip =
        LoadBitmapW(instance, MAKEINTRESOURCEW(dense ? check_boxes_32 : check_boxes_16));
    const HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR24, 2, 0);
    ImageList_Add(images, strip, HBITMAP());
    DeleteObject(strip);
    return images;
}

void fill_tree(HWND tree) {
    for (const Entry& entry : entries) {
        TVINSERTSTRUCTW insert{};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
        insert.item.pszText = const_cast<LPWSTR>(entry.name);
        insert.item.iImage = unchecked_image;
        insert.item.iSelectedImage = unchecked_image;
        SendMessageW(tree, TVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&insert));
    }
}

void insert_column(HWND list, int index, const char16_t* title, int width) {
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = const_cast<LPWSTR>(title);
    SendMessageW(list, LVM_INSERTCOLUMN, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&column));
}

void fill_list(HWND list) {
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_NOHSCROLL);
    RECT client{};
    GetClientRect(list, &client);
    insert_column(list, 0, u"Name", client.right * 2 / 5);
    insert_column(list, 1, u"Number", client.right - client.right * 2 / 5);
    for (size_t row = 0; row < entries.size(); ++row) {
        LVITEMW item{};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = static_cast<int>(row);
        item.pszText = const_cast<LPWSTR>(entries[row].name);
        item.lParam = static_cast<LPARAM>(row);
        SendMessageW(list, LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item));
        LVITEMW number{};
        number.iSubItem = 1;
        number.pszText = const_cast<LPWSTR>(entries[row].number);
        SendMessageW(list, LVM_SETITEMTEXT, row, reinterpret_cast<LPARAM>(&number));
    }
}

void make_full_screen(HWND dialog, HINSTANCE instance) {
    SHINITDLGINFO init{};
    init.dwMask = SHIDIM_FLAGS;
    init.hDlg = dialog;
    init.dwFlags = SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN;
    SHInitDialog(&init);
    SHMENUBARINFO bar{};
    bar.cbSize = sizeof(bar);
    bar.hwndParent = dialog;
    bar.dwFlags = SHCMBF_HMENU | SHCMBF_HIDESIPBUTTON;
    bar.nToolBarId = controls_menu;
    bar.hInstRes = instance;
    SHCreateMenuBar(&bar);
}

void initialise(HWND dialog) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    make_full_screen(dialog, instance);
    const HWND tree = GetDlgItem(dialog, controls_tree_id);
    const HIMAGELIST images = create_check_boxes(instance, dialog);
    SetWindowLongPtrW(dialog, DWL_USER, static_cast<LONG_PTR>(images.value()));
    SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, static_cast<LPARAM>(images.value()));
    fill_tree(tree);
    fill_list(GetDlgItem(dialog, controls_list_id));
    SetDlgItemTextW(dialog, controls_note_id, u"Copy to SIM");
}

// A tap on an item's image checks or unchecks it; a tap on its label only selects it, which the
// tree has done by itself.
void toggle_tapped_image(HWND tree) {
    const DWORD position = GetMessagePos();
    TVHITTESTINFO hit{};
    hit.pt = POINT{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    ScreenToClient(tree, &hit.pt);
    SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (!hit.hItem || (hit.flags & TVHT_ONITEMICON) == 0) {
        return;
    }
    TVITEMW item{};
    item.mask = TVIF_HANDLE | TVIF_IMAGE;
    item.hItem = hit.hItem;
    SendMessageW(tree, TVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item));
    const int toggled = item.iImage == checked_image ? unchecked_image : checked_image;
    item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.iImage = toggled;
    item.iSelectedImage = toggled;
    SendMessageW(tree, TVM_SETITEM, 0, reinterpret_cast<LPARAM>(&item));
}

INT_PTR CALLBACK controls_procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG:
        initialise(dialog);
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lparam);
        if (header->idFrom == controls_tree_id && header->code == static_cast<UINT>(NM_CLICK)) {
            toggle_tapped_image(header->hwndFrom);
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wparam) == IDOK) {
            EndDialog(dialog, controls_exit_code);
        }
        return TRUE;
    case WM_DESTROY:
        ImageList_Destroy(HIMAGELIST(static_cast<uint32_t>(GetWindowLongPtrW(dialog, DWL_USER))));
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

int WINAPI controls_main(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    InitCommonControls();
    return static_cast<int>(DialogBoxParamW(instance, MAKEINTRESOURCEW(controls_dialog), HWND(),
                                            controls_procedure, 0));
}

} // namespace handset::testing
