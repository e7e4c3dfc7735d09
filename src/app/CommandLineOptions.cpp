#include "app/CommandLineOptions.h"

namespace gridlume {

CommandLineOptions CommandLineOptions::parse(const QStringList& arguments)
{
    CommandLineOptions options;
    for (const QString& argument : arguments) {
        Action action;
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            action = Action::help;
        else if (argument == QLatin1String("--version") || argument == QLatin1String("-v"))
            action = Action::version;
        else if (argument == QLatin1String("--toggle"))
            action = Action::toggle;
        else
            return { Action::invalid, QStringLiteral("unknown option '%1'").arg(argument) };
        // Help and version win over everything else, whatever the order.
        if (action == Action::help || options.action == Action::help)
            options.action = Action::help;
        else if (action == Action::version || options.action == Action::version)
            options.action = Action::version;
        else
            options.action = action;
    }
    return options;
}

QString CommandLineOptions::helpText()
{
    return QStringLiteral(
        "Usage: gridlume [--toggle]\n"
        "Places windows on a grid: press the panel shortcut (set in the settings) or click the\n"
        "tray icon, then pick tiles with the mouse.\n"
        "\n"
        "Starting gridlume while it runs opens the settings window of the running one.\n"
        "\n"
        "Options:\n"
        "  --toggle     show or hide the tiling panels of the running Gridlume\n"
        "  -h, --help     show this help and exit\n"
        "  -v, --version  show the version and exit\n"
        "\n"
        "Settings: the settings window, kept in ~/.config/Gridlume/. Log: journalctl -t gridlume\n");
}

} // namespace gridlume
