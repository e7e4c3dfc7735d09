#pragma once

#include <QByteArray>
#include <QIcon>
#include <QString>
#include <QStringList>

#include <optional>

#include <sys/types.h>

namespace gridlume {

// The parts of a freedesktop.org desktop entry ("foo.desktop") that name an application.
struct DesktopEntry {
    // The desktop file ID: the path below applications/ with '/' turned into '-', without
    // ".desktop" ("org.gnome.Terminal", "debian-xterm").
    QString id;
    // Name, localized for the first of `localeNames` that has a translation.
    QString name;
    QString icon;
    QString startupWMClass;

    // Parses the [Desktop Entry] group. None when the group is missing, the entry is not an
    // application, or it is marked Hidden ("the user deleted it").
    // `localeNames` are tried in order ("de_DE", "de"), then the untranslated Name.
    static std::optional<DesktopEntry> parse(const QByteArray& contents, const QString& id, const QStringList& localeNames);

    friend bool operator==(const DesktopEntry&, const DesktopEntry&) = default;
};

// How an application is named to the user: by its desktop entry (name, ID and icon), else by
// its window class, else by its process's command name.
struct ApplicationNaming {
    std::optional<QString> name;
    std::optional<QString> identifier;
    QIcon icon;
};
ApplicationNaming nameApplication(const std::optional<DesktopEntry>& entry, const QString& className, pid_t pid);

} // namespace gridlume
