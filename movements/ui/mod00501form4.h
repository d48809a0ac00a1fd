#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
struct TLagerArtikelDaten;

// "Bestand manuell anpassen": the new stock of one article, released only by the system
// administrator's password. A right password is remembered for the rest of the run and
// proposed the next time.
class TMOD00501Form4 : public QDialog
{
    Q_OBJECT
public:
    using PasswordCheck = std::function<bool(const QString &password)>;

    explicit TMOD00501Form4(PasswordCheck checkPassword, QWidget *parent = nullptr);

    // Shows the article's number and stock; the caller then runs the dialog.
    void Setup(const TLagerArtikelDaten &article);
    // After closing: true with the new stock when confirmed with a different one.
    bool Changed(double &newStock) const;
    // Setup, the modal loop, Changed.
    bool Execute(const TLagerArtikelDaten &article, double &newStock);

    // The remembered password belongs to the run; tests start without one.
    static void ForgetPassword();

public slots:
    void accept() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    PasswordCheck m_checkPassword;
    QLabel *m_lbFrage = nullptr;
    QLineEdit *m_edBestand = nullptr;
    QLineEdit *m_edPasswort = nullptr;
    QPushButton *m_btOK = nullptr;
    double m_oldStock = 0;
    double m_newStock = 0;
};
