#include "settings_window/QtAppearanceApplier.h"

#include "settings_window/ColorSchemePortal.h"

#include <QApplication>
#include <QStyleFactory>

namespace gridlume {

QtAppearanceApplier::QtAppearanceApplier(SystemPrefersDark systemPrefersDark, QObject* parent)
    : QObject(parent)
    , m_systemPrefersDark(std::move(systemPrefersDark))
{
    if (!m_systemPrefersDark) {
        auto* portal = new ColorSchemePortal(this);
        m_systemPrefersDark = [portal]() -> std::optional<bool> {
            const auto scheme = portal->colorScheme();
            if (!scheme || *scheme == ColorSchemePortal::ColorScheme::noPreference)
                return std::nullopt;
            return *scheme == ColorSchemePortal::ColorScheme::preferDark;
        };
        connect(portal, &ColorSchemePortal::colorSchemeChanged, this, &QtAppearanceApplier::systemPreferenceChanged);
    }
}

void QtAppearanceApplier::applyAppearance(AppAppearance appearance)
{
    m_appearance = appearance;
    switch (appearance) {
    case AppAppearance::light:
        applyPalette(false);
        break;
    case AppAppearance::dark:
        applyPalette(true);
        break;
    case AppAppearance::system:
        applyPalette(m_systemPrefersDark().value_or(false));
        break;
    }
}

void QtAppearanceApplier::systemPreferenceChanged()
{
    if (m_appearance == AppAppearance::system)
        applyAppearance(AppAppearance::system);
}

void QtAppearanceApplier::applyPalette(bool dark)
{
    if (m_didApplyOnce && dark == m_isDark)
        return;
    if (!m_didApplyOnce) {
        // One style whatever the desktop, so both palettes look as designed.
        if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
            QApplication::setStyle(fusion);
    }
    m_didApplyOnce = true;
    m_isDark = dark;
    QApplication::setPalette(dark ? darkPalette() : lightPalette());
}

QPalette QtAppearanceApplier::lightPalette()
{
    QPalette palette;
    const QColor window(0xEC, 0xEC, 0xEC), base(0xFF, 0xFF, 0xFF), text(0x1D, 0x1D, 0x1F);
    const QColor disabledText(0x1D, 0x1D, 0x1F, 0x60);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, QColor(0xF5, 0xF5, 0xF5));
    palette.setColor(QPalette::ToolTipBase, QColor(0xFF, 0xFF, 0xF0));
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, QColor(0x1D, 0x1D, 0x1F, 0x80));
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, QColor(0xF6, 0xF6, 0xF6));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, QColor(0xFF, 0x3B, 0x30));
    palette.setColor(QPalette::Light, Qt::white);
    palette.setColor(QPalette::Midlight, QColor(0xE3, 0xE3, 0xE3));
    palette.setColor(QPalette::Mid, QColor(0xB8, 0xB8, 0xB8));
    palette.setColor(QPalette::Dark, QColor(0x9F, 0x9F, 0x9F));
    palette.setColor(QPalette::Shadow, QColor(0x76, 0x76, 0x76));
    palette.setColor(QPalette::Highlight, QColor(0x0A, 0x7A, 0xFF));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, QColor(0x00, 0x66, 0xCC));
    palette.setColor(QPalette::LinkVisited, QColor(0x6A, 0x3D, 0xB8));
    for (QPalette::ColorRole role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
        palette.setColor(QPalette::Disabled, role, disabledText);
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0xB0, 0xB0, 0xB0));
    return palette;
}

QPalette QtAppearanceApplier::darkPalette()
{
    QPalette palette;
    const QColor window(0x2A, 0x2A, 0x2C), base(0x1E, 0x1E, 0x1E), text(0xF2, 0xF2, 0xF7);
    const QColor disabledText(0xF2, 0xF2, 0xF7, 0x60);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, QColor(0x32, 0x32, 0x34));
    palette.setColor(QPalette::ToolTipBase, QColor(0x3A, 0x3A, 0x3C));
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, QColor(0xF2, 0xF2, 0xF7, 0x80));
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, QColor(0x3A, 0x3A, 0x3C));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, QColor(0xFF, 0x45, 0x3A));
    palette.setColor(QPalette::Light, QColor(0x4A, 0x4A, 0x4C));
    palette.setColor(QPalette::Midlight, QColor(0x3E, 0x3E, 0x40));
    palette.setColor(QPalette::Mid, QColor(0x2E, 0x2E, 0x30));
    palette.setColor(QPalette::Dark, QColor(0x1A, 0x1A, 0x1A));
    palette.setColor(QPalette::Shadow, QColor(0x0A, 0x0A, 0x0A));
    palette.setColor(QPalette::Highlight, QColor(0x0A, 0x84, 0xFF));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, QColor(0x40, 0x9C, 0xFF));
    palette.setColor(QPalette::LinkVisited, QColor(0xB0, 0x8C, 0xFF));
    for (QPalette::ColorRole role : { QPalette::WindowText, QPalette::Text, QPalette::ButtonText })
        palette.setColor(QPalette::Disabled, role, disabledText);
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(0x50, 0x50, 0x52));
    return palette;
}

} // namespace gridlume
