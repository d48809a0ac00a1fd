#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

// Edits a list of texts: add, rename, delete, move up and down; new and renamed entries are
// asked for through the interaction's input box. The caller's list changes only on OK.
class TListEditDialog : public QDialog
{
    Q_OBJECT
public:
    TListEditDialog(const QString &title, const QStringList &entries, QWidget *parent = nullptr);

    QStringList Entries() const;
    // The dialog on entries; true for OK, entries then hold the edited list.
    static bool Edit(QWidget *parent, const QString &title, QStringList &entries);

    void AddEntry();
    void RenameEntry();
    void DeleteEntry();
    void MoveEntry(int by); // -1 up, +1 down

private:
    // Asks for a text; empty when cancelled, blank or already in the list (that one said).
    QString askText(const QString &proposal, int ignoreRow);

    QString m_title;
    QListWidget *m_list = nullptr;
};
