#pragma once

#include <QWidget>

#include <functional>

namespace gridlume {

class PanelTitleBarButton;

// The panel's top row, 28 points high: a close button at the left, a settings button at the
// right.
class PanelTitleBar : public QWidget {
    Q_OBJECT
public:
    explicit PanelTitleBar(QWidget* parent = nullptr);

    // Called by the close button.
    void setOnClose(std::function<void()> callback) { m_onClose = std::move(callback); }
    // Opens the settings window (and brings it to the front); the panels stay as they are.
    void setOpenSettings(std::function<void()> action) { m_openSettings = std::move(action); }

    PanelTitleBarButton& closeButton() const { return *m_closeButton; }
    PanelTitleBarButton& settingsButton() const { return *m_settingsButton; }

private:
    PanelTitleBarButton* m_closeButton;
    PanelTitleBarButton* m_settingsButton;
    std::function<void()> m_onClose;
    std::function<void()> m_openSettings;
};

} // namespace gridlume
