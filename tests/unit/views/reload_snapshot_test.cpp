// Carrying a view over a reload: Nodes that vanish for one version, text
// positions on a shorter text, and wide objects through the hash index while
// memory runs out in capturing or restoring.
#include <gtest/gtest.h>

#include <string>

#include "alloc_sweep.h"
#include "view_checks.h"
#include "views/reload_snapshot.h"

namespace {

ViewPtr reload(const ViewState* old, const DocumentPtr& doc, uint32_t top_row = 0, uint32_t* new_top = nullptr) {
    ReloadSnapshot* snapshot = capture_snapshot(old, top_row);
    uint32_t top = 0;
    ViewState* view = snapshot ? restore_snapshot(doc.get(), snapshot, &top) : nullptr;
    release_snapshot(snapshot);
    if (new_top) *new_top = top;
    return ViewPtr(view);
}

std::string selected_path(const ViewState* view) {
    return measured_text([&](char* buffer, size_t size) {
        return static_cast<size_t>(copy_selection_path(view, PathStyle::JsonPath, buffer, size));
    });
}

NodeId node_at_path(const DocumentPtr& doc, const char* path) {
    ViewPtr view = view_of(doc, false);
    char message[128];
    EXPECT_EQ(go_to_path(view.get(), path, std::strlen(path), message, sizeof message), 1u) << path;
    return selected_node(view.get());
}

// {"k0": {"v": 0}, ..., "k39": {"v": 39}}, members in the given order, with
// k20's key written with an escape in the reversed version.
std::string wide_object(bool reversed) {
    std::string text = "{";
    for (int n = 0; n < 40; n++) {
        int i = reversed ? 39 - n : n;
        std::string key = reversed && i == 20 ? "k\\u00320" : "k" + std::to_string(i);
        text += (n ? ", \"" : "\"") + key + "\": {\"v\": " + std::to_string(i) + "}";
    }
    return text + "}";
}

// A selection and an expansion that vanish come back with the Node, unless
// the user has moved the selection in between.
TEST(ReloadSnapshot, VanishedNodesReturnOnTheNextReload) {
    DocumentPtr full = load_text(R"({"a": {"b": [1, 2]}, "c": [3]})");
    DocumentPtr without_a = load_text(R"({"c": [3, 4]})");
    ViewPtr old = view_of(full);
    collapse(old->row_model, node_at_path(full, "$.c"));
    select_node(old.get(), node_at_path(full, "$.a.b[1]"), true);

    ViewPtr gone = reload(old.get(), without_a);
    ASSERT_TRUE(gone);
    EXPECT_EQ(selected_path(gone.get()), "$");
    EXPECT_EQ(gone->selection_pending, 1);
    EXPECT_EQ(gone->pending_expanded, 2u);  // a and a.b
    EXPECT_FALSE(is_expanded(gone->row_model, node_at_path(without_a, "$.c")));

    ViewPtr back = reload(gone.get(), full);
    ASSERT_TRUE(back);
    EXPECT_EQ(selected_path(back.get()), "$.a.b[1]");
    EXPECT_TRUE(is_expanded(back->row_model, node_at_path(full, "$.a.b")));
    EXPECT_FALSE(is_expanded(back->row_model, node_at_path(full, "$.c")));
    EXPECT_EQ(back->pending_snapshot, nullptr);

    ViewPtr moved = reload(old.get(), without_a);
    select_node(moved.get(), node_at_path(without_a, "$.c"), true);
    ViewPtr kept = reload(moved.get(), full);
    EXPECT_EQ(selected_path(kept.get()), "$.c");
    EXPECT_TRUE(is_expanded(kept->row_model, node_at_path(full, "$.a.b")));
}

// The top row follows its Node to its new row, or to its nearest ancestor
// that is a row when it has gone.
TEST(ReloadSnapshot, TopRowFollowsItsNode) {
    DocumentPtr before = load_text(R"({"x": [1], "y": [2], "z": [3]})");
    DocumentPtr inserted = load_text(R"({"w": 0, "x": [1], "y": [2], "z": [3]})");
    DocumentPtr nested = load_text(R"({"y": {"x": [1]}})");
    ViewPtr old = view_of(before);
    uint32_t top = 0;
    ViewPtr moved = reload(old.get(), inserted, 3, &top);  // row 3 is y
    EXPECT_EQ(top, 4u);
    EXPECT_EQ(node_at_row(moved->row_model, top), node_at_path(inserted, "$.y"));
    ViewPtr gone = reload(old.get(), nested, 5, &top);  // row 5 is z
    EXPECT_EQ(top, 0u);
    EXPECT_EQ(gone->top_row_pending, 1);
}

std::string number_lines(int count) {
    std::string text = "[\n";
    for (int i = 1; i <= count; i++) text += std::to_string(i) + (i < count ? ",\n" : "\n");
    return text + "]";
}

ViewPtr with_text_view(const DocumentPtr& doc) {
    ViewPtr view = view_of(doc);
    set_text_view(view.get(), build_text_view(doc.get(), TEXT_SOURCE, nullptr, nullptr));
    EXPECT_EQ(set_view_mode(view.get(), VIEW_MODE_TEXT), 1u);
    return view;
}

// The caret on the closing bracket is off the selection's line: it keeps its
// line, clamped to the shorter text, and so do the anchor and the top line.
TEST(ReloadSnapshot, TextPositionsClampedToTheNewText) {
    DocumentPtr long_doc = load_text(number_lines(50));
    DocumentPtr short_doc = load_text(number_lines(2));
    ViewPtr old = with_text_view(long_doc);
    click_row(old.get(), 30, false, 0);
    click_row(old.get(), 51, false, KeyModifier::Shift);
    ASSERT_EQ(selected_node(old.get()), 0u);

    uint32_t top = 0;
    ViewPtr view = reload(old.get(), short_doc, 40, &top);
    ASSERT_TRUE(view);
    EXPECT_EQ(view_mode(view.get()), VIEW_MODE_TEXT);
    EXPECT_EQ(text_line_count(view->text_view), 4u);
    EXPECT_EQ(selected_row(view.get()), 3u);
    EXPECT_EQ(anchor_line(view.get()), 3u);
    EXPECT_EQ(top, 3u);
}

// Everything a snapshot can hold: a text view, and a selection and expanded
// members of a wide object still pending from the reload before, to be found
// in the reversed object through the hash index (k20 by its decoded key).
struct SweepCase {
    DocumentPtr old_doc = load_text(wide_object(false));
    DocumentPtr gone_doc = load_text(R"({"k1": {"v": 1}})");
    DocumentPtr new_doc = load_text(wide_object(true));
    ViewPtr old;

    SweepCase() {
        ViewPtr first = with_text_view(old_doc);
        set_view_mode(first.get(), VIEW_MODE_TREE);
        expand_to_level(first->row_model, 1);
        for (const char* path : {"$.k5", "$.k20", "$.k33"}) expand(first->row_model, node_at_path(old_doc, path));
        select_node(first.get(), node_at_path(old_doc, "$.k20.v"), true);
        old = reload(first.get(), gone_doc);
    }
};

std::string describe(const ReloadSnapshot* s) {
    if (!s) return "none";
    std::string text = std::to_string(s->entry_count) + " entries, keys " +
                       std::string(reinterpret_cast<const char*>(s->key_pool), s->key_pool_length);
    for (uint32_t i = 0; i < s->entry_count; i++) {
        const NodeLocator& e = s->entries[i];
        text += " " + std::to_string(e.parent) + "/" + std::to_string(e.index) + (e.expanded ? "+" : "");
    }
    return text + " selected " + std::to_string(s->selected_entry);
}

std::string describe(const ViewState* v) {
    if (!v) return "none";
    return selected_path(v) + " rows " + std::to_string(row_count(v->row_model)) + " expanded " +
           std::to_string(expanded_count(v->row_model)) + " lines " + std::to_string(text_line_count(v->text_view)) +
           " pending " + describe(v->pending_snapshot);
}

TEST(ReloadSnapshot, CaptureAndRestoreSurviveEveryAllocationFailure) {
    SweepCase c;
    ASSERT_TRUE(c.old);
    ASSERT_EQ(c.old->selection_pending, 1);
    ASSERT_EQ(c.old->pending_expanded, 3u);
    ReloadSnapshot* reference = capture_snapshot(c.old.get(), 0);
    std::string captured = describe(reference);
    uint32_t top = 0;
    ViewPtr expected(restore_snapshot(c.new_doc.get(), reference, &top));
    ASSERT_TRUE(expected);
    std::string restored = describe(expected.get());
    EXPECT_EQ(selected_path(expected.get()), "$.k20.v");
    for (const char* path : {"$.k5", "$.k20", "$.k33"}) EXPECT_TRUE(is_expanded(expected->row_model, node_at_path(c.new_doc, path))) << path;
    EXPECT_EQ(row_count(expected->row_model), 44u);  // the root, 40 members, three "v" rows
    EXPECT_EQ(view_mode(expected.get()), VIEW_MODE_TREE);
    EXPECT_NE(text_view(expected.get()), nullptr);
    uint32_t references = c.new_doc->reference_count.load();

    uint64_t captures = sweep_allocation_failures([&](uint64_t n) {
        ReloadSnapshot* snapshot = capture_snapshot(c.old.get(), 0);
        if (snapshot) EXPECT_EQ(describe(snapshot), captured) << n;
        release_snapshot(snapshot);
    });
    uint64_t restores = sweep_allocation_failures([&](uint64_t n) {
        ViewPtr view(restore_snapshot(c.new_doc.get(), reference, &top));
        if (view) EXPECT_EQ(describe(view.get()), restored) << n;
    });
    EXPECT_GT(captures, 3u);
    EXPECT_GT(restores, 5u);
    release_snapshot(reference);
    EXPECT_EQ(c.new_doc->reference_count.load(), references);
}

}  // namespace
