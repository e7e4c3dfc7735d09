#include "settings_window/GeneralSettingsView.h"

#include "settings/SettingsStore.h"
#include "settings_window/AppearanceChooser.h"
#include "settings_window/TilingPanelKeyboardShortcutRecorder.h"
#include "settings_window/Updater.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace gridlume {

namespace {

    QLabel* sectionLabel(const QString& text, QWidget* parent)
    {
        auto* label = new QLabel(text, parent);
        QFont font = label->font();
        font.setWeight(QFont::Medium);
        label->setFont(font);
        // The secondary text colour of whichever palette is in force, light or dark.
        label->setForegroundRole(QPalette::PlaceholderText);
        return label;
    }

} // namespace

GeneralSettingsView::GeneralSettingsView(SettingsStore& settingsStore, Updater& updater,
    const KeyEventTranslator& translator, GlobalKeyMonitor& globalKeyMonitor, QWidget* parent)
    : QWidget(parent)
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 24, 0, 0);

    auto* form = new QWidget(this);
    form->setFixedWidth(380);
    auto* grid = new QGridLayout(form);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(labelContentHorizontalGap);
    grid->setVerticalSpacing(labelContentVerticalGap);
    int row = 0;
    auto addRow = [&](const QString& title, QWidget* content, Qt::Alignment labelAlignment = Qt::AlignVCenter) {
        QLabel* label = sectionLabel(title, form);
        label->setBuddy(content);
        grid->addWidget(label, row, 0, Qt::AlignRight | labelAlignment);
        grid->addWidget(content, row, 1, Qt::AlignLeft | Qt::AlignVCenter);
        ++row;
    };

    m_shortcutRecorder = new TilingPanelKeyboardShortcutRecorder(settingsStore, translator, globalKeyMonitor, form);
    m_shortcutRecorder->setFixedWidth(240);
    addRow(tr("Gridlume Hotkey"), m_shortcutRecorder);

    m_keepPanelOpenCheckBox = new QCheckBox(tr("Keep panel open until dismissed"), form);
    m_keepPanelOpenCheckBox->setChecked(settingsStore.keepTilingPanelOpenAfterTiling());
    connect(m_keepPanelOpenCheckBox, &QCheckBox::toggled, &settingsStore,
        &SettingsStore::updateKeepTilingPanelOpenAfterTiling);
    connect(&settingsStore, &SettingsStore::keepTilingPanelOpenAfterTilingChanged, m_keepPanelOpenCheckBox,
        [this, &settingsStore] { m_keepPanelOpenCheckBox->setChecked(settingsStore.keepTilingPanelOpenAfterTiling()); });
    addRow(tr("Panel Behavior"), m_keepPanelOpenCheckBox);

    m_showKeyboardHintsCheckBox = new QCheckBox(tr("Show keyboard hints"), form);
    m_showKeyboardHintsCheckBox->setChecked(settingsStore.showKeyboardHints());
    connect(m_showKeyboardHintsCheckBox, &QCheckBox::toggled, &settingsStore, &SettingsStore::updateShowKeyboardHints);
    connect(&settingsStore, &SettingsStore::showKeyboardHintsChanged, m_showKeyboardHintsCheckBox,
        [this, &settingsStore] { m_showKeyboardHintsCheckBox->setChecked(settingsStore.showKeyboardHints()); });
    addRow(QString(), m_showKeyboardHintsCheckBox);

    auto* updates = new QWidget(form);
    auto* updatesColumn = new QVBoxLayout(updates);
    updatesColumn->setContentsMargins(0, 0, 0, 0);
    updatesColumn->setSpacing(12);
    m_automaticUpdatesCheckBox = new QCheckBox(tr("Automatically check for updates"), updates);
    m_automaticUpdatesCheckBox->setChecked(updater.automaticallyChecksForUpdates());
    connect(m_automaticUpdatesCheckBox, &QCheckBox::toggled, &updater, &Updater::setAutomaticallyChecksForUpdates);
    connect(&updater, &Updater::automaticallyChecksForUpdatesChanged, m_automaticUpdatesCheckBox,
        [this, &updater] { m_automaticUpdatesCheckBox->setChecked(updater.automaticallyChecksForUpdates()); });
    m_checkForUpdatesButton = new QPushButton(tr("Check for Updates Now"), updates);
    m_checkForUpdatesButton->setEnabled(updater.canCheckForUpdates());
    connect(m_checkForUpdatesButton, &QPushButton::clicked, &updater, &Updater::checkForUpdates);
    connect(&updater, &Updater::canCheckForUpdatesChanged, m_checkForUpdatesButton,
        [this, &updater] { m_checkForUpdatesButton->setEnabled(updater.canCheckForUpdates()); });
    updatesColumn->addWidget(m_automaticUpdatesCheckBox);
    updatesColumn->addWidget(m_checkForUpdatesButton, 0, Qt::AlignLeft);
    addRow(tr("Updates"), updates, Qt::AlignTop);

    m_appearanceChooser = new AppearanceChooser(settingsStore, form);
    addRow(tr("Appearance"), m_appearanceChooser, Qt::AlignTop);

    grid->setColumnStretch(1, 1);
    outer->addWidget(form, 0, Qt::AlignHCenter | Qt::AlignTop);
    outer->addStretch(1);
}

} // namespace gridlume
