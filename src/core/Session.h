#pragma once

#include <QObject>
#include <QString>
#include <array>

class TFrm_Data;

// The logged-in operator and his permission slots 1..100.
class Session : public QObject
{
    Q_OBJECT
public:
    static constexpr int SlotCount = 100;
    static constexpr int OperatorNameBytes = 20;

    explicit Session(QObject *parent = nullptr);

    QString OperatorName() const { return m_operatorName; }
    bool permission(int slot) const;

    // Records a successful login: the name (trimmed, cut to 20 GBK bytes) becomes the current
    // operator; loggedIn() tells the main window to apply his permissions.
    void logIn(const QString &name);
    // Slot n takes the Authority of the operator's n-th permission row; slots past his rows
    // are cleared, so nothing of a previous operator remains.
    bool loadPermissions(TFrm_Data &data);

    // Automatic customer codes, switched by the customer editor for the rest of the run.
    bool AutoCustCode() const { return m_autoCustCode; }
    void setAutoCustCode(bool on) { m_autoCustCode = on; }

signals:
    void loggedIn();

private:
    QString m_operatorName;
    std::array<bool, SlotCount + 1> m_slots{};
    bool m_autoCustCode = false;
};
