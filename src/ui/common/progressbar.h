#pragma once
// A progress bar over one panel of a status bar for the length of a run.
#include <QPointer>
#include <QProgressBar>

class QProgressBar;
class QStatusBar;

namespace sheaf::ui {

class CProgressBar {
public:
    CProgressBar(QStatusBar* bar, int panel) : m_bar(bar), m_panel(panel) {}
    ~CProgressBar() { Finish(); }
    CProgressBar(const CProgressBar&) = delete;
    CProgressBar& operator=(const CProgressBar&) = delete;

    void Start(int minimum, int maximum, int step);
    // Advances by the step while below the maximum; at the maximum the bar hides.
    void StepIt();
    void Finish();
    QProgressBar* control() const { return m_control; }

private:
    QStatusBar* m_bar;
    int m_panel;
    int m_step = 1;
    QPointer<QProgressBar> m_control;
};

} // namespace sheaf::ui
