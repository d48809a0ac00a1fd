#pragma once

#include "stock/ui/lagerartikeleditcontext.h"

#include <QPixmap>
#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;
class TLagerServerObj;

// The "Bilder" page: the article's pictures (files in the images directory) with a preview of
// the selected one.
class TLagerArtikelBilderPage : public QWidget
{
    Q_OBJECT
public:
    explicit TLagerArtikelBilderPage(const TLagerArtikelEditContext &context,
                                     QWidget *parent = nullptr);
    ~TLagerArtikelBilderPage() override;

    // Binds to the record (owned by the caller); null clears and frees the picture.
    void ShowArticle(TLagerServerObj *article);
    void Clear();
    // The picture list lives in the record already; nothing is held only here.
    void StoreArticle(TLagerServerObj &article) const;

    QListWidget *pictureList() const { return m_list; }
    QPushButton *addButton() const { return m_add; }
    QPushButton *removeButton() const { return m_remove; }
    QLabel *preview() const { return m_preview; }

    void addPicture();
    void removeSelected();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QString imagesDir() const;
    void fillList(int select);
    void showSelected();
    void scalePreview();
    void updateEnabled();

    TLagerArtikelEditContext m_context;
    TLagerServerObj *m_article = nullptr;
    bool m_filling = false;
    QPixmap m_picture;
    QListWidget *m_list = nullptr;
    QPushButton *m_add = nullptr;
    QPushButton *m_remove = nullptr;
    QLabel *m_preview = nullptr;
};
