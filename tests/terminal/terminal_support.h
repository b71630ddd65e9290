// What the terminal's tests share: a prompter that answers every box and remembers it,
// waits on conditions while the event loop turns, and a stand-in application whose
// answers each test decides.
#pragma once

#include <app_request.h>
#include <contract/records.h>
#include <cp1252.h>
#include <prompter.h>
#include <shell_codes.h>
#include <tool_plugin_api.h>

#include "support/event_wait.h"

#include <comm/free_text.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHash>
#include <QList>
#include <QRect>
#include <QStringList>
#include <QTimer>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <functional>

#include <ostream>

/// Test failures show a text as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace tamsel::terminal::test {

/// Waits for @p condition while the event loop turns; generous, never a fixed sleep.
inline bool waitFor(const std::function<bool()>& condition,
                    int timeoutMs = support::kGenerousWaitMs) {
    return support::waitForEvents(condition, timeoutMs);
}

/// Lets queued events run.
inline void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
    }
}

class TRecordingPrompter final : public shell::TPrompter {
  public:
    QList<shell::TBox> boxes;
    int beeps = 0;
    std::function<void(const shell::TBox&)> onBox;

    shell::TBoxAnswer ask(QWidget*, const shell::TBox& box) override {
        boxes.append(box);
        if (onBox) {
            onBox(box);
        }
        return box.buttons == shell::TBoxButtons::YesNoCancel ? shell::TBoxAnswer::Yes
                                                              : shell::TBoxAnswer::Ok;
    }
    QString chooseFile(QWidget*, const shell::TFileQuestion&) override { return {}; }
    void beep() override { ++beeps; }

    QStringList texts() const {
        QStringList out;
        for (const shell::TBox& b : boxes) {
            out << b.text;
        }
        return out;
    }
};

/// One request as the window sent it.
struct TSentRequest {
    std::uint16_t code = 0;
    std::uint16_t hi = 0;
    QString text; ///< the free text of 0x103, the note of 0x5557, the tool of 0xf000
    int mode = 0; ///< free-text mode of 0x103
};

/// The application as the window sees it, with a project and a line the test sets up.
class TFakeApp final : public shell::TRequestSink {
  public:
    QStringList targets{"TRILO", "MICROTRILO", "VRX17", "DVRX", "VRX23", "VRX34", "JBUS"};
    int selectedTarget = 0;
    /// Oldest first, as the project keeps them.
    QStringList lastCommands;
    QHash<QString, QStringList> glossary;
    /// Answers a free text; by default the module echoes "ok " and the text.
    std::function<void(contract::TagFreeText&)> line = [](contract::TagFreeText& r) {
        const QByteArray reply = "ok " + QByteArray(r.text);
        std::snprintf(r.reply, sizeof r.reply, "%s", reply.left(254).constData());
        r.status = 0;
    };
    /// What the tool request sets as its result.
    std::uint8_t toolResult = 0;
    QWidget* toolOwner = nullptr;
    QString programDirectory = QStringLiteral("/opt/tamsel2");
    QList<TSentRequest> sent;
    /// The last help request.
    shell::TagHelpInfo help;

    QList<TSentRequest> of(std::uint16_t code) const {
        QList<TSentRequest> out;
        for (const TSentRequest& r : sent) {
            if (r.code == code) {
                out << r;
            }
        }
        return out;
    }

    std::int32_t request(std::uint16_t code, std::uint16_t hi, void* record) override {
        TSentRequest r{code, hi, {}, 0};
        switch (code) {
        case shell::req::kListTargets: {
            auto& list = *static_cast<shell::TagList*>(record);
            list.items = targets;
            list.selected = selectedTarget;
            break;
        }
        case shell::req::kListGlossary: {
            auto& list = *static_cast<shell::TagList*>(record);
            r.text = list.target;
            list.items = glossary.value(list.target);
            break;
        }
        case shell::req::kLastCommandCount:
            *static_cast<std::int32_t*>(record) = static_cast<std::int32_t>(lastCommands.size());
            break;
        case shell::req::kLastCommand:
            shell::copyCp1252(hi < lastCommands.size() ? lastCommands[hi]
                                                       : QStringLiteral("inconnu"),
                              static_cast<char*>(record), shell::kTextSize);
            break;
        case shell::req::kFreeTextKept: {
            auto& t = *static_cast<contract::TagFreeText*>(record);
            // As the communication layer does: a mode-2 text is cleaned and handed back.
            if (t.mode == contract::kFreeTextCleaned) {
                const std::string cleaned = tkv::freetext::clean(t.text);
                std::memset(t.text, 0, sizeof t.text);
                std::memcpy(t.text, cleaned.data(), std::min(cleaned.size(), sizeof t.text - 1));
            }
            r.text = QString::fromLatin1(t.text);
            r.mode = t.mode;
            const QByteArray text(t.text);
            bool digits = text.size() >= 2 && std::isdigit(static_cast<unsigned char>(text[0])) &&
                          std::isdigit(static_cast<unsigned char>(text[1]));
            t.address = digits ? text.left(2).toInt() : -1;
            line(t);
            lastCommands << QString::fromLatin1(t.text);
            break;
        }
        case shell::req::kProgramDirectory:
            shell::copyCp1252(programDirectory, static_cast<char*>(record), shell::kTextSize);
            break;
        case shell::req::kDiagnostic:
            r.text = QString::fromLatin1(static_cast<const char*>(record));
            break;
        case shell::req::kHelp:
            help = *static_cast<const shell::TagHelpInfo*>(record);
            break;
        case shell::req::kTool: {
            auto& tool = *static_cast<TagToolRequest*>(record);
            r.text = QString::fromLatin1(tool.name);
            toolOwner = tool.owner;
            if (QString::fromLatin1(tool.name) != QLatin1String("purge")) {
                tool.loaded = toolResult;
            }
            break;
        }
        case shell::req::kDialogGeometry: {
            auto& g = *static_cast<shell::TagDialogGeometry*>(record);
            g.client = QRect(0, 0, 1000, 700);
            g.dialog = QRect(0, 0, 620, 420);
            break;
        }
        default:
            break;
        }
        sent << r;
        return 0;
    }
};

} // namespace tamsel::terminal::test
