#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>

class IModLagerDBServerObj;
class QFileDevice;

// Exit codes scripts rely on; they never change meaning.
namespace LagerExit
{
enum : int {
    Done = 0,
    Usage = 1,
    Denied = 2, // log-on failed or a right is missing
    NotFound = 3,
    Locked = 4, // another user holds the lock
    Invalid = 5,
    Failed = 6, // database or file system failed
};
}

// The logged-on user's context for a command: the stock database, opened on first use, and
// the rights and name the window would use.
class LagerSession
{
public:
    LagerSession();
    ~LagerSession();
    // Throws the engine's error when the database cannot be opened.
    IModLagerDBServerObj &Db();
    // The user's full name: owner of locks, creator and changer of articles.
    QString Owner() const;
    // Shows the refusal, as the window does, when the user lacks the right.
    bool RequireRight(const QString &right, const char *refusal) const;
    double WaitSeconds = 0;

private:
    std::unique_ptr<IModLagerDBServerObj> m_db;
};

struct LagerArgs {
    QStringList positional;
    QHash<QString, QString> options;
    QSet<QString> flags;
    QString Option(const QString &name, const QString &fallback = {}) const
    {
        return options.value(name, fallback);
    }
};

// One command of the companion. Adding a command is one entry in the table of lagercli.cpp.
struct LagerCommand {
    static constexpr int kAnyCount = -1;
    QStringList words;   // "article", "get"
    QString synopsis;    // what follows the words in the usage text
    const char *help;    // msgid of the one-line description
    int positionals;     // exactly this many, or kAnyCount: the command checks them
    QStringList options; // options that take a value
    QStringList flags;   // options without one
    int (*run)(LagerSession &, const LagerArgs &);
};

// The commands; their run functions live beside their kind.
int ArticleGet(LagerSession &session, const LagerArgs &args);
int ArticlePut(LagerSession &session, const LagerArgs &args);
int ArticleDelete(LagerSession &session, const LagerArgs &args);
int StockList(LagerSession &session, const LagerArgs &args);
int PrintStockList(LagerSession &session, const LagerArgs &args);
int StockExport(LagerSession &session, const LagerArgs &args);
int StockImport(LagerSession &session, const LagerArgs &args);
int StockSet(LagerSession &session, const LagerArgs &args);
int SerialsList(LagerSession &session, const LagerArgs &args);
int GroupingsList(LagerSession &session, const LagerArgs &args);
int GroupingsAdd(LagerSession &session, const LagerArgs &args);
int GroupingsDelete(LagerSession &session, const LagerArgs &args);
int ReceiptBook(LagerSession &session, const LagerArgs &args);
int HistoryList(LagerSession &session, const LagerArgs &args);
int DbMigrate(LagerSession &session, const LagerArgs &args);
int DbCheck(LagerSession &session, const LagerArgs &args);
int OrderList(LagerSession &session, const LagerArgs &args);
int OrderShow(LagerSession &session, const LagerArgs &args);
int OrderReceive(LagerSession &session, const LagerArgs &args);
int SetColumn(LagerSession &session, const LagerArgs &args);
int CatalogList(LagerSession &session, const LagerArgs &args);
int CatalogSearch(LagerSession &session, const LagerArgs &args);
int CatalogShow(LagerSession &session, const LagerArgs &args);
int CatalogTake(LagerSession &session, const LagerArgs &args);
int CatalogTakeAll(LagerSession &session, const LagerArgs &args);
int CatalogImportDatanorm(LagerSession &session, const LagerArgs &args);
int Labels(LagerSession &session, const LagerArgs &args);

// Program entry without the process: programDir is where the program runs, arguments come
// without the program name. Returns the exit code.
int RunLager(const QString &programDir, const QStringList &arguments);

// Writes text to standard output as UTF-8.
void WriteOut(const QString &text);
void WriteBytes(const QByteArray &bytes);
// An article's stored XML text as a file would hold it: UTF-16LE with byte-order mark under
// its own declaration, or UTF-8 without the mark under a declaration that says so.
QByteArray StoredXmlBytes(const QString &stored, bool utf8);
// Shows an error message through the interaction.
void ShowError(const QString &text);
// Shows a list of problems, the first hundred of them and how many more there were.
void ShowErrors(const QStringList &errors);
// Says why a file could not be opened, naming the file and the cause.
void ShowFileError(const QFileDevice &file);
