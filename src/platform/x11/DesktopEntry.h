#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

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

} // namespace gridlume
