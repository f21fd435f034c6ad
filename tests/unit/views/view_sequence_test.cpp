// One scripted session with a view state, as a user would drive it: keys,
// clicks, type-ahead against a clock, expansion levels, Back and Forward,
// Next problem wrapping around, Go to Path and breadcrumbs, and switching to
// the text view and back. After every step the selection, the rows and both
// history stacks are checked.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "view_checks.h"

namespace {

// JSON Lines; NodeIds:
//   0 records
//   1 {"name":"ann","tags":["a","b"]}  2 name  3 tags  4 "a"  5 "b"
//   6 {"name":"bob","age":7}           7 name  8 age
//   9 Error (line 3)
//  10 [1..11] (line 4)                 11-21 its items 0-10
//  22 Error (line 5)
// Pretty text lines: 0 {1  1 name  2 tags  3 "a"  4 "b"  5 ]  6 }  7 {6  8 name
//   9 age  10 }  11 Error  12 [10  13-23 items  24 ]  25 Error.
const char SESSION[] =
    "{\"name\":\"ann\",\"tags\":[\"a\",\"b\"]}\n"
    "{\"name\":\"bob\",\"age\":7}\n"
    "{\"oops\":\n"
    "[1,2,3,4,5,6,7,8,9,10,11]\n"
    "nope\n";

using V = ViewState*;
struct Step {
    const char* what;
    uint32_t (*act)(V v);
    uint32_t result;
    NodeId selected;
    const char* rows;
    const char* back;
    const char* forward;
    uint32_t caret = NO_LINE;
};

uint32_t key(V v, uint32_t code) { return navigate_key(v, code, 0, 4); }
uint32_t command(V v, uint32_t number) { return run_view_command(v, number); }
uint32_t go_to(V v, const char* path) {
    char message[128];
    return go_to_path(v, path, std::strlen(path), message, sizeof message);
}
uint32_t click(V v, uint32_t row, bool chevron = false) {
    click_row(v, row, chevron, 0);
    return 1;
}

TEST(ViewSequence, AScriptedSession) {
    DocumentPtr doc = load_text(SESSION);
    ViewPtr view = view_of(doc);
    ASSERT_TRUE(view);
    const char* all = "0-22";
    const char* records = "0 1 6 9 10 22";
    const char* open1 = "0-3 6 9 10 22";  // record 1 open
    const char* open4 = "0-3 6 9-22";     // and record 4
    const char* open6 = "0-3 6-22";       // and record 6
    const Step steps[] = {
        {"opened three levels deep", [](V) { return 1u; }, 1, 0, all, "", ""},
        {"Level 1", [](V v) { return command(v, ViewCommand::Level1); }, 1, 0, records, "", ""},
        {"Down", [](V v) { return key(v, ViewKey::Down); }, 1, 1, records, "", ""},
        {"Right expands", [](V v) { return key(v, ViewKey::Right); }, 1, 1, open1, "", ""},
        {"Right enters", [](V v) { return key(v, ViewKey::Right); }, 1, 2, open1, "", ""},
        {"End", [](V v) { return key(v, ViewKey::End); }, 1, 22, open1, "", ""},
        {"Next problem wraps to the first", [](V v) { return command(v, ViewCommand::NextProblem); }, 1, 9, open1,
         "22", ""},
        {"Next problem", [](V v) { return command(v, ViewCommand::NextProblem); }, 1, 22, open1, "22 9", ""},
        {"chevron of record 4", [](V v) { return click(v, row_of_node(v->row_model, 10), true); }, 1, 10, open4,
         "22 9", ""},
        {"type 1: item [1]", [](V v) { return type_ahead(v, '1', 1000); }, 1, 12, open4, "22 9", ""},
        {"type 0: item [10]", [](V v) { return type_ahead(v, '0', 1500); }, 1, 21, open4, "22 9", ""},
        {"pause, type 1: line 1", [](V v) { return type_ahead(v, '1', 3000); }, 1, 1, open4, "22 9", ""},
        {"type T: tags", [](V v) { return type_ahead(v, 'T', 5000); }, 1, 3, open4, "22 9", ""},
        {"type o within the pause: no key starts with to", [](V v) { return type_ahead(v, 'o', 5200); }, 0, 3, open4,
         "22 9", ""},
        {"Go to Path reveals", [](V v) { return go_to(v, "$[1].age"); }, 1, 8, open6, "22 9 3", ""},
        {"Back", [](V v) { return command(v, ViewCommand::Back); }, 1, 3, open6, "22 9", "8"},
        {"Back", [](V v) { return command(v, ViewCommand::Back); }, 1, 9, open6, "22", "8 3"},
        {"Forward", [](V v) { return command(v, ViewCommand::Forward); }, 1, 3, open6, "22 9", "8"},
        {"breadcrumb of the record", [](V v) { select_breadcrumb(v, 1); return 1u; }, 1, 1, open6, "22 9 3", ""},
        {"Forward has nothing", [](V v) { return command(v, ViewCommand::Forward); }, 0, 1, open6, "22 9 3", ""},
        {"Go to a deep item", [](V v) { return go_to(v, "/0/tags/1"); }, 1, 5, all, "22 9 3 1", ""},
        {"Go to a name", [](V v) { return go_to(v, "$[1].name"); }, 1, 7, all, "22 9 3 1 5", ""},
        {"Collapse All", [](V v) { return command(v, ViewCommand::CollapseAll); }, 1, 6, records, "22 9 3 1 5", ""},
        {"Expand All", [](V v) { return command(v, ViewCommand::ExpandAll); }, 1, 6, all, "22 9 3 1 5", ""},
        {"Level 2", [](V v) { return command(v, ViewCommand::Level1 + 1); }, 1, 6, open6, "22 9 3 1 5", ""},
        {"Back to the hidden item", [](V v) { return command(v, ViewCommand::Back); }, 1, 5, all, "22 9 3 1", "6"},
        {"text view", [](V v) { give_text_view(v, TEXT_PRETTY); return set_view_mode(v, VIEW_MODE_TEXT); }, 1, 5, all,
         "22 9 3 1", "6", 4},
        {"Up", [](V v) { return key(v, ViewKey::Up); }, 1, 4, all, "22 9 3 1", "6", 3},
        {"Page Down", [](V v) { return key(v, ViewKey::PageDown); }, 1, 6, all, "22 9 3 1", "6", 7},
        {"click a closing line", [](V v) { return click(v, 24); }, 1, 10, all, "22 9 3 1", "6", 24},
        {"Next problem in the text", [](V v) { return command(v, ViewCommand::NextProblem); }, 1, 22, all,
         "22 9 3 1 10", "", 25},
        {"Back in the text", [](V v) { return command(v, ViewCommand::Back); }, 1, 10, all, "22 9 3 1", "22", 12},
        {"Level 1 is for the tree", [](V v) { return command(v, ViewCommand::Level1); }, 0, 10, all, "22 9 3 1", "22",
         12},
        {"type-ahead is for the tree", [](V v) { return type_ahead(v, 'n', 9000); }, 0, 10, all, "22 9 3 1", "22", 12},
        {"caret on a name, back to the tree", [](V v) { click(v, 8); return set_view_mode(v, VIEW_MODE_TREE); }, 1, 7,
         all, "22 9 3 1", "22"},
        {"Level 1 hides the name", [](V v) { return command(v, ViewCommand::Level1); }, 1, 6, records, "22 9 3 1",
         "22"},
        {"the text again: caret on the record", [](V v) { return set_view_mode(v, VIEW_MODE_TEXT); }, 1, 6, records,
         "22 9 3 1", "22", 7},
    };
    ViewState* v = view.get();
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        EXPECT_EQ(step.act(v), step.result);
        EXPECT_EQ(selected_node(v), step.selected);
        EXPECT_EQ(rows_text(v), step.rows);
        EXPECT_EQ(back_text(v), step.back);
        EXPECT_EQ(forward_text(v), step.forward);
        EXPECT_EQ(v->caret_line, step.caret);
        EXPECT_EQ(anchor_line(v), step.caret);
    }
}

}  // namespace
