// What the list hears about a changed selection: whether to centre it, and
// whether the ViewState it shows is a new one.
#include <gtest/gtest.h>

#include <functional>

#include "app/commands.h"
#include "app/list_scroll.h"
#include "test_host.h"
#include "views/view_state.h"

namespace {

TEST(ListNotices, JumpsCentreAndANewDocumentStartsAgain) {
    TestHost host;
    DocWindow* window = host.open_text("{\"a\":{\"b\":{\"c\":1}},\"d\":[1,{\"e\":2}]}");
    EXPECT_EQ(host.notices[window] & (Notice::NewView | Notice::CentreSelection),
              Notice::NewView | Notice::CentreSelection);

    struct Step {
        const char* name;
        std::function<void()> run;
        uint32_t expected;  // of List, CentreSelection and NewView
    };
    const uint32_t JUMP = Notice::List | Notice::CentreSelection;
    const Step steps[] = {
        {"go to a path", [&] { submit_go_to_path(window, "$.d", 3); }, JUMP},
        {"a path that is not there", [&] { submit_go_to_path(window, "$.x", 3); }, 0},
        {"collapse the subtree", [&] { run_command(window, CommandId::CollapseSubtree); }, JUMP},
        {"collapse all", [&] { run_command(window, CommandId::CollapseAll); }, JUMP},
        {"back", [&] { run_command(window, CommandId::Back); }, JUMP},
        {"text view", [&] { run_command(window, CommandId::Text); host.pump(); }, JUMP},
        {"tree view", [&] { run_command(window, CommandId::Tree); }, JUMP},
    };
    for (const Step& step : steps) {
        host.notices.clear();
        step.run();
        EXPECT_EQ(host.notices[window] & (Notice::List | Notice::CentreSelection | Notice::NewView), step.expected)
            << step.name;
    }
}

TEST(ListNotices, PlainMovementKeysScrollByOneAndTheOthersCentre) {
    struct Case {
        uint32_t key, modifiers;
        bool centre;
    };
    const Case cases[] = {
        {ViewKey::Up, 0, false},
        {ViewKey::End, KeyModifier::Ctrl | KeyModifier::Shift, false},
        {ViewKey::PageDown, KeyModifier::Shift, false},
        {ViewKey::Up, KeyModifier::Alt, true},
        {ViewKey::Right, KeyModifier::Alt, true},
        {ViewKey::Space, 0, true},
        {ViewKey::Enter, 0, true},
    };
    for (const Case& c : cases) EXPECT_EQ(centre_after_view_key(c.key, c.modifiers), c.centre) << c.key;
}

}  // namespace
