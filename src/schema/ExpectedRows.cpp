#include "ExpectedRows.h"

#include "PermissionFunctions.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <initializer_list>
#include <utility>

namespace {

using Values = std::initializer_list<std::pair<const char *, QVariant>>;

class RowWriter
{
public:
    explicit RowWriter(QSqlDatabase &db) : m_db(db) {}

    bool insert(const char *table, Values values)
    {
        if (!m_error.isEmpty())
            return false;
        QStringList columns, placeholders;
        for (const auto &value : values) {
            columns << QString::fromLatin1(value.first);
            placeholders << QStringLiteral("?");
        }
        QSqlQuery query(m_db);
        query.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                          .arg(QString::fromLatin1(table), columns.join(QLatin1Char(',')),
                               placeholders.join(QLatin1Char(','))));
        for (const auto &value : values)
            query.addBindValue(value.second);
        if (!query.exec())
            m_error = QStringLiteral("%1: %2").arg(QString::fromLatin1(table), query.lastError().text());
        return m_error.isEmpty();
    }

    QString error() const { return m_error; }

private:
    QSqlDatabase &m_db;
    QString m_error;
};

const char *const SuperAdminRole = "超级管理员";
const char *const OrdinaryUserRole = "普通用户";

enum CheckState { Unchecked = 1, Checked = 2, PartlyChecked = 3 };

// Check state of each function row of a role: groups follow their functions.
std::vector<int> checkStates(bool ordinaryUser)
{
    const auto &functions = permissionFunctions();
    std::vector<int> states(functions.size());
    for (size_t i = 0; i < functions.size(); ++i) {
        if (qstrlen(functions[i].code) == 2)
            continue;
        states[i] = (!ordinaryUser || functions[i].grantedToOrdinaryUser) ? Checked : Unchecked;
    }
    for (size_t i = 0; i < functions.size(); ++i) {
        if (qstrlen(functions[i].code) != 2)
            continue;
        int checked = 0, total = 0;
        for (size_t j = i + 1; j < functions.size() && qstrlen(functions[j].code) == 4; ++j) {
            ++total;
            checked += states[j] == Checked;
        }
        states[i] = checked == 0 ? Unchecked : (checked == total ? Checked : PartlyChecked);
    }
    return states;
}

void insertRoles(RowWriter &w)
{
    w.insert("T_Part", {{"PartID", 1}, {"PartName", SuperAdminRole}, {"Remark", "拥有全部操作权限"}});
    w.insert("T_Part", {{"PartID", 2}, {"PartName", OrdinaryUserRole}, {"Remark", "日常业务操作"}});
    const auto &functions = permissionFunctions();
    for (const bool ordinary : {false, true}) {
        const auto states = checkStates(ordinary);
        for (size_t i = 0; i < functions.size(); ++i)
            w.insert("T_PartAuthority",
                     {{"PartName", ordinary ? OrdinaryUserRole : SuperAdminRole},
                      {"Code", functions[i].code}, {"FunctionName", functions[i].name},
                      {"Authority", states[i] == Checked}, {"Tag", states[i]}});
    }
}

void insertAdministrator(RowWriter &w)
{
    w.insert("admin", {{"UserName", "Admin"}, {"Password", ""}, {"PartName", SuperAdminRole},
                       {"Remark", "系统管理员"}, {"Permit", 0}, {"IsUser", true}});
    for (const auto &function : permissionFunctions())
        w.insert("T_UserAuthority", {{"UserName", "Admin"}, {"FunctionName", function.name},
                                     {"Authority", true}, {"Tag", Checked},
                                     {"Code", function.code}});
}

struct GridColumn
{
    const char *field;
    const char *title;
    int width;
    bool sum = false;
    int dotSize = 0;
    bool button = false;
};

void insertGridConfiguration(RowWriter &w, const char *name, std::initializer_list<GridColumn> columns)
{
    int position = 0;
    for (const auto &column : columns) {
        w.insert("T_FieldShow", {{"TableName", name}, {"Field", column.field},
                                 {"Name", column.title}, {"Width", column.width},
                                 {"ShowID", position++}, {"Show", 1}, {"SumField", column.sum ? 1 : 0},
                                 {"ShowButton", column.button ? 1 : 0}, {"DotSize", column.dotSize}});
    }
}

void insertGridConfigurations(RowWriter &w)
{
    insertGridConfiguration(w, "Custom", {
        {"CustCode", "用户编号", 90}, {"Company", "用户名称", 140}, {"airframe", "机身编码", 110},
        {"Type", "服务类型", 80}, {"model", "品牌", 70}, {"taishu", "数量", 50},
        {"retail", "单价", 70, false, 1}, {"money", "总金额", 80, true, 3},
        {"Mobile", "手机号码", 100}, {"Tel", "联系电话", 100}, {"Address", "通讯地址", 200},
        {"largess", "赠品名称A", 80}, {"number", "赠品数量A", 70}, {"largessb", "赠品名称B", 80},
        {"numberB", "赠品数量B", 70}, {"gathering", "收款", 70, true, 3},
        {"isgathering", "收款否", 60}, {"place", "购买地点", 90}, {"buydate", "购买日期", 90},
        {"depart", "安装部", 80}, {"installdate", "安装日期", 90}, {"batch", "安装单号", 150},
        {"billcode", "发票号", 90}, {"people", "安装员", 70}, {"memo", "备注信息", 200},
        {"f_user", "制单人", 70}});
    insertGridConfiguration(w, "Contact", {
        {"Birthday", "回访日期", 90}, {"Name", "回访人员", 80}, {"memo2", "回访内容", 260},
        {"memo1", "回访处理", 260}, {"f_user", "操作员", 70}});
    insertGridConfiguration(w, "Schedule", {
        {"danhao", "维修单号", 150}, {"Company", "用户名称", 120}, {"Subject", "维修性质", 90},
        {"Type", "品牌", 70}, {"price", "机型", 90}, {"code", "机身编码", 110},
        {"Contact", "服务方式", 80}, {"depart", "服务类型", 80}, {"number", "服务项目", 80},
        {"reason", "故障原因", 90}, {"repairdate", "报修日期", 90}, {"finishdate", "修复日期", 90},
        {"engineer", "维修人员", 80}, {"money", "接单员", 70}, {"fee", "服务费用", 80, true, 3},
        {"zt", "完成状态", 70}, {"Memo", "服务内容", 200}, {"AwokeDate", "提醒日期", 90},
        {"tel", "联系电话", 100}, {"address", "地址", 160}, {"F_User", "操作员", 70}});
    insertGridConfiguration(w, "Bill", {
        {"BillDate", "投诉时间", 140}, {"memo", "投诉原因", 200}, {"level", "投诉级别", 70},
        {"people", "接受人", 70}, {"memo1", "投诉处理结果", 200}, {"memo2", "备注", 160},
        {"F_User", "操作员", 70}});
    insertGridConfiguration(w, "Billform", {
        {"GoodsCode", "商品编码", 90}, {"GoodsName", "型号", 120}, {"GoodsUnit", "规格", 90},
        {"Units", "单位", 50}, {"Number", "数量", 60, true}, {"SalePrice", "单价", 70, false, 1},
        {"Discount", "折扣", 50}, {"SaleMoney", "金额", 80, true, 3}, {"Memo", "备注", 160}});
    insertGridConfiguration(w, "Other", {{"name", "名称", 200}});
    insertGridConfiguration(w, "Goods", {
        {"GoodsCode", "编码", 90}, {"GoodsName", "型号", 140}, {"Category", "型号类别", 80},
        {"GoodsUnit", "商品规格", 100}, {"Units", "计量单位", 70},
        {"InPrice", "采购价", 70, false, 1}, {"CostPrice", "成本价", 70, false, 1},
        {"SalePrice", "销售定价", 70, false, 1}, {"Memo", "备注信息", 200}});
    insertGridConfiguration(w, "SelectGoods", {
        {"GoodsCode", "编码", 90}, {"GoodsName", "型号", 140}, {"GoodsUnit", "商品规格", 100},
        {"Units", "计量单位", 70}, {"SalePrice", "销售定价", 70, false, 1},
        {"Memo", "备注信息", 160}});
    insertGridConfiguration(w, "Scheduletj", {
        {"danhao", "维修单号", 150}, {"CustCode", "用户编号", 90}, {"Company", "用户名称", 120},
        {"Subject", "维修性质", 90}, {"Type", "品牌", 70}, {"price", "机型", 90},
        {"repairdate", "报修日期", 90}, {"finishdate", "修复日期", 90},
        {"engineer", "维修人员", 80}, {"number", "服务项目", 80}, {"reason", "故障原因", 90},
        {"fee", "服务费用", 80, true, 3}, {"zt", "完成状态", 70}, {"F_User", "操作员", 70}});
    insertGridConfiguration(w, "import", {
        {"FieldName", "数据库字段", 140}, {"F_Field", "Excel列标题", 180, false, 0, true}});
}

void insertImportMapping(RowWriter &w)
{
    const std::pair<const char *, const char *> columns[] = {
        {"CustCode", "用户编号"}, {"Company", "用户名称"}, {"airframe", "机身编码"},
        {"Type", "服务类型"}, {"model", "品牌"}, {"taishu", "数量"}, {"retail", "单价"},
        {"money", "总金额"}, {"Address", "通讯地址"}, {"Mobile", "手机号码"},
        {"Tel", "联系电话"}, {"largess", "赠品名称A"}, {"number", "赠品数量A"},
        {"largessb", "赠品名称B"}, {"numberB", "赠品数量B"}, {"gathering", "收款"},
        {"place", "购买地点"}, {"buydate", "购买日期"}, {"depart", "安装部"},
        {"installdate", "安装日期"}, {"batch", "安装单号"}, {"billcode", "发票号"},
        {"people", "安装员"}, {"memo", "备注信息"}};
    for (const auto &[field, caption] : columns)
        w.insert("T_Import", {{"tablename", "custom"}, {"S_Field", field}, {"FieldName", caption},
                              {"F_Field", " "}});
}

void insertClearingActions(RowWriter &w)
{
    // Records that refer to others go first.
    const std::pair<const char *, const char *> actions[] = {
        {"清除投诉记录", "delete from T_Bill"},
        {"清除维修记录", "delete from T_Schedule"},
        {"清除回访记录", "delete from contact"},
        {"清除安装单商品明细", "delete from T_BillDetail"},
        {"清除用户资料", "delete from custom"},
        {"清除商品资料", "delete from T_Goods"},
        {"清除商品分类", "delete from Goods_Category"},
    };
    for (const auto &[action, sql] : actions)
        w.insert("Dict_ClearData", {{"Action", action}, {"SQL", sql}, {"F_Flag", true}});
}

void insertList(RowWriter &w, const char *table, std::initializer_list<const char *> entries)
{
    for (const char *entry : entries)
        w.insert(table, {{"name", entry}});
}

void insertReferenceLists(RowWriter &w)
{
    insertList(w, "Dict_leibie", {"安装", "维修", "移机", "保养", "清洗"});
    insertList(w, "Dict_modle", {"格力", "美的", "海尔", "海信", "奥克斯", "志高", "大金",
                                 "三菱电机", "松下", "长虹", "TCL", "格兰仕"});
    insertList(w, "Dict_custfrom", {"遥控器", "空调罩", "铜管", "支架", "插座"});
    insertList(w, "Dict_custType", {"安装一部", "安装二部"});
    insertList(w, "Dict_place", {"本店", "商场专柜", "网上商城"});
    insertList(w, "Dict_tslevel", {"一般", "较重", "严重", "紧急"});
    insertList(w, "Dict_yuanyin", {"缺氟", "电脑板故障", "压缩机故障", "风机故障", "电源故障",
                                   "遥控器故障", "安装不当", "管路漏水", "传感器故障"});
    insertList(w, "Dict_lx", {"上门维修", "移机", "加氟", "清洗保养", "更换配件"});
    for (const char *unit : {"台", "套", "个", "米", "根", "件", "箱"})
        w.insert("T_Other", {{"cataid", "Units"}, {"name", unit}});
}

} // namespace

bool ExpectedRows::insert(QSqlDatabase &db, QString *error)
{
    RowWriter w(db);
    insertRoles(w);
    insertAdministrator(w);
    insertGridConfigurations(w);
    insertImportMapping(w);
    insertClearingActions(w);
    insertReferenceLists(w);
    w.insert("T_SoftInfo", {{"SoftName", "售后服务管理系统"}, {"Version", " V1.0"}, {"autocoding", 0}});
    w.insert("info", {{"Company", ""}, {"Regname", ""}, {"Address", ""}, {"fax", ""}, {"tel", ""},
                      {"Postcode", ""}, {"Version", "1.0"}, {"name", ""}});
    if (error)
        *error = w.error();
    return w.error().isEmpty();
}
