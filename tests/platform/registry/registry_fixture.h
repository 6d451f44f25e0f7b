// A device folder of its own for each registry test, with helpers to put a registry file in it.
#pragma once

#include "base/debug_output.h"
#include "base/device_folder.h"

#include "temporary_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

class RegistryFixture : public testing::Test {
  protected:
    void SetUp() override { handset::set_device_folder(m_folder.path()); }
    void TearDown() override { handset::set_device_folder({}); }

    // Replaces the file the way handsetctl does: a new file renamed over the old one.
    void replace_registry(const std::string& text) {
        m_folder.write("registry.reg.new", text);
        std::rename((m_folder.path() / "registry.reg.new").c_str(), registry_path().c_str());
    }

    // Rewrites the file in place, the way an editor may.
    void rewrite_registry(const std::string& text) { m_folder.write("registry.reg", text); }

    std::filesystem::path registry_path() const { return m_folder.path() / "registry.reg"; }

    TemporaryFolder m_folder;
    handset::DebugCapture m_debug;
};
