// Feeds arbitrary bytes to the parsers of a card's file descriptions: EF_PBR records, FCP
// templates and a 2G SIM's responses. Whatever they accept must describe files the driver can
// use: every EF_PBR file found again by its tag and link, every type 2 file with its byte in
// EF_IAP, and record sizes within what the templates can say.
#include "cellcore/file_control.h"
#include "cellcore/phonebook_reference.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const handset::ByteView bytes(data, size);
    if (const auto reference = handset::parse_phonebook_reference(bytes)) {
        const auto type2_files =
            std::count_if(reference->files.begin(), reference->files.end(), [](const auto& file) {
                return file.link == handset::PhonebookLink::type2;
            });
        for (const handset::PhonebookFile& file : reference->files) {
            const bool iap_byte_missing = file.link == handset::PhonebookLink::type2 &&
                                          reference->iap_position(file.tag).value_or(SIZE_MAX) >=
                                              static_cast<size_t>(type2_files);
            if (!reference->find(file.tag, file.link) || iap_byte_missing) {
                std::abort();
            }
        }
    }
    if (const auto info = handset::parse_fcp(bytes);
        info && (info->record_length > 0xFFFF || info->record_count > 0xFF)) {
        std::abort();
    }
    if (const auto info = handset::parse_gsm_response(bytes); info && info->record_count < 0) {
        std::abort();
    }
    return 0;
}
