#include "ReferenceLists.h"

#include "TFrm_Data.h"

#include <QApplication>
#include <QComboBox>
#include <QSignalBlocker>

namespace {

ReferenceLists::EditorOpener &editorOpener()
{
    static ReferenceLists::EditorOpener opener;
    return opener;
}

struct WaitCursor
{
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

const QVector<ReferenceLists::List> &ReferenceLists::all()
{
    // Captions and tables do not follow one another; the pairing is fixed.
    static const QVector<List> lists = {
        {QStringLiteral("服务类型"), QStringLiteral("Dict_leibie")},
        {QStringLiteral("品牌"), QStringLiteral("Dict_modle")},
        {QStringLiteral("赠品"), QStringLiteral("Dict_custfrom")},
        {QStringLiteral("安装部"), QStringLiteral("Dict_custType")},
        {QStringLiteral("安装员"), QStringLiteral("Dict_people")},
        {QStringLiteral("维修人员"), QStringLiteral("Dict_CustLevel")},
        {QStringLiteral("购买地点"), QStringLiteral("Dict_place")},
        {QStringLiteral("投诉级别"), QStringLiteral("Dict_tslevel")},
        {QStringLiteral("故障原因"), QStringLiteral("Dict_yuanyin")},
        {QStringLiteral("服务项目"), QStringLiteral("Dict_lx")},
    };
    return lists;
}

int ReferenceLists::page(const QString &table)
{
    const QString name = table.trimmed();
    for (int i = 0; i < all().size(); ++i) {
        if (all()[i].table.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool ReferenceLists::entries(TFrm_Data &data, const QString &table, QStringList *result, Entries which)
{
    const int index = page(table);
    if (index < 0)
        return false;
    // Only names from the fixed list reach the statement. Ordered by key so that both
    // engines give the entries in the order they were added.
    if (!data.RunQuery(data.Qry_Str, QStringLiteral("select name from %1 order by id").arg(all()[index].table)))
        return false;
    result->clear();
    for (int row = 0; row < data.Qry_Str->recordCount(); ++row) {
        const QString entry = data.Qry_Str->value(row, QStringLiteral("name")).toString().trimmed();
        if (which == Entries::All || !entry.isEmpty())
            *result << entry;
    }
    return true;
}

bool ReferenceLists::fillComboBox(TFrm_Data &data, QComboBox *combo, const QString &table, Entries which)
{
    QStringList items;
    {
        WaitCursor wait;
        if (!entries(data, table, &items, which))
            return false;
    }
    const QString text = combo->currentText();
    // Refilling is not a change of the operator's choice: no signals.
    const QSignalBlocker blocker(combo);
    combo->clear();
    combo->addItems(items);
    combo->setCurrentIndex(combo->findText(text));
    if (combo->isEditable())
        combo->setEditText(text);
    return true;
}

void ReferenceLists::setEditorOpener(EditorOpener opener)
{
    editorOpener() = std::move(opener);
}

void ReferenceLists::openEditor(QWidget *parent, const QString &table)
{
    if (editorOpener())
        editorOpener()(parent, table);
}
