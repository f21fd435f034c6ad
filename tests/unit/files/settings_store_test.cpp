// The settings file on disk through the platform's file operations, with
// failures injected by replacing one operation.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "alloc_sweep.h"
#include "files/settings_store.h"
#include "load_text.h"
#include "settings_checks.h"

namespace {

const std::string SCRATCH = std::string(TARNWELL_TEST_TMP) + "/";
const FileIo* const REAL_IO = file_io();

void write_file(const std::string& path, const std::string& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

bool exists(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file) std::fclose(file);
    return file != nullptr;
}

struct Loaded {
    std::unique_ptr<Settings> settings = std::make_unique<Settings>();
    SettingsPath path;
};

std::unique_ptr<Loaded> load(const std::string& given) {
    auto loaded = std::make_unique<Loaded>();
    load_settings(loaded->settings.get(), &loaded->path, given.c_str(), REAL_IO);
    return loaded;
}

// A loaded record with a settings file of `old_text` and no temporary file.
std::unique_ptr<Loaded> with_file(const std::string& name, const std::string& old_text) {
    std::remove((SCRATCH + name + ".tmp").c_str());
    write_file(SCRATCH + name, old_text);
    auto loaded = load(SCRATCH + name);
    (void)add_recent(loaded->settings.get(), "C:\\Users\\Zoë\\ключ.json");
    return loaded;
}

TEST(SettingsStore, SavedFileLoadsBackWithNoTemporaryLeft) {
    std::string path = SCRATCH + "settings-round-trip.txt";
    auto loaded = with_file("settings-round-trip.txt", "theme=1\nwindow=1 2 800 600\n");
    EXPECT_EQ(loaded->settings->window[2], 800);
    loaded->settings->theme = THEME_LIGHT;
    ASSERT_TRUE(save_settings(loaded->settings.get(), &loaded->path, REAL_IO));
    EXPECT_EQ(read_file(path), formatted_settings(*loaded->settings));
    EXPECT_FALSE(exists(path + ".tmp"));
    EXPECT_TRUE(same_settings(*load(path)->settings, *loaded->settings));
}

TEST(SettingsStore, FailedSaveLeavesTheOldFile) {
    struct Case { const char* failing; void (*inject)(FileIo*); bool temporary_left; };
    const Case cases[] = {
        {"create", [](FileIo* io) { io->create_file = [](const char*) { return NO_FILE; }; }, false},
        {"write", [](FileIo* io) { io->write_all = [](FileHandle, const uint8_t*, uint32_t) { return false; }; },
         true},
        {"flush", [](FileIo* io) { io->flush = [](FileHandle) { return false; }; }, true},
        {"replace", [](FileIo* io) { io->replace = [](const char*, const char*) { return false; }; }, true},
    };
    std::string path = SCRATCH + "settings-interrupted.txt";
    for (const Case& c : cases) {
        auto loaded = with_file("settings-interrupted.txt", "theme=2\n");
        FileIo io = *REAL_IO;
        c.inject(&io);
        EXPECT_FALSE(save_settings(loaded->settings.get(), &loaded->path, &io)) << c.failing;
        EXPECT_EQ(read_file(path), "theme=2\n") << c.failing;
        EXPECT_EQ(exists(path + ".tmp"), c.temporary_left) << c.failing;
        // A flush that fails comes after a complete write.
        if (std::string(c.failing) == "flush") EXPECT_EQ(read_file(path + ".tmp"), formatted_settings(*loaded->settings));
    }
}

TEST(SettingsStore, OnlyFilesOfOneByteToUnderOneMebibyteAreRead) {
    std::string path = SCRATCH + "settings-sizes.txt";
    std::remove(path.c_str());
    std::string text = "theme=1\n";
    text.resize(SETTINGS_FILE_LIMIT - 1, '#');
    for (auto [content, theme] : {std::pair{std::string("-"), 0}, {"", 0}, {text, 1}, {text + "#", 0}}) {
        if (content != "-") write_file(path, content);
        EXPECT_EQ(load(path)->settings->theme, theme) << content.size();
    }
}

TEST(SettingsStore, ExhaustedMemoryKeepsWholeFilesOnly) {
    std::string path = SCRATCH + "settings-memory.txt";
    auto loaded = with_file("settings-memory.txt", "theme=2\n");
    std::string new_text = formatted_settings(*loaded->settings);
    sweep_allocation_failures([&](uint64_t) {
        write_file(path, "theme=2\n");
        bool saved = save_settings(loaded->settings.get(), &loaded->path, REAL_IO);
        EXPECT_EQ(read_file(path), saved ? new_text : "theme=2\n");
    });
    sweep_allocation_failures([&](uint64_t) {
        std::string text = formatted_settings(*load(path)->settings);
        EXPECT_TRUE(text == new_text || text == formatted_settings(*load("")->settings)) << text;
    });
}

TEST(SettingsStore, PathsThatDoNotFitAreNeverShortened) {
    char absolute[SETTINGS_PATH_SIZE];
    uint64_t prefix = REAL_IO->absolute_path(SCRATCH.c_str(), absolute, sizeof absolute);
    ASSERT_GT(prefix, 0u);
    ASSERT_LT(prefix, 200u);
    // Measured in UTF-16 units: a name of "é" has twice as many bytes and fits as well.
    for (const char* fill : {"a", "é"}) {
        std::string name;
        for (uint64_t units = prefix; units < SETTINGS_PATH_MAX_UNITS; units++) name += fill;
        EXPECT_EQ(load(SCRATCH + name)->path.text, std::string(absolute) + name) << fill;
        auto too_long = load(SCRATCH + name + "a");
        EXPECT_STREQ(too_long->path.text, "") << fill;
        EXPECT_FALSE(save_settings(too_long->settings.get(), &too_long->path, REAL_IO));
    }
    EXPECT_STREQ(load(SCRATCH + "\xFF.txt")->path.text, "");
    // A relative path is fixed at start, whatever the working folder becomes.
    std::string relative = "settings-relative.txt", fixed = load(relative)->path.text;
    EXPECT_GT(fixed.size(), relative.size());
    EXPECT_EQ(fixed.substr(fixed.size() - relative.size()), relative);
}

}  // namespace
