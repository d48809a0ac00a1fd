#include "persistence/engine/filterparser.h"

#include "persistence/engine/engineerror.h"
#include "persistence/engine/sqliteconnection.h"

#include <QList>

using namespace Qt::StringLiterals;

namespace
{

enum class Tok { End, Name, Text, Number, LParen, RParen, Op };

struct Token {
    Tok kind = Tok::End;
    QString text; // name, unquoted text, number or operator
    int pos = 0;
};

class Parser
{
public:
    Parser(const TFieldDefs &fields, const QString &text) : m_fields(fields), m_text(text)
    {
        tokenize();
    }

    CompiledFilter run()
    {
        CompiledFilter out;
        out.sql = orExpr(out.params);
        if (peek().kind != Tok::End)
            error(u"unexpected \"%1\""_s.arg(peek().text));
        return out;
    }

private:
    [[noreturn]] void error(const QString &what, int pos = -1) const
    {
        const int at = pos >= 0 ? pos : peek().pos;
        throw EngineError(
            u"Invalid filter \"%1\" at position %2: %3"_s.arg(m_text).arg(at + 1).arg(what));
    }

    void tokenize()
    {
        const int n = int(m_text.size());
        int i = 0;
        while (i < n) {
            const QChar c = m_text.at(i);
            if (c.isSpace()) {
                ++i;
                continue;
            }
            Token t;
            t.pos = i;
            if (c == u'(' || c == u')') {
                t.kind = c == u'(' ? Tok::LParen : Tok::RParen;
                t.text = c;
                ++i;
            } else if (c == u'\'' || c == u'"') {
                // Quoted text; the quote itself is written twice inside ('O''Brien').
                t.kind = Tok::Text;
                ++i;
                bool closed = false;
                while (i < n) {
                    if (m_text.at(i) == c) {
                        if (i + 1 < n && m_text.at(i + 1) == c) {
                            t.text += c;
                            i += 2;
                            continue;
                        }
                        ++i;
                        closed = true;
                        break;
                    }
                    t.text += m_text.at(i++);
                }
                if (!closed)
                    error(u"unterminated text"_s, t.pos);
            } else if (c == u'=' || c == u'<' || c == u'>' || c == u'!') {
                t.kind = Tok::Op;
                t.text = c;
                ++i;
                if (i < n && (m_text.at(i) == u'=' || (c == u'<' && m_text.at(i) == u'>'))) {
                    t.text += m_text.at(i);
                    ++i;
                }
                if (t.text == u"!"_s)
                    error(u"unknown operator \"!\""_s, t.pos);
                if (t.text == u"=="_s)
                    t.text = u"="_s;
            } else if (c.isDigit() || ((c == u'-' || c == u'+' || c == u'.') && i + 1 < n &&
                                       (m_text.at(i + 1).isDigit() || m_text.at(i + 1) == u'.'))) {
                t.kind = Tok::Number;
                t.text += c;
                ++i;
                while (i < n && (m_text.at(i).isDigit() || m_text.at(i) == u'.' ||
                                 m_text.at(i) == u'e' || m_text.at(i) == u'E' ||
                                 ((m_text.at(i) == u'-' || m_text.at(i) == u'+') &&
                                  (m_text.at(i - 1) == u'e' || m_text.at(i - 1) == u'E'))))
                    t.text += m_text.at(i++);
                bool ok = false;
                t.text.toDouble(&ok);
                if (!ok)
                    error(u"invalid number \"%1\""_s.arg(t.text), t.pos);
            } else if (c == u'[') {
                t.kind = Tok::Name;
                ++i;
                while (i < n && m_text.at(i) != u']')
                    t.text += m_text.at(i++);
                if (i >= n)
                    error(u"unterminated field name"_s, t.pos);
                ++i;
            } else if (c.isLetter() || c == u'_') {
                t.kind = Tok::Name;
                while (i < n && (m_text.at(i).isLetterOrNumber() || m_text.at(i) == u'_'))
                    t.text += m_text.at(i++);
            } else {
                error(u"unexpected character \"%1\""_s.arg(c), i);
            }
            m_tokens.append(t);
        }
        Token end;
        end.pos = n;
        m_tokens.append(end);
    }

    const Token &peek() const { return m_tokens[m_pos]; }
    Token take() { return m_tokens[m_pos < m_tokens.size() - 1 ? m_pos++ : m_pos]; }
    bool isKeyword(const Token &t, QStringView word) const
    {
        return t.kind == Tok::Name && t.text.compare(word, Qt::CaseInsensitive) == 0;
    }

    QString orExpr(QVariantList &params)
    {
        QString sql = andExpr(params);
        while (isKeyword(peek(), u"or")) {
            take();
            sql = sql + u" OR "_s + andExpr(params);
        }
        return sql;
    }

    QString andExpr(QVariantList &params)
    {
        QString sql = unary(params);
        while (isKeyword(peek(), u"and")) {
            take();
            sql = sql + u" AND "_s + unary(params);
        }
        return sql;
    }

    QString unary(QVariantList &params)
    {
        if (isKeyword(peek(), u"not")) {
            take();
            return u"NOT ("_s + unary(params) + u')';
        }
        if (peek().kind == Tok::LParen) {
            take();
            if (peek().kind == Tok::RParen)
                error(u"empty parentheses"_s);
            const QString inner = orExpr(params);
            if (peek().kind != Tok::RParen)
                error(u"\")\" expected"_s);
            take();
            return u'(' + inner + u')';
        }
        return comparison(params);
    }

    QVariant valueFor(const TFieldDef &field, const Token &t) const
    {
        if (t.kind != Tok::Text && t.kind != Tok::Number &&
            !(isKeyword(t, u"true") || isKeyword(t, u"false")))
            error(u"value expected"_s, t.pos);
        const bool boolWord = t.kind == Tok::Name;
        switch (field.type) {
        case FieldType::String:
        case FieldType::WideString:
        case FieldType::Memo:
        case FieldType::WideMemo:
            if (boolWord)
                error(u"text expected for field %1"_s.arg(field.name), t.pos);
            return t.text;
        case FieldType::Boolean:
            if (boolWord)
                return isKeyword(t, u"true") ? 1 : 0;
            if (t.kind == Tok::Text) {
                const QString v = t.text.trimmed();
                if (v.compare(u"true"_s, Qt::CaseInsensitive) == 0)
                    return 1;
                if (v.compare(u"false"_s, Qt::CaseInsensitive) == 0)
                    return 0;
            }
            break;
        case FieldType::Blob:
            error(u"field %1 cannot be compared"_s.arg(field.name), t.pos);
        default:
            break;
        }
        if (boolWord)
            error(u"number expected for field %1"_s.arg(field.name), t.pos);
        QString text = t.text.trimmed();
        text.replace(u',', u'.');
        bool ok = false;
        const double d = text.toDouble(&ok);
        if (!ok)
            error(u"number expected for field %1"_s.arg(field.name), t.pos);
        if (field.type == FieldType::Boolean)
            return d != 0 ? 1 : 0;
        return d;
    }

    QString comparison(QVariantList &params)
    {
        const Token name = take();
        if (name.kind != Tok::Name)
            error(u"field name expected"_s, name.pos);
        const int col = m_fields.IndexOf(name.text);
        if (col < 0)
            error(u"unknown field \"%1\""_s.arg(name.text), name.pos);
        const TFieldDef &field = m_fields[col];
        const QString column = sqlName(field.name);

        bool negate = false;
        if (isKeyword(peek(), u"not")) {
            take();
            negate = true;
            if (!isKeyword(peek(), u"like"))
                error(u"\"like\" expected"_s);
        }
        if (isKeyword(peek(), u"like")) {
            take();
            const Token pattern = take();
            if (pattern.kind != Tok::Text)
                error(u"quoted pattern expected after like"_s, pattern.pos);
            QString like;
            for (QChar c : pattern.text) {
                if (c == u'*')
                    like += u'%';
                else if (c == u'%' || c == u'_' || c == u'\\')
                    like += u'\\' + QString(c);
                else
                    like += c;
            }
            params.append(like);
            const QString lhs = isTextType(field.type) ? column : u"CAST(%1 AS TEXT)"_s.arg(column);
            return lhs + (negate ? u" NOT LIKE ? ESCAPE '\\'"_s : u" LIKE ? ESCAPE '\\'"_s);
        }
        const Token op = take();
        if (op.kind != Tok::Op)
            error(u"comparison operator expected after \"%1\""_s.arg(name.text), op.pos);
        const QString sqlOp = op.text == u"!="_s ? u"<>"_s : op.text;
        params.append(valueFor(field, take()));
        return column + u' ' + sqlOp + u" ?"_s;
    }

    const TFieldDefs &m_fields;
    const QString &m_text;
    QList<Token> m_tokens;
    int m_pos = 0;
};

} // namespace

FilterParser::FilterParser(const TFieldDefs &fields) : m_fields(fields) {}

CompiledFilter FilterParser::parse(const QString &text) const
{
    if (text.trimmed().isEmpty())
        return CompiledFilter{u"1"_s, {}};
    return Parser(m_fields, text).run();
}
