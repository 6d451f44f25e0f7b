// BSTR allocation. The block is laid out as the device lays it out: a 32-bit byte count, the
// characters, a terminating zero; the BSTR points at the first character.
#include <oleauto.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr size_t prefix_bytes = sizeof(uint32_t);

// The byte count must fit the 32-bit prefix, terminator included.
constexpr UINT longest_bstr = (UINT32_MAX - sizeof(OLECHAR)) / sizeof(OLECHAR);

uint32_t* prefix_of(BSTR bstr) {
    return reinterpret_cast<uint32_t*>(reinterpret_cast<char*>(bstr) - prefix_bytes);
}

size_t zero_terminated_length(const OLECHAR* text) {
    size_t length = 0;
    while (text[length] != 0) {
        ++length;
    }
    return length;
}

} // namespace

extern "C" BSTR STDMETHODCALLTYPE SysAllocStringLen(const OLECHAR* pch, UINT cch) {
    if (cch > longest_bstr) {
        return nullptr;
    }
    const size_t text_bytes = size_t{cch} * sizeof(OLECHAR);
    void* block = std::malloc(prefix_bytes + text_bytes + sizeof(OLECHAR));
    if (block == nullptr) {
        return nullptr;
    }
    *static_cast<uint32_t*>(block) = static_cast<uint32_t>(text_bytes);
    BSTR text = reinterpret_cast<BSTR>(static_cast<char*>(block) + prefix_bytes);
    if (pch != nullptr) {
        std::memcpy(text, pch, text_bytes);
    } else {
        std::memset(text, 0, text_bytes);
    }
    text[cch] = 0;
    return text;
}

extern "C" BSTR STDMETHODCALLTYPE SysAllocString(const OLECHAR* psz) {
    if (psz == nullptr) {
        return nullptr;
    }
    const size_t length = zero_terminated_length(psz);
    if (length > longest_bstr) {
        return nullptr;
    }
    return SysAllocStringLen(psz, static_cast<UINT>(length));
}

extern "C" UINT STDMETHODCALLTYPE SysStringLen(BSTR bstr) {
    if (bstr == nullptr) {
        return 0;
    }
    return *prefix_of(bstr) / sizeof(OLECHAR);
}

extern "C" void STDMETHODCALLTYPE SysFreeString(BSTR bstr) {
    if (bstr != nullptr) {
        std::free(prefix_of(bstr));
    }
}
