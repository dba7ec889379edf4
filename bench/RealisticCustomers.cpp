#include "RealisticCustomers.h"

#include "HzSpell.h"

#include <QDate>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QUrl>
#include <QVariantList>
#include <cstdio>
#include <random>

namespace RealisticCustomers {

namespace {

struct Weighted
{
    const char *text;
    int weight;
};

template <size_t N>
QString pick(const Weighted (&items)[N], std::mt19937 &random)
{
    int total = 0;
    for (const Weighted &item : items)
        total += item.weight;
    int point = std::uniform_int_distribution<int>(0, total - 1)(random);
    for (const Weighted &item : items) {
        if (point < item.weight)
            return QString::fromUtf8(item.text);
        point -= item.weight;
    }
    return QString::fromUtf8(items[0].text);
}

QChar pickChar(const QString &chars, std::mt19937 &random)
{
    return chars.at(std::uniform_int_distribution<int>(0, int(chars.size()) - 1)(random));
}

const Weighted Surnames[] = {
    {"王", 72}, {"李", 70}, {"张", 68}, {"刘", 54}, {"陈", 46}, {"杨", 32}, {"黄", 24}, {"赵", 23},
    {"吴", 21}, {"周", 21}, {"徐", 17}, {"孙", 15}, {"马", 14}, {"朱", 13}, {"胡", 13}, {"郭", 12},
    {"何", 12}, {"高", 11}, {"林", 11}, {"罗", 10}, {"郑", 10}, {"梁", 9}, {"谢", 8}, {"宋", 7},
    {"唐", 7}, {"许", 6}, {"韩", 6}, {"冯", 6}, {"邓", 6}, {"曹", 6}, {"彭", 6}, {"曾", 6},
    {"肖", 5}, {"田", 5}, {"董", 5}, {"袁", 4}, {"潘", 4}, {"于", 4}, {"蒋", 4}, {"蔡", 4},
    {"余", 4}, {"杜", 4}, {"叶", 4}, {"程", 4}, {"苏", 3}, {"魏", 3}, {"吕", 3}, {"丁", 3},
    {"覃", 2}, {"隗", 1}, {"晟", 1},
};
const QString GivenChars = QStringLiteral(
    "伟芳娜秀英敏静丽强磊军洋勇艳杰娟涛明超秀兰霞平刚桂英华玉萍红娥玲芬燕彬鹏辉建国建华建军建平"
    "志强志明晓东晓燕海燕海涛春梅春华文杰文静子涵梓涵雨桐欣怡浩然宇轩一诺思远佳琪俊杰");
const Weighted Brands[] = {
    {"格力", 35}, {"美的", 25}, {"海尔", 12}, {"奥克斯", 8}, {"海信", 6}, {"志高", 5},
    {"长虹", 4}, {"格兰仕", 3}, {"大金", 1}, {"三菱电机", 1},
};
const Weighted Cities[] = {
    {"长沙市", 40}, {"株洲市", 12}, {"湘潭市", 10}, {"衡阳市", 9}, {"岳阳市", 8},
    {"常德市", 7}, {"益阳市", 5}, {"郴州市", 4}, {"永州市", 3}, {"怀化市", 2},
};
const Weighted Roads[] = {
    {"五一大道", 5}, {"人民路", 5}, {"解放路", 4}, {"建设路", 4}, {"芙蓉路", 3}, {"韶山路", 3},
    {"劳动路", 3}, {"雨花路", 2}, {"湘江路", 2}, {"红旗路", 2},
};
const Weighted Operators[] = {{"Admin", 6}, {"张三", 3}, {"李四", 1}};
const Weighted Places[] = {{"门店", 6}, {"商场专柜", 3}, {"网上", 1}};
const Weighted Installers[] = {{"刘师傅", 4}, {"王师傅", 3}, {"陈师傅", 2}, {"赵师傅", 1}};

const char *const Columns[] = {"CustCode", "Company", "airframe", "Type", "model", "taishu", "retail", "money",
                               "Address", "Mobile", "Tel", "place", "buydate", "installdate", "batch",
                               "people", "isgathering", "gathering", "f_user", "pinyin"};
constexpr int ColumnCount = int(sizeof(Columns) / sizeof(Columns[0]));

QVariantList customerRow(int n, std::mt19937 &random)
{
    auto uniform = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const QString city = pick(Cities, random);
    const QString brand = pick(Brands, random);
    QString name;
    if (n % 200000 == 17) {
        name = rareKey() + pickChar(GivenChars, random);
    } else if (uniform(0, 9) == 0) {
        name = city.left(2) + brand + (uniform(0, 1) ? QStringLiteral("空调专卖店") : QStringLiteral("电器商行"));
        name += QString::number(n);
    } else {
        name = pick(Surnames, random) + pickChar(GivenChars, random);
        if (uniform(0, 2))
            name += pickChar(GivenChars, random);
    }
    const QDate bought = QDate(2023, 1, 1).addDays(uniform(0, 1439));
    const int quantity = uniform(1, 3);
    const double price = 1999 + 100 * uniform(0, 110);
    const bool paid = uniform(0, 9) < 7;
    QString mobile = QStringLiteral("1") + QString::number(uniform(3, 9));
    for (int i = 0; i < 9; ++i)
        mobile += QString::number(uniform(0, 9));
    return {QStringLiteral("C%1").arg(n, 7, 10, QLatin1Char('0')),
            name,
            QStringLiteral("SN%1").arg(uint(random()), 10, 16, QLatin1Char('0')).toUpper(),
            QStringLiteral("安装"),
            brand,
            QString::number(quantity),
            price,
            price * quantity,
            city + pick(Roads, random) + QString::number(uniform(1, 999)) + QStringLiteral("号"),
            mobile,
            QStringLiteral("0731-%1").arg(uniform(1000000, 9999999)),
            pick(Places, random),
            bought,
            bought.addDays(uniform(0, 7)),
            QStringLiteral("AZ-%1-%2").arg(bought.toString(QStringLiteral("yyyy-MM-dd"))).arg(n, 7, 10, QLatin1Char('0')),
            pick(Installers, random),
            paid,
            paid ? price * quantity : 0.0,
            pick(Operators, random),
            THzSpell::PinyinInitials(name).trimmed()};
}

bool execute(QSqlQuery &query, const QString &sql, const QVariantList &values = {})
{
    bool ok;
    if (values.isEmpty()) {
        ok = query.exec(sql);
    } else {
        query.prepare(sql);
        for (const QVariant &value : values)
            query.addBindValue(value);
        ok = query.exec();
    }
    if (!ok)
        std::fprintf(stderr, "%s\n", qPrintable(query.lastError().text()));
    return ok;
}

} // namespace

bool fill(QSqlDatabase db, int count)
{
    std::mt19937 random(20261211);
    QStringList columns;
    for (const char *column : Columns)
        columns << QString::fromLatin1(column);
    const QString rowPlaceholders = QLatin1Char('(') + QStringList(ColumnCount, QStringLiteral("?")).join(QLatin1Char(',')) + QLatin1Char(')');
    QSqlQuery query(db);
    if (!db.transaction())
        return false;
    // One statement prepared once and run for every row: the fastest way in through Qt.
    QSqlQuery insert(db);
    insert.prepare(QStringLiteral("INSERT INTO custom (%1) VALUES %2").arg(columns.join(QLatin1Char(',')), rowPlaceholders));
    for (int n = 1; n <= count; ++n) {
        const QVariantList values = customerRow(n, random);
        for (int c = 0; c < values.size(); ++c)
            insert.bindValue(c, values[c]);
        if (!insert.exec()) {
            std::fprintf(stderr, "%s\n", qPrintable(insert.lastError().text()));
            db.rollback();
            return false;
        }
    }
    const bool ok = execute(query, QStringLiteral("INSERT INTO contact (CustCode, Company, Name, f_user) "
                                                  "SELECT CustCode, Company, '回访员', f_user FROM custom WHERE CustID % 10 = 0"))
                 && execute(query, QStringLiteral("INSERT INTO T_Schedule (CustCode, Company, danhao, Type, zt, F_User) "
                                                  "SELECT CustCode, Company, 'WX-' || batch, model, '完成', f_user FROM custom WHERE CustID % 10 = 0"))
                 && db.commit();
    if (ok)
        execute(query, db.driverName() == QLatin1String("QPSQL") ? QStringLiteral("VACUUM ANALYZE") : QStringLiteral("ANALYZE"));
    return ok;
}

QString ensurePostgresDatabase(const QString &url)
{
    const QUrl target(url);
    const QString name = target.path().mid(1);
    const QString connection = QStringLiteral("bench-server");
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection);
        db.setHostName(target.host());
        db.setPort(target.port(5432));
        db.setUserName(target.userName());
        db.setPassword(target.password());
        db.setDatabaseName(QStringLiteral("postgres"));
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            QSqlQuery query(db);
            query.prepare(QStringLiteral("SELECT 1 FROM pg_database WHERE datname = ?"));
            query.addBindValue(name);
            if (query.exec() && !query.next() && !query.exec(QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' TEMPLATE template0").arg(name)))
                error = query.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return error;
}

} // namespace RealisticCustomers
