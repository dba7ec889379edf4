#pragma once

#include <QSqlDatabase>
#include <QVariant>
#include <QVariantMap>

class TestHome;

// A second workstation on a test's database: a connection of its own, on which a test makes
// the changes another clerk would make meanwhile.
class OtherWorkstation
{
public:
    explicit OtherWorkstation(const TestHome &home);
    ~OtherWorkstation();

    // Runs a statement; a failure fails the test with the database's words.
    bool run(const QString &sql, const QVariantMap &binds = {});
    QVariant scalar(const QString &sql, const QVariantMap &binds = {});

    QSqlDatabase database() const;

private:
    QString m_name;
};
