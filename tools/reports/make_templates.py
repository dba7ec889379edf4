#!/usr/bin/env python3
"""Writes the report templates delivered in resources/Reports/ from the layouts below.

The templates are the dealer's to redesign (the program's designer saves them back), so
the generated files are committed and the build does not run this script. Python standard
library only:

    python3 tools/reports/make_templates.py [--out resources/Reports]
"""

import argparse
import os
from xml.sax.saxutils import escape, quoteattr

SONG = '宋体'
SERVICE_TEL = '0731-84561234'
COMPLAINT_TEL = '0731-84561235'
ALL = 'left top right bottom'


def num(value):
    text = ('%.4f' % value).rstrip('0').rstrip('.')
    return text or '0'


def text(name, left, top, width, height, content='', frame=ALL, font=SONG, size=13, bold=False,
         align=None, valign='center'):
    attrs = [('name', name), ('left', num(left)), ('top', num(top)), ('width', num(width)),
             ('height', num(height)), ('font', font), ('size', str(size))]
    if bold:
        attrs.append(('bold', 'true'))
    if align:
        attrs.append(('align', align))
    if valign:
        attrs.append(('valign', valign))
    if frame:
        attrs.append(('frame', frame))
    return ('text', attrs, content)


def line(name, x1, y1, x2, y2):
    return ('line', [('name', name), ('left', num(x1)), ('top', num(y1)), ('width', num(x2 - x1)),
                     ('height', num(y2 - y1))], '')


def band(kind, name, height, items, dataset=None):
    return (kind, name, height, dataset, items)


def write(path, title, page, bands):
    width, height, orientation = page
    out = ['<?xml version="1.0" encoding="UTF-8"?>',
           '<report version="1" title=%s>' % quoteattr(title),
           '  <page width="%s" height="%s" orientation="%s" left="10" top="10" right="10" bottom="10"/>'
           % (num(width), num(height), orientation)]
    for kind, name, band_height, dataset, items in bands:
        attrs = 'type="%s" name="%s" height="%s"' % (kind, name, num(band_height))
        if dataset:
            attrs += ' dataset="%s"' % dataset
        if not items:
            out.append('  <band %s/>' % attrs)
            continue
        out.append('  <band %s>' % attrs)
        for element, item_attrs, content in items:
            rendered = ' '.join('%s=%s' % (key, quoteattr(value)) for key, value in item_attrs)
            if content:
                out.append('    <%s %s>%s</%s>' % (element, rendered, escape(content, {'"': '&quot;'}), element))
            else:
                out.append('    <%s %s/>' % (element, rendered))
        out.append('  </band>')
    out.append('</report>')
    with open(path, 'w', encoding='utf-8') as f:
        f.write('\n'.join(out) + '\n')


class Namer:
    def __init__(self):
        self.count = 0

    def __call__(self):
        self.count += 1
        return 'Memo%d' % self.count


def dispatch_order(repair):
    """The installation or the repair dispatch order: one 190 x 97 form per customer."""
    m = Namer()
    cells = [
        text(m(), 65.2, 1, 55.0, 8, '', frame='', size=15, bold=True, align='center'),
    ]
    row11 = [(4, '安装部门:[S."depart"]' if repair else '安装人员:[S."people"]'), (44, ''), (81, '日期:[Date]')]
    cells += [text(m(), left, 11, 35, 5, content, frame='', font='Arial') for left, content in row11]
    # A repair order number needs about 41 mm: its box takes in the empty one before it and
    # ends at the band's edge, so the number prints whole where "单号:" stood.
    cells.append(text(m(), 118, 11, 72, 5, '单号:[W."danhao"]', frame='', font='Arial', align='right'))
    cells += [
        text(m(), 3.9, 17, 45.1, 5, '用户名称[S."Company"]'),
        text(m(), 49.0, 17, 17.0, 5, '联系电话', frame='top bottom', align='center'),
        text(m(), 66.0, 17, 33.0, 5, '[S."Tel"]', frame='top right bottom'),
        text(m(), 98.9, 17, 18.3, 5, '报修时间', frame='left top bottom', align='center'),
        text(m(), 117.2, 17, 72.9, 5, '[W."repairdate"]', frame='top right bottom'),
        text(m(), 4.1, 22, 94.9, 5, '用户地址[S."Address"]'),
        text(m(), 99.0, 22, 45.0, 5, '机身编码[S."airframe"]'),
        text(m(), 144.0, 22, 46.0, 5, '票据号[S."billcode"]'),
        text(m(), 4.0, 27, 69.1, 5, '购买地点[S."place"]'),
        text(m(), 73.0, 27, 63.1, 5, '购买日期[S."buydate"]'),
        text(m(), 136.0, 27, 54.1, 5, '商品型号[S."model"]'),
        text(m(), 4.0, 32, 69.1, 5, '维修性质:保修期内 保修期外'),
        text(m(), 73.0, 32, 48.1, 5, '服务方式:上门服务 在点维修'),
    ]
    if repair:
        cells.append(text(m(), 121.0, 32, 69.1, 5, ''))
    cells += [
        text(m(), 4.0, 37, 69.1, 5, '维修路程判断: 公里以内'),
        text(m(), 73.0, 37, 48.1, 5, ''),
        text(m(), 121.0, 37, 69.1, 5, '维修方式: ' if repair else '安装方式: '),
        text(m(), 4.0, 42, 117.1, 5, '维修记录: ' if repair else '安装记录: '),
        text(m(), 121.0, 42, 69.1, 5, '维修日期: [W."repairdate"]' if repair else '安装日期: [S."installdate"]'),
    ]
    heads = ['' if repair else '材料名称', '单位', '数量', '金额']
    cells += [text(m(), left, 47, 24.1, 5, head, align='center') for left, head in zip((4, 28, 52, 76), heads)]
    cells += [
        text(m(), 100.0, 47, 41.1, 5, '有关费用结算', align='center'),
        text(m(), 141.0, 47, 8.1, 30, '备注', align='center'),
        text(m(), 149.0, 47, 41.1, 30, ''),
    ]
    for top in (52, 57, 62, 67):
        cells += [text(m(), left, top, 24.1, 5, '') for left in (4, 28, 52, 76)]
        cells.append(text(m(), 100, top, 17.1, 5, '合计费用' if top == 67 else '', align='center'))
        cells.append(text(m(), 117, top, 24.1, 5, ''))
    cells += [
        text(m(), 4.0, 72, 137.1, 5, ''),
        text(m(), 4.0, 77, 186.1, 5, '用户意见'),
        text(m(), 4.0, 82, 186.1, 5, ''),
        text(m(), 4.0, 87, 66.1, 5, ''),
        text(m(), 70.0, 87, 120.1, 5, '维修人员签名:' if repair else '安装人员签名:'),
        text(m(), 4.0, 92, 66.1, 5, '服务咨询电话:' + SERVICE_TEL),
        text(m(), 70.0, 92, 120.1, 5, '投诉电话:' + COMPLAINT_TEL),
    ]
    return [band('MasterData', 'MasterData1', 97, cells, 'S')]


def labels():
    m = Namer()
    header = [text(m(), 79.0, 0, 32.0, 8, '标签信封打印', frame='', size=16, bold=True, align='center')]
    data = [
        line('Line1', 2, 2, 92, 2), line('Line2', 92, 2, 92, 51), line('Line3', 2, 51, 92, 51),
        line('Line4', 2, 2, 2, 51),
        text(m(), 3.0, 9.0, 87, 9, '[S."Company"]', frame=''),
        text(m(), 2.0, 27.0, 87, 10, '[S."Address"]', frame=''),
    ]
    footer = [
        text(m(), 107.0, 3.0, 38, 5, '打印日期:[Date]', frame=''),
        text(m(), 146.0, 3.0, 43, 5, '', frame=''),
    ]
    return [band('PageHeader', 'PageHeader1', 8, header), band('MasterData', 'MasterData1', 53, data, 'S'),
            band('PageFooter', 'PageFooter1', 12, footer)]


def basic_list():
    m = Namer()
    title = [text(m(), 120.6, 3, 35.8, 7, '', frame='bottom', size=20, bold=True, align='center')]
    heads = [(0, 55.9, '用户名称'), (55.9, 38.4, '固定电话'), (94.3, 81.0, '地址'), (175.5, 33.3, ''),
             (208.8, 33.0, '型号'), (241.7, 33.0, '备注信息')]
    header = [text(m(), left, 4, width, 5, head, frame='', bold=True, align='center') for left, width, head in heads]
    fields = [(0, 56.0, 'Company'), (56.0, 38.3, 'Tel'), (94.1, 81.3, 'Address'), (175.5, 33.2, 'batch'),
              (208.8, 32.9, 'model'), (241.7, 33.0, 'memo')]
    data = [text(m(), left, 0, width, 5, '[S."%s"]' % field, align='center') for left, width, field in fields]
    footer = [
        text(m(), 1.0, 0, 61, 5, '打印日期[Date]  [Time]', frame=''),
        text(m(), 208.0, 0, 66, 5, '', frame=''),
    ]
    return [band('ReportTitle', 'ReportTitle1', 14, title), band('ColumnHeader', 'ColumnHeader1', 9, header),
            band('MasterData', 'MasterData1', 5, data, 'S'), band('Child', 'Child1', 6, []),
            band('PageFooter', 'PageFooter1', 6, footer)]


def customer_bill():
    """A customer's sale on one line; loaded at start-up, printed by no command."""
    m = Namer()
    heads = [(0, 40, '用户名称'), (40, 30, '联系电话'), (70, 40, '商品型号'), (110, 25, '购买日期'),
             (135, 25, '金额'), (160, 30, '安装单号')]
    header = [text(m(), left, 0, width, 6, head, bold=True, align='center') for left, width, head in heads]
    fields = ['Company', 'Tel', 'model', 'buydate', 'money', 'batch']
    data = [text(m(), left, 0, width, 6, '[S."%s"]' % field, align='center')
            for (left, width, _), field in zip(heads, fields)]
    return [band('ColumnHeader', 'ColumnHeader1', 6, header), band('MasterData', 'MasterData1', 6, data, 'S')]


def envelope():
    """A DL envelope per customer; loaded at start-up, printed by no command."""
    m = Namer()
    data = [
        text(m(), 20, 20, 150, 10, '[S."Address"]', frame='', size=16),
        text(m(), 40, 45, 120, 14, '[S."Company"] 收', frame='', size=24, bold=True),
        text(m(), 20, 70, 150, 8, '[S."Mobile"] [S."Tel"]', frame='', size=13),
    ]
    return [band('MasterData', 'MasterData1', 90, data, 'S')]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--out', default=os.path.join(here, '..', '..', 'resources', 'Reports'))
    out = parser.parse_args().out
    os.makedirs(out, exist_ok=True)
    portrait = (210, 297, 'portrait')
    templates = [
        ('frx_bill1.xml', '安装派工单', portrait, dispatch_order(repair=False)),
        ('frx_bill2.xml', '维修派工单', portrait, dispatch_order(repair=True)),
        ('frx_label.xml', '用户信封标签', portrait, labels()),
        ('frx_user.xml', '客户基础资料', (297, 210, 'landscape'), basic_list()),
        ('frx_bill.xml', '客户销售单', portrait, customer_bill()),
        ('frx_envelop.xml', '信封', (220, 110, 'landscape'), envelope()),
    ]
    for name, title, page, bands in templates:
        write(os.path.join(out, name), title, page, bands)


if __name__ == '__main__':
    main()
