#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>

namespace Ui { class Tfrm_optionsetup; }
class TFrm_Data;

// "选项设置": the program name that the main window shows in its title.
class Tfrm_optionsetup : public QDialog
{
    Q_OBJECT
public:
    explicit Tfrm_optionsetup(TFrm_Data &data, QWidget *parent = nullptr);
    ~Tfrm_optionsetup() override;

signals:
    // The program name was stored.
    void programNameSaved();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void Button1Click();

    std::unique_ptr<Ui::Tfrm_optionsetup> m_ui;
    TFrm_Data &m_data;
};

extern QPointer<Tfrm_optionsetup> frm_optionsetup;
