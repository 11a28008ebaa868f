#include "controls/TextFit.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <algorithm>

namespace TextFit {

namespace {
// QLineEdit's own horizontal margin around its text.
constexpr int EditFieldMargin = 2;
} // namespace

int ListWidth(const QComboBox *list)
{
    const QFontMetrics metrics = list->fontMetrics();
    int text = metrics.horizontalAdvance(list->currentText());
    for (int i = 0; i < list->count(); ++i)
        text = std::max(text, metrics.horizontalAdvance(list->itemText(i)));
    // The edit field keeps a margin and the caret's width beside its text.
    if (const QLineEdit *edit = list->lineEdit()) {
        const QMargins margins = edit->textMargins();
        text += margins.left() + margins.right() + 2 * EditFieldMargin + 1;
    }
    QStyleOptionComboBox option;
    option.initFrom(list);
    option.editable = list->isEditable();
    option.frame = list->hasFrame();
    return list->style()
        ->sizeFromContents(QStyle::CT_ComboBox, &option, QSize(text, metrics.height()), list)
        .width();
}

void OpenWholeEntries(QComboBox *list)
{
    QAbstractItemView *view = list->view();
    const int scrollBar = list->count() > list->maxVisibleItems()
                              ? view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view)
                              : 0;
    const int entries = list->count() > 0 ? view->sizeHintForColumn(0) : 0;
    view->setMinimumWidth(entries + scrollBar + 2 * view->frameWidth());
}

void ShowInLabel(QLabel *label, const QString &text)
{
    const int room = label->contentsRect().width() - 2 * label->margin();
    const QFontMetrics metrics = label->fontMetrics();
    if (metrics.horizontalAdvance(text) <= room) {
        label->setText(text);
        label->setToolTip(QString());
        return;
    }
    label->setText(metrics.elidedText(text, Qt::ElideRight, std::max(0, room)));
    label->setToolTip(text);
}

} // namespace TextFit
