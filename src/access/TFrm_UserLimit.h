#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>

namespace Ui { class TFrm_UserLimit; }
class Session;
class TFrm_Data;

// The permission editor: adds an operator, or edits an operator's or a role's permissions
// through a tree of check boxes. Set the mode fields before showing it.
class TFrm_UserLimit : public QDialog
{
    Q_OBJECT
public:
    TFrm_UserLimit(TFrm_Data &data, Session &session, QWidget *parent = nullptr);
    ~TFrm_UserLimit() override;

    static QString UserKind() { return QStringLiteral("User"); }
    static QString PartKind() { return QStringLiteral("Part"); }

    bool AddMode = false;
    QString EditKind = UserKind();
    int EditUserID = -1;
    int EditPartID = -1;

signals:
    // An operator or role was stored: the list shows it.
    void saved();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void LoadRole();
    void LoadUser();
    void Combo_UserChange(const QString &text);
    void btSaveClick();
    void saveRole();
    void saveOperator();
    void addOperator();
    bool checkNewOperator(const QString &name, const QString &role);
    void warn(const QString &text, QWidget *focus);
    void limitRemark();
    bool editingRole() const { return EditKind != UserKind(); }
    void afterSave();

    std::unique_ptr<Ui::TFrm_UserLimit> m_ui;
    TFrm_Data &m_data;
    Session &m_session;
    QString m_loadedName;
    bool m_shown = false;
};

extern QPointer<TFrm_UserLimit> Frm_UserLimit;
