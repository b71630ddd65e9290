#include "lock_keys.h"

#include <QDir>
#include <QFile>

namespace tamsel::shell {

namespace {

constexpr const char* kCapsSuffix = "::capslock";
constexpr const char* kNumSuffix = "::numlock";
constexpr const char* kBrightness = "brightness";
constexpr qint64 kBrightnessBytes = 16;

/// The LED's state, unknown when its brightness cannot be read as a number.
std::optional<bool> ledLit(const QDir& leds, const QString& entry) {
    QFile file(leds.filePath(entry + QLatin1Char('/') + QLatin1String(kBrightness)));
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    bool ok = false;
    const int value = file.read(kBrightnessBytes).trimmed().toInt(&ok);
    if (!ok) {
        return std::nullopt;
    }
    return value != 0;
}

void merge(std::optional<bool>& state, std::optional<bool> led) {
    if (led) {
        state = state.value_or(false) || *led;
    }
}

} // namespace

TLockKeys readLockKeys(const QString& ledDirectory) {
    TLockKeys keys;
    const QDir leds(ledDirectory);
    if (!leds.exists()) {
        return keys;
    }
    // The entries are symbolic links to the devices' LED directories.
    const QStringList entries =
        leds.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
    for (const QString& entry : entries) {
        if (entry.endsWith(QLatin1String(kCapsSuffix))) {
            merge(keys.caps, ledLit(leds, entry));
        } else if (entry.endsWith(QLatin1String(kNumSuffix))) {
            merge(keys.num, ledLit(leds, entry));
        }
    }
    return keys;
}

} // namespace tamsel::shell
