#include "module_windows.h"

#include "shell_codes.h"

#include <contract/module_window.h>

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

namespace tamsel::shell {

namespace {
constexpr const char* kWindowIdProperty = "windowId";
constexpr const char* kWindowKindProperty = "windowKind";
} // namespace

void queueShellCommand(QWidget* widget, int id) {
    if (dynamic_cast<contract::TModuleWindow*>(widget) == nullptr) {
        return;
    }
    QPointer<QWidget> target = widget;
    QMetaObject::invokeMethod(
        widget,
        [target, id] {
            if (auto* window = dynamic_cast<contract::TModuleWindow*>(target.data())) {
                window->shellCommand(id);
            }
        },
        Qt::QueuedConnection);
}

TModuleWindows::TModuleWindows(QMdiArea& area, const TWindowRegistry& registry,
                               std::function<void(const QString&)> note)
    : m_area(area), m_registry(registry), m_note(std::move(note)) {}

QMdiSubWindow* TModuleWindows::childWithId(int identifier) const {
    for (QMdiSubWindow* sub : m_area.subWindowList()) {
        if (sub->property(kWindowIdProperty).toInt() == identifier && identifier != 0) {
            return sub;
        }
    }
    return nullptr;
}

QMdiSubWindow* TModuleWindows::childOfKind(TWindowKind kind) const {
    for (QMdiSubWindow* sub : m_area.subWindowList()) {
        const QVariant stamped = sub->property(kWindowKindProperty);
        if (stamped.isValid() && stamped.toInt() == static_cast<int>(kind)) {
            return sub;
        }
    }
    return nullptr;
}

void TModuleWindows::open(const TWindowRow& row, const TWindowContext& context) {
    const int identifier = windowIdentifier(row, context.address);
    const TWindowFactory* factory = m_registry.factory(row.kind);
    if (factory == nullptr) {
        m_note(QStringLiteral("no window for %1").arg(identifier, 0, 16));
        return;
    }
    QMdiSubWindow* sub = row.singleInstance ? childOfKind(row.kind) : childWithId(identifier);
    if (sub != nullptr) {
        if (sub->isMinimized()) {
            sub->showNormal();
        } else {
            m_area.setActiveSubWindow(sub);
            sub->widget()->setFocus();
        }
        if (row.singleInstance) {
            queueShellCommand(sub->widget(), cmd::kRefresh);
        }
        return;
    }
    QWidget* widget = (*factory)(context);
    if (widget == nullptr) {
        return;
    }
    sub = m_area.addSubWindow(widget);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setProperty(kWindowIdProperty, identifier);
    sub->setProperty(kWindowKindProperty, static_cast<int>(row.kind));
    sub->setWindowIcon(widget->windowIcon());
    const QSize size = dialogSize(row.dialogId, context.dpi);
    if (size.isValid()) {
        sub->resize(size);
    }
    sub->show();
    widget->setFocus();
}

void TModuleWindows::sendCommand(int commandId) {
    for (QMdiSubWindow* sub : m_area.subWindowList()) {
        if (sub->property(kWindowKindProperty).isValid() &&
            sub->property(kWindowIdProperty).toInt() != winid::kConfiguration) {
            queueShellCommand(sub->widget(), commandId);
        }
    }
}

void TModuleWindows::minimiseAll() {
    for (QMdiSubWindow* sub : m_area.subWindowList()) {
        if (sub->property(kWindowKindProperty).isValid() &&
            sub->property(kWindowIdProperty).toInt() != winid::kConfiguration) {
            sub->showMinimized();
        }
    }
}

} // namespace tamsel::shell
