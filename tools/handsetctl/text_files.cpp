#include "text_files.h"

#include "arguments.h"

#include "base/write_fully.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace handsetctl {

namespace {

std::string read_descriptor(int descriptor, const std::string& name, std::string_view noun,
                            size_t largest) {
    struct stat status {};
    if (fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode)) {
        throw OperationError(name + " is a folder, not " + std::string(noun));
    }
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(descriptor, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            throw OperationError("cannot read " + name + ": " + std::strerror(errno));
        }
        if (got == 0) {
            return text;
        }
        text.append(buffer, static_cast<size_t>(got));
        if (text.size() > largest) {
            throw OperationError(name + " is larger than " + std::string(noun) + " can be (" +
                                 std::to_string(largest / (1024 * 1024)) + " MiB)");
        }
    }
}

} // namespace

std::string input_name(const std::string& file) {
    return file == "-" ? "standard input" : file;
}

std::string read_input(const std::string& file, std::string_view noun, size_t largest) {
    if (file == "-") {
        return read_descriptor(STDIN_FILENO, input_name(file), noun, largest);
    }
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        throw OperationError("cannot read " + file + ": " + std::strerror(errno));
    }
    try {
        std::string text = read_descriptor(descriptor, file, noun, largest);
        ::close(descriptor);
        return text;
    } catch (...) {
        ::close(descriptor);
        throw;
    }
}

void write_output(const std::string& file, std::string_view text, std::ostream& out) {
    if (file == "-") {
        out << text;
        return;
    }
    const std::string temporary = file + ".partial";
    const int descriptor =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (descriptor < 0) {
        throw OperationError("cannot write " + file + ": " + std::strerror(errno));
    }
    const bool written = handset::write_fully(descriptor, text) && fsync(descriptor) == 0;
    const int error = errno;
    ::close(descriptor);
    if (!written || std::rename(temporary.c_str(), file.c_str()) != 0) {
        const int reason = written ? errno : error;
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw OperationError("cannot write " + file + ": " + std::strerror(reason));
    }
}

} // namespace handsetctl
