#include "tiling/PanelHostingView.h"

#include <QVBoxLayout>

namespace gridlume {

PanelHostingView::PanelHostingView(QWidget* rootContent, QWidget* parent)
    : QWidget(parent)
    , m_rootContent(rootContent)
{
    setAttribute(Qt::WA_AlwaysShowToolTips);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_rootContent);
}

} // namespace gridlume
