#pragma once

// TDBXMLCoreObject is the base of every business object that is kept as UTF-16 XML text
// (articles, orders, addresses, configurations, forms, layouts, labels).
//
// Reading: a load (LoadFromXMLText, LoadFromFile, LoadFromStream, LoadFromStreamPart) first
// calls Clear(), then feeds the text to expat and routes its events to the subclass:
//   StartElement(name, attributes)  - set CurrentElement = name; read the attributes you know
//                                     (attributes.Float("gew", 0), .Value("key"), ...: absent
//                                     ones give the default); for elements that carry text
//                                     call ResetCharacters().
//   Characters(piece)               - one element's text may come in several pieces: while
//                                     CurrentElement is an element whose text you want, call
//                                     AppendCharacters(piece). The piece lives only for the
//                                     call.
//   EndElement(name)                - take CharacterText() for that element and clear
//                                     CurrentElement.
// Unknown elements and attributes are simply ignored. Malformed XML is reported with line and
// column (HasError()/ErrorText()) and the object keeps what was read up to the error. A handler
// may throw EXMLCancelException to end a load quietly; any other exception ends it with the
// report "XML-Analysefehler.". Loads never throw.
//
// Writing: WriteXML(complete, indent) appends the object's lines to the output buffer with
// Write/WriteLine/WriteFmtLine (or AppendEncodedXMLText(Output(), ...) for large texts);
// every line starts with indent and ends with CR LF (WriteLine adds it). Texts go through
// EncodeXMLText, numbers through floatToText, booleans as "-1"/"0". GetXMLText/SaveToFile/
// SaveToStream wrap the lines into a document (U+FEFF, the XML declaration, CR LF);
// GetXMLFragment returns the lines alone, e.g. to embed them in a bigger document.
// Saving throws EStreamError when the file or stream cannot be written.

#include "persistence/money.h"
#include "persistence/xml/dbxmlwidestringstream.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <exception>
#include <memory>

class QIODevice;

// Thrown by a reading handler to stop a load without any message.
class EXMLCancelException : public std::exception
{
public:
    const char *what() const noexcept override { return "XML load cancelled"; }
};

// The attributes of one element start, as expat hands them over. Values are converted only when
// asked for; the numeric getters read the raw text without building a QString.
class TXMLAttributes
{
public:
    explicit TXMLAttributes(const char *const *attributes) : m_attributes(attributes) {}

    qsizetype Count() const;
    QString NameAt(qsizetype index) const;
    QString ValueAt(qsizetype index) const;

    bool Has(const char *name) const { return Find(name) != nullptr; }
    // Empty when absent.
    QString Value(const char *name) const;
    // false (and value untouched) when absent.
    bool Get(const char *name, QString &value) const;
    // The tolerant conversions of persistence/conversions.h; def when absent or unparsable.
    double Float(const char *name, double def) const;
    Money Curr(const char *name, Money def) const;
    int Int(const char *name, int def) const;
    bool Bool(const char *name, bool def) const;

private:
    const char *Find(const char *name) const;
    const char *const *m_attributes;
};

class TDBXMLCoreObject
{
public:
    TDBXMLCoreObject();
    virtual ~TDBXMLCoreObject();
    // Copies carry the subclass's fields only; parser, buffers and error state stay with
    // each object (a copy starts without them).
    TDBXMLCoreObject(const TDBXMLCoreObject &);
    TDBXMLCoreObject &operator=(const TDBXMLCoreObject &);

    virtual void StartElement(const QString &name, const TXMLAttributes &attributes) = 0;
    virtual void Characters(QStringView text) = 0;
    virtual void EndElement(const QString &name) = 0;
    // Back to the default state; every load starts here.
    virtual void Clear() = 0;
    virtual void WriteXML(bool complete, const QString &indent) = 0;

    // A missing file leaves the object cleared without a message.
    virtual void LoadFromFile(const QString &fileName);
    virtual void SaveToFile(const QString &fileName);
    // Parses the whole stream from its beginning; a null or empty stream only clears.
    virtual void LoadFromStream(QIODevice *stream);
    // Writes the document at the stream's position.
    virtual void SaveToStream(QIODevice *stream);

    // false for an empty text or when the parse ended in an exception.
    bool LoadFromXMLText(QStringView text);
    // Parses byteCount bytes from the stream's position; false when the parse ended in an
    // exception.
    bool LoadFromStreamPart(QIODevice *stream, qint64 byteCount);

    // The document: U+FEFF, the declaration and WriteXML(complete, "").
    void GetXMLText(bool complete, QString &text);
    QString GetXMLText(bool complete);
    // WriteXML's lines alone.
    void GetXMLFragment(bool complete, const QString &indent, QString &text);
    QString GetXMLFragment(bool complete, const QString &indent);

    void Write(QStringView text);
    void WriteLine(QStringView text = {});
    // %s / %d placeholders filled in order with the arguments.
    void WriteFmt(const QString &format, const QStringList &args);
    void WriteFmtLine(const QString &format, const QStringList &args);
    // The output buffer itself, for writers that append many pieces.
    QString &Output() { return m_output; }

    bool HasError() const { return m_error; }
    const QString &ErrorText() const { return m_errorText; }
    // Set while a file is parsed.
    const QString &SourceFileName() const { return m_sourceFileName; }
    // The class name shown in parse reports; the dynamic type's name by default.
    virtual QString ClassName() const;

    // Deeper element nesting is treated as a malformed document.
    static constexpr int kMaxElementDepth = 10000;

protected:
    // Set by StartElement, cleared by EndElement; cleared when a parse starts.
    QString CurrentElement;

    // The element text collected so far (kept memory, see ResetCharacters).
    TDBXMLWideStringStream &CharBuffer();
    void ResetCharacters();
    void AppendCharacters(QStringView text);
    QString CharacterText() const;

private:
    class Parser;
    friend class Parser;

    void BeginParse();
    // Runs a parse and deals with everything that escapes it; false after an exception.
    bool RunParse(QIODevice *device, const char *bytes, qint64 size, const char *encoding,
                  bool reportFileName);
    void BuildDocument(bool complete);
    void ResetOutput();
    void ParserError(const QString &message, qint64 line, qint64 column, bool fatal);

    QString m_output;
    std::unique_ptr<Parser> m_parser;
    std::unique_ptr<TDBXMLWideStringStream> m_charBuffer;
    QString m_sourceFileName;
    QString m_errorText;
    bool m_error = false;
};
