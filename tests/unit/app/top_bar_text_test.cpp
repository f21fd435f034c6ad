#include "app/top_bar_text.h"

#include <gtest/gtest.h>

#include <string>

#include "base/utf8.h"
#include "test_host.h"

namespace {

TEST(TopBarText, ALongBreadcrumbIsCutWholeCharactersAndEndsInAnEllipsis) {
    std::string key;
    for (int i = 0; i < 300; i++) key += "\xC3\xA9";  // é, two bytes each
    TestHost host;
    DocWindow* window = host.open_text("{\"" + key + "\": 1}");
    const std::string path = "$[\"" + key + "\"]";
    ASSERT_TRUE(submit_go_to_path(window, path.data(), path.size()));

    char label[CRUMB_LABEL_SIZE];
    EXPECT_EQ(crumb_label(window->view, 0, label), 4u);
    EXPECT_STREQ(label, "root");
    const uint32_t length = crumb_label(window->view, 1, label);
    EXPECT_EQ(length, 254u + 3u);
    EXPECT_TRUE(utf8_is_valid(reinterpret_cast<const uint8_t*>(label), length));
    EXPECT_EQ(std::string(label).substr(length - 3), "\xE2\x80\xA6");
}

TEST(TopBarText, ScopeLabels) {
    EXPECT_STREQ(search_scope_label(1), "Keys");
    EXPECT_STREQ(search_scope_label(2), "Values");
    EXPECT_STREQ(search_scope_label(3), "All");
}

}  // namespace
