#pragma once

#include <QWidget>

class QLabel;

namespace gridlume {

class ForegroundApplicationStore;

// The application whose window a selection places: its icon (or a generic window symbol) in a
// rounded 32 × 32 frame, and its name on one line, elided at the end. Follows the store's target.
class TargetApplicationView : public QWidget {
    Q_OBJECT
public:
    explicit TargetApplicationView(ForegroundApplicationStore& foregroundApplicationStore, QWidget* parent = nullptr);

    // The name as shown (possibly elided) and in full.
    QString displayedName() const;
    QString fullName() const { return m_fullName; }
    // True while the generic window symbol stands in for the application's icon.
    bool showsPlaceholderIcon() const { return m_showsPlaceholderIcon; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void updateContent();
    void updateElidedName();
    void updateIcon();

    ForegroundApplicationStore& m_foregroundApplicationStore;
    QLabel* m_iconLabel;
    QLabel* m_nameLabel;
    QString m_fullName;
    bool m_showsPlaceholderIcon = true;
};

} // namespace gridlume
