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
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace
{

class TTestRecord : public TDBXMLCoreObject
{
public:
    TTestRecord() { TTestRecord::Clear(); }

    QString Name;
    Money Price;
    double Quantity = 0;
    bool Locked = false;
    int Count = 1;
    QString Note;
    TDoubleStringListObjectList Items;
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
    void Clear() override
    {
        Name.clear();
        Price = Money();
        Quantity = 0;
        Locked = false;
        Count = 1;
        Note.clear();
        Items.Clear();
    }
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
QByteArray utf16Bytes(const QString &text)
{
    return TestDocuments::utf16(text);
}

void expectSameRecord(const TTestRecord &a, const TTestRecord &b)
{
    EXPECT_EQ(a.Name, b.Name);
    EXPECT_EQ(a.Price, b.Price);
    EXPECT_DOUBLE_EQ(a.Quantity, b.Quantity);
    EXPECT_EQ(a.Locked, b.Locked);
    EXPECT_EQ(a.Note, b.Note);
    ASSERT_EQ(a.Items.Count(), b.Items.Count());
    for (qsizetype i = 0; i < a.Items.Count(); ++i) {
        EXPECT_EQ(a.Items[i].Key, b.Items[i].Key);
        EXPECT_EQ(a.Items[i].Value, b.Items[i].Value);
    }
}

const QString kGolden =
    u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
    u"<rec name=\"Rohr &lt;DN 15&gt; &amp; &quot;Bogen&quot; &apos;verzinkt&apos;\" "
    u"price=\"12,3456\" qty=\"2,5\" locked=\"-1\">\r\n"
    u"  <note>Zeile 1&#13;&#10;Zeile 2 \u00e4\u00f6\u00fc\u00df \U0001F527</note>\r\n"
    u"  <item key=\"img\">a.png</item>\r\n"
    u"  <item key=\"\">b&amp;c.png</item>\r\n"
    u"</rec>\r\n"_s;

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

TEST(XMLCoreDocument, FileIsUtf16LEWithMarkDeclarationAndCrLf)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"rec.xml"_s);
    TTestRecord r;
    fillSample(r);
    r.SaveToFile(file);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_EQ(bytes.left(6), QByteArray("\xFF\xFE<\0?\0", 6));
    EXPECT_EQ(bytes, utf16File(kGolden));

    TTestRecord back;
    back.Items.Add(u"stale"_s, u"from before"_s);
    back.LoadFromFile(file);
    EXPECT_FALSE(back.HasError()) << qPrintable(back.ErrorText());
    expectSameRecord(back, r);
    EXPECT_EQ(back.Price.raw(), 123456);
}

TEST(XMLCoreDocument, TextFragmentStreamsAndCopiesAgree)
{
    TTestRecord r;
    fillSample(r);
    const QString text = r.GetXMLText(true);
    EXPECT_EQ(text, QChar(0xFEFF) + kGolden);
    // The incomplete form is the subclass's business; here it leaves out the note.
    EXPECT_FALSE(r.GetXMLText(false).contains(u"<note>"_s));

    const QString fragment = r.GetXMLFragment(true, u"\t"_s);
    EXPECT_FALSE(fragment.startsWith(QChar(0xFEFF)));
    EXPECT_FALSE(fragment.contains(u"<?xml"_s));
    for (const QString &line : fragment.split(u"\r\n"_s, Qt::SkipEmptyParts))
        EXPECT_TRUE(line.startsWith(u'\t')) << qPrintable(line);

    TTestRecord fromText;
    EXPECT_TRUE(fromText.LoadFromXMLText(text));
    expectSameRecord(fromText, r);
    // A fragment parses as well (no mark, no declaration).
    TTestRecord fromFragment;
    EXPECT_TRUE(fromFragment.LoadFromXMLText(fragment));
    expectSameRecord(fromFragment, r);

    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    r.SaveToStream(&stream);
    EXPECT_EQ(stream.data(), utf16File(kGolden));
    TTestRecord fromStream;
    fromStream.LoadFromStream(&stream); // from the beginning, whatever the position
    expectSameRecord(fromStream, r);

    // A document in the middle of a stream: only the given bytes are parsed.
    QBuffer parts;
    parts.open(QIODevice::ReadWrite);
    parts.write("JUNK");
    const QByteArray doc = utf16Bytes(text);
    parts.write(doc);
    parts.write("<<more junk");
    parts.seek(4);
    TTestRecord fromPart;
    EXPECT_TRUE(fromPart.LoadFromStreamPart(&parts, doc.size()));
    EXPECT_FALSE(fromPart.HasError());
    expectSameRecord(fromPart, r);
    EXPECT_EQ(parts.pos(), 4 + doc.size());

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

    EXPECT_TRUE(r.LoadFromXMLText(u"<rec name=\"y\"/>"_s));
    EXPECT_EQ(r.Name, u"y"_s);
    EXPECT_EQ(r.Items.Count(), 0);
    EXPECT_TRUE(r.Note.isEmpty());

    r.Name = u"set"_s;
    EXPECT_FALSE(r.LoadFromXMLText(QString()));
    EXPECT_TRUE(r.Name.isEmpty());

    QBuffer empty;
    empty.open(QIODevice::ReadOnly);
    r.Name = u"set"_s;
    r.LoadFromStream(&empty);
    r.LoadFromStream(nullptr);
    EXPECT_TRUE(r.Name.isEmpty());

    // A missing file clears without a message.
    QTemporaryDir dir;
    fillSample(r);
    r.LoadFromFile(dir.filePath(u"none.xml"_s));
    EXPECT_TRUE(r.Name.isEmpty());
    EXPECT_EQ(r.Items.Count(), 0);
    EXPECT_FALSE(r.HasError());
    EXPECT_TRUE(catcher.reports().isEmpty());
    EXPECT_TRUE(catcher.ui.messages.isEmpty());
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
    EXPECT_EQ(r.Name, u"first"_s);
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
    ASSERT_EQ(catcher.ui.messages.size(), 1);
    EXPECT_EQ(catcher.ui.messages[0].type, MsgDlgType::Error);
    EXPECT_TRUE(r.SourceFileName().isEmpty());

    // The next load starts without the old error; texts carry no file name.
    EXPECT_TRUE(r.LoadFromXMLText(u"<rec name=\"ok\"/>"_s));
    EXPECT_FALSE(r.HasError());
    EXPECT_TRUE(r.ErrorText().isEmpty());
    r.LoadFromXMLText(u"<rec>\n<item>"_s);
    EXPECT_TRUE(r.ErrorText().endsWith(u"\nTTestRecord "_s)) << qPrintable(r.ErrorText());
}

TEST(XMLCoreErrors, HandlerExceptionIsReportedAndCancelIsQuiet)
{
    const QString doc = u"<rec name=\"before\"><item key=\"a\">1</item>"
                        u"<item key=\"b\">2</item><note>x</note></rec>"_s;
    {
        ReportCatcher catcher;
        TTestRecord r;
        r.ThrowAt = u"note"_s;
        EXPECT_FALSE(r.LoadFromXMLText(doc));
        EXPECT_EQ(r.Name, u"before"_s);
        EXPECT_EQ(r.Items.Count(), 2);
        EXPECT_TRUE(r.Note.isEmpty());
        EXPECT_FALSE(r.HasError()); // not a parse error
        ASSERT_EQ(catcher.reports().size(), 1);
        EXPECT_EQ(catcher.reports()[0].kind, MessageKind::Error);
        EXPECT_EQ(catcher.reports()[0].text, u"XML-Analysefehler.\nTTestRecord"_s);
        ASSERT_EQ(catcher.ui.messages.size(), 1);
        // The exception's class and message travel with the report.
        EXPECT_TRUE(catcher.ui.messages[0].text.contains(u"std::runtime_error"_s));
        EXPECT_TRUE(catcher.ui.messages[0].text.contains(u"handler failed"_s));
    }
    {
        ReportCatcher catcher;
        QTemporaryDir dir;
        const QString file = dir.filePath(u"rec.xml"_s);
        TTestRecord w;
        w.LoadFromXMLText(doc);
        w.SaveToFile(file);
        TTestRecord r;
        r.ThrowAt = u"item"_s;
        r.LoadFromFile(file);
        ASSERT_EQ(catcher.reports().size(), 1);
        EXPECT_EQ(catcher.reports()[0].text, u"XML-Analysefehler.\nTTestRecord\n"_s + file);
    }
    {
        ReportCatcher catcher;
        TTestRecord r;
        r.ThrowAt = u"item"_s;
        r.Cancel = true;
        EXPECT_FALSE(r.LoadFromXMLText(doc));
        EXPECT_EQ(r.Name, u"before"_s);
        EXPECT_EQ(r.Items.Count(), 0);
        EXPECT_TRUE(catcher.reports().isEmpty());
        EXPECT_TRUE(catcher.ui.messages.isEmpty());
        // The parser is usable again after a stop.
        r.ThrowAt.clear();
        EXPECT_TRUE(r.LoadFromXMLText(doc));
        EXPECT_EQ(r.Items.Count(), 2);
    }
}

// Input that is not what a writer of ours produces must end in a report, never in a crash,
// and must leave the record cleared or partly read.
TEST(XMLCoreBadInput, TruncatedForeignAndWronglyEncodedInput)
{
    ReportCatcher catcher;
    TTestRecord sample;
    fillSample(sample);
    const QByteArray doc = utf16File(sample.GetXMLText(true).mid(1));
    for (qsizetype cut : {qsizetype(1), qsizetype(2), qsizetype(7), doc.size() / 2,
                          doc.size() / 2 + 1, doc.size() - 3}) {
        TTestRecord r;
        TestDocuments::read(r, doc.left(cut));
        EXPECT_TRUE(r.HasError()) << cut;
    }
    TTestRecord r;
    // Foreign files and UTF-8 bytes that claim to be UTF-16.
    for (const QByteArray &junk :
         {QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), QByteArray("no xml at all"),
          QByteArray(1000, '\0'), QByteArray("\xFF\xFE", 2), QByteArray("\xFE\xFF\0<\0r", 6),
          QByteArray("<?xml version=\"1.0\" encoding=\"UTF-16\"?><rec name=\"x\"/>")}) {
        TestDocuments::read(r, junk);
        EXPECT_TRUE(r.HasError()) << junk.toHex().constData();
        EXPECT_TRUE(r.Name.isEmpty());
    }
    // An odd number of bytes in UTF-16.
    TestDocuments::read(r, utf16File(u"<rec name=\"x\"/>"_s) + QByteArray(" "));
    EXPECT_TRUE(r.HasError());
    // Lone surrogates are not characters.
    r.LoadFromXMLText(u"<rec name=\""_s + QChar(0xD800) + u"\"/>"_s);
    EXPECT_TRUE(r.HasError());
    // Exponential entity expansion is refused by the parser, not followed.
    QString laughs = u"<!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\">"_s;
    for (int i = 1; i < 10; ++i)
        laughs +=
            u"<!ENTITY %1 \"&%2;&%2;&%2;&%2;&%2;&%2;&%2;&%2;&%2;&%2;\">"_s.arg(QChar(u'a' + i))
                .arg(QChar(u'a' + i - 1));
    laughs += u"]><rec><note>&j;</note></rec>"_s;
    r.LoadFromXMLText(laughs);
    EXPECT_TRUE(r.HasError());
    EXPECT_TRUE(r.Note.isEmpty());
    EXPECT_FALSE(catcher.reports().isEmpty());
}

TEST(XMLCoreBadInput, HugeValuesAndDeepNesting)
{
    ReportCatcher catcher;
    TTestRecord r;
    const QString huge(8 * 1024 * 1024, u'x');
    EXPECT_TRUE(
        r.LoadFromXMLText(u"<rec name=\""_s + huge + u"\"><note>"_s + huge + u"</note></rec>"_s));
    EXPECT_EQ(r.Name.size(), huge.size());
    EXPECT_EQ(r.Note.size(), huge.size());
    EXPECT_FALSE(r.HasError());

    // A number attribute of a million digits falls back to the default.
    EXPECT_TRUE(r.LoadFromXMLText(u"<rec price=\""_s + QString(1000000, u'9') + u"\" qty=\""_s +
                                  QString(1000000, u'9') + u"\" count=\""_s + QString(100, u'9') +
                                  u"\"/>"_s));
    EXPECT_EQ(r.Price, Money());
    EXPECT_EQ(r.Quantity, 0);
    EXPECT_EQ(r.Count, 1);

    // Nesting as deep as anything real, and far beyond.
    const auto nested = [](int depth) {
        QString s = u"<rec name=\"n\">"_s;
        for (int i = 0; i < depth; ++i)
            s += u"<u>"_s;
        s += u"<item key=\"k\">v</item>"_s;
        for (int i = 0; i < depth; ++i)
            s += u"</u>"_s;
        return s + u"</rec>"_s;
    };
    EXPECT_TRUE(r.LoadFromXMLText(nested(1000)));
    EXPECT_FALSE(r.HasError());
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
    TTestRecord sample;
    fillSample(sample);
    const QByteArray doc = utf16File(sample.GetXMLText(true).mid(1));
    QRandomGenerator random(4711);
    TTestRecord r;
    int failed = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray damaged = doc;
        const int edits = 1 + random.bounded(4);
        for (int e = 0; e < edits; ++e) {
            const int at = random.bounded(int(damaged.size()));
            switch (random.bounded(3)) {
            case 0:
                damaged[at] = char(random.bounded(256));
                break;
            case 1:
                damaged.remove(at, 1 + random.bounded(8));
                break;
            default:
                damaged.insert(at, damaged.mid(random.bounded(int(damaged.size())), 6));
            }
        }
        TestDocuments::read(r, damaged);
        failed += r.HasError() ? 1 : 0;
    }
    EXPECT_GT(failed, 1000);
    EXPECT_TRUE(r.LoadFromXMLText(sample.GetXMLText(true)));
    expectSameRecord(r, sample);
}

TEST(XMLCoreBadInput, Utf16WithoutMarkAndTextPiecesAcrossChunks)
{
    // No byte-order mark, leading blanks: still recognised as UTF-16.
    TTestRecord r;
    TestDocuments::read(r, utf16Bytes(u"  \r\n<rec name=\"ohne BOM\"/>"_s));
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
