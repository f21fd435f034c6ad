#include "app/handoff.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "alloc_sweep.h"
#include "base/memory.h"

namespace {

std::string le_bytes(const std::u16string& units) {
    std::string bytes;
    for (char16_t unit : units) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

std::vector<std::string> parsed(const std::string& bytes, HandoffStatus expected = HandoffStatus::Ok,
                                uint64_t magic = HANDOFF_MAGIC) {
    HandoffPaths paths;
    EXPECT_EQ(parse_handoff(magic, bytes.data(), bytes.size(), &paths), expected);
    std::vector<std::string> result(paths.paths, paths.paths + paths.count);
    release_handoff_paths(&paths);
    return result;
}

TEST(Handoff, PathsTravelAsUtf16AndComeBackUnchanged) {
    const char* paths[] = {"C:\\data\\a.json", "D:\\Daten\\\xC3\xA4pfel \xE2\x82\xAC.json", "C:\\\xF0\x9F\x98\x80.jsonl"};
    uint8_t* data = nullptr;
    uint32_t size = 0;
    ASSERT_TRUE(build_handoff(paths, 3, &data, &size));
    std::string bytes(reinterpret_cast<char*>(data), size);
    mem_free(data);
    EXPECT_EQ(bytes, le_bytes(u"C:\\data\\a.json") + std::string(2, '\0') + le_bytes(u"D:\\Daten\\äpfel €.json") +
                         std::string(2, '\0') + le_bytes(u"C:\\\U0001F600.jsonl") + std::string(2, '\0'));
    EXPECT_EQ(parsed(bytes), std::vector<std::string>(paths, paths + 3));

    // No files: an empty block, which asks for a start page.
    ASSERT_TRUE(build_handoff(nullptr, 0, &data, &size));
    EXPECT_EQ(size, 0u);
    mem_free(data);
    HandoffPaths none;
    EXPECT_EQ(parse_handoff(HANDOFF_MAGIC, nullptr, 0, &none), HandoffStatus::Ok);
    EXPECT_EQ(none.count, 0u);
    release_handoff_paths(&none);

    // A path that is not UTF-8 is not sent.
    const char* bad[] = {"C:\\\xC3("};
    EXPECT_FALSE(build_handoff(bad, 1, &data, &size));
}

TEST(Handoff, ReceivedBlocksAreCheckedBeforeAnythingOpens) {
    const std::string nul(2, '\0');
    const std::string good = le_bytes(u"C:\\a.json") + nul;
    struct Case {
        const char* name;
        std::string bytes;
        uint64_t magic;
        HandoffStatus status;
        std::vector<std::string> paths;
    };
    const Case cases[] = {
        {"wrong magic", good, 0x54524E32, HandoffStatus::Rejected, {}},
        {"odd byte count", good + "x", HANDOFF_MAGIC, HandoffStatus::Rejected, {}},
        {"lone high surrogate", le_bytes(u"C:\\") + le_bytes({0xD800}) + nul, HANDOFF_MAGIC, HandoffStatus::Rejected, {}},
        {"lone low surrogate", le_bytes({0xDC00}) + nul + good, HANDOFF_MAGIC, HandoffStatus::Rejected, {}},
        {"high surrogate at the end of a piece", le_bytes({0xD83D}) + nul, HANDOFF_MAGIC, HandoffStatus::Rejected, {}},
        {"last piece without its NUL", good + le_bytes(u"C:\\b.json"), HANDOFF_MAGIC, HandoffStatus::Ok, {"C:\\a.json"}},
        {"empty pieces", nul + good + nul + nul, HANDOFF_MAGIC, HandoffStatus::Ok, {"C:\\a.json"}},
    };
    for (const Case& c : cases) EXPECT_EQ(parsed(c.bytes, c.status, c.magic), c.paths) << c.name;

    HandoffPaths paths;
    EXPECT_EQ(parse_handoff(HANDOFF_MAGIC, nullptr, 4, &paths), HandoffStatus::Rejected);
    release_handoff_paths(&paths);

    // Exactly the given bytes are read: the block sits at the end of its
    // allocation, so a read past it shows under the address sanitizer.
    std::string tail = good + le_bytes(u"C:\\b");
    std::vector<char> exact(tail.begin(), tail.end());
    EXPECT_EQ(parse_handoff(HANDOFF_MAGIC, exact.data(), exact.size(), &paths), HandoffStatus::Ok);
    EXPECT_EQ(paths.count, 1u);
    release_handoff_paths(&paths);
}

TEST(Handoff, ExhaustedMemoryLeaksNothing) {
    const std::string bytes = le_bytes(u"C:\\a.json") + std::string(2, '\0') + le_bytes(u"C:\\b.json") +
                              std::string(2, '\0');
    uint64_t allocations = sweep_allocation_failures([&](uint64_t) {
        HandoffPaths paths;
        HandoffStatus status = parse_handoff(HANDOFF_MAGIC, bytes.data(), bytes.size(), &paths);
        EXPECT_TRUE(status == HandoffStatus::Ok || status == HandoffStatus::OutOfMemory);
        if (status == HandoffStatus::Ok) EXPECT_EQ(paths.count, 2u);
        release_handoff_paths(&paths);
    });
    EXPECT_EQ(allocations, 3u);  // the list and two paths
}

}  // namespace
