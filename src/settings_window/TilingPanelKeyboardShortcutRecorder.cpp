#include "settings_window/TilingPanelKeyboardShortcutRecorder.h"

#include "settings/SettingsStore.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>

namespace gridlume {

namespace {

    const QColor recordingBlue(0x0A, 0x7A, 0xFF);

    QColor withAlpha(QColor color, double alpha)
    {
        color.setAlphaF(alpha);
        return color;
    }

    // The callout size: a step below body text (12 against 13 points).
    QFont calloutFont(QFont font, QFont::Weight weight)
    {
        font.setPointSizeF(font.pointSizeF() * 12.0 / 13.0);
        font.setWeight(weight);
        return font;
    }

    // Secondary text: the primary colour faded, as on the rest of the settings window.
    constexpr double secondaryOpacity = 0.55;

    QToolButton* makeActionButton(
        const QString& symbol, const QString& toolTip, const QString& accessibleName, QWidget* parent)
    {
        auto* button = new QToolButton(parent);
        button->setText(symbol);
        button->setToolTip(toolTip);
        button->setAccessibleName(accessibleName);
        button->setAutoRaise(true);
        button->setFixedSize(TilingPanelKeyboardShortcutRecorder::actionButtonSize,
            TilingPanelKeyboardShortcutRecorder::actionButtonSize);
        button->setCursor(Qt::PointingHandCursor);
        button->setFont(calloutFont(button->font(), QFont::DemiBold));
        return button;
    }

} // namespace

TilingPanelKeyboardShortcutRecorder::TilingPanelKeyboardShortcutRecorder(SettingsStore& settingsStore,
    const KeyEventTranslator& translator, GlobalKeyMonitor& globalKeyMonitor, QWidget* parent)
    : TilingPanelKeyboardShortcutRecorder(
          Binding {
              [&settingsStore] { return settingsStore.tilingPanelKeyboardShortcut(); },
              [store = QPointer<SettingsStore>(&settingsStore)](const KeyboardShortcut& shortcut) {
                  // A refused shortcut leaves the store as it was, which is what stays shown.
                  if (store)
                      (void)store->updateTilingPanelKeyboardShortcut(shortcut);
              },
              [&settingsStore] { (void)settingsStore.clearTilingPanelKeyboardShortcut(); },
              tr("Panel shortcut"),
          },
          settingsStore.hotKeyService(), translator, globalKeyMonitor, parent)
{
    connect(&settingsStore, &SettingsStore::tilingPanelKeyboardShortcutChanged, this,
        &TilingPanelKeyboardShortcutRecorder::refresh);
}

TilingPanelKeyboardShortcutRecorder::TilingPanelKeyboardShortcutRecorder(Binding binding,
    HotKeyService& hotKeyService, const KeyEventTranslator& translator, GlobalKeyMonitor& globalKeyMonitor,
    QWidget* parent)
    : QWidget(parent)
    , m_binding(std::move(binding))
    , m_viewModel(new KeyboardShortcutRecorderViewModel(translator, globalKeyMonitor, hotKeyService, this))
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 2, 0);
    row->setSpacing(0);

    // Balances the trailing slot so that the text sits in the middle.
    auto* leading = new QWidget(this);
    leading->setFixedSize(actionButtonSize, actionButtonSize);
    row->addWidget(leading);

    m_mainButton = new QPushButton(this);
    m_mainButton->setFlat(true);
    m_mainButton->setFixedHeight(controlHeight);
    m_mainButton->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_mainButton->setAccessibleName(m_binding.accessibleName);
    m_mainButton->setCursor(Qt::PointingHandCursor);
    m_mainButton->setFont(calloutFont(m_mainButton->font(), QFont::Normal));
    // The control paints its own background; the button is only the clickable text.
    m_mainButton->setStyleSheet(QStringLiteral("QPushButton { border: none; background: transparent; }"));
    row->addWidget(m_mainButton, 1);

    m_cancelButton
        = makeActionButton(QStringLiteral("\u21B6"), tr("Cancel recording"), tr("Cancel shortcut recording"), this);
    m_clearButton = makeActionButton(QStringLiteral("\u2715"), tr("Clear shortcut"), tr("Clear panel shortcut"), this);
    m_trailingPlaceholder = new QWidget(this);
    m_trailingPlaceholder->setFixedSize(actionButtonSize, actionButtonSize);
    row->addWidget(m_cancelButton);
    row->addWidget(m_clearButton);
    row->addWidget(m_trailingPlaceholder);

    setFixedHeight(controlHeight);
    setAttribute(Qt::WA_Hover);

    connect(m_mainButton, &QPushButton::clicked, this, [this] {
        m_viewModel->startRecording([record = m_binding.record](const KeyboardShortcut& shortcut) { record(shortcut); });
    });
    connect(m_cancelButton, &QToolButton::clicked, m_viewModel, &KeyboardShortcutRecorderViewModel::stopRecording);
    connect(m_clearButton, &QToolButton::clicked, this, [this] { m_binding.clear(); });
    connect(m_viewModel, &KeyboardShortcutRecorderViewModel::isRecordingChanged, this,
        &TilingPanelKeyboardShortcutRecorder::refresh);
    connect(m_viewModel, &KeyboardShortcutRecorderViewModel::isShowingUsedByAnotherProgramChanged, this,
        &TilingPanelKeyboardShortcutRecorder::refresh);
    refresh();
}

QString TilingPanelKeyboardShortcutRecorder::text() const
{
    if (m_viewModel->isRecording())
        return tr("Press shortcut\u2026");
    if (m_viewModel->isShowingUsedByAnotherProgram())
        return tr("Used by another program");
    if (const auto shortcut = m_binding.current())
        return displayText(*shortcut);
    return tr("Click to record shortcut");
}

QSize TilingPanelKeyboardShortcutRecorder::sizeHint() const
{
    return QSize(240, controlHeight);
}

void TilingPanelKeyboardShortcutRecorder::refresh()
{
    const bool recording = m_viewModel->isRecording();
    const bool hasShortcut = m_binding.current().has_value();
    m_mainButton->setText(text());
    m_mainButton->setAccessibleDescription(text());
    QPalette palette = m_mainButton->palette();
    const QColor primary = this->palette().color(QPalette::WindowText);
    const bool secondary = recording || !hasShortcut || m_viewModel->isShowingUsedByAnotherProgram();
    const QColor foreground = secondary ? withAlpha(primary, secondaryOpacity) : primary;
    palette.setColor(QPalette::ButtonText, foreground);
    palette.setColor(QPalette::WindowText, foreground);
    m_mainButton->setPalette(palette);
    for (QToolButton* button : { m_cancelButton, m_clearButton }) {
        QPalette symbol = button->palette();
        symbol.setColor(QPalette::ButtonText, withAlpha(primary, secondaryOpacity));
        button->setPalette(symbol);
    }
    m_cancelButton->setVisible(recording);
    m_clearButton->setVisible(!recording && hasShortcut);
    m_trailingPlaceholder->setVisible(!recording && !hasShortcut);
    QWidget::update();
}

void TilingPanelKeyboardShortcutRecorder::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        refresh();
    QWidget::changeEvent(event);
}

void TilingPanelKeyboardShortcutRecorder::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool recording = m_viewModel->isRecording();
    const QColor text = palette().color(QPalette::WindowText);
    const double lineWidth = recording ? 1.5 : 1.0;
    const QRectF frame = QRectF(rect()).adjusted(lineWidth / 2, lineWidth / 2, -lineWidth / 2, -lineWidth / 2);
    painter.setBrush(recording ? withAlpha(recordingBlue, 0.14) : withAlpha(text, 0.05));
    painter.setPen(QPen(recording ? recordingBlue : withAlpha(text, 0.18), lineWidth));
    painter.drawRoundedRect(frame, 6, 6);
}

} // namespace gridlume
