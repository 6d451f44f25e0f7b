// A shared object opened with dlopen: the code half of a code module. Closing the object (the
// destructor) drops the reference this object's dlopen took.
#pragma once

#include <windef.h>

#include <filesystem>
#include <memory>
#include <span>
#include <string>

namespace handset {

class CodeLibrary {
  public:
    // Opens the shared object with every symbol resolved now, so a library with a missing
    // dependency fails here rather than at its first call. On failure `error` says why.
    static std::unique_ptr<CodeLibrary> open(const std::filesystem::path& path, std::string& error);

    ~CodeLibrary();
    CodeLibrary(const CodeLibrary&) = delete;
    CodeLibrary& operator=(const CodeLibrary&) = delete;

    // The same object opened twice gives the same native handle.
    void* native_handle() const { return m_handle; }

    // The address of a symbol that this object itself defines; nullptr for one that only a
    // library it depends on defines, as the device looks only at the module's own exports.
    void* own_symbol(const char* name) const;

    // The resources embedded in the object, if any.
    std::span<const BYTE> embedded_image() const;

  private:
    explicit CodeLibrary(void* handle) : m_handle(handle) {}

    void* m_handle;
};

} // namespace handset
