#include "command_menus.h"

#include "terminal_codes.h"

#include <QAction>
#include <QMenu>

namespace tamsel::terminal {

namespace {

struct TKindName {
    const char* name;
    int kind;
};

constexpr TKindName kKinds[] = {
    {"MICROTRILO", menu::kTriloFamily}, {"TRILO", menu::kTriloFamily},
    {"VRX17", menu::kVrx17Family},      {"DVRX", menu::kVrx17Family},
    {"VRX23", menu::kVrx23Family},      {"VRX34", menu::kVrx23Family},
};

// Separators are empty texts.
const char* const kTriloItems[] = {"MR", "GS",      "",   "GO nnn.", "GA nnn.", "GH",     "GF nnn.",
                                   "",   "DP nnn.", "GM", "GR",      "",        "SS nnn."};
const char* const kVrx17Items[] = {"MRE", "STO",      "",       "MON nnn.", "MTO nnn.", "MSP nnn.",
                                   "",    "TRA nnn.", "POW ON", "POW OFF",  "",         "SSE nnn."};
const char* const kVrx23Items[] = {"mr", "gs",      "ge",      "", "ga nnn.", "gf nnn.", "gh",
                                   "",   "gi nnn.", "wx nnn.", "", "di",      "qp",      "ql"};

template <std::size_t N> QStringList listOf(const char* const (&items)[N]) {
    QStringList out;
    for (const char* item : items) {
        out << QString::fromLatin1(item);
    }
    return out;
}

} // namespace

int targetKind(const QString& targetName) {
    for (const TKindName& k : kKinds) {
        if (targetName == QLatin1String(k.name)) {
            return k.kind;
        }
    }
    return 0;
}

QStringList menuItems(int kind) {
    switch (kind) {
    case menu::kTriloFamily:
        return listOf(kTriloItems);
    case menu::kVrx17Family:
        return listOf(kVrx17Items);
    case menu::kVrx23Family:
        return listOf(kVrx23Items);
    default:
        return {};
    }
}

QMenu* buildCommandMenu(int kind, QWidget* parent) {
    const QStringList items = menuItems(kind);
    if (items.isEmpty()) {
        return nullptr;
    }
    auto* built = new QMenu(QStringLiteral("Quick Command"), parent);
    built->setObjectName(QString::number(kind));
    for (const QString& item : items) {
        if (item.isEmpty()) {
            built->addSeparator();
        } else {
            built->addAction(item);
        }
    }
    return built;
}

QString withAddress(int address, const QString& text) {
    if (address == kAddressAll) {
        return text;
    }
    return QString::asprintf("%02d", address) + text;
}

QString addressText(int address) {
    return address == kAddressAll ? QStringLiteral("ALL") : QString::asprintf(" %02d ", address);
}

} // namespace tamsel::terminal
