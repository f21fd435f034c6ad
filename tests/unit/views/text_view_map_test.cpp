// Lines and Nodes agree both ways on real documents and on JSON5 full of
// comments, and the pretty text of a document reads back as the same values.
#include <gtest/gtest.h>

#include <string>

#include "view_checks.h"
#include "written_compare.h"

namespace {

bool holds(const Document* doc, NodeId container, NodeId id) {
    return container <= id && id < subtree_end(doc, container);
}

// Empty when every Node's line leads back to the Node, a container holding it,
// or an earlier Node on that line; and every line's Node spans the line.
std::string check_source_agreement(const Document* doc) {
    TextViewPtr view(build_text_view(const_cast<Document*>(doc), TEXT_SOURCE, nullptr, nullptr));
    if (!view) return "no view";
    for (NodeId id = is_records(doc) ? 1 : 0; id < node_count(doc); id++) {
        uint32_t line = line_of_node(view.get(), id);
        NodeId back = node_of_line(view.get(), line);
        bool first_on_line = back < id && line_of_node(view.get(), back) == line;
        if (back == NO_NODE || !(holds(doc, back, id) || first_on_line))
            return "node " + std::to_string(id) + " line " + std::to_string(line) + " gives " + std::to_string(back);
    }
    for (uint32_t line = 0; line < text_line_count(view.get()); line++) {
        NodeId id = node_of_line(view.get(), line);
        if (id == NO_NODE) continue;
        uint32_t last = line_of_offset(doc, value_offset(doc, id) + value_length(doc, id));
        if (line_of_node(view.get(), id) > line || last < line)
            return "line " + std::to_string(line) + " gives node " + std::to_string(id) + " outside it";
    }
    return "";
}

// Empty when every Node has its own line and every line its Node.
std::string check_pretty_agreement(const Document* doc) {
    TextViewPtr view(build_text_view(const_cast<Document*>(doc), TEXT_PRETTY, nullptr, nullptr));
    if (!view) return "no view";
    for (NodeId id = is_records(doc) ? 1 : 0; id < node_count(doc); id++) {
        if (node_of_line(view.get(), line_of_node(view.get(), id)) != id) return "node " + std::to_string(id);
    }
    for (uint32_t line = 0; line < text_line_count(view.get()); line++) {
        uint32_t opening = line_of_node(view.get(), node_of_line(view.get(), line));
        bool closing = view->lines[line] & CLOSING_LINE;
        if (closing ? opening >= line : opening != line) return "line " + std::to_string(line);
    }
    return "";
}

TEST(TextViewMap, SharedBenchmarkDocuments) {
    if (!shared_data_available()) GTEST_SKIP() << "no shared data";
    int files = 0;
    for (const std::string& name : list_files(shared_data_path("bench-data"))) {
        bool records = name.find(".ndjson") != std::string::npos;
        if (name.find(".json") == std::string::npos) continue;
        DocumentPtr doc = load_text(read_file(shared_data_path("bench-data/" + name)), LoadOptions{0, records});
        ASSERT_EQ(problem_count(doc.get()), 0u) << name;
        EXPECT_EQ(check_source_agreement(doc.get()), "") << name;
        EXPECT_EQ(check_pretty_agreement(doc.get()), "") << name;
        // Pretty text reads back strictly as the same values; records follow
        // one another as several values.
        TextViewPtr pretty = build_view(doc.get(), TEXT_PRETTY);
        DocumentPtr copy = records ? load_text(all_text(pretty.get())) : load_strict(all_text(pretty.get()));
        EXPECT_EQ(compare_written(doc.get(), 0, copy.get()), "") << name;
        files++;
    }
    EXPECT_EQ(files, 13);
}

TEST(TextViewMap, Json5FullOfComments) {
    DocumentPtr doc = load_text(
        "// before the root\n/* a block\n   before it */\n{ // after the brace\n"
        "  'one': 1, /* between */ two: [ // in an array\n    /* first */ 2,\n    // a line alone\n"
        "    [ /* empty */ ],\n    { // empty object\n    }\n  ], /* after\n  the array */\n  \"three\"\n  :\n"
        "  /* before a value */ 'x\\\ny', four: {a: {b: [\n  ]}},\n} // after the root\n/* the end */\n");
    ASSERT_EQ(problem_count(doc.get()), 0u) << problem_at(doc.get());
    EXPECT_EQ(check_source_agreement(doc.get()), "");
    EXPECT_EQ(check_pretty_agreement(doc.get()), "");}

}  // namespace
