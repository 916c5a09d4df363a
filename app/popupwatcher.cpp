#include "app/popupwatcher.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QMouseEvent>

PopupWatcher::PopupWatcher(QComboBox *comboBox)
    : QObject(comboBox)
{
    comboBox->installEventFilter(this);
}

bool PopupWatcher::eventFilter(QObject *watched, QEvent *event)
{
    auto *comboBox = static_cast<QComboBox *>(watched);
    if (!comboBox->isEnabled())
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            emit aboutToShowPopup();
        break;
    case QEvent::KeyPress: {
        // The keys QComboBox opens its list with.
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool alt = key->modifiers() & Qt::AltModifier;
        if (key->key() == Qt::Key_F4 || (key->key() == Qt::Key_Space && !comboBox->isEditable())
            || (alt && (key->key() == Qt::Key_Down || key->key() == Qt::Key_Up)))
            emit aboutToShowPopup();
        break;
    }
    default:
        break;
    }
    return false;
}
