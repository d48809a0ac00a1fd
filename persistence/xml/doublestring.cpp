#include "persistence/xml/doublestring.h"

qsizetype TDoubleStringListObjectList::Add(const QString &key, const QString &value)
{
    Add(TDoubleString{key, value});
    return Count() - 1;
}

bool TDoubleStringListObjectList::HasValue(const QString &value) const
{
    for (const TDoubleString &item : *this)
        if (item.Value == value)
            return true;
    return false;
}

QString TDoubleStringListObjectList::ValueOf(const QString &key) const
{
    const qsizetype i = IndexOfKey(key);
    return i < 0 ? QString() : Item(i).Value;
}

qsizetype TDoubleStringListObjectList::IndexOfKey(const QString &key) const
{
    for (qsizetype i = 0; i < Count(); ++i)
        if (Item(i).Key == key)
            return i;
    return -1;
}

qsizetype TDoubleStringListObjectList::IndexOfKeyValue(const QString &key,
                                                       const QString &value) const
{
    for (qsizetype i = 0; i < Count(); ++i)
        if (Item(i).Key == key && Item(i).Value == value)
            return i;
    return -1;
}
