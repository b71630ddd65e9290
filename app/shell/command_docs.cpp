#include "command_docs.h"

#include "cp1252.h"
#include "prompter.h"
#include "recent_files.h"
#include "shell_codes.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSaveFile>

namespace tamsel::shell {

namespace {

constexpr const char* kViewProperty = "tamselCommandView";

TCommandFileView* viewOf(QMdiSubWindow* sub) {
    return sub == nullptr ? nullptr : qobject_cast<TCommandFileView*>(sub->widget());
}

} // namespace

TCommandFileView::TCommandFileView(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName(QStringLiteral("TCommandFileView"));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(QFont(QStringLiteral("Monospace")));
    m_editMenu = new QMenu(QStringLiteral("&Edit"), this);
    const struct {
        int id;
        const char* text;
    } items[] = {{cmd::kEditUndo, "&Undo\tAlt+BkSp"},
                 {cmd::kEditCut, "Cu&t\tShift+Del"},
                 {cmd::kEditCopy, "&Copy\tCtrl+Ins"},
                 {cmd::kEditPaste, "&Paste\tShift+Ins"},
                 {cmd::kEditClearAll, "Clear &All\tCtrl+Del"}};
    for (const auto& item : items) {
        QAction* action = m_editMenu->addAction(QString::fromLatin1(item.text));
        action->setObjectName(QString::number(item.id));
        const int id = item.id;
        connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
    }
    connect(m_editMenu, &QMenu::aboutToShow, this, [this] {
        for (QAction* action : m_editMenu->actions()) {
            action->setEnabled(canRun(action->objectName().toInt()));
        }
    });
}

void TCommandFileView::setPath(const QString& path) {
    m_path = path;
    setWindowTitle(path.isEmpty() ? windowTitle() : QFileInfo(path).fileName());
}

void TCommandFileView::setSending(bool sending) {
    if (sending != m_sending) {
        m_sending = sending;
        emit sendingChanged(sending);
    }
}

QList<QMenu*> TCommandFileView::mergedMenus() {
    return {m_editMenu};
}

bool TCommandFileView::canRun(int id) const {
    switch (id) {
    case cmd::kEditUndo:
        return document()->isUndoAvailable() && !isReadOnly();
    case cmd::kEditCut:
        return textCursor().hasSelection() && !isReadOnly();
    case cmd::kEditCopy:
        return textCursor().hasSelection();
    case cmd::kEditPaste:
        return canPaste();
    case cmd::kEditClearAll:
        return !document()->isEmpty() && !isReadOnly();
    default:
        return false;
    }
}

bool TCommandFileView::runCommand(int id) {
    if (!canRun(id)) {
        return false;
    }
    switch (id) {
    case cmd::kEditUndo:
        undo();
        return true;
    case cmd::kEditCut:
        cut();
        return true;
    case cmd::kEditCopy:
        copy();
        return true;
    case cmd::kEditPaste:
        paste();
        return true;
    case cmd::kEditClearAll: {
        // Through the cursor, so that the clearing can be undone.
        QTextCursor cursor(document());
        cursor.select(QTextCursor::Document);
        cursor.removeSelectedText();
        return true;
    }
    default:
        return false;
    }
}

void TCommandFileView::keyPressEvent(QKeyEvent* event) {
    const auto mods =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    int id = 0;
    if (event->key() == Qt::Key_Delete && mods == Qt::ShiftModifier) {
        id = cmd::kEditCut;
    } else if (event->key() == Qt::Key_Insert && mods == Qt::ControlModifier) {
        id = cmd::kEditCopy;
    } else if (event->key() == Qt::Key_Insert && mods == Qt::ShiftModifier) {
        id = cmd::kEditPaste;
    } else if (event->key() == Qt::Key_Delete && mods == Qt::ControlModifier) {
        id = cmd::kEditClearAll;
    } else if (event->key() == Qt::Key_Backspace && mods == Qt::AltModifier) {
        id = cmd::kEditUndo;
    } else if (event->key() == Qt::Key_Insert && mods == Qt::NoModifier) {
        setOverwriteMode(!overwriteMode());
        event->accept();
        return;
    }
    if (id != 0) {
        runCommand(id);
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

bool TCommandFileView::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    setPlainText(fromCp1252(file.readAll()));
    document()->setModified(false);
    setPath(path);
    return true;
}

bool TCommandFileView::saveTo(const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QByteArray bytes = toCp1252(toPlainText());
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        return false;
    }
    document()->setModified(false);
    setPath(path);
    return true;
}

TCommandDocs::TCommandDocs(QMdiArea& area, TPrompter& prompter, TRecentFiles& recent)
    : m_area(area), m_prompter(prompter), m_recent(recent) {}

TCommandDocs::~TCommandDocs() = default;

QString TCommandDocs::dialogFilter() {
    QString patterns = QString::fromLatin1(kFilter);
    patterns.replace(';', ' ');
    return QStringLiteral("%1 (%2)").arg(QLatin1String(kDescription), patterns);
}

TCommandFileView* TCommandDocs::addView(TCommandFileView* view) {
    QMdiSubWindow* sub = m_area.addSubWindow(view);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setProperty(kViewProperty, true);
    sub->installEventFilter(this);
    connect(sub, &QObject::destroyed, this, &TCommandDocs::viewsChanged, Qt::QueuedConnection);
    sub->resize(520, 360);
    sub->show();
    view->setFocus();
    emit viewsChanged();
    return view;
}

TCommandFileView* TCommandDocs::newDocument() {
    TCommandFileView* view = m_factory ? m_factory() : new TCommandFileView;
    view->setWindowTitle(QStringLiteral("Untitled%1").arg(++m_untitled));
    return addView(view);
}

void TCommandDocs::notePath(const QString& path) {
    if (path.isEmpty()) {
        return;
    }
    m_recent.add(QDir::toNativeSeparators(path));
    emit recentAdded(path);
    if (!m_warned32k) {
        m_warned32k = true;
        m_prompter.ask(m_area.window(),
                       developerBox(QStringLiteral("Warning :\nAll TM2 files will be limited "
                                                   "to 32Kbytes size")));
    }
}

TCommandFileView* TCommandDocs::open(const QString& path) {
    for (TCommandFileView* existing : views()) {
        if (!existing->path().isEmpty() && QFileInfo(existing->path()) == QFileInfo(path)) {
            m_area.setActiveSubWindow(qobject_cast<QMdiSubWindow*>(existing->parentWidget()));
            return existing;
        }
    }
    TCommandFileView* view = m_factory ? m_factory() : new TCommandFileView;
    if (!view->load(path)) {
        delete view;
        TBox box;
        box.title = QString::fromLatin1(kDescription);
        box.text = QStringLiteral("Unable to open file %1").arg(path);
        box.icon = TBoxIcon::Stop;
        m_prompter.ask(m_area.window(), box);
        return nullptr;
    }
    addView(view);
    notePath(path);
    return view;
}

TCommandFileView* TCommandDocs::openWithDialog() {
    TFileQuestion question;
    question.title = QStringLiteral("Open");
    question.directory = QDir::currentPath();
    question.filter = dialogFilter();
    const QString path = m_prompter.chooseFile(m_area.window(), question);
    return path.isEmpty() ? nullptr : open(path);
}

bool TCommandDocs::save(TCommandFileView* view) {
    if (view == nullptr) {
        return false;
    }
    if (view->path().isEmpty()) {
        return saveAs(view);
    }
    if (view->saveTo(view->path())) {
        return true;
    }
    TBox box;
    box.title = QString::fromLatin1(kDescription);
    box.text = QStringLiteral("Unable to write file %1").arg(view->path());
    box.icon = TBoxIcon::Stop;
    m_prompter.ask(m_area.window(), box);
    return false;
}

bool TCommandDocs::saveAs(TCommandFileView* view) {
    if (view == nullptr) {
        return false;
    }
    TFileQuestion question;
    question.save = true;
    question.title = QStringLiteral("Save As");
    question.directory = view->path().isEmpty() ? QDir::currentPath() : view->path();
    question.filter = dialogFilter();
    const QString path = m_prompter.chooseFile(m_area.window(), question);
    if (path.isEmpty()) {
        return false;
    }
    if (!view->saveTo(path)) {
        TBox box;
        box.title = QString::fromLatin1(kDescription);
        box.text = QStringLiteral("Unable to write file %1").arg(path);
        box.icon = TBoxIcon::Stop;
        m_prompter.ask(m_area.window(), box);
        return false;
    }
    notePath(path);
    return true;
}

bool TCommandDocs::askToKeepChanges(TCommandFileView* view) {
    if (!view->document()->isModified()) {
        return true;
    }
    TBox box;
    box.title = view->windowTitle();
    box.text = QStringLiteral("The text has been changed.\n\nDo you want to save the changes?");
    box.icon = TBoxIcon::Question;
    box.buttons = TBoxButtons::YesNoCancel;
    switch (m_prompter.ask(m_area.window(), box)) {
    case TBoxAnswer::Yes:
        return save(view);
    case TBoxAnswer::No:
        return true;
    default:
        return false;
    }
}

bool TCommandDocs::close(TCommandFileView* view) {
    if (view == nullptr) {
        return false;
    }
    if (view->sending()) {
        TBox box;
        box.title = QStringLiteral("test");
        box.text = QStringLiteral("no close file if sending ");
        m_prompter.ask(m_area.window(), box);
        return false;
    }
    auto* sub = qobject_cast<QMdiSubWindow*>(view->parentWidget());
    return sub != nullptr && sub->close();
}

bool TCommandDocs::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close) {
        auto* sub = qobject_cast<QMdiSubWindow*>(watched);
        TCommandFileView* view = viewOf(sub);
        if (view != nullptr) {
            if (view->sending()) {
                TBox box;
                box.title = QStringLiteral("test");
                box.text = QStringLiteral("can't close if sending pending !!");
                m_prompter.ask(m_area.window(), box);
                event->ignore();
                return true;
            }
            if (!m_settled && !askToKeepChanges(view)) {
                event->ignore();
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

QPrinter& TCommandDocs::printer() {
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *m_printer;
}

void TCommandDocs::printSetup(QWidget* parent) {
    QPageSetupDialog dialog(&printer(), parent);
    dialog.exec();
}

void TCommandDocs::printPreview(TCommandFileView* view, QWidget* parent) {
    if (view == nullptr) {
        return;
    }
    QPrintPreviewDialog dialog(&printer(), parent);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, view,
            [view](QPrinter* target) { view->print(target); });
    dialog.exec();
}

void TCommandDocs::print(TCommandFileView* view, QWidget* parent) {
    if (view == nullptr) {
        return;
    }
    QPrintDialog dialog(&printer(), parent);
    if (dialog.exec() == QDialog::Accepted) {
        view->print(&printer());
    }
}

TCommandFileView* TCommandDocs::activeView() const {
    return viewOf(m_area.activeSubWindow());
}

QList<TCommandFileView*> TCommandDocs::views() const {
    QList<TCommandFileView*> out;
    for (QMdiSubWindow* sub : m_area.subWindowList()) {
        if (TCommandFileView* view = viewOf(sub)) {
            out.append(view);
        }
    }
    return out;
}

bool TCommandDocs::closeAll() {
    for (TCommandFileView* view : views()) {
        if (!askToKeepChanges(view)) {
            return false;
        }
    }
    m_settled = true;
    m_area.closeAllSubWindows();
    m_settled = false;
    return m_area.subWindowList().isEmpty();
}

bool TCommandDocs::anySending() const {
    for (TCommandFileView* view : views()) {
        if (view->sending()) {
            return true;
        }
    }
    return false;
}

} // namespace tamsel::shell
