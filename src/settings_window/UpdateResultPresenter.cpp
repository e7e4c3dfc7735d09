#include "settings_window/UpdateResultPresenter.h"

#include "platform/UrlOpener.h"
#include "settings_window/Updater.h"

#include <QMessageBox>
#include <QPushButton>

namespace gridlume {

UpdateResultPresenter::UpdateResultPresenter(
    Updater& updater, UrlOpener& urlOpener, std::function<QWidget*()> parentWindow, QObject* parent)
    : QObject(parent)
    , m_urlOpener(urlOpener)
    , m_parentWindow(std::move(parentWindow))
{
    connect(&updater, &Updater::updateCheckFinished, this, &UpdateResultPresenter::present);
}

UpdateResultPresenter::~UpdateResultPresenter()
{
    delete m_messageBox.data();
}

void UpdateResultPresenter::present(const UpdateCheckResult& result)
{
    const bool available = result.status == UpdateCheckResult::Status::UpdateAvailable;
    if (!result.userInitiated && !available)
        return;
    delete m_messageBox.data();

    QWidget* parent = m_parentWindow ? m_parentWindow() : nullptr;
    auto* box = new QMessageBox(parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->setWindowTitle(tr("Gridlume Software Update"));
    box->setIcon(result.status == UpdateCheckResult::Status::Failed ? QMessageBox::Warning : QMessageBox::Information);
    box->setText(result.message());
    m_pageUrl = result.pageUrl;
    if (available && m_pageUrl.isValid()) {
        QPushButton* open = box->addButton(tr("Open Download Page"), QMessageBox::AcceptRole);
        box->addButton(tr("Later"), QMessageBox::RejectRole);
        box->setDefaultButton(open);
        connect(open, &QPushButton::clicked, this, &UpdateResultPresenter::openUpdatePage);
    } else {
        box->addButton(QMessageBox::Ok);
    }
    m_messageBox = box;
    box->show();
    box->raise();
    box->activateWindow();
}

void UpdateResultPresenter::openUpdatePage()
{
    if (m_pageUrl.isValid())
        (void)m_urlOpener.openUrl(m_pageUrl);
}

} // namespace gridlume
