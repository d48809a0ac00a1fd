#include "printing/layoutsetmanager.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

void TLayoutsetFile::Clear()
{
    Area.clear();
    DisableOriginal = false;
    Sets.clear();
    m_list = nullptr;
}

void TLayoutsetFile::StartElement(const QString &name, const TXMLAttributes &a)
{
    CurrentElement = name;
    if (name == u"layoutsets") {
        Area = a.Value("area");
        DisableOriginal = a.Int("disableoriginaltypesets", 0) != 0;
    } else if (name == u"layoutset") {
        TLayoutset s;
        s.Name = a.Value("name");
        s.HeaderLayout = a.Value("headerlayout");
        s.Section = a.Value("section");
        s.Formular = a.Value("formular");
        Sets.push_back(std::move(s));
        m_list = nullptr;
    } else if (Sets.empty()) {
        return;
    } else if (name == u"description") {
        ResetCharacters();
    } else if (name == u"head") {
        m_list = &Sets.back().Head;
    } else if (name == u"main") {
        m_list = &Sets.back().Main;
    } else if (name == u"foot") {
        m_list = &Sets.back().Foot;
    } else if (name == u"printarealayout" && m_list) {
        m_list->push_back({a.Value("name"), a.Value("target")});
    }
}

void TLayoutsetFile::Characters(QStringView text)
{
    if (CurrentElement == u"description")
        AppendCharacters(text);
}

void TLayoutsetFile::EndElement(const QString &name)
{
    if (name == u"description" && !Sets.empty())
        Sets.back().Description += CharacterText();
    else if (name == u"head" || name == u"main" || name == u"foot")
        m_list = nullptr;
    CurrentElement.clear();
}

void TLayoutsetManager::Load(const QString &formsDir, const QString &target, const QString &section)
{
    Sets.clear();
    const QDir dir(formsDir);
    TLayoutsetFile base;
    base.LoadFromFile(dir.filePath(target + u"TYPESETS.XML"_s));
    Sets = std::move(base.Sets);

    const QString overlayName = dir.filePath(target + u"UDTYPESETS.XML"_s);
    if (QFileInfo::exists(overlayName)) {
        TLayoutsetFile overlay;
        overlay.LoadFromFile(overlayName);
        if (overlay.DisableOriginal)
            Sets.clear();
        for (TLayoutset &s : overlay.Sets) {
            auto same = std::find_if(Sets.begin(), Sets.end(),
                                     [&](const TLayoutset &b) { return b.Name == s.Name; });
            if (same != Sets.end())
                *same = std::move(s);
            else
                Sets.insert(Sets.begin(), std::move(s));
        }
    }
    if (!section.isEmpty())
        std::erase_if(Sets, [&](const TLayoutset &s) { return s.Section != section; });
}

const TLayoutset *TLayoutsetManager::Find(const QString &name) const
{
    const QString wanted = name.trimmed();
    for (const TLayoutset &s : Sets)
        if (s.Name == wanted)
            return &s;
    return nullptr;
}
