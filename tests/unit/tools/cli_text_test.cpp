// tarnwell-cli text prints every line of the text view as the list paints it,
// or the text that copying them gives.
#include <gtest/gtest.h>

#include <string>

#include "cli_run.h"
#include "views/text_view.h"

namespace {

CliArguments text_args(uint32_t mode, bool styles = false, bool plain = false) {
    CliArguments args{};
    args.text_mode = mode;
    args.styles = styles;
    args.plain = plain;
    return args;
}

std::string run_text(const std::string& text, CliArguments args) { return run_cli(run_text_command, text, args); }

TEST(CliText, Json5SourceWithBlockComments) {
    const std::string text =
        "/* settings,\n"
        "   in JSON5 */\n"
        "{'k': 0x1F, /* inline */ v: [true, null], // end\n"
        " s: 'it\\'s'}\n";
    EXPECT_EQ(run_text(text, text_args(CLI_PREFERRED_TEXT_MODE, true)),
              "1|<Comment>/* settings,\n"
              "2|<Comment>   in JSON5 */\n"
              "3|<Punctuation>{<Key>'k'<Punctuation>: <Number>0x1F<Punctuation>, <Comment>/* inline */<Punctuation> "
              "<Key>v<Punctuation>: [<Boolean>true<Punctuation>, <Null>null<Punctuation>], <Comment>// end\n"
              "4|<Punctuation> <Key>s<Punctuation>: <String>'it\\'s'<Punctuation>}\n"
              "5|\n"
              "exit=0\n");
}

TEST(CliText, LongLinesOpenAsPrettyText) {
    const std::string text = "[\"" + std::string(10001, 'a') + "\", 1]";
    EXPECT_TRUE(run_text(text, text_args(CLI_PREFERRED_TEXT_MODE)) ==
                "1|[\n2|  \"" + std::string(1996, 'a') + "\xE2\x80\xA6\n3|  1\n4|]\nexit=0\n");
    EXPECT_EQ(run_text("", text_args(CLI_PREFERRED_TEXT_MODE, false, true)), "exit=0\n");
}

}  // namespace
