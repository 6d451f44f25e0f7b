#include "host/store_failure.h"

#include "host/contacts_ids.h"
#include "host/resource_text.h"

#include "base/utf.h"

#include <winbase.h>
#include <winuser.h>

namespace handset {

namespace {

UINT message_for(StoreStatus status) {
    switch (status) {
    case StoreStatus::full:
    case StoreStatus::no_memory:
        return IDS_STORAGE_FULL;
    case StoreStatus::busy:
        return IDS_STORE_BUSY;
    case StoreStatus::not_found:
        return IDS_CONTACT_GONE;
    case StoreStatus::ok:
    case StoreStatus::missing:
    case StoreStatus::exists:
    case StoreStatus::unusable:
        break;
    }
    return IDS_STORE_UNUSABLE;
}

} // namespace

void show_store_failure(HWND owner, const StoreResult& result) {
    NKDbgPrintfW(u"Contacts: %s", utf8_to_utf16(result.detail).c_str());
    MessageBoxW(owner, resource_text(message_for(result.status)).c_str(),
                resource_text(IDS_TITLE).c_str(), MB_OK | MB_ICONERROR);
}

} // namespace handset
