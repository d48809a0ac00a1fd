#pragma once

#include <QDialog>

class QTextBrowser;

// "Artikelinformation": an article's information page, printable.
class TArtikelinfoForm : public QDialog
{
    Q_OBJECT
public:
    explicit TArtikelinfoForm(const QString &html, QWidget *parent = nullptr);
    QTextBrowser *Browser() const { return m_browser; }
    void Print();

private:
    QTextBrowser *m_browser;
};
