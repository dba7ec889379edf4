#pragma once

#include "DataSet.h"
#include "DbConnection.h"
#include "IniFile.h"
#include "MessageBoxes.h"
#include "Report.h"
#include "SqlDialect.h"

#include <QObject>
#include <QPointer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QVariantMap>
#include <functional>

// The data module: the one database connection of the run, Config.ini and the named data
// sets that the windows share. Created once at start-up; DBReady() tells whether the
// database opened.
class TFrm_Data : public QObject
{
    Q_OBJECT
public:
    explicit TFrm_Data(const QString &programDir, QObject *parent = nullptr);
    ~TFrm_Data() override;

    IniFile &ConfigIni() { return m_configIni; }
    QString ConnString() const { return m_connString; }
    int DBReady() const { return m_dbReady; }
    QString programDir() const { return m_programDir; }
    QSqlDatabase database() const;
    DbConnection &connection() { return m_connection; }
    const SqlDialect &dialect() const { return m_connection.dialect(); }

    // Close the data set, give it the statement (and bound values) and open it. A failure
    // reaches the operator as the data layer's error message; the result tells the caller.
    bool RunQuery(DataSet *query, const QString &sql, const QVariantMap &binds = {});
    // The same for a statement that returns no rows.
    bool RunStatement(DataSet *query, const QString &sql, const QVariantMap &binds = {});
    // A statement whose failure the caller handles itself (a retry, a message of its own):
    // nothing is shown, the error stays in the data set.
    bool TryStatement(DataSet *query, const QString &sql, const QVariantMap &binds = {});
    // Opens the data set with a new statement, showing nothing. When the database refuses it,
    // the data set opens again with the statement it had, so a list keeps what it listed, and
    // error (when given) holds the refusal.
    bool TryQuery(DataSet *query, const QString &sql, const QVariantMap &binds, QSqlError *error = nullptr);
    // A statement on a query of its own: its failure is the caller's to report, with the error
    // of this very statement; rowsAffected (when given) tells how many rows it changed.
    bool execute(const QString &sql, const QVariantMap &binds = {}, QSqlError *error = nullptr,
                 int *rowsAffected = nullptr);

    // Transactions that write: the write lock is taken at the start.
    bool beginTransaction(QSqlError *error = nullptr);
    bool commit(QSqlError *error = nullptr);
    void rollback();

    // Closes the connection, runs whileClosed (which may replace the database file) and opens
    // the same database again, brought up to this program's schema; the shared data sets that
    // were open read it anew. False with the reason when whileClosed or the opening failed:
    // after a failed opening the connection stays closed.
    bool reopenDatabase(const std::function<bool(QString *reason)> &whileClosed, QString *reason);
    // Reads every open shared data set again, after the database changed under them.
    void reopenOpenDataSets();

    // Shows a window's message with the database's reason below it, caption and icon as
    // given. While the server is away, the one message about it stands for all others.
    void reportError(const QString &message, const QSqlError &error, const QString &caption,
                     QMessageBox::Icon icon = QMessageBox::Information);

    DataSet *Qry_Cust = nullptr;
    DataSet *Qry_Custom = nullptr;
    DataSet *Qry_Other = nullptr;
    DataSet *Qry_Contact = nullptr;
    DataSet *Qry_Schedule = nullptr;
    DataSet *Qry_Bill = nullptr;
    DataSet *Qry_BillDetail = nullptr;
    DataSet *Qry_Goods = nullptr;
    DataSet *Qry_HY = nullptr;
    DataSet *Qry_FieldShow = nullptr;
    DataSet *Qry_SoftInfo = nullptr;
    DataSet *Qry_Import = nullptr;
    DataSet *Qry_Sql = nullptr;
    DataSet *Qry_Temp = nullptr;
    DataSet *Qry_Str = nullptr;

    // The printed forms, each filled from its template in Reports/ when the module starts.
    Report frx_bill{QStringLiteral("frx_bill")};
    Report frx_envelop{QStringLiteral("frx_envelop")};
    Report frx_label{QStringLiteral("frx_label")};
    Report frx_user{QStringLiteral("frx_user")};
    Report frx_AN{QStringLiteral("frx_AN")};
    Report frx_wx{QStringLiteral("frx_wx")};
    // Empties each report and loads its template; a missing or unreadable file leaves it empty.
    void LoadReports();

    // A data set of this connection, for windows that keep a list of their own.
    DataSet *makeDataSet(const QString &name, const QString &statement, QObject *owner,
                         DataSet *master = nullptr);

    static QString connectionFailedText();
    static QString connectionFailedCaption();
    static QString connectionLostText();

private:
    bool connect(QString *reason);
    void createDataSets();
    static void setStatement(DataSet *query, const QString &sql, const QVariantMap &binds);
    bool isQuietError(const QSqlError &error) const;
    void reportDataSetError(const DataSet *query);
    void connectionLost(const QString &reason);

    QString m_programDir;
    IniFile m_configIni;
    DbConnection m_connection;
    QString m_connString;
    int m_dbReady = 0;
    bool m_serverAway = false;
};

extern QPointer<TFrm_Data> Frm_Data;
