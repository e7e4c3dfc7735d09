#include "settings_window/AboutSettingsView.h"

#include "platform/UrlOpener.h"
#include "settings_window/Updater.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace gridlume {

namespace {

    // The secondary text colour of whichever palette is in force, light or dark.
    void makeSecondary(QLabel* label)
    {
        label->setForegroundRole(QPalette::PlaceholderText);
    }

    QFont sizedFont(QFont font, double pointSize, QFont::Weight weight)
    {
        font.setPointSizeF(pointSize);
        font.setWeight(weight);
        return font;
    }

    class IconView final : public QWidget {
    public:
        IconView(QIcon icon, int side, QWidget* parent)
            : QWidget(parent)
            , m_icon(std::move(icon))
        {
            setFixedSize(side, side);
        }

    protected:
        void paintEvent(QPaintEvent*) override
        {
            QPainter painter(this);
            m_icon.paint(&painter, rect());
        }

    private:
        QIcon m_icon;
    };

    void openLink(UrlOpener& opener, const QString& text)
    {
        const QUrl url(text, QUrl::StrictMode);
        if (url.isValid() && !url.scheme().isEmpty())
            (void)opener.openUrl(url);
    }

} // namespace

QString AboutSettingsView::websiteUrl()
{
    return QStringLiteral("https://gridlume.org/");
}

QString AboutSettingsView::helpUrl()
{
    return QStringLiteral("https://gridlume.org/help/");
}

AboutSettingsView::AboutSettingsView(
    Updater& updater, UrlOpener& urlOpener, const QString& version, const QIcon& applicationIcon, QWidget* parent)
    : QWidget(parent)
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(24, 12, 24, 12);
    outer->setSpacing(12);
    outer->addStretch(1);

    auto* info = new QHBoxLayout;
    info->setSpacing(32);
    info->addWidget(new IconView(applicationIcon, 108, this), 0, Qt::AlignVCenter);
    // Name, version (with the update check) and notice, 12 points apart.
    auto* text = new QVBoxLayout;
    text->setSpacing(12);
    auto* name = new QLabel(QStringLiteral("Gridlume"), this);
    name->setFont(sizedFont(font(), 20, QFont::Bold));
    text->addWidget(name);
    m_versionLabel = new QLabel(tr("Version %1").arg(version.isEmpty() ? QStringLiteral("\u2014") : version), this);
    m_versionLabel->setFont(sizedFont(font(), 12.5, QFont::Normal));
    m_versionLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    makeSecondary(m_versionLabel);
    text->addWidget(m_versionLabel);

    auto* updates = new QHBoxLayout;
    updates->setSpacing(10);
    m_checkForUpdatesButton = new QPushButton(tr("Check for Updates"), this);
    m_checkForUpdatesButton->setEnabled(updater.canCheckForUpdates());
    connect(m_checkForUpdatesButton, &QPushButton::clicked, &updater, &Updater::checkForUpdates);
    m_updateStatusLabel = new QLabel(this);
    m_updateStatusLabel->setWordWrap(true);
    m_updateStatusLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    makeSecondary(m_updateStatusLabel);
    updates->addWidget(m_checkForUpdatesButton, 0, Qt::AlignVCenter);
    updates->addWidget(m_updateStatusLabel, 1, Qt::AlignVCenter);
    text->addLayout(updates);
    connect(&updater, &Updater::canCheckForUpdatesChanged, this, [this, &updater] { showUpdateStatus(updater); });
    connect(&updater, &Updater::updateCheckFinished, this, [this, &updater] { showUpdateStatus(updater); });
    showUpdateStatus(updater);

    auto* notice = new QVBoxLayout;
    notice->setSpacing(2);
    for (const QString& line : { tr("Copyright \u00A9 2026 the Gridlume developers."), tr("Free software under the MIT licence.") }) {
        auto* label = new QLabel(line, this);
        notice->addWidget(label);
        m_noticeLabels.append(label);
    }
    applyTertiaryColour();
    text->addLayout(notice);
    info->addLayout(text, 1);
    outer->addLayout(info);

    outer->addStretch(1);
    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    outer->addWidget(divider);

    auto* buttons = new QHBoxLayout;
    m_quitButton = new QPushButton(tr("Quit Gridlume"), this);
    connect(m_quitButton, &QPushButton::clicked, this, &AboutSettingsView::quitRequested);
    buttons->addWidget(m_quitButton);
    buttons->addStretch(1);
    m_websiteButton = new QPushButton(tr("Visit Website"), this);
    connect(m_websiteButton, &QPushButton::clicked, this, [&urlOpener] { openLink(urlOpener, websiteUrl()); });
    m_helpButton = new QPushButton(tr("Help"), this);
    connect(m_helpButton, &QPushButton::clicked, this, [&urlOpener] { openLink(urlOpener, helpUrl()); });
    auto* links = new QHBoxLayout;
    links->setSpacing(8);
    links->addWidget(m_websiteButton);
    links->addWidget(m_helpButton);
    buttons->addLayout(links);
    outer->addLayout(buttons);
}

void AboutSettingsView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        applyTertiaryColour();
    QWidget::changeEvent(event);
}

void AboutSettingsView::applyTertiaryColour()
{
    // Tertiary text: the text colour faded further than the secondary level, in either theme.
    QColor tertiary = palette().color(QPalette::WindowText);
    tertiary.setAlphaF(0.4f);
    for (QLabel* label : std::as_const(m_noticeLabels)) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, tertiary);
        label->setPalette(palette);
    }
}

void AboutSettingsView::showUpdateStatus(Updater& updater)
{
    m_checkForUpdatesButton->setEnabled(updater.canCheckForUpdates());
    if (!updater.canCheckForUpdates())
        m_updateStatusLabel->setText(tr("Checking\u2026"));
    else if (const auto result = updater.lastResult())
        m_updateStatusLabel->setText(result->message());
    else
        m_updateStatusLabel->clear();
}

} // namespace gridlume
