#pragma once

#include <QString>
#include <functional>

class IModLagerDBServerObj;
class TLagerServerObj;

// The main window's commands that create, edit and copy a stock article. They ask through the
// interaction and reach the stock list and the article window only through the hooks, so
// that tests answer the article window without a modal loop. Rights are the caller's check.
class ArticleCommands
{
public:
    struct Hooks {
        // Number of the article selected in the stock list; empty when none.
        std::function<QString()> selectedArticleNr;
        // Brings a written article into the stock list (new row or refreshed row).
        std::function<void(const TLagerServerObj &)> updateArticle;
        std::function<void(const QString &nr)> gotoArticle;
        // Shows the article window on the record; true for OK, the record then holds the
        // user's changes. existing makes the article number read-only.
        std::function<bool(TLagerServerObj &record, bool existing)> showArticleWindow;
    };

    // stockDir ends with a separator; the user's full name is stamped as creator and changer
    // and is the name other users see while we hold an article.
    ArticleCommands(IModLagerDBServerObj &db, const QString &stockDir, const QString &userFullName,
                    Hooks hooks);

    // Each returns true when an article was written.
    bool NewArticle();
    bool EditArticle();
    bool CopyArticle();

    // The longest article number the stock table keeps.
    static constexpr int kMaxNumberLength = 20;

    enum class NumberAnswer { Chosen, Declined, Failed };
    // The question for a new article's number, shared by every way an article is made (new,
    // copy, catalog transfer, free order lines): asked again while the number is refused or
    // taken and the user wants to change it. takenHere names numbers the caller has already
    // claimed; nr is the trimmed answer on Chosen; Failed when the table could not be read.
    static NumberAnswer AskNewNumber(IModLagerDBServerObj &db, const QString &proposal, QString &nr,
                                     const std::function<bool(const QString &)> &takenHere = {});

private:
    // Asks for a number that does not exist yet; empty when the user gave up.
    QString askNewNumber(const QString &proposal);
    // Refreshes and reads the article; says so when it is gone.
    bool readCurrent(const QString &nr, TLagerServerObj &record);
    // Shows the window for a new article until it is cancelled or names a free number.
    bool editNewArticle(TLagerServerObj &record);
    // Whether the row under the record's number is still the one this command wrote: another
    // workstation may have created the same number between our check and our write.
    bool stillOurs(const TLagerServerObj &record);

    IModLagerDBServerObj &m_db;
    QString m_stockDir;
    QString m_userFullName;
    Hooks m_hooks;
};
