#include "recent_files.h"

#include "app_request.h"

#include <QFileInfo>
#include <QSettings>

#include <utility>

namespace tamsel::shell {

namespace {

const QString kSection = QStringLiteral("Recent File List");

QString keyOf(int index) {
    return QStringLiteral("File%1").arg(index + 1);
}

bool usable(const QString& path) {
    if (path.isEmpty() || path.toUtf8().size() >= kTextSize) {
        return false;
    }
    for (const QChar c : path) {
        if (c.unicode() < 0x20 || c == QChar::ReplacementCharacter) {
            return false;
        }
    }
    return true;
}

} // namespace

TRecentFiles::TRecentFiles(QString profilePath) : m_profile(std::move(profilePath)) {
    if (!QFileInfo(m_profile).isFile()) {
        return;
    }
    QSettings profile(m_profile, QSettings::IniFormat);
    profile.beginGroup(kSection);
    for (int i = 0; i < kMaxEntries; ++i) {
        const QString path = profile.value(keyOf(i)).toString();
        if (usable(path) && !m_entries.contains(path)) {
            m_entries.append(path);
        }
    }
    profile.endGroup();
}

bool TRecentFiles::add(const QString& path) {
    if (!usable(path)) {
        return false;
    }
    m_entries.removeAll(path);
    m_entries.prepend(path);
    while (m_entries.size() > kMaxEntries) {
        m_entries.removeLast();
    }
    return save();
}

bool TRecentFiles::remove(const QString& path) {
    m_entries.removeAll(path);
    return save();
}

bool TRecentFiles::save() const {
    QSettings profile(m_profile, QSettings::IniFormat);
    profile.remove(kSection);
    profile.beginGroup(kSection);
    for (int i = 0; i < m_entries.size(); ++i) {
        profile.setValue(keyOf(i), m_entries.at(i));
    }
    profile.endGroup();
    profile.sync();
    return profile.status() == QSettings::NoError;
}

} // namespace tamsel::shell
