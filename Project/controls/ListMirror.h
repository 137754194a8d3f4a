#pragma once
// A list box that shows what a network owner's name list holds.
#include <QStringList>

class QListWidget;

namespace ListMirror {
// Refills the box only when its entries differ, so the user's scroll position survives polls.
void Show(QListWidget* box, const QStringList& items);
} // namespace ListMirror
