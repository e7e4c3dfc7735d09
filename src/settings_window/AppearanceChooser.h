#pragma once

#include "settings/AppAppearance.h"

#include <QAbstractButton>
#include <QWidget>

namespace gridlume {

class SettingsStore;

// Three buttons, Light, Dark and System, each a symbol over a caption. Pressing one stores and
// applies that appearance at once; the current one has a semibold caption on a highlight.
class AppearanceChooser : public QWidget {
    Q_OBJECT
public:
    explicit AppearanceChooser(SettingsStore& settingsStore, QWidget* parent = nullptr);

    QAbstractButton* button(AppAppearance appearance) const;

private:
    SettingsStore& m_settingsStore;
    QList<QAbstractButton*> m_buttons;
};

// One option of the chooser (exposed for tests and screenshots).
class AppearanceOptionButton : public QAbstractButton {
    Q_OBJECT
public:
    AppearanceOptionButton(AppAppearance appearance, QWidget* parent = nullptr);

    AppAppearance appearance() const { return m_appearance; }
    bool isSelectedOption() const { return m_selected; }
    void setSelectedOption(bool selected);
    // The caption's font: semibold when selected.
    QFont captionFont() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintSymbol(QPainter& painter, const QRectF& box) const;

    AppAppearance m_appearance;
    bool m_selected = false;
};

} // namespace gridlume
