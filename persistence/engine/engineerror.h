#pragma once

#include <QString>
#include <exception>

// The one exception type of the database engine. Stores catch it and turn it into their
// result codes; the message is what the database-error report shows after its caption.
class EngineError : public std::exception
{
public:
    explicit EngineError(QString message)
        : m_message(std::move(message)), m_utf8(m_message.toUtf8())
    {
    }

    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};
