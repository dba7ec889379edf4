#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>

namespace Ui { class TFrm_Softinfo; }
class TFrm_Data;

// "公司信息": the dealer's own name, contact, address, postcode, telephone and fax, the one
// row of info.
class TFrm_Softinfo : public QDialog
{
    Q_OBJECT
public:
    explicit TFrm_Softinfo(TFrm_Data &data, QWidget *parent = nullptr);
    ~TFrm_Softinfo() override;

private:
    void btn_okClick();

    std::unique_ptr<Ui::TFrm_Softinfo> m_ui;
    TFrm_Data &m_data;
};

extern QPointer<TFrm_Softinfo> Frm_Softinfo;
