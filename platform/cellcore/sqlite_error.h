// A failed SQLite call, with the result code that tells a damaged or foreign file from a busy one.
#pragma once

#include <stdexcept>
#include <string>

namespace handset::sqlite {

class Error : public std::runtime_error {
  public:
    Error(int code, const std::string& message) : std::runtime_error(message), m_code(code) {}

    int code() const { return m_code; }
    // The file is not a database, or its contents are damaged.
    bool damaged() const;
    // Another connection held the lock for longer than the busy timeout.
    bool busy() const;

  private:
    int m_code;
};

} // namespace handset::sqlite
