// tarnwell-cli nodes prints the exact, documented dump of a Document.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "cli_run.h"
#include "load_text.h"

namespace {

std::string run_nodes(const std::string& text, LoadOptions options = {}) {
    return run_cli(run_nodes_command, text, CliArguments{nullptr, options});
}

TEST(CliNodes, NestedArrays) {
    EXPECT_EQ(run_nodes("[1,[2,3],4]"),
              "form=Single\nencoding=UTF-8\nfeatures=-\nnodes=6\nlines=1\nlong_lines=0\nproblems=0\n"
              "0 Array parent=- end=6 depth=0 length=11 children=3\n"
              "1 Number parent=0 end=2 depth=1 length=1 value=1\n"
              "2 Array parent=0 end=5 depth=1 length=5 children=2\n"
              "3 Number parent=2 end=4 depth=2 length=1 value=2\n"
              "4 Number parent=2 end=5 depth=2 length=1 value=3\n"
              "5 Number parent=0 end=6 depth=1 length=1 value=4\n"
              "exit=0\n");
}

TEST(CliNodes, ProblemsKeysFlagsAndEscapes) {
    EXPECT_EQ(run_nodes("{\"a\":1} x"),
              "form=Single\nencoding=UTF-8\nfeatures=-\nnodes=2\nlines=1\nlong_lines=0\nproblems=1\n"
              "0 Object parent=- end=2 depth=0 length=7 children=1\n"
              "1 Number parent=0 end=2 depth=1 length=1 key=a value=1\n"
              "problem 0 offset=8 line=1 column=9 node=- unexpected text after the JSON value\n"
              "exit=0\n");
    EXPECT_EQ(run_nodes("{'k\\\\\\u0001':\"a\tb\\n\",}"),
              "form=Single\nencoding=UTF-8\nfeatures=TrailingCommas,Json5,RawControlChars\nnodes=2\nlines=1\n"
              "long_lines=0\nproblems=0\n"
              "0 Object parent=- end=2 depth=0 length=22 children=1\n"
              "1 String parent=0 end=2 depth=1 length=7 key=k\\\\\\u0001 flags=ValueEscaped,KeyEscaped,Json5Form "
              "value=a\\tb\\n\n"
              "exit=0\n");
}

TEST(CliNodes, RecordsAndUnclosed) {
    EXPECT_EQ(run_nodes("[1,2"),
              "form=Single\nencoding=UTF-8\nfeatures=-\nnodes=3\nlines=1\nlong_lines=0\nproblems=1\n"
              "0 Array parent=- end=3 depth=0 length=4 children=2 flags=Unclosed\n"
              "1 Number parent=0 end=2 depth=1 length=1 value=1\n"
              "2 Number parent=0 end=3 depth=1 length=1 value=2\n"
              "problem 0 offset=4 line=1 column=5 node=- unexpected end of file\n"
              "exit=0\n");
    EXPECT_EQ(run_nodes("{\"a\":1}\n\n{\"b\":\n[3]", LoadOptions{0, 1}),
              "form=JsonLines\nencoding=UTF-8\nfeatures=-\nnodes=6\nlines=4\nlong_lines=0\nproblems=1\n"
              "0 Array parent=- end=6 depth=0 length=18 children=3\n"
              "1 Object parent=0 end=3 depth=1 length=7 children=1 line=1\n"
              "2 Number parent=1 end=3 depth=2 length=1 key=a value=1\n"
              "3 Error parent=0 end=4 depth=1 length=5 line=3 value={\"b\":\n"
              "4 Array parent=0 end=6 depth=1 length=3 children=1 line=4\n"
              "5 Number parent=4 end=6 depth=2 length=1 value=3\n"
              "problem 0 offset=14 line=3 column=6 node=3 unexpected end of line\n"
              "exit=0\n");
}

TEST(CliNodes, Utf16LongValuesAndUnreadableFiles) {
    EXPECT_EQ(run_nodes(utf16_text(u"[1]")),
              "form=Single\nencoding=UTF-16 LE\nfeatures=-\nnodes=2\nlines=1\nlong_lines=0\nproblems=0\n"
              "0 Array parent=- end=2 depth=0 length=3 children=1\n"
              "1 Number parent=0 end=2 depth=1 length=1 value=1\n"
              "exit=0\n");
    // 99 ASCII bytes then é: the first 100 bytes would split the é.
    std::string dump = run_nodes("[\"" + std::string(99, 'x') + "\xC3\xA9\"]");
    EXPECT_NE(dump.find("value=" + std::string(99, 'x') + "\xE2\x80\xA6\n"), std::string::npos) << dump;
    FILE* out = std::tmpfile();
    EXPECT_EQ(run_nodes_command(CliArguments{"/no/such/file.json", {}}, out), 1);
    EXPECT_EQ(read_stream(out).rfind("error=", 0), 0u);
}

}  // namespace
