#pragma once

#include <QLineEdit>
#include <QVariant>

// A box for a number column. It takes any number the column holds (no cut to a few
// characters), shows a stored value whole, and gives a loaded value back exactly as it was
// while the operator has not edited it. Full-width digits typed with a Chinese input method
// count as digits; group separators may be typed.
class NumberEdit : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(bool integer READ isInteger WRITE setInteger)
public:
    explicit NumberEdit(QWidget *parent = nullptr);

    // Integer boxes take whole numbers of a 32-bit integer column.
    bool isInteger() const { return m_integer; }
    void setInteger(bool integer);

    // Shows a stored value; null shows an empty box.
    void setValue(const QVariant &value);
    // The number in the box: the loaded value while the text is the one it was shown as,
    // null for an empty box. Check isAcceptable() first.
    QVariant value() const;
    // Empty, or a number the column takes.
    bool isAcceptable() const;
    // The box still shows the value given to setValue().
    bool isUnchanged() const { return m_hasLoaded && text() == m_loadedText; }
    bool isEmpty() const { return text().trimmed().isEmpty(); }

    // The whole text of a stored number: no exponent, no rounding, no group separators.
    static QString textOf(const QVariant &number);
    // A typed text as a number (group separators and full-width forms allowed); false when
    // it is none.
    static bool parse(const QString &text, bool integer, QVariant *number);

private:
    bool m_integer = false;
    bool m_hasLoaded = false;
    QVariant m_loaded;
    QString m_loadedText;
};
