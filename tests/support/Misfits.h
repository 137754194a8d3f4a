#pragma once
// The captions and labels of a window that do not fit their controls, for the tests that show
// that the standard texts fit every window: each text measured in its control's own font
// against the room the control draws it in.
#include "controls/TextLabel.h"
#include "controls/chameleonButton.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <QStyleOption>
#include <QTextDocument>

namespace TestEnv {

inline QString where(const QWidget* w) {
    QStringList path;
    for (const QWidget* p = w; p; p = p->parentWidget()) {
        path.prepend(p->objectName().isEmpty() ? QString::fromLatin1(p->metaObject()->className())
                                               : p->objectName());
        if (p->isWindow()) break;
    }
    return path.join(QLatin1Char('/'));
}

// Width and height of `text` as the control's painter lays it out on one line or several.
inline QSize extent(const QFont& font, const QString& text, int flags) {
    return QFontMetrics(font).size(flags, text);
}

inline QString misfit(const QWidget* w, const QString& text, QSize need, QSize room) {
    return QStringLiteral("%1 \"%2\" needs %3x%4, has %5x%6")
        .arg(where(w), text)
        .arg(need.width())
        .arg(need.height())
        .arg(room.width())
        .arg(room.height());
}

// A hidden control that a layout places has no size of its own until it is shown.
inline bool placed(const QWidget* w, const QWidget* window) {
    if (w->isVisibleTo(window)) return true;
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
        if (p->layout()) return false;
        if (p == window) break;
    }
    return true;
}

// Every caption and label of the window whose text does not fit its control, as "where: text".
inline QStringList misfits(QWidget* window) {
    QStringList out;
    auto check = [&](const QWidget* w, const QString& text, QSize need, QRect room) {
        if (!text.isEmpty() && (need.width() > room.width() || need.height() > room.height()))
            out << misfit(w, text, need, room.size());
    };
    QList<QWidget*> all = window->findChildren<QWidget*>();
    all.prepend(window);
    for (QWidget* w : all) {
        if (!placed(w, window)) continue;
        if (auto* label = qobject_cast<QLabel*>(w)) {
            if (label->text().isEmpty() || label->textFormat() == Qt::RichText) continue;
            const int m = label->margin();
            const QRect room = label->contentsRect().adjusted(m, m, -m, -m);
            const int mnemonic = label->buddy() ? int(Qt::TextShowMnemonic) : 0;
            const QSize need = label->wordWrap()
                                   ? QFontMetrics(label->font())
                                         .boundingRect(QRect(0, 0, room.width(), 100000),
                                                       Qt::TextWordWrap | mnemonic, label->text())
                                         .size()
                                   : extent(label->font(), label->text(), mnemonic);
            check(label, label->text(), need, room);
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            QStyleOptionButton opt;
            opt.initFrom(button);
            opt.text = button->text();
            opt.icon = button->icon();
            opt.iconSize = button->iconSize();
            QStyle::SubElement contents = QStyle::SE_PushButtonContents;
            if (qobject_cast<QCheckBox*>(button))
                contents = QStyle::SE_CheckBoxContents;
            else if (qobject_cast<QRadioButton*>(button))
                contents = QStyle::SE_RadioButtonContents;
            else if (!qobject_cast<QPushButton*>(button))
                continue;
            const QRect room = button->style()->subElementRect(contents, &opt, button);
            QSize need = extent(button->font(), button->text(), Qt::TextShowMnemonic);
            if (!button->icon().isNull()) need.rwidth() += button->iconSize().width() + 4;
            check(button, button->text(), need, room);
        } else if (auto* box = qobject_cast<QGroupBox*>(w)) {
            QStyleOptionGroupBox opt;
            opt.initFrom(box);
            opt.text = box->title();
            opt.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
            const QRect title =
                box->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, box);
            const QSize need = extent(box->font(), box->title(), Qt::TextShowMnemonic);
            // The title's place is made for its text; it must lie within the box.
            check(box, box->title(), need, title.intersected(box->rect()));
        } else if (auto* cb = qobject_cast<chameleonButton*>(w)) {
            const QSize room(cb->CaptionWidth(), cb->height());
            check(cb, cb->Caption(), extent(cb->Font(), cb->Caption(), Qt::TextShowMnemonic),
                  QRect(QPoint(), room));
        } else if (auto* text = qobject_cast<TextLabel*>(w)) {
            // A label of wrapped text fits when it needs no scrolling.
            QTextDocument* doc = text->document();
            doc->setTextWidth(text->viewport()->width());
            const QSize need = doc->size().toSize();
            check(text, text->toPlainText(), need, text->viewport()->rect());
        }
    }
    return out;
}

} // namespace TestEnv
