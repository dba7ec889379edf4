#include "ProgramStart.h"

#include "TFrm_Data.h"
#include "TFrm_Login.h"
#include "TFrm_Main.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QTranslator>

ProgramStart::ProgramStart(const QString &programDir) : m_programDir(programDir) {}

ProgramStart::~ProgramStart()
{
    m_login.reset();
    m_main.reset();
    m_data.reset();
}

void ProgramStart::setUpLook()
{
    // Full-colour pictures for the tool bar and menus, whatever the desktop's theme.
    QIcon::setThemeName(QStringLiteral("Tango"));
    // The forms are laid out for 宋体; a Song-style CJK font of the system stands in for it.
    QFont::insertSubstitutions(QStringLiteral("宋体"),
                               {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                                QStringLiteral("WenQuanYi Micro Hei")});
    QFont font(QStringLiteral("宋体"), 10);
    QApplication::setFont(font);
}

bool ProgramStart::setUpLanguage()
{
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    QLocale::setDefault(chinese);
    auto *translator = new QTranslator(qApp);
    if (!translator->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QApplication::installTranslator(translator);
    return true;
}

bool ProgramStart::run()
{
    m_data = std::make_unique<TFrm_Data>(m_programDir);
    if (!m_data->DBReady())
        return false;
    m_main = std::make_unique<TFrm_Main>(*m_data);
    m_login = std::make_unique<TFrm_Login>(*m_data, m_main->session());
    Frm_Login = m_login.get();
    m_login->exec();
    if (!m_login->LoginDone())
        return false;
    // Without a window manager a maximised window keeps its size: give it the screen.
    m_main->setGeometry(m_main->screen()->availableGeometry());
    m_main->showMaximized();
    return true;
}
