// Notes on how a box's text was read: the text typed, then the note the
// "Steps and errors" window shows, or none for a text read whole.
#include "tests/support/fakes.h"
#include "texts/input_notes.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace pelorin;
using pelorin::testing::Press;

TEST(InputNotes, SayHowATextThatWasNotReadWholeWasRead) {
    struct Row {
        const char* name;
        Input box;
        std::string text;
        std::optional<std::string> note;
    };
    const std::vector<Row> rows{
        {"a number", Input::h, "0.4", std::nullopt},
        {"blanks around it", Input::y0, " \t-1 ", std::nullopt},
        {"exponent", Input::h, "1.5E-3", std::nullopt},
        {"too small for a double, read whole", Input::x1, "1e-400", std::nullopt},
        {"letters after it", Input::h, "0.4abc", "h: \"0.4abc\" was read as 0.4"},
        {"decimal comma", Input::y0, "1,5", "y0: \"1,5\" was read as 1"},
        {"typographic minus", Input::y0, "\u22121", "y0: \"\u22121\" was read as 0 (no leading number)"},
        {"letters only", Input::x0, "abc", "x0: \"abc\" was read as 0 (no leading number)"},
        {"empty", Input::x1, "", "x1: \"\" was read as 0 (empty box)"},
        {"blanks only", Input::x1, "   ", "x1: \"   \" was read as 0 (empty box)"},
        {"exponent without digits", Input::h, "1e", "h: \"1e\" was read as 1"},
        {"sign, bare fraction, letter", Input::y0, "+.5e-3x", "y0: \"+.5e-3x\" was read as 0.0005"},
        {"carriage return", Input::h, "0.4\r", "h: \"0.4\\r\" was read as 0.4"},
        {"control characters", Input::x0, "\x01\x02" "5",
         "x0: \"\\x01\\x025\" was read as 0 (no leading number)"},
        {"too large", Input::x0, "1e400", "x0: \"1e400\" is too large to read"},
        {"long text cut after 24 characters", Input::x1, "0.4" + std::string(100, 'x'),
         "x1: \"0.4xxxxxxxxxxxxxxxxxxxxx\u2026\" was read as 0.4"},
        {"cut counts characters, not bytes", Input::x1, "1" + std::string(30, 'a') + "\u00e9",
         "x1: \"1aaaaaaaaaaaaaaaaaaaaaaa\u2026\" was read as 1"},
        {"letters before a number", Input::h, "h=0.1", "h: \"h=0.1\" was read as 0 (no leading number)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(readingNote(row.box, row.text), row.note);
    }
}

TEST(InputNotes, FollowTheReadingOrderAndStopWhereItStopped) {
    struct Row {
        const char* name;
        std::string x0, y0, x1, h;
        std::vector<std::string> notes;
    };
    const std::vector<Row> rows{
        {"defaults", "0", "-1", "0.4", "0.4", {}},
        {"two boxes", "0", "-1,5", "0.4", "0.4x", {"y0: \"-1,5\" was read as -1", "h: \"0.4x\" was read as 0.4"}},
        {"reading stops at a number too large", "1e400", "abc", "", "",
         {"x0: \"1e400\" is too large to read"}},
        {"after one too large, the next box is not read", "0", "1e999", "abc", "",
         {"y0: \"1e999\" is too large to read"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Press press;
        press.window.enter(row.x0, row.y0, row.x1, row.h);
        press.calculate();
        EXPECT_EQ(readingNotes(press.last), row.notes);
    }
}
