#pragma once

#include <QString>
#include <QStringView>

// What every entry point of the stock (command line, CSV import, article window) checks in
// texts that come from outside, so that all of them take and refuse the same.
namespace InputChecks
{
// An article number as it is stored and looked up: without surrounding blanks.
QString ArticleNumber(const QString &text);
// Empty when the (trimmed) number can be stored; otherwise the message saying why not.
// Control characters and line breaks are refused: no one could type such a number again, so
// the article would be unreachable.
QString ArticleNumberProblem(const QString &number);
// A text from outside as a message may echo it: control characters written as "\xNN" and at
// most maxLength characters, the rest cut with "...".
QString Echo(QStringView text, qsizetype maxLength = 40);
} // namespace InputChecks
