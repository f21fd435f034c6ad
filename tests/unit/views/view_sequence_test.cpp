// One scripted session with a view state, as a user would drive it: keys,
// clicks, type-ahead against a clock, expansion levels, Back and Forward,
// Next problem wrapping around, Go to Path and breadcrumbs, and switching to
// the text view and back. After every step the selection, the rows and both
// history stacks are checked.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
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

struct Step {
    const char* what;
    std::function<uint32_t(ViewState*)> act;
    uint32_t result;
    NodeId selected;
    const char* rows;
    const char* back;
    const char* forward;
    uint32_t caret = NO_LINE;
};

uint32_t key(ViewState* v, uint32_t code, uint32_t modifiers = 0) { return navigate_key(v, code, modifiers, 4); }
uint32_t command(ViewState* v, uint32_t number) { return run_view_command(v, number); }
uint32_t go_to(ViewState* v, const char* path) {
    char message[128];
    return go_to_path(v, path, std::strlen(path), message, sizeof message);
}
uint32_t row_of(ViewState* v, NodeId id) { return row_of_node(v->row_model, id); }

TEST(ViewSequence, AScriptedSession) {
    DocumentPtr doc = load_text(SESSION);
    ViewPtr view = view_of(doc);
    ASSERT_TRUE(view);
    const char* all = "0-22";
    const char* records = "0 1 6 9 10 22";
    const Step steps[] = {
        {"opened three levels deep", [](ViewState*) { return 1u; }, 1, 0, all, "", ""},
        {"Level 1", [](ViewState* v) { return command(v, ViewCommand::Level1); }, 1, 0, records, "", ""},
        {"Down", [](ViewState* v) { return key(v, ViewKey::Down); }, 1, 1, records, "", ""},
        {"Right expands", [](ViewState* v) { return key(v, ViewKey::Right); }, 1, 1, "0-3 6 9 10 22", "", ""},
        {"Right enters", [](ViewState* v) { return key(v, ViewKey::Right); }, 1, 2, "0-3 6 9 10 22", "", ""},
        {"End", [](ViewState* v) { return key(v, ViewKey::End); }, 1, 22, "0-3 6 9 10 22", "", ""},
        {"Next problem wraps to the first", [](ViewState* v) { return command(v, ViewCommand::NextProblem); }, 1, 9,
         "0-3 6 9 10 22", "22", ""},
        {"Next problem", [](ViewState* v) { return command(v, ViewCommand::NextProblem); }, 1, 22, "0-3 6 9 10 22",
         "22 9", ""},
        {"chevron of record 4",
         [](ViewState* v) {
             click_row(v, row_of(v, 10), true, 0);
             return 1u;
         },
         1, 10, "0-3 6 9-22", "22 9", ""},
        {"type 1: item [1]", [](ViewState* v) { return type_ahead(v, '1', 1000); }, 1, 12, "0-3 6 9-22", "22 9", ""},
        {"type 0: item [10]", [](ViewState* v) { return type_ahead(v, '0', 1500); }, 1, 21, "0-3 6 9-22", "22 9", ""},
        {"pause, type 1: line 1", [](ViewState* v) { return type_ahead(v, '1', 3000); }, 1, 1, "0-3 6 9-22", "22 9",
         ""},
        {"type T: tags", [](ViewState* v) { return type_ahead(v, 'T', 5000); }, 1, 3, "0-3 6 9-22", "22 9", ""},
        {"type o within the pause: no key starts with to", [](ViewState* v) { return type_ahead(v, 'o', 5200); }, 0, 3,
         "0-3 6 9-22", "22 9", ""},
        {"Go to Path reveals", [](ViewState* v) { return go_to(v, "$[1].age"); }, 1, 8, "0-3 6-22", "22 9 3", ""},
        {"Back", [](ViewState* v) { return command(v, ViewCommand::Back); }, 1, 3, "0-3 6-22", "22 9", "8"},
        {"Back", [](ViewState* v) { return command(v, ViewCommand::Back); }, 1, 9, "0-3 6-22", "22", "8 3"},
        {"Forward", [](ViewState* v) { return command(v, ViewCommand::Forward); }, 1, 3, "0-3 6-22", "22 9", "8"},
        {"breadcrumb of the record",
         [](ViewState* v) {
             select_breadcrumb(v, 1);
             return 1u;
         },
         1, 1, "0-3 6-22", "22 9 3", ""},
        {"Forward has nothing", [](ViewState* v) { return command(v, ViewCommand::Forward); }, 0, 1, "0-3 6-22",
         "22 9 3", ""},
        {"Go to a deep item", [](ViewState* v) { return go_to(v, "/0/tags/1"); }, 1, 5, all, "22 9 3 1", ""},
        {"Go to a name", [](ViewState* v) { return go_to(v, "$[1].name"); }, 1, 7, all, "22 9 3 1 5", ""},
        {"Collapse All", [](ViewState* v) { return command(v, ViewCommand::CollapseAll); }, 1, 6, records, "22 9 3 1 5",
         ""},
        {"Expand All", [](ViewState* v) { return command(v, ViewCommand::ExpandAll); }, 1, 6, all, "22 9 3 1 5", ""},
        {"Level 2", [](ViewState* v) { return command(v, ViewCommand::Level1 + 1); }, 1, 6, "0-3 6-22", "22 9 3 1 5",
         ""},
        {"Back to the hidden item", [](ViewState* v) { return command(v, ViewCommand::Back); }, 1, 5, all, "22 9 3 1",
         "6"},
        {"text view",
         [](ViewState* v) {
             give_text_view(v, TEXT_PRETTY);
             return set_view_mode(v, VIEW_MODE_TEXT);
         },
         1, 5, all, "22 9 3 1", "6", 4},
        {"Up", [](ViewState* v) { return key(v, ViewKey::Up); }, 1, 4, all, "22 9 3 1", "6", 3},
        {"Page Down", [](ViewState* v) { return key(v, ViewKey::PageDown); }, 1, 6, all, "22 9 3 1", "6", 7},
        {"click a closing line",
         [](ViewState* v) {
             click_row(v, 24, false, 0);
             return 1u;
         },
         1, 10, all, "22 9 3 1", "6", 24},
        {"Next problem in the text", [](ViewState* v) { return command(v, ViewCommand::NextProblem); }, 1, 22, all,
         "22 9 3 1 10", "", 25},
        {"Back in the text", [](ViewState* v) { return command(v, ViewCommand::Back); }, 1, 10, all, "22 9 3 1", "22",
         12},
        {"Level 1 is for the tree", [](ViewState* v) { return command(v, ViewCommand::Level1); }, 0, 10, all,
         "22 9 3 1", "22", 12},
        {"type-ahead is for the tree", [](ViewState* v) { return type_ahead(v, 'n', 9000); }, 0, 10, all, "22 9 3 1",
         "22", 12},
        {"caret on a name, back to the tree",
         [](ViewState* v) {
             click_row(v, 8, false, 0);
             return set_view_mode(v, VIEW_MODE_TREE);
         },
         1, 7, all, "22 9 3 1", "22"},
        {"Level 1 hides the name", [](ViewState* v) { return command(v, ViewCommand::Level1); }, 1, 6, records,
         "22 9 3 1", "22"},
        {"the text again: caret on the record", [](ViewState* v) { return set_view_mode(v, VIEW_MODE_TEXT); }, 1, 6,
         records, "22 9 3 1", "22", 7},
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
