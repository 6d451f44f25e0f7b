// A fresh device folder for one test: the platform reads its registry.reg and contacts.db there
// until the test ends.
#pragma once

#include "../base/temporary_folder.h"

#include "base/device_folder.h"

#include <string>

class TemporaryDevice {
  public:
    TemporaryDevice() { handset::set_device_folder(m_folder.path()); }
    ~TemporaryDevice() { handset::set_device_folder({}); }
    TemporaryDevice(const TemporaryDevice&) = delete;
    TemporaryDevice& operator=(const TemporaryDevice&) = delete;

    const std::filesystem::path& path() const { return m_folder.path(); }
    void write(const std::filesystem::path& name, const std::string& content) const {
        m_folder.write(name, content);
    }

  private:
    TemporaryFolder m_folder;
};
