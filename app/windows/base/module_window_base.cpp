#include "module_window_base.h"

#include <contract/request_codes.h>

#include <QEvent>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QPushButton>

#include <cstdio>

namespace tamsel::windows {

namespace {
namespace req = contract::req;
// The frame's help mode reads a window's context number from this property.
constexpr const char* kHelpContextProperty = "helpContext";
} // namespace

TModuleWindowBase::TModuleWindowBase(const TWindowSetup& setup, int dialogId, int helpContext,
                                     QWidget* parent)
    : QWidget(parent), m_setup(setup), m_dialogId(dialogId), m_helpContext(helpContext) {
    m_handle = m_setup.handleOf ? m_setup.handleOf(this)
                                : reinterpret_cast<contract::TKV_WindowHandle>(this);
    m_failure.address = m_setup.address;
    m_failure.typeCode = m_setup.typeCode;
    setProperty(kHelpContextProperty, m_helpContext);
    watchFrame();
}

TModuleWindowBase::~TModuleWindowBase() = default;

std::int32_t TModuleWindowBase::request(std::uint16_t code, void* record) {
    if (m_setup.app == nullptr) {
        return 0;
    }
    return m_setup.app->request(code, static_cast<std::uint16_t>(m_dialogId), record);
}

void TModuleWindowBase::showHelp() {
    contract::TagHelpInfo info;
    info.contextType = contract::kHelpContextWindow;
    info.controlId = contract::kHelpTopicControl;
    info.itemHandle = m_handle;
    info.contextId = m_helpContext;
    request(req::kHelp, &info);
}

void TModuleWindowBase::errorData(contract::TagErrorData& out) {
    out = m_failure;
    std::snprintf(out.title, sizeof out.title, "%s", windowTitle().toLatin1().constData());
}

void TModuleWindowBase::reportFailure(std::int32_t operation, std::int32_t kind,
                                      std::int32_t status) {
    m_failure.operation = operation;
    m_failure.kind = kind;
    m_failure.status = status;
    contract::TagErrorReport report;
    report.window = this;
    request(req::kErrorReport, &report);
}

void TModuleWindowBase::pollCompleted(int, int) {}

void TModuleWindowBase::shellCommand(int) {}

void TModuleWindowBase::watchPolls(TPollSubscription* subscription) {
    m_polls = subscription;
    if (m_polls != nullptr && m_frame != nullptr) {
        minimisedChanged(m_frame->isMinimized());
    }
}

QPushButton* TModuleWindowBase::makeHelpButton() {
    auto* button = new QPushButton(tr("Help"), this);
    button->setObjectName(QString::fromLatin1(kHelpButtonName));
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, &TModuleWindowBase::showHelp);
    return button;
}

void TModuleWindowBase::watchFrame() {
    QWidget* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (frame == nullptr && isWindow()) {
        frame = this;
    }
    if (frame == m_frame) {
        return;
    }
    if (m_frame != nullptr && m_frame != this) {
        m_frame->removeEventFilter(this);
    }
    m_frame = frame;
    if (m_frame != nullptr && m_frame != this) {
        m_frame->installEventFilter(this);
    }
}

bool TModuleWindowBase::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::ParentChange:
        watchFrame();
        break;
    case QEvent::WindowStateChange:
        if (m_frame == this) {
            minimisedChanged(isMinimized());
        }
        break;
    case QEvent::KeyPress:
        // F1 reaches the window from whichever of its controls had the focus and let it by.
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
            showHelp();
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

bool TModuleWindowBase::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_frame && event->type() == QEvent::WindowStateChange) {
        minimisedChanged(m_frame->isMinimized());
    } else if (watched == m_frame && event->type() == QEvent::Destroy) {
        m_frame = nullptr;
    }
    return QWidget::eventFilter(watched, event);
}

void TModuleWindowBase::minimisedChanged(bool minimised) {
    if (m_polls == nullptr) {
        return;
    }
    if (minimised) {
        m_polls->pause();
    } else {
        m_polls->resume();
    }
}

} // namespace tamsel::windows
