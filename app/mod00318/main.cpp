// Stand-in for the suite's address module: lists the addresses kept as "kundenadr" files in the
// client's addresses directory and writes the chosen one into the exchange file named after
// -TEMP. Started as MOD00318 CLIENT USER -ONE -GA -TEMP <file>; cancelling writes nothing.
//
// With MOD00318_CHOOSE set in the environment no window opens: the address with that number is
// written (nothing when there is none), so that the exchange can be tested unattended.
#include "base/messages.h"
#include "base/translation.h"
#include "suite/environment.h"
#include "suite/systemeinstellungen.h"
#include "base/ui/qtinteraction.h"
#include "ordering/customeraddress.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <exception>

using namespace Qt::StringLiterals;

namespace
{

struct CommandLine {
    QString client;
    QString user;
    QString exchangeFile;
};

CommandLine parseCommandLine(const QStringList &arguments)
{
    CommandLine c;
    QStringList positional;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (arg.compare(u"-TEMP"_s, Qt::CaseInsensitive) == 0) {
            QString file = arguments.value(++i);
            if (file.size() >= 2 && file.startsWith(u'"') && file.endsWith(u'"'))
                file = file.mid(1, file.size() - 2);
            c.exchangeFile = file;
        } else if (!arg.startsWith(u'-')) {
            positional << arg;
        }
    }
    c.client = positional.value(0);
    c.user = positional.value(1);
    return c;
}

void loadAddresses(const QString &dir, TCustomerAddressObjectList &addresses)
{
    const QFileInfoList files =
        QDir(dir).entryInfoList({u"*.XML"_s, u"*.xml"_s}, QDir::Files, QDir::Name);
    for (const QFileInfo &fi : files)
        ReadAddressFile(addresses, fi.filePath());
}

QString townOf(const TCustomerAddress &a)
{
    for (const TCustomerAnschrift &adr : a.Anschriften)
        if (adr.Std)
            return adr.Ort;
    return a.Anschriften.IsEmpty() ? QString() : a.Anschriften[0].Ort;
}

bool writeExchangeFile(TCustomerAddress &address, const QString &file)
{
    try {
        address.SaveToFile(file);
        return true;
    } catch (const std::exception &e) {
        ReportMessage(MessageKind::Error, QDir::toNativeSeparators(file), nullptr, &e);
        return false;
    }
}

// -1 when cancelled.
int chooseInWindow(const TCustomerAddressObjectList &addresses)
{
    QDialog dialog;
    dialog.setWindowTitle(u"[0318 - 01] - "_s + tx("Adresse auswaehlen"));
    auto *layout = new QVBoxLayout(&dialog);
    auto *search = new QLineEdit(&dialog);
    search->setPlaceholderText(tx("Suchen"));
    layout->addWidget(search);
    auto *table = new QTableWidget(int(addresses.Count()), 3, &dialog);
    table->setHorizontalHeaderLabels({tx("Nummer"), tx("Name"), tx("Ort")});
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    for (int row = 0; row < addresses.Count(); ++row) {
        const TCustomerAddress &a = addresses[row];
        table->setItem(row, 0, new QTableWidgetItem(a.Id));
        table->setItem(row, 1, new QTableWidgetItem(a.DisplayName()));
        table->setItem(row, 2, new QTableWidgetItem(townOf(a)));
    }
    table->resizeColumnsToContents();
    layout->addWidget(table);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(tx("Abbrechen"));
    layout->addWidget(buttons);

    const auto selectFirstVisible = [table] {
        for (int row = 0; row < table->rowCount(); ++row)
            if (!table->isRowHidden(row)) {
                table->selectRow(row);
                return;
            }
        table->clearSelection();
    };
    QObject::connect(
        search, &QLineEdit::textChanged, table, [table, selectFirstVisible](const QString &text) {
            const QString needle = text.trimmed();
            for (int row = 0; row < table->rowCount(); ++row) {
                bool match = needle.isEmpty();
                for (int col = 0; col < 3 && !match; ++col)
                    match = table->item(row, col)->text().contains(needle, Qt::CaseInsensitive);
                table->setRowHidden(row, !match);
            }
            selectFirstVisible();
        });
    const auto chosenRow = [table]() -> int {
        const QList<QTableWidgetItem *> items = table->selectedItems();
        return items.isEmpty() ? -1 : items.constFirst()->row();
    };
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&dialog, chosenRow] {
        if (chosenRow() >= 0)
            dialog.accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(table, &QTableWidget::cellDoubleClicked, &dialog, &QDialog::accept);
    selectFirstVisible();
    dialog.resize(640, 420);
    return dialog.exec() == QDialog::Accepted ? chosenRow() : -1;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QtInteraction qtInteraction;
    setInteraction(&qtInteraction);
    Messages::setApplicationFileName(QCoreApplication::applicationFilePath());
    if (!InitEnvironment(QCoreApplication::applicationDirPath()))
        return 1;
    const CommandLine cmd = parseCommandLine(QCoreApplication::arguments());
    if (!TSystemEinstellungen::Login(cmd.client, cmd.user))
        return 1;

    TCustomerAddressObjectList addresses;
    loadAddresses(TSystemEinstellungen::instance().AdressenDir, addresses);

    int chosen = -1;
    if (qEnvironmentVariableIsSet("MOD00318_CHOOSE")) {
        const QString number = qEnvironmentVariable("MOD00318_CHOOSE");
        for (int i = 0; i < addresses.Count() && chosen < 0; ++i)
            if (addresses[i].Id == number)
                chosen = i;
    } else {
        chosen = chooseInWindow(addresses);
    }
    if (chosen < 0 || cmd.exchangeFile.isEmpty())
        return 0;
    return writeExchangeFile(addresses[chosen], cmd.exchangeFile) ? 0 : 2;
}
