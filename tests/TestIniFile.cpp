#include "IniFile.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

class TestIniFile : public QObject
{
    Q_OBJECT

    QString write(const QTemporaryDir &dir, const QByteArray &content)
    {
        const QString path = dir.filePath(QStringLiteral("Config.ini"));
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(content);
        return path;
    }

    QByteArray read(const QString &path)
    {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }

private slots:
    void missingFileGivesDefaults()
    {
        QTemporaryDir dir;
        IniFile ini(dir.filePath(QStringLiteral("Config.ini")));
        QCOMPARE(ini.ReadString(QStringLiteral("Config"), QStringLiteral("DBConn"), QString()), QString());
        QCOMPARE(ini.ReadInteger(QStringLiteral("login"), QStringLiteral("username"), -1), -1);
        QVERIFY(!QFile::exists(ini.path()));
    }

    void namesMatchWithoutRegardToCase_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::newRow("as written") << "OtherInfo" << "awoke";
        QTest::newRow("lower") << "otherinfo" << "AWOKE";
        QTest::newRow("other spelling") << "otherInfo" << "Awoke";
    }

    void namesMatchWithoutRegardToCase()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QTemporaryDir dir;
        IniFile ini(write(dir, "[OtherInfo]\nawoke=0\nDay=3\n"));
        QCOMPARE(ini.ReadInteger(section, key, -1), 0);
        ini.WriteInteger(section, key, 1);
        QCOMPARE(read(ini.path()), QByteArray("[OtherInfo]\nawoke=1\nDay=3\n"));
    }

    void writeKeepsOtherContent()
    {
        QTemporaryDir dir;
        IniFile ini(write(dir, "; settings\n[Config]\nDBConn=\n\n[login]\nusername=2\n"));
        ini.WriteString(QStringLiteral("config"), QStringLiteral("Drive"), QStringLiteral("1"));
        ini.WriteString(QStringLiteral("Other"), QStringLiteral("custcode"), QStringLiteral("K0001"));
        QCOMPARE(read(ini.path()),
                 QByteArray("; settings\n[Config]\nDBConn=\nDrive=1\n\n[login]\nusername=2\n\n[Other]\ncustcode=K0001\n"));
    }

    void valuesAreReadAsWritten()
    {
        QTemporaryDir dir;
        IniFile ini(write(dir, "[Config]\nDBConn=   \n[otherInfo]\nDay=abc\n"));
        // Blanks are a value of their own: the connection treats them as a path.
        QCOMPARE(ini.ReadString(QStringLiteral("Config"), QStringLiteral("DBConn"), QStringLiteral("x")), QStringLiteral("   "));
        QCOMPARE(ini.ReadInteger(QStringLiteral("otherInfo"), QStringLiteral("Day"), 7), 7);
        ini.WriteString(QStringLiteral("Config"), QStringLiteral("DBConn"), QStringLiteral("D:\\data\\server.db"));
        QCOMPARE(ini.ReadString(QStringLiteral("Config"), QStringLiteral("DBConn"), QString()), QStringLiteral("D:\\data\\server.db"));
    }

    void readsSeeChangesMadeOutside()
    {
        QTemporaryDir dir;
        IniFile ini(write(dir, "[login]\nusername=1\n"));
        QCOMPARE(ini.ReadInteger(QStringLiteral("login"), QStringLiteral("username"), -1), 1);
        write(dir, "[login]\nusername=4\n");
        QCOMPARE(ini.ReadInteger(QStringLiteral("login"), QStringLiteral("username"), -1), 4);
    }

    // As Windows editors save it: the Chinese code page or UTF-8 with a byte order mark, with
    // CR LF line ends. Read right and written back the same way.
    void encodingsOfWindowsEditors_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        const QString path = QStringLiteral("D:\\售后\\数据库\\server.db");
        QStringEncoder gbk("GBK");
        const QByteArray gbkPath = gbk.encode(path);
        const QByteArray bom("\xEF\xBB\xBF");
        QTest::newRow("GBK, CR LF") << QByteArray("[Config]\r\nDBConn=" + gbkPath + "\r\n")
                                    << QByteArray("[Config]\r\nDBConn=" + gbkPath + "\r\n\r\n[login]\r\nusername=3\r\n");
        QTest::newRow("UTF-8 with BOM") << QByteArray(bom + "[Config]\nDBConn=" + path.toUtf8() + "\n")
                                        << QByteArray(bom + "[Config]\nDBConn=" + path.toUtf8() + "\n\n[login]\nusername=3\n");
        QTest::newRow("UTF-8") << QByteArray("[Config]\nDBConn=" + path.toUtf8() + "\n")
                               << QByteArray("[Config]\nDBConn=" + path.toUtf8() + "\n\n[login]\nusername=3\n");
    }
    void encodingsOfWindowsEditors()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        IniFile ini(write(dir, before));
        QCOMPARE(ini.ReadString(QStringLiteral("Config"), QStringLiteral("DBConn"), QString()),
                 QStringLiteral("D:\\售后\\数据库\\server.db"));
        ini.WriteInteger(QStringLiteral("login"), QStringLiteral("username"), 3);
        QCOMPARE(read(ini.path()), after);
        // A value the code page has no character for is kept too: the file turns to UTF-8.
        ini.WriteString(QStringLiteral("Other"), QStringLiteral("custcode"), QStringLiteral("€-0001"));
        QCOMPARE(ini.ReadString(QStringLiteral("Other"), QStringLiteral("custcode"), QString()), QStringLiteral("€-0001"));
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "TestIniFile.moc"
