#include "ui/connection_form.h"

#include <gtest/gtest.h>

namespace {

constexpr int kCtrl = 0x0002, kShift = 0x0001;

// Each field's limit from both sides: one below the limit takes a digit, at the limit it is refused.
TEST(ConnectionForm, FieldLengthLimitsHoldAtTheirEdges) {
    struct Case {
        uint32_t field;
        std::string text;
        char32_t c;
        bool taken;
    };
    const Case cases[] = {
        {0, "255.255.255.25", U'5', true}, {0, "255.255.255.255", U'5', false},
        {1, "6553", U'5', true},           {1, "65535", U'5', false},
        {2, "4061739", U'5', true},        {2, "40617395", U'9', false},
    };
    for (const Case& c : cases) {
        ui::ConnectionFormFocus focus{c.field, false};
        std::string text = c.text;
        EXPECT_EQ(ui::typeFormChar(focus, text, c.c), c.taken) << c.field << " " << c.text;
        EXPECT_EQ(text.size(), c.text.size() + (c.taken ? 1 : 0));
    }
}

TEST(ConnectionForm, CharactersThatDoNotBelongAreRefused) {
    struct Case {
        uint32_t field;
        char32_t c;
        bool taken;
    };
    const Case cases[] = {{0, U'.', true}, {0, U'x', false}, {1, U'.', false}, {1, U'0', true},
                          {2, U'x', false}, {2, U'9', true}, {2, U'Ж', false}, {3, U'1', false}};
    for (const Case& c : cases) EXPECT_EQ(ui::formAccepts(c.field, c.c), c.taken) << c.field << " " << char(c.c);
}

TEST(ConnectionForm, CtrlASelectsSoTheNextCharacterReplacesEverything) {
    ui::ConnectionFormFocus focus{1, false};
    std::string port = "29810";
    EXPECT_FALSE(ui::formKey(focus, port, 65, kShift));  // A without Control is no command
    EXPECT_FALSE(focus.allSelected);
    EXPECT_TRUE(ui::formKey(focus, port, 65, kCtrl));
    // A full field still takes the character that replaces its selection.
    EXPECT_TRUE(ui::typeFormChar(focus, port, U'7'));
    EXPECT_EQ(port, "7");
    EXPECT_TRUE(ui::typeFormChar(focus, port, U'0'));
    EXPECT_EQ(port, "70");
    // A refused character keeps the selection and the text.
    EXPECT_TRUE(ui::formKey(focus, port, 65, kCtrl));
    EXPECT_FALSE(ui::typeFormChar(focus, port, U'x'));
    EXPECT_EQ(port, "70");
    EXPECT_TRUE(focus.allSelected);
    EXPECT_TRUE(ui::formKey(focus, port, 259, 0));  // Backspace clears the selection
    EXPECT_EQ(port, "");
}

TEST(ConnectionForm, TabWrapsAndDropsTheSelection) {
    ui::ConnectionFormFocus focus{0, true};
    std::string text;
    const uint32_t expected[] = {1, 2, 0};
    for (uint32_t next : expected) {
        EXPECT_TRUE(ui::formKey(focus, text, 258, 0));
        EXPECT_EQ(focus.field, next);
        EXPECT_FALSE(focus.allSelected);
    }
}

}  // namespace
