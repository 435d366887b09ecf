#include "common/progressbar.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <QStatusBar>

namespace sheaf::ui {

void CProgressBar::Start(int minimum, int maximum, int step)
{
    Finish();
    m_step = step;
    m_control = new QProgressBar(m_bar);
    m_control->setObjectName(QStringLiteral("progressBar"));
    m_control->setTextVisible(false);
    m_control->setRange(minimum, maximum);
    m_control->setValue(minimum);
    // Placed over the panel: the bar's children are the panels in order.
    QRect rect(0, 0, m_bar->width() / 3, m_bar->height());
    const auto panels = m_bar->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    int index = 0;
    for (QWidget* w : panels) {
        if (w == m_control || !w->isVisible())
            continue;
        if (index++ == m_panel) {
            rect = w->geometry();
            break;
        }
    }
    m_control->setGeometry(rect);
    m_control->show();
    m_control->raise();
    QCoreApplication::processEvents();
}

void CProgressBar::StepIt()
{
    if (!m_control)
        return;
    if (m_control->value() < m_control->maximum()) {
        m_control->setValue(std::min(m_control->value() + m_step, m_control->maximum()));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    } else {
        m_control->hide();
    }
}

void CProgressBar::Finish()
{
    delete m_control;
}

} // namespace sheaf::ui
