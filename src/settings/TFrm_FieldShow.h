#pragma once

#include "TFrm_Field.h"

// The column chooser of the repair order analysis: it stays open after storing, so the
// operator can switch further columns.
class TFrm_FieldShow : public TFrm_Field
{
    Q_OBJECT
public:
    using TFrm_Field::TFrm_Field;

    static void ShowField(TFrm_Data &data, const QString &configName, QWidget *parent);

protected:
    void stored() override {}
};

extern QPointer<TFrm_FieldShow> Frm_FieldShow;
