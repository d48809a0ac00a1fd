#include "ordering/selectaddress.h"

#include "base/interaction.h"
#include "base/messages.h"
#include "base/translation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>

using namespace Qt::StringLiterals;

namespace
{

QString uniqueExchangeFile(const QDir &dir)
{
    for (;;) {
        const QString name = u"ADR"_s +
                             QString::number(QRandomGenerator::global()->generate(), 16)
                                 .rightJustified(8, u'0')
                                 .toUpper() +
                             u".$$$"_s;
        if (!dir.exists(name))
            return dir.filePath(name);
    }
}

} // namespace

std::unique_ptr<TCustomerAddress> SelectAddress(const QString &programDir,
                                                const QString &exchangeDir,
                                                const QStringList &startArguments)
{
    const QString program = QDir(programDir).filePath(u"MOD00318"_s);
    if (!QFileInfo(program).isFile()) {
        ShowMessageBoxFmt(tx("Das Adressprogramm \"%s\" wurde nicht gefunden."),
                          {QDir::toNativeSeparators(program)}, MsgDlgType::Error, MsgButton::OK);
        return nullptr;
    }
    if (!QFileInfo(exchangeDir).isDir())
        return nullptr;
    const QString file = uniqueExchangeFile(QDir(exchangeDir));

    QProcess process;
    process.setProgram(program);
    // Empty client or user are still passed, so the switches never move into their places.
    process.setArguments(
        {startArguments.value(0), startArguments.value(1), u"-ONE"_s, u"-GA"_s, u"-TEMP"_s, file});
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start();
    if (!process.waitForStarted()) {
        ShowMessageBoxFmt(tx("Das Adressprogramm \"%s\" konnte nicht gestartet werden."),
                          {QDir::toNativeSeparators(program)}, MsgDlgType::Error, MsgButton::OK);
        return nullptr;
    }
    {
        // Short waits between idles keep this window painting while the address program runs.
        const auto wait = interaction().waitWindow(tx("Warte auf die Adressauswahl ..."));
        while (process.state() != QProcess::NotRunning && !process.waitForFinished(50)) {
            wait->idle();
            if (wait->cancelled()) {
                process.kill();
                process.waitForFinished();
                QFile::remove(file);
                return nullptr;
            }
        }
    }
    if (!QFileInfo::exists(file))
        return nullptr;
    TCustomerAddressObjectList addresses;
    ReadAddressFile(addresses, file);
    QFile::remove(file);
    if (addresses.IsEmpty())
        return nullptr;
    return addresses.Extract(0);
}
