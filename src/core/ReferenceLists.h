#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

class QComboBox;
class QWidget;
class TFrm_Data;

// The ten reference lists (service types, brands, gifts, ...) from which the editors fill
// their drop-downs, and the one rule by which they do it. A record stores the chosen text,
// never a key, so every such drop-down stays editable.
class ReferenceLists
{
public:
    struct List
    {
        QString caption;   // the page caption of the list window
        QString table;     // the table that holds the entries in its column name
    };

    enum class Entries {
        All,
        NonBlank,   // entries that are empty after trimming are left out
    };

    // The lists in the order of the list window's pages.
    static const QVector<List> &all();
    // The page of a list table, in any letter case; -1 for a table that is not a list.
    static int page(const QString &table);

    // The entries of a list, trimmed, in the order they were added. False (and a data error
    // shown) when the list cannot be read; false for a table that is not a list.
    static bool entries(TFrm_Data &data, const QString &table, QStringList *result,
                        Entries which = Entries::All);
    // Replaces the drop-down's items by the list's entries; its text stays as it is.
    // Callers run it each time the drop-down unfolds (ListComboBox does).
    static bool fillComboBox(TFrm_Data &data, QComboBox *combo, const QString &table,
                             Entries which = Entries::All);

    // Opens the list window at the page of a list. Editors call openEditor from their list
    // buttons; the main window installs the opener, so editors need not know the window.
    using EditorOpener = std::function<void(QWidget *parent, const QString &table)>;
    static void setEditorOpener(EditorOpener opener);
    static void openEditor(QWidget *parent, const QString &table);
};
