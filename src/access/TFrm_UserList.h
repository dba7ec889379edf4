#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>

namespace Ui { class TFrm_UserList; }
class QTreeWidget;
class Session;
class TFrm_Data;

// "用户权限管理": the operators on one page, the roles on the other. Operators are added,
// edited and deleted here; roles are only edited. Editing opens the permission editor.
class TFrm_UserList : public QDialog
{
    Q_OBJECT
public:
    TFrm_UserList(TFrm_Data &data, Session &session, QWidget *parent = nullptr);
    ~TFrm_UserList() override;

    // The main window's command: the list, modal.
    static void M_UserList(TFrm_Data &data, Session &session, QWidget *parent);

    void FillUserList();
    void FillRoleList();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void PageControl1Change(int index);
    void Btn_AddClick();
    void Btn_EditClick();
    void Btn_DelClick();
    void EditSelectedUser();
    void EditSelectedRole();
    bool usersPageActive() const;
    static int selectedId(const QTreeWidget *list);
    void openEditor(bool addMode, const QString &editKind, int id);

    std::unique_ptr<Ui::TFrm_UserList> m_ui;
    TFrm_Data &m_data;
    Session &m_session;
};

extern QPointer<TFrm_UserList> Frm_UserList;
