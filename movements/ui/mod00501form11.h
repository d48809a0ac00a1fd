#pragma once

#include <QDialog>

class GroupingEditor;
class QTreeView;

// "Artikelgruppierungen bearbeiten": ungrouped articles on the left, groupings on the right.
// Works on the editor's models; only "Speichern" writes, and the dialog stays open when
// writing fails.
class TMOD00501Form11 : public QDialog
{
    Q_OBJECT
public:
    explicit TMOD00501Form11(GroupingEditor &editor, QWidget *parent = nullptr);

    // Shows the dialog modally; true when it was saved.
    bool Execute();

    void groupSelection(); // "Auswahl gruppieren"
    void deleteGrouping(); // "Gruppierung loeschen"
    void save();           // "Speichern"

private:
    GroupingEditor &m_editor;
    QTreeView *m_articles = nullptr;
    QTreeView *m_groupings = nullptr;
};
