#include "printing/ui/printformselect.h"

#include "printing/printforms.h"

#include <QEventLoop>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>

TPrintFormSelect::TPrintFormSelect(const TPrintForms &forms, const QList<int> &allowedGroups,
                                   const QString &current, QWidget *parent)
    : QFrame(parent, Qt::Popup), m_list(new QListWidget(this)), m_chosen(current)
{
    setFrameShape(QFrame::Box);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(m_list);
    const auto choices = SelectableForms(forms, allowedGroups);
    for (const TPrintFormChoice &c : choices) {
        auto *item = new QListWidgetItem(c.Text, m_list);
        item->setData(Qt::UserRole, c.Name);
    }
    const int preselected = PreselectedForm(choices, current);
    if (preselected >= 0)
        m_list->setCurrentRow(preselected);
    // The list takes the keys as soon as the popup opens, not only after a click into it.
    m_list->setFocus();
    // Activation is a double click and Enter as well, so the keyboard can choose a form too.
    connect(m_list, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        m_chosen = item->data(Qt::UserRole).toString();
        close();
    });
    // Wide enough to read the longest entry (name, description, orientation, paper) and no
    // taller than its entries need.
    const int frame = 2 * m_list->frameWidth() + 2;
    const int rows = std::max(1, int(choices.size()));
    resize(std::max(300, m_list->sizeHintForColumn(0) + frame + 8),
           std::clamp(rows * m_list->sizeHintForRow(0) + frame + 4, 60, 500));
}

QString TPrintFormSelect::Select(QWidget *anchor, const QString &current,
                                 const QList<int> &allowedGroups, const TPrintForms *forms,
                                 const QString &formsDir)
{
    TPrintForms loaded;
    if (!forms) {
        loaded.LoadFromFile(TPrintForms::FileNameIn(formsDir));
        forms = &loaded;
    }
    TPrintFormSelect popup(*forms, allowedGroups, current, anchor);
    popup.setAttribute(Qt::WA_DeleteOnClose, false);
    if (anchor)
        popup.move(anchor->mapToGlobal(QPoint(0, anchor->height())));
    QEventLoop loop;
    popup.show();
    // A popup closes on a click outside or on Escape; either way the loop ends with it.
    while (popup.isVisible())
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    return popup.Chosen();
}
