// The XML base class through a small record that uses it the way the business records do:
// attributes of every value kind, element text, a repeated element with a list behind it.
#include "base/formatsettings.h"
#include "base/messages.h"
#include "persistence/conversions.h"
#include "persistence/xml/dbxmlcoreobject.h"
#include "persistence/xml/doublestring.h"
#include "persistence/xml/xmltext.h"
#include "tests/support/documents.h"
#include "tests/support/scriptedinteraction.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace
{

struct TestRecordFields {
    QString Name;
    Money Price;
    double Quantity = 0;
    bool Locked = false;
    int Count = 1;
    QString Note;
    TDoubleStringListObjectList Items;
};

class TTestRecord : public TDBXMLCoreObject, public TestRecordFields
{
public:
    // Throws from StartElement when that element comes, to exercise the failure paths.
    QString ThrowAt;
    bool Cancel = false;

    void StartElement(const QString &name, const TXMLAttributes &a) override
    {
        CurrentElement = name;
        if (name == ThrowAt) {
            if (Cancel)
                throw EXMLCancelException();
            throw std::runtime_error("handler failed");
        }
        if (name == u"rec") {
            Name = a.Value("name");
            Price = a.Curr("price", Money());
            Quantity = a.Float("qty", 0);
            Locked = a.Bool("locked", false);
            Count = a.Int("count", 1);
        } else if (name == u"note") {
            ResetCharacters();
        } else if (name == u"item") {
            Items.Add(a.Value("key"), QString());
            ResetCharacters();
        }
    }
    void Characters(QStringView text) override
    {
        if (CurrentElement == u"note" || CurrentElement == u"item")
            AppendCharacters(text);
    }
    void EndElement(const QString &name) override
    {
        if (name == u"note")
            Note = CharacterText();
        else if (name == u"item" && Items.Last())
            Items.Last()->Value = CharacterText();
        CurrentElement.clear();
    }
    void Clear() override { static_cast<TestRecordFields &>(*this) = {}; }
    void WriteXML(bool complete, const QString &indent) override
    {
        WriteFmtLine(indent + u"<rec name=\"%s\" price=\"%s\" qty=\"%s\" locked=\"%s\">"_s,
                     {EncodeXMLText(Name), floatToText(Price.toDouble()), floatToText(Quantity),
                      Locked ? u"-1"_s : u"0"_s});
        if (complete && !Note.isEmpty())
            WriteLine(indent + u"  <note>"_s + EncodeXMLText(Note) + u"</note>"_s);
        for (const TDoubleString &item : Items)
            WriteFmtLine(indent + u"  <item key=\"%s\">%s</item>"_s,
                         {EncodeXMLText(item.Key), EncodeXMLText(item.Value)});
        WriteLine(indent + u"</rec>"_s);
    }
};

void fillSample(TTestRecord &r)
{
    r.Name = u"Rohr <DN 15> & \"Bogen\" 'verzinkt'"_s;
    r.Price = Money::fromRaw(123456); // 12,3456
    r.Quantity = 2.5;
    r.Locked = true;
    r.Note = u"Zeile 1\r\nZeile 2 \u00e4\u00f6\u00fc\u00df \U0001F527"_s;
    r.Items.Add(u"img"_s, u"a.png"_s);
    r.Items.Add(QString(), u"b&c.png"_s);
}

using TestDocuments::utf16File;

// The sample as a file holds it: every character that needs escaping, CR LF in the note.
const QString kGolden =
    QString::fromUtf8(TestDocuments::golden("persistence", "xmlcore_record.xml"))
        .replace(u"\n"_s, u"\r\n"_s);

// Collects what is reported instead of showing it.
class ReportCatcher
{
public:
    ReportCatcher() : m_scope(&ui) { Messages::setProtocolEnabled(true); }
    ~ReportCatcher() { Messages::setProtocolEnabled(false); }
    const QList<TProtocolEventItem> &reports() const { return Messages::protocol(); }
    ScriptedInteraction ui;

private:
    ScopedInteraction m_scope;
};

} // namespace

TEST(XMLCoreDocument, FileTextFragmentAndStreamsWriteAndReadTheSameDocument)
{
    TTestRecord r;
    fillSample(r);
    const QString text = r.GetXMLText(true);
    EXPECT_EQ(text, QChar(0xFEFF) + kGolden);
    QTemporaryDir dir;
    const QString file = dir.filePath(u"rec.xml"_s);
    r.SaveToFile(file);
    EXPECT_EQ(TestDocuments::fileBytes(file), utf16File(kGolden));
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    r.SaveToStream(&stream);
    EXPECT_EQ(stream.data(), TestDocuments::fileBytes(file));
    const QString fragment = r.GetXMLFragment(true, u"\t"_s);
    EXPECT_FALSE(fragment.startsWith(QChar(0xFEFF)) || fragment.contains(u"<?xml"_s));
    for (const QString &line : fragment.split(u"\r\n"_s, Qt::SkipEmptyParts))
        EXPECT_TRUE(line.startsWith(u'\t')) << qPrintable(line);
    // A document in the middle of a stream: only the given bytes are parsed.
    QBuffer parts;
    parts.open(QIODevice::ReadWrite);
    const QByteArray doc = TestDocuments::utf16(text);
    parts.write("JUNK" + doc + "<<more junk");
    parts.seek(4);

    TTestRecord fromFile, fromText, fromFragment, fromStream, fromPart;
    fromFile.Items.Add(u"stale"_s, u"from before"_s);
    fromFile.LoadFromFile(file);
    EXPECT_TRUE(fromText.LoadFromXMLText(text));
    EXPECT_TRUE(fromFragment.LoadFromXMLText(fragment)); // no mark, no declaration
    fromStream.LoadFromStream(&stream);                  // from the beginning, wherever it stands
    EXPECT_TRUE(fromPart.LoadFromStreamPart(&parts, doc.size()));
    EXPECT_EQ(parts.pos(), 4 + doc.size());
    // The record writes every field it reads: the same document means the same record.
    for (TTestRecord *back : {&fromFile, &fromText, &fromFragment, &fromStream, &fromPart}) {
        EXPECT_FALSE(back->HasError()) << qPrintable(back->ErrorText());
        EXPECT_EQ(back->GetXMLText(true), text);
    }

    // Copies are independent records, and the parse state is not part of the record.
    ReportCatcher catcher;
    fromPart.LoadFromXMLText(u"<rec><note>open"_s);
    ASSERT_TRUE(fromPart.HasError());
    fillSample(fromPart);
    TTestRecord edited = fromPart;
    EXPECT_FALSE(edited.HasError());
    edited.Items[0].Value = u"changed.png"_s;
    EXPECT_NE(fromPart.GetXMLText(true), edited.GetXMLText(true));
}

TEST(XMLCoreDocument, UnknownThingsAreIgnoredAndEveryLoadStartsCleared)
{
    ReportCatcher catcher;
    TTestRecord r;
    const QString doc = u"<rec name=\"x\" price=\"1.234,5 EUR\" qty=\"kaputt\" extra=\"?\">"
                        u"<unknown a=\"1\"><item key=\"deep\">inside unknown</item></unknown>"
                        u"<note>a<![CDATA[<b>]]>c&amp;d</note></rec>"_s;
    EXPECT_TRUE(r.LoadFromXMLText(doc));
    EXPECT_EQ(r.Price.raw(), 12345000);
    EXPECT_EQ(r.Quantity, 0); // unparsable: the default
    EXPECT_EQ(r.Count, 1);    // absent: the default
    EXPECT_EQ(r.Note, u"a<b>c&d"_s);
    ASSERT_EQ(r.Items.Count(), 1);

    // Empty input, no stream and a missing file clear the record without a message.
    QBuffer empty;
    empty.open(QIODevice::ReadOnly);
    QTemporaryDir dir;
    const std::function<void()> loads[] = {
        [&] { EXPECT_FALSE(r.LoadFromXMLText(QString())); }, [&] { r.LoadFromStream(&empty); },
        [&] { r.LoadFromStream(nullptr); }, [&] { r.LoadFromFile(dir.filePath(u"none.xml"_s)); }};
    for (const auto &load : loads) {
        fillSample(r);
        load();
        EXPECT_TRUE(r.Name.isEmpty());
        EXPECT_EQ(r.Items.Count(), 0);
    }
    EXPECT_FALSE(r.HasError());
    EXPECT_TRUE(catcher.reports().isEmpty());
}

TEST(XMLCoreErrors, MalformedFileKeepsWhatWasReadAndReportsLineAndColumn)
{
    ReportCatcher catcher;
    QTemporaryDir dir;
    const QString file = dir.filePath(u"broken.xml"_s);
    // The second element is not closed.
    ASSERT_TRUE(
        TestDocuments::writeFile(file, utf16File(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
                                                 u"<rec name=\"first\" price=\"3,5\">\r\n"
                                                 u"  <item key=\"k\">v</item>\r\n"
                                                 u"  <note>open\r\n"
                                                 u"</rec>\r\n"_s)));
    TTestRecord r;
    r.LoadFromFile(file);
    EXPECT_EQ(r.Price.raw(), 35000);
    ASSERT_EQ(r.Items.Count(), 1);
    EXPECT_EQ(r.Items[0].Value, u"v"_s);
    EXPECT_TRUE(r.HasError());
    // expat stops at the mismatched end tag </rec>: line 5, the first column.
    EXPECT_TRUE(r.ErrorText().contains(u" Line 5 Column 3"_s)) << qPrintable(r.ErrorText());
    EXPECT_TRUE(r.ErrorText().endsWith(u"\nTTestRecord "_s + file)) << qPrintable(r.ErrorText());
    ASSERT_EQ(catcher.reports().size(), 1);
    EXPECT_EQ(catcher.reports()[0].kind, MessageKind::FatalError);
    EXPECT_EQ(catcher.reports()[0].text, r.ErrorText());

    // The next load starts without the old error; texts carry no file name.
    EXPECT_TRUE(r.LoadFromXMLText(u"<rec name=\"ok\"/>"_s));
    EXPECT_FALSE(r.HasError() || !r.ErrorText().isEmpty());
    r.LoadFromXMLText(u"<rec>\n<item>"_s);
    EXPECT_TRUE(r.ErrorText().endsWith(u"\nTTestRecord "_s)) << qPrintable(r.ErrorText());
}

TEST(XMLCoreErrors, HandlerExceptionIsReportedAndCancelIsQuiet)
{
    const QString doc = u"<rec name=\"before\"><item key=\"a\">1</item>"
                        u"<item key=\"b\">2</item><note>x</note></rec>"_s;
    QTemporaryDir dir;
    const QString file = dir.filePath(u"rec.xml"_s);
    ASSERT_TRUE(TestDocuments::writeFile(file, utf16File(doc)));
    {
        ReportCatcher catcher;
        TTestRecord r;
        r.ThrowAt = u"note"_s;
        EXPECT_FALSE(r.LoadFromXMLText(doc));
        EXPECT_EQ(r.Items.Count(), 2);
        EXPECT_TRUE(r.Note.isEmpty());
        EXPECT_FALSE(r.HasError()); // not a parse error
        r.LoadFromFile(file);
        ASSERT_EQ(catcher.reports().size(), 2);
        EXPECT_EQ(catcher.reports()[0].kind, MessageKind::Error);
        EXPECT_EQ(catcher.reports()[0].text, u"XML-Analysefehler.\nTTestRecord"_s);
        EXPECT_EQ(catcher.reports()[1].text, u"XML-Analysefehler.\nTTestRecord\n"_s + file);
        // The exception's class and message travel with the report.
        EXPECT_TRUE(catcher.ui.messages[0].text.contains(u"std::runtime_error"_s));
        EXPECT_TRUE(catcher.ui.messages[0].text.contains(u"handler failed"_s));
    }
    ReportCatcher catcher;
    TTestRecord r;
    r.ThrowAt = u"item"_s;
    r.Cancel = true;
    EXPECT_FALSE(r.LoadFromXMLText(doc));
    EXPECT_EQ(r.Name, u"before"_s);
    EXPECT_EQ(r.Items.Count(), 0);
    EXPECT_TRUE(catcher.reports().isEmpty());
    // The parser is usable again after a stop.
    r.ThrowAt.clear();
    EXPECT_TRUE(r.LoadFromXMLText(doc));
    EXPECT_EQ(r.Items.Count(), 2);
}

// Input that is not what a writer of ours produces must end in a report, never in a crash,
// and must leave the record cleared or partly read.
TEST(XMLCoreBadInput, TruncatedForeignAndWronglyEncodedInput)
{
    ReportCatcher catcher;
    const QByteArray doc = utf16File(kGolden);
    TTestRecord r;
    // Cut documents, an odd number of bytes, foreign files and UTF-8 bytes that claim to be
    // UTF-16.
    for (const QByteArray &junk :
         {doc.left(1), doc.left(2), doc.left(7), doc.left(doc.size() / 2),
          doc.left(doc.size() / 2 + 1), doc.left(doc.size() - 3),
          utf16File(u"<rec name=\"x\"/>"_s) + QByteArray(" "),
          QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), QByteArray("no xml at all"),
          QByteArray(1000, '\0'), QByteArray("\xFF\xFE", 2), QByteArray("\xFE\xFF\0<\0r", 6),
          QByteArray("<?xml version=\"1.0\" encoding=\"UTF-16\"?><rec name=\"x\"/>")}) {
        TestDocuments::read(r, junk);
        EXPECT_TRUE(r.HasError()) << junk.toHex().constData();
    }
    // Lone surrogates are not characters.
    r.LoadFromXMLText(u"<rec name=\""_s + QChar(0xD800) + u"\"/>"_s);
    EXPECT_TRUE(r.HasError());
    // Exponential entity expansion is refused by the parser, not followed.
    QString laughs = u"<!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\">"_s;
    for (char16_t c = u'b'; c <= u'j'; ++c)
        laughs += u"<!ENTITY %1 \"%2\">"_s.arg(QChar(c), u"&%1;"_s.arg(QChar(c - 1)).repeated(10));
    laughs += u"]><rec><note>&j;</note></rec>"_s;
    r.LoadFromXMLText(laughs);
    EXPECT_TRUE(r.HasError());
    EXPECT_TRUE(r.Note.isEmpty());
    EXPECT_FALSE(catcher.reports().isEmpty());
}

TEST(XMLCoreBadInput, HugeNumbersAndDeepNesting)
{
    ReportCatcher catcher;
    TTestRecord r;
    // A number attribute of a million digits falls back to the default.
    EXPECT_TRUE(r.LoadFromXMLText(u"<rec price=\""_s + QString(1000000, u'9') + u"\" qty=\""_s +
                                  QString(1000000, u'9') + u"\" count=\""_s + QString(100, u'9') +
                                  u"\"/>"_s));
    EXPECT_EQ(r.Price, Money());
    EXPECT_EQ(r.Quantity, 0);
    EXPECT_EQ(r.Count, 1);

    // Nesting as deep as anything real, and far beyond.
    const auto nested = [](int depth) {
        return u"<rec name=\"n\">"_s + u"<u>"_s.repeated(depth) + u"<item key=\"k\">v</item>"_s +
               u"</u>"_s.repeated(depth) + u"</rec>"_s;
    };
    EXPECT_TRUE(r.LoadFromXMLText(nested(1000)));
    EXPECT_EQ(r.Items.Count(), 1);
    EXPECT_TRUE(catcher.reports().isEmpty());

    r.LoadFromXMLText(nested(200000));
    EXPECT_TRUE(r.HasError());
    EXPECT_TRUE(r.ErrorText().startsWith(u"elements nested too deeply Line 1"_s))
        << qPrintable(r.ErrorText().left(200));
    EXPECT_EQ(r.Name, u"n"_s);
    EXPECT_EQ(r.Items.Count(), 0);
    EXPECT_EQ(catcher.reports().size(), 1);
}

// Damaged documents from a fixed seed: whatever the damage, a load ends (with or without a
// report) and the record stays usable. Run under the sanitizers this finds memory faults.
TEST(XMLCoreBadInput, RandomDamageNeverCrashes)
{
    ReportCatcher catcher;
    const QByteArray doc = utf16File(kGolden);
    QRandomGenerator random(4711);
    TTestRecord r;
    int failed = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray damaged = doc;
        const int edits = 1 + random.bounded(4);
        for (int e = 0; e < edits; ++e) {
            const int at = random.bounded(int(damaged.size())), kind = random.bounded(3);
            if (kind == 0)
                damaged[at] = char(random.bounded(256));
            else if (kind == 1)
                damaged.remove(at, 1 + random.bounded(8));
            else
                damaged.insert(at, damaged.mid(random.bounded(int(damaged.size())), 6));
        }
        TestDocuments::read(r, damaged);
        failed += r.HasError() ? 1 : 0;
    }
    EXPECT_GT(failed, 1000);
    EXPECT_TRUE(r.LoadFromXMLText(kGolden));
    EXPECT_EQ(r.GetXMLText(true), QChar(0xFEFF) + kGolden);
}

TEST(XMLCoreBadInput, Utf16WithoutMarkAndTextPiecesAcrossChunks)
{
    // No byte-order mark, leading blanks: still recognised as UTF-16.
    TTestRecord r;
    TestDocuments::read(r, TestDocuments::utf16(u"  \r\n<rec name=\"ohne BOM\"/>"_s));
    EXPECT_FALSE(r.HasError()) << qPrintable(r.ErrorText());
    EXPECT_EQ(r.Name, u"ohne BOM"_s);

    // A text longer than the stream reader's chunks, with characters split across them.
    QString note;
    for (int i = 0; i < 50000; ++i)
        note += u"\u00e4&<\U0001F527"_s;
    TTestRecord w;
    w.Note = note;
    QBuffer big;
    big.open(QIODevice::ReadWrite);
    w.SaveToStream(&big);
    r.LoadFromStream(&big);
    EXPECT_FALSE(r.HasError()) << qPrintable(r.ErrorText());
    EXPECT_EQ(r.Note, note);
}
