// The recent-files list: at most five command files, newest first, kept in the profile
// "tm2mru.ini" of the current directory.
#pragma once

#include <QString>
#include <QStringList>

namespace tamsel::shell {

class TRecentFiles {
  public:
    static constexpr int kMaxEntries = 5;

    /// Reads the profile @p profilePath; an unreadable or damaged profile gives an empty
    /// list, and entries that cannot be file paths are dropped.
    explicit TRecentFiles(QString profilePath);

    const QStringList& entries() const { return m_entries; }

    /// Puts @p path first (once) and writes the profile. Returns false when the profile
    /// could not be written; the list in memory is changed all the same.
    bool add(const QString& path);

    /// Drops @p path from the list (a file that no longer opens) and writes the profile.
    bool remove(const QString& path);

    const QString& profilePath() const { return m_profile; }

  private:
    bool save() const;

    QString m_profile;
    QStringList m_entries;
};

} // namespace tamsel::shell
