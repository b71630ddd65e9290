#include "dialog_trilo.h"

#include "command_menus.h"
#include "edit_style.h"
#include "find_replace.h"

#include <cp1252.h>
#include <prompter.h>
#include <shell_codes.h>
#include <tool_plugins.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cstring>

namespace tamsel::terminal {

namespace req = shell::req;

namespace {

constexpr const char* kHint = "You can select an adress for Glossary and Quick Command\n"
                              "Right click on cmde background for Quick Command";
constexpr const char* kMenuMarker = "nnn.";
constexpr const char* kGlossaryMarker = "..nnn";
constexpr const char* kSyntaxMacro = "$syntaxe=";
constexpr int kEditFontPixels = 16;
constexpr int kListFontPixels = 12;

QString name(int id) {
    return QString::number(id);
}

QFont courier(int pixels, bool bold) {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

} // namespace

// ---- control 1451 -----------------------------------------------------------------------

TListBox::TListBox(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::activated, this, [this](int row) { m_chosen = row; });
}

void TListBox::hidePopup() {
    QComboBox::hidePopup();
    // The choice, if any, is reported just after the pop-up hides; the window hears of
    // the closing once that has happened.
    m_chosen = -1;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (isVisible()) {
                emit closed(m_chosen);
            }
        },
        Qt::QueuedConnection);
}

// ---- control 1462 -----------------------------------------------------------------------

TUpDown::TUpDown(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_up = new QToolButton(this);
    m_up->setObjectName(QStringLiteral("up"));
    m_up->setArrowType(Qt::UpArrow);
    m_up->setAutoRepeat(true);
    m_down = new QToolButton(this);
    m_down->setObjectName(QStringLiteral("down"));
    m_down->setArrowType(Qt::DownArrow);
    m_down->setAutoRepeat(true);
    for (QToolButton* b : {m_up, m_down}) {
        b->setFixedSize(18, 11);
        b->setFocusPolicy(Qt::NoFocus);
        layout->addWidget(b);
    }
    connect(m_up, &QToolButton::clicked, this, [this] { emit deltaPos(-1); });
    connect(m_down, &QToolButton::clicked, this, [this] { emit deltaPos(+1); });
}

void TUpDown::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0) {
        emit deltaPos(-steps);
    }
    event->accept();
}

// ---- the window ---------------------------------------------------------------------------

TDialogTRILO::TDialogTRILO(shell::TRequestSink& app, shell::TPrompter& prompter, QWidget* parent)
    : QWidget(parent), m_app(app), m_prompter(prompter) {
    setObjectName(name(shell::dlg::kTerminal));
    setWindowTitle(QString::fromLatin1(kCaption));
    buildControls();
    buildMenus();
    askGeometry();
    buildHelp();

    fillTargets();
    m_targetIndex = m_targets->currentIndex();
    m_targetChanged = true;
    setAddress(0);
    m_history = lastCommandCount();
}

TDialogTRILO::~TDialogTRILO() = default;

void TDialogTRILO::buildHelp() {
    // The frame's help mode finds the window's topic here; F1 asks for it directly.
    setProperty("helpContext", shell::dlg::kTerminal);
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setContext(Qt::WidgetWithChildrenShortcut);
    connect(help, &QShortcut::activated, this, [this] {
        shell::TagHelpInfo info;
        info.contextType = contract::kHelpContextWindow;
        info.controlId = contract::kHelpTopicControl;
        info.itemHandle = reinterpret_cast<std::intptr_t>(this);
        info.contextId = shell::dlg::kTerminal;
        m_app.request(req::kHelp, shell::dlg::kTerminal, &info);
    });
}

void TDialogTRILO::buildControls() {
    auto* grid = new QGridLayout(this);

    auto* targetLabel = new QLabel(QStringLiteral("Target"), this);
    m_targets = new QComboBox(this);
    m_targets->setObjectName(name(ctl::kTarget));
    targetLabel->setBuddy(m_targets);
    m_addressLabel = new QLabel(this);
    m_addressLabel->setObjectName(name(ctl::kAddress));
    m_addressLabel->setFont(courier(kEditFontPixels, true));
    m_addressLabel->setFrameShape(QFrame::Panel);
    m_addressLabel->setFrameShadow(QFrame::Sunken);
    m_addressLabel->setMinimumWidth(m_addressLabel->fontMetrics().horizontalAdvance("MMMM") + 6);
    m_addressLabel->setAlignment(Qt::AlignCenter);
    m_upDown = new TUpDown(this);
    m_upDown->setObjectName(name(ctl::kUpDown));
    auto* top = new QHBoxLayout;
    top->addWidget(targetLabel);
    top->addWidget(m_targets, 1);
    top->addSpacing(12);
    top->addWidget(m_addressLabel);
    top->addWidget(m_upDown);
    grid->addLayout(top, 0, 0, 1, 3);

    m_command = new TKV_EditStyle1(kCommandLimit, this);
    m_command->setObjectName(name(ctl::kCommand));
    m_command->setFont(courier(kEditFontPixels, true));
    m_list = new TListBox(this);
    m_list->setObjectName(name(ctl::kList));
    m_list->setFont(courier(kListFontPixels, false));
    m_list->hide();
    grid->addWidget(m_command, 1, 0, 1, 3);
    grid->addWidget(m_list, 1, 0, 1, 3);

    m_send = new QPushButton(QStringLiteral("Send"), this);
    m_send->setObjectName(name(ctl::kSend));
    m_historyButton = new QPushButton(QStringLiteral("History"), this);
    m_historyButton->setObjectName(name(ctl::kHistory));
    m_glossaryButton = new QPushButton(QStringLiteral("Glossary"), this);
    m_glossaryButton->setObjectName(name(ctl::kGlossary));
    grid->addWidget(m_send, 2, 0);
    grid->addWidget(m_historyButton, 2, 1);
    grid->addWidget(m_glossaryButton, 2, 2);

    m_reply = new TKV_EditStyle1(shell::kTextSize - 1, this);
    m_reply->setObjectName(name(ctl::kReply));
    m_reply->setFont(courier(kEditFontPixels, true));
    m_reply->setReadOnly(true);
    grid->addWidget(m_reply, 3, 0, 1, 3);

    auto* hint = new QLabel(QString::fromLatin1(kHint), this);
    hint->setObjectName(QStringLiteral("hint"));
    grid->addWidget(hint, 4, 0, 1, 3);
    grid->setRowStretch(5, 1);

    connect(m_send, &QPushButton::clicked, this, &TDialogTRILO::send);
    connect(m_command, &QLineEdit::returnPressed, this, &TDialogTRILO::send);
    connect(m_historyButton, &QPushButton::clicked, this, &TDialogTRILO::openHistory);
    connect(m_glossaryButton, &QPushButton::clicked, this, &TDialogTRILO::openGlossary);
    connect(m_list, &TListBox::closed, this, &TDialogTRILO::closeList);
    connect(m_upDown, &TUpDown::deltaPos, this, &TDialogTRILO::stepAddress);
    connect(m_command, &TKV_EditStyle1::historyStep, this, &TDialogTRILO::stepHistory);
    connect(m_command, &TKV_EditStyle1::insertToggled, this, &TDialogTRILO::insertChanged);
    connect(m_command, &TKV_EditStyle1::rightClicked, this, &TDialogTRILO::showCommandPopup);
    connect(m_reply, &TKV_EditStyle1::rightClicked, this,
            [this](const QPoint& at) { m_replyPopup->popup(at); });
    connect(m_targets, &QComboBox::activated, this, &TDialogTRILO::targetSelected);
    setFocusProxy(m_command);
}

void TDialogTRILO::buildMenus() {
    m_popup = new QMenu(this);
    m_popup->setObjectName(name(menu::kCommandPopup));
    // The first entry is the target's menu, put in place when the pop-up first needs it.
    auto* placeholder = new QMenu(QStringLiteral("Quick Command"), m_popup);
    m_targetMenuPlace = m_popup->addMenu(placeholder);
    m_popup->addSeparator();
    m_find = new TFindDialog(TTextSearch(m_command), this);
    connect(m_popup->addAction(QStringLiteral("&Find...")), &QAction::triggered, this,
            [this] { m_find->open(false); });
    connect(m_popup->addAction(QStringLiteral("&Replace...")), &QAction::triggered, this,
            [this] { m_find->open(true); });
    connect(m_popup->addAction(QStringLiteral("&Next")), &QAction::triggered, this, [this] {
        if (!m_find->findNext()) {
            m_prompter.beep();
        }
    });
    m_popup->addSeparator();
    connect(m_popup->addAction(QStringLiteral("&Undo")), &QAction::triggered, m_command,
            &QLineEdit::undo);
    connect(m_popup->addAction(QStringLiteral("Cu&t")), &QAction::triggered, m_command,
            &QLineEdit::cut);
    connect(m_popup->addAction(QStringLiteral("&Copy")), &QAction::triggered, m_command,
            &QLineEdit::copy);
    connect(m_popup->addAction(QStringLiteral("&Paste")), &QAction::triggered, m_command,
            &QLineEdit::paste);

    m_replyPopup = new QMenu(this);
    m_replyPopup->setObjectName(name(menu::kReplyPopup));
    connect(m_replyPopup->addAction(QStringLiteral("C&opy")), &QAction::triggered, this, [this] {
        // Without a selection the whole reply is what the user wants to keep.
        const QString text = m_reply->hasSelectedText() ? m_reply->selectedText() : m_reply->text();
        QApplication::clipboard()->setText(text);
    });
}

QSize TDialogTRILO::sizeHint() const {
    return m_preferred.isValid() ? m_preferred : QWidget::sizeHint();
}

void TDialogTRILO::askGeometry() {
    shell::TagDialogGeometry geometry;
    geometry.dialogId = shell::dlg::kTerminal;
    geometry.window = this;
    m_app.request(req::kDialogGeometry, shell::dlg::kTerminal, &geometry);
    if (geometry.dialog.isValid()) {
        m_preferred = geometry.dialog.size();
    }
}

void TDialogTRILO::fillTargets() {
    shell::TagList list;
    m_app.request(req::kListTargets, shell::dlg::kTerminal, &list);
    const QString previous = m_targets->currentText();
    const QSignalBlocker quiet(m_targets);
    m_targets->clear();
    for (const QString& target : list.items) {
        // The terminal speaks the KV language; a JBUS line has no commands to type.
        if (target == QLatin1String("JBUS")) {
            continue;
        }
        m_targets->addItem(target, targetKind(target));
    }
    int selected = previous.isEmpty() ? -1 : m_targets->findText(previous);
    if (selected < 0 && list.selected >= 0) {
        selected = m_targets->findText(list.items.value(list.selected));
    }
    m_targets->setCurrentIndex(selected >= 0 ? selected : (m_targets->count() > 0 ? 0 : -1));
}

void TDialogTRILO::targetSelected(int index) {
    if (index == m_targetIndex) {
        return;
    }
    m_targetIndex = index;
    m_targetChanged = true;
    m_command->clear();
}

void TDialogTRILO::shellCommand(int id) {
    if (id == shell::cmd::kRefresh || id == shell::cmd::kUpdate) {
        fillTargets();
        targetSelected(m_targets->currentIndex());
    }
}

void TDialogTRILO::pollCompleted(int, int) {}

// ---- typing ---------------------------------------------------------------------------

void TDialogTRILO::insertChanged(bool insert) {
    // The caption comes back with the insert mode, so that the window keeps its name.
    setWindowTitle(insert ? QString::fromLatin1(kCaption) : QString::fromLatin1(kOvertypeTitle));
}

int TDialogTRILO::lastCommandCount() {
    std::int32_t count = 0;
    m_app.request(req::kLastCommandCount, shell::dlg::kTerminal, &count);
    return count;
}

QString TDialogTRILO::lastCommand(int i) {
    char text[shell::kTextSize] = {};
    m_app.request(req::kLastCommand, static_cast<std::uint16_t>(i), text);
    return shell::fromCp1252(text);
}

void TDialogTRILO::stepHistory(int direction) {
    const int count = lastCommandCount();
    // The project may have changed under the window: its count bounds the position.
    m_history = std::min(m_history, count);
    if (direction < 0 && m_history > 0) {
        --m_history;
    } else if (direction > 0 && m_history < count - 1) {
        ++m_history;
    } else {
        return;
    }
    m_command->setText(lastCommand(m_history));
}

void TDialogTRILO::selectMarker(const QString& marker) {
    const int at = static_cast<int>(m_command->text().indexOf(marker));
    if (at >= 0) {
        m_command->setSelection(at, static_cast<int>(marker.size()));
        m_command->setInsertFlag(true);
        insertChanged(true);
    }
}

void TDialogTRILO::diagnostic(const QString& text) {
    char buffer[shell::kTextSize] = {};
    shell::copyCp1252(text, buffer, shell::kTextSize);
    m_app.request(req::kDiagnostic, shell::dlg::kTerminal, buffer);
}

// ---- the command pop-up ------------------------------------------------------------------

void TDialogTRILO::loadTargetMenu() {
    QMenu* built = buildCommandMenu(m_targets->currentData().toInt(), m_popup);
    if (built == nullptr) {
        diagnostic(QStringLiteral("false"));
        built = new QMenu(QStringLiteral("Quick Command"), m_popup);
        built->setEnabled(false);
    }
    connect(built, &QMenu::triggered, this,
            [this](QAction* action) { chooseMenuItem(action->text()); });
    QAction* place = m_popup->insertMenu(m_targetMenuPlace, built);
    m_popup->removeAction(m_targetMenuPlace);
    if (QMenu* old = m_targetMenuPlace->menu()) {
        old->deleteLater();
    }
    m_targetMenuPlace = place;
    m_targetMenu = built;
}

void TDialogTRILO::showCommandPopup(const QPoint& screenPoint) {
    if (m_targetChanged) {
        loadTargetMenu();
        m_targetChanged = false;
    }
    m_popup->popup(screenPoint - QPoint(0, kPopupLift));
}

void TDialogTRILO::chooseMenuItem(const QString& item) {
    m_command->setText(withAddress(m_address, item.left(kMenuItemLimit)));
    selectMarker(QString::fromLatin1(kMenuMarker));
    m_reply->clear();
    m_command->setFocus();
}

// ---- address ----------------------------------------------------------------------------

void TDialogTRILO::setAddress(int address) {
    m_address = std::clamp(address, kAddressAll, kAddressMax);
    m_addressLabel->setText(addressText(m_address));
}

void TDialogTRILO::stepAddress(int delta) {
    int next = m_address - delta;
    if (next < 0) {
        next = kAddressAll;
    }
    setAddress(std::min(next, kAddressMax));
    m_reply->clear();
}

// ---- lists ---------------------------------------------------------------------------------

void TDialogTRILO::openHistory() {
    const int count = lastCommandCount();
    m_list->clear();
    for (int k = 0; k < count; ++k) {
        m_list->addItem(QString::asprintf("no%02d: ", k + 1) + lastCommand(count - 1 - k));
    }
    m_list->setPlaceholderText(QString::fromLatin1(kHistoryTitle));
    m_list->setCurrentIndex(-1);
    m_command->hide();
    m_list->show();
    m_listMode = TListMode::History;
    m_list->showPopup();
}

void TDialogTRILO::openGlossary() {
    const QString target = m_targets->currentText().left(kTargetTextLimit);
    shell::TagList glossary;
    glossary.target = target;
    m_app.request(req::kListGlossary, shell::dlg::kTerminal, &glossary);
    m_list->clear();
    m_list->addItems(glossary.items);
    m_list->setPlaceholderText(QStringLiteral("Glossary command list for %1").arg(target));
    m_list->setCurrentIndex(-1);
    m_command->hide();
    m_list->show();
    m_listMode = TListMode::Glossary;
    m_list->showPopup();
}

void TDialogTRILO::closeList(int selection) {
    const TListMode mode = m_listMode;
    if (mode == TListMode::None) {
        return;
    }
    const QString entry = selection >= 0 ? m_list->itemText(selection) : QString();
    m_list->hide();
    m_command->show();
    if (selection < 0) {
        m_command->clear();
    } else if (mode == TListMode::History) {
        const int count = lastCommandCount();
        m_history = count - 1 - selection;
        m_command->setText(lastCommand(m_history));
    } else {
        m_command->setText(withAddress(m_address, entry));
        selectMarker(QString::fromLatin1(kGlossaryMarker));
        m_freeText.mode = contract::kFreeTextCleaned;
    }
    m_reply->clear();
    m_listMode = TListMode::None;
    m_command->setFocus();
}

// ---- sending ---------------------------------------------------------------------------------

void TDialogTRILO::runTool(const QByteArray& toolName) {
    bool loaded = false;
    if (toolName.size() <= kToolNameLimit) {
        std::memset(&m_tool, 0, sizeof m_tool);
        std::memcpy(m_tool.name, toolName.constData(), static_cast<std::size_t>(toolName.size()));
        m_tool.owner = m_command;
        m_app.request(req::kTool, shell::dlg::kTerminal, &m_tool);
        // "purge" leaves the result alone: there is nothing to report for it.
        loaded = m_tool.loaded != 0 || toolName == shell::TToolPlugins::kPurge;
    }
    if (!loaded) {
        shell::TBox box;
        box.title = QString::fromLatin1(kNotLocalizedTitle);
        box.text = QString::fromLatin1(kNotLocalized);
        box.icon = shell::TBoxIcon::Exclamation;
        m_prompter.ask(this, box);
    }
}

void TDialogTRILO::send() {
    const QByteArray command = shell::toCp1252(m_command->text()).left(shell::kTextSize - 1);
    if (command.isEmpty()) {
        m_reply->clear();
        return;
    }
    if (command.startsWith('$') && !command.startsWith(kSyntaxMacro)) {
        runTool(command.mid(1));
        return;
    }
    m_command->end(false);
    // In mode 2 the communication layer cleans the text and hands back what it sent.
    std::memset(m_freeText.text, 0, sizeof m_freeText.text);
    std::memcpy(m_freeText.text, command.constData(),
                std::min(static_cast<std::size_t>(command.size()), sizeof m_freeText.text - 1));
    m_freeText.reply[0] = '\0';
    m_freeText.status = 0;
    m_command->setEnabled(false);
    m_app.request(req::kFreeTextKept, shell::dlg::kTerminal, &m_freeText);
    m_command->setEnabled(true);
    m_command->setFocus();
    if (m_freeText.status == 0) {
        if (m_freeText.mode == contract::kFreeTextCleaned) {
            m_command->setText(shell::fromCp1252(m_freeText.text));
        }
        // The window follows the module the command was for.
        setAddress(m_freeText.address < 0 ? kAddressAll : m_freeText.address);
    } else {
        m_prompter.beep();
    }
    m_command->setCursorPosition(0);
    m_command->setClearPending(true);
    m_reply->setText(shell::fromCp1252(m_freeText.reply));
    m_reply->setCursorPosition(0);
    m_history = lastCommandCount() - 1;
    m_freeText.mode = contract::kFreeTextAsTyped;
    if (m_command->insertFlag()) {
        m_command->selectAll();
    }
}

} // namespace tamsel::terminal
