#include "TFrm_FieldShow.h"

QPointer<TFrm_FieldShow> Frm_FieldShow;

void TFrm_FieldShow::ShowField(TFrm_Data &data, const QString &configName, QWidget *parent)
{
    if (Frm_FieldShow)
        return;
    TFrm_FieldShow window(data, configName, parent);
    Frm_FieldShow = &window;
    window.exec();
}
