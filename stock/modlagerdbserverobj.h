#pragma once

#include "persistence/databasewrapper.h"

#include <QLatin1StringView>
#include <QString>
#include <QStringList>
#include <memory>

#include "stock/lagerbuchung.h"

class TDBLagerSearchResult;
class TDBLagerSearchResultObjectList;
class TLagerServerObj;
class TSeriennummerObjectList;
class TTableAppender;
class TTdbTable;
struct TSeriennummer;

// The stock database: the article table LAGER and the serial-number table LAGERSN, the mapping
// of their rows to article and serial records, and the search behind the stock list.
//
// The current row of LAGER is shared by every caller. ReadArticle, GotoArticle,
// Get/SetArticleValue, DeleteArticle and LoadDetails leave it on the article they found;
// WriteArticle and ArticleExists put it back where it was. Engine failures never leave the
// store: operations return the code they held when the failure came.
class IModLagerDBServerObj : public TDatabaseWrapper
{
public:
    static constexpr QLatin1StringView kLagerTable{"LAGER"};
    static constexpr QLatin1StringView kSerialTable{"LAGERSN"};
    static constexpr QLatin1StringView kArticleIndex{"001"};
    static constexpr QLatin1StringView kSerialIndex{"001SN"};
    static constexpr QLatin1StringView kSerialByArticleIndex{"002SN"};
    // The booking history; its file is attached to the connection of LAGER, so that an
    // article, its serial numbers and its history row commit together.
    static constexpr QLatin1StringView kBookingTable{"LAGERBUCH"};
    static constexpr QLatin1StringView kBookingIndex{"001BU"};

    explicit IModLagerDBServerObj(ErrorCallback onError = {});
    ~IModLagerDBServerObj() override;

    QString ClassName() const override { return QStringLiteral("IModLagerDBServerObj"); }

    TTdbTable &LagerTable() const { return *m_lager; }
    TTdbTable &SerialTable() const { return *m_serials; }
    TTdbTable &BookingTable() const { return *m_bookings; }

    // Row mapping; the row must be in edit or insert state for the writers. The record builds
    // its XML text in its own buffer, hence not const.
    void WriteRow(TLagerServerObj &record);
    void ReadRow(TLagerServerObj &record);
    void WriteSerialRow(const TSeriennummer &serial);
    void ReadSerialRow(TSeriennummer &serial);

    // 0 read; -2 not found; -1 no record, empty number, empty table or failure.
    int ReadArticle(TLagerServerObj *record);
    // 0 written (edited or appended); -1 no record or failure.
    int WriteArticle(TLagerServerObj *record);
    // 1 when a row has exactly this number. Leaves "001" as the current index.
    int ArticleExists(const QString &nr);
    // 0 deleted; -1 otherwise.
    int DeleteArticle(const QString &nr);
    // 0 when the article's row is now current; -1 otherwise.
    int GotoArticle(const QString &nr);
    QString CurrentArticleNr();
    int ArticleCount();
    // The column of the article's row as a float; 0 for an empty or unknown number.
    double GetArticleValue(const QString &nr, const QString &column);
    void SetArticleValue(const QString &nr, const QString &column, double value);
    // Sets one text column of the article's row and nothing else: the XML text and the change
    // stamp stay as they are. 0 set; -2 no such article; -1 empty number or failure (reported).
    // Leaves the current row where it was, possibly with its old values until it moves.
    int SetArticleText(const QString &nr, const QString &column, const QString &value);
    void SetArticleIndex(const QString &indexName);
    void SetSerialIndex(const QString &indexName);
    void RestoreIndexes();
    QString ArticleIndexName() const { return m_lagerIndex; }
    QString SerialIndexName() const { return m_serialIndex; }

    // Serial numbers are identified by (SN, LagerArtikelNr).
    int ReadSerial(TSeriennummer *serial);
    int WriteSerial(const TSeriennummer *serial);
    int ReadSerials(TSeriennummerObjectList &list);
    int WriteSerials(const TSeriennummerObjectList &list);
    int DeleteSerial(const QString &sn, const QString &nr);
    int DeleteSerials(const TSeriennummerObjectList &list);
    // Limits LAGERSN to the article's rows until the next call or until the caller removes it.
    int FilterSerials(const QString &nr);
    void SerialsOfArticle(const QString &nr, QStringList &list);
    int SerialCount();
    int FindNearestSerial(const QString &sn);

    // A change of booked stock: the new serial numbers, the removed ones, the article and its
    // history row in one transaction, so that a failure or a crash leaves all of them as
    // they were. 0 booked; -1 nothing booked (reported).
    int BookArticle(TLagerServerObj &article, const TLagerBuchung &row,
                    const TSeriennummerObjectList *added = nullptr,
                    const TSeriennummerObjectList *removed = nullptr);
    // The same for several changes booked at once (lines of one order), one row each.
    int BookArticle(TLagerServerObj &article, const TLagerBuchungList &rows,
                    const TSeriennummerObjectList *added = nullptr);
    // Appends one history row; callers that write the article themselves do so in the
    // same database transaction. 0 appended; -1 failed.
    int AppendBooking(const TLagerBuchung &row);
    // Writes of a bulk loop under the database lock (the whole-catalog import): new articles
    // and history rows go in through one prepared insert each. Lives inside the loop's
    // transaction, which the caller holds; the store must stay open while it lives.
    class BulkWriter
    {
    public:
        explicit BulkWriter(IModLagerDBServerObj &db);
        ~BulkWriter();
        BulkWriter(const BulkWriter &) = delete;
        BulkWriter &operator=(const BulkWriter &) = delete;

        // WriteArticle with one look-up per article, which also tells the stock the row held
        // before (0 for a new one), and none when the caller knows the number is new. The
        // cursor of LAGER is left anywhere. 0 written; -1 failure (reported).
        int ReplaceArticle(TLagerServerObj &record, double &stockBefore, bool mayExist = true);
        // AppendBooking. 0 appended; -1 failed (reported).
        int AppendBooking(const TLagerBuchung &row);

    private:
        IModLagerDBServerObj &m_db;
        std::unique_ptr<TTableAppender> m_articles;
        std::unique_ptr<TTableAppender> m_bookings;
    };

    // The article's history, oldest first. 0 read (also when there is none); -1 failed.
    int ReadBookings(const QString &nr, TLagerBuchungList &rows);

    // Fills result with one undetailed entry per matching row of LAGER, in the current index
    // order. Only the description is searched; see TLagerSearchMatcher for the word rules.
    void Search(const QString &text, const QString &group, TDBLagerSearchResultObjectList &result,
                bool withoutNotStockArticles, bool onlyStockTakingArticles);
    // Makes the entry's article current and fills the entry's details; false when the article
    // is gone or the table failed.
    bool LoadDetails(TDBLagerSearchResult &entry);

    // The definitions a freshly created table gets; public for tools that build tables.
    static void DefineLagerTable(TTdbTable &table);
    static void DefineSerialTable(TTdbTable &table);
    static void DefineBookingTable(TTdbTable &table);

protected:
    void DefineTable(TTdbTable &table) override;
    void CreateTableObjects() override;
    void SelectIndexes() override;
    void UpgradeTable() override;

private:
    int bookArticle(TLagerServerObj &article, const TLagerBuchungList &rows,
                    const TSeriennummerObjectList *added, const TSeriennummerObjectList *removed);
    bool isLagerEmpty();
    // Positions LAGER on the row with exactly this number, whatever the current index.
    bool locateArticle(const QString &nr);
    bool locateSerial(const QString &sn, const QString &nr);
    void searchByCursor(const QString &text, const QString &group,
                        TDBLagerSearchResultObjectList &result, bool withoutNotStockArticles,
                        bool onlyStockTakingArticles);

    TTdbTable *m_lager = nullptr;
    TTdbTable *m_serials = nullptr;
    TTdbTable *m_bookings = nullptr;
    QString m_lagerIndex;
    QString m_serialIndex;
};
