#include "TFrm_Data.h"

#include "DatabaseLocation.h"
#include "MessageBoxes.h"
#include "Schema.h"

#include <QDir>
#include <QSqlError>

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

TFrm_Data::TFrm_Data(const QString &programDir, QObject *parent)
    : QObject(parent),
      m_programDir(programDir),
      m_configIni(QDir(programDir).filePath(QStringLiteral("Config.ini"))),
      m_connectionName(QStringLiteral("aftersales-%1").arg(++nextConnectionNumber))
{
    setObjectName(QStringLiteral("Frm_Data"));
    Frm_Data = this;
    if (!connect()) {
        const auto answer = MessageBoxes::box(connectionFailedText(), connectionFailedCaption(),
                                              QMessageBox::Information,
                                              QMessageBox::Yes | QMessageBox::No);
        if (answer == QMessageBox::Yes)
            m_configIni.WriteString(QStringLiteral("Config"), QStringLiteral("DBConn"), QString());
        return;
    }
    m_dbReady = 1;
    createDataSets();
    RunQuery(Qry_Custom, QStringLiteral("select * from info"));
    LoadReports();
}

TFrm_Data::~TFrm_Data()
{
    // Queries go before the connection they use.
    qDeleteAll(findChildren<DataSet *>(QString(), Qt::FindDirectChildrenOnly));
    if (QSqlDatabase::contains(m_connectionName)) {
        QSqlDatabase::database(m_connectionName, false).close();
        QSqlDatabase::removeDatabase(m_connectionName);
    }
}

bool TFrm_Data::connect()
{
    const QString dbConn = m_configIni.ReadString(QStringLiteral("Config"), QStringLiteral("DBConn"), QString());
    const DatabaseLocation location = DatabaseLocation::fromDbConn(dbConn, m_programDir);
    m_connString = location.connString();
    QString error;
    if (!location.open(m_connectionName, &error))
        return false;
    QSqlDatabase db = database();
    if (!Schema::ensure(db, &error)) {
        db.close();
        QSqlDatabase::removeDatabase(m_connectionName);
        return false;
    }
    m_dialect = SqlDialect::forDatabase(db);
    return true;
}

QSqlDatabase TFrm_Data::database() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

DataSet *TFrm_Data::makeDataSet(const char *name, const QString &statement, DataSet *master)
{
    auto *dataSet = new DataSet(QString::fromLatin1(name), m_connectionName, this);
    dataSet->setStatement(statement);
    dataSet->setMasterSource(master);
    return dataSet;
}

void TFrm_Data::createDataSets()
{
    Qry_Cust = makeDataSet("Qry_Cust", QStringLiteral("select * from custom"));
    Qry_Custom = makeDataSet("Qry_Custom", QStringLiteral("select * from info"));
    Qry_Other = makeDataSet("Qry_Other", QString());
    Qry_Contact = makeDataSet("Qry_Contact", QStringLiteral("select * from contact"), Qry_Cust);
    Qry_Schedule = makeDataSet("Qry_Schedule", QStringLiteral("Select *  from  T_Schedule"), Qry_Cust);
    Qry_Bill = makeDataSet("Qry_Bill", QStringLiteral("Select * from  T_Bill"), Qry_Cust);
    Qry_BillDetail = makeDataSet("Qry_BillDetail", QStringLiteral("select * from T_BillDetail"), Qry_Cust);
    Qry_BillDetail->setPendingChanges(QStringLiteral("T_BillDetail"), QStringLiteral("BillDetailID"));
    Qry_Goods = makeDataSet("Qry_Goods", QString());
    Qry_HY = makeDataSet("Qry_HY", QString());
    Qry_FieldShow = makeDataSet("Qry_FieldShow", QString());
    Qry_SoftInfo = makeDataSet("Qry_SoftInfo", QString());
    Qry_Import = makeDataSet("Qry_Import", QString());
    Qry_Sql = makeDataSet("Qry_Sql", QString());
    Qry_Temp = makeDataSet("Qry_Temp", QString());
    Qry_Str = makeDataSet("Qry_Str", QString());
}

void TFrm_Data::LoadReports()
{
    const QDir folder(QDir(m_programDir).filePath(QStringLiteral("Reports")));
    const std::pair<Report *, const char *> templates[] = {
        {&frx_bill, "frx_bill.xml"},   {&frx_envelop, "frx_envelop.xml"}, {&frx_label, "frx_label.xml"},
        {&frx_user, "frx_user.xml"},   {&frx_AN, "frx_bill1.xml"},        {&frx_wx, "frx_bill2.xml"},
    };
    for (const auto &[report, file] : templates)
        report->loadFromFile(folder.filePath(QString::fromLatin1(file)));
}

void TFrm_Data::reportError(const DataSet *query)
{
    MessageBoxes::error(query->lastError().text());
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
    reportError(query);
    return false;
}

bool TFrm_Data::RunStatement(DataSet *query, const QString &sql, const QVariantMap &binds)
{
    setStatement(query, sql, binds);
    if (query->exec())
        return true;
    reportError(query);
    return false;
}

bool TFrm_Data::TryStatement(DataSet *query, const QString &sql, const QVariantMap &binds)
{
    setStatement(query, sql, binds);
    return query->exec();
}

bool TFrm_Data::beginTransaction()
{
    return database().transaction();
}

bool TFrm_Data::commit()
{
    return database().commit();
}

void TFrm_Data::rollback()
{
    database().rollback();
}
