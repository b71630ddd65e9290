// Help: the HTML help file "help/Tamsel2.html" of the current directory, one anchor per
// context number, shown in a window of the program.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QTextBrowser;
class QWidget;

namespace tamsel::shell {

class TPrompter;

class THelp final : public QObject {
    Q_OBJECT
  public:
    static constexpr const char* kFile = "help/Tamsel2.html";

    explicit THelp(TPrompter& prompter);
    ~THelp() override;

    /// The contents page; false (after telling the user) when the file is missing.
    bool contents(QWidget* owner);
    /// The topic of context number @p context.
    bool topic(QWidget* owner, int context);
    /// How to use help.
    void helpOnHelp(QWidget* owner);
    /// Closes the help window (the program is closing).
    void quit();

    /// Whether the help window is up, and what it shows.
    bool shown() const;
    QString shownAnchor() const;
    /// Whether help was opened from the Help menu.
    bool used() const { return m_used; }

  private:
    bool showAnchor(QWidget* owner, const QString& anchor);
    QTextBrowser* browser();

    TPrompter& m_prompter;
    QPointer<QTextBrowser> m_browser;
    QString m_anchor;
    bool m_used = false;
};

} // namespace tamsel::shell
