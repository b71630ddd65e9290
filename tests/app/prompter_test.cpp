// The prompter of a person at the screen: a box's Help button opens help at the box's topic and
// leaves the box to be answered.
#include "prompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

namespace tamsel::shell::test {
namespace {

constexpr int kTopic = 1051;
// Each press waits for the box to be up; a box that never comes up fails the test, not hangs it.
constexpr int kPressIntervalMs = 20;
constexpr int kGiveUpAfterPresses = 1000;

/// Presses the named buttons of whatever message box is up, one per box shown, in order.
class TBoxPresser final : public QObject {
  public:
    std::vector<QMessageBox::StandardButton> script;
    std::vector<QStringList> seen;

    TBoxPresser() {
        m_timer.setInterval(kPressIntervalMs);
        connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
        m_timer.start();
    }

  private:
    void tick() {
        if (++m_ticks > kGiveUpAfterPresses) {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* b = qobject_cast<QMessageBox*>(w); b != nullptr && b->isVisible()) {
                    b->reject();
                }
            }
            return;
        }
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (box == nullptr || !box->isVisible() || m_next >= script.size()) {
                continue;
            }
            QStringList buttons;
            for (QAbstractButton* b : box->buttons()) {
                buttons << b->text();
            }
            seen.push_back(buttons);
            QAbstractButton* press = box->button(script[m_next++]);
            ASSERT_NE(press, nullptr) << buttons.join("|").toStdString();
            press->click();
            return;
        }
    }

    QTimer m_timer;
    std::size_t m_next = 0;
    int m_ticks = 0;
};

TEST(WidgetPrompterTest, HelpButtonOpensTheBoxTopicAndTheBoxStillTakesItsAnswer) {
    TWidgetPrompter prompter;
    TBox box;
    box.title = "Module 00 not found ?";
    box.text = "No communication with module 00.";
    box.buttons = TBoxButtons::OkCancel;
    box.helpContext = kTopic;
    std::vector<int> helped;
    box.showHelp = [&helped](int context) { helped.push_back(context); };

    TBoxPresser person;
    person.script = {QMessageBox::Help, QMessageBox::Cancel};
    EXPECT_EQ(prompter.ask(nullptr, box), TBoxAnswer::Cancel);
    EXPECT_EQ(helped, std::vector<int>{kTopic});
    ASSERT_FALSE(person.seen.empty());
    EXPECT_EQ(person.seen.front().size(), 3) << person.seen.front().join("|").toStdString();
}

TEST(WidgetPrompterTest, BoxWithoutTopicOrWithoutHelpHasNoHelpButton) {
    TWidgetPrompter prompter;
    TBox noTopic;
    noTopic.showHelp = [](int) { ADD_FAILURE() << "help without a topic"; };
    TBox noHelp;
    noHelp.helpContext = kTopic;
    for (const TBox& box : {noTopic, noHelp}) {
        TBoxPresser person;
        person.script = {QMessageBox::Ok};
        EXPECT_EQ(prompter.ask(nullptr, box), TBoxAnswer::Ok);
        ASSERT_EQ(person.seen.size(), 1u);
        EXPECT_EQ(person.seen.front().size(), 1) << person.seen.front().join("|").toStdString();
    }
}

} // namespace
} // namespace tamsel::shell::test
