#include "example_window.h"

#include "example_rules.h"

#include <widget_ids.h>

#include <contract/error_data.h>
#include <contract/request_codes.h>

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tamsel::windows::example {

TPositionWatch::TPositionWatch(const TWindowSetup& setup, QWidget* parent)
    : TModuleWindowBase(setup, kDialogId, kHelpContext, parent) {
    setWindowTitle(titleOf(address()));
    m_request.kind = contract::kKindStatus;
    m_request.data = &m_status;
    m_request.address = address();
    m_request.typeCode = typeCode();

    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(tr("Status"), this);
    widgets::ids::setControlId(group, ids::kStatusGroup);
    auto* grid = new QGridLayout(group);
    m_position = addValue(ids::kPosition, tr("Position"), 0, group);
    m_power = addValue(ids::kPower, tr("Power"), 1, group);
    m_moving = addValue(ids::kMoving, tr("Moving"), 2, group);
    grid->setColumnStretch(1, 1);
    layout->addWidget(group);
    layout->addWidget(makeHelpButton(), 0, Qt::AlignRight);

    contract::TagPollEntry entry;
    entry.kind = contract::kKindStatus;
    entry.mode = contract::kPollPeriodic;
    entry.request = &m_request;
    m_polls = std::make_unique<TPollSubscription>(*setup.app, handle(),
                                                  std::vector<contract::TagPollEntry>{entry});
    watchPolls(m_polls.get());
}

TPositionWatch::~TPositionWatch() {
    watchPolls(nullptr);
    // The entries go before the records do.
    m_polls.reset();
}

QLabel* TPositionWatch::addValue(int id, const QString& caption, int row, QWidget* parent) {
    auto* grid = static_cast<QGridLayout*>(parent->layout());
    auto* value = new QLabel(parent);
    widgets::ids::setControlId(value, id);
    grid->addWidget(new QLabel(caption, parent), row, 0);
    grid->addWidget(value, row, 1);
    return value;
}

void TPositionWatch::pollCompleted(int first, int kind) {
    if (first != contract::req::kPollNotification || kind != contract::kKindStatus) {
        return;
    }
    ++m_completions;
    const std::int32_t status = m_request.status;
    const bool report = failureToReport(m_previousStatus, status);
    m_previousStatus = status;
    if (report) {
        reportFailure(contract::kFailedRead, kind, status);
        return;
    }
    if (status != 0) {
        return;
    }
    m_position->setText(positionText(m_status));
    m_power->setText(powerText(m_status.power));
    m_moving->setText(m_status.moving != 0 ? tr("yes") : tr("no"));
}

} // namespace tamsel::windows::example
