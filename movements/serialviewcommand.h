#pragma once

#include <QString>
#include <functional>

class IModLagerDBServerObj;
class TSeriennummerObjectList;
struct TSeriennummer;

// The main window's command "Seriennummern zum Lagerartikel anzeigen": the serial numbers of
// the selected article in the view, whose edits go straight to the table.
class SerialViewCommand
{
public:
    // Writes one edited row; false when the table refused it (said).
    using Post = std::function<bool(const TSeriennummer &before, const TSeriennummer &after)>;
    // The view on the article's rows in serial-number order.
    using Show = std::function<void(const QString &nr, const QString &description,
                                    const TSeriennummerObjectList &rows, const Post &post)>;

    SerialViewCommand(IModLagerDBServerObj &db, Show show);

    // False when the article has no serial numbers: a short notice instead of the view.
    bool Run(const QString &nr, const QString &description);

    // A row edited in the view: the same number is rewritten, a changed number replaces the
    // old row in one transaction. An empty number or one the article has already is refused.
    bool PostEdit(const TSeriennummer &before, const TSeriennummer &after);

private:
    IModLagerDBServerObj &m_db;
    Show m_show;
};
