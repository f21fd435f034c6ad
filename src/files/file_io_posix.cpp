// The file and system services on POSIX systems (the native build and the
// headless host).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "base/bounded_writer.h"
#include "base/case_fold.h"
#include "base/memory.h"
#include "base/text_builder.h"
#include "files/file_io.h"
#include "files/file_io_platform.h"

namespace platform_file {

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
    bool known = fstat(fd, &info) == 0;
    if (!known || S_ISDIR(info.st_mode)) {
        *os_error = known ? EISDIR : error_code();
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


bool same_path(const char* a, const char* b) { return equal_without_case(a, b); }

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

// Drops empty and "." components and lets ".." take the one before it away,
// from the text alone, as Windows resolves a full path: the file need not
// exist and links are not followed. The path starts with "/" and the result
// is never longer, so it is rewritten in place. Returns the new length.
size_t resolve_dots(char* path, size_t length) {
    bool final_slash = path[length - 1] == '/';  // a folder named so keeps it
    size_t kept = 0;
    for (size_t at = 0; at < length;) {
        while (at < length && path[at] == '/') at++;
        size_t start = at;
        while (at < length && path[at] != '/') at++;
        size_t name = at - start;
        if (name == 0 || (name == 1 && path[start] == '.')) continue;
        if (name == 2 && path[start] == '.' && path[start + 1] == '.') {
            while (kept > 0 && path[kept - 1] != '/') kept--;
            if (kept > 0) kept--;
            continue;
        }
        path[kept++] = '/';
        std::memmove(path + kept, path + start, name);
        kept += name;
    }
    if (kept == 0 || final_slash) path[kept++] = '/';
    return kept;
}

uint64_t absolute_path(const char* path, char* buffer, uint64_t size) {
    char folder[PATH_MAX];
    folder[0] = 0;
    if (path[0] != '/' && !getcwd(folder, sizeof folder)) return 0;
    size_t folder_length = std::strlen(folder), path_length = std::strlen(path);
    char* joined = mem_alloc_array<char>(folder_length + path_length + 2);
    if (!joined) return 0;
    std::memcpy(joined, folder, folder_length);
    joined[folder_length] = '/';
    std::memcpy(joined + folder_length + 1, path, path_length);
    size_t length = resolve_dots(joined, folder_length + 1 + path_length);
    BoundedWriter writer = bounded_writer(buffer, size);
    bw_append(&writer, reinterpret_cast<const uint8_t*>(joined), length);
    mem_free(joined);
    return writer.total;
}

FileHandle open_file(const char* path, uint64_t* size) {
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return NO_FILE;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return NO_FILE;
    }
    *size = static_cast<uint64_t>(info.st_size);
    return fd;
}

// Repeats a read or a write (`step` moves bytes from offset `done` on) until
// `length` bytes have moved, going on after interruptions and partial moves.
template <typename Step>
bool move_all(uint32_t length, Step step) {
    uint32_t done = 0;
    while (done < length) {
        ssize_t moved = step(done);
        if (moved < 0 && errno == EINTR) continue;
        if (moved <= 0) return false;
        done += static_cast<uint32_t>(moved);
    }
    return true;
}

bool read_all(FileHandle file, uint8_t* bytes, uint32_t length) {
    return move_all(length, [&](uint32_t done) { return read(descriptor(file), bytes + done, length - done); });
}

FileHandle create_file(const char* path) {
    int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return fd < 0 ? NO_FILE : fd;
}

bool write_all(FileHandle file, const uint8_t* bytes, uint32_t length) {
    return move_all(length, [&](uint32_t done) { return write(descriptor(file), bytes + done, length - done); });
}

bool flush(FileHandle file) { return fsync(descriptor(file)) == 0; }

// A failed close can be the first report of a failed write (on network file
// systems), so it counts.
bool close_file(FileHandle file) { return close(descriptor(file)) == 0; }

// The rename is made durable by syncing the folder that holds the names.
void sync_folder_of(const char* path) {
    const char* slash = std::strrchr(path, '/');
    uint64_t length = slash ? static_cast<uint64_t>(slash - path) : 0;
    char* folder = mem_alloc_array<char>(length + 2);
    if (!folder) return;
    if (slash == path) {
        std::memcpy(folder, "/", 2);
    } else if (slash) {
        std::memcpy(folder, path, length);
        folder[length] = 0;
    } else {
        std::memcpy(folder, ".", 2);
    }
    int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    mem_free(folder);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

bool replace(const char* from, const char* to) {
    if (rename(from, to) != 0) return false;
    // The file is replaced either way; a failure here only risks the old
    // name coming back after a crash.
    sync_folder_of(to);
    return true;
}

bool remove_file(const char* path) { return unlink(path) == 0; }

}  // namespace platform_file

const FileIo* file_io() { return file_io_table(); }
