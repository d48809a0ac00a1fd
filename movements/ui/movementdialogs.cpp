#include "movements/ui/movementdialogs.h"

#include "movements/ui/lsnform1.h"
#include "movements/ui/mod00501form4.h"
#include "movements/ui/mod00501form7.h"
#include "movements/ui/mod00512form2.h"
#include "ordering/customeraddress.h"

StockChangeCommand::Hooks MovementDialogs::StockChangeHooks(QWidget *parent,
                                                            PasswordCheck checkPassword,
                                                            AddressChooser chooseAddress)
{
    StockChangeCommand::Hooks hooks;
    hooks.askNewStock = [parent, checkPassword](const TLagerArtikelDaten &article,
                                                double &newStock) {
        TMOD00501Form4 dialog(checkPassword, parent);
        return dialog.Execute(article, newStock);
    };
    hooks.enterSerials = [parent, chooseAddress](TSeriennummerObjectList &serials,
                                                 const TLagerArtikelDaten &article, bool showBack,
                                                 const QStringList &inStock, QString &supplier) {
        TMOD00501Form7 dialog(chooseAddress, parent);
        return dialog.Execute(serials, article, showBack, inStock, supplier);
    };
    hooks.chooseSerials = [parent](const TLagerArtikelDaten &article,
                                   const TSeriennummerObjectList &candidates, int count,
                                   bool showCancel, TSeriennummerObjectList &chosen) {
        TMOD00512Form2 dialog(parent);
        return dialog.Execute(article, candidates, count, showCancel, chosen);
    };
    return hooks;
}

SerialViewCommand::Show MovementDialogs::SerialView(QWidget *parent, PasswordCheck checkPassword)
{
    return [parent, checkPassword](const QString &nr, const QString &description,
                                   const TSeriennummerObjectList &rows,
                                   const SerialViewCommand::Post &post) {
        TLSNForm1 dialog(checkPassword, {}, parent);
        dialog.Execute(nr, description, rows, post);
    };
}
