#include "printing/etikettendrucker.h"

#include "base/interaction.h"
#include "base/messages.h"
#include "base/translation.h"
#include "printing/etikettpainter.h"
#include "printing/printetikettmanager.h"

#include <QFile>
#include <QPainter>
#include <QPdfWriter>

std::vector<TEtikettendrucker::Position>
TEtikettendrucker::FirstSheet(const TPrintEtikettManager &manager, TPrintEtikettForm &form,
                              int count)
{
    std::vector<Position> plan;
    int next = 0;
    for (TPrintEtikettHolder &holder : form.Holders) {
        if (!holder.Active)
            plan.push_back({Position::Inactive});
        else if (!manager.Resolve(holder))
            plan.push_back({Position::Missing});
        else if (next < count)
            plan.push_back({Position::Article, next++});
        else
            plan.push_back({Position::Unused});
    }
    return plan;
}

TEtikettendrucker::TEtikettendrucker()
    : m_layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF())
{
}

TEtikettendrucker::~TEtikettendrucker()
{
    if (m_painter)
        m_painter->end();
}

void TEtikettendrucker::SetSheet(const TPrintEtikettForm &form)
{
    const QPageSize size = form.Type == 1 && form.Width > 0 && form.Height > 0
                               ? QPageSize(form.PaperMillimetres(), QPageSize::Millimeter,
                                           QString(), QPageSize::ExactMatch)
                               : QPageSize(QPageSize::A4);
    m_layout = QPageLayout(size, form.Portrait ? QPageLayout::Portrait : QPageLayout::Landscape,
                           QMarginsF());
}

void TEtikettendrucker::BeginDocument()
{
    closePage();
    m_pages.clear();
    NewPage();
}

void TEtikettendrucker::NewPage()
{
    closePage();
    m_pages.push_back(std::make_unique<QPicture>());
    const QRect page = m_layout.fullRectPixels(kDpi);
    m_pages.back()->setBoundingRect(QRect(QPoint(0, 0), page.size()));
    m_painter = std::make_unique<QPainter>(m_pages.back().get());
}

void TEtikettendrucker::EndDocument()
{
    closePage();
}

void TEtikettendrucker::closePage()
{
    if (m_painter) {
        m_painter->end();
        m_painter.reset();
    }
}

QPainter &TEtikettendrucker::Canvas()
{
    if (!m_painter)
        NewPage();
    return *m_painter;
}

TEtikettendrucker::Result TEtikettendrucker::Print(const TPrintEtikettManager &manager,
                                                   TPrintEtikettForm &form, int count,
                                                   const DataCallback &data)
{
    Result result;
    SetSheet(form);
    BeginDocument();
    int index = 0;
    int remaining = count;
    auto place = [&](TPrintEtikettHolder &holder) -> TPrintEtikett * {
        TPrintEtikett *etikett = manager.Resolve(holder);
        if (etikett) {
            etikett->Left = holder.Left;
            etikett->Top = holder.Top;
        }
        return etikett;
    };
    auto draw = [&](TPrintEtikett &etikett) {
        TEtikettPainter(Canvas(), kDpi).Draw(etikett, result.barcodeErrors);
        ++result.labels;
    };

    for (TPrintEtikettHolder &holder : form.Holders) {
        if (!holder.Active)
            continue;
        TPrintEtikett *etikett = place(holder);
        if (!etikett)
            continue;
        const int left = data(*etikett, index++);
        if (left >= 0) {
            remaining = left;
            draw(*etikett);
        }
    }
    while (remaining > 0) {
        NewPage();
        const int before = remaining;
        for (TPrintEtikettHolder &holder : form.Holders) {
            TPrintEtikett *etikett = place(holder);
            if (!etikett)
                continue;
            const int left = data(*etikett, index++);
            if (left < 0)
                break;
            draw(*etikett);
            remaining = left;
        }
        if (remaining == count) {
            result.nothingPrinted = true;
            ShowMessageBox(tx("Es wurden keine Etiketten ausgegeben.") + u'\n' +
                               tx("Pruefen Sie bitte das Formular im Etikettendesigner!"),
                           MsgDlgType::Error, MsgButton::OK);
            break;
        }
        // A sheet that took no label would take none on the next one either.
        if (remaining == before)
            break;
    }
    EndDocument();
    if (!result.barcodeErrors.isEmpty())
        ShowMessageBox(result.barcodeErrors.join(u'\n'), MsgDlgType::Error, MsgButton::OK);
    return result;
}

void TEtikettendrucker::ReplayPage(QPainter &painter, int index) const
{
    // A picture plays itself scaled from its own resolution to the device's; ours was drawn
    // at kDpi, which leaves this one factor whatever the device.
    const QPicture &page = Page(index);
    painter.save();
    painter.scale(double(page.logicalDpiX()) / kDpi, double(page.logicalDpiY()) / kDpi);
    painter.drawPicture(0, 0, page);
    painter.restore();
}

bool TEtikettendrucker::WritePdf(const QString &fileName, int copies, QString *error) const
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QPdfWriter writer(&file);
    writer.setCreator(QStringLiteral("MOD00501"));
    writer.setTitle(tx("Etikettendruck"));
    writer.setPageLayout(m_layout);
    writer.setResolution(kDpi);
    QPainter painter;
    if (!painter.begin(&writer)) {
        if (error)
            *error = tx("Die PDF-Datei kann nicht geschrieben werden.");
        return false;
    }
    for (int copy = 0; copy < copies; ++copy) {
        for (int i = 0; i < PageCount(); ++i) {
            if (copy > 0 || i > 0)
                writer.newPage();
            ReplayPage(painter, i);
        }
    }
    painter.end();
    file.close();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}
