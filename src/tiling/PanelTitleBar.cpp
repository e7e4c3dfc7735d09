#include "tiling/PanelTitleBar.h"

#include "tiling/PanelTitleBarButton.h"

#include <QHBoxLayout>

namespace gridlume {

PanelTitleBar::PanelTitleBar(QWidget* parent)
    : QWidget(parent)
    , m_closeButton(new PanelTitleBarButton(PanelSymbol::Close, this))
    , m_settingsButton(new PanelTitleBarButton(PanelSymbol::Settings, this))
{
    setFixedHeight(28);
    m_closeButton->setAccessibleName(QStringLiteral("Close"));
    m_settingsButton->setToolTip(QStringLiteral("Settings"));
    m_settingsButton->setAccessibleName(QStringLiteral("Settings"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_closeButton);
    layout->addStretch();
    layout->addWidget(m_settingsButton);

    connect(m_closeButton, &QAbstractButton::clicked, this, [this] {
        if (m_onClose)
            m_onClose();
    });
    connect(m_settingsButton, &QAbstractButton::clicked, this, [this] {
        if (m_openSettings)
            m_openSettings();
    });
}

} // namespace gridlume
