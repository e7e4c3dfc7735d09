#include "settings_window/LayoutsSettingsView.h"

#include "layouts/LayoutStore.h"
#include "settings/SettingsStore.h"
#include "settings_window/TilingPanelKeyboardShortcutRecorder.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace gridlume {

namespace {
    QToolButton* listButton(const QString& text, const QString& toolTip, QWidget* parent)
    {
        auto* button = new QToolButton(parent);
        button->setText(text);
        button->setToolTip(toolTip);
        button->setAccessibleName(toolTip);
        button->setFixedSize(26, 22);
        return button;
    }
} // namespace

LayoutsSettingsView::LayoutsSettingsView(LayoutStore& layoutStore, SettingsStore& settingsStore,
    const KeyEventTranslator& translator, GlobalKeyMonitor& globalKeyMonitor, QWidget* parent)
    : QWidget(parent)
    , m_layoutStore(layoutStore)
{
    auto* columns = new QHBoxLayout(this);
    columns->setContentsMargins(20, 16, 20, 12);
    columns->setSpacing(16);

    auto* listColumn = new QVBoxLayout;
    listColumn->setSpacing(4);
    m_list = new QListWidget(this);
    m_list->setFixedWidth(190);
    m_list->setAccessibleName(tr("Layouts"));
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setTextElideMode(Qt::ElideRight);
    listColumn->addWidget(m_list, 1);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    m_add = listButton(QStringLiteral("+"), tr("Add a layout"), this);
    m_add->setPopupMode(QToolButton::InstantPopup);
    auto* presets = new QMenu(m_add);
    presets->addAction(tr("Empty Layout"), this, [this] {
        PlacementLayout layout;
        layout.name = tr("New layout");
        layout.steps = *PlacementLayout::parseSteps(QStringLiteral("2x1 0,0"));
        (void)m_layoutStore.addLayout(layout);
    });
    presets->addSeparator();
    for (const PlacementLayout& preset : PlacementLayout::presets())
        presets->addAction(preset.name, this, [this, preset] { (void)m_layoutStore.addLayout(preset); });
    m_add->setMenu(presets);
    m_remove = listButton(QStringLiteral("\u2212"), tr("Remove the layout"), this);
    connect(m_remove, &QToolButton::clicked, this, [this] {
        if (chosen() >= 0)
            m_layoutStore.removeLayout(chosen());
    });
    buttons->addWidget(m_add);
    buttons->addWidget(m_remove);
    buttons->addStretch(1);
    listColumn->addLayout(buttons);
    columns->addLayout(listColumn);

    m_editor = new QWidget(this);
    auto* form = new QFormLayout(m_editor);
    form->setContentsMargins(0, 0, 0, 0);
    form->setVerticalSpacing(8);
    m_name = new QLineEdit(m_editor);
    form->addRow(tr("Name"), m_name);
    m_steps = new QLineEdit(m_editor);
    m_steps->setPlaceholderText(QStringLiteral("2x1 0,0; 3x1 0,0"));
    m_steps->setToolTip(tr("GRID BLOCK, as for gridlume place: 2x1 0,0 is the left half. Several, separated by "
                           "semicolons, are stepped through by pressing the shortcut again."));
    form->addRow(tr("Blocks"), m_steps);
    m_stepsProblem = new QLabel(m_editor);
    m_stepsProblem->setWordWrap(true);
    QPalette problemPalette = m_stepsProblem->palette();
    problemPalette.setColor(QPalette::WindowText, QColor(0xD7, 0x3A, 0x2F));
    m_stepsProblem->setPalette(problemPalette);
    form->addRow(QString(), m_stepsProblem);
    m_monitor = new QComboBox(m_editor);
    m_monitor->addItem(tr("The window's monitor"), int(PlacementLayout::Monitor::current));
    m_monitor->addItem(tr("The next monitor"), int(PlacementLayout::Monitor::next));
    m_monitor->addItem(tr("The primary monitor"), int(PlacementLayout::Monitor::primary));
    form->addRow(tr("Monitor"), m_monitor);
    m_shortcutRecorder = new TilingPanelKeyboardShortcutRecorder(
        TilingPanelKeyboardShortcutRecorder::Binding {
            [this]() -> std::optional<KeyboardShortcut> {
                return chosen() >= 0 ? m_layoutStore.layouts()[chosen()].shortcut : std::nullopt;
            },
            [this](const KeyboardShortcut& shortcut) {
                if (chosen() < 0)
                    return;
                PlacementLayout layout = m_layoutStore.layouts()[chosen()];
                layout.shortcut = shortcut;
                // A refusal (another layout's shortcut, or another program's) leaves the old one shown.
                (void)m_layoutStore.updateLayout(chosen(), layout);
            },
            [this] {
                if (chosen() < 0)
                    return;
                PlacementLayout layout = m_layoutStore.layouts()[chosen()];
                layout.shortcut.reset();
                (void)m_layoutStore.updateLayout(chosen(), layout);
            },
            tr("Layout shortcut"),
        },
        settingsStore.hotKeyService(), translator, globalKeyMonitor, m_editor);
    m_shortcutRecorder->setFixedWidth(220);
    form->addRow(tr("Shortcut"), m_shortcutRecorder);
    m_empty = new QLabel(tr("Add a layout with +, then give it a shortcut: pressing it places the active window "
                            "without the panels."),
        this);
    m_empty->setWordWrap(true);
    m_empty->setForegroundRole(QPalette::PlaceholderText);
    // The space every placement leaves, whichever way it is made.
    auto* gaps = new QWidget(this);
    auto* gapsForm = new QFormLayout(gaps);
    gapsForm->setContentsMargins(0, 0, 0, 0);
    const auto addGap = [&](const QString& title, double PlacementGaps::*member, void (SettingsStore::*update)(int)) {
        auto* spinBox = new QSpinBox(gaps);
        spinBox->setRange(0, SettingsStore::largestGap);
        spinBox->setSuffix(tr(" px"));
        spinBox->setValue(int(settingsStore.placementGaps().*member));
        connect(spinBox, &QSpinBox::valueChanged, &settingsStore, update);
        connect(&settingsStore, &SettingsStore::placementGapsChanged, spinBox,
            [spinBox, member, &settingsStore] { spinBox->setValue(int(settingsStore.placementGaps().*member)); });
        gapsForm->addRow(title, spinBox);
        return spinBox;
    };
    m_tileGap = addGap(tr("Gap between windows"), &PlacementGaps::tileGap, &SettingsStore::updateTileGap);
    m_screenMargin
        = addGap(tr("Gap at the screen's edges"), &PlacementGaps::screenMargin, &SettingsStore::updateScreenMargin);

    auto* editorColumn = new QVBoxLayout;
    editorColumn->addWidget(m_editor);
    editorColumn->addWidget(m_empty);
    editorColumn->addStretch(1);
    editorColumn->addWidget(gaps);
    columns->addLayout(editorColumn, 1);

    const auto edit = [this](const std::function<void(PlacementLayout&)>& change) {
        if (chosen() < 0)
            return;
        PlacementLayout layout = m_layoutStore.layouts()[chosen()];
        change(layout);
        if (!(layout == m_layoutStore.layouts()[chosen()]))
            (void)m_layoutStore.updateLayout(chosen(), layout);
    };
    connect(m_name, &QLineEdit::editingFinished, this, [this, edit] {
        const QString name = m_name->text().trimmed();
        if (!name.isEmpty())
            edit([&](PlacementLayout& layout) { layout.name = name; });
        else
            showChosen();
    });
    connect(m_steps, &QLineEdit::editingFinished, this, [this, edit] {
        QString problem;
        const auto steps = PlacementLayout::parseSteps(m_steps->text(), &problem);
        m_stepsProblem->setText(steps ? QString() : problem);
        m_stepsProblem->setVisible(!steps);
        if (steps)
            edit([&](PlacementLayout& layout) { layout.steps = *steps; });
    });
    connect(m_monitor, &QComboBox::activated, this, [this, edit] {
        const auto monitor = PlacementLayout::Monitor(m_monitor->currentData().toInt());
        edit([&](PlacementLayout& layout) { layout.monitor = monitor; });
    });
    connect(m_list, &QListWidget::currentRowChanged, this, &LayoutsSettingsView::showChosen);
    connect(&m_layoutStore, &LayoutStore::layoutsChanged, this, &LayoutsSettingsView::reload);
    reload();
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);
}

qsizetype LayoutsSettingsView::chosen() const
{
    const int row = m_list->currentRow();
    return row >= 0 && row < m_layoutStore.layouts().size() ? row : -1;
}

void LayoutsSettingsView::reload()
{
    const int row = m_list->currentRow();
    const int previousCount = m_list->count();
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    for (const PlacementLayout& layout : m_layoutStore.layouts())
        m_list->addItem(layout.name);
    // A layout just added is the one to edit.
    const int count = m_list->count();
    m_list->setCurrentRow(count > previousCount ? count - 1 : std::min(row, count - 1));
    showChosen();
}

void LayoutsSettingsView::showChosen()
{
    const qsizetype index = chosen();
    m_editor->setVisible(index >= 0);
    m_empty->setVisible(index < 0);
    m_remove->setEnabled(index >= 0);
    if (index < 0)
        return;
    const PlacementLayout& layout = m_layoutStore.layouts()[index];
    const bool blocks = layout.kind == PlacementLayout::Kind::blocks;
    m_name->setText(layout.name);
    m_steps->setText(blocks ? layout.stepsText() : tr("The same part of the next monitor"));
    m_steps->setEnabled(blocks);
    m_stepsProblem->setVisible(false);
    m_monitor->setCurrentIndex(m_monitor->findData(int(layout.monitor)));
    m_monitor->setEnabled(blocks);
    m_shortcutRecorder->refresh();
}

} // namespace gridlume
