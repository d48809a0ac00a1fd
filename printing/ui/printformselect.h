#pragma once

#include <QFrame>
#include <QList>
#include <QString>

class QListWidget;
class TPrintForms;

// The "Formular" drop-down of a list print: the forms of the allowed groups under the anchor
// control, the current one preselected; a double-click chooses.
class TPrintFormSelect : public QFrame
{
public:
    TPrintFormSelect(const TPrintForms &forms, const QList<int> &allowedGroups,
                     const QString &current, QWidget *parent = nullptr);

    // The chosen name, or the current one when the window was closed without a choice.
    QString Chosen() const { return m_chosen; }
    QListWidget *List() const { return m_list; }

    // Shows the drop-down under anchor and waits for it to close. Without forms, the
    // installation's FORMULAR.XML is read from formsDir.
    static QString Select(QWidget *anchor, const QString &current, const QList<int> &allowedGroups,
                          const TPrintForms *forms = nullptr, const QString &formsDir = {});

private:
    QListWidget *m_list;
    QString m_chosen;
};
