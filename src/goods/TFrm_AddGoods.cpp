#include "TFrm_AddGoods.h"
#include "ui_TFrm_AddGoods.h"

#include "DataSet.h"
#include "DatabaseErrors.h"
#include "GoodsCatalogue.h"
#include "MessageBoxes.h"
#include "TFrm_Data.h"
#include "TFrm_Goods.h"
#include "TFrm_Tree.h"

#include <QAction>
#include <QLocale>
#include <QShowEvent>

QPointer<TFrm_AddGoods> Frm_AddGoods;

namespace {

const QString WarningCaption = QStringLiteral("警告");
const QString ReminderCaption = QStringLiteral("提醒");
const QString GoodsTable = QStringLiteral("T_Goods");

// Prices travel through their boxes as text without losing a digit; an empty box is no price.
QString priceText(const QVariant &price)
{
    return price.isNull() ? QString() : QLocale::c().toString(price.toDouble(), 'g', QLocale::FloatingPointShortest);
}

QVariant priceValue(const QString &text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok ? QVariant(value) : QVariant(QMetaType::fromType<double>());
}

} // namespace

TFrm_AddGoods::TFrm_AddGoods(TFrm_Data &data, Mode mode, QWidget *parent)
    : RecordEditor(data, mode, parent), m_ui(std::make_unique<Ui::TFrm_AddGoods>())
{
    m_ui->setupUi(this);
    Frm_AddGoods = this;
    m_ui->Combo_Units->lineEdit()->setMaxLength(50);
    QAction *chooser = m_ui->Edit_Category->addAction(QIcon::fromTheme(QStringLiteral("folder")), QLineEdit::TrailingPosition);
    chooser->setObjectName(QStringLiteral("Edit_CategoryButton"));
    chooser->setToolTip(QStringLiteral("选择型号类别"));
    connect(chooser, &QAction::triggered, this, &TFrm_AddGoods::chooseCategory);

    setUpForm(isAdding() ? nullptr : m_ui->DBNavigator1, data.Qry_Goods);
    m_ui->DBNavigator1->setEnabled(!isAdding());
    connect(m_ui->Btn_OK, &QPushButton::clicked, this, &TFrm_AddGoods::Btn_OKClick);
    connect(m_ui->Bit_Exit, &QPushButton::clicked, this, &QDialog::reject);
}

TFrm_AddGoods::~TFrm_AddGoods() = default;

void TFrm_AddGoods::AddGoods(TFrm_Data &data, QWidget *parent)
{
    TFrm_AddGoods editor(data, Mode::Add, parent);
    editor.exec();
}

void TFrm_AddGoods::EditGoods(TFrm_Data &data, QWidget *parent)
{
    if (data.Qry_Goods->isEmpty()) {
        MessageBoxes::box(QStringLiteral("没有可编辑的商品记录!"), ReminderCaption, QMessageBox::Information, QMessageBox::Ok);
        return;
    }
    runModal(Frm_AddGoods, data.Qry_Goods, data, Mode::Edit, parent);
}

void TFrm_AddGoods::DelGoods(TFrm_Data &data)
{
    DataSet *goods = data.Qry_Goods;
    if (!goods->isOpen())
        return;
    if (MessageBoxes::dialog(MessageBoxes::DialogType::Confirmation, QStringLiteral("您确定要删除这条商品记录吗？"),
                             QMessageBox::Yes | QMessageBox::No)
        != QMessageBox::Yes)
        return;
    const QString failedText = QStringLiteral("删除商品记录失败!");
    const int row = goods->currentRow();
    if (row < 0) {
        MessageBoxes::dialog(MessageBoxes::DialogType::Confirmation, failedText, QMessageBox::Yes | QMessageBox::No);
        return;
    }
    GoodsCatalogue catalogue(data);
    // Deleted elsewhere already: nothing is left to delete.
    if (catalogue.remove(goods->key(row)) == GoodsCatalogue::Outcome::Failed) {
        MessageBoxes::dialog(MessageBoxes::DialogType::Confirmation,
                             DatabaseErrors::withReason(failedText, catalogue.lastError()), QMessageBox::Yes | QMessageBox::No);
        return;
    }
    if (goods->reopen())
        goods->setCurrentRow(qMin(row, goods->recordCount() - 1));
}

void TFrm_AddGoods::showEvent(QShowEvent *event)
{
    RecordEditor::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TFrm_AddGoods::FormShow()
{
    if (m_data.RunQuery(m_data.Qry_Str, QStringLiteral("select name from T_Other where cataid = :units order by OtherID"),
                        {{QStringLiteral(":units"), QStringLiteral("Units")}})) {
        for (int row = 0; row < m_data.Qry_Str->recordCount(); ++row)
            m_ui->Combo_Units->addItem(m_data.Qry_Str->value(row, 0).toString());
    }
    setModeCaptions(m_ui->Btn_OK, QStringLiteral("添加商品"), QStringLiteral("编辑商品"));
    if (isAdding()) {
        ClearGoodsFields();
        // Adding from the goods picker starts without a category.
        GoodsCategoryCode = Frm_Goods ? Frm_Goods->currentGoodsCategory() : QString();
        m_ui->Edit_Category->setText(GoodsCatalogue(m_data).categoryName(GoodsCategoryCode));
        markClean();
    } else {
        LoadCurrentGoods();
    }
    m_ui->Edit_GoodsCode->setFocus();
}

void TFrm_AddGoods::ClearGoodsFields()
{
    for (QLineEdit *edit : {m_ui->Edit_GoodsCode, m_ui->Edit_GoodsName, m_ui->Edit_GoodsUnit})
        edit->clear();
    m_ui->Combo_Units->setEditText(QString());
    m_ui->Memo1->clear();
    for (QLineEdit *price : {m_ui->Edit_InPrice, m_ui->Edit_SalePrice, m_ui->Edit_CostPrice})
        price->setText(QStringLiteral("0"));
    markClean();
}

void TFrm_AddGoods::LoadCurrentGoods()
{
    const DataSet *goods = m_data.Qry_Goods;
    const auto text = [goods](const char *field) { return goods->value(QString::fromLatin1(field)).toString(); };
    GoodsCategoryCode = text("Category");
    m_ui->Edit_Category->setText(GoodsCatalogue(m_data).categoryName(GoodsCategoryCode));
    LoadedGoodsCode = text("GoodsCode");
    recordLoaded(goods);
    m_ui->Edit_GoodsCode->setText(LoadedGoodsCode);
    m_ui->Edit_GoodsName->setText(text("GoodsName"));
    m_ui->Edit_GoodsUnit->setText(text("GoodsUnit"));
    m_ui->Edit_InPrice->setText(priceText(goods->value(QStringLiteral("InPrice"))));
    m_ui->Edit_SalePrice->setText(priceText(goods->value(QStringLiteral("SalePrice"))));
    m_ui->Edit_CostPrice->setText(priceText(goods->value(QStringLiteral("CostPrice"))));
    m_ui->Combo_Units->setEditText(text("Units"));
    m_ui->Memo1->setPlainText(text("Memo"));
    markClean();
}

void TFrm_AddGoods::recordMoved()
{
    LoadCurrentGoods();
}

void TFrm_AddGoods::chooseCategory()
{
    QString code, name;
    if (!TFrm_Tree::pickGoodsCategory(m_data, this, &code, &name))
        return;
    GoodsCategoryCode = code;
    m_ui->Edit_Category->setText(name);
    m_ui->Edit_GoodsCode->setFocus();
}

void TFrm_AddGoods::warn(const QString &text, QLineEdit *focus)
{
    MessageBoxes::box(text, WarningCaption, QMessageBox::Information, QMessageBox::Ok);
    focus->setFocus();
}

GoodsCatalogue::Record TFrm_AddGoods::goodsRecord() const
{
    return {
        {QStringLiteral("Category"), GoodsCategoryCode},
        {QStringLiteral("GoodsCode"), m_ui->Edit_GoodsCode->text()},
        {QStringLiteral("GoodsName"), m_ui->Edit_GoodsName->text()},
        {QStringLiteral("GoodsUnit"), m_ui->Edit_GoodsUnit->text()},
        {QStringLiteral("InPrice"), priceValue(m_ui->Edit_InPrice->text())},
        {QStringLiteral("SalePrice"), priceValue(m_ui->Edit_SalePrice->text())},
        {QStringLiteral("CostPrice"), priceValue(m_ui->Edit_CostPrice->text())},
        {QStringLiteral("Units"), m_ui->Combo_Units->currentText()},
        {QStringLiteral("Memo"), m_ui->Memo1->toPlainText()},
    };
}

void TFrm_AddGoods::Btn_OKClick()
{
    // Only an empty code is refused; blanks are a code.
    if (m_ui->Edit_GoodsCode->text().isEmpty()) {
        warn(QStringLiteral("商品编码不能为空!"), m_ui->Edit_GoodsCode);
        return;
    }
    if (m_ui->Edit_GoodsName->text().isEmpty()) {
        warn(QStringLiteral("商品名称不能为空!"), m_ui->Edit_GoodsName);
        return;
    }
    if (isAdding())
        saveNew();
    else
        saveEdited();
}

bool TFrm_AddGoods::saveNew()
{
    const QString takenText = QStringLiteral("商品编码有重复，请您换一个产品编码!");
    const GoodsCatalogue::Record record = goodsRecord();
    if (!fitsColumns(GoodsTable, record))
        return false;
    GoodsCatalogue catalogue(m_data);
    if (catalogue.codeTaken(m_ui->Edit_GoodsCode->text())) {
        warn(takenText, m_ui->Edit_GoodsCode);
        return false;
    }
    QVariant key;
    switch (catalogue.insert(record, &key)) {
    case GoodsCatalogue::Outcome::Written:
        break;
    case GoodsCatalogue::Outcome::CodeTaken:
        warn(takenText, m_ui->Edit_GoodsCode);
        return false;
    default:
        m_data.reportError(QStringLiteral("保存数据失败!"), catalogue.lastError(), ReminderCaption);
        return false;
    }
    DataSet *goods = m_data.Qry_Goods;
    if (goods->isOpen() && goods->refreshRecord(key))
        goods->locateKey(key);
    // Ready for the next goods, in the same category.
    ClearGoodsFields();
    m_ui->Edit_GoodsCode->setFocus();
    return true;
}

bool TFrm_AddGoods::saveEdited()
{
    const QString takenText = QStringLiteral("货品编码有重复，请您换一个货品编码!");
    const GoodsCatalogue::Record record = goodsRecord();
    if (!fitsColumns(GoodsTable, record))
        return false;
    GoodsCatalogue catalogue(m_data);
    const QString code = m_ui->Edit_GoodsCode->text();
    if (code != LoadedGoodsCode && catalogue.codeTaken(code, loadedKey())) {
        warn(takenText, m_ui->Edit_GoodsCode);
        return false;
    }
    const GoodsCatalogue::Outcome outcome = catalogue.update(loadedKey(), loadedVersion(), record);
    switch (outcome) {
    case GoodsCatalogue::Outcome::CodeTaken:
        warn(takenText, m_ui->Edit_GoodsCode);
        return false;
    case GoodsCatalogue::Outcome::ChangedElsewhere:
        MessageBoxes::box(changedElsewhereText(), ReminderCaption, QMessageBox::Information, QMessageBox::Ok);
        break;
    case GoodsCatalogue::Outcome::Gone:
        MessageBoxes::box(deletedElsewhereText(), ReminderCaption, QMessageBox::Information, QMessageBox::Ok);
        break;
    case GoodsCatalogue::Outcome::Failed:
        m_data.reportError(QStringLiteral("保存数据失败!"), catalogue.lastError(), ReminderCaption);
        break;
    case GoodsCatalogue::Outcome::Written:
        break;
    }
    // After a failure too the list shows what is stored, and the dialog closes.
    DataSet *goods = m_data.Qry_Goods;
    if (goods->isOpen() && goods->refreshRecord(loadedKey()))
        goods->locateKey(loadedKey());
    accept();
    return outcome == GoodsCatalogue::Outcome::Written;
}
