#include "comparison_view.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tamsel::backup {

namespace {

// Item data that tells a heading row from a setting row, and a setting row's state.
constexpr int kRowKindRole = Qt::UserRole;
constexpr int kHeadingRow = 1;
constexpr int kSettingRow = 2;
constexpr int kEqualRole = Qt::UserRole + 1;

const QColor kDifferent(255, 230, 120);
const QColor kOneSide(255, 190, 120);
const QColor kModuleChanged(255, 150, 150);
const QColor kModuleNew(170, 220, 255);

QString valueText(const std::optional<long>& v) {
    return v ? QString::number(*v) : QStringLiteral("-");
}

QString identity(const ModuleRecord* m) {
    if (m == nullptr) {
        return QStringLiteral("silent");
    }
    QString t = QString::fromLatin1(m->typeName.c_str());
    if (!m->serial.empty()) {
        t += QStringLiteral(" serial ") + QString::fromLatin1(m->serial.c_str());
    }
    return t;
}

QTableWidgetItem* cell(const QString& text, int kind, bool equal, const QColor& colour) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setData(kRowKindRole, kind);
    item->setData(kEqualRole, equal);
    if (colour.isValid()) {
        item->setBackground(colour);
    }
    return item;
}

} // namespace

TComparisonView::TComparisonView(QWidget* parent)
    : QWidget(parent), m_table(new QTableWidget(0, kColumns, this)),
      m_only(new QCheckBox(tr("Differences only"), this)), m_summary(new QLabel(this)) {
    m_table->setHorizontalHeaderLabels(
        {tr("Module"), tr("Setting"), tr("State"), tr("Backup"), tr("Line")});
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_only);
    layout->addWidget(m_table);
    layout->addWidget(m_summary);
    connect(m_only, &QCheckBox::toggled, this, [this] { applyFilter(); });
}

QColor TComparisonView::colourOf(SettingState s) {
    switch (s) {
    case SettingState::Equal:
        return {};
    case SettingState::Different:
        return kDifferent;
    case SettingState::Missing:
    case SettingState::Extra:
        return kOneSide;
    }
    return {};
}

QColor TComparisonView::colourOf(ModuleState s) {
    switch (s) {
    case ModuleState::Same:
        return {};
    case ModuleState::Different:
        return kDifferent;
    case ModuleState::Replaced:
    case ModuleState::TypeChanged:
    case ModuleState::Lost:
        return kModuleChanged;
    case ModuleState::Found:
        return kModuleNew;
    }
    return {};
}

void TComparisonView::showComparison(const Comparison& c) {
    m_table->setRowCount(0);
    int differing = 0;
    for (const ModuleComparison& m : c.modules) {
        const bool same = m.state == ModuleState::Same;
        differing += same ? 0 : 1;
        const int row = m_table->rowCount();
        m_table->insertRow(row);
        const QColor colour = colourOf(m.state);
        QString who = identity(m.backup);
        if (m.state == ModuleState::Found) {
            who = identity(m.line);
        } else if (m.state == ModuleState::Replaced || m.state == ModuleState::TypeChanged) {
            who += QStringLiteral(" -> ") + identity(m.line);
        }
        m_table->setItem(row, kModule,
                         cell(QStringLiteral("%1").arg(m.address, 2, 10, QLatin1Char('0')),
                              kHeadingRow, same, colour));
        m_table->setItem(row, kSetting, cell(who, kHeadingRow, same, colour));
        m_table->setItem(
            row, kState,
            cell(QString::fromLatin1(moduleStateName(m.state)), kHeadingRow, same, colour));
        m_table->setItem(row, kBackup, cell(QString(), kHeadingRow, same, colour));
        m_table->setItem(row, kLine, cell(QString(), kHeadingRow, same, colour));
        for (const SettingRow& r : m.rows) {
            const int at = m_table->rowCount();
            m_table->insertRow(at);
            const bool equal = r.state == SettingState::Equal;
            const QColor rowColour = colourOf(r.state);
            m_table->setItem(at, kModule, cell(QString(), kSettingRow, equal, rowColour));
            m_table->setItem(
                at, kSetting,
                cell(QString::fromLatin1(r.key.c_str()), kSettingRow, equal, rowColour));
            m_table->setItem(at, kState,
                             cell(QString::fromLatin1(settingStateName(r.state)), kSettingRow,
                                  equal, rowColour));
            m_table->setItem(at, kBackup, cell(valueText(r.backup), kSettingRow, equal, rowColour));
            m_table->setItem(at, kLine, cell(valueText(r.line), kSettingRow, equal, rowColour));
        }
    }
    m_summary->setText(differing == 0
                           ? tr("Equal: %1 modules as in the backup").arg(c.modules.size())
                           : tr("Different: %1 of %2 modules differ from the backup")
                                 .arg(differing)
                                 .arg(c.modules.size()));
    applyFilter();
}

void TComparisonView::setDifferencesOnly(bool only) {
    m_only->setChecked(only);
    applyFilter();
}

void TComparisonView::applyFilter() {
    const bool only = m_only->isChecked();
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const QTableWidgetItem* item = m_table->item(row, kModule);
        const bool equal = item->data(kEqualRole).toBool();
        // A module that differs keeps its heading; a module that is the same goes whole.
        m_table->setRowHidden(row, only && equal);
    }
}

} // namespace tamsel::backup
