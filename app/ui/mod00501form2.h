#pragma once

#include <QDialog>

class TLagerArtikelFrame1;
class TLagerServerObj;
struct TLagerArtikelEditContext;

// The modal article window of the main window: the article editor with OK and Cancel. OK is
// refused until the article has a number and, unless the user insists, a VAT class.
class TMOD00501Form2 : public QDialog
{
    Q_OBJECT
public:
    // settingsFile is the user's MOD00501.INI where the window keeps its size and position;
    // empty keeps nothing.
    TMOD00501Form2(const TLagerArtikelEditContext &context, const QString &settingsFile,
                   QWidget *parent = nullptr);
    ~TMOD00501Form2() override;

    // Puts the record into the editor; existing makes the article number read-only. The
    // record stays the caller's and must outlive the window's use of it.
    void ShowArticle(TLagerServerObj &record, bool existing);
    // The editor's fields back into the record; after OK.
    void StoreArticle(TLagerServerObj &record);
    // ShowArticle, the modal loop, StoreArticle on OK; true for OK. focusMode >= 0 puts the
    // focus into the field a fast edit changes (TLagerArtikelFrame1::FocusField) on showing.
    bool Edit(TLagerServerObj &record, bool existing, int focusMode = -1);

    TLagerArtikelFrame1 *Frame() const { return m_frame; }

public slots:
    void accept() override;
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    TLagerArtikelFrame1 *m_frame = nullptr;
    int m_focusMode = -1;
    QString m_settingsFile;
};
