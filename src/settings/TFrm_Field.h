#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>

namespace Ui { class TFrm_Field; }
class QListWidget;
class TFrm_Data;

// "选择显示的字段": switches the columns of one grid configuration on and off, hidden
// columns on the left, shown ones on the right. The grid takes the new choice the next time
// its window lays its columns out. This variant closes once the choice is stored.
class TFrm_Field : public QDialog
{
    Q_OBJECT
public:
    TFrm_Field(TFrm_Data &data, const QString &configName, QWidget *parent = nullptr);
    ~TFrm_Field() override;

    QString ConfigName() const { return m_configName; }

    // Opens the chooser of a configuration, modal, unless one is open already.
    static void ShowField(TFrm_Data &data, const QString &configName, QWidget *parent);
    // Puts both variants behind ColumnChooser::open; data must outlive every later call.
    static void installColumnChooser(TFrm_Data &data);

    static QString storedText();
    static QString refusedText();

protected:
    void showEvent(QShowEvent *event) override;
    // After "修改完成！": this variant closes.
    virtual void stored();

private:
    void FormShow();
    bool fillList(QListWidget *list, int show);
    void moveSelected(QListWidget *from, QListWidget *to);
    void moveAll(QListWidget *from, QListWidget *to);
    void updateButtons();
    void Btn_okClick();

    std::unique_ptr<Ui::TFrm_Field> m_ui;
    TFrm_Data &m_data;
    QString m_configName;
    bool m_shown = false;
};

extern QPointer<TFrm_Field> Frm_Field;
