// An image list: images of one size kept side by side in one strip, added from bitmap strips and
// drawn by index. Any thread may use a list (a worker may fill it while the dialog thread draws),
// so each list has a lock of its own.
#pragma once

#include "gdi/bitmap_access.h"

#include <commctrl.h>

#include <mutex>
#include <optional>
#include <vector>

namespace handset {

class ImageList {
  public:
    ImageList(int width, int height, UINT flags, int initial, int grow);
    ~ImageList();
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;

    int width() const { return m_width; }
    int height() const { return m_height; }
    int count() const;

    // Cuts the strip into as many images of the list's width as it holds and appends them; the
    // index of the first, or -1 when the strip holds none. Where the mask is white the image is
    // transparent (lists made with ILC_MASK only).
    int add(const BitmapPixels& strip, const std::optional<BitmapPixels>& mask);
    bool draw(int index, HDC dc, int x, int y);

  private:
    struct Image {
        Surface pixels;
        bool has_alpha;
    };

    Image cut(const BitmapPixels& strip, const std::optional<BitmapPixels>& mask, int index) const;
    // The images as one premultiplied bitmap that AlphaBlend and BitBlt can draw from.
    HBITMAP drawing_strip();

    const int m_width;
    const int m_height;
    const UINT m_flags;
    const int m_grow;
    mutable std::mutex m_mutex;
    std::vector<Image> m_images;
    HBITMAP m_strip;
};

} // namespace handset
