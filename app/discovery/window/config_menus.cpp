// The configuration window's pop-up menus and the per-module commands behind them, and the
// localize steps of the idle handler.
#include "config_codes.h"
#include "config_window.h"
#include "module_list_view.h"

#include <contract/records.h>
#include <contract/request_codes.h>
#include <prompter.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QRadioButton>

#include <algorithm>
#include <cstring>

namespace tamsel::discovery {

namespace req = contract::req;

namespace {

void addItems(QMenu& menu, const std::vector<MenuItem>& items) {
    for (const MenuItem& item : items) {
        const QString text = QString::fromStdString(item.text);
        if (!item.items.empty()) {
            QMenu* sub = menu.addMenu(text);
            sub->setEnabled(item.enabled);
            addItems(*sub, item.items);
            continue;
        }
        QAction* action = menu.addAction(text);
        action->setData(item.id);
        action->setEnabled(item.enabled);
    }
}

template <std::size_t N> void put(char (&to)[N], const std::string& from) {
    const std::size_t n = std::min(from.size(), N - 1);
    std::memcpy(to, from.data(), n);
    to[n] = '\0';
}

} // namespace

void TDial_DES::rowRightClick(int row, const QPoint& global) {
    const RowClick click = m_menus.rightClick(row, m_localize.running());
    if (click.stopLocalize) {
        m_localize.requestStop();
    }
    if (!click.messageLine.empty()) {
        setMessage(QString::fromStdString(click.messageLine));
    }
    refreshList();
    if (click.kind == MenuKind::None || click.items.empty()) {
        return;
    }
    QMenu menu(this);
    addItems(menu, click.items);
    connect(&menu, &QMenu::hovered, this, [this](QAction* action) {
        const std::string hint = m_menus.hint(action->data().toInt());
        if (!hint.empty()) {
            setMessage(QString::fromStdString(hint));
        }
    });
    QAction* chosen = m_chooseMenu(menu, global);
    if (chosen != nullptr && chosen->data().isValid()) {
        runMenuItem(chosen->data().toInt(), global);
    }
    refreshList();
}

void TDial_DES::runMenuItem(int id, const QPoint& global) {
    switch (id) {
    case menu_item::kChangeAddress:
        changeConfiguration(ConfigChange::Address);
        return;
    case menu_item::kChangeBaud:
        changeConfiguration(ConfigChange::Baud);
        return;
    case menu_item::kChangeProtocol:
        changeConfiguration(ConfigChange::Protocol);
        return;
    case menu_item::kFullIdentity: {
        const DirectCommand command = m_menus.fullIdentityCommand();
        if (command.text.empty()) {
            return;
        }
        for (const std::string& t : command.traces) {
            trace(t);
        }
        shell::TBox b;
        b.title = QString::fromStdString(m_menus.fullIdentityTitle());
        b.text = QString::fromStdString(directExchange(command.target, command.text));
        ask(b);
        return;
    }
    case menu_item::kTypeDescription:
    case menu_item::kFoundTypeDescription:
    case menu_item::kModifiedTypeDescription:
        help(kTypeDescriptionHelpContext);
        return;
    case menu_item::kLabelNew: {
        const LabelDialog d = m_menus.labelDialog();
        widgets::TagInputRequest r;
        r.caption = QString::fromStdString(d.title);
        r.prompt = QString::fromStdString(d.prompt);
        r.text = QString::fromStdString(d.initial);
        r.kind = widgets::TInputKind::kText;
        r.maxLength = static_cast<int>(d.maxLength);
        r.allowed = QStringLiteral("[0-9A-Za-z_#+\\- ]*");
        r.position = global;
        const widgets::TagInputResult answer = m_askInput(r, this);
        if (answer.code == widgets::kInputAccepted) {
            m_menus.setLabel(answer.text.toStdString());
        }
        return;
    }
    case menu_item::kLabelPick:
        m_menus.pickLabels(m_labels);
        return;
    case menu_item::kCancelSetting:
        m_menus.cancelSetting();
        return;
    case menu_item::kGetInfo:
        ask(box(m_menus.getInfo()));
        return;
    case menu_item::kLocalize: {
        const ConfirmBox c = m_menus.localizeBox();
        shell::TBox b;
        b.title = QString::fromStdString(c.title);
        b.text = QString::fromStdString(c.text);
        b.buttons = shell::TBoxButtons::OkCancel;
        b.helpContext = kLocalizeHelpContext;
        if (ask(b) == shell::TBoxAnswer::Ok && m_table.current() != kNoAddress) {
            setMessage(QString::fromStdString(m_localize.start(
                m_table.current(), LocalizeLine{m_ports.currentName().toStdString(),
                                                m_protocols.currentName().toStdString(),
                                                m_bauds.currentName().toStdString()})));
            wakeIdle();
        }
        return;
    }
    default:
        if (id >= menu_item::kFirstTypeName && id < menu_item::kFirstTypeName + kMaxTypeNames) {
            m_menus.chooseType(id);
        }
        return;
    }
}

void TDial_DES::changeConfiguration(ConfigChange change) {
    const ChoiceDialog d = m_menus.changeDialog(change);
    widgets::TagInputRequest r;
    r.caption = QString::fromStdString(d.title);
    r.prompt = QString::fromStdString(d.prompt);
    r.kind = widgets::TInputKind::kChoice;
    for (std::size_t i = 0; i < d.choices.size(); ++i) {
        r.choices.push_back(
            {QString::fromStdString(d.choices[i]), i < d.values.size() ? d.values[i] : -1});
    }
    const widgets::TagInputResult answer = m_askInput(r, this);
    if (answer.code != widgets::kInputAccepted) {
        return;
    }
    const ConfirmBox c = m_menus.confirmChange();
    shell::TBox b;
    b.title = QString::fromStdString(c.title);
    b.text = QString::fromStdString(c.text);
    b.buttons = shell::TBoxButtons::OkCancel;
    if (ask(b) != shell::TBoxAnswer::Ok) {
        return;
    }
    const DirectCommand command = m_menus.changeCommand(change, answer.text.toStdString());
    if (command.text.empty()) {
        return;
    }
    for (const std::string& t : command.traces) {
        trace(t);
    }
    directExchange(command.target, command.text);
    // The module answers with its new setting only: a new Automatic scan finds it there.
    m_automatic->setChecked(true);
    for (QAbstractButton* button : m_modes->buttons()) {
        button->setEnabled(true);
    }
    setDisplay(display::kRescan);
}

std::string TDial_DES::directExchange(const std::string& target, const std::string& text) {
    request(req::kCloseLine, nullptr);
    contract::TagProbe probe;
    put(probe.port, m_port->currentText().toStdString());
    put(probe.protocol, m_protocol->currentText().toStdString());
    put(probe.baud, m_baud->currentText().toStdString());
    put(probe.target, target);
    put(probe.result, text);
    probe.openFirst = 1;
    probe.closeAfter = 1;
    probe.step = contract::kProbeAnswered;
    trace("pour dialogue[" + std::string(probe.baud) + " " + probe.protocol + " " + probe.target +
          "]");
    request(req::kProbeSend, &probe);
    std::optional<std::string> reply;
    if (probe.step == contract::kProbeAnswered) {
        probe.result[sizeof probe.result - 1] = '\0';
        reply = std::string(probe.result);
    }
    return directExchangeResult(reply);
}

void TDial_DES::localizeStep() {
    const LocalizeStep s = m_localize.step();
    if (s.captureMouse && isVisible()) {
        grabMouse();
    }
    if (!s.lineAppend.empty()) {
        m_message->setText(m_message->text() + QString::fromStdString(s.lineAppend));
    }
    contract::TagProbe probe;
    put(probe.target, s.probe.target);
    put(probe.port, s.probe.port);
    put(probe.protocol, s.probe.protocol);
    put(probe.baud, s.probe.baud);
    probe.address = s.probe.address;
    probe.openFirst = s.probe.openFirst ? 1 : 0;
    probe.closeAfter = s.probe.closeAfter ? 1 : 0;
    request(req::kProbeReset, &probe);
    if (s.last) {
        m_table.removeHighlight();
        setMessage({});
        releaseMouse();
        refreshList();
    }
}

void TDial_DES::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton && m_localize.running()) {
        m_localize.requestStop();
        setMessage(QStringLiteral("Next localize will stopped"));
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

} // namespace tamsel::discovery
