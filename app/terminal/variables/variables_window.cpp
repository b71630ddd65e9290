#include "variables_window.h"

#include "variables_grid.h"
#include "variables_header.h"

#include <prompter.h>
#include <widget_ids.h>

#include <contract/request_codes.h>
#include <project/sections.h>

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstring>
#include <vector>

namespace tamsel::terminal::variables {

namespace req = contract::req;

namespace {

/// The project holds at most this many module records: the search for a record's address
/// never goes further.
constexpr int kModuleRecords = 64;

/// The variable-name list dropped over a row: it goes away with its pop-up, chosen or not.
class TDroppedList final : public QComboBox {
  public:
    using QComboBox::QComboBox;
    void hidePopup() override {
        QComboBox::hidePopup();
        hide();
    }
};

QString latin(const std::string& text) {
    return QString::fromLatin1(text.c_str());
}

/// The help line each menu item writes in the frame's status bar while it is hovered.
QString helpOf(const char* item) {
    struct Help {
        const char* item;
        const char* help;
    };
    static constexpr Help kHelps[] = {
        {text::kChangeValue, "Change the initial value of the variable"},
        {text::kFreeView, "Show the value in decimal"},
        {text::kHexaView, "Show the value in hexadecimal"},
        {text::kOutputView, "Show the value as two bytes"},
        {text::kNewLabel, "Give the variable a label"},
        {text::kRemove, "Take the variable out of the scan list"},
        {text::kNext, "Show the next variable in this row"},
        {text::kPrev, "Show the previous variable in this row"},
        {text::kEraseLabels, "Erase the labels of this module"},
    };
    for (const Help& h : kHelps) {
        if (std::strcmp(h.item, item) == 0) {
            return QString::fromLatin1(h.help);
        }
    }
    return {};
}

} // namespace

TDial_VAR::TDial_VAR(const windows::TWindowSetup& setup, shell::TPrompter& prompter,
                     QWidget* parent)
    : TModuleWindowBase(setup, kDialogId, kHelpContext, parent), m_app(setup.app),
      m_prompter(prompter), m_askInput([](const widgets::TagInputRequest& r, QWidget* p) {
          return widgets::TInputDialog::ask(r, p);
      }) {
    setWindowTitle(QString::fromLatin1(text::kTitle));
    for (int r = 0; r < kRows; ++r) {
        m_requests[static_cast<std::size_t>(r)].data = &m_values[static_cast<std::size_t>(r)];
        m_requests[static_cast<std::size_t>(r)].dialogId = kDialogId;
    }

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    m_moduleList = new QComboBox(this);
    widgets::ids::setControlId(m_moduleList, ids::kModuleList);
    m_status = new QLabel(this);
    widgets::ids::setControlId(m_status, ids::kStatus);
    m_status->setMinimumWidth(m_status->fontMetrics().horizontalAdvance(QStringLiteral("W")) * 12);
    top->addWidget(m_moduleList, 1);
    top->addWidget(m_status);
    layout->addLayout(top);

    m_header = new TVariablesHeader(this);
    widgets::ids::setControlId(m_header, ids::kHeader);
    layout->addWidget(m_header);
    m_grid = new TGrille(m_list, this);
    layout->addWidget(m_grid);
    layout->setSpacing(2);

    m_nameList = new TDroppedList(m_grid);
    widgets::ids::setControlId(m_nameList, ids::kNameList);
    m_nameList->hide();
    m_hint = new QLabel(this);
    widgets::ids::setControlId(m_hint, ids::kHint);
    m_hint->setAlignment(Qt::AlignCenter);
    m_hint->setStyleSheet(QStringLiteral("color: #a00000;"));
    m_hint->hide();
    layout->addWidget(m_hint);

    // The value editor of a later version: present, never shown.
    m_edit = new QLineEdit(this);
    widgets::ids::setControlId(m_edit, ids::kEdit);
    m_edit->hide();
    for (const char* caption : {"Restore", "Set Default", "Apply"}) {
        auto* button = new QPushButton(QString::fromLatin1(caption), this);
        button->setObjectName(QString::fromLatin1(caption));
        button->hide();
    }
    layout->addStretch(1);
    layout->addWidget(makeHelpButton(), 0, Qt::AlignRight);

    connect(m_grid, &TGrille::cellPressed, this, &TDial_VAR::cellPressed);
    connect(m_nameList, &QComboBox::activated, this, &TDial_VAR::nameChosen);
    m_autoClose.setSingleShot(true);
    m_autoClose.setInterval(kAutoCloseMs);
    connect(&m_autoClose, &QTimer::timeout, this, &TDial_VAR::closeWindow);

    watchAgain();
    fillModules();
}

TDial_VAR::~TDial_VAR() {
    watchPolls(nullptr);
    storeModule();
    withdrawAll();
}

std::int32_t TDial_VAR::ask(std::uint16_t code, std::uint16_t hi, void* record) {
    return m_app->request(code, hi, record);
}

// ---------------------------------------------------------------- modules

void TDial_VAR::fillModules() {
    ask(req::kListModulesWithVariables, kDialogId, &m_modules);
    {
        const QSignalBlocker quiet(m_moduleList);
        m_moduleList->addItems(m_modules.items);
    }
    if (m_modules.items.isEmpty()) {
        m_moduleList->setEnabled(false);
        showHint(kHintNoModule);
        m_prompter.beep();
        m_autoClose.start();
        return;
    }
    connect(m_moduleList, &QComboBox::currentIndexChanged, this, &TDial_VAR::chooseModule);
    m_moduleList->setCurrentIndex(0);
    loadModule(0);
}

void TDial_VAR::chooseModule(int index) {
    if (index == m_module || index < 0) {
        return;
    }
    storeModule();
    withdrawAll();
    watchAgain();
    loadModule(index);
}

bool TDial_VAR::findModuleFacts(std::int32_t position) {
    // The records come in table order, and past the last one the first comes again.
    std::int32_t first = -1;
    for (int i = 0; i < kModuleRecords; ++i) {
        char record[contract::kTextSize] = {};
        ask(req::kModuleRecord, static_cast<std::uint16_t>(i), record);
        const auto facts = parseModuleRecordText(record);
        if (!facts || (i > 0 && facts->recordNumber == first)) {
            return false;
        }
        if (i == 0) {
            first = facts->recordNumber;
        }
        if (facts->recordNumber == position) {
            m_address = facts->address;
            m_typeCode = facts->typeCode;
            return true;
        }
    }
    return false;
}

void TDial_VAR::loadModule(int index) {
    m_module = index;
    m_position = index < m_modules.values.size() ? m_modules.values[index] : -1;
    m_list.clear();
    m_names.clear();
    m_labelsChanged = false;
    hideHint();
    setStatus({});
    if (m_position < 0 || !findModuleFacts(m_position)) {
        m_grid->update();
        return;
    }
    for (contract::TagRequest& r : m_requests) {
        r.address = m_address;
        r.typeCode = m_typeCode;
    }
    char stored[contract::kTextSize] = {};
    ask(req::kSetupLabel, static_cast<std::uint16_t>(m_address), stored);
    contract::TagList names;
    ask(req::kListVariableLabels, static_cast<std::uint16_t>(m_position), &names);
    m_names = names.items;
    m_nameList->clear();
    m_nameList->addItems(m_names);
    const int count = static_cast<int>(m_names.size());
    for (const int number : parseScanList(stored, count)) {
        addVariable(number);
    }
    m_list.setChanged(false);
    m_grid->update();
}

void TDial_VAR::storeModule() {
    if (m_position < 0) {
        return;
    }
    if (m_labelsChanged) {
        std::vector<project::VariableLabel> labels;
        for (int i = 0; i < m_names.size(); ++i) {
            const std::string name = m_names[i].toStdString();
            if (name != defaultName(i + 1)) {
                labels.push_back({i + 1, name});
            }
        }
        ask(req::kModuleRecordUpdate, static_cast<std::uint16_t>(m_position), &labels);
        m_labelsChanged = false;
    }
    if (m_list.changed()) {
        char text[contract::kTextSize] = {};
        const std::string numbers = formatScanList(m_list.numbers());
        std::memcpy(text, numbers.data(), numbers.size());
        ask(req::kSetSetupLabel, static_cast<std::uint16_t>(m_address), text);
        m_list.setChanged(false);
    }
}

void TDial_VAR::withdrawAll() {
    // One withdrawal for the whole window; it returns when no row's record is being read.
    m_polls.reset();
    for (std::unique_ptr<TRowPoll>& row : m_rowPolls) {
        if (row) {
            row->forget();
            row.reset();
        }
    }
}

void TDial_VAR::watchAgain() {
    m_polls = std::make_unique<windows::TPollSubscription>(*m_app, handle(),
                                                           std::vector<contract::TagPollEntry>{});
    watchPolls(m_polls.get());
}

// ---------------------------------------------------------------- rows

TAddResult TDial_VAR::addVariable(int number, int at) {
    const int count = static_cast<int>(m_names.size());
    const std::string name =
        number >= 1 && number <= count ? m_names[number - 1].toStdString() : std::string();
    const TAddResult result = m_list.add(number, name, count, m_mode, at);
    switch (result) {
    case TAddResult::AlreadyListed:
        m_prompter.beep();
        showHint(kHintAlreadyListed);
        return result;
    case TAddResult::Full:
        m_prompter.beep();
        setStatus(QString::fromLatin1(text::kScanListFull));
        return result;
    case TAddResult::OutOfRange:
        return result;
    case TAddResult::Added:
        break;
    }
    const int row = m_list.rowOf(number);
    const auto r = static_cast<std::size_t>(row);
    m_values[r] = {};
    m_requests[r].kind = requestKind(number);
    m_requests[r].status = 0;
    contract::TagPollEntry entry;
    entry.kind = pollKind(row, number);
    entry.count = 0;
    entry.mode = m_polls && m_polls->paused() ? contract::kPollPaused : contract::kPollPeriodic;
    entry.owner = handle();
    entry.request = &m_requests[r];
    m_rowPolls[r] = std::make_unique<TRowPoll>(*m_app, entry);
    hideHint();
    m_grid->update();
    return result;
}

void TDial_VAR::removeRow(int row) {
    if (row < 0 || row >= kRows || !m_list.row(row).used) {
        return;
    }
    // The entry goes first: the poll thread is done with the record when this returns.
    m_rowPolls[static_cast<std::size_t>(row)].reset();
    m_list.remove(row);
    m_grid->update();
}

void TDial_VAR::stepRow(int row, int direction) {
    const auto next = steppedNumber(m_list, row, direction, static_cast<int>(m_names.size()));
    if (!next) {
        return;
    }
    removeRow(row);
    addVariable(*next, row);
}

void TDial_VAR::newLabel(int row) {
    if (row < 0 || row >= kRows || !m_list.row(row).used) {
        return;
    }
    TRow& r = m_list.row(row);
    widgets::TagInputRequest box;
    box.caption = QString::fromLatin1(text::kLabelCaption);
    box.prompt = latin(labelPrompt(r.number));
    box.kind = widgets::TInputKind::kText;
    box.text = latin(r.name);
    box.maxLength = kLabelInputLength;
    const widgets::TagInputResult answer = m_askInput(box, this);
    if (answer.code != widgets::kInputAccepted) {
        return;
    }
    const std::string label = filterLabel(answer.text.toLatin1().toStdString());
    r.name = label.empty() ? defaultName(r.number) : label;
    m_names[r.number - 1] = latin(r.name);
    m_nameList->setItemText(r.number - 1, latin(r.name));
    m_labelsChanged = true;
    m_grid->update();
}

void TDial_VAR::eraseLabels() {
    std::int32_t unused = 0;
    ask(req::kModuleRecordOp, static_cast<std::uint16_t>(m_position), &unused);
    m_labelsChanged = false;
    storeModule();
    withdrawAll();
    watchAgain();
    loadModule(m_module);
}

void TDial_VAR::changeValue(int row) {
    if (row < 0 || row >= kRows || !m_list.row(row).used) {
        return;
    }
    const TRow& r = m_list.row(row);
    widgets::TagInputRequest box;
    box.caption = QString::fromLatin1(text::kValueCaption);
    box.prompt = latin(valuePrompt(r.number, r.name));
    box.kind = widgets::TInputKind::kText;
    box.text = latin(valueText(r.initial));
    const widgets::TagInputResult answer = m_askInput(box, this);
    if (answer.code != widgets::kInputAccepted) {
        return;
    }
    const auto value = parseInitValue(answer.text.toLatin1().toStdString());
    if (!value) {
        return;
    }
    contract::TagCodedCommand command;
    command.code = contract::kCodedVariable;
    command.address = m_address;
    const std::string parameter = codedParameter(r.number, *value);
    std::memcpy(command.parameter, parameter.data(),
                std::min<std::size_t>(parameter.size(), sizeof command.parameter - 1));
    request(req::kCodedCommand, &command);
}

void TDial_VAR::setView(int row, TViewMode mode) {
    if (row < 0 || row >= kRows || !m_list.row(row).used) {
        return;
    }
    m_list.row(row).mode = mode;
    m_mode = mode;
    m_grid->update();
}

// ---------------------------------------------------------------- menus and the name list

std::unique_ptr<QMenu> TDial_VAR::rowMenu(int row, TColumn column) {
    if (row < 0 || row >= kRows) {
        return nullptr;
    }
    const TRowMenu kind = menuFor(m_list.row(row), column);
    if (kind != TRowMenu::Value && kind != TRowMenu::Name) {
        return nullptr;
    }
    auto menu = std::make_unique<QMenu>(this);
    const auto add = [&](const char* caption, bool enabled, auto&& act) {
        QAction* action = menu->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(caption).trimmed());
        action->setStatusTip(helpOf(caption));
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, act);
        return action;
    };
    connect(menu.get(), &QMenu::hovered, this,
            [this](QAction* action) { trace(action->statusTip()); });
    if (kind == TRowMenu::Value) {
        widgets::ids::setControlId(menu.get(), ids::kValueMenu);
        const TValueMenu rules = valueMenu(m_list.row(row));
        add(text::kChangeValue, rules.changeValue, [this, row] { changeValue(row); });
        menu->addSeparator();
        const std::pair<const char*, TViewMode> views[] = {
            {text::kFreeView, TViewMode::Decimal},
            {text::kHexaView, TViewMode::Hexa},
            {text::kOutputView, TViewMode::TwoBytes}};
        for (const auto& [caption, mode] : views) {
            QAction* action = add(caption, true, [this, row, mode] { setView(row, mode); });
            action->setCheckable(true);
            action->setChecked(rules.checked == mode);
        }
        return menu;
    }
    widgets::ids::setControlId(menu.get(), ids::kNameMenu);
    const TNameMenu rules = nameMenu(m_list, row, static_cast<int>(m_names.size()));
    add(text::kNewLabel, rules.newLabel, [this, row] { newLabel(row); });
    add(text::kRemove, rules.remove, [this, row] { removeRow(row); });
    add(text::kNext, rules.next, [this, row] { stepRow(row, +1); });
    add(text::kPrev, rules.prev, [this, row] { stepRow(row, -1); });
    menu->addSeparator();
    add(text::kEraseLabels, rules.eraseLabels, [this] { eraseLabels(); });
    return menu;
}

void TDial_VAR::cellPressed(int row, TColumn column, const QPoint& global, bool menu) {
    if (menu && m_hintShown == kHintAlreadyListed.number) {
        hideHint();
        return;
    }
    const TRowMenu kind = menuFor(m_list.row(row), column);
    if (kind == TRowMenu::NameList) {
        dropNameList(row);
        return;
    }
    if (menu) {
        if (std::unique_ptr<QMenu> popup = rowMenu(row, column)) {
            popup->exec(global);
        }
    }
}

void TDial_VAR::dropNameList(int row) {
    if (row < 0 || row >= kRows || m_list.row(row).used || m_names.isEmpty()) {
        return;
    }
    m_dropRow = row;
    const QRect cell = m_grid->cellRect(row, TColumn::Name);
    m_nameList->setGeometry(cell.left(), cell.top(), std::max(cell.width(), 160),
                            m_nameList->sizeHint().height());
    m_nameList->show();
    m_nameList->raise();
    m_nameList->showPopup();
}

void TDial_VAR::nameChosen(int index) {
    m_nameList->hide();
    const int row = m_dropRow;
    m_dropRow = -1;
    if (index >= 0) {
        addVariable(index + 1, row);
    }
}

void TDial_VAR::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hideHint();
        m_nameList->hide();
        event->accept();
        return;
    }
    TModuleWindowBase::keyPressEvent(event);
}

// ---------------------------------------------------------------- values

void TDial_VAR::pollCompleted(int first, int kind) {
    if (first != req::kPollNotification) {
        return;
    }
    const int row = rowOfKind(kind);
    if (row < 0 || row >= kRows || !m_list.row(row).used) {
        return;
    }
    ++m_completions;
    if (m_requests[static_cast<std::size_t>(row)].status != 0) {
        // The values stay as they were last read.
        setStatus(QString::fromLatin1(text::kNoDial));
        return;
    }
    setStatus({});
    for (int r = 0; r < kRows; ++r) {
        TRow& shown = m_list.row(r);
        if (shown.used) {
            shown.current = m_values[static_cast<std::size_t>(r)].value;
            shown.initial = m_values[static_cast<std::size_t>(r)].second;
        }
    }
    m_grid->update();
}

// ---------------------------------------------------------------- texts

void TDial_VAR::showHint(const THint& hint) {
    m_hintShown = hint.number;
    m_hint->setText(QString::fromLatin1(hint.first) + '\n' + QString::fromLatin1(hint.second));
    m_hint->show();
}

void TDial_VAR::hideHint() {
    m_hintShown = 0;
    m_hint->hide();
}

void TDial_VAR::setStatus(const QString& text) {
    m_status->setText(text);
}

void TDial_VAR::trace(const QString& text) {
    QByteArray bytes = text.toLatin1().left(contract::kTextSize - 1);
    request(req::kTrace, bytes.data());
}

void TDial_VAR::closeWindow() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        sub->close();
        return;
    }
    close();
}

} // namespace tamsel::terminal::variables
