// Tests reach the shared data (conformance suites, benchmark inputs) through
// the absolute Unix path fixed at build time. The Windows build run under Wine
// must open the same path (Wine maps the Unix root to drive Z:).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace {

TEST(SharedData, OpensByTheBuildTimePath) {
#ifndef TARNWELL_SHARED_DIR_PRESENT
    GTEST_SKIP() << "no shared data at " TARNWELL_SHARED_DIR;
#else
    const char* path = TARNWELL_SHARED_DIR "/conformance/JSONTestSuite/README.md";
    std::FILE* file = std::fopen(path, "rb");
    ASSERT_NE(file, nullptr) << path;
    char start[64] = {};
    size_t read = std::fread(start, 1, sizeof start - 1, file);
    std::fclose(file);
    EXPECT_GT(read, 0u);
    EXPECT_NE(std::strstr(start, "JSON"), nullptr) << start;
#endif
}

}  // namespace
