#pragma once

#include "DesktopEntry.h"

#include <QHash>
#include <QStringList>

#include <optional>
#include <vector>

namespace gridlume {

// The installed applications' desktop entries, looked up by a window's WM_CLASS.
//
// Read on first use. Directories earlier in the list shadow later ones (the user's own
// entries first, as XDG_DATA_HOME comes before XDG_DATA_DIRS).
class DesktopEntryIndex {
public:
    explicit DesktopEntryIndex(QStringList applicationDirectories = standardDirectories(),
        QStringList localeNames = systemLocaleNames());

    // The entry of a window whose WM_CLASS is (instance, class): the entry whose StartupWMClass
    // names the class (or the instance), else the one whose ID is the class or instance name
    // (case-insensitively, also as the last part of a reverse-DNS ID). None when nothing matches.
    std::optional<DesktopEntry> find(const QString& instanceName, const QString& className) const;

    // $XDG_DATA_HOME/applications, then every $XDG_DATA_DIRS/applications.
    static QStringList standardDirectories();
    // The user's locale as desktop entries spell it: "de_DE", then "de".
    static QStringList systemLocaleNames();

private:
    void load() const;

    QStringList m_directories;
    QStringList m_localeNames;
    mutable bool m_didLoad = false;
    mutable std::vector<DesktopEntry> m_entries;
};

} // namespace gridlume
