// The row model against its rules, and against a naive recomputation of the
// rows from the expansion bits after random sequences of changes.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "alloc_sweep.h"
#include "load_text.h"
#include "view_checks.h"
#include "views/row_model.h"

namespace {

struct ModelReleaser {
    void operator()(RowModel* model) const { release_row_model(model); }
};
using ModelPtr = std::unique_ptr<RowModel, ModelReleaser>;

ModelPtr model_of(const DocumentPtr& doc) { return ModelPtr(create_row_model(doc.get())); }

std::vector<NodeId> rows_of(const RowModel* model) {
    std::vector<NodeId> rows;
    for (uint32_t row = 0; row < row_count(model); row++) rows.push_back(node_at_row(model, row));
    return rows;
}

// The rows as the expansion bits define them: a Node is a row when every
// ancestor has its bit set.
std::vector<NodeId> naive_rows(const RowModel* model) {
    const Document* doc = model->document;
    std::vector<NodeId> rows;
    for (NodeId id = 0; id < node_count(doc); id++) {
        bool visible = true;
        for (NodeId up = parent(doc, id); up != NO_NODE && visible; up = parent(doc, up)) {
            visible = is_expanded(model, up);
        }
        if (visible) rows.push_back(id);
    }
    return rows;
}

// Empty when the model keeps its invariants, else what is wrong.
std::string check_model(const RowModel* model) {
    if (rows_of(model) != naive_rows(model)) return "rows differ from the naive recomputation";
    uint32_t set = 0;
    for (NodeId id = 0; id < model->node_count; id++) {
        if (!is_expanded(model, id)) continue;
        set++;
        if (!is_expandable(model->document, id)) return "bit on a Node that cannot expand: " + std::to_string(id);
    }
    if (set != expanded_count(model)) return "expanded_count is stale";
    if (model->row_count > model->row_capacity) return "more rows than capacity";
    if (model->node_count && model->row_capacity > model->node_count) return "capacity beyond the node count";
    return "";
}

using Change = void (*)(RowModel* model, NodeId id);

TEST(RowModel, ChangesOfTheBitsAndTheRows) {
    // {"a":{"b":{"c":[1,2]},"d":[]},"e":"x"}
    //  0    1    2    3   4 5   6       7
    DocumentPtr doc = load_text(R"({"a":{"b":{"c":[1,2]},"d":[]},"e":"x"})");
    ModelPtr model = model_of(doc);
    const Change level = [](RowModel* m, NodeId levels) { expand_to_level(m, levels); };
    const Change all = [](RowModel* m, NodeId) { collapse_all(m); };
    struct Step { const char* what; Change change; NodeId id; const char* rows; uint32_t expanded; };
    const Step steps[] = {
        {"a hidden Node: only its bit", expand, 2, "0", 1},
        {"toggle the root", toggle, 0, "0 1 7", 2},
        {"toggle a: b kept its bit", toggle, 1, "0-3 6 7", 3},
        {"an expanded Node", expand, 0, "0-3 6 7", 3},
        {"the empty array", expand, 6, "0-3 6 7", 3},
        {"a string", expand, 7, "0-3 6 7", 3},
        {"past the end", expand, 99, "0-3 6 7", 3},
        {"collapse keeps the inner bits", collapse, 1, "0 1 7", 2},
        {"so they show again", expand, 1, "0-3 6 7", 3},
        {"collapse_subtree clears them", collapse_subtree, 1, "0 1 7", 1},
        {"as expanding again shows", expand, 1, "0-2 6 7", 2},
        {"expand_subtree: never the empty array", expand_subtree, 1, "0-7", 4},
        {"collapse_subtree of the root", collapse_subtree, 0, "0", 0},
        {"expand_subtree of a hidden Node: only bits", expand_subtree, 2, "0", 2},
        {"level 1", level, 1, "0 1 7", 1},
        {"level 2", level, 2, "0-2 6 7", 2},
        {"level 0", level, 0, "0", 0},
        {"collapse all leaves the root open", all, 0, "0 1 7", 1},
        {"reveal expands the ancestors only", reveal, 3, "0-3 6 7", 3},
        {"reveal past the end", reveal, 99, "0-3 6 7", 3},
    };
    EXPECT_EQ(ids_text(model->rows, row_count(model.get())), "0");
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.change(model.get(), step.id);
        EXPECT_EQ(ids_text(model->rows, row_count(model.get())), step.rows);
        EXPECT_EQ(expanded_count(model.get()), step.expanded);
        EXPECT_EQ(check_model(model.get()), "");
    }
    EXPECT_EQ(row_of_node(model.get(), 4), NO_NODE);
}

std::string array_of_numbers(uint32_t count) {
    std::string text = "[";
    for (uint32_t i = 0; i < count; i++) text += i ? ",[0]" : "[0]";
    return text + "]";
}

TEST(RowModel, InitialExpansionDependsOnTheNodeCount) {
    // [[0],[0],...]: 1 + 2 * items Nodes. 5000 Nodes need an odd count, so
    // add one scalar item: [[0],...,1].
    DocumentPtr small = load_text(array_of_numbers(2499).insert(1, "1,"));
    ASSERT_EQ(node_count(small.get()), 5000u);
    ModelPtr model = model_of(small);
    initial_expansion(model.get());
    EXPECT_EQ(row_count(model.get()), 5000u);
    DocumentPtr large = load_text(array_of_numbers(2500));
    ASSERT_EQ(node_count(large.get()), 5001u);
    model = model_of(large);
    initial_expansion(model.get());
    EXPECT_EQ(row_count(model.get()), 2501u);
    EXPECT_EQ(expanded_count(model.get()), 1u);
}

TEST(RowModel, ExpandAllIsTheIdentityAndCollapseShrinksTheArray) {
    DocumentPtr doc = load_text(array_of_numbers(3000));
    ModelPtr model = model_of(doc);
    expand_all(model.get());
    ASSERT_EQ(row_count(model.get()), node_count(doc.get()));
    for (uint32_t row = 0; row < row_count(model.get()); row++) ASSERT_EQ(node_at_row(model.get(), row), row);
    EXPECT_EQ(expanded_count(model.get()), 3001u);
    collapse(model.get(), 0);
    EXPECT_EQ(model->row_capacity, 1024u);  // one row left: the small size
    expand(model.get(), 0);
    EXPECT_EQ(model->row_capacity, 6001u);  // doubling from 1024 stops at the node count
    collapse_all(model.get());
    EXPECT_EQ(row_count(model.get()), 3001u);
    EXPECT_EQ(model->row_capacity, 6001u);  // half full: no shrink
    EXPECT_EQ(check_model(model.get()), "");
}

// A random JSON text of nested objects, arrays and scalars, empty containers
// included.
void random_value(std::mt19937& random, int depth, std::string* out) {
    uint32_t choice = random() % (depth > 5 ? 3 : 6);
    if (choice < 3) {
        *out += choice == 0 ? "1" : choice == 1 ? "\"s\"" : "null";
        return;
    }
    bool object = choice == 3;
    *out += object ? '{' : '[';
    uint32_t count = random() % 5;
    for (uint32_t i = 0; i < count; i++) {
        if (i) *out += ',';
        if (object) *out += "\"k\":";
        random_value(random, depth + 1, out);
    }
    *out += object ? '}' : ']';
}

TEST(RowModel, RandomChangesMatchTheNaiveRows) {
    std::mt19937 random(6);
    for (int round = 0; round < 60; round++) {
        std::string text;
        random_value(random, 0, &text);
        DocumentPtr doc = load_text(text);
        ModelPtr model = model_of(doc);
        uint32_t nodes = node_count(doc.get());
        for (int step = 0; step < 80; step++) {
            NodeId id = random() % (nodes + 1);  // sometimes one past the end
            switch (random() % 10) {
            case 0: case 1: expand(model.get(), id); break;
            case 2: collapse(model.get(), id); break;
            case 3: toggle(model.get(), id); break;
            case 4: expand_subtree(model.get(), id); break;
            case 5: collapse_subtree(model.get(), id); break;
            case 6: reveal(model.get(), id); break;
            case 7: expand_to_level(model.get(), random() % 5); break;
            case 8: if (random() % 4 == 0) expand_all(model.get()); break;
            default: if (random() % 4 == 0) collapse_all(model.get()); break;
            }
            ASSERT_EQ(check_model(model.get()), "") << text << " step " << step;
        }
    }
}

TEST(RowModel, AllocationFailuresLeaveASoundModel) {
    DocumentPtr doc = load_text(array_of_numbers(40));
    sweep_allocation_failures([&](uint64_t n) {
        RowModel* model = create_row_model(doc.get());
        if (!model) return;
        expand_to_level(model, 2);
        std::vector<NodeId> before = rows_of(model);
        expand_subtree(model, 0);
        expand(model, 0);
        expand_all(model);
        EXPECT_EQ(check_model(model), "") << "allocation " << n;
        if (row_count(model) != node_count(doc.get())) {
            // Growth failed somewhere: expand_to_level fell back to the root
            // alone, or the expansions changed nothing.
            EXPECT_TRUE(before.size() == 1 || rows_of(model) == before) << "allocation " << n;
        }
        release_row_model(model);
    });
}

}  // namespace
