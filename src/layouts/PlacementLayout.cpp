#include "layouts/PlacementLayout.h"

#include "placement/PlacementRequest.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace gridlume {

namespace {

    QString stepText(const WindowPlacementRegion& region)
    {
        const QString block = region.leftTopTile == region.bottomRightTile
            ? QStringLiteral("%1,%2").arg(region.leftTopTile.column).arg(region.leftTopTile.row)
            : QStringLiteral("%1,%2:%3,%4")
                  .arg(region.leftTopTile.column)
                  .arg(region.leftTopTile.row)
                  .arg(region.bottomRightTile.column)
                  .arg(region.bottomRightTile.row);
        return QStringLiteral("%1x%2 %3").arg(region.tileColumnCount).arg(region.tileRowCount).arg(block);
    }

    std::optional<PlacementLayout::Monitor> monitorFromWord(const QString& word)
    {
        using Monitor = PlacementLayout::Monitor;
        for (const Monitor monitor : { Monitor::current, Monitor::next, Monitor::primary }) {
            if (PlacementLayout::monitorWord(monitor) == word)
                return monitor;
        }
        return std::nullopt;
    }

    template <typename T>
    std::optional<T> failure(QString* error, const QString& message)
    {
        if (error)
            *error = message;
        return std::nullopt;
    }

    PlacementLayout preset(const QString& name, const QString& steps)
    {
        PlacementLayout layout;
        layout.name = name;
        layout.steps = *PlacementLayout::parseSteps(steps);
        return layout;
    }

} // namespace

QString PlacementLayout::stepsText() const
{
    QStringList texts;
    for (const WindowPlacementRegion& step : steps)
        texts.append(stepText(step));
    return texts.join(QStringLiteral("; "));
}

std::optional<QList<WindowPlacementRegion>> PlacementLayout::parseSteps(const QString& text, QString* error)
{
    QList<WindowPlacementRegion> steps;
    for (const QString& step : text.split(u';', Qt::SkipEmptyParts)) {
        const QStringList words = step.simplified().split(u' ');
        if (words.size() != 2)
            return failure<QList<WindowPlacementRegion>>(
                error, QStringLiteral("'%1' is not GRID BLOCK, e.g. 2x1 0,0").arg(step.trimmed()));
        const std::optional<PlacementRequest> request
            = PlacementRequest::parse(words[0], words[1], QStringLiteral("current"), error);
        if (!request)
            return std::nullopt;
        steps.append(request->region);
    }
    if (steps.isEmpty())
        return failure<QList<WindowPlacementRegion>>(error, QStringLiteral("no block is given"));
    return steps;
}

QString PlacementLayout::monitorWord(Monitor monitor)
{
    switch (monitor) {
    case Monitor::next:
        return QStringLiteral("next");
    case Monitor::primary:
        return QStringLiteral("primary");
    case Monitor::current:
        break;
    }
    return QStringLiteral("current");
}

QJsonValue PlacementLayout::toJson() const
{
    QJsonObject object { { QStringLiteral("name"), name } };
    if (kind == Kind::nextMonitor) {
        object.insert(QStringLiteral("action"), QStringLiteral("nextMonitor"));
    } else {
        QJsonArray stepTexts;
        for (const WindowPlacementRegion& step : steps)
            stepTexts.append(stepText(step));
        object.insert(QStringLiteral("steps"), stepTexts);
        object.insert(QStringLiteral("monitor"), monitorWord(monitor));
    }
    if (shortcut)
        object.insert(QStringLiteral("shortcut"), QJsonDocument::fromJson(shortcut->toJson()).object());
    return object;
}

std::optional<PlacementLayout> PlacementLayout::fromJson(const QJsonValue& value, QString* error)
{
    if (!value.isObject())
        return failure<PlacementLayout>(error, QStringLiteral("it is not an object"));
    const QJsonObject object = value.toObject();
    PlacementLayout layout;
    if (!object.value(QStringLiteral("name")).isString())
        return failure<PlacementLayout>(error, QStringLiteral("it has no name"));
    layout.name = object.value(QStringLiteral("name")).toString();

    const QJsonValue action = object.value(QStringLiteral("action"));
    if (action == QJsonValue(QStringLiteral("nextMonitor"))) {
        layout.kind = Kind::nextMonitor;
    } else if (!action.isUndefined()) {
        return failure<PlacementLayout>(error, QStringLiteral("its action is not \"nextMonitor\""));
    } else {
        const QJsonValue stepsValue = object.value(QStringLiteral("steps"));
        QStringList texts;
        for (const QJsonValue& step : stepsValue.toArray()) {
            if (!step.isString())
                return failure<PlacementLayout>(error, QStringLiteral("a step is not a string"));
            texts.append(step.toString());
        }
        if (!stepsValue.isArray() || texts.isEmpty())
            return failure<PlacementLayout>(error, QStringLiteral("it has no steps"));
        QString stepError;
        const auto steps = parseSteps(texts.join(u';'), &stepError);
        if (!steps)
            return failure<PlacementLayout>(error, stepError);
        layout.steps = *steps;
        const QJsonValue monitor = object.value(QStringLiteral("monitor"));
        if (!monitor.isUndefined()) {
            const auto chosen = monitorFromWord(monitor.toString());
            if (!chosen)
                return failure<PlacementLayout>(error, QStringLiteral("its monitor is not current, next or primary"));
            layout.monitor = *chosen;
        }
    }

    const QJsonValue shortcut = object.value(QStringLiteral("shortcut"));
    if (!shortcut.isUndefined()) {
        layout.shortcut = shortcut.isObject()
            ? KeyboardShortcut::fromJson(QJsonDocument(shortcut.toObject()).toJson(QJsonDocument::Compact))
            : std::nullopt;
        if (!layout.shortcut)
            return failure<PlacementLayout>(error, QStringLiteral("its shortcut cannot be decoded"));
    }
    return layout;
}

QList<PlacementLayout> PlacementLayout::presets()
{
    QList<PlacementLayout> presets {
        preset(QStringLiteral("Left half, third, two thirds"), QStringLiteral("2x1 0,0; 3x1 0,0; 3x1 0,0:1,0")),
        preset(QStringLiteral("Right half, third, two thirds"), QStringLiteral("2x1 1,0; 3x1 2,0; 3x1 1,0:2,0")),
        preset(QStringLiteral("Left half"), QStringLiteral("2x1 0,0")),
        preset(QStringLiteral("Right half"), QStringLiteral("2x1 1,0")),
        preset(QStringLiteral("Top half"), QStringLiteral("1x2 0,0")),
        preset(QStringLiteral("Bottom half"), QStringLiteral("1x2 0,1")),
        preset(QStringLiteral("Left third"), QStringLiteral("3x1 0,0")),
        preset(QStringLiteral("Centre third"), QStringLiteral("3x1 1,0")),
        preset(QStringLiteral("Right third"), QStringLiteral("3x1 2,0")),
        preset(QStringLiteral("Top-left quarter"), QStringLiteral("2x2 0,0")),
        preset(QStringLiteral("Top-right quarter"), QStringLiteral("2x2 1,0")),
        preset(QStringLiteral("Bottom-left quarter"), QStringLiteral("2x2 0,1")),
        preset(QStringLiteral("Bottom-right quarter"), QStringLiteral("2x2 1,1")),
        preset(QStringLiteral("Maximise on the grid"), QStringLiteral("1x1 0,0")),
    };
    PlacementLayout nextMonitor;
    nextMonitor.name = QStringLiteral("Move to the next monitor");
    nextMonitor.kind = Kind::nextMonitor;
    presets.append(nextMonitor);
    return presets;
}

} // namespace gridlume
