#pragma once

#include <QString>
#include <memory>

class TFrm_Data;
class TFrm_Login;
class TFrm_Main;

// The start-up sequence: data module (database and Config.ini), main window (hidden), login.
// The program runs only when the database opened and an operator logged in.
class ProgramStart
{
public:
    explicit ProgramStart(const QString &programDir);
    ~ProgramStart();

    // True when the main window has been shown and the event loop may start.
    bool run();

    TFrm_Data *data() const { return m_data.get(); }
    TFrm_Main *mainWindow() const { return m_main.get(); }

    // Fonts and pictures of the whole program.
    static void setUpLook();
    // Chinese standard buttons (确定, 是, 否, 取消) and calendars, whatever the workstation's
    // locale: Qt's own translations and the zh_CN locale. False when the translations are
    // not installed (the buttons then stay in English).
    static bool setUpLanguage();

private:
    QString m_programDir;
    std::unique_ptr<TFrm_Data> m_data;
    std::unique_ptr<TFrm_Main> m_main;
    std::unique_ptr<TFrm_Login> m_login;
};
