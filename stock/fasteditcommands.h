#pragma once

#include "stock/bulkcolumnupdate.h"
#include "stock/fasteditmenu.h"

#include <QString>
#include <QStringList>
#include <functional>

class IModLagerDBServerObj;
class TLagerConfig;
class TLagerServerObj;

// The fast-edit commands of the main window, applied to every selected article in list
// order: a field edit walks them through the article window, a value item sets one column of
// all of them under the stock database lock, and "Liste bearbeiten" maintains a value list
// of the configuration. The window is reached only through the hooks, so tests answer the
// article window and the list editor without a modal loop. Right 42 is the caller's check.
class FastEditCommands
{
public:
    struct Hooks {
        // Numbers of the selected rows in list order; empty texts stand for rows without one.
        std::function<QStringList()> selectedArticleNrs;
        // Brings an article written by a field edit into the stock list.
        std::function<void(const TLagerServerObj &)> updateArticle;
        // The article window with the focus in the field of mode (0..7); true for OK, the
        // record then holds the user's changes.
        std::function<bool(TLagerServerObj &record, int mode)> showArticleWindow;
        // The selected articles at these positions of selectedArticleNrs() were changed in the
        // table and committed: their list entries must be read again before they are shown.
        std::function<void(qsizetype first, qsizetype count)> articlesChanged;
        // The list editor on entries; true when confirmed, entries then hold the new list.
        std::function<bool(const QString &caption, QStringList &entries)> editList;
        // CONFIG.XML was saved: every open holder of the configuration reloads it.
        std::function<void()> configChanged;
    };

    // config is the configuration the menu was built from: a value item's tag is an index
    // into it. stockDir ends with a separator; owner is the user's full name on the locks.
    FastEditCommands(IModLagerDBServerObj &db, const TLagerConfig &config, const QString &stockDir,
                     const QString &owner, Hooks hooks);

    // Tags 100..107. Returns the number of articles written; the command ends at the first
    // empty number, refused lock, unreadable article or cancelled window.
    int FieldEdit(int mode);
    // A value item of a submenu; false when nothing was done (no selection, an unknown tag,
    // the database lock refused).
    bool SetValue(FastEdit::ValueList list, int tag);
    // Tags 200 and 300; true when the list was changed and saved.
    bool EditList(FastEdit::ValueList list);
    // How SetValue commits; tests make chunks small and independent of time.
    void SetChunks(BulkColumnUpdate::Chunks chunks) { m_chunks = chunks; }

private:
    IModLagerDBServerObj &m_db;
    const TLagerConfig &m_config;
    QString m_stockDir;
    QString m_owner;
    Hooks m_hooks;
    BulkColumnUpdate::Chunks m_chunks;
};
