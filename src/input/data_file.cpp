#include "input/data_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

std::FILE* openDataFile(const char* name, const char* mode, bool* present) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(name, error);
    if (present) *present = status.type() != fs::file_type::not_found;
    if (status.type() == fs::file_type::not_found) return nullptr;
    if (error) {
        reportDataFile(name, "cannot be examined (" + error.message() + "); going on without it");
        return nullptr;
    }
    if (status.type() != fs::file_type::regular) {
        reportDataFile(name, "is not a regular file; going on without it");
        return nullptr;
    }
    std::FILE* file = std::fopen(name, mode);
    if (!file)
        reportDataFile(name, std::string("cannot be opened (") + std::strerror(errno) + "); going on without it");
    return file;
}

// One call, so the line reaches the unbuffered stream in one piece.
void reportDataFile(const char* name, const std::string& problem) {
    std::fprintf(stderr, "vortelan: %s: %s\n", name, problem.c_str());
}
