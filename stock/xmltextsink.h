#pragma once

#include "base/formatsettings.h"

#include <QString>
#include <QStringView>
#include <cstring>

// Appends XML text straight into a QString's memory. An article is a few hundred small pieces;
// QString::append's bookkeeping for each of them cost more than the text itself. The string is
// oversized while the sink lives and cut to the written length by Finish() or the destructor.
class TXmlTextSink
{
public:
    explicit TXmlTextSink(QString &out, qsizetype expected = 4096);
    ~TXmlTextSink() { Finish(); }
    TXmlTextSink(const TXmlTextSink &) = delete;
    TXmlTextSink &operator=(const TXmlTextSink &) = delete;

    void Put(QStringView text)
    {
        if (text.isEmpty())
            return;
        Ensure(text.size());
        std::memcpy(m_data + m_used, text.utf16(), size_t(text.size()) * sizeof(char16_t));
        m_used += text.size();
    }
    template <size_t N> void Put(const char16_t (&literal)[N])
    {
        Put(QStringView(literal, qsizetype(N - 1)));
    }
    void Put(char16_t c)
    {
        Ensure(1);
        m_data[m_used++] = c;
    }
    // The text escaped as EncodeXMLText does.
    void PutEscaped(QStringView text);
    void PutFloat(double value)
    {
        Ensure(kFloatTextMax);
        m_used += writeFloatText(m_data + m_used, value);
    }
    void PutInt(qint64 value);
    void Finish();

private:
    void Ensure(qsizetype n)
    {
        if (m_used + n > m_capacity)
            Grow(n);
    }
    void Grow(qsizetype n);

    QString &m_out;
    char16_t *m_data = nullptr;
    qsizetype m_used = 0;
    qsizetype m_capacity = 0;
};

// The reading counterpart of PutFloat: the tolerant conversion, which every reader of stored
// numbers shares so that all of them read the exponent form alike.
double DecimalFromXML(QStringView text, double def);
