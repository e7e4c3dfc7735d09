#include "app/CommandLineOptions.h"

namespace gridlume {

namespace {
    CommandLineOptions parsePlace(const QStringList& arguments)
    {
        auto invalid = [](const QString& message) {
            return CommandLineOptions { CommandLineOptions::Action::invalid, message, {} };
        };
        QStringList words;
        QString monitor = QStringLiteral("current");
        for (qsizetype i = 0; i < arguments.size(); ++i) {
            const QString& argument = arguments[i];
            if (argument == QLatin1String("--monitor")) {
                if (i + 1 >= arguments.size())
                    return invalid(QStringLiteral("--monitor needs a monitor"));
                monitor = arguments[++i];
            } else if (argument.startsWith(QLatin1String("--monitor="))) {
                monitor = argument.mid(10);
            } else if (argument.startsWith(QLatin1String("--"))) {
                return invalid(QStringLiteral("unknown option '%1'").arg(argument));
            } else {
                words.append(argument);
            }
        }
        if (words.size() != 2)
            return invalid(QStringLiteral("place needs a grid and a block"));
        QString error;
        const auto request = PlacementRequest::parse(words[0], words[1], monitor, &error);
        if (!request)
            return invalid(error);
        return CommandLineOptions { CommandLineOptions::Action::place, {}, *request };
    }
} // namespace

CommandLineOptions CommandLineOptions::parse(const QStringList& arguments)
{
    // A command of its own, with arguments of its own.
    if (!arguments.isEmpty() && arguments.first() == QLatin1String("place"))
        return parsePlace(arguments.mid(1));
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
            return { Action::invalid, QStringLiteral("unknown option '%1'").arg(argument), {} };
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
        "       gridlume place GRID BLOCK [--monitor WHICH]\n"
        "Places windows on a grid: press the panel shortcut (set in the settings) or click the\n"
        "tray icon, then pick tiles with the mouse.\n"
        "\n"
        "Starting gridlume while it runs opens the settings window of the running one.\n"
        "\n"
        "Options:\n"
        "  --toggle     show or hide the tiling panels of the running Gridlume\n"
        "  place GRID BLOCK [--monitor WHICH]\n"
        "               place the active window: GRID is COLUMNSxROWS (1 to 64 each), BLOCK is\n"
        "               COLUMN,ROW or COLUMN,ROW:COLUMN,ROW (0-based, inclusive), WHICH is current\n"
        "               (the default), next, primary, a number from 0 or a monitor name; e.g.\n"
        "               'gridlume place 2x1 1,0' for the right half. Exit status 0 when placed,\n"
        "               1 when not (the reason on standard error), 2 for bad arguments\n"
        "  -h, --help     show this help and exit\n"
        "  -v, --version  show the version and exit\n"
        "\n"
        "Settings: the settings window, kept in ~/.config/Gridlume/. Log: journalctl -t gridlume\n");
}

QString CommandLineOptions::placeUsage()
{
    return QStringLiteral("usage: gridlume place GRID BLOCK [--monitor WHICH], e.g. gridlume place 3x2 0,0:1,1\n");
}

} // namespace gridlume
