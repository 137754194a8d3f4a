#include "controls/ListMirror.h"

#include <QListWidget>

void ListMirror::Show(QListWidget* box, const QStringList& items) {
    if (!box) return;
    QStringList shown;
    for (int i = 0; i < box->count(); ++i)
        shown << box->item(i)->text();
    if (shown == items) return;
    box->clear();
    box->addItems(items);
}
