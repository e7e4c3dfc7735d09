#include "permission/PermissionSetupService.h"

#include <QUrl>

namespace gridlume {

namespace {

    std::optional<QUrl> parsedUrl(const QString& text)
    {
        const QUrl url(text, QUrl::StrictMode);
        if (text.isEmpty() || !url.isValid() || url.scheme().isEmpty())
            return std::nullopt;
        return url;
    }

} // namespace

PermissionSetupService::SettingsLinks PermissionSetupService::defaultSettingsLinks()
{
    return { QStringLiteral("https://gridlume.org/help/permission#accessibility"),
        QStringLiteral("https://gridlume.org/help/permission") };
}

PermissionSetupService::PermissionSetupService(UrlOpener& urlOpener, SettingsLinks links, QObject* parent)
    : QObject(parent)
    , m_urlOpener(urlOpener)
    , m_links(std::move(links))
{
}

void PermissionSetupService::openAccessibilitySettings()
{
    if (const auto url = parsedUrl(m_links.accessibilityPane); url && m_urlOpener.openUrl(*url))
        return;
    if (const auto url = parsedUrl(m_links.securityPane))
        (void)m_urlOpener.openUrl(*url);
}

} // namespace gridlume
