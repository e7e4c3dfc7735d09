#pragma once

#include "platform/UrlOpener.h"

#include <QList>
#include <QSet>
#include <QString>

namespace gridlume {

// Records every URL it is asked to open. Schemes listed with failScheme(), or every URL after
// failAll(), are refused like a desktop without a handler for them.
class SimUrlOpener final : public UrlOpener {
public:
    bool openUrl(const QUrl& url) override
    {
        m_requestedUrls.append(url);
        if (m_failAll || m_failingSchemes.contains(url.scheme()))
            return false;
        m_openedUrls.append(url);
        return true;
    }

    void failScheme(const QString& scheme) { m_failingSchemes.insert(scheme); }
    void failAll(bool fail = true) { m_failAll = fail; }
    // Every URL asked for, opened or not, in order.
    const QList<QUrl>& requestedUrls() const { return m_requestedUrls; }
    // The URLs that a handler accepted.
    const QList<QUrl>& openedUrls() const { return m_openedUrls; }
    void clear()
    {
        m_requestedUrls.clear();
        m_openedUrls.clear();
    }

private:
    QList<QUrl> m_requestedUrls;
    QList<QUrl> m_openedUrls;
    QSet<QString> m_failingSchemes;
    bool m_failAll = false;
};

} // namespace gridlume
