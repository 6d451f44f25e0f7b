// Holds an exclusive lock on "<file>.lock" for its lifetime, so that tools changing one file
// take turns. The lock file stays: removing it would let a waiting tool lock a file that a newer
// tool no longer sees.
#pragma once

#include <filesystem>
#include <string>

namespace handset {

class EditLock {
  public:
    explicit EditLock(const std::filesystem::path& file);
    ~EditLock();
    EditLock(const EditLock&) = delete;
    EditLock& operator=(const EditLock&) = delete;

    // Empty when the lock is held.
    const std::string& error() const { return m_error; }

  private:
    int m_descriptor = -1;
    std::string m_error;
};

} // namespace handset
