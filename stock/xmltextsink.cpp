#include "stock/xmltextsink.h"

#include "persistence/conversions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

TXmlTextSink::TXmlTextSink(QString &out, qsizetype expected) : m_out(out), m_used(out.size())
{
    Grow(expected);
}

void TXmlTextSink::Grow(qsizetype n)
{
    m_capacity = std::max(m_used + n, m_capacity * 2);
    m_out.resize(m_capacity);
    m_data = reinterpret_cast<char16_t *>(m_out.data());
}

void TXmlTextSink::Finish()
{
    if (m_out.size() != m_used)
        m_out.resize(m_used);
    m_capacity = m_used;
}

void TXmlTextSink::PutEscaped(QStringView text)
{
    // Must stay in step with EncodeXMLText: the five entities, CR and LF as references.
    static constexpr char16_t kNone = 0;
    qsizetype done = 0;
    while (done < text.size()) {
        // Worst case six units per character ("&quot;"); chunks keep huge texts from
        // reserving six times their size at once.
        const qsizetype chunk = std::min<qsizetype>(text.size() - done, 4096);
        Ensure(chunk * 6);
        char16_t *o = m_data + m_used;
        for (const QChar qc : text.mid(done, chunk)) {
            const char16_t c = qc.unicode();
            const char16_t *entity = &kNone;
            if (c <= u'>') {
                switch (c) {
                case u'\'':
                    entity = u"&apos;";
                    break;
                case u'<':
                    entity = u"&lt;";
                    break;
                case u'>':
                    entity = u"&gt;";
                    break;
                case u'&':
                    entity = u"&amp;";
                    break;
                case u'"':
                    entity = u"&quot;";
                    break;
                case u'\r':
                    entity = u"&#13;";
                    break;
                case u'\n':
                    entity = u"&#10;";
                    break;
                default:
                    break;
                }
            }
            if (*entity == 0) {
                *o++ = c;
                continue;
            }
            while (*entity)
                *o++ = *entity++;
        }
        m_used = o - m_data;
        done += chunk;
    }
}

void TXmlTextSink::PutInt(qint64 value)
{
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    Ensure(r.ptr - buf);
    for (const char *c = buf; c < r.ptr; ++c)
        m_data[m_used++] = char16_t(*c);
}

double DecimalFromXML(QStringView text, double def)
{
    return StrToFloatTolerant(text, def);
}
