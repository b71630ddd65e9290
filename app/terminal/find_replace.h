// Find and replace for the terminal's command edit and for the command-file views: one
// small window that works on whichever text it was opened for.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QString>

class QCheckBox;
class QPushButton;

namespace tamsel::terminal {

/// Searches and replaces in a single-line or a multi-line edit.
class TTextSearch {
  public:
    explicit TTextSearch(QLineEdit* line) : m_line(line) {}
    explicit TTextSearch(QPlainTextEdit* text) : m_text(text) {}

    /// Selects the next occurrence after the caret, wrapping to the start once; false
    /// when the text holds none.
    bool findNext(const QString& what, bool matchCase);
    /// Replaces the selection when it is an occurrence, then finds the next one.
    bool replaceNext(const QString& what, const QString& with, bool matchCase);
    /// Replaces every occurrence; the number replaced.
    int replaceAll(const QString& what, const QString& with, bool matchCase);

  private:
    QPointer<QLineEdit> m_line;
    QPointer<QPlainTextEdit> m_text;
};

/// The "Find" / "Replace" window; "&Next" repeats the last search without it.
class TFindDialog final : public QDialog {
    Q_OBJECT
  public:
    TFindDialog(TTextSearch search, QWidget* parent);

    /// Shows the window, with the replace field when @p replace is set.
    void open(bool replace);
    /// Repeats the last search; false when there was none or nothing was found.
    bool findNext();

    QString findText() const;
    void setFindText(const QString& text);
    void setReplaceText(const QString& text);
    bool replaceNext();
    int replaceAll();

  private:
    TTextSearch m_search;
    QLineEdit* m_find = nullptr;
    QLineEdit* m_replace = nullptr;
    QCheckBox* m_case = nullptr;
    QPushButton* m_replaceButton = nullptr;
    QPushButton* m_replaceAllButton = nullptr;
};

} // namespace tamsel::terminal
