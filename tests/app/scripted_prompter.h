// A prompter that answers every box from a script and remembers what was asked.
#pragma once

#include "prompter.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>

namespace tamsel::shell::test {

class TScriptedPrompter final : public TPrompter {
  public:
    /// Boxes asked, in order.
    QList<TBox> boxes;
    /// File questions asked, in order.
    QList<TFileQuestion> questions;
    int beeps = 0;
    /// Answers for the next boxes; when empty, Ok (or Yes).
    std::deque<TBoxAnswer> answers;
    /// Answers for the next file questions; when empty, cancelled.
    std::deque<QString> files;
    /// Runs while a box is up, as a person would act before answering.
    std::function<void(const TBox&)> onBox;

    TBoxAnswer ask(QWidget*, const TBox& box) override {
        boxes.append(box);
        if (onBox) {
            onBox(box);
        }
        if (!answers.empty()) {
            const TBoxAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        return box.buttons == TBoxButtons::YesNoCancel ? TBoxAnswer::Yes : TBoxAnswer::Ok;
    }
    QString chooseFile(QWidget*, const TFileQuestion& question) override {
        questions.append(question);
        if (files.empty()) {
            return {};
        }
        QString f = files.front();
        files.pop_front();
        return f;
    }
    void beep() override { ++beeps; }

    QStringList titles() const {
        QStringList out;
        for (const TBox& b : boxes) {
            out << b.title;
        }
        return out;
    }
};

} // namespace tamsel::shell::test
