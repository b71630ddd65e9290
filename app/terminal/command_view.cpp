#include "command_view.h"

#include "find_replace.h"

#include <shell_codes.h>

#include <QAction>
#include <QApplication>
#include <QMenu>

namespace tamsel::terminal {

namespace cmd = shell::cmd;

TCommandEditView::TCommandEditView(TCommandFileSender& sender, QWidget* parent)
    : TCommandFileView(parent), m_sender(&sender) {
    m_find = new TFindDialog(TTextSearch(this), this);

    m_searchMenu = new QMenu(QStringLiteral("&Search"), this);
    m_searchMenu->setObjectName(QStringLiteral("menuSearch"));
    connect(m_searchMenu->addAction(QStringLiteral("&Find...")), &QAction::triggered, this,
            [this] { runCommand(cmd::kEditFind); });
    connect(m_searchMenu->addAction(QStringLiteral("&Replace...")), &QAction::triggered, this,
            [this] { m_find->open(true); });
    QAction* next = m_searchMenu->addAction(QStringLiteral("&Next"));
    next->setShortcut(QKeySequence(Qt::Key_F3));
    next->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(next);
    connect(next, &QAction::triggered, this, [this] {
        if (!runCommand(cmd::kEditFindNext)) {
            QApplication::beep();
        }
    });

    m_sendMenu = new QMenu(QStringLiteral("Se&nd"), this);
    m_sendMenu->setObjectName(QStringLiteral("menuSend"));
    const struct {
        int id;
        const char* text;
        const char* help;
        TSendScope scope;
    } sends[] = {
        {cmd::kSendGlobal, "&Global", "Send the whole command file to the modules",
         TSendScope::Global},
        {cmd::kSendSelection, "&Selected text", "Send the selected lines to the modules",
         TSendScope::Selection},
        {cmd::kSendFromCaret, "&From cursor line",
         "Send the command file from the cursor line to its end", TSendScope::FromCursor},
    };
    for (const auto& send : sends) {
        QAction* action = m_sendMenu->addAction(QString::fromLatin1(send.text));
        action->setObjectName(QString::number(send.id));
        action->setStatusTip(QString::fromLatin1(send.help));
        const TSendScope scope = send.scope;
        connect(action, &QAction::triggered, this, [this, scope] {
            if (m_sender != nullptr) {
                m_sender->start(this, scope);
            }
        });
        if (send.id == cmd::kSendGlobal) {
            action->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10));
            // Several files may be open: the key belongs to the one being edited.
            action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            addAction(action);
        }
    }
    connect(m_sendMenu, &QMenu::aboutToShow, this, &TCommandEditView::updateSendActions);
    connect(&sender, &TCommandFileSender::runningChanged, this,
            &TCommandEditView::updateSendActions);
    updateSendActions();
}

QAction* TCommandEditView::sendAction(int id) const {
    for (QAction* action : m_sendMenu->actions()) {
        if (action->objectName() == QString::number(id)) {
            return action;
        }
    }
    return nullptr;
}

void TCommandEditView::updateSendActions() {
    const bool free = m_sender != nullptr && !m_sender->running();
    for (QAction* action : m_sendMenu->actions()) {
        action->setEnabled(free);
    }
}

QList<QMenu*> TCommandEditView::mergedMenus() {
    QList<QMenu*> menus = TCommandFileView::mergedMenus();
    menus << m_searchMenu << m_sendMenu;
    return menus;
}

bool TCommandEditView::canRun(int id) const {
    switch (id) {
    case cmd::kEditFind:
        return true;
    case cmd::kEditFindNext:
        return !m_find->findText().isEmpty();
    default:
        return TCommandFileView::canRun(id);
    }
}

bool TCommandEditView::runCommand(int id) {
    switch (id) {
    case cmd::kEditFind:
        m_find->open(false);
        return true;
    case cmd::kEditFindNext:
        return m_find->findNext();
    default:
        return TCommandFileView::runCommand(id);
    }
}

} // namespace tamsel::terminal
