#include "find_replace.h"

#include <QApplication>
#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include <utility>

namespace tamsel::terminal {

namespace {

Qt::CaseSensitivity sensitivity(bool matchCase) {
    return matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

} // namespace

bool TTextSearch::findNext(const QString& what, bool matchCase) {
    if (what.isEmpty()) {
        return false;
    }
    if (m_line != nullptr) {
        const QString text = m_line->text();
        const int from = m_line->hasSelectedText()
                             ? m_line->selectionStart() + m_line->selectedText().size()
                             : m_line->cursorPosition();
        int at = text.indexOf(what, from, sensitivity(matchCase));
        if (at < 0) {
            at = text.indexOf(what, 0, sensitivity(matchCase));
        }
        if (at < 0) {
            return false;
        }
        m_line->setSelection(at, static_cast<int>(what.size()));
        return true;
    }
    if (m_text != nullptr) {
        const QTextDocument::FindFlags flags =
            matchCase ? QTextDocument::FindCaseSensitively : QTextDocument::FindFlags();
        if (m_text->find(what, flags)) {
            return true;
        }
        QTextCursor start(m_text->document());
        const QTextCursor found = m_text->document()->find(what, start, flags);
        if (found.isNull()) {
            return false;
        }
        m_text->setTextCursor(found);
        return true;
    }
    return false;
}

bool TTextSearch::replaceNext(const QString& what, const QString& with, bool matchCase) {
    if (what.isEmpty()) {
        return false;
    }
    if (m_line != nullptr && m_line->selectedText().compare(what, sensitivity(matchCase)) == 0) {
        m_line->insert(with);
    } else if (m_text != nullptr &&
               m_text->textCursor().selectedText().compare(what, sensitivity(matchCase)) == 0) {
        m_text->textCursor().insertText(with);
    }
    return findNext(what, matchCase);
}

int TTextSearch::replaceAll(const QString& what, const QString& with, bool matchCase) {
    if (what.isEmpty()) {
        return 0;
    }
    if (m_line != nullptr) {
        QString text = m_line->text();
        const int count = static_cast<int>(text.count(what, sensitivity(matchCase)));
        if (count > 0) {
            // Through the selection, so that the edit's undo takes the change back.
            m_line->selectAll();
            m_line->insert(text.replace(what, with, sensitivity(matchCase)));
        }
        return count;
    }
    if (m_text != nullptr) {
        const QTextDocument::FindFlags flags =
            matchCase ? QTextDocument::FindCaseSensitively : QTextDocument::FindFlags();
        QTextCursor edit(m_text->document());
        edit.beginEditBlock();
        int count = 0;
        QTextCursor found = m_text->document()->find(what, 0, flags);
        while (!found.isNull()) {
            found.insertText(with);
            ++count;
            found = m_text->document()->find(what, found, flags);
        }
        edit.endEditBlock();
        return count;
    }
    return 0;
}

TFindDialog::TFindDialog(TTextSearch search, QWidget* parent)
    : QDialog(parent), m_search(std::move(search)) {
    setObjectName(QStringLiteral("findDialog"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_find = new QLineEdit(this);
    m_find->setObjectName(QStringLiteral("findWhat"));
    m_replace = new QLineEdit(this);
    m_replace->setObjectName(QStringLiteral("replaceWith"));
    form->addRow(QStringLiteral("Fi&nd what:"), m_find);
    form->addRow(QStringLiteral("Re&place with:"), m_replace);
    layout->addLayout(form);
    m_case = new QCheckBox(QStringLiteral("Match &case"), this);
    layout->addWidget(m_case);
    auto* buttons = new QHBoxLayout;
    auto* next = new QPushButton(QStringLiteral("&Find Next"), this);
    next->setDefault(true);
    m_replaceButton = new QPushButton(QStringLiteral("&Replace"), this);
    m_replaceAllButton = new QPushButton(QStringLiteral("Replace &All"), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    for (QPushButton* b : {next, m_replaceButton, m_replaceAllButton, close}) {
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    connect(next, &QPushButton::clicked, this, [this] {
        if (!findNext()) {
            QApplication::beep();
        }
    });
    connect(m_replaceButton, &QPushButton::clicked, this, [this] { replaceNext(); });
    connect(m_replaceAllButton, &QPushButton::clicked, this, [this] { replaceAll(); });
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
}

void TFindDialog::open(bool replace) {
    setWindowTitle(replace ? QStringLiteral("Replace") : QStringLiteral("Find"));
    m_replace->setVisible(replace);
    if (auto* form = findChild<QFormLayout*>()) {
        if (QWidget* label = form->labelForField(m_replace)) {
            label->setVisible(replace);
        }
    }
    m_replaceButton->setVisible(replace);
    m_replaceAllButton->setVisible(replace);
    show();
    raise();
    m_find->setFocus();
    m_find->selectAll();
}

bool TFindDialog::findNext() {
    return m_search.findNext(m_find->text(), m_case->isChecked());
}

QString TFindDialog::findText() const {
    return m_find->text();
}

void TFindDialog::setFindText(const QString& text) {
    m_find->setText(text);
}

void TFindDialog::setReplaceText(const QString& text) {
    m_replace->setText(text);
}

bool TFindDialog::replaceNext() {
    return m_search.replaceNext(m_find->text(), m_replace->text(), m_case->isChecked());
}

int TFindDialog::replaceAll() {
    return m_search.replaceAll(m_find->text(), m_replace->text(), m_case->isChecked());
}

} // namespace tamsel::terminal
