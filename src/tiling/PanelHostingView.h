#pragma once

#include <QWidget>

namespace gridlume {

// The content view of a tiling panel: hosts the panel's root content, filling the panel. The
// panel never takes focus when shown, so the content must work while the panel is inactive: the
// first click acts at once (X11 delivers it to the unfocused window) and help texts show without
// focus.
class PanelHostingView : public QWidget {
    Q_OBJECT
public:
    // Takes ownership of `rootContent`.
    explicit PanelHostingView(QWidget* rootContent, QWidget* parent = nullptr);

    QWidget* rootContent() const { return m_rootContent; }

private:
    QWidget* m_rootContent;
};

} // namespace gridlume
