#pragma once

#include "MaintenanceProgress.h"

#include <QProgressDialog>

// Shows a long piece of maintenance work to the operator: the step and a bar in a small
// window over the given one (after a moment, so that quick work shows nothing), and the wait
// cursor. The work cannot be cancelled: stopping half-way is what it guards against.
class ProgressWindow
{
public:
    ProgressWindow(QWidget *over, const QString &title);
    ~ProgressWindow();

    MaintenanceProgress callback();

private:
    void show(const QString &step, qint64 done, qint64 total);

    QProgressDialog m_dialog;
};
