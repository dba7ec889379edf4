#pragma once

#include <QDialog>
#include "DataSet.h"

#include <QPair>
#include <QPointer>
#include <QSqlError>
#include <QStringList>
#include <QVariant>
#include <QVector>

class QAbstractButton;
class QLabel;
class RecordNavigator;
class TFrm_Data;

// The shape all record editors share: a modal dialog opened to add or to edit, a record
// navigator over the data set being edited, Enter moving to the next control, and list
// buttons that open the reference list behind a drop-down at its page.
//
// Writes are guarded: an edit writes over the record only while it is still as it was loaded
// (its update count), and a record that belongs to a customer is written only while that
// customer exists, with the customer's code and name as stored at that moment.
class RecordEditor : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { Add, Edit };

    RecordEditor(TFrm_Data &data, Mode mode, QWidget *parent = nullptr);

    Mode mode() const { return m_mode; }
    bool isAdding() const { return m_mode == Mode::Add; }

    // A record's columns with their values, in the order they are written.
    using Fields = QVector<QPair<QString, QVariant>>;
    // Columns of a record taken from its customer's row: record column, customer column.
    using CustomerCopies = QVector<QPair<QString, QString>>;

    // Opens an editor modally while its global reference points to it; nothing happens when
    // the data set it needs (the customers to add to, the records to edit) is empty, and a
    // record deleted by another workstation is not opened.
    template <class Editor, class... Args>
    static void runModal(QPointer<Editor> &reference, const DataSet *needed, Args &&...args)
    {
        if (needed->isEmpty() || !currentRecordExists(needed))
            return;
        Editor editor(std::forward<Args>(args)...);
        reference = &editor;
        editor.exec();
    }

    // Deletes the current row of records from table (found by keyField); the data set
    // reopens near the same position. A database error is shown and changes nothing.
    static bool deleteCurrentRecord(TFrm_Data &data, DataSet *records, const QString &table, const QString &keyField);

    // Esc, the close box and the exit button: with something typed and not saved the
    // operator is asked first, and No keeps the dialog open.
    void reject() override;
    static QString discardQuestion();

    // Texts longer than their columns are refused before anything is written: false, after
    // a message naming the field.
    static bool fitsColumns(const QString &table, const Fields &fields);
    static bool fitsColumns(const QString &table, const QVariantMap &values);

    static QString changedElsewhereText();
    static QString deletedElsewhereText();
    static QString customerGoneText();

protected:
    // Call once the form's controls exist: Enter handling and the navigator.
    void setUpForm(RecordNavigator *navigator, DataSet *records);
    void connectListButton(QAbstractButton *button, const QString &table);
    // Names the current customer, whose records the editor adds and edits.
    void showCustomer(QLabel *label);
    // Window title and OK caption of the mode.
    void setModeCaptions(QAbstractButton *okButton, const QString &addTitle, const QString &editTitle,
                         const QString &addOk = QStringLiteral("新增(&A)"),
                         const QString &editOk = QStringLiteral("保存(&S)"));
    // Call whenever the controls are filled from the current row of records (edit mode): the
    // next save writes over that record only while it is still as it was then.
    void recordLoaded(const DataSet *records);
    void recordLoaded(const QVariant &key, const QVariant &version);
    QVariant loadedKey() const { return m_loadedKey; }
    QVariant loadedVersion() const { return m_loadedVersion; }
    // Adding: inserts fields as a new row of table; editing: updates the loaded record. One
    // transaction, so a failure writes nothing; columns named in copies are taken from the
    // current customer's stored row. Then the row is shown and current in records. A refusal
    // (too long, changed or deleted elsewhere, customer gone) is always shown here; a
    // database error is shown too, unless the caller takes it in error.
    bool writeRecord(DataSet *records, const QString &table, const QString &keyField, Fields fields,
                     const CustomerCopies &copies = {}, QSqlError *error = nullptr);
    // The navigator moved to another row of the data set.
    virtual void recordMoved() = 0;
    // What the controls hold now counts as saved: call after loading, clearing or saving.
    void markClean();
    // Something typed since markClean(); editors that keep more (goods lines) add theirs.
    virtual bool hasUnsavedChanges() const;

    TFrm_Data &m_data;

private:
    QStringList fieldValues() const;
    static bool currentRecordExists(const DataSet *records);
    // Reads the current customer inside the write transaction; false when it is gone.
    bool copyFromCustomer(const CustomerCopies &copies, Fields *fields, QSqlError *error);
    void showRefusal(const QString &text);

    Mode m_mode;
    QVariant m_loadedKey;
    QVariant m_loadedVersion;
    QStringList m_cleanValues;
};
