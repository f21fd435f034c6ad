// The platform services on POSIX systems (the native build and the headless
// host).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "app/platform_io.h"
#include "base/text_builder.h"
#include "files/settings_io.h"

namespace {

// FILETIME counts 100 ns units from 1601; the Unix epoch lies this many later.
constexpr uint64_t UNIX_EPOCH_IN_FILETIME = 116444736000000000ull;

int descriptor(FileHandle file) { return static_cast<int>(file); }

uint32_t error_code() { return static_cast<uint32_t>(errno); }

bool attribute_size(const char* path, uint64_t* size) {
    struct stat info;
    if (stat(path, &info) != 0 || !S_ISREG(info.st_mode)) return false;
    *size = static_cast<uint64_t>(info.st_size);
    return true;
}

FileHandle open_for_reading(const char* path, uint32_t* os_error) {
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *os_error = error_code();
        return NO_FILE;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        *os_error = S_ISDIR(info.st_mode) ? EISDIR : error_code();
        close(fd);
        return NO_FILE;
    }
    posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return fd;
}

FileIdentity identity_of(const struct stat& info) {
    uint64_t inode = static_cast<uint64_t>(info.st_ino);
    uint64_t size = static_cast<uint64_t>(info.st_size);
    FileIdentity identity{};
    identity.valid = 1;
    identity.volume_serial = static_cast<uint32_t>(info.st_dev);
    identity.index_high = static_cast<uint32_t>(inode >> 32);
    identity.index_low = static_cast<uint32_t>(inode);
    identity.size_high = static_cast<uint32_t>(size >> 32);
    identity.size_low = static_cast<uint32_t>(size);
    identity.last_write_time = UNIX_EPOCH_IN_FILETIME + static_cast<uint64_t>(info.st_mtim.tv_sec) * 10000000ull +
                               static_cast<uint64_t>(info.st_mtim.tv_nsec) / 100;
    return identity;
}

bool identity(FileHandle file, FileIdentity* identity) {
    struct stat info;
    if (fstat(descriptor(file), &info) != 0) return false;
    *identity = identity_of(info);
    return true;
}

FileIdentity file_identity_of_path(const char* path) {
    struct stat info;
    return stat(path, &info) == 0 ? identity_of(info) : FileIdentity{};
}

bool size(FileHandle file, uint64_t* size, uint32_t* os_error) {
    struct stat info;
    if (fstat(descriptor(file), &info) != 0) {
        *os_error = error_code();
        return false;
    }
    *size = static_cast<uint64_t>(info.st_size);
    return true;
}

bool read_chunk(FileHandle file, uint8_t* bytes, uint32_t capacity, uint32_t* read_count, uint32_t* os_error) {
    for (;;) {
        ssize_t got = read(descriptor(file), bytes, capacity);
        if (got >= 0) {
            *read_count = static_cast<uint32_t>(got);
            return true;
        }
        if (errno != EINTR) {
            *os_error = error_code();
            return false;
        }
    }
}

void close_file(FileHandle file) { close(descriptor(file)); }

uint64_t total_memory() {
    auto pages = sysconf(_SC_PHYS_PAGES);
    auto page_size = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || page_size <= 0) return 0;
    return static_cast<uint64_t>(pages) * static_cast<uint64_t>(page_size);
}

uint64_t error_text(uint32_t os_error, char* buffer, uint64_t size) {
    const char* text = std::strerror(static_cast<int>(os_error));
    return copy_out(text, std::strlen(text), buffer, size);
}

}  // namespace

const PlatformIo* platform_io() {
    static const PlatformIo io = {
        platform_settings_io()->absolute_path,
        attribute_size,
        open_for_reading,
        identity,
        file_identity_of_path,
        size,
        read_chunk,
        close_file,
        total_memory,
        error_text,
    };
    return &io;
}
