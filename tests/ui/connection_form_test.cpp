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

// Tab from every focus: the last field leaves the form, and from outside Tab comes back to the first.
TEST(ConnectionForm, TabLeavesTheFormAfterTheLastFieldAndDropsTheSelection) {
    const std::pair<uint32_t, uint32_t> steps[] = {{0, 1}, {1, 2}, {2, ui::kNoFormField}, {ui::kNoFormField, 0}};
    for (const auto& [from, to] : steps) {
        ui::ConnectionFormFocus focus{from, true};
        std::string text = "12";
        EXPECT_TRUE(ui::formKey(focus, text, 258, 0));
        EXPECT_EQ(focus.field, to) << from;
        EXPECT_FALSE(focus.allSelected) << from;
        EXPECT_EQ(text, "12");
    }
}

// Outside the form the keys are taken but change nothing, and every character is refused.
TEST(ConnectionForm, WithoutAFocusedFieldNothingIsTyped) {
    ui::ConnectionFormFocus focus{ui::kNoFormField, false};
    std::string text = "40617395";
    EXPECT_TRUE(ui::formKey(focus, text, 65, kCtrl));
    EXPECT_FALSE(focus.allSelected);
    EXPECT_TRUE(ui::formKey(focus, text, 259, 0));
    for (const char32_t c : {U'9', U'.', U'x'}) EXPECT_FALSE(ui::typeFormChar(focus, text, c));
    EXPECT_EQ(text, "40617395");
}

}  // namespace
