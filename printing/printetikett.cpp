#include "printing/printetikett.h"

TPrintEtikett::TPrintEtikett(const TPrintEtikett &other)
{
    *this = other;
}

TPrintEtikett &TPrintEtikett::operator=(const TPrintEtikett &other)
{
    if (this == &other)
        return *this;
    Name = other.Name;
    Width = other.Width;
    Height = other.Height;
    WithBorder = other.WithBorder;
    Left = other.Left;
    Top = other.Top;
    Elements.clear();
    for (const auto &e : other.Elements)
        Elements.push_back(e->Clone());
    return *this;
}

QSizeF TPrintEtikettForm::PaperMillimetres() const
{
    if (Type != 1)
        return {210.0, 297.0};
    return {Width / 10.0, Height / 10.0};
}
