#pragma once

#include "platform/UserDefaults.h"

#include <QMap>

namespace gridlume {

// User defaults held in memory; tests put odd values in them directly.
class SimUserDefaults final : public UserDefaults {
public:
    std::optional<DefaultsValue> objectForKey(const QString& key) const override
    {
        auto it = m_values.constFind(key);
        return it == m_values.constEnd() ? std::nullopt : std::optional<DefaultsValue>(*it);
    }
    void setObject(const QString& key, const DefaultsValue& value) override
    {
        m_values.insert(key, value);
        ++m_writeCount;
    }
    void removeObject(const QString& key) override
    {
        m_values.remove(key);
        ++m_writeCount;
    }
    int writeCount() const { return m_writeCount; }

private:
    QMap<QString, DefaultsValue> m_values;
    int m_writeCount = 0;
};

} // namespace gridlume
