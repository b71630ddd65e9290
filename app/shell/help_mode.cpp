#include "help_mode.h"

#include "help.h"
#include "prompter.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMouseEvent>

namespace tamsel::shell {

namespace {
constexpr int kHelpIdLimit = 32000;
constexpr const char* kHelpContextProperty = "helpContext";

// A control sits inside group boxes and frames of its window: the nearest of them that
// carries a context number answers for it.
int contextOf(QWidget* holder) {
    for (QWidget* w = holder; w != nullptr; w = w->parentWidget()) {
        if (const int context = w->property(kHelpContextProperty).toInt(); context != 0) {
            return context;
        }
        if (w->isWindow()) {
            break;
        }
    }
    return 0;
}
} // namespace

THelpMode::THelpMode(THelp& help, TPrompter& prompter, QWidget& owner, QMdiArea& area)
    : m_help(help), m_prompter(prompter), m_owner(owner), m_area(area) {}

THelpMode::~THelpMode() {
    enter(false);
}

void THelpMode::enter(bool on) {
    if (on == m_active) {
        return;
    }
    m_active = on;
    if (m_toggle != nullptr) {
        m_toggle->setChecked(on);
    }
    if (on) {
        qApp->installEventFilter(this);
        QApplication::setOverrideCursor(Qt::WhatsThisCursor);
    } else {
        qApp->removeEventFilter(this);
        QApplication::restoreOverrideCursor();
    }
}

bool THelpMode::eventFilter(QObject* watched, QEvent* event) {
    if (!m_active || event->type() != QEvent::MouseButtonPress) {
        return QObject::eventFilter(watched, event);
    }
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::RightButton) {
        enter(false);
        return true;
    }
    if (mouse->button() != Qt::LeftButton) {
        return QObject::eventFilter(watched, event);
    }
    QWidget* target = qobject_cast<QWidget*>(watched);
    if (target == nullptr || (target != &m_area && !m_area.isAncestorOf(target))) {
        return QObject::eventFilter(watched, event);
    }
    const int id = target->objectName().toInt();
    QWidget* holder = (id == 0 || id >= kHelpIdLimit || target->parentWidget() == nullptr)
                          ? target
                          : target->parentWidget();
    int context = contextOf(holder);
    if (context == 0) {
        context = 1;
    }
    m_help.topic(&m_owner, context);
    enter(false);
    return true;
}

void THelpMode::request(const TagHelpInfo& info) {
    if (info.controlId == contract::kHelpTopicControl) {
        m_help.topic(&m_owner, info.contextId);
        return;
    }
    m_prompter.ask(&m_owner, developerBox(QStringLiteral("by evhelp in tamsel2 :%1 %2 %3 %4")
                                              .arg(info.contextType)
                                              .arg(info.controlId)
                                              .arg(static_cast<qlonglong>(info.itemHandle))
                                              .arg(info.contextId)));
}

} // namespace tamsel::shell
