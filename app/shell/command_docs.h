// The command-file documents: plain-text files "*.CMT;*.CMD" edited in MDI children. The
// command terminal's layer may give the children a richer view (its Edit, Search and Send
// menus) through the view factory.
#pragma once

#include <QList>
#include <QObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;

namespace tamsel::shell {

class TPrompter;
class TRecentFiles;

/// The edit view of one command file.
class TCommandFileView : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit TCommandFileView(QWidget* parent = nullptr);

    const QString& path() const { return m_path; }
    void setPath(const QString& path);

    /// Set while the file is being sent to the modules; such a view refuses to close.
    bool sending() const { return m_sending; }
    void setSending(bool sending);

    /// Menus merged into the frame's menu bar while this view is active.
    virtual QList<QMenu*> mergedMenus();
    /// Runs an edit command of the frame (undo, cut, copy, paste, clear all, find, find
    /// next); false when the view has no such command.
    virtual bool runCommand(int id);
    /// Whether runCommand(@p id) can do something now.
    virtual bool canRun(int id) const;

    /// Reads the file as 8-bit text; false when it cannot be read.
    bool load(const QString& path);
    /// Writes the text as 8-bit text; false when the file cannot be written completely.
    bool saveTo(const QString& path);

  signals:
    void sendingChanged(bool sending);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QString m_path;
    bool m_sending = false;
    QMenu* m_editMenu = nullptr;
};

using TViewFactory = std::function<TCommandFileView*()>;

/// The document manager of the command files, with its one template.
class TCommandDocs final : public QObject {
    Q_OBJECT
  public:
    static constexpr const char* kDescription = "Tamsel2 command File";
    static constexpr const char* kFilter = "*.CMT;*.CMD";

    TCommandDocs(QMdiArea& area, TPrompter& prompter, TRecentFiles& recent);
    ~TCommandDocs() override;

    void setViewFactory(TViewFactory factory) { m_factory = std::move(factory); }

    TCommandFileView* newDocument();
    /// Asks for a file and opens it.
    TCommandFileView* openWithDialog();
    /// Opens @p path (a recent-files entry, for instance); null when it cannot be read.
    TCommandFileView* open(const QString& path);
    bool save(TCommandFileView* view);
    bool saveAs(TCommandFileView* view);
    /// The "&Close" command: refused while the view is sending.
    bool close(TCommandFileView* view);
    void printSetup(QWidget* parent);
    void printPreview(TCommandFileView* view, QWidget* parent);
    void print(TCommandFileView* view, QWidget* parent);

    TCommandFileView* activeView() const;
    QList<TCommandFileView*> views() const;
    int viewCount() const { return views().size(); }
    /// Whether any view is sending.
    bool anySending() const;
    /**
     * @brief Closes every MDI child, for the exit: every changed view is asked whether to
     * save before any window closes, so that a cancel leaves them all open.
     * @return true when no child is left.
     */
    bool closeAll();

    /// The Qt filter of the file dialogs, built from the template's description and filter.
    static QString dialogFilter();

  signals:
    void viewsChanged();
    /// A path that the recent-files list took (opened or saved under a new name).
    void recentAdded(const QString& path);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    TCommandFileView* addView(TCommandFileView* view);
    void notePath(const QString& path);
    bool askToKeepChanges(TCommandFileView* view);
    QPrinter& printer();

    QMdiArea& m_area;
    TPrompter& m_prompter;
    TRecentFiles& m_recent;
    TViewFactory m_factory;
    std::unique_ptr<QPrinter> m_printer;
    bool m_warned32k = false;
    int m_untitled = 0;
    /// Set while closeAll closes views whose changes were settled already.
    bool m_settled = false;
};

} // namespace tamsel::shell
