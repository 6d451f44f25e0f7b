// Bitmaps: making and loading them, and copying pixels between device contexts.
#include "base/debug_output.h"
#include "base/utf.h"
#include "gdi/api_support.h"
#include "gdi/bitmap_access.h"
#include "gdi/object_store.h"
#include "resources/dib.h"

#include <libloaderapi.h>
#include <wingdi.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <span>
#include <vector>

using namespace handset;

namespace {

constexpr WORD device_bits_pixel = 32;
constexpr size_t bmp_file_header_size = 14;

HBITMAP add_bitmap(Surface image, WORD bits_pixel, bool has_alpha) {
    GdiGuard guard;
    return HBITMAP(ObjectStore::instance(guard).add(
        guard, GdiObject{BitmapData{std::move(image), bits_pixel, has_alpha}}));
}

// The DIB's pixels, stretched with the nearest pixel to width × height when those are given.
Surface image_of(const DibImage& dib, int width, int height) {
    const int out_width = width > 0 ? width : dib.width;
    const int out_height = height > 0 ? height : dib.height;
    Surface image(out_width, out_height);
    for (int y = 0; y < out_height; ++y) {
        const int source_y = static_cast<int>(static_cast<int64_t>(y) * dib.height / out_height);
        for (int x = 0; x < out_width; ++x) {
            const int source_x = static_cast<int>(static_cast<int64_t>(x) * dib.width / out_width);
            image.set_pixel(x, y, dib.pixel(source_x, source_y));
        }
    }
    return image;
}

HBITMAP bitmap_of(const std::optional<DibImage>& dib, int width, int height, bool as_dib_section) {
    if (!dib) {
        return HBITMAP();
    }
    const WORD bits = as_dib_section ? dib->bits_per_pixel : device_bits_pixel;
    return add_bitmap(image_of(*dib, width, height), bits, dib->has_alpha);
}

std::optional<DibImage> dib_from_module(HINSTANCE module, LPCWSTR name) {
    const HRSRC resource = FindResourceW(module, name, RT_BITMAP);
    const HGLOBAL loaded = resource ? LoadResource(module, resource) : HGLOBAL();
    const auto* data = static_cast<const BYTE*>(loaded ? LockResource(loaded) : nullptr);
    if (data == nullptr) {
        return std::nullopt;
    }
    return parse_dib(std::span<const BYTE>(data, SizeofResource(module, resource)));
}

std::optional<DibImage> dib_from_file(LPCWSTR path) {
    std::ifstream in(utf16_to_utf8(path), std::ios::binary);
    const std::vector<BYTE> bytes{std::istreambuf_iterator<char>(in), {}};
    if (bytes.size() < bmp_file_header_size || bytes[0] != 'B' || bytes[1] != 'M') {
        debug_printf("gdi: LoadImage: %s is not a BMP file", utf16_to_utf8(path).c_str());
        return std::nullopt;
    }
    return parse_dib(std::span<const BYTE>(bytes).subspan(bmp_file_header_size));
}

// The shared body of the blits: finds both DCs, maps both rectangles to device pixels and lets
// the painter combine them.
BOOL blit(HDC dest_handle, const RECT& dest_rect, HDC source_handle, const RECT& source_rect,
          BlitMode mode, bool needs_source) {
    GdiGuard guard;
    const std::shared_ptr<DeviceContext> dest = find_dc(guard, dest_handle);
    const std::shared_ptr<DeviceContext> source = find_dc(guard, source_handle);
    if (dest == nullptr || (needs_source && source == nullptr)) {
        return FALSE;
    }
    mode.pattern = pixel_from_colorref(dest->brush_data().color);
    Painter painter = painter_for(guard, *dest);
    if (needs_source) {
        painter.blit(source->target(guard), source->to_device(source_rect),
                     dest->to_device(dest_rect), mode);
    } else {
        painter.raster(dest->to_device(dest_rect), mode.rop, mode.pattern);
    }
    finish_painting(guard, *dest, painter);
    return TRUE;
}

RECT rect_at(int x, int y, int width, int height) {
    return RECT{x, y, x + width, y + height};
}

} // namespace

namespace handset {

std::optional<BitmapPixels> read_bitmap(HBITMAP handle) {
    GdiGuard guard;
    const std::shared_ptr<GdiObject> object = ObjectStore::instance(guard).find(guard, handle);
    if (object == nullptr || !std::holds_alternative<BitmapData>(object->data)) {
        return std::nullopt;
    }
    const BitmapData& bitmap = std::get<BitmapData>(object->data);
    return BitmapPixels{bitmap.image, bitmap.has_alpha};
}

HBITMAP create_bitmap(BitmapPixels pixels) {
    return add_bitmap(std::move(pixels.image), device_bits_pixel, pixels.has_alpha);
}

} // namespace handset

HBITMAP WINAPI CreateCompatibleBitmap(HDC dc, int width, int height) {
    {
        GdiGuard guard;
        if (find_dc(guard, dc) == nullptr || width < 0 || height < 0) {
            return HBITMAP();
        }
    }
    // Always a colour bitmap, even for a memory DC that still holds its 1 × 1 default.
    return add_bitmap(Surface(std::max(width, 1), std::max(height, 1)), device_bits_pixel, false);
}

HBITMAP WINAPI LoadBitmapW(HINSTANCE module, LPCWSTR name) {
    return bitmap_of(dib_from_module(module, name), 0, 0, false);
}

HANDLE WINAPI LoadImageW(HINSTANCE module, LPCWSTR name, UINT type, int width, int height,
                         UINT flags) {
    if (type != IMAGE_BITMAP) {
        debug_printf("gdi: LoadImage loads bitmaps only, not image type %u", type);
        return HANDLE();
    }
    if (name == nullptr) {
        return HANDLE();
    }
    const std::optional<DibImage> dib =
        (flags & LR_LOADFROMFILE) ? dib_from_file(name) : dib_from_module(module, name);
    return HANDLE(bitmap_of(dib, width, height, flags & LR_CREATEDIBSECTION));
}

BOOL WINAPI BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int source_x,
                   int source_y, DWORD rop) {
    BlitMode mode;
    mode.rop = static_cast<uint8_t>(rop >> 16);
    return blit(dest, rect_at(x, y, width, height), source,
                rect_at(source_x, source_y, width, height), mode, rop_reads_source(mode.rop));
}

BOOL WINAPI StretchBlt(HDC dest, int x, int y, int width, int height, HDC source, int source_x,
                       int source_y, int source_width, int source_height, DWORD rop) {
    BlitMode mode;
    mode.rop = static_cast<uint8_t>(rop >> 16);
    return blit(dest, rect_at(x, y, width, height), source,
                rect_at(source_x, source_y, source_width, source_height), mode,
                rop_reads_source(mode.rop));
}

BOOL WINAPI TransparentBlt(HDC dest, int x, int y, int width, int height, HDC source, int source_x,
                           int source_y, int source_width, int source_height, UINT transparent) {
    BlitMode mode;
    mode.kind = BlitMode::Kind::transparent_key;
    mode.key = pixel_from_colorref(transparent);
    return blit(dest, rect_at(x, y, width, height), source,
                rect_at(source_x, source_y, source_width, source_height), mode, true);
}

BOOL WINAPI AlphaBlend(HDC dest, int x, int y, int width, int height, HDC source, int source_x,
                       int source_y, int source_width, int source_height, BLENDFUNCTION blend) {
    if (blend.BlendOp != AC_SRC_OVER || width < 0 || height < 0 || source_width < 0 ||
        source_height < 0) {
        return FALSE;
    }
    BlitMode mode;
    mode.kind = BlitMode::Kind::alpha_blend;
    mode.constant_alpha = blend.SourceConstantAlpha;
    mode.source_alpha = blend.AlphaFormat & AC_SRC_ALPHA;
    return blit(dest, rect_at(x, y, width, height), source,
                rect_at(source_x, source_y, source_width, source_height), mode, true);
}
