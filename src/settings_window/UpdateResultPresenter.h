#pragma once

#include "settings_window/UpdateCheckResult.h"

#include <QMessageBox>
#include <QObject>
#include <QPointer>

#include <functional>


class QWidget;

namespace gridlume {

class Updater;
class UrlOpener;

// Tells the user what an update check found, in a small window: every result of a check the
// user asked for, and a newer version found by the automatic check. A newer version comes with
// a button that opens its page. One window at a time; a later result replaces it.
class UpdateResultPresenter : public QObject {
    Q_OBJECT
public:
    // `parentWindow` names the window to centre on (the settings window when it is open), or
    // null.
    UpdateResultPresenter(Updater& updater, UrlOpener& urlOpener, std::function<QWidget*()> parentWindow = {},
        QObject* parent = nullptr);
    ~UpdateResultPresenter() override;

    // The window on screen, or null.
    QMessageBox* messageBox() const { return m_messageBox; }
    // What the window's "Open Download Page" does.
    void openUpdatePage();

private:
    void present(const UpdateCheckResult& result);

    UrlOpener& m_urlOpener;
    std::function<QWidget*()> m_parentWindow;
    QPointer<QMessageBox> m_messageBox;
    QUrl m_pageUrl;
};

} // namespace gridlume
