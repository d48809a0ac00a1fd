#pragma once

#include "printing/printarealayout.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class TDBXMLCoreWriter;
class TLayoutsetManager;

// What a value callback hands back for one variable of a row.
struct TPrintValue {
    QString Text;
    bool Boolean = false;
    double Amount = 0;
    qint64 Integer = 0;
    QString ImagePath;
    bool StretchImage = false;
    QString RichText; // QTextDocument HTML, the way the article texts are stored
    QString RichTextParam;
};

// The kinds a value callback returns; only the low 7 bits count.
enum TPrintValueKind {
    pvNone = 0,
    pvText = 1,
    pvBoolean = 2,
    pvAmount = 3,
    pvInteger = 4,
    pvTextWithPicture = 5,
    pvRichText = 6,
    pvImage = 8, // also ends the row's evaluation
    pvFurther = 9,
};

using TPrintValueCallback = std::function<int(const QString &variable, TPrintValue &value)>;

// One area of the job: a copy of its layout, found by target and instance number.
struct TPrintAreaInstance {
    TPrintAreaLayout Layout;
    QString Target;
    int Instance = 0;
    TPrintValueCallback Values;
};

// One list print: reads the layouts of a layout set and writes the print document that
// MOD00003 renders. Created, fed, closed and freed by its caller.
class TPrintAreaLayoutsCore
{
public:
    // Null when the set does not exist. Missing header or area layouts are reported and
    // left out; the job is still made.
    static std::unique_ptr<TPrintAreaLayoutsCore> Create(const TLayoutsetManager &manager,
                                                         const QString &formsDir,
                                                         const QString &target,
                                                         const QString &layoutsetName);
    ~TPrintAreaLayoutsCore();

    static TPrintAreaInstance *FindArea(std::vector<TPrintAreaInstance> &areas,
                                        const QString &target, int instance = 0);
    static void SetValueCallback(TPrintAreaInstance &area, TPrintValueCallback callback);

    // Keys repeat when set twice; the print program shows what it is given.
    void SetPageParameter(const QString &key, const QString &value);

    // false (reported) when the document cannot be created; nothing is written then.
    bool OpenDocument(const QString &fileName);
    void WriteHead();
    void WritePageSet();
    // Appends "$Datum$" and "$Uhrzeit$" from the job's date first.
    void WritePageParameters();
    void WritePageNumber(const QString &number);
    void SetPrintAreaHeader(bool enabled);
    void OutputArea(const TPrintAreaInstance &area, bool newPage = false);
    void WriteSeparatorLine();
    // false when any line could not be written (reported once).
    bool CloseDocument();
    const QString &DocumentFileName() const { return m_documentFileName; }

    // Starts the print program on the closed document; reports and returns false on failure.
    bool StartPrintProgram(const QString &programPath, const QString &extraArgument,
                           int mode) const;

    QString DocType, Title, PdfFileName, PdfDirectory;
    int UsedFormFile = 0;
    QString Form1, Form2;
    double PrintDateTime = 0;
    QString UserName, UserFullName;
    QString FormsDir;
    std::vector<std::pair<QString, QString>> PageParameters;
    std::optional<TPrintColumnLayout> HeaderLayout;
    std::vector<TPrintAreaInstance> Head, Main, Foot;
    bool PrintAreaHeader = false;

    std::function<int(const QString &target)> TargetCounter;
    // Question text and preset answer; returns the answer.
    std::function<bool(const QString &question, bool preset)> Question;
    // Kept for layouts that use "multiple"; rows are printed once either way.
    std::function<int(const QString &target)> Multiple;
    // Renders %m; the suite's money format when not set.
    std::function<QString(double)> FormatMoney;

private:
    TPrintAreaLayoutsCore() = default;
    void Line(int level, QStringView text);
    void Flush();
    // Appends the row's element; false when the row is left out.
    bool RowElement(QString &out, const TPrintAreaInstance &area,
                    const TPrintAreaRowLayout &row) const;
    const QStringList &Names(const QString &list) const;

    static constexpr qsizetype kFlushChars = 32 * 1024;
    std::unique_ptr<TDBXMLCoreWriter> m_writer;
    QString m_pending, m_line;
    mutable QHash<QString, QStringList> m_names;
    QString m_documentFileName;
    bool m_writeFailed = false;
};

// The print program's arguments as the suite's programs expect them: extra argument (the
// client), user, document, mode digit and "-CONTAINER" for documents in a container.
QStringList PrintProgramArguments(const QString &extraArgument, const QString &user,
                                  const QString &document, int mode);
// Starts the print program on a closed document; reports and returns false on failure.
bool StartPrintProgram(const QString &programPath, const QString &extraArgument,
                       const QString &user, const QString &document, int mode);
