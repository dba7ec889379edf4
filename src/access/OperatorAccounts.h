#pragma once

#include <QPair>
#include <QSqlError>
#include <QString>
#include <QVector>

class TFrm_Data;

// Operators (rows of admin) with their permission rows, as the operator list and the
// permission editor write them: each change in one transaction.
class OperatorAccounts
{
public:
    static QString superAdminRole() { return QStringLiteral("超级管理员"); }
    static QString ordinaryRole() { return QStringLiteral("普通用户"); }
    // The operator with this number is the system administrator.
    static constexpr int SystemAdministratorID = 1;

    // Permit of an operator of role: 1 for an ordinary user, 0 for any other role.
    static int permitOf(const QString &role);
    // The role whose template the permission tree shows for a role text: every role but the
    // super administrator gets the ordinary user's.
    static QString treeTemplateOf(const QString &role);

    // Whether an operator of that name exists, without regard to letter case. False, with
    // the error shown, when the look-up fails (then ok is false).
    static bool nameTaken(TFrm_Data &data, const QString &name, bool *ok);

    struct NewOperator
    {
        QString name;       // trimmed
        QString password;   // as typed; stored as its hash
        QString role;       // trimmed
        QString remark;
    };
    enum class AddResult { Added, Duplicate, Failed };
    // Adds the operator with a copy of his role's permission template, in the template's
    // order; a role without a template of its own gets the ordinary user's. Duplicate when
    // the name is taken, also by another workstation a moment before.
    static AddResult add(TFrm_Data &data, const NewOperator &op, QSqlError *error);

    // The check state of each node of a permission tree (1 unchecked, 2 checked, 3 partly
    // checked) with the code it stands for, in the tree's order: groups before their functions.
    using NodeStates = QVector<QPair<QString, int>>;

    enum class SaveResult { Saved, Gone, Failed };
    // Stores an operator's role, description and permissions; the password only when
    // newPassword is not null. Gone when another workstation deleted him meanwhile.
    static SaveResult saveOperator(TFrm_Data &data, int userId, const QString &role, const QString &remark,
                                   const QString &newPassword, const NodeStates &states, QSqlError *error);
    // Stores the permission template of a role.
    static bool saveRole(TFrm_Data &data, const QString &role, const NodeStates &states, QSqlError *error);

    // Deletes operator userId and his permission rows.
    static bool remove(TFrm_Data &data, int userId, QSqlError *error);

    // The price and amount columns of every grid follow function 0813 of operatorName.
    static bool SyncPriceColumns(TFrm_Data &data, const QString &operatorName);

private:
    static bool insertOperator(TFrm_Data &data, const NewOperator &op, const QString &hash, QSqlError *error);
    // Writes the states into the permission rows of owner taken in code order: the n-th row
    // takes the n-th state when their codes agree. A partly checked group keeps its Authority.
    static bool SaveTreeStates(TFrm_Data &data, const QString &table, const QString &keyColumn,
                               const QString &ownerColumn, const QString &owner, const NodeStates &states,
                               QSqlError *error);
};
