// The image-list calls over a table of image lists addressed by HIMAGELIST.
#include "base/handle_table.h"
#include "commctrl/image_list.h"
#include "commctrl/image_list_table.h"
#include "user/errors.h"

#include <memory>

namespace handset {

namespace {

HandleTable<std::shared_ptr<ImageList>>& table() {
    static HandleTable<std::shared_ptr<ImageList>> lists;
    return lists;
}

} // namespace

std::shared_ptr<ImageList> find_image_list(HIMAGELIST list) {
    return table().find(list.value()).value_or(nullptr);
}

} // namespace handset

using namespace handset;

HIMAGELIST WINAPI ImageList_Create(int cx, int cy, UINT flags, int cInitial, int cGrow) {
    if (cx <= 0 || cy <= 0 || cInitial < 0) {
        fail(ERROR_INVALID_PARAMETER, "ImageList_Create", "bad image size or count");
        return HIMAGELIST();
    }
    return HIMAGELIST(table().add(std::make_shared<ImageList>(cx, cy, flags, cInitial, cGrow)));
}

BOOL WINAPI ImageList_Destroy(HIMAGELIST himl) {
    return table().remove(himl.value()) ? TRUE : FALSE;
}

int WINAPI ImageList_Add(HIMAGELIST himl, HBITMAP hbmImage, HBITMAP hbmMask) {
    const std::shared_ptr<ImageList> list = find_image_list(himl);
    const std::optional<BitmapPixels> strip = read_bitmap(hbmImage);
    if (!list || !strip) {
        fail(ERROR_INVALID_PARAMETER, "ImageList_Add", "no such image list or bitmap");
        return -1;
    }
    return list->add(*strip, hbmMask ? read_bitmap(hbmMask) : std::nullopt);
}

BOOL WINAPI ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT) {
    const std::shared_ptr<ImageList> list = find_image_list(himl);
    return list && list->draw(i, hdcDst, x, y) ? TRUE : FALSE;
}

int WINAPI ImageList_GetImageCount(HIMAGELIST himl) {
    const std::shared_ptr<ImageList> list = find_image_list(himl);
    return list ? list->count() : 0;
}

BOOL WINAPI ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy) {
    const std::shared_ptr<ImageList> list = find_image_list(himl);
    if (!list || cx == nullptr || cy == nullptr) {
        return FALSE;
    }
    *cx = list->width();
    *cy = list->height();
    return TRUE;
}
