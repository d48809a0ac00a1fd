#include "persistence/xml/dbxmlcoreobject.h"

#include "base/messages.h"
#include "base/regularfile.h"
#include "base/translation.h"
#include "persistence/conversions.h"
#include "persistence/xml/dbxmlcorewriter.h"

#include <QFile>
#include <QIODevice>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QStringDecoder>
#include <cstring>
#include <cxxabi.h>
#include <expat.h>
#include <typeinfo>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Attributes

qsizetype TXMLAttributes::Count() const
{
    qsizetype n = 0;
    if (m_attributes)
        while (m_attributes[2 * n])
            ++n;
    return n;
}

QString TXMLAttributes::NameAt(qsizetype index) const
{
    return QString::fromUtf8(m_attributes[2 * index]);
}

QString TXMLAttributes::ValueAt(qsizetype index) const
{
    return QString::fromUtf8(m_attributes[2 * index + 1]);
}

const char *TXMLAttributes::Find(const char *name) const
{
    if (!m_attributes)
        return nullptr;
    for (const char *const *a = m_attributes; *a; a += 2)
        if (std::strcmp(*a, name) == 0)
            return a[1];
    return nullptr;
}

QString TXMLAttributes::Value(const char *name) const
{
    const char *v = Find(name);
    return v ? QString::fromUtf8(v) : QString();
}

bool TXMLAttributes::Get(const char *name, QString &value) const
{
    const char *v = Find(name);
    if (!v)
        return false;
    value = QString::fromUtf8(v);
    return true;
}

double TXMLAttributes::Float(const char *name, double def) const
{
    const char *v = Find(name);
    return v ? StrToFloatTolerant(QUtf8StringView(v), def) : def;
}

Money TXMLAttributes::Curr(const char *name, Money def) const
{
    const char *v = Find(name);
    return v ? StrToCurrTolerant(QUtf8StringView(v), def) : def;
}

int TXMLAttributes::Int(const char *name, int def) const
{
    const char *v = Find(name);
    return v ? StrToIntTolerant(QUtf8StringView(v), def) : def;
}

bool TXMLAttributes::Bool(const char *name, bool def) const
{
    const char *v = Find(name);
    return v ? StrToBoolTolerant(QUtf8StringView(v), def) : def;
}

// ---------------------------------------------------------------------------------------------
// The expat parser and its event trampolines. Exceptions must not unwind through expat's C
// frames: a handler's exception is parked, the parser stopped, and the exception rethrown once
// expat has returned.

class TDBXMLCoreObject::Parser
{
public:
    // The names are handed out by reference: the vector must never move them.
    explicit Parser(TDBXMLCoreObject &owner) : m_owner(owner) { m_names.reserve(kNameCache); }
    ~Parser()
    {
        if (m_parser)
            XML_ParserFree(m_parser);
    }

    // encoding null: detected from the byte-order mark or the first characters.
    void ParseBytes(const char *bytes, qint64 size, const char *encoding);
    void ParseDevice(QIODevice *device, const char *encoding);

private:
    static void XMLCALL onStart(void *data, const XML_Char *name, const XML_Char **attributes);
    static void XMLCALL onEnd(void *data, const XML_Char *name);
    static void XMLCALL onCharacters(void *data, const XML_Char *text, int length);

    void Begin(const char *encoding);
    // false when parsing must stop.
    bool Check(XML_Status status);
    void Finish();
    void Park();
    const QString &NameFor(const char *name);

    TDBXMLCoreObject &m_owner;
    XML_Parser m_parser = nullptr;
    std::exception_ptr m_pending;
    bool m_stopped = false;
    int m_depth = 0;
    // Element names repeat; each distinct one is decoded once (bounded against hostile input).
    struct Name {
        std::string utf8;
        QString text;
    };
    static constexpr size_t kNameCache = 128;
    std::vector<Name> m_names;
    QString m_lastName;
    QString m_piece;
    QStringDecoder m_decoder{QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                       QStringDecoder::Flag::ConvertInitialBom};
};

void TDBXMLCoreObject::Parser::Begin(const char *encoding)
{
    if (!m_parser) {
        m_parser = XML_ParserCreate(encoding);
        if (!m_parser)
            throw std::bad_alloc();
    } else if (!XML_ParserReset(m_parser, encoding)) {
        throw std::bad_alloc();
    }
    // Without a salt expat gathers fresh entropy from the system on every reset, which costs
    // more than parsing an article's text; a salt from the program's generator keeps the
    // hash tables unpredictable all the same.
    XML_SetHashSalt(m_parser,
                    static_cast<unsigned long>(QRandomGenerator::global()->generate64()) | 1);
    XML_SetUserData(m_parser, this);
    XML_SetElementHandler(m_parser, onStart, onEnd);
    XML_SetCharacterDataHandler(m_parser, onCharacters);
    m_pending = nullptr;
    m_stopped = false;
    m_depth = 0;
}

bool TDBXMLCoreObject::Parser::Check(XML_Status status)
{
    if (status != XML_STATUS_ERROR)
        return !m_stopped;
    if (!m_stopped) {
        m_stopped = true;
        m_owner.ParserError(QString::fromUtf8(XML_ErrorString(XML_GetErrorCode(m_parser))),
                            qint64(XML_GetCurrentLineNumber(m_parser)),
                            qint64(XML_GetCurrentColumnNumber(m_parser)) + 1, true);
    }
    return false;
}

void TDBXMLCoreObject::Parser::Finish()
{
    if (m_pending) {
        std::exception_ptr e = std::move(m_pending);
        m_pending = nullptr;
        std::rethrow_exception(e);
    }
}

void TDBXMLCoreObject::Parser::ParseBytes(const char *bytes, qint64 size, const char *encoding)
{
    Begin(encoding);
    constexpr qint64 kChunk = 1 << 20;
    qint64 done = 0;
    do {
        const int n = int(std::min(kChunk, size - done));
        const bool last = done + n >= size;
        if (!Check(XML_Parse(m_parser, bytes + done, n, last)))
            break;
        done += n;
    } while (done < size);
    Finish();
}

void TDBXMLCoreObject::Parser::ParseDevice(QIODevice *device, const char *encoding)
{
    Begin(encoding);
    constexpr int kChunk = 64 * 1024;
    for (;;) {
        void *buffer = XML_GetBuffer(m_parser, kChunk);
        if (!buffer)
            throw std::bad_alloc();
        const qint64 n = device->read(static_cast<char *>(buffer), kChunk);
        if (n < 0)
            throw EStreamError(QStringLiteral("Stream read error: ") + device->errorString());
        if (!Check(XML_ParseBuffer(m_parser, int(n), n == 0)) || n == 0)
            break;
    }
    Finish();
}

void TDBXMLCoreObject::Parser::Park()
{
    m_pending = std::current_exception();
    m_stopped = true;
    XML_StopParser(m_parser, XML_FALSE);
}

const QString &TDBXMLCoreObject::Parser::NameFor(const char *name)
{
    for (const Name &n : m_names)
        if (n.utf8 == name)
            return n.text;
    if (m_names.size() < kNameCache) {
        m_names.push_back({std::string(name), QString::fromUtf8(name)});
        return m_names.back().text;
    }
    m_lastName = QString::fromUtf8(name);
    return m_lastName;
}

void XMLCALL TDBXMLCoreObject::Parser::onStart(void *data, const XML_Char *name,
                                               const XML_Char **attributes)
{
    auto *p = static_cast<Parser *>(data);
    if (p->m_stopped)
        return;
    if (++p->m_depth > kMaxElementDepth) {
        p->m_stopped = true;
        p->m_owner.ParserError(QStringLiteral("elements nested too deeply"),
                               qint64(XML_GetCurrentLineNumber(p->m_parser)),
                               qint64(XML_GetCurrentColumnNumber(p->m_parser)) + 1, true);
        XML_StopParser(p->m_parser, XML_FALSE);
        return;
    }
    try {
        p->m_owner.StartElement(p->NameFor(name), TXMLAttributes(attributes));
    } catch (...) {
        p->Park();
    }
}

void XMLCALL TDBXMLCoreObject::Parser::onEnd(void *data, const XML_Char *name)
{
    auto *p = static_cast<Parser *>(data);
    if (p->m_stopped)
        return;
    --p->m_depth;
    try {
        p->m_owner.EndElement(p->NameFor(name));
    } catch (...) {
        p->Park();
    }
}

void XMLCALL TDBXMLCoreObject::Parser::onCharacters(void *data, const XML_Char *text, int length)
{
    auto *p = static_cast<Parser *>(data);
    if (p->m_stopped || length <= 0)
        return;
    try {
        // Decoded into a buffer that keeps its memory: no allocation per text piece.
        p->m_piece.resize(p->m_decoder.requiredSpace(length));
        QChar *end = p->m_decoder.appendToBuffer(p->m_piece.data(), QByteArrayView(text, length));
        p->m_piece.resize(end - p->m_piece.constData());
        p->m_owner.Characters(p->m_piece);
    } catch (...) {
        p->Park();
    }
}

// ---------------------------------------------------------------------------------------------

namespace
{
// The encoding to announce to expat: a byte-order mark or the declaration speaks for itself,
// UTF-16 without a mark is recognised by its zero bytes (even when it begins with blanks).
const char *sniffEncoding(const char *bytes, qint64 size)
{
    if (size < 2)
        return nullptr;
    const auto b0 = uchar(bytes[0]);
    const auto b1 = uchar(bytes[1]);
    if ((b0 == 0xFF && b1 == 0xFE) || (b0 == 0xFE && b1 == 0xFF) || (b0 == 0xEF && b1 == 0xBB))
        return nullptr;
    if (b0 != 0 && b1 == 0)
        return "UTF-16LE";
    if (b0 == 0 && b1 != 0)
        return "UTF-16BE";
    return nullptr;
}

const char *nativeUtf16()
{
    return QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";
}
} // namespace

TDBXMLCoreObject::TDBXMLCoreObject() = default;

// Parser, buffers and the last parse's error belong to the object that did the work; a copy
// starts without them, so that records can be copied for editing.
TDBXMLCoreObject::TDBXMLCoreObject(const TDBXMLCoreObject &) : TDBXMLCoreObject() {}

TDBXMLCoreObject &TDBXMLCoreObject::operator=(const TDBXMLCoreObject &)
{
    return *this;
}

TDBXMLCoreObject::~TDBXMLCoreObject()
{
    m_charBuffer.reset();
    m_parser.reset();
}

QString TDBXMLCoreObject::ClassName() const
{
    const char *mangled = typeid(*this).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void *)> demangled(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
    QString name = QString::fromLatin1(status == 0 && demangled ? demangled.get() : mangled);
    // Reports name the class as its users know it, without namespaces.
    if (!name.contains(u'<')) {
        const qsizetype colons = name.lastIndexOf(QStringLiteral("::"));
        if (colons >= 0)
            name = name.mid(colons + 2);
    }
    return name;
}

TDBXMLWideStringStream &TDBXMLCoreObject::CharBuffer()
{
    // Created on first use: objects that are only written never pay for it.
    if (!m_charBuffer) {
        m_charBuffer = std::make_unique<TDBXMLWideStringStream>();
        m_charBuffer->SetCapacity(10000);
    }
    return *m_charBuffer;
}

void TDBXMLCoreObject::ResetCharacters()
{
    if (m_charBuffer)
        m_charBuffer->Reset();
}

void TDBXMLCoreObject::AppendCharacters(QStringView text)
{
    TDBXMLWideStringStream &b = CharBuffer();
    b.Seek(0, TDBXMLWideStringStream::Origin::End);
    b.WriteText(text);
}

QString TDBXMLCoreObject::CharacterText() const
{
    return m_charBuffer ? m_charBuffer->DataString() : QString();
}

void TDBXMLCoreObject::BeginParse()
{
    CurrentElement.clear();
    ResetCharacters();
    m_error = false;
    m_errorText.clear();
    m_output.resize(0);
    Clear();
}

void TDBXMLCoreObject::ParserError(const QString &message, qint64 line, qint64 column, bool fatal)
{
    QString text = message + QStringLiteral(" Line ") + QString::number(line) +
                   QStringLiteral(" Column ") + QString::number(column) + u'\n' + ClassName() +
                   u' ' + m_sourceFileName;
    // expat knows no warnings; every error it reports ends the parse.
    m_errorText = text;
    m_error = true;
    ReportMessage(fatal ? MessageKind::FatalError : MessageKind::Error, text);
}

bool TDBXMLCoreObject::RunParse(QIODevice *device, const char *bytes, qint64 size,
                                const char *encoding, bool reportFileName)
{
    try {
        if (!m_parser)
            m_parser = std::make_unique<Parser>(*this);
        if (device)
            m_parser->ParseDevice(device, encoding);
        else
            m_parser->ParseBytes(bytes, size, encoding);
        return true;
    } catch (const EXMLCancelException &) {
        return false;
    } catch (const std::exception &e) {
        QString text = tx("XML-Analysefehler.") + u'\n' + ClassName();
        if (reportFileName)
            text += u'\n' + m_sourceFileName;
        ReportMessage(MessageKind::Error, text, nullptr, &e);
        return false;
    }
}

void TDBXMLCoreObject::LoadFromFile(const QString &fileName)
{
    BeginParse();
    if (!QFile::exists(fileName) && !isOtherThanRegularFile(fileName))
        return;
    m_sourceFileName = fileName;
    QFile file;
    const RegularFile opened = openRegularFile(file, fileName);
    if (opened == RegularFile::NotRegular) {
        m_error = true;
        m_errorText = notRegularFileMessage(fileName);
        ReportMessage(MessageKind::Error, m_errorText);
    } else if (opened != RegularFile::Opened) {
        const EStreamError e(
            QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
        m_error = true;
        m_errorText = QString::fromUtf8(e.what());
        ReportMessage(MessageKind::Error,
                      tx("XML-Analysefehler.") + u'\n' + ClassName() + u'\n' + fileName, nullptr,
                      &e);
    } else {
        const QByteArray head = file.peek(2);
        RunParse(&file, nullptr, 0, sniffEncoding(head.constData(), head.size()), true);
    }
    m_sourceFileName.clear();
}

void TDBXMLCoreObject::LoadFromStream(QIODevice *stream)
{
    BeginParse();
    if (!stream || stream->size() <= 0)
        return;
    stream->seek(0);
    const QByteArray head = stream->peek(2);
    RunParse(stream, nullptr, 0, sniffEncoding(head.constData(), head.size()), false);
}

bool TDBXMLCoreObject::LoadFromXMLText(QStringView text)
{
    BeginParse();
    if (text.isEmpty())
        return false;
    // The text is parsed where it lies, in the machine's UTF-16.
    return RunParse(nullptr, reinterpret_cast<const char *>(text.utf16()),
                    text.size() * qint64(sizeof(char16_t)), nativeUtf16(), false);
}

bool TDBXMLCoreObject::LoadFromStreamPart(QIODevice *stream, qint64 byteCount)
{
    BeginParse();
    if (!stream || byteCount <= 0)
        return true;
    const QByteArray bytes = stream->read(byteCount);
    return RunParse(nullptr, bytes.constData(), bytes.size(),
                    sniffEncoding(bytes.constData(), bytes.size()), false);
}

void TDBXMLCoreObject::ResetOutput()
{
    // Records of one kind write texts of similar size: start each at the size of the last.
    const qsizetype expected = std::max<qsizetype>(m_output.size(), 1024);
    m_output.resize(0);
    m_output.reserve(expected);
}

void TDBXMLCoreObject::BuildDocument(bool complete)
{
    ResetOutput();
    m_output.append(QChar(0xFEFF));
    m_output.append(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n");
    WriteXML(complete, QString());
}

void TDBXMLCoreObject::GetXMLText(bool complete, QString &text)
{
    BuildDocument(complete);
    text = m_output;
}

QString TDBXMLCoreObject::GetXMLText(bool complete)
{
    QString text;
    GetXMLText(complete, text);
    return text;
}

void TDBXMLCoreObject::GetXMLFragment(bool complete, const QString &indent, QString &text)
{
    ResetOutput();
    WriteXML(complete, indent);
    text = m_output;
}

QString TDBXMLCoreObject::GetXMLFragment(bool complete, const QString &indent)
{
    QString text;
    GetXMLFragment(complete, indent, text);
    return text;
}

void TDBXMLCoreObject::SaveToFile(const QString &fileName)
{
    BuildDocument(true);
    // Written beside and renamed into place: a failed save leaves the old file whole, and a
    // reader on another workstation never sees half a document.
    QSaveFile file(fileName);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        throw EStreamError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, file.errorString()));
    WriteUtf16LE(&file, m_output);
    if (!file.commit())
        throw EWriteError(QStringLiteral("Stream write error: ") + file.errorString());
}

void TDBXMLCoreObject::SaveToStream(QIODevice *stream)
{
    if (!stream)
        return;
    BuildDocument(true);
    WriteUtf16LE(stream, m_output);
}

void TDBXMLCoreObject::Write(QStringView text)
{
    m_output.append(text);
}

void TDBXMLCoreObject::WriteLine(QStringView text)
{
    m_output.append(text);
    m_output.append(u"\r\n");
}

void TDBXMLCoreObject::WriteFmt(const QString &format, const QStringList &args)
{
    m_output.append(formatText(format, args));
}

void TDBXMLCoreObject::WriteFmtLine(const QString &format, const QStringList &args)
{
    m_output.append(formatText(format, args));
    m_output.append(u"\r\n");
}
