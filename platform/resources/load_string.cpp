// LoadStringW: a string of a module's string table, copied into the caller's buffer.
#include "base/debug_output.h"
#include "resources/module_table.h"
#include "resources/string_table.h"

#include <libloaderapi.h>
#include <winbase.h>

#include <algorithm>
#include <cstring>

using handset::ModuleTable;

namespace {

// The text's bytes, or nullopt when the module has no such string (or its block is damaged).
std::optional<std::span<const BYTE>> find_string(const handset::Module& module, UINT id) {
    const handset::ResEntry* block =
        module.resources().find(MAKEINTRESOURCE(handset::string_block_id(id)), RT_STRING);
    if (block == nullptr) {
        return std::nullopt;
    }
    std::optional<std::span<const BYTE>> text = handset::string_in_block(block->data, id);
    if (!text || text->empty()) {
        return std::nullopt;
    }
    return text;
}

} // namespace

int WINAPI LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int cchBufferMax) {
    // The device answers a NULL buffer with a pointer to the text in place of the count, which an
    // int cannot hold on this 64-bit system; the desktop form (cchBufferMax 0) gives the pointer.
    if (lpBuffer == nullptr || cchBufferMax < 0) {
        handset::debug_printf("LoadString(%u): needs a buffer; to get a pointer to the text, pass "
                              "the address of a pointer with cchBufferMax 0",
                              uID);
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::shared_ptr<const handset::Module> module = ModuleTable::instance().module(hInstance);
    std::optional<std::span<const BYTE>> text;
    if (!module) {
        SetLastError(ERROR_INVALID_HANDLE);
    } else if (!(text = find_string(*module, uID))) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    }
    if (!text) {
        if (cchBufferMax > 0) {
            lpBuffer[0] = 0;
        }
        return 0;
    }
    int length = static_cast<int>(text->size() / sizeof(WCHAR));
    if (cchBufferMax == 0) {
        const BYTE* in_place = text->data();
        std::memcpy(lpBuffer, &in_place, sizeof in_place);
        return length;
    }
    int copied = std::min(length, cchBufferMax - 1);
    std::memcpy(lpBuffer, text->data(), size_t(copied) * sizeof(WCHAR));
    lpBuffer[copied] = 0;
    return copied;
}
