// Runs a test inside a folder, so that the files the program names without a folder (its
// language and picture files) are looked up there first.
#pragma once

#include <filesystem>

class InFolder {
  public:
    explicit InFolder(const std::filesystem::path& folder)
        : m_previous(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~InFolder() { std::filesystem::current_path(m_previous); }

    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

  private:
    std::filesystem::path m_previous;
};
