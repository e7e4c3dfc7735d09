#pragma once

#include <QString>

namespace gridlume {

// Why a settings change did not take effect.
class SettingServiceError {
public:
    enum Code {
        hotKeyRegistrationFailed,
        unexpectedError,
    };

    constexpr SettingServiceError(Code code)
        : m_code(code)
    {
    }
    constexpr Code code() const { return m_code; }
    // For people: "HotKey registration failed", "Unexpected error occur".
    QString description() const
    {
        return m_code == hotKeyRegistrationFailed ? QStringLiteral("HotKey registration failed")
                                                  : QStringLiteral("Unexpected error occur");
    }
    friend constexpr bool operator==(SettingServiceError, SettingServiceError) = default;

private:
    Code m_code;
};

} // namespace gridlume
