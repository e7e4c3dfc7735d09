#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <variant>

namespace gridlume {

// A stored value keeps its type: a bool read back is a bool, data is data, a string a string.
using DefaultsValue = std::variant<bool, qint64, double, QString, QByteArray>;

// The user's persistent settings: a flat map from keys to typed values.
class UserDefaults {
public:
    virtual ~UserDefaults() = default;

    // The value under `key` of whatever type, or none.
    virtual std::optional<DefaultsValue> objectForKey(const QString& key) const = 0;
    // Stores the value and persists it. Writing never fails for the caller; a value that cannot
    // be persisted is kept for this session and the backend reports why.
    virtual void setObject(const QString& key, const DefaultsValue& value) = 0;
    virtual void removeObject(const QString& key) = 0;

    // Typed reads: none when the key is absent or holds another type.
    std::optional<QString> stringForKey(const QString& key) const;
    std::optional<QByteArray> dataForKey(const QString& key) const;
    std::optional<bool> boolForKey(const QString& key) const;
    // A whole number stored as one, or as its decimal digits (as an INI file holds it).
    std::optional<qint64> integerForKey(const QString& key) const;
    void setBool(const QString& key, bool value) { setObject(key, value); }
};

} // namespace gridlume
