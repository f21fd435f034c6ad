// What the list hears about a moved selection: whether to centre it, and
// whether the ViewState it shows is a new one.
#include <gtest/gtest.h>

#include "app/commands.h"
#include "app/list_scroll.h"
#include "test_host.h"
#include "views/view_state.h"

namespace {

TEST(ListNotices, JumpsCentreAndANewDocumentStartsAgain) {
    TestHost host;
    DocWindow* window = host.open_text("{\"a\":{\"b\":{\"c\":1}},\"d\":[1,{\"e\":2}]}");
    const uint32_t bits = Notice::List | Notice::CentreSelection | Notice::NewView;
    EXPECT_EQ(host.notices[window] & bits, bits);
    const uint32_t JUMP = Notice::List | Notice::CentreSelection;
    const std::pair<const char*, uint32_t> steps[] = {{"$.d", JUMP}, {"$.x", 0}};
    for (const auto& [path, expected] : steps) {
        host.notices.clear();
        submit_go_to_path(window, path, 3);
        EXPECT_EQ(host.notices[window] & bits, expected) << path;
    }
    for (uint32_t id : {CommandId::CollapseAll, CommandId::Back, CommandId::Text, CommandId::Tree}) {
        host.notices.clear();
        run_command(window, id);
        host.pump();  // the text view is built by a Job
        EXPECT_EQ(host.notices[window] & bits, JUMP) << id;
    }

    EXPECT_FALSE(centre_after_view_key(ViewKey::End, KeyModifier::Ctrl | KeyModifier::Shift));
    EXPECT_TRUE(centre_after_view_key(ViewKey::Up, KeyModifier::Alt));
    EXPECT_TRUE(centre_after_view_key(ViewKey::Enter, 0));
}

}  // namespace
