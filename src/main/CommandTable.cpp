#include "CommandTable.h"

const std::vector<CommandDefinition> &commandDefinitions()
{
    static const std::vector<CommandDefinition> commands = {
        // 系统设置
        {"M_UserList", "用户权限管理", "", 26, "system-users"},
        {"N31", "修改我的登录密码", "", 0, "system-lock-screen"},
        {"M_ClearData", "数据初始化", "", 27, "edit-clear"},
        {"Sys_Relogin", "重新登录", "", 0, "view-refresh"},
        {"N5", "选项设置", "", 28, "preferences-system"},
        {"sss1", "从Excel导入用户数据", "", 0},
        {"M_Backup", "数据库备份、恢复", "", 30, "document-save"},
        {"Sys_Compact", "压缩和修复数据库", "", 31},
        {"M_CompactDB", "压缩和修复数据库", "", 0},
        {"N29", "客户基础资料打印设置", "", 0},
        {"N53", "客户信封标签打印设置", "", 0},
        {"N55", "安装派工单设置", "", 0},
        {"N46", "维修派工单设置", "", 0},
        {"N2", "退出程序", "Ctrl+Q", 0, "system-log-out"},
        // 数据操作
        {"AddCust", "添加&A", "Ctrl+A", 2, "contact-new"},
        {"EditCust", "编辑&E", "Ctrl+E", 3, "document-properties"},
        {"DelCust", "删除&D", "Ctrl+D", 4, "edit-delete"},
        {"AddContact", "添加&A", "", 8},
        {"EditContact", "编辑&E", "", 9},
        {"DelContact", "删除&D", "", 10},
        {"AddSchedule", "添加&A", "", 12},
        {"EditSchedule", "编辑&E", "", 13},
        {"DelSchedule", "删除&D", "", 14},
        {"AddBill", "添加&A", "", 17},
        {"EditBill", "编辑&E", "", 18},
        {"DelBill", "删除&D", "", 19},
        {"M_Other", "其它管理", "", 0},
        {"Sys_Company", "公司信息", "", 0},
        {"M_Company", "用户单位信息", "", 0},
        // 数据查询
        {"SearchCust", "组合查询", "", 5, "system-search"},
        {"weixiu", "维修单查询", "", 15, "edit-find"},
        // 报表打印
        {"P_CustBasic", "客户基础资料", "", 21, "document-print"},
        {"P_Label", "用户信封标签打印", "", 22, "document-print"},
        {"PrintBill", "安装派工单", "", 23, "document-print"},
        {"printwx", "维修单打印", "", 24, "document-print"},
        // 实用工具, 帮助文件
        {"N16", "计算器", "", 0, "accessories-calculator"},
        {"N17", "记事本", "", 0, "accessories-text-editor"},
        {"N12", "给作者写信", "", 0, "mail-message-new"},
        {"N11", "访问我们的网站", "", 0, "internet-web-browser"},
        {"HelpContents", "使用帮助", "F1", 0, "help-browser"},
        // Tool bar and other windows
        {"Cust_CustContact", "用户管理 ", "", 0, "x-office-address-book"},
        {"M_Goods", "商品管理", "", 0, "package-x-generic"},
        {"TB_Help", "网上Lumeo", "", 0, "internet-web-browser"},
        {"ExportCustCSV", "导出用户为Excel文件", "", 6},
        {"ShowField_Cust", "设置列显示", "", 0},
        {"AddGoods", "新增&A", "", 0, "list-add"},
        {"EditGoods", "编辑&E", "", 0, "document-properties"},
        {"DelGoods", "删除&D", "", 0, "edit-delete"},
        {"Goods_Category", "商品分类管理", "", 0, "folder"},
        {"M_Awoke", "到期提醒", "", 0, "x-office-calendar"},
    };
    return commands;
}

const std::vector<GatedMenu> &gatedMenus()
{
    static const std::vector<GatedMenu> menus = {{"sys_Import", 29}, {"report", 32}};
    return menus;
}
