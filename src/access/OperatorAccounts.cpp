#include "OperatorAccounts.h"

#include "CheckTree.h"
#include "DataSet.h"
#include "PasswordHash.h"
#include "TFrm_Data.h"

namespace {

const QString PriceFunctionCode = QStringLiteral("0813");

bool rollBack(TFrm_Data &data)
{
    data.rollback();
    return false;
}

QSqlError hashFailure()
{
    return QSqlError(QString(), QStringLiteral("无法生成密码摘要"), QSqlError::UnknownError);
}

// Opens a query whose failure the caller reports; the error stays in the data set.
bool quietQuery(DataSet *query, const QString &sql, const QVariantMap &binds, QSqlError *error)
{
    query->close();
    query->setStatement(sql);
    query->clearBindValues();
    for (auto it = binds.cbegin(); it != binds.cend(); ++it)
        query->bindValue(it.key(), it.value());
    if (query->open())
        return true;
    if (error)
        *error = query->lastError();
    return false;
}

const QString NameLookup = QStringLiteral("select UserID from admin where lower(UserName) = lower(:name)");

} // namespace

int OperatorAccounts::permitOf(const QString &role)
{
    return role == ordinaryRole() ? 1 : 0;
}

QString OperatorAccounts::treeTemplateOf(const QString &role)
{
    return role == superAdminRole() ? superAdminRole() : ordinaryRole();
}

bool OperatorAccounts::nameTaken(TFrm_Data &data, const QString &name, bool *ok)
{
    *ok = data.RunQuery(data.Qry_Sql, NameLookup, {{QStringLiteral(":name"), name}});
    return *ok && !data.Qry_Sql->isEmpty();
}

OperatorAccounts::AddResult OperatorAccounts::add(TFrm_Data &data, const NewOperator &op, QSqlError *error)
{
    const QString hash = PasswordHash::hash(op.password);
    if (hash.isNull()) {
        if (error)
            *error = hashFailure();
        return AddResult::Failed;
    }
    if (!data.beginTransaction(error))
        return AddResult::Failed;
    if (insertOperator(data, op, hash, error) && data.commit(error))
        return AddResult::Added;
    data.rollback();
    // Another workstation may have taken the name since it was checked: the unique index
    // refused the row.
    const bool taken = quietQuery(data.Qry_Sql, NameLookup, {{QStringLiteral(":name"), op.name}}, nullptr)
                       && !data.Qry_Sql->isEmpty();
    return taken ? AddResult::Duplicate : AddResult::Failed;
}

bool OperatorAccounts::insertOperator(TFrm_Data &data, const NewOperator &op, const QString &hash, QSqlError *error)
{
    if (!data.execute(QStringLiteral("insert into admin (UserName, Password, Permit, PartName, Remark) "
                                     "values (:name, :password, :permit, :role, :remark)"),
                      {{QStringLiteral(":name"), op.name}, {QStringLiteral(":password"), hash},
                       {QStringLiteral(":permit"), permitOf(op.role)}, {QStringLiteral(":role"), op.role},
                       {QStringLiteral(":remark"), op.remark}},
                      error))
        return false;
    const QString templateSql = QStringLiteral(
        "select FunctionName, Authority, Tag, Code from T_PartAuthority where PartName = :role order by PartAuthorityID");
    DataSet *rows = data.Qry_Sql;
    if (!quietQuery(rows, templateSql, {{QStringLiteral(":role"), op.role}}, error))
        return false;
    if (rows->isEmpty() && !quietQuery(rows, templateSql, {{QStringLiteral(":role"), ordinaryRole()}}, error))
        return false;
    for (int row = 0; row < rows->recordCount(); ++row) {
        if (!data.execute(QStringLiteral("insert into T_UserAuthority (UserName, FunctionName, Authority, Tag, Code) "
                                         "values (:name, :function, :authority, :tag, :code)"),
                          {{QStringLiteral(":name"), op.name},
                           {QStringLiteral(":function"), rows->value(row, QStringLiteral("FunctionName"))},
                           {QStringLiteral(":authority"), rows->value(row, QStringLiteral("Authority")).toBool()},
                           {QStringLiteral(":tag"), rows->value(row, QStringLiteral("Tag"))},
                           {QStringLiteral(":code"), rows->value(row, QStringLiteral("Code"))}},
                          error))
            return false;
    }
    return true;
}

bool OperatorAccounts::SaveTreeStates(TFrm_Data &data, const QString &table, const QString &keyColumn,
                                      const QString &ownerColumn, const QString &owner, const NodeStates &states,
                                      QSqlError *error)
{
    DataSet *rows = data.Qry_Sql;
    if (!quietQuery(rows,
                    QStringLiteral("select %1, Code, Authority from %2 where %3 = :owner order by Code, %1")
                        .arg(keyColumn, table, ownerColumn),
                    {{QStringLiteral(":owner"), owner}}, error))
        return false;
    for (int i = 0; i < rows->recordCount() && i < states.size(); ++i) {
        if (rows->value(i, 1).toString().trimmed() != states[i].first)
            continue;
        const int state = states[i].second;
        const bool authority = state == CheckTree::Checked
                               || (state == CheckTree::PartlyChecked && rows->value(i, 2).toBool());
        if (!data.execute(QStringLiteral("update %1 set Tag = :tag, Authority = :authority where %2 = :id").arg(table, keyColumn),
                          {{QStringLiteral(":tag"), state}, {QStringLiteral(":authority"), authority},
                           {QStringLiteral(":id"), rows->value(i, 0)}},
                          error))
            return false;
    }
    return true;
}

OperatorAccounts::SaveResult OperatorAccounts::saveOperator(TFrm_Data &data, int userId, const QString &role,
                                                            const QString &remark, const QString &newPassword,
                                                            const NodeStates &states, QSqlError *error)
{
    QString assignments = QStringLiteral("PartName = :role, Remark = :remark, Permit = :permit");
    QVariantMap binds{{QStringLiteral(":role"), role},
                      {QStringLiteral(":remark"), remark},
                      {QStringLiteral(":permit"), permitOf(role)},
                      {QStringLiteral(":id"), userId}};
    if (!newPassword.isNull()) {
        const QString hash = PasswordHash::hash(newPassword);
        if (hash.isNull()) {
            if (error)
                *error = hashFailure();
            return SaveResult::Failed;
        }
        assignments += QStringLiteral(", Password = :password");
        binds.insert(QStringLiteral(":password"), hash);
    }
    if (!data.beginTransaction(error))
        return SaveResult::Failed;
    // The permission rows go by the name read inside the transaction.
    if (!quietQuery(data.Qry_Temp, QStringLiteral("select UserName from admin where UserID = :id"),
                    {{QStringLiteral(":id"), userId}}, error)) {
        data.rollback();
        return SaveResult::Failed;
    }
    if (data.Qry_Temp->isEmpty()) {
        data.rollback();
        return SaveResult::Gone;
    }
    const QString name = data.Qry_Temp->value(0, 0).toString();
    if (data.execute(QStringLiteral("update admin set %1 where UserID = :id").arg(assignments), binds, error)
        && SaveTreeStates(data, QStringLiteral("T_UserAuthority"), QStringLiteral("UserAuthorityID"),
                          QStringLiteral("UserName"), name, states, error)
        && data.commit(error))
        return SaveResult::Saved;
    data.rollback();
    return SaveResult::Failed;
}

bool OperatorAccounts::saveRole(TFrm_Data &data, const QString &role, const NodeStates &states, QSqlError *error)
{
    if (!data.beginTransaction(error))
        return false;
    if (SaveTreeStates(data, QStringLiteral("T_PartAuthority"), QStringLiteral("PartAuthorityID"),
                       QStringLiteral("PartName"), role, states, error)
        && data.commit(error))
        return true;
    return rollBack(data);
}

bool OperatorAccounts::remove(TFrm_Data &data, int userId, QSqlError *error)
{
    if (!data.beginTransaction(error))
        return false;
    const QVariantMap id{{QStringLiteral(":id"), userId}};
    // The permission rows go by the name read inside the transaction.
    if (!data.execute(QStringLiteral("delete from T_UserAuthority where UserName in (select UserName from admin where UserID = :id)"),
                      id, error)
        || !data.execute(QStringLiteral("delete from admin where UserID = :id"), id, error)
        || !data.commit(error))
        return rollBack(data);
    return true;
}

bool OperatorAccounts::SyncPriceColumns(TFrm_Data &data, const QString &operatorName)
{
    if (!data.RunQuery(data.Qry_Temp,
                       QStringLiteral("select Authority from T_UserAuthority where UserName = :name and Code = :code "
                                      "order by UserAuthorityID"),
                       {{QStringLiteral(":name"), operatorName}, {QStringLiteral(":code"), PriceFunctionCode}}))
        return false;
    const bool shown = !data.Qry_Temp->isEmpty() && data.Qry_Temp->value(0, 0).toBool();
    return data.RunStatement(data.Qry_Str,
                             QStringLiteral("update T_FieldShow set Show = :show where DotSize = 1 or DotSize = 3"),
                             {{QStringLiteral(":show"), shown ? 1 : 0}});
}
