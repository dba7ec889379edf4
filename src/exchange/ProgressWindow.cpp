#include "ProgressWindow.h"

#include <QApplication>

namespace {
constexpr int Steps = 1000;
constexpr int ShowAfterMs = 400;
} // namespace

ProgressWindow::ProgressWindow(QWidget *over, const QString &title) : m_dialog(over)
{
    m_dialog.setObjectName(QStringLiteral("ProgressWindow"));
    m_dialog.setWindowTitle(title);
    m_dialog.setCancelButton(nullptr);
    m_dialog.setWindowModality(Qt::WindowModal);
    m_dialog.setAutoClose(false);
    m_dialog.setAutoReset(false);
    m_dialog.setMinimumDuration(ShowAfterMs);
    m_dialog.setMinimumWidth(360);
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

ProgressWindow::~ProgressWindow()
{
    m_dialog.close();
    QApplication::restoreOverrideCursor();
}

MaintenanceProgress ProgressWindow::callback()
{
    return [this](const QString &step, qint64 done, qint64 total) { show(step, done, total); };
}

void ProgressWindow::show(const QString &step, qint64 done, qint64 total)
{
    if (m_dialog.labelText() != step)
        m_dialog.setLabelText(step);
    if (total <= 0) {
        m_dialog.setRange(0, 0);
        m_dialog.setValue(0);
        return;
    }
    m_dialog.setRange(0, Steps);
    m_dialog.setValue(int(qBound(qint64(0), done * Steps / total, qint64(Steps))));
}
