#pragma once

#include "platform/Accessibility.h"

#include <QString>

namespace gridlume {

// The accessibility element of one window KWin manages, by KWin's internal id (a UUID that is
// never reused).
class KWinWindowElement final : public AXUIElement {
public:
    explicit KWinWindowElement(QString window)
        : m_window(std::move(window))
    {
    }
    const QString& window() const { return m_window; }

private:
    QString m_window;
};

} // namespace gridlume
