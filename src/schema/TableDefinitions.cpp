#include "TableDefinitions.h"

const char *const RowVersionColumn = "RowVersion";

namespace {
using T = SqlDialect::ColumnType;

ColumnDefinition autoNumber(const char *name) { return {name, T::AutoNumber}; }
ColumnDefinition text(const char *name, int size, const char *caption = nullptr) { return {name, T::Text, size, nullptr, caption}; }
ColumnDefinition memo(const char *name, const char *caption = nullptr) { return {name, T::Memo, 0, nullptr, caption}; }
ColumnDefinition integer(const char *name, const char *caption = nullptr) { return {name, T::Integer, 0, nullptr, caption}; }
ColumnDefinition real(const char *name, const char *caption = nullptr) { return {name, T::Float, 0, nullptr, caption}; }
ColumnDefinition money(const char *name, const char *caption = nullptr) { return {name, T::Money, 0, nullptr, caption}; }
ColumnDefinition dateTime(const char *name, const char *caption = nullptr) { return {name, T::DateTime, 0, nullptr, caption}; }
ColumnDefinition boolean(const char *name, const char *def = nullptr) { return {name, T::Boolean, 0, def}; }
ColumnDefinition rowVersion() { return {RowVersionColumn, T::Integer, 0, "0"}; }

TableDefinition referenceList(const char *name)
{
    return {name, {autoNumber("id"), text("name", 50, "名称")}};
}
} // namespace

const std::vector<TableDefinition> &tableDefinitions()
{
    // Columns that receive entries of the reference lists or values copied from another
    // table are at least as wide as their sources.
    static const std::vector<TableDefinition> tables = {
        {"admin",
         {autoNumber("UserID"), text("UserName", 50, "用户名"), text("Password", 128, "密码"),
          text("PartName", 50, "角色"), text("Remark", 200, "描述"), integer("Permit"), boolean("IsUser", "TRUE")}},
        {"T_Part", {{"PartID", T::Integer}, text("PartName", 50, "角色"), text("Remark", 200, "描述")}},
        {"T_PartAuthority",
         {autoNumber("PartAuthorityID"), text("PartName", 50), text("Code", 20),
          text("FunctionName", 50), boolean("Authority"), integer("Tag")}},
        {"T_UserAuthority",
         {autoNumber("UserAuthorityID"), text("UserName", 50), text("FunctionName", 50),
          boolean("Authority"), integer("Tag"), text("Code", 20)}},
        {"custom",
         {autoNumber("CustID"), text("CustCode", 50, "用户编号"), text("Company", 200, "用户名称"),
          text("airframe", 50, "机身编码"), text("Type", 200, "机型"), text("model", 50, "品牌"),
          text("taishu", 50, "数量"), real("retail", "单价"), real("money", "总金额"),
          text("Address", 160, "通讯地址"), text("largess", 50, "赠品名称A"), text("Mobile", 20, "手机号码"),
          text("Tel", 20, "联系电话"), integer("number", "赠品数量A"), text("largessb", 50, "赠品名称B"),
          integer("numberB", "赠品数量B"), real("gathering", "收款"), text("place", 50, "购买地点"),
          dateTime("buydate", "购买日期"), text("depart", 50, "安装部"), dateTime("installdate", "安装日期"),
          text("batch", 50, "安装单号"), text("billcode", 50, "发票号"), text("people", 50, "安装员"),
          memo("memo", "备注信息"), boolean("isgathering", "FALSE"), boolean("isuseing", "FALSE"),
          text("f_user", 50, "制单人"), text("pinyin", 200, "拼音码"), rowVersion()}},
        {"contact",
         {autoNumber("ContactID"), text("CustCode", 50, "用户编号"), text("Company", 200, "用户名称"),
          text("Name", 50, "回访人"), dateTime("Birthday", "回访日期"), memo("memo1", "回访处理"),
          memo("memo2", "回访内容"), text("f_user", 50, "操作员"), rowVersion()}},
        {"T_Schedule",
         {autoNumber("ScheduleID"), text("CustCode", 50, "用户编号"), text("Subject", 50, "维修性质"),
          text("Type", 50, "品牌"), text("Company", 200, "用户名称"), text("Contact", 50, "服务方式"),
          text("StartDate", 50, "报修日期"), memo("Memo", "服务内容"), text("F_User", 50, "操作员"),
          boolean("Awoke", "FALSE"), dateTime("AwokeDate", "提醒日期"), text("code", 50, "机身编码"),
          text("reason", 50, "故障原因"), dateTime("repairdate", "报修日期"), dateTime("finishdate", "修复日期"),
          text("engineer", 50, "维修人员"), text("number", 50, "服务项目"), text("price", 50, "机型"),
          text("money", 50, "接单员"), real("fee", "服务费用"), text("depart", 50, "服务类型"),
          text("danhao", 50, "维修单号"), memo("jieguo", "结果"), text("tel", 50, "电话"),
          text("address", 160, "地址"), text("zt", 50, "完成状态"), rowVersion()}},
        {"T_Bill",
         {autoNumber("lD"), dateTime("BillDate", "投诉时间"), text("CustCode", 50, "用户编号"),
          text("CustName", 200, "用户名称"), text("F_User", 50, "操作员"), text("memo", 200, "投诉原因"),
          text("level", 50, "级别"), text("people", 50, "接受人"), memo("memo1", "投诉处理结果"),
          memo("memo2", "备注"), rowVersion()}},
        {"T_BillDetail",
         {autoNumber("BillDetailID"), text("batch", 50, "安装单号"), text("GoodsCode", 50, "编码"),
          text("GoodsName", 50, "型号"), text("Units", 50, "计量单位"), real("Number", "数量"),
          real("SalePrice", "单价"), real("Discount", "折扣"), money("SaleMoney", "金额"),
          text("GoodsUnit", 50, "规格"), memo("Memo", "备注"), rowVersion()}},
        {"T_Goods",
         {autoNumber("GoodsID"), text("GoodsCode", 50, "编码"), text("GoodsName", 50, "型号"),
          text("Category", 20, "型号类别"), text("GoodsUnit", 50, "商品规格"), text("Units", 50, "计量单位"),
          real("InPrice", "采购价"), real("CostPrice", "成本价"), real("SalePrice", "销售定价"),
          memo("Memo", "备注信息"), rowVersion()}},
        {"Goods_Category", {autoNumber("CategoryID"), text("code", 20, "编码"), text("name", 50, "名称")}},
        referenceList("Dict_leibie"),
        referenceList("Dict_modle"),
        referenceList("Dict_custfrom"),
        referenceList("Dict_custType"),
        referenceList("Dict_people"),
        referenceList("Dict_CustLevel"),
        referenceList("Dict_place"),
        referenceList("Dict_tslevel"),
        referenceList("Dict_yuanyin"),
        referenceList("Dict_lx"),
        // The entry text is read by position: it must stay the second column.
        {"T_Other", {text("cataid", 50), text("name", 50), autoNumber("OtherID")}},
        {"T_FieldShow",
         {autoNumber("FieldShowID"), text("TableName", 50), text("Field", 50), text("Name", 50, "列名"),
          integer("Width"), integer("ShowID"), integer("Show"), integer("SumField"),
          integer("ShowButton"), integer("DotSize")}},
        {"T_SoftInfo", {text("SoftName", 50, "程序名称"), text("Version", 20, "版本"), integer("autocoding"),
                        autoNumber("SoftInfoID")}},
        {"info",
         {autoNumber("id"), text("Company", 50, "公司名称"), text("Regname", 20, "注册名称"),
          text("Address", 50, "地址"), text("fax", 50, "传真"), text("tel", 50, "电话"),
          text("Postcode", 50, "邮政编码"), text("Version", 10, "版本"), text("name", 50, "联系人")}},
        {"T_Import",
         {autoNumber("ImportID"), text("tablename", 50), text("S_Field", 30),
          text("FieldName", 50), text("F_Field", 50)}},
        {"Dict_ClearData",
         {autoNumber("ClearDataID"), text("Action", 50), memo("SQL"), boolean("F_Flag", "TRUE")}},
        // One row: the version of this schema, for upgrades by later programs.
        {"T_SchemaVersion", {integer("Version")}},
    };
    return tables;
}

const std::vector<IndexDefinition> &indexDefinitions()
{
    static const std::vector<IndexDefinition> indexes = {
        {"ix_custom_custcode", "custom", "CustCode", true},
        {"ix_custom_f_user", "custom", "f_user"},
        // Two workstations must never hand out the same installation order number.
        {"ix_custom_batch", "custom", "batch", true, "batch LIKE 'AZ-%'"},
        // The numbers of one day ("AZ-yyyy-MM-dd-"), whatever the server's collation.
        {"ix_custom_batch_day", "custom", "substr(batch, 1, 14)"},
        // The usual sorts of the customer list, and the duplicate-name check.
        {"ix_custom_code_order", "custom", "CustCode, CustID"},
        {"ix_custom_company", "custom", "Company, CustID"},
        {"ix_custom_model", "custom", "model, CustID"},
        {"ix_custom_buydate", "custom", "buydate, CustID"},
        {"ix_custom_installdate", "custom", "installdate, CustID"},
        {"ix_custom_money", "custom", "money, CustID"},
        // The list opens in key order with its footer's totals (总金额, 收款): all read from this
        // small index instead of the whole table.
        {"ix_custom_key_totals", "custom", "CustID, money, gathering"},
        {"ix_contact_custcode", "contact", "CustCode"},
        {"ix_schedule_custcode", "T_Schedule", "CustCode"},
        // Two workstations must never hand out the same repair order number.
        {"ix_schedule_danhao", "T_Schedule", "danhao", true, "danhao LIKE 'WX-%'"},
        {"ix_schedule_danhao_day", "T_Schedule", "substr(danhao, 1, 14)"},
        {"ix_bill_custcode", "T_Bill", "CustCode"},
        {"ix_billdetail_batch", "T_BillDetail", "batch"},
        {"ix_userauthority_username", "T_UserAuthority", "UserName"},
        // Operator names are unique without regard to case, also when two workstations add
        // the same name at once.
        {"ix_admin_username", "admin", "lower(UserName)", true},
        {"ix_fieldshow_tablename", "T_FieldShow", "TableName"},
    };
    return indexes;
}

const ColumnDefinition *findColumn(const QString &table, const QString &column)
{
    for (const auto &definition : tableDefinitions()) {
        if (table.compare(QLatin1String(definition.name), Qt::CaseInsensitive) != 0)
            continue;
        for (const auto &c : definition.columns) {
            if (column.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0)
                return &c;
        }
        return nullptr;
    }
    return nullptr;
}

QString columnCaption(const QString &table, const QString &column)
{
    const ColumnDefinition *definition = findColumn(table, column);
    return definition && definition->caption ? QString::fromUtf8(definition->caption) : column;
}
