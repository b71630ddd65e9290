// TInputDialog: its controls per kind, its prompts and caption, and what OK and Cancel
// give back.
#include <arrow_buttons.h>
#include <input_dialog.h>
#include <numeric_field.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace tamsel::widgets::test {
namespace {

QWidget* control(QWidget& dialog, const char* id) {
    return dialog.findChild<QWidget*>(QString::fromLatin1(id));
}

void click(QWidget& dialog, const char* id) {
    auto* button = qobject_cast<QAbstractButton*>(control(dialog, id));
    ASSERT_NE(button, nullptr) << id;
    button->click();
}

TEST(InputDialog, EachKindHasItsControlsAndDefaultPrompt) {
    const struct {
        TInputKind kind;
        const char* prompt;
        bool edit;
        bool arrows;
        bool list;
        bool radix;
    } cases[] = {
        {TInputKind::kText, "User Input :", true, false, false, false},
        {TInputKind::kNumber, "User Input :", true, true, false, false},
        {TInputKind::kNumberWithRadix, "User Input :", true, true, false, true},
        {TInputKind::kChoice, "Your selection :", false, false, true, false},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.prompt + std::to_string(static_cast<int>(row.kind)));
        TagInputRequest request;
        request.kind = row.kind;
        TInputDialog dialog(request);
        EXPECT_EQ(dialog.objectName(), "19000");
        EXPECT_EQ(dialog.windowTitle(), "InputDialog CFG");
        auto* prompt = qobject_cast<QLabel*>(control(dialog, "104"));
        ASSERT_NE(prompt, nullptr);
        EXPECT_EQ(prompt->text().toStdString(), row.prompt);
        EXPECT_EQ(control(dialog, "101") != nullptr, row.edit);
        EXPECT_EQ(control(dialog, "102") != nullptr, row.arrows);
        EXPECT_EQ(control(dialog, "103") != nullptr, row.list);
        EXPECT_EQ(control(dialog, "110") != nullptr, row.radix);
        EXPECT_EQ(control(dialog, "111") != nullptr, row.radix);
        EXPECT_NE(control(dialog, "1"), nullptr);
        EXPECT_NE(control(dialog, "2"), nullptr);
    }
}

TEST(InputDialog, TheCallersCaptionAndPromptAreShown) {
    TagInputRequest request;
    request.caption = QStringLiteral("Module label :");
    request.prompt = QStringLiteral("LABEL for module Address := 03");
    TInputDialog dialog(request);
    EXPECT_EQ(dialog.windowTitle(), request.caption);
    EXPECT_EQ(dialog.prompt()->text(), request.prompt);
}

TEST(InputDialog, OkGivesOneAndTheNumberTheArrowsReached) {
    TagInputRequest request;
    request.kind = TInputKind::kNumber;
    request.value = 5;
    request.minimum = 0;
    request.maximum = 8;
    TInputDialog dialog(request);
    dialog.open();
    auto* arrows = dialog.arrows();
    ASSERT_NE(arrows, nullptr);
    arrows->upButton()->click();
    arrows->upButton()->click();
    EXPECT_EQ(dialog.edit()->text(), "7");
    for (int i = 0; i < 4; ++i) {
        arrows->upButton()->click();
    }
    EXPECT_EQ(dialog.edit()->text(), "8");
    arrows->downButton()->click();
    click(dialog, "1");
    const TagInputResult answer = dialog.answer();
    EXPECT_EQ(answer.code, 1);
    EXPECT_EQ(answer.value, 7);
    EXPECT_EQ(answer.text, "7");
}

TEST(InputDialog, CancelGivesAnythingButOne) {
    TagInputRequest request;
    request.kind = TInputKind::kText;
    request.text = QStringLiteral("kept");
    TInputDialog dialog(request);
    dialog.open();
    click(dialog, "2");
    EXPECT_NE(dialog.answer().code, kInputAccepted);
}

TEST(InputDialog, AnInitialNumberOutsideTheRangeIsBroughtInside) {
    TagInputRequest request;
    request.kind = TInputKind::kNumber;
    request.value = 50;
    request.minimum = 0;
    request.maximum = 10;
    TInputDialog dialog(request);
    EXPECT_EQ(dialog.edit()->text(), "10");
}

TEST(InputDialog, TheRadixChoiceRewritesTheNumber) {
    TagInputRequest request;
    request.kind = TInputKind::kNumberWithRadix;
    request.value = 255;
    request.radix = TInputRadix::kHexa;
    TInputDialog dialog(request);
    dialog.open();
    EXPECT_TRUE(dialog.hexa()->isChecked());
    EXPECT_EQ(dialog.edit()->text(), "FF");
    dialog.decimal()->click();
    EXPECT_EQ(dialog.edit()->text(), "255");
    EXPECT_EQ(dialog.answer().text, "255");
    dialog.hexa()->click();
    dialog.edit()->setText(QStringLiteral("1A"));
    click(dialog, "1");
    const TagInputResult answer = dialog.answer();
    EXPECT_EQ(answer.code, 1);
    EXPECT_EQ(answer.value, 26);
    EXPECT_EQ(answer.text, "h1A");
}

TEST(InputDialog, ATextKeepsToItsLengthAndCharacters) {
    TagInputRequest request;
    request.kind = TInputKind::kText;
    request.text = QStringLiteral("OLD");
    request.maxLength = 10;
    request.allowed = QStringLiteral("[0-9A-Za-z_#+\\- ]*");
    TInputDialog dialog(request);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    EXPECT_EQ(dialog.edit()->text(), "OLD");
    dialog.edit()->clear();
    QTest::keyClicks(dialog.edit(), QStringLiteral("AB c!#_12345678"));
    EXPECT_EQ(dialog.edit()->text(), "AB c#_1234");
    click(dialog, "1");
    EXPECT_EQ(dialog.answer().text, "AB c#_1234");
}

TEST(InputDialog, TheListGivesTheChosenEntryAndItsNumber) {
    TagInputRequest request;
    request.kind = TInputKind::kChoice;
    request.choices = {
        {QStringLiteral("3"), 3}, {QStringLiteral("7"), 7}, {QStringLiteral("12"), 12}};
    request.selected = 1;
    TInputDialog dialog(request);
    dialog.open();
    EXPECT_EQ(dialog.choice()->currentText(), "7");
    dialog.choice()->setCurrentIndex(2);
    click(dialog, "1");
    const TagInputResult answer = dialog.answer();
    EXPECT_EQ(answer.code, 1);
    EXPECT_EQ(answer.index, 2);
    EXPECT_EQ(answer.text, "12");
    EXPECT_EQ(answer.value, 12);
}

TEST(InputDialog, AskRunsTheDialogUntilTheUserAnswers) {
    TagInputRequest request;
    request.kind = TInputKind::kText;
    request.text = QStringLiteral("axis");
    // Answers the dialog once it is up, as a user would.
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<TInputDialog*>(QApplication::activeModalWidget())) {
            answerer.stop();
            // The initial text comes selected, to be typed over; this user adds to it.
            QTest::keyClick(dialog->edit(), Qt::Key_End);
            QTest::keyClicks(dialog->edit(), QStringLiteral("_2"));
            click(*dialog, "1");
        }
    });
    answerer.start(10);
    const TagInputResult answer = TInputDialog::ask(request);
    EXPECT_EQ(answer.code, 1);
    EXPECT_EQ(answer.text.toStdString(), "axis_2");
}

} // namespace
} // namespace tamsel::widgets::test
