#include "base/ui/qtinteraction.h"

#include "base/translation.h"

#include <QApplication>
#include <QColorDialog>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace
{

struct ButtonDef {
    int bit;
    const char *caption;
    int result;
};

// The suite's button order; Cancel and Abort share their caption.
const ButtonDef kButtons[] = {
    {MsgButton::Yes, txNoop("&Ja"), ModalResult::Yes},
    {MsgButton::No, txNoop("&Nein"), ModalResult::No},
    {MsgButton::OK, txNoop("&OK"), ModalResult::OK},
    {MsgButton::Cancel, txNoop("&Abbrechen"), ModalResult::Cancel},
    {MsgButton::Abort, txNoop("&Abbrechen"), ModalResult::Abort},
    {MsgButton::Retry, txNoop("&Wiederholen"), ModalResult::Retry},
    {MsgButton::Ignore, txNoop("&Ignorieren"), ModalResult::Ignore},
    {MsgButton::All, txNoop("&Alle"), ModalResult::All},
    {MsgButton::NoToAll, txNoop("A&lle Nein"), ModalResult::NoToAll},
    {MsgButton::YesToAll, txNoop("A&lle Ja"), ModalResult::YesToAll},
};

QMessageBox::Icon iconOf(MsgDlgType type)
{
    switch (type) {
    case MsgDlgType::Warning:
        return QMessageBox::Warning;
    case MsgDlgType::Error:
        return QMessageBox::Critical;
    case MsgDlgType::Information:
        return QMessageBox::Information;
    case MsgDlgType::Confirmation:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

class QtProgress : public Progress
{
public:
    QtProgress(const QString &caption, int maximum) : m_dialog(caption, tx("Abbrechen"), 0, maximum)
    {
        m_dialog.setWindowTitle(caption);
        m_dialog.setWindowModality(Qt::ApplicationModal);
        m_dialog.setMinimumDuration(0);
        m_dialog.setValue(0);
    }
    void step(int by) override
    {
        m_dialog.setValue(m_dialog.value() + by);
        QCoreApplication::processEvents();
    }
    void setText(const QString &text) override { m_dialog.setLabelText(text); }
    bool cancelled() const override
    {
        QCoreApplication::processEvents();
        return m_dialog.wasCanceled();
    }

private:
    QProgressDialog m_dialog;
};

class QtWaitWindow : public WaitWindow
{
public:
    explicit QtWaitWindow(const QString &text) : m_dialog(text, tx("Abbrechen"), 0, 0)
    {
        m_dialog.setWindowModality(Qt::ApplicationModal);
        m_dialog.setMinimumDuration(0);
        m_dialog.show();
        QCoreApplication::processEvents();
    }
    bool cancelled() const override { return m_dialog.wasCanceled(); }
    void idle() override { QCoreApplication::processEvents(); }

private:
    QProgressDialog m_dialog;
};

} // namespace

QWidget *alertOwner()
{
    if (QWidget *active = QApplication::activeWindow())
        return active;
    // Without an active window (the window system gave the focus elsewhere): the window the
    // user works in is the visible one that is neither a tool window nor a popup.
    for (QWidget *w : QApplication::topLevelWidgets()) {
        const Qt::WindowType type = w->windowType();
        if (w->isVisible() && (type == Qt::Window || type == Qt::Dialog))
            return w;
    }
    return nullptr;
}

QPoint alertPosition(const QRect &owner, QSize size, const QRect &screenArea)
{
    // Inside the owner's bottom right corner, clear of its frame; kept on the screen.
    constexpr int margin = 12;
    const QRect base = owner.isValid() ? owner : screenArea;
    QPoint at(base.right() + 1 - margin - size.width(), base.bottom() + 1 - margin - size.height());
    if (!owner.isValid())
        at += QPoint(margin, margin);
    if (screenArea.isValid()) {
        at.setX(std::clamp(at.x(), screenArea.left(),
                           std::max(screenArea.left(), screenArea.right() + 1 - size.width())));
        at.setY(std::clamp(at.y(), screenArea.top(),
                           std::max(screenArea.top(), screenArea.bottom() + 1 - size.height())));
    }
    return at;
}

int QtInteraction::messageBox(const QString &caption, const QString &text, MsgDlgType type,
                              int buttons)
{
    QMessageBox box(iconOf(type), caption, text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    QList<QPair<QAbstractButton *, int>> added;
    for (const ButtonDef &def : kButtons) {
        if (buttons & def.bit)
            added.append({box.addButton(tx(def.caption), QMessageBox::ActionRole), def.result});
    }
    if (added.isEmpty())
        added.append({box.addButton(tx("&OK"), QMessageBox::ActionRole), ModalResult::OK});
    box.setDefaultButton(qobject_cast<QPushButton *>(added.first().first));
    box.exec();
    for (const auto &[button, result] : added) {
        if (box.clickedButton() == button)
            return result;
    }
    return buttons & MsgButton::Cancel ? ModalResult::Cancel : ModalResult::None;
}

bool QtInteraction::inputBox(const QString &caption, const QString &prompt, QString &value)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(QApplication::activeWindow(), caption, prompt,
                                                 QLineEdit::Normal, value, &ok);
    if (ok)
        value = answer;
    return ok;
}

std::unique_ptr<Progress> QtInteraction::progress(const QString &caption, int maximum)
{
    return std::make_unique<QtProgress>(caption, maximum);
}

std::unique_ptr<WaitWindow> QtInteraction::waitWindow(const QString &text)
{
    return std::make_unique<QtWaitWindow>(text);
}

void QtInteraction::desktopAlert(const QString &header, const QString &text, int height,
                                 int milliseconds)
{
    QWidget *owner = alertOwner();
    auto *alert = new QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    alert->setObjectName(QStringLiteral("DesktopAlert"));
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setAttribute(Qt::WA_ShowWithoutActivating);
    alert->setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(alert);
    auto *head = new QLabel(header, alert);
    QFont bold = head->font();
    bold.setBold(true);
    head->setFont(bold);
    layout->addWidget(head);
    auto *body = new QLabel(text, alert);
    body->setWordWrap(true);
    layout->addWidget(body);
    const QSize size(300, height);
    alert->resize(size);
    QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    alert->move(alertPosition(owner ? owner->frameGeometry() : QRect(), size, area));
    alert->show();
    QTimer::singleShot(milliseconds, alert, &QWidget::close);
}

bool QtInteraction::dateBox(const QString &caption, const QString &prompt, QDate &value)
{
    QDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(caption);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(prompt, &dialog));
    auto *edit = new QDateEdit(value.isValid() ? value : QDate::currentDate(), &dialog);
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    layout->addWidget(edit);
    auto *buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(tx("&OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(tx("&Abbrechen"), QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    value = edit->date();
    return true;
}

bool QtInteraction::openFileBox(const QString &caption, const QString &filter, QString &path)
{
    const QString chosen =
        QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, path, filter);
    if (chosen.isEmpty())
        return false;
    path = chosen;
    return true;
}

bool QtInteraction::colorBox(const QString &caption, unsigned &color)
{
    // Stored colours are 0x00BBGGRR.
    const QColor start(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    const QColor chosen = QColorDialog::getColor(start, QApplication::activeWindow(), caption);
    if (!chosen.isValid())
        return false;
    color = unsigned(chosen.red()) | unsigned(chosen.green()) << 8 | unsigned(chosen.blue()) << 16;
    return true;
}
