// The row model against a naive recomputation of the rows from the expansion
// bits, after fixed and random sequences of changes.
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

// Empty when the model keeps its invariants, else what is wrong. A Node is a
// row when every ancestor has its bit set.
std::string check_model(const RowModel* model) {
    const Document* doc = model->document;
    std::vector<NodeId> naive;
    for (NodeId id = 0; id < node_count(doc); id++) {
        bool visible = true;
        for (NodeId up = parent(doc, id); up != NO_NODE && visible; up = parent(doc, up)) visible = is_expanded(model, up);
        if (visible) naive.push_back(id);
    }
    if (rows_of(model) != naive) return "rows differ from the naive recomputation";
    uint32_t set = 0;
    for (NodeId id = 0; id < model->node_count; id++) {
        if (!is_expanded(model, id)) continue;
        set++;
        if (!is_expandable(doc, id)) return "bit on a Node that cannot expand: " + std::to_string(id);
    }
    if (set != expanded_count(model)) return "expanded_count is stale";
    if (model->row_count > model->row_capacity) return "more rows than capacity";
    if (model->node_count && model->row_capacity > model->node_count) return "capacity beyond the node count";
    return "";
}

std::string array_of_arrays(uint32_t count) {
    std::string text = "[";
    for (uint32_t i = 0; i < count; i++) text += i ? ",[0]" : "[0]";
    return text + "]";
}

TEST(RowModel, InitialExpansionOpensUpTo5000Nodes) {
    // [[0],...]: 1 + 2 * items Nodes; one scalar item more makes 5000.
    DocumentPtr small = load_text(array_of_arrays(2499).insert(1, "1,"));
    ASSERT_EQ(node_count(small.get()), 5000u);
    ModelPtr model = model_of(small);
    initial_expansion(model.get());
    EXPECT_EQ(row_count(model.get()), 5000u);
    DocumentPtr large = load_text(array_of_arrays(2500));
    model = model_of(large);
    initial_expansion(model.get());
    EXPECT_EQ(row_count(model.get()), 2501u);
    EXPECT_EQ(expanded_count(model.get()), 1u);
}

// A random JSON text of nested containers, empty ones included, and scalars.
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
    DocumentPtr doc = load_text(array_of_arrays(40));
    sweep_allocation_failures([&](uint64_t n) {
        RowModel* model = create_row_model(doc.get());
        if (!model) return;
        expand_to_level(model, 2);
        std::vector<NodeId> before = rows_of(model);
        expand_subtree(model, 0);
        expand(model, 0);
        expand_all(model);
        EXPECT_EQ(check_model(model), "") << "allocation " << n;
        // A failed growth: expand_to_level fell back to the root alone, or
        // the expansions changed nothing.
        if (row_count(model) != node_count(doc.get()))
            EXPECT_TRUE(before.size() == 1 || rows_of(model) == before) << "allocation " << n;
        release_row_model(model);
    });
}

}  // namespace
