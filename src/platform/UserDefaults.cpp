#include "UserDefaults.h"

namespace gridlume {

namespace {
    template <typename T>
    std::optional<T> typedValue(const std::optional<DefaultsValue>& value)
    {
        if (value && std::holds_alternative<T>(*value))
            return std::get<T>(*value);
        return std::nullopt;
    }
} // namespace

std::optional<QString> UserDefaults::stringForKey(const QString& key) const
{
    return typedValue<QString>(objectForKey(key));
}

std::optional<QByteArray> UserDefaults::dataForKey(const QString& key) const
{
    return typedValue<QByteArray>(objectForKey(key));
}

std::optional<bool> UserDefaults::boolForKey(const QString& key) const
{
    return typedValue<bool>(objectForKey(key));
}

std::optional<qint64> UserDefaults::integerForKey(const QString& key) const
{
    const std::optional<DefaultsValue> value = objectForKey(key);
    if (const auto number = typedValue<qint64>(value))
        return number;
    bool isNumber = false;
    const qint64 number = typedValue<QString>(value).value_or(QString()).trimmed().toLongLong(&isNumber);
    return isNumber ? std::optional(number) : std::nullopt;
}

} // namespace gridlume
