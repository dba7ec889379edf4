#include "ReportDesigner.h"
#include "ui_ReportDesigner.h"

#include "MessageBoxes.h"
#include "Report.h"
#include "ReportDataSets.h"
#include "ReportExpression.h"
#include "ReportFonts.h"
#include "ReportPreview.h"
#include "ReportXml.h"
#include "TFrm_Data.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QScreen>
#include <QShortcut>
#include <QUndoStack>

QPointer<ReportDesigner> Frm_Designer;

namespace {

const QString Caption = QStringLiteral("报表设计");

struct Paper
{
    const char *name;
    double width;
    double height;
};
// Portrait sizes; the last entry of the list is "自定义".
constexpr Paper papers[] = {{"A4", 210, 297}, {"A5", 148, 210}, {"B5", 176, 250}, {"Letter", 215.9, 279.4}};

// Ids under which successive changes of one property merge into one undo step.
enum PropertyIds {
    TextId = 100, LeftId, TopId, WidthId, HeightId, FrameId, FontId, FontSizeId, BoldId, AlignId, VAlignId, WrapId,
    LineWidthId, BandHeightId, DataSetId, PaperId, MarginId
};

// Bands stand in this order, top to bottom; data bands and their children in the middle.
int bandRank(ReportBand::Type type)
{
    switch (type) {
    case ReportBand::Type::ReportTitle: return 0;
    case ReportBand::Type::PageHeader: return 1;
    case ReportBand::Type::ColumnHeader: return 2;
    case ReportBand::Type::MasterData:
    case ReportBand::Type::DetailData:
    case ReportBand::Type::Child: return 3;
    case ReportBand::Type::ReportSummary: return 4;
    case ReportBand::Type::PageFooter: return 5;
    }
    return 3;
}

} // namespace

// One undoable change: the template before and after it, and what was selected.
class ReportDesigner::Step : public QUndoCommand
{
public:
    Step(ReportDesigner &designer, const QString &text, int mergeId, ReportTemplate before, ReportTemplate after,
         DesignCanvas::Selection selection)
        : QUndoCommand(text), m_designer(designer), m_mergeId(mergeId), m_before(std::move(before)),
          m_after(std::move(after)), m_selection(selection)
    {
    }

    int id() const override { return m_mergeId; }
    bool mergeWith(const QUndoCommand *other) override
    {
        const auto *step = static_cast<const Step *>(other);
        if (!(step->m_selection == m_selection))
            return false;
        m_after = step->m_after;
        return true;
    }
    void undo() override { restore(m_before); }
    void redo() override
    {
        // The change is already made when the step is recorded.
        if (m_recorded)
            restore(m_after);
        m_recorded = true;
    }

private:
    void restore(const ReportTemplate &layout)
    {
        m_designer.setLayout(layout);
        m_designer.m_ui->Canvas_Page->setSelection(m_selection);
        m_designer.refreshProperties();
    }

    ReportDesigner &m_designer;
    int m_mergeId;
    ReportTemplate m_before;
    ReportTemplate m_after;
    DesignCanvas::Selection m_selection;
    bool m_recorded = false;
};

ReportDesigner::ReportDesigner(TFrm_Data &data, Report &report, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::ReportDesigner>()), m_data(data), m_report(report),
      m_layout(report.layout()), m_undo(new QUndoStack(this))
{
    m_ui->setupUi(this);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    m_ui->Splitter_Main->setStretchFactor(1, 1);
    // Within the screen, less its frame, on small screens.
    resize(size().boundedTo(screen()->availableGeometry().size() * 0.94));
    m_ui->Splitter_Main->setSizes({160, width() - 430, 270});
    m_ui->Combo_Zoom->setCurrentText(QStringLiteral("100%"));
    m_ui->Combo_Font->addItems(ReportFonts::families());
    m_ui->Combo_BandDataSet->addItem(QString());
    m_ui->Combo_BandDataSet->addItems(ReportDataSets::dataSetNames());
    fillFieldList();

    auto *bands = new QMenu(m_ui->Btn_AddBand);
    bands->setObjectName(QStringLiteral("Menu_Bands"));
    for (auto type : {ReportBand::Type::ReportTitle, ReportBand::Type::PageHeader, ReportBand::Type::ColumnHeader,
                      ReportBand::Type::MasterData, ReportBand::Type::DetailData, ReportBand::Type::Child,
                      ReportBand::Type::ReportSummary, ReportBand::Type::PageFooter}) {
        QAction *action = bands->addAction(ReportTemplate::bandTypeCaption(type), this, [this, type] { addBand(type); });
        action->setObjectName(QStringLiteral("Band_") + ReportTemplate::bandTypeName(type));
    }
    m_ui->Btn_AddBand->setMenu(bands);

    DesignCanvas *canvas = m_ui->Canvas_Page;
    canvas->setTemplate(&m_layout);
    connect(canvas, &DesignCanvas::selectionChanged, this, &ReportDesigner::refreshProperties);
    connect(canvas, &DesignCanvas::editStarted, this, &ReportDesigner::beginEdit);
    connect(canvas, &DesignCanvas::editFinished, this, [this](const QString &what, int id) {
        finishEdit(what, id);
        refreshProperties();
    });
    connect(canvas, &DesignCanvas::deleteRequested, this, &ReportDesigner::Btn_DeleteClick);
    connect(canvas, &DesignCanvas::positionHovered, this, [this](const QPointF &mm, int band) {
        m_ui->Label_Status->setText(QStringLiteral("%1  左 %2 mm, 上 %3 mm")
                                        .arg(m_layout.bands[size_t(band)].name)
                                        .arg(mm.x(), 0, 'f', 1)
                                        .arg(mm.y(), 0, 'f', 1));
    });

    connect(m_ui->Btn_Save, &QToolButton::clicked, this, &ReportDesigner::Btn_SaveClick);
    connect(m_ui->Btn_Preview, &QToolButton::clicked, this, &ReportDesigner::Btn_PreviewClick);
    connect(m_ui->Btn_Undo, &QToolButton::clicked, m_undo, &QUndoStack::undo);
    connect(m_ui->Btn_Redo, &QToolButton::clicked, m_undo, &QUndoStack::redo);
    connect(m_undo, &QUndoStack::canUndoChanged, m_ui->Btn_Undo, &QWidget::setEnabled);
    connect(m_undo, &QUndoStack::canRedoChanged, m_ui->Btn_Redo, &QWidget::setEnabled);
    connect(m_undo, &QUndoStack::cleanChanged, this, &ReportDesigner::showTitle);
    m_ui->Btn_Undo->setEnabled(false);
    m_ui->Btn_Redo->setEnabled(false);
    new QShortcut(QKeySequence::Undo, this, m_undo, &QUndoStack::undo);
    new QShortcut(QKeySequence::Redo, this, m_undo, &QUndoStack::redo);
    new QShortcut(QKeySequence::Save, this, this, &ReportDesigner::Btn_SaveClick);
    connect(m_ui->Btn_AddText, &QToolButton::clicked, this, &ReportDesigner::Btn_AddTextClick);
    connect(m_ui->Btn_AddLine, &QToolButton::clicked, this, &ReportDesigner::Btn_AddLineClick);
    connect(m_ui->Btn_AddRect, &QToolButton::clicked, this, &ReportDesigner::Btn_AddRectClick);
    connect(m_ui->Btn_AddPicture, &QToolButton::clicked, this, &ReportDesigner::Btn_AddPictureClick);
    connect(m_ui->Btn_Delete, &QToolButton::clicked, this, &ReportDesigner::Btn_DeleteClick);
    connect(m_ui->Btn_DeleteBand, &QToolButton::clicked, this, &ReportDesigner::Btn_DeleteBandClick);
    connect(m_ui->Btn_Close, &QPushButton::clicked, this, &ReportDesigner::reject);
    connect(m_ui->Combo_Zoom, &QComboBox::currentTextChanged, this,
            [canvas](const QString &text) { canvas->setZoom(QString(text).remove(QLatin1Char('%')).toInt()); });
    connect(m_ui->Tree_Fields, &QTreeWidget::itemDoubleClicked, this, &ReportDesigner::Tree_FieldsDoubleClick);
    connectProperties();
    refreshProperties();
    showTitle();
    Frm_Designer = this;
}

ReportDesigner::~ReportDesigner() = default;

void ReportDesigner::DesignReport(TFrm_Data &data, Report &report, QWidget *parent)
{
    // A damaged template is named; the designer then starts from an empty report.
    if (!report.loadError().isEmpty())
        MessageBoxes::error(report.loadError());
    ReportDesigner designer(data, report, parent);
    designer.exec();
}

bool ReportDesigner::isModified() const
{
    return !m_undo->isClean();
}

void ReportDesigner::showTitle()
{
    setWindowTitle(Caption + QStringLiteral(" - ") + m_report.displayName() + (isModified() ? QStringLiteral(" *") : QString()));
}

void ReportDesigner::fillFieldList()
{
    for (const QString &dataSet : ReportDataSets::dataSetNames()) {
        auto *top = new QTreeWidgetItem(m_ui->Tree_Fields, {dataSet});
        for (const QString &field : ReportDataSets::fieldNames(dataSet))
            new QTreeWidgetItem(top, {field});
    }
    auto *other = new QTreeWidgetItem(m_ui->Tree_Fields, {QStringLiteral("系统变量")});
    for (const char *variable : {"[Date]", "[Time]", "[Page#]"})
        new QTreeWidgetItem(other, {QString::fromLatin1(variable)});
    m_ui->Tree_Fields->topLevelItem(0)->setExpanded(true);
}

void ReportDesigner::setLayout(const ReportTemplate &layout)
{
    m_layout = layout;
    m_ui->Canvas_Page->templateChanged();
}

void ReportDesigner::beginEdit()
{
    m_beforeEdit = m_layout;
}

void ReportDesigner::finishEdit(const QString &what, int mergeId)
{
    if (ReportXml::write(m_beforeEdit) == ReportXml::write(m_layout))
        return;
    m_undo->push(new Step(*this, what, mergeId, m_beforeEdit, m_layout, m_ui->Canvas_Page->selection()));
    m_ui->Canvas_Page->templateChanged();
}

void ReportDesigner::edit(const QString &what, int mergeId, const std::function<void()> &change)
{
    if (m_refreshing)
        return;
    beginEdit();
    change();
    finishEdit(what, mergeId);
}

int ReportDesigner::targetBand()
{
    const DesignCanvas::Selection selection = m_ui->Canvas_Page->selection();
    if (selection.band >= 0)
        return selection.band;
    for (size_t band = 0; band < m_layout.bands.size(); ++band) {
        if (m_layout.bands[band].type == ReportBand::Type::MasterData)
            return int(band);
    }
    if (!m_layout.bands.empty())
        return 0;
    // A new report: its first object goes into a data band over the customers.
    ReportBand band;
    band.type = ReportBand::Type::MasterData;
    band.name = m_layout.unusedName(QStringLiteral("MasterData"));
    band.dataSet = QStringLiteral("S");
    m_layout.bands.push_back(band);
    return 0;
}

void ReportDesigner::addItem(ReportItem item)
{
    int band = -1;
    int index = -1;
    edit(QStringLiteral("添加对象"), -1, [&] {
        band = targetBand();
        static const QString prefixes[] = {QStringLiteral("Memo"), QStringLiteral("Line"), QStringLiteral("Shape"),
                                           QStringLiteral("Picture"), QString()};
        item.name = m_layout.unusedName(prefixes[int(item.kind)]);
        auto &items = m_layout.bands[size_t(band)].items;
        items.push_back(item);
        index = int(items.size()) - 1;
    });
    if (index >= 0) {
        m_ui->Canvas_Page->setSelection({band, index});
        m_ui->Canvas_Page->setFocus();
    }
}

void ReportDesigner::Btn_AddTextClick()
{
    ReportItem item;
    item.geometry = QRectF(2, 2, 30, 5);
    item.text = QStringLiteral("文本");
    addItem(item);
}

void ReportDesigner::Btn_AddLineClick()
{
    ReportItem item;
    item.kind = ReportItem::Kind::Line;
    item.geometry = QRectF(2, 2, 40, 0);
    addItem(item);
}

void ReportDesigner::Btn_AddRectClick()
{
    ReportItem item;
    item.kind = ReportItem::Kind::Rect;
    item.geometry = QRectF(2, 2, 40, 10);
    addItem(item);
}

void ReportDesigner::Btn_AddPictureClick()
{
    QFileDialog dialog(this, QStringLiteral("选择图片"), QString(), QStringLiteral("图片 (*.png *.jpg *.jpeg *.bmp)"));
    dialog.setObjectName(QStringLiteral("Dialog_Picture"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    QFile file(dialog.selectedFiles().constFirst());
    const QImage image(file.fileName());
    if (image.isNull() || !file.open(QIODevice::ReadOnly)) {
        MessageBoxes::box(QStringLiteral("无法读取图片 %1").arg(QFileInfo(file).fileName()), Caption, QMessageBox::Warning);
        return;
    }
    ReportItem item;
    item.kind = ReportItem::Kind::Picture;
    // Its own proportions, 30 mm wide.
    item.geometry = QRectF(2, 2, 30, 30.0 * image.height() / qMax(1, image.width()));
    item.picture = file.readAll();
    addItem(item);
}

void ReportDesigner::Btn_DeleteClick()
{
    const DesignCanvas::Selection selection = m_ui->Canvas_Page->selection();
    if (selection.band < 0)
        return;
    if (selection.item < 0) {
        Btn_DeleteBandClick();
        return;
    }
    edit(QStringLiteral("删除对象"), -1, [&] {
        auto &items = m_layout.bands[size_t(selection.band)].items;
        items.erase(items.begin() + selection.item);
    });
    m_ui->Canvas_Page->setSelection({selection.band, -1});
}

void ReportDesigner::Btn_DeleteBandClick()
{
    const int band = m_ui->Canvas_Page->selection().band;
    if (band < 0)
        return;
    const ReportBand &doomed = m_layout.bands[size_t(band)];
    if (!doomed.items.empty()
        && MessageBoxes::box(QStringLiteral("删除带区 %1 和其中的 %2 个对象吗?").arg(doomed.name).arg(doomed.items.size()), Caption,
                             QMessageBox::Question, QMessageBox::Yes | QMessageBox::No)
               != QMessageBox::Yes)
        return;
    m_ui->Canvas_Page->setSelection({});
    edit(QStringLiteral("删除带区"), -1, [&] { m_layout.bands.erase(m_layout.bands.begin() + band); });
}

void ReportDesigner::addBand(ReportBand::Type type)
{
    const int rank = bandRank(type);
    const int selected = m_ui->Canvas_Page->selection().band;
    int position = int(m_layout.bands.size());
    if (rank == 3 && selected >= 0 && bandRank(m_layout.bands[size_t(selected)].type) == 3) {
        position = selected + 1;
    } else {
        for (size_t i = 0; i < m_layout.bands.size(); ++i) {
            if (bandRank(m_layout.bands[i].type) > rank) {
                position = int(i);
                break;
            }
        }
    }
    edit(QStringLiteral("添加带区"), -1, [&] {
        ReportBand band;
        band.type = type;
        band.name = m_layout.unusedName(ReportTemplate::bandTypeName(type));
        band.height = type == ReportBand::Type::Child ? 6 : 20;
        if (type == ReportBand::Type::MasterData)
            band.dataSet = QStringLiteral("S");
        else if (type == ReportBand::Type::DetailData)
            band.dataSet = QStringLiteral("w");
        m_layout.bands.insert(m_layout.bands.begin() + position, band);
    });
    m_ui->Canvas_Page->setSelection({position, -1});
}

void ReportDesigner::Tree_FieldsDoubleClick()
{
    QTreeWidgetItem *chosen = m_ui->Tree_Fields->currentItem();
    if (!chosen || !chosen->parent())
        return;
    const QString parent = chosen->parent()->text(0);
    const QString expression = chosen->text(0).startsWith(QLatin1Char('['))
                                   ? chosen->text(0)
                                   : ParsedText::fieldExpression(parent, chosen->text(0));
    const ReportItem *item = m_ui->Canvas_Page->selectedItem();
    if (item && item->kind == ReportItem::Kind::Text) {
        m_ui->Edit_Text->insertPlainText(expression);
        m_ui->Edit_Text->setFocus();
        return;
    }
    ReportItem text;
    text.geometry = QRectF(2, 2, 40, 5);
    text.text = expression;
    addItem(text);
}

void ReportDesigner::refreshProperties()
{
    m_refreshing = true;
    const DesignCanvas::Selection selection = m_ui->Canvas_Page->selection();
    const ReportItem *item = m_ui->Canvas_Page->selectedItem();
    const ReportBand *band = m_ui->Canvas_Page->selectedBand();
    if (item) {
        m_ui->Stack_Properties->setCurrentWidget(m_ui->Page_ItemProps);
        const bool text = item->kind == ReportItem::Kind::Text;
        m_ui->Group_Text->setEnabled(text);
        if (m_ui->Edit_Text->toPlainText() != item->text)
            m_ui->Edit_Text->setPlainText(item->text);
        m_ui->Edit_Left->setValue(item->geometry.left());
        m_ui->Edit_Top->setValue(item->geometry.top());
        m_ui->Edit_Width->setValue(item->geometry.width());
        m_ui->Edit_Height->setValue(item->geometry.height());
        const bool framed = text || item->kind == ReportItem::Kind::Picture;
        for (auto [box, side] : {std::pair{m_ui->Check_FrameLeft, FrameLeft}, std::pair{m_ui->Check_FrameTop, FrameTop},
                                 std::pair{m_ui->Check_FrameRight, FrameRight}, std::pair{m_ui->Check_FrameBottom, FrameBottom}}) {
            box->setChecked(item->frame & side);
            box->setEnabled(framed);
        }
        for (QWidget *control : std::initializer_list<QWidget *>{m_ui->Combo_Font, m_ui->Spin_FontSize, m_ui->Check_Bold,
                                                                 m_ui->Combo_Align, m_ui->Combo_VAlign, m_ui->Check_WordWrap})
            control->setEnabled(text);
        m_ui->Combo_Font->setCurrentText(item->fontFamily);
        m_ui->Spin_FontSize->setValue(item->fontSize);
        m_ui->Check_Bold->setChecked(item->bold);
        m_ui->Combo_Align->setCurrentIndex(int(item->hAlign));
        m_ui->Combo_VAlign->setCurrentIndex(int(item->vAlign));
        m_ui->Check_WordWrap->setChecked(item->wordWrap);
        m_ui->Edit_LineWidth->setValue(item->lineWidth);
        m_ui->Label_Status->setText(QStringLiteral("%1 / %2").arg(m_layout.bands[size_t(selection.band)].name, item->name));
    } else if (band) {
        m_ui->Stack_Properties->setCurrentWidget(m_ui->Page_BandProps);
        m_ui->Label_BandType->setText(ReportTemplate::bandTypeCaption(band->type) + QStringLiteral(" (") + band->name + QLatin1Char(')'));
        m_ui->Edit_BandHeight->setValue(band->height);
        m_ui->Combo_BandDataSet->setEnabled(band->isDataBand());
        m_ui->Combo_BandDataSet->setCurrentText(band->dataSet);
    } else {
        m_ui->Stack_Properties->setCurrentWidget(m_ui->Page_PageProps);
        const ReportPage &page = m_layout.page;
        const double shortSide = qMin(page.width, page.height);
        const double longSide = qMax(page.width, page.height);
        int paper = int(std::size(papers));
        for (int i = 0; i < int(std::size(papers)); ++i) {
            if (qAbs(papers[i].width - shortSide) < 0.5 && qAbs(papers[i].height - longSide) < 0.5)
                paper = i;
        }
        m_ui->Combo_Paper->setCurrentIndex(paper);
        m_ui->Edit_PaperWidth->setValue(page.width);
        m_ui->Edit_PaperHeight->setValue(page.height);
        m_ui->Combo_Orientation->setCurrentIndex(page.isLandscape() ? 1 : 0);
        m_ui->Edit_MarginLeft->setValue(page.leftMargin);
        m_ui->Edit_MarginTop->setValue(page.topMargin);
        m_ui->Edit_MarginRight->setValue(page.rightMargin);
        m_ui->Edit_MarginBottom->setValue(page.bottomMargin);
    }
    m_ui->Btn_Delete->setEnabled(selection.band >= 0);
    m_ui->Btn_DeleteBand->setEnabled(selection.band >= 0);
    m_refreshing = false;
}

void ReportDesigner::connectProperties()
{
    const auto onItem = [this](int id, std::function<void(ReportItem &)> change) {
        return [this, id, change] {
            if (ReportItem *item = m_ui->Canvas_Page->selectedItem())
                edit(QStringLiteral("修改属性"), id, [&] { change(*item); });
        };
    };
    const auto geometry = [this, onItem](QDoubleSpinBox *box, int id, void (QRectF::*set)(qreal)) {
        // Left and top move the box; width and height size it.
        connect(box, &QDoubleSpinBox::valueChanged, this,
                onItem(id, [box, set](ReportItem &item) { (item.geometry.*set)(box->value()); }));
    };
    connect(m_ui->Edit_Text, &QPlainTextEdit::textChanged, this,
            onItem(TextId, [this](ReportItem &item) { item.text = m_ui->Edit_Text->toPlainText(); }));
    geometry(m_ui->Edit_Left, LeftId, &QRectF::moveLeft);
    geometry(m_ui->Edit_Top, TopId, &QRectF::moveTop);
    geometry(m_ui->Edit_Width, WidthId, &QRectF::setWidth);
    geometry(m_ui->Edit_Height, HeightId, &QRectF::setHeight);
    for (auto [box, side] : {std::pair{m_ui->Check_FrameLeft, FrameLeft}, std::pair{m_ui->Check_FrameTop, FrameTop},
                             std::pair{m_ui->Check_FrameRight, FrameRight}, std::pair{m_ui->Check_FrameBottom, FrameBottom}}) {
        connect(box, &QCheckBox::toggled, this, onItem(FrameId, [box = box, side = side](ReportItem &item) {
            item.frame = box->isChecked() ? item.frame | side : item.frame & ~side;
        }));
    }
    connect(m_ui->Combo_Font, &QComboBox::currentTextChanged, this,
            onItem(FontId, [this](ReportItem &item) { item.fontFamily = m_ui->Combo_Font->currentText(); }));
    connect(m_ui->Spin_FontSize, &QSpinBox::valueChanged, this,
            onItem(FontSizeId, [this](ReportItem &item) { item.fontSize = m_ui->Spin_FontSize->value(); }));
    connect(m_ui->Check_Bold, &QCheckBox::toggled, this,
            onItem(BoldId, [this](ReportItem &item) { item.bold = m_ui->Check_Bold->isChecked(); }));
    connect(m_ui->Combo_Align, &QComboBox::currentIndexChanged, this, onItem(AlignId, [this](ReportItem &item) {
        item.hAlign = ReportItem::HAlign(m_ui->Combo_Align->currentIndex());
    }));
    connect(m_ui->Combo_VAlign, &QComboBox::currentIndexChanged, this, onItem(VAlignId, [this](ReportItem &item) {
        item.vAlign = ReportItem::VAlign(m_ui->Combo_VAlign->currentIndex());
    }));
    connect(m_ui->Check_WordWrap, &QCheckBox::toggled, this,
            onItem(WrapId, [this](ReportItem &item) { item.wordWrap = m_ui->Check_WordWrap->isChecked(); }));
    connect(m_ui->Edit_LineWidth, &QDoubleSpinBox::valueChanged, this,
            onItem(LineWidthId, [this](ReportItem &item) { item.lineWidth = m_ui->Edit_LineWidth->value(); }));

    const auto onBand = [this](int id, std::function<void(ReportBand &)> change) {
        return [this, id, change] {
            if (ReportBand *band = m_ui->Canvas_Page->selectedBand())
                edit(QStringLiteral("修改带区"), id, [&] { change(*band); });
        };
    };
    connect(m_ui->Edit_BandHeight, &QDoubleSpinBox::valueChanged, this,
            onBand(BandHeightId, [this](ReportBand &band) { band.height = qMax(1.0, m_ui->Edit_BandHeight->value()); }));
    connect(m_ui->Combo_BandDataSet, &QComboBox::currentTextChanged, this,
            onBand(DataSetId, [this](ReportBand &band) { band.dataSet = m_ui->Combo_BandDataSet->currentText().trimmed(); }));

    const auto onPage = [this](int id, std::function<void(ReportPage &)> change) {
        return [this, id, change] {
            edit(QStringLiteral("页面设置"), id, [&] { change(m_layout.page); });
            refreshProperties();
        };
    };
    connect(m_ui->Combo_Paper, &QComboBox::activated, this, onPage(PaperId, [this](ReportPage &page) {
        const int index = m_ui->Combo_Paper->currentIndex();
        if (index >= int(std::size(papers)))
            return;
        const bool landscape = page.isLandscape();
        page.width = papers[index].width;
        page.height = papers[index].height;
        page.setLandscape(landscape);
    }));
    connect(m_ui->Combo_Orientation, &QComboBox::activated, this, onPage(PaperId, [this](ReportPage &page) {
        page.setLandscape(m_ui->Combo_Orientation->currentIndex() == 1);
    }));
    connect(m_ui->Edit_PaperWidth, &QDoubleSpinBox::valueChanged, this,
            onPage(PaperId, [this](ReportPage &page) { page.width = qMax(10.0, m_ui->Edit_PaperWidth->value()); }));
    connect(m_ui->Edit_PaperHeight, &QDoubleSpinBox::valueChanged, this,
            onPage(PaperId, [this](ReportPage &page) { page.height = qMax(10.0, m_ui->Edit_PaperHeight->value()); }));
    for (auto [box, margin] : {std::pair{m_ui->Edit_MarginLeft, &ReportPage::leftMargin}, std::pair{m_ui->Edit_MarginTop, &ReportPage::topMargin},
                               std::pair{m_ui->Edit_MarginRight, &ReportPage::rightMargin},
                               std::pair{m_ui->Edit_MarginBottom, &ReportPage::bottomMargin}}) {
        connect(box, &QDoubleSpinBox::valueChanged, this,
                onPage(MarginId, [box = box, margin = margin](ReportPage &page) { page.*margin = box->value(); }));
    }
}

QString ReportDesigner::askFileName()
{
    const QString proposed = m_report.templatePath().isEmpty()
                                 ? QDir(m_data.programDir()).filePath(QStringLiteral("Reports/") + m_report.name() + QStringLiteral(".xml"))
                                 : m_report.templatePath();
    QDir().mkpath(QFileInfo(proposed).absolutePath());
    QFileDialog dialog(this, QStringLiteral("保存报表模板"), proposed, QStringLiteral("报表模板 (*.xml)"));
    dialog.setObjectName(QStringLiteral("Dialog_SaveTemplate"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("xml"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

bool ReportDesigner::save()
{
    QString path = m_report.fileName();
    if (path.isEmpty())
        path = askFileName();
    if (path.isEmpty())
        return false;
    const ReportTemplate saved = m_report.layout();
    m_report.setLayout(m_layout);
    QString error;
    if (!m_report.saveToFile(path, &error)) {
        m_report.setLayout(saved);
        MessageBoxes::box(QStringLiteral("无法保存报表模板 %1: %2").arg(QDir::toNativeSeparators(path), error), Caption,
                          QMessageBox::Warning);
        return false;
    }
    m_undo->setClean();
    showTitle();
    m_ui->Label_Status->setText(QStringLiteral("已保存到 %1").arg(QDir::toNativeSeparators(path)));
    return true;
}

void ReportDesigner::Btn_SaveClick()
{
    save();
}

void ReportDesigner::Btn_PreviewClick()
{
    ReportPreview preview(m_data, m_layout, m_report.displayName(), this);
    if (preview.prepare())
        preview.exec();
}

void ReportDesigner::reject()
{
    if (isModified()) {
        const auto answer = MessageBoxes::box(QStringLiteral("报表模板已修改, 是否保存?"), Caption, QMessageBox::Question,
                                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer == QMessageBox::Cancel || (answer == QMessageBox::Yes && !save()))
            return;
    }
    QDialog::reject();
}
