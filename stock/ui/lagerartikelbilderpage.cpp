#include "stock/ui/lagerartikelbilderpage.h"

#include "base/interaction.h"
#include "base/messages.h"
#include "base/translation.h"
#include "suite/systemeinstellungen.h"
#include "stock/artikelbilder.h"
#include "stock/lagerserverobj.h"
#include "stock/ui/listlines.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TLagerArtikelBilderPage::TLagerArtikelBilderPage(const TLagerArtikelEditContext &context,
                                                 QWidget *parent)
    : QWidget(parent), m_context(context)
{
    m_list = new QListWidget(this);
    m_list->setObjectName(u"lbBilder"_s);
    m_add = new QPushButton(tx("Hinzufuegen"), this);
    m_add->setObjectName(u"btBildHinzufuegen"_s);
    m_remove = new QPushButton(tx("Entfernen"), this);
    m_remove->setObjectName(u"btBildEntfernen"_s);
    m_preview = new QLabel(this);
    m_preview->setObjectName(u"imgPreview"_s);
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setMinimumSize(120, 120);
    m_preview->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_preview->setFrameShape(QFrame::StyledPanel);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_add);
    buttons->addWidget(m_remove);
    buttons->addStretch();
    auto *left = new QVBoxLayout;
    left->addWidget(m_list, 1);
    left->addLayout(buttons);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addWidget(m_preview, 2);

    connect(m_add, &QPushButton::clicked, this, [this] { addPicture(); });
    connect(m_remove, &QPushButton::clicked, this, [this] { removeSelected(); });
    connect(m_list, &QListWidget::currentRowChanged, this, [this] { showSelected(); });
    updateEnabled();
}

TLagerArtikelBilderPage::~TLagerArtikelBilderPage() = default;

void TLagerArtikelBilderPage::ShowArticle(TLagerServerObj *article)
{
    m_article = article;
    fillList(0);
}

void TLagerArtikelBilderPage::Clear()
{
    ShowArticle(nullptr);
}

void TLagerArtikelBilderPage::StoreArticle(TLagerServerObj &) const {}

QString TLagerArtikelBilderPage::imagesDir() const
{
    return m_context.settings ? m_context.settings->ImagesDir : QString();
}

void TLagerArtikelBilderPage::addPicture()
{
    if (!m_article)
        return;
    QString file;
    if (!interaction().openFileBox(
            tx("Bild hinzufuegen"),
            tx("Bilder") + u" (*.png *.jpg *.jpeg *.bmp *.gif *.tif *.tiff)"_s, file))
        return;
    const qsizetype index = AddArticlePicture(m_article->Bilder, file, imagesDir());
    if (index >= 0)
        fillList(int(index));
}

void TLagerArtikelBilderPage::removeSelected()
{
    const int row = m_list->currentRow();
    if (!m_article || row < 0 || row >= m_article->Bilder.Count())
        return;
    // Only the reference goes: other articles may show the same file.
    m_article->Bilder.Delete(row);
    fillList(row);
}

void TLagerArtikelBilderPage::fillList(int select)
{
    m_filling = true;
    QStringList lines;
    if (m_article)
        for (const TDoubleString &picture : m_article->Bilder)
            lines << picture.Value;
    SetListLines(m_list, lines, select);
    showSelected();
    m_filling = false;
    updateEnabled();
}

void TLagerArtikelBilderPage::showSelected()
{
    m_picture = QPixmap();
    m_preview->clear();
    const int row = m_list->currentRow();
    if (m_article && row >= 0 && row < m_article->Bilder.Count()) {
        const QString path = PictureFilePath(m_article->Bilder.Item(row).Value, imagesDir());
        const bool exists = QFileInfo(path).isFile();
        if (exists && !m_picture.load(path))
            m_preview->setText(QFileInfo(path).fileName());
        if (!exists) {
            const QString missing = formatText(tx("Datei \"%s\" nicht gefunden."), {path});
            m_preview->setText(missing);
            // Filling the page shows the first picture; only a picture the user asked for is
            // worth a message box.
            if (!m_filling)
                ShowMessageBox(missing, MsgDlgType::Error, MsgButton::OK);
        }
    }
    scalePreview();
    updateEnabled();
}

void TLagerArtikelBilderPage::scalePreview()
{
    if (m_picture.isNull())
        return;
    m_preview->setPixmap(m_picture.scaled(m_preview->contentsRect().size(), Qt::KeepAspectRatio,
                                          Qt::SmoothTransformation));
}

void TLagerArtikelBilderPage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    scalePreview();
}

void TLagerArtikelBilderPage::updateEnabled()
{
    m_add->setEnabled(m_article != nullptr);
    m_remove->setEnabled(m_article && m_list->currentRow() >= 0);
}
