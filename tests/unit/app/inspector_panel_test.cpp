#include "app/inspector_panel.h"

#include <gtest/gtest.h>

#include <string>

#include "app/commands.h"
#include "app/doc_window.h"
#include "base/memory.h"
#include "test_host.h"
#include "views/view_state.h"

namespace {

std::string edit_text(const std::string& text) {
    uint64_t length = inspector_edit_text(text.data(), text.size(), nullptr, 0);
    std::string out(length, '?');
    EXPECT_EQ(inspector_edit_text(text.data(), text.size(), out.data(), length + 1), length);
    char small[4];
    EXPECT_EQ(inspector_edit_text(text.data(), text.size(), small, sizeof small), length);
    return out;
}

TEST(InspectorPanel, EditTextEndsLinesWithCrLfAndShowsZeroBytes) {
    EXPECT_EQ(edit_text("a\nb\r\nc\n"), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(edit_text("\n\n"), "\r\n\r\n");
    EXPECT_EQ(edit_text(std::string("x\0y", 3)), "x\xE2\x90\x80y");
    EXPECT_EQ(edit_text(std::string("\0\n", 2)), "\xE2\x90\x80\r\n");
    EXPECT_EQ(edit_text(""), "");
}

// Returns the update and frees the text, which is checked when `wanted` is given.
InspectorUpdate update(DocWindow* window, bool force, const char* wanted = nullptr) {
    char* text = nullptr;
    uint64_t length = 0;
    InspectorUpdate result = update_inspector(window, force, &text, &length);
    if (wanted) EXPECT_EQ(std::string(text ? text : "", length), wanted);
    mem_free(text);
    return result;
}

TEST(InspectorPanel, TextIsMadeAgainOnlyWhenSomethingChanged) {
    TestHost host;
    DocWindow* window = host.open_text("{\"a\": 1}");
    ASSERT_TRUE(window && window->view);
    EXPECT_EQ(update(window, false), InspectorUpdate::Keep);  // hidden
    window->inspector_shown = 1;
    EXPECT_EQ(update(window, false, "object · 1 key · 8 bytes\r\n$\r\n\r\n{\r\n  \"a\": 1\r\n}"), InspectorUpdate::SetText);
    EXPECT_EQ(update(window, false), InspectorUpdate::Keep);
    EXPECT_EQ(update(window, true), InspectorUpdate::SetText);
    host.app.settings.path_style = 1;
    EXPECT_EQ(update(window, false, "object · 1 key · 8 bytes\r\n.\r\n\r\n{\r\n  \"a\": 1\r\n}"), InspectorUpdate::SetText);
    select_node(window->view, 1, true);
    EXPECT_EQ(update(window, false, "number · 1 byte\r\n.a\r\n\r\n1"), InspectorUpdate::SetText);
    // Hidden, then shown on the same node: made again, as a reload may have
    // replaced the Document meanwhile.
    window->inspector_shown = 0;
    EXPECT_EQ(update(window, true), InspectorUpdate::Keep);
    window->inspector_shown = 1;
    EXPECT_EQ(update(window, false), InspectorUpdate::SetText);
}

TEST(InspectorPanel, ShowingAndSizingItAreKeptForNewWindows) {
    TestHost host;
    DocWindow* window = host.open_text("[1]");
    ASSERT_TRUE(window);
    run_command(window, CommandId::Inspector);
    EXPECT_EQ(host.app.settings.inspector, 1);
    window->inspector_width = 512;  // dragged
    keep_inspector_width(window);
    EXPECT_EQ(host.app.settings.inspector_width, 512);
    EXPECT_EQ(host.saves_scheduled, 2u);
    DocWindow* start = create_doc_window(&host.app, true);
    ASSERT_TRUE(start);
    EXPECT_EQ(start->inspector_shown, 1);
    EXPECT_EQ(start->inspector_width, 512);
    run_command(start, CommandId::Inspector);  // not on the start page
    EXPECT_EQ(start->inspector_shown, 1);
    EXPECT_EQ(host.saves_scheduled, 2u);
}

}  // namespace
