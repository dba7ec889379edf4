#!/usr/bin/python3
"""Makes the workbooks that the import and export tests read, with other programs' writers.

Run once with Debian's Python after
    apt-get install python3-openpyxl python3-xlwt python3-odf
from this folder; the files it writes are committed and the tests do not need these packages.
"""
import datetime
import os

import openpyxl
import xlwt
from odf.number import NumberStyle, Number, DateStyle, Year, Month, Day, Text as NumberText
from odf.opendocument import OpenDocumentSpreadsheet
from odf.style import Style
from odf.table import Table, TableRow, TableCell
from odf.text import P

HERE = os.path.dirname(os.path.abspath(__file__))


def path(name):
    return os.path.join(HERE, name)


# The first ten captions of the delivered mapping, in its order: the positional pre-fill
# pairs them with the customer columns one by one.
MAPPING_ORDER = ["用户编号", "用户名称", "机身编码", "服务类型", "品牌", "数量", "单价", "总金额", "通讯地址", "手机号码"]
NAMES = ["张三", "李四", "王五", "赵六", "钱七", "孙八", "周九", "吴十", "郑明", "冯刚"]


def hundred_rows():
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "用户"
    ws.append(MAPPING_ORDER)
    for i in range(1, 101):
        # The fifth data row repeats the first row's code.
        code = "IMP001" if i == 5 else "IMP%03d" % i
        ws.append([code, NAMES[i % 10] + "电器", "SN%05d" % i, "安装", "格力", 1, 2980 + i / 4, 2980 + i,
                   "长沙市五一路%d号" % i, 13800000000 + i])
        ws.cell(row=i + 1, column=7).number_format = "0.00"
    wb.save(path("import_100.xlsx"))


def header_only():
    wb = openpyxl.Workbook()
    wb.active.append(["用户编号", "用户名称", "手机号码"])
    wb.save(path("import_header_only.xlsx"))


def empty_sheet():
    wb = openpyxl.Workbook()
    wb.save(path("import_empty.xlsx"))


FORMAT_HEADERS = ["CustCode", "Company", "MOBILE", "buydate", "retail", "Tel", "billcode", "memo"]
FORMAT_ROWS = [
    ["F001", "格力空调专卖", 13800000001, datetime.datetime(2024, 1, 5), 1234.5, "0731-8888", 1234.5,
     datetime.datetime(2024, 1, 5, 13, 4, 5)],
    ["F002", "李四", 15912345678, datetime.datetime(2023, 12, 31), 99, 88886666, 0.125,
     datetime.datetime(2023, 12, 31, 8, 0, 0)],
]
# Number formats of the columns: dates as the sheet shows them, two decimals.
FORMATS = {3: "yyyy/m/d", 4: "0.00", 6: "0.00", 7: "yyyy-mm-dd hh:mm:ss"}


def formats_xlsx():
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.append(FORMAT_HEADERS)
    for row in FORMAT_ROWS:
        ws.append(row)
    for r in range(2, 2 + len(FORMAT_ROWS)):
        for c, code in FORMATS.items():
            ws.cell(row=r, column=c + 1).number_format = code
    # A second sheet that is not the active one.
    other = wb.create_sheet("其它")
    other.append(["不是这一页"])
    wb.active = 0
    wb.save(path("import_formats.xlsx"))


def second_sheet_active():
    wb = openpyxl.Workbook()
    wb.active.title = "旧名单"
    wb.active.append(["旧的一页"])
    current = wb.create_sheet("新名单")
    current.append(["用户编号", "用户名称"])
    current.append(["S001", "第二页的用户"])
    wb.active = 1
    wb.save(path("import_second_sheet_active.xlsx"))


def formats_xls():
    wb = xlwt.Workbook(encoding="utf-8")
    ws = wb.add_sheet("用户")
    styles = {c: xlwt.easyxf(num_format_str=code) for c, code in FORMATS.items()}
    for c, text in enumerate(FORMAT_HEADERS):
        ws.write(0, c, text)
    for r, row in enumerate(FORMAT_ROWS, start=1):
        for c, value in enumerate(row):
            if c in styles:
                ws.write(r, c, value, styles[c])
            else:
                ws.write(r, c, value)
    wb.save(path("import_formats.xls"))
    return path("import_formats.xls")


def formats_ods():
    doc = OpenDocumentSpreadsheet()
    two = NumberStyle(name="N2")
    two.addElement(Number(decimalplaces="2", minintegerdigits="1"))
    doc.automaticstyles.addElement(two)
    day = DateStyle(name="D1")
    day.addElement(Year(style="long"))
    day.addElement(NumberText(text="/"))
    day.addElement(Month())
    day.addElement(NumberText(text="/"))
    day.addElement(Day())
    doc.automaticstyles.addElement(day)
    cell_two = Style(name="ce1", family="table-cell", datastylename="N2")
    cell_day = Style(name="ce2", family="table-cell", datastylename="D1")
    doc.automaticstyles.addElement(cell_two)
    doc.automaticstyles.addElement(cell_day)
    table = Table(name="用户")

    def text(value):
        cell = TableCell(valuetype="string")
        cell.addElement(P(text=value))
        return cell

    def number(value, style=None):
        cell = TableCell(valuetype="float", value=str(value), **({"stylename": style} if style else {}))
        shown = ("%.2f" % value) if style is cell_two else ("%d" % value if value == int(value) else str(value))
        cell.addElement(P(text=shown))
        return cell

    def date(value):
        cell = TableCell(valuetype="date", datevalue=value.strftime("%Y-%m-%dT%H:%M:%S"), stylename=cell_day)
        cell.addElement(P(text="%d/%d/%d" % (value.year, value.month, value.day)))
        return cell

    header = TableRow()
    for name in FORMAT_HEADERS:
        header.addElement(text(name))
    table.addElement(header)
    for row in FORMAT_ROWS:
        tr = TableRow()
        tr.addElement(text(row[0]))
        tr.addElement(text(row[1]))
        tr.addElement(number(row[2]))
        tr.addElement(date(row[3]))
        tr.addElement(number(row[4], cell_two))
        tr.addElement(text(row[5]) if isinstance(row[5], str) else number(row[5]))
        tr.addElement(number(row[6], cell_two))
        moment = TableCell(valuetype="date", datevalue=row[7].strftime("%Y-%m-%dT%H:%M:%S"))
        moment.addElement(P(text=row[7].strftime("%Y-%m-%d %H:%M:%S")))
        tr.addElement(moment)
        table.addElement(tr)
    doc.spreadsheet.addElement(table)
    doc.save(path("import_formats.ods"))


def bad_rows():
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.append(["用户编号", "用户名称", "手机号码", "单价", "购买日期"])
    ws.append(["K001", "张三", 13800000001, 12.5, datetime.datetime(2024, 1, 5)])
    ws.append(["K002", "李四", "1234567890123456789012345", 1, None])      # phone longer than 20
    ws.append(["K003", "王五", 13900000002, "abc", None])                   # price not a number
    ws.append(["K001", "赵六", 13700000003, 3, None])                       # code already taken
    ws.append(["K004", "钱七", None, None, "2024-13-45"])                   # not a date
    ws.append([None, None, None, None, None])                              # a blank line
    ws.append(["K005", "孙八", 13600000004, 8, "2024年2月3日"])
    ws.cell(row=2, column=5).number_format = "yyyy-mm-dd"
    wb.save(path("import_bad_rows.xlsx"))


def duplicate_headers():
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.append(["用户编号", "用户名称", "用户名称"])
    ws.append(["D001", "第一列", "第二列"])
    wb.save(path("import_duplicate_headers.xlsx"))


CSV_ROWS = [["用户编号", "用户名称", "通讯地址"],
            ["007", "张三", "长沙市, 五一路1号"],
            ["C002", "李\"四\"", "岳阳市"]]


def csv_text():
    def line(row):
        cells = []
        for cell in row:
            if "," in cell or '"' in cell:
                cell = '"' + cell.replace('"', '""') + '"'
            cells.append(cell)
        return ",".join(cells)
    return "\r\n".join(line(row) for row in CSV_ROWS) + "\r\n"


def csv_files():
    with open(path("import_utf8bom.csv"), "wb") as f:
        f.write(b"\xef\xbb\xbf" + csv_text().encode("utf-8"))
    with open(path("import_gbk.csv"), "wb") as f:
        f.write(csv_text().encode("gbk"))


def broken_files(xls):
    with open(path("not_a_workbook.xlsx"), "wb") as f:
        f.write(b"This is a letter, not a workbook.\n")
    with open(path("import_formats.xlsx"), "rb") as f:
        whole = f.read()
    with open(path("damaged.xlsx"), "wb") as f:
        f.write(whole[: len(whole) // 2])
    with open(xls, "rb") as f:
        data = bytearray(f.read())
    # A workbook saved with a password is a compound file with an "EncryptedPackage" stream
    # in place of the workbook: rename the stream of an ordinary one.
    old = "Workbook".encode("utf-16-le")
    new = "EncryptedPackage".encode("utf-16-le")
    at = data.find(old)
    data[at:at + 64] = (new + b"\0\0").ljust(64, b"\0")
    data[at + 64:at + 66] = (len(new) + 2).to_bytes(2, "little")
    with open(path("encrypted.xlsx"), "wb") as f:
        f.write(bytes(data))


if __name__ == "__main__":
    hundred_rows()
    header_only()
    empty_sheet()
    formats_xlsx()
    second_sheet_active()
    xls = formats_xls()
    formats_ods()
    bad_rows()
    duplicate_headers()
    csv_files()
    broken_files(xls)
