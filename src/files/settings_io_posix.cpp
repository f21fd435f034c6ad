// The settings file operations on POSIX systems (the native build).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "base/memory.h"
#include "core/document.h"
#include "files/settings_io.h"

namespace {

int descriptor(SettingsFileHandle file) { return static_cast<int>(file); }

void put(BoundedWriter* writer, const char* text) {
    bw_append(writer, reinterpret_cast<const uint8_t*>(text), std::strlen(text));
}

uint64_t absolute_path(const char* path, char* buffer, uint64_t size) {
    BoundedWriter writer = bounded_writer(buffer, size);
    if (path[0] != '/') {
        char folder[PATH_MAX];
        if (!getcwd(folder, sizeof folder)) return 0;
        put(&writer, folder);
        if (std::strcmp(folder, "/") != 0) put(&writer, "/");
    }
    put(&writer, path);
    return writer.total;
}

SettingsFileHandle open_file(const char* path, uint64_t* size) {
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return SETTINGS_NO_FILE;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return SETTINGS_NO_FILE;
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

bool read_all(SettingsFileHandle file, uint8_t* bytes, uint32_t length) {
    return move_all(length, [&](uint32_t done) { return read(descriptor(file), bytes + done, length - done); });
}

SettingsFileHandle create_file(const char* path) {
    int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return fd < 0 ? SETTINGS_NO_FILE : fd;
}

bool write_all(SettingsFileHandle file, const uint8_t* bytes, uint32_t length) {
    return move_all(length, [&](uint32_t done) { return write(descriptor(file), bytes + done, length - done); });
}

bool flush(SettingsFileHandle file) { return fsync(descriptor(file)) == 0; }

// A failed close can be the first report of a failed write (on network file
// systems), so it counts.
bool close_file(SettingsFileHandle file) { return close(descriptor(file)) == 0; }

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

const SettingsIo POSIX_IO = {absolute_path, open_file, read_all, create_file, write_all, flush, close_file, replace};

}  // namespace

const SettingsIo* platform_settings_io() { return &POSIX_IO; }
