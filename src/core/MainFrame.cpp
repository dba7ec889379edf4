#include "MainFrame.h"

namespace {
MainFrame *theFrame = nullptr;
}

MainFrame *MainFrame::instance()
{
    return theFrame;
}

void MainFrame::setInstance(MainFrame *frame)
{
    theFrame = frame;
}
