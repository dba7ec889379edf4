#include "TableDefinitions.h"

namespace {
using T = SqlDialect::ColumnType;

ColumnDefinition autoNumber(const char *name) { return {name, T::AutoNumber}; }
ColumnDefinition text(const char *name, int size) { return {name, T::Text, size}; }
ColumnDefinition memo(const char *name) { return {name, T::Memo}; }
ColumnDefinition integer(const char *name) { return {name, T::Integer}; }
ColumnDefinition real(const char *name) { return {name, T::Float}; }
ColumnDefinition money(const char *name) { return {name, T::Money}; }
ColumnDefinition dateTime(const char *name) { return {name, T::DateTime}; }
ColumnDefinition boolean(const char *name, const char *def = nullptr) { return {name, T::Boolean, 0, def}; }

TableDefinition referenceList(const char *name)
{
    return {name, {autoNumber("id"), text("name", 50)}};
}
} // namespace

const std::vector<TableDefinition> &tableDefinitions()
{
    static const std::vector<TableDefinition> tables = {
        {"admin",
         {autoNumber("UserID"), text("UserName", 50), text("Password", 128), text("PartName", 50),
          text("Remark", 200), integer("Permit"), boolean("IsUser", "TRUE")}},
        {"T_Part", {{"PartID", T::Integer}, text("PartName", 50), text("Remark", 200)}},
        {"T_PartAuthority",
         {autoNumber("PartAuthorityID"), text("PartName", 50), text("Code", 20),
          text("FunctionName", 50), boolean("Authority"), integer("Tag")}},
        {"T_UserAuthority",
         {autoNumber("UserAuthorityID"), text("UserName", 50), text("FunctionName", 50),
          boolean("Authority"), integer("Tag"), text("Code", 20)}},
        {"custom",
         {autoNumber("CustID"), text("CustCode", 50), text("Company", 200), text("airframe", 50),
          text("Type", 20), text("model", 50), text("taishu", 50), real("retail"), real("money"),
          text("Address", 160), text("largess", 6), text("Mobile", 20), text("Tel", 20),
          integer("number"), text("largessb", 50), integer("numberB"), real("gathering"),
          text("place", 50), dateTime("buydate"), text("depart", 50), dateTime("installdate"),
          text("batch", 50), text("billcode", 50), text("people", 50), memo("memo"),
          boolean("isgathering", "FALSE"), boolean("isuseing", "FALSE"), text("f_user", 50),
          text("pinyin", 50)}},
        {"contact",
         {autoNumber("ContactID"), text("CustCode", 50), text("Company", 200), text("Name", 50),
          dateTime("Birthday"), memo("memo1"), memo("memo2"), text("f_user", 50)}},
        // Company, tel and address are copied from the customer: as wide as their sources.
        {"T_Schedule",
         {autoNumber("ScheduleID"), text("CustCode", 50), text("Subject", 50), text("Type", 50),
          text("Company", 200), text("Contact", 50), text("StartDate", 50), memo("Memo"),
          text("F_User", 50), boolean("Awoke", "FALSE"), dateTime("AwokeDate"), text("code", 50),
          text("reason", 50), dateTime("repairdate"), dateTime("finishdate"),
          text("engineer", 50), text("number", 50), text("price", 50), text("money", 50),
          real("fee"), text("depart", 50), text("danhao", 50), memo("jieguo"), text("tel", 50),
          text("address", 160), text("zt", 50)}},
        {"T_Bill",
         {autoNumber("lD"), dateTime("BillDate"), text("CustCode", 50), text("CustName", 200),
          text("F_User", 50), text("memo", 200), text("level", 50), text("people", 50),
          memo("memo1"), memo("memo2")}},
        {"T_BillDetail",
         {autoNumber("BillDetailID"), text("batch", 50), text("GoodsCode", 50),
          text("GoodsName", 50), text("Units", 30), real("Number"), real("SalePrice"),
          real("Discount"), money("SaleMoney"), text("GoodsUnit", 50), memo("Memo")}},
        {"T_Goods",
         {autoNumber("GoodsID"), text("GoodsCode", 50), text("GoodsName", 50), text("Category", 20),
          text("GoodsUnit", 50), text("Units", 30), real("InPrice"), real("CostPrice"),
          real("SalePrice"), memo("Memo")}},
        {"Goods_Category", {autoNumber("CategoryID"), text("code", 20), text("name", 50)}},
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
         {autoNumber("FieldShowID"), text("TableName", 50), text("Field", 50), text("Name", 50),
          integer("Width"), integer("ShowID"), integer("Show"), integer("SumField"),
          integer("ShowButton"), integer("DotSize")}},
        {"T_SoftInfo", {text("SoftName", 50), text("Version", 20), integer("autocoding"),
                        autoNumber("SoftInfoID")}},
        {"info",
         {autoNumber("id"), text("Company", 50), text("Regname", 20), text("Address", 50),
          text("fax", 50), text("tel", 50), text("Postcode", 50), text("Version", 10),
          text("name", 50)}},
        {"T_Import",
         {autoNumber("ImportID"), text("tablename", 50), text("S_Field", 30),
          text("FieldName", 50), text("F_Field", 50)}},
        {"Dict_ClearData",
         {autoNumber("ClearDataID"), text("Action", 50), memo("SQL"), boolean("F_Flag", "TRUE")}},
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
        {"ix_contact_custcode", "contact", "CustCode"},
        {"ix_schedule_custcode", "T_Schedule", "CustCode"},
        // Two workstations must never hand out the same repair order number.
        {"ix_schedule_danhao", "T_Schedule", "danhao", true, "danhao LIKE 'WX-%'"},
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
