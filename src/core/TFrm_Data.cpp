#include "TFrm_Data.h"

#include "DatabaseErrors.h"
#include "DatabaseLocation.h"
#include "MessageBoxes.h"
#include "ProgramFiles.h"
#include "Schema.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTimer>

QPointer<TFrm_Data> Frm_Data;

namespace {
int nextConnectionNumber = 0;
}

QString TFrm_Data::connectionFailedText()
{
    return QStringLiteral("连接数据库失败,您要连接本机数据库吗! ");
}

QString TFrm_Data::connectionFailedCaption()
{
    return QStringLiteral("售后服务管理系统");
}

QString TFrm_Data::connectionLostText()
{
    return QStringLiteral("与数据库服务器的连接已断开，刚才的操作没有完成。\n服务器恢复后，下一次操作时程序会自动重新连接。");
}

TFrm_Data::TFrm_Data(const QString &programDir, QObject *parent)
    : QObject(parent),
      m_programDir(programDir),
      m_configIni(QDir(programDir).filePath(QStringLiteral("Config.ini"))),
      m_connection(QStringLiteral("aftersales-%1").arg(++nextConnectionNumber), this)
{
    setObjectName(QStringLiteral("Frm_Data"));
    Frm_Data = this;
    QString reason;
    if (!connect(&reason)) {
        const auto answer = MessageBoxes::box(connectionFailedText() + QLatin1Char('\n') + reason,
                                              connectionFailedCaption(), QMessageBox::Information,
                                              QMessageBox::Yes | QMessageBox::No);
        if (answer == QMessageBox::Yes)
            m_configIni.WriteString(QStringLiteral("Config"), QStringLiteral("DBConn"), QString());
        return;
    }
    m_dbReady = 1;
    QObject::connect(&m_connection, &DbConnection::connectionLost, this, &TFrm_Data::connectionLost);
    QObject::connect(&m_connection, &DbConnection::reconnected, this, [this] {
        m_serverAway = false;
        // Not in the middle of the statement that found the server back.
        QTimer::singleShot(0, this, &TFrm_Data::reopenOpenDataSets);
    });
    createDataSets();
    RunQuery(Qry_Custom, QStringLiteral("select * from info"));
    LoadReports();
}

TFrm_Data::~TFrm_Data()
{
    // Queries go before the connection they use.
    qDeleteAll(findChildren<DataSet *>(QString(), Qt::FindDirectChildrenOnly));
    m_connection.close();
}

bool TFrm_Data::connect(QString *reason)
{
    const QString dbConn = m_configIni.ReadString(QStringLiteral("Config"), QStringLiteral("DBConn"), QString());
    const DatabaseLocation location = DatabaseLocation::fromDbConn(dbConn, m_programDir);
    m_connString = location.connString();
    // Only a database that nobody made yet becomes a new one without a question.
    const bool mayCreate = location.kind() == DatabaseLocation::Kind::Postgres
                        || location.isEmptyFile()
                        || (location.kind() == DatabaseLocation::Kind::DefaultSqlite
                            && !QFileInfo::exists(location.sqlitePath()));
    if (location.kind() == DatabaseLocation::Kind::SqliteFile && location.isEmptyFile()) {
        const QString path = QDir::toNativeSeparators(location.sqlitePath());
        if (MessageBoxes::box(QStringLiteral("数据库文件“%1”是空的。\n要在这个文件中建立新的数据库吗？").arg(path),
                              connectionFailedCaption(), QMessageBox::Question, QMessageBox::Yes | QMessageBox::No)
            != QMessageBox::Yes) {
            *reason = QStringLiteral("数据库文件“%1”是空的").arg(path);
            return false;
        }
    }
    if (!m_connection.open(location, reason))
        return false;
    QSqlDatabase db = database();
    if (!Schema::ensure(m_connection, mayCreate, reason) || !dialect().prepareStorage(db, reason)) {
        *reason = DatabaseErrors::reason(*reason);
        m_connection.close();
        return false;
    }
    return true;
}

QSqlDatabase TFrm_Data::database() const
{
    return m_connection.database();
}

DataSet *TFrm_Data::makeDataSet(const QString &name, const QString &statement, QObject *owner, DataSet *master)
{
    auto *dataSet = new DataSet(name, &m_connection, owner);
    dataSet->setStatement(statement);
    dataSet->setMasterSource(master);
    return dataSet;
}

void TFrm_Data::createDataSets()
{
    const auto make = [this](const char *name, const QString &statement, DataSet *master = nullptr) {
        return makeDataSet(QString::fromLatin1(name), statement, this, master);
    };
    Qry_Cust = make("Qry_Cust", QStringLiteral("select * from custom"));
    Qry_Cust->setRecordSource(QStringLiteral("custom"), QStringLiteral("CustID"));
    Qry_Custom = make("Qry_Custom", QStringLiteral("select * from info"));
    Qry_Other = make("Qry_Other", QString());
    Qry_Contact = make("Qry_Contact", QStringLiteral("select * from contact"), Qry_Cust);
    Qry_Contact->setRecordSource(QStringLiteral("contact"), QStringLiteral("ContactID"));
    Qry_Schedule = make("Qry_Schedule", QStringLiteral("Select *  from  T_Schedule"), Qry_Cust);
    Qry_Schedule->setRecordSource(QStringLiteral("T_Schedule"), QStringLiteral("ScheduleID"));
    Qry_Bill = make("Qry_Bill", QStringLiteral("Select * from  T_Bill"), Qry_Cust);
    Qry_Bill->setRecordSource(QStringLiteral("T_Bill"), QStringLiteral("lD"));
    Qry_BillDetail = make("Qry_BillDetail", QStringLiteral("select * from T_BillDetail"), Qry_Cust);
    Qry_BillDetail->setPendingChanges(QStringLiteral("T_BillDetail"), QStringLiteral("BillDetailID"));
    Qry_Goods = make("Qry_Goods", QString());
    Qry_Goods->setRecordSource(QStringLiteral("T_Goods"), QStringLiteral("GoodsID"));
    Qry_HY = make("Qry_HY", QString());
    Qry_FieldShow = make("Qry_FieldShow", QString());
    Qry_SoftInfo = make("Qry_SoftInfo", QString());
    Qry_Import = make("Qry_Import", QString());
    Qry_Sql = make("Qry_Sql", QString());
    Qry_Temp = make("Qry_Temp", QString());
    Qry_Str = make("Qry_Str", QString());
}

void TFrm_Data::LoadReports()
{
    // The workstation's own Reports/ when it has one (a file missing there stays missing),
    // else the templates delivered beside the executable.
    const QDir folder(ProgramFiles::path(m_programDir, QStringLiteral("Reports")));
    const std::pair<Report *, const char *> templates[] = {
        {&frx_bill, "frx_bill.xml"},   {&frx_envelop, "frx_envelop.xml"}, {&frx_label, "frx_label.xml"},
        {&frx_user, "frx_user.xml"},   {&frx_AN, "frx_bill1.xml"},        {&frx_wx, "frx_bill2.xml"},
    };
    for (const auto &[report, file] : templates)
        report->loadFromFile(folder.filePath(QString::fromLatin1(file)));
}

bool TFrm_Data::isQuietError(const QSqlError &error) const
{
    return error.type() == QSqlError::ConnectionError && m_serverAway;
}

void TFrm_Data::reportDataSetError(const DataSet *query)
{
    if (!isQuietError(query->lastError()))
        MessageBoxes::error(DatabaseErrors::reason(query->lastError()));
}

void TFrm_Data::reportError(const QString &message, const QSqlError &error, const QString &caption,
                            QMessageBox::Icon icon)
{
    if (!isQuietError(error))
        MessageBoxes::box(DatabaseErrors::withReason(message, error), caption, icon, QMessageBox::Ok);
}

void TFrm_Data::connectionLost(const QString &reason)
{
    m_serverAway = true;
    MessageBoxes::box(connectionLostText() + QLatin1Char('\n') + DatabaseErrors::reason(reason),
                      connectionFailedCaption(), QMessageBox::Warning, QMessageBox::Ok);
}

bool TFrm_Data::reopenDatabase(const std::function<bool(QString *)> &whileClosed, QString *reason)
{
    m_connection.close();
    QStringList failures;
    QString failure;
    if (!whileClosed(&failure))
        failures << failure;
    bool opened = m_connection.openAgain(&failure);
    if (opened) {
        QSqlDatabase db = database();
        opened = Schema::ensure(m_connection, false, &failure) && dialect().prepareStorage(db, &failure);
        if (!opened)
            m_connection.close();
    }
    if (opened)
        reopenOpenDataSets();
    else
        failures << DatabaseErrors::reason(failure);
    if (reason)
        *reason = failures.join(QLatin1Char('\n'));
    return failures.isEmpty();
}

void TFrm_Data::reopenOpenDataSets()
{
    // The customer list first: the lists that follow it reopen with it.
    if (Qry_Cust->isOpen())
        Qry_Cust->reopen();
    for (DataSet *dataSet : findChildren<DataSet *>()) {
        if (dataSet != Qry_Cust && dataSet->isOpen() && !dataSet->pendingChangesMode()
            && dataSet->masterSource() != Qry_Cust)
            dataSet->reopen();
    }
}

void TFrm_Data::setStatement(DataSet *query, const QString &sql, const QVariantMap &binds)
{
    query->close();
    query->setStatement(sql);
    query->clearBindValues();
    for (auto it = binds.cbegin(); it != binds.cend(); ++it)
        query->bindValue(it.key(), it.value());
}

bool TFrm_Data::RunQuery(DataSet *query, const QString &sql, const QVariantMap &binds)
{
    setStatement(query, sql, binds);
    if (query->open())
        return true;
    reportDataSetError(query);
    return false;
}

bool TFrm_Data::RunStatement(DataSet *query, const QString &sql, const QVariantMap &binds)
{
    setStatement(query, sql, binds);
    if (query->exec())
        return true;
    reportDataSetError(query);
    return false;
}

bool TFrm_Data::TryStatement(DataSet *query, const QString &sql, const QVariantMap &binds)
{
    setStatement(query, sql, binds);
    return query->exec();
}

bool TFrm_Data::TryQuery(DataSet *query, const QString &sql, const QVariantMap &binds, QSqlError *error)
{
    const bool wasOpen = query->isOpen();
    const QString previous = query->statement();
    const QVariantMap previousBinds = query->boundValues();
    const QVariant current = query->key(query->currentRow());
    setStatement(query, sql, binds);
    if (query->open())
        return true;
    const QSqlError refusal = query->lastError();
    if (error)
        *error = refusal;
    setStatement(query, previous, previousBinds);
    if (wasOpen && query->open())
        query->locateKey(current);
    return false;
}

bool TFrm_Data::execute(const QString &sql, const QVariantMap &binds, QSqlError *error, int *rowsAffected)
{
    QSqlQuery query(database());
    if (!m_connection.exec(query, sql, binds, DbConnection::Access::Write, error))
        return false;
    if (rowsAffected)
        *rowsAffected = query.numRowsAffected();
    return true;
}

bool TFrm_Data::beginTransaction(QSqlError *error)
{
    return m_connection.beginTransaction(error);
}

bool TFrm_Data::commit(QSqlError *error)
{
    return m_connection.commit(error);
}

void TFrm_Data::rollback()
{
    m_connection.rollback();
}
